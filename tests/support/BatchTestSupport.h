/// Helpers of the batch and command-line tests: a program directory with a tiny style,
/// modification times and file modes.
#pragma once

#include "tests/support/TempDir.h"

#include <filesystem>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>

namespace zenkel::test {

/// A style whose output is easy to predict: lower-case tags, indent 2, paragraphs and
/// divisions on their own lines, B as text, no comments and no documentation line.
inline void writeTinyStyle(const std::string& programDir, const std::string& name, int spacing = 2)
{
    const std::string dir = programDir + "/styles/" + name;
    std::filesystem::create_directories(dir);
    writeBytes(dir + "/options.ini",
        "[OPTIONS]\r\nStyleName=" + name + "\r\nLineSize=60\r\nSpacing=" + std::to_string(spacing)
            + "\r\nDoDisableComments=1\r\nDoPurgeComments=1\r\nTagCase=2\r\n"
              "UseWhileCompress=0\r\nUseWhileFormat=0\r\n");
    writeBytes(dir + "/tag.ini",
        "[<DIV>]\r\nTagOpen=<DIV>\r\nTagClose=</DIV>\r\nisContentIndent=1\r\n"
        "CRLFLeading=1\r\nCRLFFollowed=1\r\n"
        "[<P>]\r\nTagOpen=<P>\r\nTagClose=</P>\r\nCRLFLeading=1\r\nCRLFFollowed=1\r\n"
        "[<B>]\r\nTagOpen=<B>\r\nTagClose=</B>\r\nTreatAsText=1\r\n");
}

/// Sets a file's modification time to a fixed moment in the past.
inline void setOldMtime(const std::string& path, time_t seconds = 1000000000)
{
    const struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

inline struct timespec mtimeOf(const std::string& path)
{
    struct stat info
    {
    };
    ::stat(path.c_str(), &info);
    return info.st_mtim;
}

inline bool sameTime(const struct timespec& a, const struct timespec& b)
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

inline mode_t modeOf(const std::string& path)
{
    struct stat info
    {
    };
    ::stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

} // namespace zenkel::test
