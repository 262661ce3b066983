/// The batch driver behind Format, Compress, Trim and Restore.
#include "batch/BatchRun.h"

#include "batch/Backup.h"
#include "batch/FileJob.h"
#include "batch/Session.h"

#include <clocale>
#include <ctime>
#include <filesystem>

namespace zenkel
{

namespace
{

namespace fs = std::filesystem;

constexpr const char* Stars = "\r\n********************************\r\n";
constexpr const char* UserBreakQuestionAborted = "\r\n==> aborted: USER BREAK ...";

bool fileExists(const std::string& path)
{
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

/// Clears the run flag however the run ends.
struct RunGuard
{
    explicit RunGuard(Session& s) : session(s) { session.runInProgress = true; }
    ~RunGuard() { session.runInProgress = false; }
    Session& session;
};

class Driver
{
public:
    Driver(Session& session, RunHost& host) : m_session(session), m_host(host) {}

    RunOutcome run();

private:
    RunState& state() { return m_session.runState; }
    bool backups() const { return m_session.settings.DoCreateBackUps; }
    Operation operation() const { return m_session.runState.Operation; }
    void append(const std::string& text) { m_session.protocol.append(text); }
    RunOutcome singleFile();
    RunOutcome batch(bool tree);
    /// Processes one file of a list or tree; false ends the run (user break or error).
    bool processListFile(const std::string& file);
    void abortWithError(const std::string& message);
    void saveReport(const std::string& directory);
    void finish();

    Session& m_session;
    RunHost& m_host;
    RunOutcome m_outcome;
};

RunOutcome Driver::run()
{
    const bool somethingToDo = (state().SelectionMode == SelectionMode::SingleFile
                                && !state().currentFile.empty())
        || ((state().SelectionMode == SelectionMode::FileList
             || state().SelectionMode == SelectionMode::Tree)
            && !state().fileList.empty());
    if (!somethingToDo) {
        m_host.showMessage("Zenkel HTML:\r\nNo Files selected, nothing to do ...!");
        return m_outcome;
    }
    state().sizeBeforeTotal = 0;
    state().sizeAfterTotal = 0;
    state().userBreak = false;
    // The run uses the style as stored in its files, not unsaved edits.
    m_session.ActivateStyle(m_session.settings.StyleName);
    switch (state().SelectionMode) {
    case SelectionMode::SingleFile: return singleFile();
    case SelectionMode::FileList: return batch(false);
    default: return batch(true);
    }
}

RunOutcome Driver::singleFile()
{
    if (state().CommandLineMode != CommandLineMode::Unattended && !m_host.confirmRun(m_session)) {
        m_outcome.result = RunResult::Canceled;
        return m_outcome;
    }
    m_host.setButtonPanelEnabled(false);
    m_host.clearEditor();
    const std::string file = state().currentFile;
    if (backups() && operation() != Operation::Restore) {
        const BackupResult backup =
            makeFileBackup(state(), file, m_session.settings.BackupExt, CopyFileKeepDate);
        if (!backup.ok) {
            // A file without its backup is not touched.
            m_host.setButtonPanelEnabled(true);
            m_session.host.SetStatus(backup.error);
            m_host.showError(backup.error + "\r\nThe file was not processed.");
            m_outcome.result = RunResult::Aborted;
            ++m_outcome.skipped;
            finish();
            return m_outcome;
        }
    }
    const FileJobResult job = RunFileJob(m_session, file);
    const std::int64_t before = FileSizeOf(file);
    std::string error;
    if (job.outcome == JobOutcome::Failed || (job.processed() && !WriteResult(m_session, &error))) {
        m_host.setButtonPanelEnabled(true);
        m_host.showError(job.outcome == JobOutcome::Failed ? job.message : error);
        m_outcome.result = RunResult::Aborted;
        finish();
        return m_outcome;
    }
    job.processed() ? ++m_outcome.processed : ++m_outcome.skipped;
    m_host.loadEditorFromFile(state().snapshotFile);
    m_host.setButtonPanelEnabled(true);
    const std::int64_t after = FileSizeOf(file);
    if (operation() == Operation::Compress)
        m_session.host.AppendStatus("  Size: " + CompressionFigures(before, after));
    m_host.moveEditorCaretToStart();
    m_outcome.result = RunResult::Completed;
    finish();
    return m_outcome;
}

RunOutcome Driver::batch(bool tree)
{
    if (!m_host.confirmRun(m_session)) {
        append("--> canceled ...");
        m_outcome.result = RunResult::Canceled;
        return m_outcome;
    }
    if (tree) {
        if (backups()) {
            std::string error;
            if (!CreateBackupDirectory(state(), &error)) {
                m_host.showError(error.empty() ? TooManyBackupDirsMessage : error);
                append(BackupDirFailedLine);
                append(AbortedLine);
                m_outcome.result = RunResult::Refused;
                return m_outcome;
            }
        } else {
            // Without backups no backup directory is made, and none of an earlier run is named.
            state().backupDirectory.clear();
        }
    } else {
        m_host.setButtonPanelEnabled(false);
        m_host.clearEditor();
    }
    const auto count = static_cast<long long>(state().fileList.size());
    m_session.host.SetProgressRange(1, count - 1);
    append(Stars);
    if (tree) {
        append("Source-Directory: " + state().sourceDirectory);
        append("Backup-Directory: "
               + (state().backupDirectory.empty() ? std::string("(none)") : state().backupDirectory)
               + "\r\n");
    }
    append("--> Started: " + m_host.currentDateTime());
    if (tree) {
        m_host.setButtonPanelEnabled(false);
        m_host.clearEditor();
    }

    const std::vector<std::string> files = state().fileList;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (!processListFile(files[i]))
            return m_outcome;
        m_session.host.SetProgressPosition(1, static_cast<long long>(i));
        m_session.host.handlePendingMessages();
    }
    m_session.host.SetProgressPosition(1, 0);
    append("--> Finished: " + m_host.currentDateTime());
    if (operation() == Operation::Compress)
        append("\r\nOverall compressing performance: "
               + CompressionFigures(state().sizeBeforeTotal, state().sizeAfterTotal));
    append("\r\nJob done...");
    saveReport(tree && !state().backupDirectory.empty() ? state().backupDirectory
                                                        : state().programDirectory);
    m_outcome.result = RunResult::Completed;
    finish();
    return m_outcome;
}

bool Driver::processListFile(const std::string& file)
{
    state().currentFile = file;
    m_session.host.SetStatus("Processing: " + file);
    if (!fileExists(file)) {
        append("==> " + file + "   -  skipped: file not found");
        ++m_outcome.skipped;
        return true;
    }
    std::string backupNote;
    if (backups() && operation() != Operation::Restore) {
        const BackupResult backup =
            makeFileBackup(state(), file, m_session.settings.BackupExt, CopyFileKeepDate);
        if (!backup.ok) {
            append("==> " + file + "   -  not processed: " + backup.error);
            ++m_outcome.skipped;
            return true;
        }
        backupNote = "   ==> Backup: " + backup.backupFile;
    }
    const FileJobResult job = RunFileJob(m_session, file);
    if (state().userBreak) {
        if (m_host.confirmUserBreak()) {
            append(UserBreakQuestionAborted);
            m_outcome.result = RunResult::UserBreak;
            finish();
            return false;
        }
        state().userBreak = false;
    }
    if (job.outcome == JobOutcome::Failed) {
        abortWithError(job.message);
        return false;
    }
    const std::int64_t before = FileSizeOf(file);
    std::string error;
    if (operation() != Operation::Restore && job.processed() && !WriteResult(m_session, &error)) {
        abortWithError(error);
        return false;
    }
    const std::int64_t after = FileSizeOf(file);
    append(fileProtocolLine(operation(), file, before, after, job.processed()) + backupNote);
    state().sizeBeforeTotal += before;
    state().sizeAfterTotal += after;
    job.processed() ? ++m_outcome.processed : ++m_outcome.skipped;
    return true;
}

void Driver::abortWithError(const std::string& message)
{
    // The run ends cleanly: the error and the usual aborted line in the protocol, the report
    // saved, the window usable again. Nothing else is touched.
    append("--> ERROR: " + message);
    append(AbortedLine);
    saveReport(state().SelectionMode == SelectionMode::Tree && !state().backupDirectory.empty()
                   ? state().backupDirectory
                   : state().programDirectory);
    m_host.showError(message);
    m_outcome.result = RunResult::Aborted;
    finish();
}

void Driver::saveReport(const std::string& directory)
{
    if (!m_host.saveReports())
        return;
    const std::string path = directory + "report.txt";
    std::string error;
    if (m_session.protocol.save(path, &error)) {
        append("Report saved ==> " + path);
        m_outcome.reportPath = path;
    } else {
        append("--> ERROR: " + error);
    }
}

void Driver::finish()
{
    m_session.engine.outputList().clear();
    if (state().SelectionMode == SelectionMode::SingleFile)
        m_host.setEditorUnmodified();
    m_host.SetButtonState();
    m_host.setButtonPanelEnabled(true);
}

} // namespace

std::string RunHost::currentDateTime()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buffer[128];
    // The user's short date and long time, as the locale has them.
    if (std::strftime(buffer, sizeof buffer, "%x %X", &local) == 0)
        return {};
    return buffer;
}

std::string fileProtocolLine(Operation operation, const std::string& file, std::int64_t before,
                             std::int64_t after, bool processed)
{
    switch (operation) {
    case Operation::Compress:
        return "==> Compressed: " + file + " Size: " + std::to_string(before) + "->"
            + std::to_string(after) + " byte";
    case Operation::Format: return "==> Formatted: " + file;
    case Operation::Trim: return "==> Trimmed: " + file;
    case Operation::Restore: return "==> " + file + (processed ? "   -  RESTORED" : "   -  skip");
    case Operation::None: break;
    }
    return "==> " + file;
}

RunOutcome runBatch(Session& session, RunHost& host)
{
    if (session.runInProgress) {
        RunOutcome busy;
        busy.result = RunResult::Busy;
        return busy;
    }
    RunGuard guard(session);
    return Driver(session, host).run();
}

} // namespace zenkel
