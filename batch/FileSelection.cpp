/// File selection: the protocol head of a new selection, the tree search with its file-type
/// filter, and the protocol lines and results of a file-list or tree selection.
#include "batch/FileSelection.h"

#include "base/Ascii.h"
#include "base/Paths.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <unordered_set>

namespace zenkel {

namespace fs = std::filesystem;

namespace {

bool isSkippedDirectory(std::string_view name)
{
    return upperAsciiText(name).find(upperAsciiText(SkippedDirectoryMark)) != std::string::npos;
}

struct TreeEntry
{
    std::string name;
    fs::file_type type;
};

/// The visible entries of one directory in name order; *failed when it (or part of it)
/// cannot be read.
std::vector<TreeEntry> listDirectory(const std::string& base, ProgressSink& progress, bool* failed)
{
    std::vector<TreeEntry> entries;
    std::error_code ec;
    fs::directory_iterator it(base, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::string name = it->path().filename().string();
        progress.handlePendingMessages();
        if (name.empty() || name.front() == '.')
            continue;
        std::error_code statusError;
        // symlink_status: a link is seen as a link and never followed, so a loop of links
        // cannot make the search endless.
        const fs::file_type type = it->symlink_status(statusError).type();
        if (!statusError)
            entries.push_back({std::move(name), type});
    }
    *failed = static_cast<bool>(ec);
    std::sort(entries.begin(), entries.end(),
        [](const TreeEntry& a, const TreeEntry& b) { return a.name < b.name; });
    return entries;
}

void searchDirectory(const std::string& base, int treeFileType, const FileValidator& isValid,
    ProgressSink& progress, std::vector<std::string>& found, std::vector<std::string>* unreadable)
{
    bool failed = false;
    const std::vector<TreeEntry> entries = listDirectory(base, progress, &failed);
    if (failed && unreadable)
        unreadable->push_back(base);
    for (const TreeEntry& entry : entries) {
        const std::string path = base + entry.name;
        if (entry.type == fs::file_type::directory) {
            if (!isSkippedDirectory(entry.name))
                searchDirectory(path + "/", treeFileType, isValid, progress, found, unreadable);
        } else if (entry.type == fs::file_type::regular) {
            // Only regular files: reading a pipe or device to validate it could block.
            if (MatchesTypeFilter(entry.name, treeFileType) && isValid(path))
                found.push_back(path);
        }
    }
}

std::string sizeInThousands(const std::string& path)
{
    return std::to_string(selectionFileSize(path) / 1000) + "K";
}

void appendLines(std::vector<std::string>& lines, std::string_view text)
{
    std::vector<std::string> more = splitProtocolText(text);
    lines.insert(lines.end(), more.begin(), more.end());
}

} // namespace

std::vector<std::string> splitProtocolText(std::string_view text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    std::size_t end = text.find("\r\n");
    while (end != std::string_view::npos) {
        lines.emplace_back(text.substr(start, end - start));
        start = end + 2;
        end = text.find("\r\n", start);
    }
    lines.emplace_back(text.substr(start));
    return lines;
}

std::vector<std::string> ResetProtocol(RunState& state)
{
    state.currentFile.clear();
    state.fileList.clear();
    return splitProtocolText(ProtocolHeadText);
}

std::vector<std::string> SearchTree(const std::string& directory, int treeFileType,
    const FileValidator& isValid, ProgressSink& progress,
    std::vector<std::string>* unreadableDirectories)
{
    std::vector<std::string> found;
    if (!directory.empty())
        searchDirectory(withTrailingSlash(directory), treeFileType, isValid, progress, found,
            unreadableDirectories);
    return found;
}

std::vector<std::string> withoutRepeatedFiles(const std::vector<std::string>& paths)
{
    std::vector<std::string> kept;
    std::unordered_set<std::string> seen;
    for (const std::string& path : paths) {
        const std::string real = realPathOf(path);
        if (seen.insert(real.empty() ? path : real).second)
            kept.push_back(path);
    }
    return kept;
}

std::string unreadableDirectoryLine(const std::string& directory)
{
    return "==> " + directory + "   -  skipped: cannot read directory";
}

std::int64_t selectionFileSize(const std::string& path)
{
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(path, ec);
    return ec ? 0 : static_cast<std::int64_t>(size);
}

std::string fileListLine(const std::string& path, const std::string& backupExt)
{
    std::string line = "--> " + path + "\t" + sizeInThousands(path);
    const std::string backup = path + backupExt;
    std::error_code ec;
    if (!backupExt.empty() && fs::is_regular_file(backup, ec))
        line += "  (Backup found: " + backup + ")";
    return line;
}

std::string treeListLine(const std::string& path)
{
    return "-->  " + path + "\t" + sizeInThousands(path);
}

zenkel::SelectionMode fileDialogChoiceKind(std::size_t selectedCount)
{
    return selectedCount < 2 ? SelectionMode::SingleFile : SelectionMode::FileList;
}

SelectionOutcome selectFileList(RunState& state, const std::string& directory,
    const std::vector<std::string>& names, const std::string& backupExt,
    const FileValidator& isValid)
{
    SelectionOutcome outcome;
    state.sourceDirectory = withTrailingSlash(directory);
    state.fileList.clear();
    std::vector<std::string> paths;
    for (const std::string& name : names)
        paths.push_back(state.sourceDirectory + name);
    for (const std::string& path : withoutRepeatedFiles(paths)) {
        if (!isValid(path))
            continue;
        state.fileList.push_back(path);
        outcome.protocolLines.push_back(fileListLine(path, backupExt));
    }
    if (state.fileList.empty()) {
        outcome.status = NoValidFilesStatus;
        return outcome;
    }
    outcome.result = SelectionMode::FileList;
    outcome.status = std::to_string(state.fileList.size()) + " files selected";
    appendLines(outcome.protocolLines, CheckOptionsText);
    return outcome;
}

std::string foundFilesCaption(std::size_t count, const std::string& treeDirectory)
{
    return std::to_string(count)
        + " valid HTML files found in: " + withoutTrailingSlashes(treeDirectory) + "/...";
}

SelectionOutcome finishTreeSelection(
    RunState& state, const std::string& treeDirectory, std::vector<std::string> chosen)
{
    SelectionOutcome outcome;
    state.fileList = std::move(chosen);
    if (state.fileList.empty()) {
        outcome.status = NoValidFilesStatus;
        return outcome;
    }
    for (const std::string& path : state.fileList)
        outcome.protocolLines.push_back(treeListLine(path));
    state.sourceDirectory = withTrailingSlash(treeDirectory);
    outcome.result = SelectionMode::Tree;
    outcome.status = std::to_string(state.fileList.size()) + " files selected";
    appendLines(outcome.protocolLines, CheckOptionsText);
    return outcome;
}

bool isChoosableTreeDirectory(const std::string& directory)
{
    return !withoutTrailingSlashes(directory).empty();
}

} // namespace zenkel
