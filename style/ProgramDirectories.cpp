/// Where the program finds its shipped data and where it writes.
#include "style/ProgramDirectories.h"

#include "base/SafeFile.h"
#include "style/StyleCatalogue.h"
#include "style/StyleFiles.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <pwd.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace zenkel {

namespace {

namespace fs = std::filesystem;

constexpr const char* ConfigName = "zenkel-html";
constexpr const char* InstalledDataDir = "../share/zenkel-html";

bool isDirectory(const std::string& path)
{
    std::error_code ec;
    return fs::is_directory(path, ec);
}

bool holdsStyles(const std::string& dir)
{
    return isDirectory(StylesDirectory(dir));
}

bool isWritableDirectory(const std::string& dir)
{
    return ::access(dir.c_str(), W_OK | X_OK) == 0;
}

std::string homeDirectory()
{
    const char* home = std::getenv("HOME");
    if (home && *home == '/')
        return home;
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir && *entry->pw_dir)
        return entry->pw_dir;
    return {};
}

bool fail(std::string* error, const std::string& message)
{
    if (error)
        *error = message;
    return false;
}

bool readFile(const std::string& path, std::string& bytes, std::string* error)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    int err = fd < 0 ? errno : 0;
    if (fd >= 0) {
        if (!readAllFrom(fd, bytes, &err) && err == 0)
            err = EIO;
        ::close(fd);
    }
    if (err != 0)
        return fail(error, "Cannot read file \"" + path + "\": " + std::strerror(err));
    return true;
}

/// Copies one shipped style into a scratch directory beside the styles directory and renames
/// it into place, so the style appears complete or not at all. The copies are writable by
/// their owner even when the shipped files are not.
bool copyStyle(const std::string& from, const std::string& programDir, const std::string& to,
    std::string* error)
{
    std::string scratch = joinPath(programDir, ".style-copy-XXXXXX");
    if (!::mkdtemp(scratch.data()))
        return fail(
            error, "Cannot create a directory in \"" + programDir + "\": " + std::strerror(errno));
    // mkdtemp makes it private; a style directory gets the modes of any new directory.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::chmod(scratch.c_str(), 0777 & ~mask);
    std::error_code ec;
    fs::copy(from, scratch, fs::copy_options::recursive | fs::copy_options::overwrite_existing, ec);
    for (fs::recursive_directory_iterator it(scratch, ec), end; !ec && it != end;
         it.increment(ec)) {
        std::error_code permError;
        fs::permissions(it->path(), fs::perms::owner_write | fs::perms::owner_exec,
            fs::perm_options::add, permError);
    }
    if (!ec && ::rename(scratch.c_str(), to.c_str()) != 0) {
        // Another program copied it first, or the user has a directory of that name: keep it.
        if (errno != ENOTEMPTY && errno != EEXIST)
            ec = std::error_code(errno, std::generic_category());
    }
    std::error_code ignored;
    fs::remove_all(scratch, ignored);
    if (ec)
        return fail(error, "Cannot copy style \"" + from + "\" to \"" + to + "\": " + ec.message());
    return true;
}

} // namespace

std::string ExecutableDirectory()
{
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec)
        return NormalizeDirectory(fs::current_path(ec).string());
    return NormalizeDirectory(exe.parent_path().string());
}

std::string UserConfigDirectory()
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && *config == '/')
        return NormalizeDirectory(joinPath(config, ConfigName));
    const std::string home = homeDirectory();
    if (home.empty())
        return {};
    return NormalizeDirectory(joinPath(joinPath(home, ".config"), ConfigName));
}

ProgramDirectories FindProgramDirectories(
    const std::string& overrideDir, const std::string& executableDir)
{
    const char* zenkelHome = std::getenv("ZENKEL_HOME");
    const std::string given
        = !overrideDir.empty() ? overrideDir : (zenkelHome && *zenkelHome ? zenkelHome : "");
    if (!given.empty()) {
        const std::string dir = NormalizeDirectory(given);
        return {dir, dir};
    }

    const std::string exeDir = NormalizeDirectory(executableDir);
    const std::string installed
        = NormalizeDirectory((fs::path(exeDir) / InstalledDataDir).lexically_normal().string());
    std::string data = exeDir;
    bool writable = true;
    if (holdsStyles(exeDir)) {
        writable = isWritableDirectory(exeDir);
    } else if (holdsStyles(installed)) {
        // The package manager owns an installed copy's data, even where root could write it.
        data = installed;
        writable = false;
    }
    if (writable)
        return {data, data};
    const std::string config = UserConfigDirectory();
    return {config.empty() ? data : config, data};
}

bool PrepareProgramDirectory(const ProgramDirectories& dirs, std::string* error)
{
    if (!dirs.separate())
        return true;
    std::error_code ec;
    fs::create_directories(StylesDirectory(dirs.program), ec);
    if (ec)
        return fail(error,
            "Cannot create directory \"" + StylesDirectory(dirs.program) + "\": " + ec.message());

    bool ok = true;
    std::vector<std::string> shipped;
    ListStyles(StylesDirectory(dirs.data), shipped, nullStyleHost());
    for (const std::string& name : shipped) {
        const std::string to = StyleDirectory(dirs.program, name);
        if (!IsValidStyle(to)
            && !copyStyle(StyleDirectory(dirs.data, name), dirs.program,
                to.substr(0, to.size() - 1), ok ? error : nullptr))
            ok = false;
    }

    const std::string trimFrom = joinPath(dirs.data, std::string(TrimFileName));
    const std::string trimTo = joinPath(dirs.program, std::string(TrimFileName));
    if (!fs::exists(trimTo, ec) && fs::is_regular_file(trimFrom, ec)) {
        std::string bytes;
        if (!readFile(trimFrom, bytes, ok ? error : nullptr)
            || !writeFileSafely(trimTo, bytes, ok ? error : nullptr))
            ok = false;
    }
    return ok;
}

std::string DescribeDirectories(const ProgramDirectories& dirs, const std::string& indent)
{
    std::string text = indent + "program directory: " + dirs.program + '\n';
    if (dirs.separate())
        text += indent + "shipped data: " + dirs.data + '\n';
    return text;
}

} // namespace zenkel
