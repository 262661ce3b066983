/// Safe file writing: a temporary sibling renamed over the target.
#include "base/SafeFile.h"

#include "base/LargePages.h"
#include "base/Paths.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace zenkel {

namespace {

// The file creation mask, read once while the program starts: reading it means setting it, and
// doing that per write would let a parallel worker create a file with the mask cleared.
const mode_t processUmask = [] {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}();

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

/// Writes what is left in bytes; false with errno set when a write fails.
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

/// The temporary siblings being written right now, so that a signal handler can remove them
/// (removeTemporarySiblings). A slot is free (0), being filled (1) or names a file (2); the
/// handler reads only slots that name a file and touches nothing but atomics and unlink.
constexpr int TemporarySlotCount = 64;
constexpr std::size_t TemporaryPathCapacity = 4096;

struct TemporarySlot
{
    std::atomic<int> state {0};
    char path[TemporaryPathCapacity];
};

TemporarySlot g_temporaries[TemporarySlotCount];

/// Registers a temporary file; -1 when every slot is taken or the path is too long (the file
/// is then still removed on every normal path, only not by a signal handler).
int registerTemporary(const std::string& temp)
{
    if (temp.size() >= TemporaryPathCapacity)
        return -1;
    for (int i = 0; i < TemporarySlotCount; ++i) {
        int expected = 0;
        if (g_temporaries[i].state.compare_exchange_strong(expected, 1)) {
            std::memcpy(g_temporaries[i].path, temp.c_str(), temp.size() + 1);
            g_temporaries[i].state.store(2);
            return i;
        }
    }
    return -1;
}

void unregisterTemporary(int slot)
{
    if (slot >= 0)
        g_temporaries[slot].state.store(0);
}

} // namespace

void removeTemporarySiblings() noexcept
{
    for (TemporarySlot& slot : g_temporaries) {
        if (slot.state.load() == 2)
            ::unlink(slot.path);
    }
}

BufferedFileWriter::BufferedFileWriter(int fd)
    : m_fd(fd)
    , m_buffer(new char[Capacity])
{ }

BufferedFileWriter::~BufferedFileWriter() = default;

bool BufferedFileWriter::putAfterFlush(std::string_view piece)
{
    if (!flush())
        return false;
    // A piece longer than the buffer goes out directly.
    if (piece.size() >= Capacity)
        return writeAll(m_fd, piece);
    std::memcpy(m_buffer.get(), piece.data(), piece.size());
    m_used = piece.size();
    return true;
}

bool BufferedFileWriter::flush()
{
    const bool ok = writeAll(m_fd, std::string_view(m_buffer.get(), m_used));
    m_used = 0;
    return ok;
}

bool writeFileSafely(const std::string& path, std::string_view bytes, std::string* error, bool sync)
{
    SafeWriteOptions options;
    options.sync = sync;
    return writeFileSafely(path, bytes, options, error);
}

bool writeFileSafely(const std::string& path, std::string_view bytes,
    const SafeWriteOptions& options, std::string* error)
{
    return writeFileSafely(
        path, [bytes](BufferedFileWriter& out) { return out.put(bytes); }, options, error);
}

bool writeFileSafely(const std::string& path,
    const std::function<bool(BufferedFileWriter&)>& writeContent, const SafeWriteOptions& options,
    std::string* error)
{
    mode_t mode = options.newFileMode ? static_cast<mode_t>(*options.newFileMode & 07777)
                                      : 0666 & ~processUmask;
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
    const int slot = registerTemporary(temp);
    bool ok = false;
    {
        BufferedFileWriter out(fd);
        ok = writeContent(out) && out.flush() && ::fchmod(fd, mode) == 0;
    }
    // Keeping the owner works only for a privileged user; otherwise the file becomes ours.
    if (ok && exists && (existing.st_uid != ::geteuid() || existing.st_gid != ::getegid()))
        (void)!::fchown(fd, existing.st_uid, existing.st_gid);
    if (ok && options.modificationTime) {
        const struct timespec times[2] = {{0, UTIME_OMIT}, *options.modificationTime};
        ok = ::futimens(fd, times) == 0;
    }
    if (ok && options.sync && options.whileFlushing) {
        // Starts the write-out without waiting for it; the fsync below then waits only for
        // what is left of it.
        (void)::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
        try {
            options.whileFlushing();
        } catch (...) {
            ::close(fd);
            ::unlink(temp.c_str());
            unregisterTemporary(slot);
            throw;
        }
    }
    ok = ok && (!options.sync || ::fsync(fd) == 0);
    int err = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    // Renaming over an existing file makes the file system write the new data out at once
    // (ext4 does so to protect files that were not flushed). A scratch file is not worth
    // that wait: the old one is removed first, so the rename replaces nothing.
    if (ok && !options.sync && exists)
        (void)::unlink(target.c_str());
    if (ok && ::rename(temp.c_str(), target.c_str()) != 0) {
        ok = false;
        err = errno;
    }
    if (!ok)
        ::unlink(temp.c_str());
    // Only now: a signal between the rename and here finds no file of that name to remove.
    unregisterTemporary(slot);
    return ok || fail(error, path, err);
}

bool writeScratchFile(const std::string& path,
    const std::function<bool(BufferedFileWriter&)>& writeContent, std::string* error)
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
    if (writeFileSafely(path, writeContent, options, error))
        return true;
    if (!clearStaleFile(path) && error)
        *error += "; the file left there is from an earlier run";
    return false;
}

bool writeScratchFile(const std::string& path, std::string_view bytes, std::string* error)
{
    return writeScratchFile(
        path, [bytes](BufferedFileWriter& out) { return out.put(bytes); }, error);
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
    struct stat info
    {
    };
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
        // Read straight into storage of the file's size; a file that grows meanwhile is
        // read on below.
        const off_t at = ::lseek(fd, 0, SEEK_CUR);
        const std::size_t expected
            = static_cast<std::size_t>(info.st_size - (at > 0 && at < info.st_size ? at : 0));
        bytes.reserve(expected + 1);
        // Read once, never grown: the text of a large page is worth huge pages.
        adviseHugePages(bytes.data(), expected + 1);
        bytes.resize(expected);
        std::size_t got = 0;
        while (got < expected) {
            const ssize_t n = ::read(fd, bytes.data() + got, expected - got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                if (error)
                    *error = errno;
                bytes.clear();
                return false;
            }
            if (n == 0)
                break;
            got += static_cast<std::size_t>(n);
        }
        bytes.resize(got);
        if (got < expected)
            return true;
    }
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
