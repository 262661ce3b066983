/// Safe file writing: a temporary sibling renamed over the target.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace zenkel {

/// The start of the name of every temporary sibling; six random characters follow.
constexpr const char* TempSiblingPrefix = ".zktmp";

/// Replaces the file at path with bytes: the bytes go to a temporary sibling first, which is
/// then renamed over the target, so a failed write never leaves a half-written file. An
/// existing file keeps its permissions (and its owner where the user may set it); a file
/// without write permission is refused, for every user; a symbolic link stays a link and its
/// target is replaced. On failure
/// returns false and sets *error to a message that names the file. Scratch files that the
/// program can always make again pass sync = false: they are renamed into place as well, but
/// not flushed to the disk first, which keeps runs over many files fast.
[[nodiscard]] bool writeFileSafely(const std::string& path, std::string_view bytes,
    std::string* error = nullptr, bool sync = true);

/// What a safe write does beyond the bytes.
struct SafeWriteOptions
{
    bool sync = true; ///< flush to the disk before the rename
    /// Permissions of a file that does not exist yet (an existing one keeps its own);
    /// nothing: 0666 less the umask.
    std::optional<unsigned> newFileMode;
    std::optional<std::timespec> modificationTime; ///< nothing: the time of the write
    /// With sync: called once the content is written and on its way to the disk, before the
    /// wait for the flush, so that other work (the scratch files of a run) overlaps the
    /// disk's. Not called when the content cannot be written.
    std::function<void()> whileFlushing;
};

/// writeFileSafely with the options above; same result and error convention.
[[nodiscard]] bool writeFileSafely(const std::string& path, std::string_view bytes,
    const SafeWriteOptions& options, std::string* error = nullptr);

/// Removes the temporary siblings of the writes in progress (on every thread), leaving each
/// target as it was. Safe to call from a signal handler that ends the program at once.
void removeTemporarySiblings() noexcept;

/// The output of a safe write: pieces are gathered in one buffer that is written whenever it
/// is full, so a file of many short pieces costs few system calls and no copy of the whole.
class BufferedFileWriter
{
public:
    explicit BufferedFileWriter(int fd);
    ~BufferedFileWriter();
    BufferedFileWriter(const BufferedFileWriter&) = delete;
    BufferedFileWriter& operator=(const BufferedFileWriter&) = delete;
    /// False (errno set) when a write fails. Inline: a file of many short lines calls it
    /// twice per line.
    [[nodiscard]] bool put(std::string_view piece)
    {
        if (piece.size() > Capacity - m_used) [[unlikely]]
            return putAfterFlush(piece);
        // copy_n, not memcpy: an empty piece may have no characters at all (a null pointer).
        std::copy_n(piece.data(), piece.size(), m_buffer.get() + m_used);
        m_used += piece.size();
        return true;
    }
    [[nodiscard]] bool flush();

private:
    static constexpr std::size_t Capacity = 1 << 18;
    [[nodiscard]] bool putAfterFlush(std::string_view piece);
    int m_fd;
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_used = 0;
};

/// writeFileSafely with bytes that writeContent puts into the writer as it makes them;
/// false from writeContent fails the write.
[[nodiscard]] bool writeFileSafely(const std::string& path,
    const std::function<bool(BufferedFileWriter&)>& writeContent,
    const SafeWriteOptions& options = {}, std::string* error = nullptr);

/// The content writer of a file made of lines (any list of texts), each followed by lineEnd.
template <typename Lines> auto linesWriter(const Lines& lines, std::string_view lineEnd)
{
    return [&lines, lineEnd](BufferedFileWriter& out) {
        for (std::string_view line : lines)
            if (!out.put(line) || !out.put(lineEnd))
                return false;
        return true;
    };
}

/// A file made of lines (any list of texts), each followed by lineEnd, written straight from
/// the list without joining it into a copy first.
template <typename Lines>
[[nodiscard]] bool writeLinesSafely(const std::string& path, const Lines& lines,
    std::string_view lineEnd, const SafeWriteOptions& options = {}, std::string* error = nullptr)
{
    return writeFileSafely(path, linesWriter(lines, lineEnd), options, error);
}

/// Writes a scratch or diagnostic file of the program directory: private to the user (mode
/// 0600, also for a file an older version left readable to others), not flushed to the disk.
/// When it cannot be written, an older file at the path is removed, or else emptied, so that
/// it never passes for this run's content; *error then names the file and says when stale
/// content could not be cleared.
[[nodiscard]] bool writeScratchFile(const std::string& path,
    const std::function<bool(BufferedFileWriter&)>& writeContent, std::string* error = nullptr);
[[nodiscard]] bool writeScratchFile(
    const std::string& path, std::string_view bytes, std::string* error = nullptr);

/// writeScratchFile of lines, each followed by lineEnd, written straight from the list.
template <typename Lines>
[[nodiscard]] bool writeScratchLines(const std::string& path, const Lines& lines,
    std::string_view lineEnd, std::string* error = nullptr)
{
    return writeScratchFile(path, linesWriter(lines, lineEnd), error);
}

/// Removes the regular file at path, or else empties it, after a failed write, so that an
/// earlier run's content cannot pass for the new one. False when it is still there whole.
bool clearStaleFile(const std::string& path);

/// Reads everything left in an open file into bytes (replacing them). A regular file is read
/// into storage sized once, with room for one more byte (a line end the caller may add).
/// False with the system's error number in *error when a read fails; EINTR is retried.
[[nodiscard]] bool readAllFrom(int fd, std::string& bytes, int* error = nullptr);

/// Joins lines (any list of texts), each followed by lineEnd.
template <typename Lines> std::string joinLines(const Lines& lines, std::string_view lineEnd)
{
    std::size_t total = 0;
    for (std::string_view line : lines)
        total += line.size() + lineEnd.size();
    std::string bytes;
    bytes.reserve(total);
    for (std::string_view line : lines) {
        bytes += line;
        bytes += lineEnd;
    }
    return bytes;
}

/// Joins lines (any list of texts), each followed by CR LF.
template <typename Lines> std::string joinCrLf(const Lines& lines)
{
    return joinLines(lines, "\r\n");
}

} // namespace zenkel
