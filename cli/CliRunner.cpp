/// The zenkel tool's work: set up a session from the program directory and run a command.
#include "cli/CliRunner.h"

#include "base/Paths.h"
#include "base/SafeFile.h"
#include "batch/BatchRun.h"
#include "batch/FileJob.h"
#include "batch/FileSelection.h"
#include "batch/Session.h"
#include "cli/CheckRun.h"
#include "style/ProgramSettings.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <iostream>
#include <iterator>
#include <optional>
#include <unistd.h>

namespace zenkel {

namespace {

volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void onInterrupt(int)
{
    g_interrupted = 1;
}

/// Keeps the status line for the final report and fatal errors for the caller to print;
/// progress is not shown. Ctrl+C becomes the user break of a run.
class CliHost : public FileJobHost
{
public:
    void SetStatus(const std::string& text) override { m_status = text; }
    void AppendStatus(const std::string& text) override { m_status += " " + text; }
    void fatalError(const std::string& message) override { m_fatal = message; }
    void handlePendingMessages() override
    {
        if (g_interrupted && m_userBreak)
            *m_userBreak = true;
    }
    void watchUserBreak(bool* flag) { m_userBreak = flag; }

    const std::string& status() const { return m_status; }
    const std::optional<std::string>& fatal() const { return m_fatal; }

private:
    std::string m_status;
    std::optional<std::string> m_fatal;
    bool* m_userBreak = nullptr;
};

/// Everything one command works with.
struct CliContext
{
    const CliOptions& options;
    Session& session;
    CliHost& host;
    std::istream& in;
    std::ostream& out;
    std::ostream& err;

    /// One line on standard error; always returns true ("failed").
    bool complain(const std::string& message) const
    {
        err << "zenkel: " << message << '\n';
        return true;
    }
};

/// A message box text on one line: its line breaks become blanks.
std::string oneLine(const std::string& text)
{
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            line += ' ';
            ++i;
        } else {
            line += text[i];
        }
    }
    return line;
}

Operation operationOf(CliCommand command)
{
    switch (command) {
    case CliCommand::Format:
        return Operation::Format;
    case CliCommand::Compress:
        return Operation::Compress;
    case CliCommand::Trim:
        return Operation::Trim;
    case CliCommand::Restore:
        return Operation::Restore;
    case CliCommand::None:
    case CliCommand::Styles:
        break;
    }
    return Operation::None;
}

std::string joinNames(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ", ") + name;
    return text;
}

void writeBytes(std::ostream& out, const std::string& bytes)
{
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
}

// ---- set-up -------------------------------------------------------------------------------

bool reportNoStyle(const CliContext& c)
{
    const std::string message = c.host.fatal() ? *c.host.fatal() : std::string(NoStyleMessage);
    return c.complain(
        oneLine(message) + " (styles directory: " + c.session.catalogue.stylesDirectory() + ")");
}

/// --style must name a listed style; without it, StyleName of prg.ini with the fallback.
int activateStyle(const CliContext& c)
{
    std::string name = c.session.settings.StyleName;
    if (c.options.style) {
        std::vector<std::string> list;
        if (ListStyles(c.session.catalogue.stylesDirectory(), list, c.host) == 0) {
            reportNoStyle(c);
            return ExitSetupFailed;
        }
        name = *c.options.style;
        if (std::find(list.begin(), list.end(), name) == list.end()) {
            c.complain("unknown style \"" + name + "\": no usable style directory "
                + StyleDirectory(c.session.runState.programDirectory, name)
                + " (styles: " + joinNames(list) + ")");
            return ExitSetupFailed;
        }
    }
    std::string error;
    if (!c.session.ActivateStyle(name, &error)) {
        error.empty() ? reportNoStyle(c) : c.complain(error);
        return ExitSetupFailed;
    }
    return ExitDone;
}

/// Reads prg.ini (never written by this tool), applies the options over it, loads the trim
/// list and activates the style.
int setUpSession(const CliContext& c)
{
    std::string error;
    if (!c.session.loadSettings(ScreenSize {}, &error)) {
        c.complain(error);
        return ExitSetupFailed;
    }
    ProgramSettings& settings = c.session.settings;
    if (c.options.backup)
        settings.DoCreateBackUps = *c.options.backup;
    if (c.options.validate)
        settings.DoValidate = true;
    if (c.options.eol)
        settings.LineEnds = NormalizeLineEndsSetting(*c.options.eol);
    // Only a trim reads the trim list; an unreadable one must not pass for an empty one.
    if (!c.session.loadTrimList(&error) && c.session.runState.Operation == Operation::Trim) {
        c.complain(error);
        return ExitSetupFailed;
    }
    return activateStyle(c);
}

// ---- one path -------------------------------------------------------------------------------

/// Standard input to standard output; accepted without the checks a file passes.
bool processStdin(const CliContext& c)
{
    std::string bytes;
    std::string error;
    if (!readStandardInput(c.in, bytes, &error))
        return c.complain("-: cannot read standard input: " + error);
    c.session.runState.currentFile.clear();
    c.session.engine.setSourceText(SourceTextFromBytes(bytes), "-");
    const FileJobResult result = ProcessSourceText(c.session);
    if (!result.processed())
        return c.complain("-: " + result.message);
    writeBytes(c.out, joinLines(c.session.engine.outputList(), lineEndOf(c.session.settings)));
    return false;
}

bool checkReadable(const CliContext& c, const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return !c.complain(path + ": cannot be read: " + std::strerror(errno));
    ::close(fd);
    return true;
}

/// The checks a file passes before anything is written: accepted as a selection accepts
/// it, readable, and (unless the result goes to standard output) writable.
bool acceptFile(const CliContext& c, const std::string& path)
{
    const Session& s = c.session;
    std::string error;
    const FileCheck check
        = CheckHtmlFile(path, s.settings.DoValidate, s.runState.CommandLineMode, &error);
    if (check != FileCheck::Valid)
        return !c.complain(FileCheckMessage(check, path) + (error.empty() ? "" : ": " + error));
    const bool restore = s.runState.Operation == Operation::Restore;
    if (!restore && !checkReadable(c, path))
        return false;
    if (!c.options.toStdout && !CheckWritableFile(path, &error))
        return !c.complain(error);
    return true;
}

bool restoreFile(const CliContext& c, const std::string& path)
{
    const FileJobResult result = RunFileJob(c.session, path);
    if (!result.processed())
        return c.complain(path + ": " + result.message);
    c.host.SetStatus("Restored and saved: \"" + path + "\"");
    c.out << c.host.status() << '\n' << std::flush;
    return false;
}

/// Backup, file job, write back and the final status line; returns true on failure.
bool processFile(const CliContext& c, const std::string& path)
{
    if (!acceptFile(c, path))
        return true;
    Session& s = c.session;
    s.runState.SelectionMode = SelectionMode::SingleFile;
    s.runState.currentFile = path;
    if (s.runState.Operation == Operation::Restore)
        return restoreFile(c, path);

    std::string error;
    if (!c.options.toStdout && s.settings.DoCreateBackUps) {
        s.runState.backupFile = siblingBackupPath(path, s.settings.BackupExt);
        if (!CopyFileKeepDate(path, s.runState.backupFile, &error))
            return c.complain(
                path + ": file not processed, its backup could not be made: " + error);
    }
    const FileJobResult result = RunFileJob(s, path);
    if (!result.processed()) // a fatal error is reported once, by the caller
        return c.host.fatal() ? true : c.complain(path + ": " + result.message);
    if (c.options.toStdout) {
        writeBytes(c.out, joinLines(s.engine.outputList(), lineEndOf(s.settings)));
        return false;
    }
    const std::int64_t sizeBefore = FileSizeOf(path);
    if (!WriteResult(s, &error))
        return c.complain(error);
    if (s.runState.Operation == Operation::Compress)
        c.host.AppendStatus("  Size: " + CompressionFigures(sizeBefore, FileSizeOf(path)));
    c.out << c.host.status() << '\n' << std::flush;
    return false;
}

bool processPath(const CliContext& c, const std::string& path)
{
    return path == "-" ? processStdin(c) : processFile(c, path);
}

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
            c.out << line << '\n' << std::flush;
        });
    }
    s.protocol.clear();
    s.protocol.appendLines(selectionLines);
    CliRunHost runHost(c);
    c.host.watchUserBreak(&s.runState.userBreak);
    g_interrupted = 0;
    auto* previous = std::signal(SIGINT, onInterrupt);
    const RunOutcome outcome = runBatch(s, runHost);
    std::signal(SIGINT, previous);
    c.host.watchUserBreak(nullptr);
    c.out.flush();
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
    // A run whose report could not be saved has not left its record: not all done.
    if (!outcome.reportError.empty())
        c.complain(outcome.reportError);
    const bool allDone = outcome.result == RunResult::Completed && outcome.skipped == 0
        && outcome.reportError.empty();
    return allDone ? ExitDone : ExitFileFailed;
}

/// Several files: the accepted ones become the file list; a refused one is named on
/// standard error and makes the exit status 1.
int runList(const CliContext& c)
{
    Session& s = c.session;
    std::vector<std::string> lines = ResetProtocol(s.runState);
    bool anyRefused = false;
    for (const std::string& path : c.options.paths) {
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

// ---- commands -------------------------------------------------------------------------------

/// Each path in turn; a fatal error (disk full) ends the run at once. Several files (not to
/// standard output) make a list run, --tree a tree run.
int runFiles(const CliContext& c)
{
    if (c.options.check || c.options.diff)
        return runCheck(c.options, c.session, c.in, c.out, c.err);
    if (c.options.tree)
        return runTree(c);
    const bool anyStdin
        = std::find(c.options.paths.begin(), c.options.paths.end(), "-") != c.options.paths.end();
    if (c.options.paths.size() > 1 && !c.options.toStdout && !anyStdin)
        return runList(c);
    bool anyFailed = false;
    for (const std::string& path : c.options.paths) {
        anyFailed = processPath(c, path) || anyFailed;
        if (c.host.fatal()) {
            c.complain(oneLine(*c.host.fatal()));
            return ExitFileFailed;
        }
    }
    return anyFailed ? ExitFileFailed : ExitDone;
}

int listStyles(const CliContext& c)
{
    for (const std::string& name : c.session.catalogue.styleList())
        c.out << (name == c.session.settings.StyleName ? "* " : "  ") << name << '\n';
    c.out.flush();
    return ExitDone;
}

} // namespace

bool readStandardInput(std::istream& in, std::string& bytes, std::string* error)
{
    if (in.rdbuf() == std::cin.rdbuf()) {
        // Nothing was read through the stream yet, so no bytes sit in its buffer.
        int err = 0;
        if (readAllFrom(STDIN_FILENO, bytes, &err))
            return true;
        if (error)
            *error = std::strerror(err);
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (!in.bad())
        return true;
    if (error)
        *error = "read error";
    return false;
}

int runCli(const CliOptions& options, std::istream& in, std::ostream& out, std::ostream& err)
{
    if (options.help) {
        out << cliUsage();
        return ExitDone;
    }
    if (options.version) {
        out << cliVersion() << '\n';
        return ExitDone;
    }
    CliHost host;
    Session session(FindProgramDirectory(options.home), host);
    session.runState.Operation = operationOf(options.command);
    const CliContext context {options, session, host, in, out, err};
    if (const int status = setUpSession(context); status != ExitDone)
        return status;
    if (options.command == CliCommand::Styles)
        return listStyles(context);
    const int status = runFiles(context);
    // Files of the program directory written only for inspection: named, the run stands.
    for (const std::string& error : session.scratchErrors)
        err << "zenkel: warning: " << error << '\n';
    return status;
}

} // namespace zenkel
