/// File selection: the protocol head of a new selection, the tree search with its file-type
/// filter, and the protocol lines and results of a file-list or tree selection.
#pragma once

#include "batch/FileTypes.h"
#include "batch/RunState.h"
#include "engine/ProgressSink.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zenkel {

inline constexpr const char* ProtocolHeadText = "\r\n\r\nFiles to process:\r\n";
inline constexpr const char* CheckOptionsText
    = "\r\nNow check your options.\r\n"
      "Then press <Format>, <Compress>, <Trim> or <Restore> to process.";
inline constexpr const char* NoValidFilesStatus = "No valid HTML-Files found ...";
inline constexpr const char* CheckingFilesStatus = "Checking HTML-Files: please wait ...";
inline constexpr const char* SearchingFilesStatus = "Searching for HTML-Files: please wait ...";
inline constexpr const char* SearchingFilesCaption = "Searching for files, please wait ...";
/// Directories with this in their name (any letter case) are not searched.
inline constexpr std::string_view SkippedDirectoryMark = "_vti_cnf";

/// Tells whether a file may be processed; the selection passes IsValidHtmlFile.
using FileValidator = std::function<bool(const std::string& path)>;

/// The protocol is a list of lines. A text appended as a whole becomes one line per piece
/// between CR LFs, so "\r\nx\r\n" adds an empty line, "x" and another empty line.
std::vector<std::string> splitProtocolText(std::string_view text);

/// Clears the current file and the file list; returns the lines of the fresh protocol.
std::vector<std::string> ResetProtocol(RunState& state);

/// Every file below directory that fits treeFileType and passes isValid, depth first: each
/// sub-directory is searched completely where it is met. Entries of a directory are taken in
/// name order. Hidden entries (names beginning with '.'), symbolic links, anything that is
/// not a regular file or directory, and directories whose name contains "_vti_cnf" are passed
/// over; so is a directory that cannot be read, which is added to *unreadableDirectories
/// (with its final '/') when that is given. Lets the window handle pending messages as it
/// goes.
std::vector<std::string> SearchTree(const std::string& directory, int treeFileType,
    const FileValidator& isValid, ProgressSink& progress = nullProgressSink(),
    std::vector<std::string>* unreadableDirectories = nullptr);

/// The protocol line of a directory of a tree that could not be read.
std::string unreadableDirectoryLine(const std::string& directory);

/// The paths without repeats: a path whose real file (links, "." and ".." resolved) came
/// before is dropped, so that a run never processes a file twice and never overwrites its
/// backup with a processed text. The first spelling of each file is kept.
std::vector<std::string> withoutRepeatedFiles(const std::vector<std::string>& paths);

/// Size in bytes, 0 when there is no such file.
std::int64_t selectionFileSize(const std::string& path);

/// "--> " + path + TAB + whole thousands of bytes + "K", then the note
/// "  (Backup found: " + backup + ")" when the sibling backup exists.
std::string fileListLine(const std::string& path, const std::string& backupExt);
/// "-->  " + path + TAB + whole thousands of bytes + "K"; tree lines never note backups.
std::string treeListLine(const std::string& path);

/// Where a selection leaves the window: the result (None = 0, FileList = 20, Tree = 30), the
/// status line, and the lines to append to the protocol after ResetProtocol's.
struct SelectionOutcome
{
    zenkel::SelectionMode result = zenkel::SelectionMode::None;
    std::string status;
    std::vector<std::string> protocolLines;
};

/// The file dialog's choice: fewer than 2 files open in the editor, more make a list.
zenkel::SelectionMode fileDialogChoiceKind(std::size_t selectedCount);

/// Several names chosen in directory: the valid ones, in the given order, become the file
/// list, and directory (with a final '/') the source directory.
SelectionOutcome selectFileList(RunState& state, const std::string& directory,
    const std::vector<std::string>& names, const std::string& backupExt,
    const FileValidator& isValid);

/// The found-files dialog's caption after the search.
std::string foundFilesCaption(std::size_t count, const std::string& treeDirectory);

/// The files kept in the found-files dialog (none after Cancel) become the file list, and
/// treeDirectory (with a final '/') the source directory.
SelectionOutcome finishTreeSelection(
    RunState& state, const std::string& treeDirectory, std::vector<std::string> chosen);

/// A tree must be a directory below the root: the root has no place beside it for backups.
bool isChoosableTreeDirectory(const std::string& directory);

} // namespace zenkel
