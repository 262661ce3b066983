/// File job: one operation on one HTML file, and the file helpers of the batch runs.
#pragma once

#include "batch/Backup.h"
#include "batch/RunState.h"
#include "engine/ProgressSink.h"
#include "engine/ScanLists.h"
#include "style/ProgramSettings.h"
#include "style/StyleCatalogue.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace zenkel {

class Engine;
struct Session;

/// Where the file job and the session report: the status line and the progress bars (bar 0
/// ProgressActFile, bar 1 ProgressAll; other bars are ignored), fatal errors that end the
/// program, and the main window's caption. The defaults do nothing.
class FileJobHost : public ProgressSink, public StyleHost
{
};

/// A host that ignores everything.
FileJobHost& nullFileJobHost();

// ---- acceptance of a file ---------------------------------------------------------------

enum class FileCheck
{
    Valid,
    Missing, ///< nothing at the path
    Directory, ///< a directory given as a file
    NotAFile, ///< another entry that is not a regular file
    WrongType, ///< the extension is not one of the file-type list
    NoHtmlTag, ///< the content test found no "<HTML"
    Unreadable, ///< the content test could not read the file
};

/// The validity test with its reason. The content test (a line holding "<HTML" in any case)
/// runs when doValidate is on or the program was started from the command line.
FileCheck CheckHtmlFile(
    const std::string& path, bool doValidate, CommandLineMode mode, std::string* error = nullptr);
/// True when the file may be processed.
bool IsValidHtmlFile(const std::string& path, bool doValidate, CommandLineMode mode);
/// One line saying why a file was refused (empty for Valid); names the path.
std::string FileCheckMessage(FileCheck check, const std::string& path);

/// True when the file and its directory may be written. Write bits are looked at as well,
/// so a read-only file or directory is refused even for a user the system would let write.
[[nodiscard]] bool CheckWritableFile(const std::string& path, std::string* error = nullptr);

// ---- source text ------------------------------------------------------------------------

/// The engine's source text from file bytes: every line end (CR LF, lone CR, lone LF)
/// becomes LF, and a last line without one gets it; empty bytes give an empty text.
std::string SourceTextFromBytes(std::string_view bytes, ProgressSink& sink = nullProgressSink());

/// The same conversion done in place: bytes becomes the source text. Line ends are converted
/// in bulk, runs between CRs moved as a whole, and progress is reported once per tenth of
/// the text, so a file is touched once and never copied.
void SourceTextInPlace(std::string& bytes, ProgressSink& sink = nullProgressSink());

enum class LoadResult
{
    Loaded,
    Missing,
    Unreadable,
};

/// Reads the file into the engine's source text (status "Loading: " + path, progress on
/// bar 0). Unreadable sets *error to a message that names the file.
[[nodiscard]] LoadResult LoadSourceText(
    Engine& engine, const std::string& path, ProgressSink& sink, std::string* error = nullptr);

// ---- sizes and copies -------------------------------------------------------------------

/// Size in bytes of a regular file; 0 when there is none.
std::int64_t FileSizeOf(const std::string& path);

/// Copies source to destination with writeFileSafely, so a failed copy leaves the destination
/// as it was. The copy gets the source's modification time; an existing destination keeps its
/// permissions and owner and is refused when it has no write permission, a symbolic link is
/// written through to its target; a new file gets the source's permissions plus the owner's
/// write bit.
[[nodiscard]] bool CopyFileKeepDate(
    const std::string& source, const std::string& destination, std::string* error = nullptr);
/// CopyFileKeepDate that runs whileFlushing once the copy is written, while it goes out to
/// the disk (see SafeWriteOptions).
[[nodiscard]] bool CopyFileKeepDateWhileFlushing(const std::string& source,
    const std::string& destination, const std::function<void()>& whileFlushing,
    std::string* error = nullptr);

/// " 1000->800 (200 bytes, 20%)  saved ": exact for any sizes.
std::string CompressionFigures(std::int64_t before, std::int64_t after);

// ---- disk space -------------------------------------------------------------------------

/// Free bytes of the file system holding a directory; nothing when it cannot be told.
using FreeSpaceQuery = std::function<std::optional<std::uint64_t>(const std::string& dir)>;
std::optional<std::uint64_t> systemFreeSpace(const std::string& dir);

/// True when the file system holding path has at least 4 x the file's size free (or the
/// free space cannot be told). Otherwise tells the host "Disk full: " + the file's directory
/// + "\r\nProgram terminated." as a fatal error and returns false.
bool CheckDiskSpace(
    const std::string& path, FileJobHost& host, const FreeSpaceQuery& freeSpace = systemFreeSpace);

// ---- the job ----------------------------------------------------------------------------

enum class JobOutcome
{
    Processed,
    Skipped, ///< the file (or, for a restore, its backup) is not there
    Unreadable, ///< the file could not be read; nothing was written
    OutOfMemory, ///< the file is too large for the memory left; nothing was written
    Failed, ///< a copy or disk-space failure; the message says which
};

struct [[nodiscard]] FileJobResult
{
    JobOutcome outcome = JobOutcome::Skipped;
    std::string message; ///< why it was skipped or failed; names the file
    bool processed() const { return outcome == JobOutcome::Processed; }
};

/// Runs the session's Operation on one file. The caller has set the current file and made
/// the backup. Restore copies path + backup extension over the file; the other operations
/// leave the result in the engine's output list for WriteResult.
FileJobResult RunFileJob(Session& session, const std::string& path);

/// With backUp, the backup of path (makeFileBackup with CopyFileKeepDate) and the file job on
/// it, the job run while the backup goes out to the disk, so that the two overlap. The job
/// reads the content the backup holds; its result counts only when the backup was made. No
/// job (the outcome Skipped, without a message) when the backup could not be copied. Without
/// backUp, the file job alone (the backup counts as made).
struct BackedUpJob
{
    BackupResult backup;
    FileJobResult job;
};
BackedUpJob RunFileJobAfterBackup(Session& session, const std::string& path, bool backUp);

/// Scans the engine's source text (not for Trim), writes the diagnostic files into the
/// program directory (a failure there is ignored) and runs Format, Compress or Trim.
FileJobResult ProcessSourceText(Session& session);

/// The line end written after every output line: LF when LineEnds says "lf", else CR LF.
std::string_view lineEndOf(const ProgramSettings& settings);

/// Writes the output list to the current file and to the snapshot file (ignored when it
/// cannot be written; written whether or not the current file can be), each line followed
/// by the line end of the settings; the lines go straight from the list to the files.
/// False and *error when the current file cannot be written; it then stays as it was.
[[nodiscard]] bool WriteResult(Session& session, std::string* error = nullptr);

} // namespace zenkel
