/// File job: one operation on one HTML file, and the file helpers of the batch runs.
#include "batch/FileJob.h"

#include "batch/FileTypes.h"

#include "base/Ascii.h"
#include "base/Paths.h"
#include "base/SafeFile.h"
#include "batch/Backup.h"
#include "batch/Session.h"
#include "engine/Engine.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace zenkel {

namespace {

/// Block size of file copies (backups and restores).
constexpr std::size_t CopyBlockSize = 65536;

constexpr mode_t AnyWriteBit = S_IWUSR | S_IWGRP | S_IWOTH;

std::string systemMessage(int err)
{
    return std::strerror(err);
}

/// Reads a whole file; false with errno kept in *err when it cannot be opened or read.
bool readFileBytes(const std::string& path, std::string& bytes, int* err)
{
    bytes.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        *err = errno;
        return false;
    }
    const bool ok = readAllFrom(fd, bytes, err);
    ::close(fd);
    return ok;
}

/// The extension with its dot, taken after the last '/'; empty when there is none.
std::string extensionOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    return path.substr(dot);
}

bool hasListedExtension(const std::string& path)
{
    // "*" + extension, cut to five characters: ".html" gives "*.htm", no extension "*".
    std::string pattern = "*";
    pattern += extensionOf(path);
    if (pattern.size() > 5)
        pattern.resize(5);
    return upperAsciiText(FileTypeListText()).find(upperAsciiText(pattern)) != std::string::npos;
}

bool containsHtmlTag(const std::string& bytes)
{
    // "<HTML" holds no line break, so a search over the whole text finds what a search
    // line by line finds.
    return upperAsciiText(bytes).find("<HTML") != std::string::npos;
}

__extension__ typedef __int128 Int128;

std::string decimal(Int128 value)
{
    if (value == 0)
        return "0";
    const bool negative = value < 0;
    std::string digits;
    while (value != 0) {
        const int digit = static_cast<int>(value % 10);
        digits.insert(digits.begin(), static_cast<char>('0' + (negative ? -digit : digit)));
        value /= 10;
    }
    if (negative)
        digits.insert(digits.begin(), '-');
    return digits;
}

FileJobResult failed(std::string message)
{
    return {JobOutcome::Failed, std::move(message)};
}

/// A file too large for the memory left: the file stays as it was. What the step built is
/// dropped, so that no part of it passes for a result and its memory is free for the next file.
FileJobResult outOfMemory(Engine& engine, const std::string& path)
{
    engine.outputList() = TextList {};
    engine.setSourceText({});
    return {JobOutcome::OutOfMemory,
        "Not enough memory to process \"" + path + "\"; the file was not changed"};
}

} // namespace

FileJobHost& nullFileJobHost()
{
    static FileJobHost host;
    return host;
}

FileCheck CheckHtmlFile(
    const std::string& path, bool doValidate, CommandLineMode mode, std::string* error)
{
    struct stat info
    {
    };
    if (::stat(path.c_str(), &info) != 0)
        return FileCheck::Missing;
    if (S_ISDIR(info.st_mode))
        return FileCheck::Directory;
    if (!S_ISREG(info.st_mode))
        return FileCheck::NotAFile;
    if (!hasListedExtension(path))
        return FileCheck::WrongType;
    if (!doValidate && mode == CommandLineMode::None)
        return FileCheck::Valid;
    std::string bytes;
    int err = 0;
    if (!readFileBytes(path, bytes, &err)) {
        if (error)
            *error = systemMessage(err);
        return FileCheck::Unreadable;
    }
    return containsHtmlTag(bytes) ? FileCheck::Valid : FileCheck::NoHtmlTag;
}

bool IsValidHtmlFile(const std::string& path, bool doValidate, CommandLineMode mode)
{
    return CheckHtmlFile(path, doValidate, mode) == FileCheck::Valid;
}

std::string FileCheckMessage(FileCheck check, const std::string& path)
{
    switch (check) {
    case FileCheck::Valid:
        return {};
    case FileCheck::Missing:
        return path.empty() ? std::string("empty file name") : path + ": no such file";
    case FileCheck::Directory:
        return path + ": is a directory, not a file";
    case FileCheck::NotAFile:
        return path + ": not a regular file";
    case FileCheck::WrongType:
        return path + ": not an HTML file type (\"" + extensionOf(path)
            + "\" matches none of *.htm *.asp *.sht *.dht *.cfm)";
    case FileCheck::NoHtmlTag:
        return path + ": no <HTML tag inside, file skipped";
    case FileCheck::Unreadable:
        return path + ": cannot be read";
    }
    return {};
}

bool CheckWritableFile(const std::string& path, std::string* error)
{
    auto refuse = [&](const std::string& message) {
        if (error)
            *error = message;
        return false;
    };
    struct stat info
    {
    };
    if (::stat(path.c_str(), &info) != 0)
        return refuse(path + ": " + systemMessage(errno));
    if (::access(path.c_str(), W_OK) != 0 || (info.st_mode & AnyWriteBit) == 0)
        return refuse(path + ": file is read-only, not changed");
    // The file is replaced through a new sibling, which the directory must admit.
    const std::string dir = directoryOf(path);
    struct stat dirInfo
    {
    };
    if (::stat(dir.c_str(), &dirInfo) != 0 || ::access(dir.c_str(), W_OK | X_OK) != 0
        || (dirInfo.st_mode & AnyWriteBit) == 0)
        return refuse(path + ": directory " + dir + " is read-only, file not changed");
    return true;
}

std::string SourceTextFromBytes(std::string_view bytes, ProgressSink& sink)
{
    std::string text;
    text.reserve(bytes.size() + 1);
    text.assign(bytes);
    SourceTextInPlace(text, sink);
    return text;
}

void SourceTextInPlace(std::string& bytes, ProgressSink& sink)
{
    const std::size_t size = bytes.size();
    char* const data = bytes.data();
    // The progress range is the length of the text with CR LF after every line: each line
    // end counts two, and a last line without one gets it.
    // One pass counts the LFs and tells whether there are CRs at all (most files have none).
    std::size_t lfs = 0;
    unsigned char anyCr = 0;
    for (std::size_t i = 0; i < size; ++i) {
        lfs += data[i] == '\n';
        anyCr |= data[i] == '\r';
    }
    std::size_t loneCrs = 0;
    std::size_t crLfs = 0;
    for (const char* cr = data; anyCr
         && (cr = static_cast<const char*>(
                 std::memchr(cr, '\r', static_cast<std::size_t>(data + size - cr))));
         ++cr) {
        if (cr + 1 < data + size && cr[1] == '\n')
            ++crLfs;
        else
            ++loneCrs;
    }
    const bool openLastLine = size > 0 && data[size - 1] != '\r' && data[size - 1] != '\n';
    const std::size_t lineEnds = lfs + loneCrs;
    const std::size_t joinedLength
        = size - lfs - loneCrs - crLfs + 2 * lineEnds + (openLastLine ? 2 : 0);
    sink.SetProgressRange(0, static_cast<long long>(joinedLength));

    // One block per tenth of the bytes: within a block the runs between CRs are moved down
    // as a whole (nothing moves before the first CR), each CR or CR LF becomes one LF.
    const std::size_t block = size < 10 ? 1 : size / 10;
    std::size_t read = 0;
    std::size_t write = 0;
    while (read < size) {
        const std::size_t blockEnd = std::min(size, read + block);
        while (read < blockEnd) {
            const void* found = anyCr ? std::memchr(data + read, '\r', blockEnd - read) : nullptr;
            const std::size_t runEnd = found
                ? static_cast<std::size_t>(static_cast<const char*>(found) - data)
                : blockEnd;
            if (write != read)
                std::memmove(data + write, data + read, runEnd - read);
            write += runEnd - read;
            read = runEnd;
            if (!found)
                break;
            data[write++] = '\n';
            read += (read + 1 < size && data[read + 1] == '\n') ? 2 : 1;
        }
        // The share of the joined text that the bytes read so far stand for.
        sink.SetProgressPosition(0,
            static_cast<long long>(
                static_cast<double>(read) / static_cast<double>(size) * joinedLength));
    }
    bytes.resize(write);
    if (openLastLine)
        bytes += '\n';
    sink.SetProgressRange(0, 0);
}

LoadResult LoadSourceText(
    Engine& engine, const std::string& path, ProgressSink& sink, std::string* error)
{
    if (!isRegularFile(path))
        return LoadResult::Missing;
    sink.SetStatus("Loading: " + path);
    std::string bytes;
    int err = 0;
    if (!readFileBytes(path, bytes, &err)) {
        if (error)
            *error = "Cannot read file \"" + path + "\": " + systemMessage(err);
        return LoadResult::Unreadable;
    }
    SourceTextInPlace(bytes, sink);
    engine.setSourceText(std::move(bytes), path);
    return LoadResult::Loaded;
}

std::int64_t FileSizeOf(const std::string& path)
{
    struct stat info
    {
    };
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return 0;
    return static_cast<std::int64_t>(info.st_size);
}

bool CopyFileKeepDate(const std::string& source, const std::string& destination, std::string* error)
{
    return CopyFileKeepDateWhileFlushing(source, destination, {}, error);
}

bool CopyFileKeepDateWhileFlushing(const std::string& source, const std::string& destination,
    const std::function<void()>& whileFlushing, std::string* error)
{
    auto fail = [error](const std::string& message) {
        if (error)
            *error = message;
        return false;
    };
    const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return fail("Cannot read file \"" + source + "\": " + systemMessage(errno));
    struct stat sourceInfo
    {
    };
    int err = 0;
    if (::fstat(in, &sourceInfo) != 0)
        err = errno;
    else if (S_ISDIR(sourceInfo.st_mode))
        err = EISDIR;
    if (err != 0) {
        ::close(in);
        return fail("Cannot read file \"" + source + "\": " + systemMessage(err));
    }

    // A new copy may always be replaced by a later one, even of a read-only source.
    SafeWriteOptions options;
    options.newFileMode = (sourceInfo.st_mode & 0777) | S_IWUSR;
    options.modificationTime = sourceInfo.st_mtim;
    options.whileFlushing = whileFlushing;
    // The copy streams in blocks, so a large file is never held in memory; a failed read
    // fails the write, which then leaves the destination as it was.
    int readError = 0;
    const bool ok = writeFileSafely(
        destination,
        [in, &readError](BufferedFileWriter& out) {
            char buffer[CopyBlockSize];
            for (;;) {
                const ssize_t got = ::read(in, buffer, sizeof buffer);
                if (got < 0 && errno == EINTR)
                    continue;
                if (got < 0) {
                    readError = errno;
                    return false;
                }
                if (got == 0)
                    return true;
                if (!out.put(std::string_view(buffer, static_cast<std::size_t>(got))))
                    return false;
            }
        },
        options, error);
    ::close(in);
    if (!ok && readError != 0)
        return fail("Cannot read file \"" + source + "\": " + systemMessage(readError));
    return ok;
}

std::string CompressionFigures(std::int64_t before, std::int64_t after)
{
    // 128-bit arithmetic: after * 100 and the percentage stay exact for any 64-bit sizes.
    const Int128 wideBefore = before;
    const Int128 wideAfter = after;
    const Int128 percentage
        = (before == 0 || after == 0) ? 0 : 100 - (wideAfter * 100) / wideBefore;
    std::string text = " ";
    text += decimal(wideBefore);
    text += "->";
    text += decimal(wideAfter);
    text += " (";
    text += decimal(wideBefore - wideAfter);
    text += " bytes, ";
    text += decimal(percentage);
    text += "%) ";
    text += " saved ";
    return text;
}

std::optional<std::uint64_t> systemFreeSpace(const std::string& dir)
{
    struct statvfs info
    {
    };
    if (::statvfs(dir.c_str(), &info) != 0)
        return std::nullopt;
    return static_cast<std::uint64_t>(info.f_bavail) * static_cast<std::uint64_t>(info.f_frsize);
}

bool CheckDiskSpace(const std::string& path, FileJobHost& host, const FreeSpaceQuery& freeSpace)
{
    const std::string dir = NormalizeDirectory(directoryOf(path));
    const std::optional<std::uint64_t> free = freeSpace(dir);
    if (!free)
        return true;
    // free < 4 * size, without the product overflowing.
    if (*free / 4 >= static_cast<std::uint64_t>(FileSizeOf(path)))
        return true;
    host.fatalError("Disk full: " + dir + "\r\n" + "Program terminated.");
    return false;
}

FileJobResult RunFileJob(Session& session, const std::string& path)
{
    RunState& state = session.runState;
    if (!isRegularFile(path))
        return {JobOutcome::Skipped, "File not found: " + path};
    if (!CheckDiskSpace(path, session.host))
        return failed("Disk full: " + NormalizeDirectory(directoryOf(path)));

    if (state.Operation == Operation::Restore) {
        state.backupFile = siblingBackupPath(path, session.settings.BackupExt);
        std::string error;
        switch (restoreFromBackup(path, session.settings.BackupExt, CopyFileKeepDate, &error)) {
        case RestoreOutcome::Restored:
            return {JobOutcome::Processed, {}};
        case RestoreOutcome::Skipped:
            return {JobOutcome::Skipped, "No backup to restore: " + state.backupFile};
        case RestoreOutcome::Failed:
            return failed(error);
        }
    }

    std::string error;
    LoadResult loaded;
    try {
        loaded = LoadSourceText(session.engine, path, session.host, &error);
    } catch (const std::bad_alloc&) {
        return outOfMemory(session.engine, path);
    }
    switch (loaded) {
    case LoadResult::Missing:
        return {JobOutcome::Skipped, "File not found: " + path};
    case LoadResult::Unreadable:
        return {JobOutcome::Unreadable, error};
    case LoadResult::Loaded:
        break;
    }
    session.host.SetProgressPosition(0, 0);
    return ProcessSourceText(session);
}

BackedUpJob RunFileJobAfterBackup(Session& session, const std::string& path, bool backUp)
{
    BackedUpJob result;
    if (!backUp) {
        result.backup.ok = true;
        result.job = RunFileJob(session, path);
        return result;
    }
    const auto copyThenRun
        = [&](const std::string& source, const std::string& destination, std::string* error) {
              return CopyFileKeepDateWhileFlushing(
                  source, destination, [&] { result.job = RunFileJob(session, path); }, error);
          };
    // A copy that succeeds has been written, so the job has run while it was flushed.
    result.backup = makeFileBackup(session.runState, path, session.settings.BackupExt, copyThenRun);
    return result;
}

FileJobResult ProcessSourceText(Session& session)
{
    const Operation operation = session.runState.Operation;
    if (operation != Operation::Format && operation != Operation::Compress
        && operation != Operation::Trim)
        return failed("No operation chosen");
    Engine& engine = session.engine;
    try {
        // The result lines are kept with the line end they are written with, and the source
        // text goes once it is scanned: only the result is written.
        engine.outputList().setLineEnd(lineEndOf(session.settings));
        engine.setKeepSourceText(false);
        engine.runOperation(operation);
    } catch (const std::bad_alloc&) {
        const std::string path = engine.fileName();
        return outOfMemory(engine, path);
    }
    // Only written for inspection, never read back: the job goes on without them.
    std::string error;
    if (!engine.writeDiagnosticFiles(session.runState.programDirectory, &error))
        session.noteScratchError(error);
    return {JobOutcome::Processed, {}};
}

std::string_view lineEndOf(const ProgramSettings& settings)
{
    return settings.LineEnds == LineEndsLf ? std::string_view("\n") : std::string_view("\r\n");
}

bool WriteResult(Session& session, std::string* error)
{
    const RunState& state = session.runState;
    if (state.currentFile.empty()) {
        if (error)
            *error = "No current file to write";
        return false;
    }
    const TextList& lines = session.engine.outputList();
    const std::string_view lineEnd = lineEndOf(session.settings);
    const auto content = [&lines, lineEnd](BufferedFileWriter& out) {
        return lines.putLines(lineEnd, [&out](std::string_view piece) { return out.put(piece); });
    };
    // The snapshot is the editor's reload copy, written whether or not the file can be; an
    // unwritable program directory must not keep the user's file from being written. It is
    // written while the file's content goes out to the disk.
    bool snapshotWritten = false;
    auto writeSnapshot = [&] {
        snapshotWritten = true;
        if (std::string scratchError; !writeScratchFile(state.snapshotFile, content, &scratchError))
            session.noteScratchError(scratchError);
    };
    SafeWriteOptions options;
    options.whileFlushing = writeSnapshot;
    const bool written = writeFileSafely(state.currentFile, content, options, error);
    if (!snapshotWritten)
        writeSnapshot();
    return written;
}

} // namespace zenkel
