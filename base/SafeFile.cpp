/// Safe file writing: a temporary sibling renamed over the target.
#include "base/SafeFile.h"

#include "base/Paths.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace zenkel {

namespace {

bool fail(std::string* error, const std::string& path, const std::string& reason)
{
    if (error)
        *error = "Cannot write file \"" + path + "\": " + reason;
    return false;
}

bool fail(std::string* error, const std::string& path, int err)
{
    return fail(error, path, std::strerror(err));
}

/// The file a write really replaces: the target of a symbolic link, so the link survives.
std::string resolveLink(const std::string& path)
{
    std::error_code ec;
    if (!std::filesystem::is_symlink(path, ec))
        return path;
    const std::filesystem::path target = std::filesystem::weakly_canonical(path, ec);
    return ec ? path : target.string();
}

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

} // namespace

bool writeFileSafely(const std::string& path, std::string_view bytes, std::string* error, bool sync)
{
    SafeWriteOptions options;
    options.sync = sync;
    return writeFileSafely(path, bytes, options, error);
}

bool writeFileSafely(const std::string& path, std::string_view bytes,
    const SafeWriteOptions& options, std::string* error)
{
    mode_t mode
        = options.newFileMode ? static_cast<mode_t>(*options.newFileMode & 07777) : 0666 & ~[] {
              const mode_t mask = ::umask(0);
              ::umask(mask);
              return mask;
          }();
    const std::string target = resolveLink(path);
    struct stat existing
    {
    };
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists) {
        if (S_ISDIR(existing.st_mode))
            return fail(error, path, EISDIR);
        // The rename would get around a read-only file; refuse it as a direct write would.
        // Root passes access() for any file, so the write bits are checked as well.
        if ((existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0
            || ::access(target.c_str(), W_OK) != 0)
            return fail(error, path, "the file is read-only");
        mode = existing.st_mode & 07777;
    }

    // A short name beside the target: a sibling named after the target would be too long
    // for a file whose own name is near the file system's limit.
    std::string temp = directoryOf(target) + TempSiblingPrefix + "XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return fail(error, path, errno);
    bool ok = writeAll(fd, bytes) && ::fchmod(fd, mode) == 0;
    // Keeping the owner works only for a privileged user; otherwise the file becomes ours.
    if (ok && exists && (existing.st_uid != ::geteuid() || existing.st_gid != ::getegid()))
        (void)!::fchown(fd, existing.st_uid, existing.st_gid);
    if (ok && options.modificationTime) {
        const struct timespec times[2] = {{0, UTIME_OMIT}, *options.modificationTime};
        ok = ::futimens(fd, times) == 0;
    }
    ok = ok && (!options.sync || ::fsync(fd) == 0);
    int err = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (ok && ::rename(temp.c_str(), target.c_str()) != 0) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        return fail(error, path, err);
    }
    return true;
}

bool writeScratchFile(const std::string& path, std::string_view bytes, std::string* error)
{
    constexpr mode_t Private = S_IRUSR | S_IWUSR;
    struct stat existing
    {
    };
    if (::lstat(path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)
        && (existing.st_mode & 07777) != Private)
        (void)::chmod(path.c_str(), Private);
    SafeWriteOptions options;
    options.sync = false;
    options.newFileMode = Private;
    if (writeFileSafely(path, bytes, options, error))
        return true;
    if (!clearStaleFile(path) && error)
        *error += "; the file left there is from an earlier run";
    return false;
}

bool clearStaleFile(const std::string& path)
{
    struct stat existing
    {
    };
    if (::lstat(path.c_str(), &existing) != 0 || !S_ISREG(existing.st_mode))
        return true;
    return ::unlink(path.c_str()) == 0 || ::truncate(path.c_str(), 0) == 0;
}

bool readAllFrom(int fd, std::string& bytes, int* error)
{
    bytes.clear();
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            if (error)
                *error = errno;
            return false;
        }
        if (got == 0)
            return true;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}

} // namespace zenkel
