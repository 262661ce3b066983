/// The zenkel tool's work: set up a session from the program directory and run a command.
#include "cli/CliRunner.h"
#include "cli/CliRunContext.h"

#include "base/Paths.h"
#include "base/SafeFile.h"
#include "batch/Backup.h"
#include "batch/BatchRun.h"
#include "batch/FileJob.h"
#include "batch/FileSelection.h"
#include "batch/RunLock.h"
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

/// The signal of the first user break (SIGINT, SIGTERM, SIGHUP); 0 while there is none.
volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void onInterrupt(int signo)
{
    if (g_interrupted == 0) {
        g_interrupted = signo;
        return;
    }
    // A second signal: the user does not wait for the current file. Its temporary siblings
    // go, every file stays as it was or as it was written, and the signal ends the program.
    removeTemporarySiblings();
    struct sigaction standard
    {
    };
    standard.sa_handler = SIG_DFL;
    ::sigemptyset(&standard.sa_mask);
    ::sigaction(signo, &standard, nullptr);
    ::raise(signo);
}

/// While it lives, SIGINT, SIGTERM and SIGHUP are a user break: the run finishes or abandons
/// the current file and ends with its protocol and report. A signal that was ignored when the
/// program started (nohup) stays ignored.
class UserBreakSignals
{
public:
    UserBreakSignals()
    {
        g_interrupted = 0;
        struct sigaction action
        {
        };
        action.sa_handler = onInterrupt;
        ::sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (std::size_t i = 0; i < std::size(Signals); ++i) {
            ::sigaction(Signals[i], nullptr, &m_previous[i]);
            if (m_previous[i].sa_handler != SIG_IGN)
                ::sigaction(Signals[i], &action, nullptr);
        }
    }
    ~UserBreakSignals()
    {
        for (std::size_t i = 0; i < std::size(Signals); ++i)
            ::sigaction(Signals[i], &m_previous[i], nullptr);
    }
    UserBreakSignals(const UserBreakSignals&) = delete;
    UserBreakSignals& operator=(const UserBreakSignals&) = delete;

    /// The exit status of a run ended by a signal, as the shell reports one: 128 + signal.
    static std::optional<int> exitStatus()
    {
        return g_interrupted != 0 ? std::optional<int>(128 + g_interrupted) : std::nullopt;
    }

private:
    static constexpr int Signals[] = {SIGINT, SIGTERM, SIGHUP};
    struct sigaction m_previous[std::size(Signals)] = {};
};

} // namespace

void CliHost::handlePendingMessages()
{
    if (g_interrupted && m_userBreak)
        *m_userBreak = true;
}

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

namespace {

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

/// Writes a result to standard output, each line and its line end straight from the output
/// list (the stream buffers them, so no joined copy is made); true ("failed") when not every
/// byte got there.
bool writeResultLines(const CliContext& c, const TextList& lines, std::string_view lineEnd)
{
    errno = 0;
    lines.putLines(lineEnd, [&c](std::string_view piece) {
        c.out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
        return true;
    });
    c.out.flush();
    return !c.outputOk();
}

/// A status line on standard output; true ("failed") when it could not be written.
bool printStatus(const CliContext& c)
{
    errno = 0;
    c.out << c.host.status() << '\n' << std::flush;
    return !c.outputOk();
}

// ---- set-up -------------------------------------------------------------------------------

bool reportNoStyle(const CliContext& c)
{
    const std::string message = c.host.fatal() ? *c.host.fatal() : std::string(NoStyleMessage);
    const std::vector<std::string> dirs = c.session.catalogue.stylesDirectories();
    return c.complain(oneLine(message) + " (styles directory: " + joinNames(dirs) + ")");
}

/// --style must name a listed style; without it, StyleName of prg.ini with the fallback.
int activateStyle(const CliContext& c)
{
    std::string name = c.session.settings.StyleName;
    if (c.options.style) {
        std::vector<std::string> list;
        if (ListStyles(c.session.catalogue.stylesDirectories(), list, c.host) == 0) {
            reportNoStyle(c);
            return ExitSetupFailed;
        }
        name = *c.options.style;
        if (std::find(list.begin(), list.end(), name) == list.end()) {
            c.complain("unknown style \"" + name + "\": no usable style directory "
                + c.session.catalogue.styleDirectory(name) + " (styles: " + joinNames(list) + ")");
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
    SourceTextInPlace(bytes);
    c.session.engine.setSourceText(std::move(bytes), "-");
    const FileJobResult result = ProcessSourceText(c.session);
    if (!result.processed())
        return c.complain("-: " + result.message);
    return writeResultLines(c, c.session.engine.outputList(), lineEndOf(c.session.settings));
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
    return printStatus(c);
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
    const BackedUpJob backedUp
        = RunFileJobAfterBackup(s, path, !c.options.toStdout && s.settings.DoCreateBackUps);
    // The same rule as list runs: a file whose backup cannot be made stays untouched.
    if (!backedUp.backup.ok)
        return c.complain(path + ": file not processed: " + backedUp.backup.error);
    const FileJobResult& result = backedUp.job;
    if (!result.processed()) // a fatal error is reported once, by the caller
        return c.host.fatal() ? true : c.complain(path + ": " + result.message);
    if (g_interrupted != 0) // a user break before the write: the file stays as it was
        return c.complain(path + ": interrupted, file left as it was");
    if (c.options.toStdout)
        return writeResultLines(c, s.engine.outputList(), lineEndOf(s.settings));
    const std::int64_t sizeBefore = FileSizeOf(path);
    if (!WriteResult(s, &error))
        return c.complain(error);
    if (s.runState.Operation == Operation::Compress)
        c.host.AppendStatus("  Size: " + CompressionFigures(sizeBefore, FileSizeOf(path)));
    return printStatus(c);
}

bool processPath(const CliContext& c, const std::string& path)
{
    return path == "-" ? processStdin(c) : processFile(c, path);
}

// ---- commands -------------------------------------------------------------------------------

/// Each path in turn; a fatal error (disk full) ends the run at once. Several files (not to
/// standard output) make a list run, --tree a tree run.
int runFiles(const CliContext& c)
{
    if (c.options.check || c.options.diff)
        return runCheck(c.options, c.session, c.in, c.out, c.err);
    // Runs that write files hold the program directory's run lock; a run whose results all
    // go to standard output writes no file of the user's and may run beside any other.
    const bool writesFiles = c.options.tree
        || (!c.options.toStdout
            && std::any_of(c.options.paths.begin(), c.options.paths.end(),
                [](const std::string& path) { return path != "-"; }));
    std::optional<RunLock> lock;
    std::optional<UserBreakSignals> signals;
    if (writesFiles) {
        lock.emplace(c.session.runState.programDirectory);
        if (!lock->held()) {
            c.complain(lock->refusal());
            return ExitSetupFailed;
        }
        // Only runs that write files: a run on standard input stays stoppable by Ctrl+C
        // while it waits for input.
        signals.emplace();
    }
    if (c.options.tree) {
        const int status = runTree(c);
        return UserBreakSignals::exitStatus().value_or(status);
    }
    const bool anyStdin
        = std::find(c.options.paths.begin(), c.options.paths.end(), "-") != c.options.paths.end();
    if (c.options.paths.size() > 1 && !c.options.toStdout && !anyStdin) {
        const int status = runList(c);
        return UserBreakSignals::exitStatus().value_or(status);
    }
    bool anyFailed = false;
    for (const std::string& path : c.options.paths) {
        anyFailed = processPath(c, path) || anyFailed;
        if (const std::optional<int> interrupted = UserBreakSignals::exitStatus())
            return *interrupted;
        if (!c.outputOk()) // the results of further paths would be lost as well
            return ExitFileFailed;
        if (c.host.fatal()) {
            c.complain(oneLine(*c.host.fatal()));
            return ExitFileFailed;
        }
    }
    return anyFailed ? ExitFileFailed : ExitDone;
}

int listStyles(const CliContext& c)
{
    errno = 0;
    for (const std::string& name : c.session.catalogue.styleList())
        c.out << (name == c.session.settings.StyleName ? "* " : "  ") << name << '\n';
    c.out << DescribeDirectories(
        {c.session.runState.programDirectory, c.session.runState.dataDirectory});
    c.out.flush();
    c.outputOk();
    return ExitDone;
}

} // namespace

namespace {

int runCommand(const CliContext& c)
{
    if (c.options.help || c.options.version) {
        errno = 0;
        if (c.options.help)
            c.out << cliUsage() << "\nIN USE\n"
                  << DescribeDirectories(
                         {c.session.runState.programDirectory, c.session.runState.dataDirectory},
                         "  ");
        else
            c.out << cliVersion() << '\n';
        c.out.flush();
        c.outputOk();
        return ExitDone;
    }
    if (const int status = setUpSession(c); status != ExitDone)
        return status;
    if (c.options.command == CliCommand::Styles)
        return listStyles(c);
    return runFiles(c);
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
    const ProgramDirectories dirs = FindProgramDirectories(options.home);
    // --help, --version, --check and --diff write nothing; without the copies the shipped
    // styles are found all the same.
    std::string error;
    if (!options.help && !options.version && !options.check && !options.diff
        && !PrepareProgramDirectory(dirs, &error))
        err << "zenkel: warning: " << error << '\n';
    CliHost host;
    Session session(dirs, host);
    session.runState.Operation = operationOf(options.command);
    const CliContext context {options, session, host, in, out, err};
    int status = runCommand(context);
    // Output that never arrived is a failure, whatever the command did: a script that moves
    // the output over the page must not see success.
    errno = 0;
    out.flush();
    if (!context.outputOk()) {
        context.complain(
            std::string("cannot write standard output: ") + std::strerror(context.outputError));
        if (status == ExitDone)
            status = ExitFileFailed;
    }
    // Files of the program directory written only for inspection: named, the run stands.
    for (const std::string& error : session.scratchErrors)
        err << "zenkel: warning: " << error << '\n';
    return status;
}

} // namespace zenkel
