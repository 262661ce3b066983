/// The zenkel tool's list and tree runs: the batch driver over a file list or a directory tree.
#include "cli/CliRunContext.h"

#include "batch/BatchRun.h"
#include "batch/FileSelection.h"
#include "cli/CheckRun.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <utility>

namespace zenkel {

namespace {

// ---- list and tree runs ---------------------------------------------------------------------

/// The batch driver's window for an unattended run: every confirmation is taken as given,
/// protocol lines go to standard output as they come, messages to standard error.
class CliRunHost : public RunHost
{
public:
    explicit CliRunHost(const CliContext& c)
        : m_c(c)
    { }
    bool confirmRun(Session&) override { return true; }
    bool confirmUserBreak() override { return true; }
    void showMessage(const std::string& text) override { m_c.complain(oneLine(text)); }
    void showError(const std::string& text) override
    {
        // A fatal error (disk full) is printed once, when the run has ended.
        if (!m_c.host.fatal())
            m_c.complain(oneLine(text));
    }
    bool saveReports() const override { return !m_c.options.noReport; }
    int workerCount() const override { return m_c.options.jobs; }

private:
    const CliContext& m_c;
};

/// Runs the batch driver over the selection already in the run state.
int runSelection(const CliContext& c, std::vector<std::string> selectionLines)
{
    Session& s = c.session;
    if (!c.options.quiet) {
        // Flushed line by line, into a pipe or a file as well: a log shows the progress and
        // keeps every line written before a kill.
        s.protocol.setListener([&c](const std::string& line) {
            errno = 0;
            c.out << line << '\n' << std::flush;
            c.outputOk();
        });
    }
    s.protocol.clear();
    s.protocol.appendLines(selectionLines);
    CliRunHost runHost(c);
    c.host.watchUserBreak(&s.runState.userBreak);
    const RunOutcome outcome = runBatch(s, runHost);
    c.host.watchUserBreak(nullptr);
    errno = 0;
    c.out.flush();
    c.outputOk();
    if (c.host.fatal()) {
        c.complain(oneLine(*c.host.fatal()));
        return ExitFileFailed;
    }
    if (c.options.quiet) {
        // Quiet still names every file that was not processed.
        for (const std::string& line : outcome.notProcessed)
            c.complain(line.substr(line.rfind("==> ", 0) == 0 ? 4 : 0));
        c.out << outcome.processed << " processed, " << outcome.skipped << " skipped"
              << (outcome.reportPath.empty() ? std::string() : ", report " + outcome.reportPath)
              << '\n'
              << std::flush;
    }
    if (outcome.result == RunResult::Busy)
        return ExitSetupFailed;
    // A run whose report could not be saved has not left its record: not all done.
    if (!outcome.reportError.empty())
        c.complain(outcome.reportError);
    const bool allDone = outcome.result == RunResult::Completed && outcome.skipped == 0
        && outcome.reportError.empty();
    return allDone ? ExitDone : ExitFileFailed;
}

} // namespace

/// Several files: the accepted ones become the file list; a refused one is named on
/// standard error and makes the exit status 1.
int runList(const CliContext& c)
{
    Session& s = c.session;
    std::vector<std::string> lines = ResetProtocol(s.runState);
    bool anyRefused = false;
    for (const std::string& path : withoutRepeatedFiles(c.options.paths)) {
        std::string error;
        const FileCheck check
            = CheckHtmlFile(path, s.settings.DoValidate, s.runState.CommandLineMode, &error);
        if (check != FileCheck::Valid) {
            c.complain(FileCheckMessage(check, path) + (error.empty() ? "" : ": " + error));
            anyRefused = true;
            continue;
        }
        s.runState.fileList.push_back(path);
        lines.push_back(fileListLine(path, s.settings.BackupExt));
    }
    if (s.runState.fileList.empty())
        return ExitFileFailed;
    s.runState.SelectionMode = SelectionMode::FileList;
    const int status = runSelection(c, std::move(lines));
    return anyRefused ? ExitFileFailed : status;
}

/// Every valid file below the tree directory.
int runTree(const CliContext& c)
{
    Session& s = c.session;
    std::string directory = *c.options.tree;
    std::error_code ec;
    if (!std::filesystem::is_directory(directory, ec)) {
        c.complain(directory + ": not a directory");
        return ExitFileFailed;
    }
    directory = std::filesystem::absolute(directory, ec).lexically_normal().string();
    if (!isChoosableTreeDirectory(directory)) {
        c.complain(directory + ": the root of the file system cannot be a tree");
        return ExitFileFailed;
    }
    std::vector<std::string> lines = ResetProtocol(s.runState);
    const FileValidator valid = [&s](const std::string& path) {
        return IsValidHtmlFile(path, s.settings.DoValidate, s.runState.CommandLineMode);
    };
    std::vector<std::string> unreadable;
    const SelectionOutcome selection = finishTreeSelection(s.runState, directory,
        SearchTree(directory, c.options.type, valid, nullProgressSink(), &unreadable));
    lines.insert(lines.end(), selection.protocolLines.begin(), selection.protocolLines.end());
    // A directory that could not be searched is work not done: named, and the exit is 1.
    for (const std::string& dir : unreadable) {
        lines.push_back(unreadableDirectoryLine(dir));
        if (c.options.quiet || s.runState.fileList.empty())
            c.complain(dir + ": skipped: cannot read directory");
    }
    if (s.runState.fileList.empty()) {
        c.complain(directory + ": no file of the chosen type found");
        return ExitFileFailed;
    }
    s.runState.SelectionMode = SelectionMode::Tree;
    const int status = runSelection(c, std::move(lines));
    return unreadable.empty() ? status : std::max(status, ExitFileFailed);
}

} // namespace zenkel
