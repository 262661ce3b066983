/// Helpers of the backup and selection tests: a fresh directory tree per test, whole-file reads
/// and writes, and a plain copy that keeps the modification time.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <stdlib.h>
#include <unistd.h>

namespace zenkel::test {

/// A new directory under the system's temporary directory, removed with everything in it.
/// path() has no final '/'.
class TempTree
{
public:
    TempTree()
    {
        std::string pattern
            = (std::filesystem::temp_directory_path() / "zenkel-batch-XXXXXX").string();
        if (::mkdtemp(pattern.data()))
            m_path = pattern;
    }
    ~TempTree()
    {
        std::error_code ec;
        // Tests take permissions away; give them back so everything can be removed.
        for (const auto& item : std::filesystem::recursive_directory_iterator(m_path, ec))
            std::filesystem::permissions(item.path(), std::filesystem::perms::owner_all,
                std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(m_path, ec);
    }
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    const std::string& path() const { return m_path; }
    std::string at(const std::string& relative) const { return m_path + "/" + relative; }

    /// Writes bytes to the relative path, making its directories first.
    std::string file(const std::string& relative, const std::string& bytes = "<html></html>")
    {
        const std::string full = at(relative);
        std::filesystem::create_directories(std::filesystem::path(full).parent_path());
        std::ofstream(full, std::ios::binary | std::ios::trunc) << bytes;
        return full;
    }
    std::string dir(const std::string& relative)
    {
        std::filesystem::create_directories(at(relative));
        return at(relative);
    }

private:
    std::string m_path;
};

inline std::string readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline bool copyKeepingDate(
    const std::string& source, const std::string& destination, std::string* /*error*/ = nullptr)
{
    std::error_code ec;
    std::filesystem::copy_file(
        source, destination, std::filesystem::copy_options::overwrite_existing, ec);
    if (!ec)
        std::filesystem::last_write_time(
            destination, std::filesystem::last_write_time(source, ec), ec);
    return !ec;
}

inline bool runningAsRoot()
{
    return ::geteuid() == 0;
}

} // namespace zenkel::test
