/// Backups and restore: sibling backup names, the numbered backup directories of tree runs,
/// the restore of a file from its sibling backup, and the confirmation text shown before a run.
#pragma once

#include "batch/RunState.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace zenkel {

inline constexpr const char* DefaultBackupExt = ".zbak";
/// Tree runs number their backup directories 00..99.
inline constexpr int MaxBackupDirectories = 100;

inline constexpr const char* TooManyBackupDirsMessage = "Too many existing BACKUP-Directories";
/// The two protocol lines of a tree run whose backup directory cannot be made.
inline constexpr const char* BackupDirFailedLine
    = "--> ERROR: Creating backup directory failed ...";
inline constexpr const char* AbortedLine = "--> aborted ...";

/// Copies source to destination, keeping the source's modification time; false (with the
/// reason in *error, when given) when the copy is not complete. The batch run passes
/// CopyFileKeepDate.
using CopyFileFunction = std::function<bool(
    const std::string& source, const std::string& destination, std::string* error)>;

/// Blanks trimmed, inner blanks, '/' and later dots turned into '_', a leading '.' ensured; an
/// empty text or a lone dot gives ".zbak". Not cut: the caller keeps the first 5 characters.
std::string NormalizeBackupExt(std::string_view text);

/// A file's sibling backup is its full path with the backup extension appended.
/// SingleFile: sets state.backupFile to the current file's sibling backup and tells whether it
/// exists. FileList: whether any file of the list has one (state.backupFile unchanged).
/// Tree and None: false, so restore is never offered for a tree.
bool BackupExists(RunState& state, const std::string& backupExt);

/// The first of sourceDirectory (without its final '/') + "_BAK00/" .. "_BAK99/" at which
/// nothing exists yet; empty when all 100 are taken or sourceDirectory is empty or the root.
std::string NextBackupDirectory(const std::string& sourceDirectory);

/// Makes the run's backup directory (with missing parents) and stores it in
/// state.backupDirectory. On failure state.backupDirectory is emptied, *error holds
/// TooManyBackupDirsMessage or the reason, and nothing is created.
[[nodiscard]] bool CreateBackupDirectory(RunState& state, std::string* error = nullptr);

/// backupDirectory + the part of file that follows sourceDirectory; empty when file does not
/// lie inside sourceDirectory or there is no backup directory, so a backup never lands
/// outside the backup directory.
std::string TreeBackupPath(const std::string& file, const std::string& sourceDirectory,
    const std::string& backupDirectory);
std::string TreeBackupPath(const RunState& state, const std::string& file);

struct BackupResult
{
    bool ok = false;
    std::string backupFile;
    std::string error; ///< names the file and the reason when !ok
};

/// The backup of one file before a run changes it: in a tree run the tree backup (its
/// directory made with missing parents), otherwise the sibling backup, which replaces an
/// older one. Sets state.backupFile.
[[nodiscard]] BackupResult makeFileBackup(RunState& state, const std::string& file,
    const std::string& backupExt, const CopyFileFunction& copy);

enum class RestoreOutcome
{
    Restored,
    Skipped, ///< the file or its sibling backup does not exist; nothing changed
    Failed, ///< the copy did not complete
};

/// Copies the sibling backup over file; the backup stays in place and no new backup is made.
[[nodiscard]] RestoreOutcome restoreFromBackup(const std::string& file,
    const std::string& backupExt, const CopyFileFunction& copy, std::string* error = nullptr);

/// What the confirmation text says besides the operation, the mode and the backup setting.
struct MsgFacts
{
    std::string currentFile; ///< SingleFile
    std::string backupExt; ///< SingleFile
    bool backupExists = false; ///< SingleFile: BackupExists
    std::size_t fileCount = 0; ///< FileList and Tree
    std::string nextBackupDirectory; ///< Tree: NextBackupDirectory, named before it exists
};

struct ConfirmationMsg
{
    std::string caption;
    std::string text; ///< line breaks are CR LF
    bool backupBoxEnabled = true;
};

/// The confirmation dialog's caption and text. Built again whenever the backup box changes.
ConfirmationMsg MakeMsg(zenkel::Operation operation, zenkel::SelectionMode mode,
    bool doCreateBackUps, const MsgFacts& facts);

/// Collects the facts from the run state and the disk (may set state.backupFile, as
/// BackupExists does).
MsgFacts gatherMsgFacts(RunState& state, const std::string& backupExt);

} // namespace zenkel
