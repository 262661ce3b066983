/// Helpers of every test that works on files: a fresh directory per test and whole-file reads
/// and writes.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <stdlib.h>
#include <unistd.h>

namespace zenkel::test {

inline void writeBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

/// A new directory under the system's temporary directory, removed with everything in it.
/// path() has no final '/'.
class TempDir
{
public:
    /// Made in parent; by default in the system's temporary directory.
    explicit TempDir(const std::string& parent = std::filesystem::temp_directory_path().string())
    {
        std::string pattern = parent + "/zenkel-test-XXXXXX";
        if (::mkdtemp(pattern.data()))
            m_path = pattern;
    }
    ~TempDir()
    {
        std::error_code ec;
        // Tests take permissions away; give them back so everything can be removed.
        std::filesystem::permissions(
            m_path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
        for (const auto& item : std::filesystem::recursive_directory_iterator(m_path, ec))
            std::filesystem::permissions(item.path(), std::filesystem::perms::owner_all,
                std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(m_path, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return m_path; }
    /// The path of a file or directory below, relative to this directory.
    std::string file(const std::string& relative) const { return m_path + "/" + relative; }

    /// Writes bytes to the relative path, making its directories first; returns the path.
    std::string write(const std::string& relative, const std::string& bytes = "<html></html>") const
    {
        const std::string full = file(relative);
        std::filesystem::create_directories(std::filesystem::path(full).parent_path());
        writeBytes(full, bytes);
        return full;
    }
    /// Makes the relative directory with its parents; returns its path.
    std::string makeDir(const std::string& relative) const
    {
        std::filesystem::create_directories(file(relative));
        return file(relative);
    }

private:
    std::string m_path;
};

inline std::string readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::size_t countEntries(const std::string& dir)
{
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& item : std::filesystem::directory_iterator(dir))
        ++count;
    return count;
}

inline bool runningAsRoot()
{
    return ::geteuid() == 0;
}

} // namespace zenkel::test
