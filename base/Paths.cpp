/// Paths and file tests shared by every layer.
#include "base/Paths.h"

#include <cstdlib>
#include <sys/stat.h>

namespace zenkel {

bool isRegularFile(const std::string& path)
{
    struct stat info
    {
    };
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string withoutTrailingSlashes(std::string path)
{
    while (!path.empty() && path.back() == '/')
        path.pop_back();
    return path;
}

std::string withTrailingSlash(const std::string& directory)
{
    return withoutTrailingSlashes(directory) + "/";
}

std::string realPathOf(const std::string& path)
{
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved)
        return {};
    std::string result(resolved);
    std::free(resolved);
    return result;
}

std::string directoryOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

std::string siblingBackupPath(const std::string& path, const std::string& backupExt)
{
    return path + backupExt;
}

} // namespace zenkel
