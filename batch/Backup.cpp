/// Backups and restore: sibling backup names, the numbered backup directories of tree runs,
/// the restore of a file from its sibling backup, and the confirmation text shown before a run.
#include "batch/Backup.h"

#include "base/Paths.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include <cerrno>
#include <sys/stat.h>

namespace zenkel {

namespace fs = std::filesystem;

namespace {

bool isBlank(char c)
{
    return static_cast<unsigned char>(c) <= ' ';
}

/// Anything at the path, a dangling link included, takes the name.
bool anythingAt(const std::string& path)
{
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(path, ec);
    return !ec && fs::exists(status);
}

std::string backupDirectoryName(const std::string& base, int number)
{
    char digits[8];
    std::snprintf(digits, sizeof digits, "%02d", number);
    return base + "_BAK" + digits;
}

bool hasParentStep(const std::string& relative)
{
    for (const fs::path& part : fs::path(relative))
        if (part == "..")
            return true;
    return false;
}

const char* captionOf(zenkel::Operation operation)
{
    switch (operation) {
    case Operation::Format:
        return "Format";
    case Operation::Compress:
        return "Compress";
    case Operation::Restore:
        return "Restore";
    case Operation::Trim:
        return "Trim";
    case Operation::None:
        break;
    }
    return "";
}

const char* verbOf(zenkel::Operation operation)
{
    switch (operation) {
    case Operation::Format:
        return " formatted ";
    case Operation::Compress:
        return " compressed ";
    case Operation::Trim:
        return " trimmed ";
    case Operation::Restore:
    case Operation::None:
        break;
    }
    return " processed ";
}

std::string singleFileText(const std::string& verb, bool doCreateBackUps, const MsgFacts& facts)
{
    const std::string backup = facts.currentFile + facts.backupExt;
    std::string text = "\r\nThe current file will be" + verb
        + "now.\r\n\r\n"
          "Note: following files will be overwritten:\r\n"
          "SOURCE:  \""
        + facts.currentFile + "\"\r\n";
    if (!doCreateBackUps)
        return text + "\r\n ******** WARNING: *********\r\n  No Backup File will be created!";
    if (facts.backupExists)
        return text + "BACKUP:  \"" + backup + "\"";
    return text + "\r\nBackup will be saved first time:\r\n\"" + backup + "\"";
}

std::string manyFilesText(zenkel::Operation operation, zenkel::SelectionMode mode,
    const std::string& verb, bool doCreateBackUps, const MsgFacts& facts)
{
    const std::string text
        = "\r\n" + std::to_string(facts.fileCount) + " files will be" + verb + "now.\r\n\r\n";
    if (mode == SelectionMode::FileList && operation == Operation::Restore)
        return text
            + "HTML-Files without a corresponding\r\nBackup File will be skipped.\r\n\r\n"
              "Note: Restore doesn't generate new Backup Files!";
    if (!doCreateBackUps)
        return text + "******  WARNING: ******\r\nNo Backup Files will be created!";
    if (mode == SelectionMode::Tree)
        return text + "Backup enabled.\r\nSource Files will be copied to:\r\n\""
            + facts.nextBackupDirectory + "\"";
    return text + "Backup Files will be created.\r\n\r\nExisting Backups will be overwritten.";
}

/// Makes a backup directory that is never more open than the directory it backs up: made
/// private first, then given that directory's permissions (private when they cannot be told).
bool makeDirectoryLike(const std::string& path, const std::string& original, std::error_code& ec)
{
    if (::mkdir(path.c_str(), S_IRWXU) != 0) {
        ec.assign(errno, std::generic_category());
        return false;
    }
    struct stat info
    {
    };
    if (::stat(original.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        (void)::chmod(path.c_str(), info.st_mode & 07777);
    return true;
}

/// The directories of relativeDir below backupRoot, each made like its counterpart below
/// sourceRoot; those already there are kept as they are.
void makeMirroredDirectories(const std::string& sourceRoot, const std::string& backupRoot,
    const std::string& relativeDir, std::error_code& ec)
{
    std::string relative;
    for (const fs::path& part : fs::path(relativeDir)) {
        if (!relative.empty())
            relative += '/';
        relative += part.string();
        const std::string target = withTrailingSlash(backupRoot) + relative;
        if (fs::is_directory(target, ec))
            continue;
        ec.clear();
        if (!makeDirectoryLike(target, withTrailingSlash(sourceRoot) + relative, ec))
            return;
    }
}

} // namespace

std::string NormalizeBackupExt(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    std::string ext(text);
    // A '/' would put the backup into a sub-directory of the file's own name.
    std::replace_if(
        ext.begin(), ext.end(), [](char c) { return c == ' ' || c == '/'; }, '_');
    if (ext.empty())
        return DefaultBackupExt;
    if (ext.front() != '.')
        ext.insert(ext.begin(), '.');
    if (ext.size() < 2)
        return DefaultBackupExt;
    std::replace(ext.begin() + 1, ext.end(), '.', '_');
    return ext;
}

bool BackupExists(RunState& state, const std::string& backupExt)
{
    switch (state.SelectionMode) {
    case SelectionMode::SingleFile:
        state.backupFile = siblingBackupPath(state.currentFile, backupExt);
        return !backupExt.empty() && isRegularFile(state.backupFile);
    case SelectionMode::FileList:
        return !backupExt.empty()
            && std::any_of(state.fileList.begin(), state.fileList.end(), [&](const auto& file) {
                   return isRegularFile(siblingBackupPath(file, backupExt));
               });
    case SelectionMode::Tree:
    case SelectionMode::None:
        break;
    }
    return false;
}

std::string NextBackupDirectory(const std::string& sourceDirectory)
{
    // The root has no sibling to hold its backups; "_BAK00" would land in the working directory.
    const std::string base = withoutTrailingSlashes(sourceDirectory);
    if (base.empty())
        return {};
    for (int number = 0; number < MaxBackupDirectories; ++number) {
        const std::string name = backupDirectoryName(base, number);
        if (!anythingAt(name))
            return name + "/";
    }
    return {};
}

bool CreateBackupDirectory(RunState& state, std::string* error)
{
    state.backupDirectory.clear();
    const std::string base = withoutTrailingSlashes(state.sourceDirectory);
    if (base.empty()) {
        if (error)
            *error = "No backup directory can be made beside \"" + state.sourceDirectory + "\"";
        return false;
    }
    for (int number = 0; number < MaxBackupDirectories; ++number) {
        const std::string name = backupDirectoryName(base, number);
        if (anythingAt(name))
            continue;
        std::error_code ec;
        fs::create_directories(fs::path(name).parent_path(), ec);
        // A new directory only (mkdir fails on one that is there), so that a directory made by
        // someone else in the meantime is never taken over: the next number is tried instead.
        const bool created = !ec && makeDirectoryLike(name, base, ec);
        if (ec == std::errc::file_exists) {
            ec.clear();
            continue;
        }
        if (ec) {
            if (error)
                *error = "Cannot create directory \"" + name + "/\": " + ec.message();
            return false;
        }
        if (created) {
            state.backupDirectory = name + "/";
            return true;
        }
    }
    if (error)
        *error = TooManyBackupDirsMessage;
    return false;
}

std::string TreeBackupPath(
    const std::string& file, const std::string& sourceDirectory, const std::string& backupDirectory)
{
    if (withoutTrailingSlashes(sourceDirectory).empty()
        || withoutTrailingSlashes(backupDirectory).empty())
        return {};
    const std::string source = withTrailingSlash(sourceDirectory);
    if (file.size() <= source.size() || file.compare(0, source.size(), source) != 0)
        return {};
    const std::string relative = file.substr(source.size());
    if (hasParentStep(relative))
        return {};
    return withTrailingSlash(backupDirectory) + relative;
}

std::string TreeBackupPath(const RunState& state, const std::string& file)
{
    return TreeBackupPath(file, state.sourceDirectory, state.backupDirectory);
}

BackupResult makeFileBackup(RunState& state, const std::string& file, const std::string& backupExt,
    const CopyFileFunction& copy)
{
    BackupResult result;
    if (state.SelectionMode == SelectionMode::Tree) {
        result.backupFile = TreeBackupPath(state, file);
        if (result.backupFile.empty()) {
            result.error
                = "No backup place for \"" + file + "\" below \"" + state.backupDirectory + "\"";
            return result;
        }
        std::error_code ec;
        const std::string relative
            = result.backupFile.substr(withTrailingSlash(state.backupDirectory).size());
        makeMirroredDirectories(state.sourceDirectory, state.backupDirectory,
            fs::path(relative).parent_path().string(), ec);
        if (ec) {
            result.error
                = "Cannot create the backup directory for \"" + file + "\": " + ec.message();
            return result;
        }
    } else {
        // An empty extension would make the file its own backup, and the copy would empty it.
        if (backupExt.empty()) {
            result.error
                = "No backup extension set (BackupExt is empty): \"" + file + "\" has no backup";
            return result;
        }
        result.backupFile = siblingBackupPath(file, backupExt);
    }
    state.backupFile = result.backupFile;
    std::string reason;
    result.ok = copy(file, result.backupFile, &reason);
    if (!result.ok)
        result.error = "Backup of \"" + file + "\" to \"" + result.backupFile + "\" failed"
            + (reason.empty() ? "" : ": " + reason);
    return result;
}

RestoreOutcome restoreFromBackup(const std::string& file, const std::string& backupExt,
    const CopyFileFunction& copy, std::string* error)
{
    if (!isRegularFile(file))
        return RestoreOutcome::Skipped;
    if (backupExt.empty()) {
        if (error)
            *error
                = "No backup extension set (BackupExt is empty): \"" + file + "\" is not restored";
        return RestoreOutcome::Failed;
    }
    const std::string backup = siblingBackupPath(file, backupExt);
    if (!isRegularFile(backup))
        return RestoreOutcome::Skipped;
    std::string reason;
    if (!copy(backup, file, &reason)) {
        if (error)
            *error = "Restore of \"" + file + "\" from \"" + backup + "\" failed"
                + (reason.empty() ? "" : ": " + reason);
        return RestoreOutcome::Failed;
    }
    return RestoreOutcome::Restored;
}

ConfirmationMsg MakeMsg(zenkel::Operation operation, zenkel::SelectionMode mode,
    bool doCreateBackUps, const MsgFacts& facts)
{
    ConfirmationMsg msg;
    msg.caption = captionOf(operation);
    msg.backupBoxEnabled = operation != Operation::Restore;
    const std::string verb = verbOf(operation);
    switch (mode) {
    case SelectionMode::SingleFile:
        msg.text = singleFileText(verb, doCreateBackUps, facts);
        break;
    case SelectionMode::FileList:
    case SelectionMode::Tree:
        msg.text = manyFilesText(operation, mode, verb, doCreateBackUps, facts);
        break;
    case SelectionMode::None:
        break;
    }
    return msg;
}

MsgFacts gatherMsgFacts(RunState& state, const std::string& backupExt)
{
    MsgFacts facts;
    facts.currentFile = state.currentFile;
    facts.backupExt = backupExt;
    facts.backupExists = BackupExists(state, backupExt);
    facts.fileCount = state.fileList.size();
    if (state.SelectionMode == SelectionMode::Tree)
        facts.nextBackupDirectory = NextBackupDirectory(state.sourceDirectory);
    return facts;
}

} // namespace zenkel
