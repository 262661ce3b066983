/// The batch driver behind Format, Compress, Trim and Restore.
#include "batch/BatchRun.h"

#include "base/Paths.h"
#include "base/SafeFile.h"
#include "batch/Backup.h"
#include "batch/FileJob.h"
#include "batch/RunLock.h"
#include "batch/Session.h"
#include "engine/Engine.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <clocale>
#include <cstring>
#include <ctime>
#include <exception>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace zenkel {

namespace {

namespace fs = std::filesystem;

constexpr const char* Stars = "\r\n********************************\r\n";
constexpr const char* UserBreakQuestionAborted = "\r\n==> aborted: USER BREAK ...";

/// Writes the scratch files of the program directory (snapshot, diagnostic files) on a
/// thread of its own, so that their synced writes keep no file of a run waiting. A job is a
/// list of files written in order up to the first that fails, as the file job writes them.
/// A newer job of the same kind replaces one not yet begun: only the last content of a
/// scratch file counts. flush() returns once everything given has been written.
class ScratchWriter
{
public:
    enum Kind
    {
        Diagnostics,
        Snapshot,
    };
    using Files = std::vector<std::pair<std::string, std::string>>;

    ScratchWriter()
    {
        try {
            m_thread = std::thread([this] { run(); });
        } catch (const std::exception&) {
            // No thread: every job is written at once instead.
        }
    }
    ~ScratchWriter()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_work.notify_all();
        if (m_thread.joinable())
            m_thread.join();
    }
    ScratchWriter(const ScratchWriter&) = delete;
    ScratchWriter& operator=(const ScratchWriter&) = delete;

    void write(Kind kind, Files files)
    {
        if (!m_thread.joinable()) {
            writeInOrder(files);
            return;
        }
        {
            const std::lock_guard lock(m_mutex);
            m_pending[kind] = std::move(files);
        }
        m_work.notify_one();
    }

    void flush()
    {
        std::unique_lock lock(m_mutex);
        m_idle.wait(lock, [this] { return m_pending.empty() && !m_busy; });
    }

    /// The messages of the files that could not be written, each once.
    std::vector<std::string> errors()
    {
        flush();
        const std::lock_guard lock(m_mutex);
        return m_errors;
    }

private:
    /// Writes the files in order up to the first that fails, noting its message.
    void writeInOrder(const Files& files)
    {
        for (const auto& [path, bytes] : files) {
            std::string error;
            if (!writeScratchFile(path, bytes, &error)) {
                const std::lock_guard lock(m_mutex);
                if (std::find(m_errors.begin(), m_errors.end(), error) == m_errors.end())
                    m_errors.push_back(error);
                return;
            }
        }
    }

    void run()
    {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_work.wait(lock, [this] { return m_stopping || !m_pending.empty(); });
            if (m_pending.empty())
                return; // stopping, and everything is written
            auto job = m_pending.extract(m_pending.begin());
            m_busy = true;
            lock.unlock();
            writeInOrder(job.mapped());
            lock.lock();
            m_busy = false;
            m_idle.notify_all();
        }
    }

    std::map<Kind, Files> m_pending;
    std::vector<std::string> m_errors;
    bool m_busy = false;
    bool m_stopping = false;
    std::mutex m_mutex;
    std::condition_variable m_work;
    std::condition_variable m_idle;
    std::thread m_thread;
};

/// The diagnostic files in the program directory, with their contents.
ScratchWriter::Files diagnosticFiles(const std::string& dir, std::string tokens, std::string blocks)
{
    const std::string base = dir.empty() || dir.back() == '/' ? dir : dir + '/';
    ScratchWriter::Files files;
    files.emplace_back(base + TokenListFileName, std::move(tokens));
    files.emplace_back(base + BlockStoreFileName, std::move(blocks));
    return files;
}

/// Clears the run flag however the run ends.
struct RunGuard
{
    explicit RunGuard(Session& s)
        : session(s)
    {
        session.runInProgress = true;
    }
    ~RunGuard() { session.runInProgress = false; }
    Session& session;
};

class Driver
{
public:
    Driver(Session& session, RunHost& host)
        : m_session(session)
        , m_host(host)
    { }

    RunOutcome run();

private:
    RunState& state() { return m_session.runState; }
    bool backups() const { return m_session.settings.DoCreateBackUps; }
    Operation operation() const { return m_session.runState.Operation; }
    void append(const std::string& text) { m_session.protocol.append(text); }
    RunOutcome singleFile();
    RunOutcome batch(bool tree);
    /// Processes file index of a list or tree; false ends the run (user break or error).
    bool processListFile(const std::string& file, std::size_t index);
    void startWorkers(const std::vector<std::string>& files);
    void stopWorkers();
    /// The result of file index computed ahead by a worker, when there are workers and the
    /// file is still what the worker read; null: the file job runs here.
    PrecomputedFile* takeAhead(const std::string& file, std::size_t index);
    /// WriteResult, or its equal for a result computed ahead.
    bool writeResult(const PrecomputedFile* ahead, std::string* error);
    /// Appends the protocol line of a file that was not processed and counts it.
    void notProcessed(const std::string& line);
    void abortWithError(const std::string& message);
    /// A tree run's backup directory, else the program directory.
    std::string reportDirectory();
    void saveReport(const std::string& directory);
    void finish();

    Session& m_session;
    RunHost& m_host;
    RunOutcome m_outcome;
    std::unique_ptr<OutputPool> m_pool;
    std::unique_ptr<ScratchWriter> m_scratch;
    ScratchWriter::Files m_trimScan; ///< trim runs with workers: the session engine's scan
};

RunOutcome Driver::run()
{
    const bool somethingToDo
        = (state().SelectionMode == SelectionMode::SingleFile && !state().currentFile.empty())
        || ((state().SelectionMode == SelectionMode::FileList
                || state().SelectionMode == SelectionMode::Tree)
            && !state().fileList.empty());
    if (!somethingToDo) {
        m_host.showMessage("Zenkel HTML:\r\nNo Files selected, nothing to do ...!");
        return m_outcome;
    }
    // Another process's run on the same program directory (a second window, a zenkel run)
    // would interleave with this one: refused before anything is asked or touched.
    const RunLock lock(state().programDirectory);
    if (!lock.held()) {
        m_host.showError(lock.refusal());
        m_outcome.result = RunResult::Busy;
        return m_outcome;
    }
    state().sizeBeforeTotal = 0;
    state().sizeAfterTotal = 0;
    state().userBreak = false;
    // The run uses the style as stored in its files, not unsaved edits. A style file that
    // cannot be read would format with defaults: nothing is touched then.
    std::string error;
    if (!m_session.ActivateStyle(m_session.settings.StyleName, &error) && !error.empty()) {
        m_host.showError(error);
        m_outcome.result = RunResult::Aborted;
        return m_outcome;
    }
    switch (state().SelectionMode) {
    case SelectionMode::SingleFile:
        return singleFile();
    case SelectionMode::FileList:
        return batch(false);
    default:
        return batch(true);
    }
}

RunOutcome Driver::singleFile()
{
    if (state().CommandLineMode != CommandLineMode::Unattended && !m_host.confirmRun(m_session)) {
        m_outcome.result = RunResult::Canceled;
        return m_outcome;
    }
    m_outcome.editor = EditorAfterRun::Clear;
    const std::string file = state().currentFile;
    const BackedUpJob backedUp
        = RunFileJobAfterBackup(m_session, file, backups() && operation() != Operation::Restore);
    const BackupResult& backup = backedUp.backup;
    if (!backup.ok) {
        // A file without its backup is not touched.
        m_session.host.SetStatus(backup.error);
        m_host.showError(backup.error + "\r\nThe file was not processed.");
        m_outcome.result = RunResult::Aborted;
        ++m_outcome.skipped;
        finish();
        return m_outcome;
    }
    const FileJobResult& job = backedUp.job;
    const std::int64_t before = FileSizeOf(file);
    std::string error;
    const bool jobFailed
        = job.outcome != JobOutcome::Processed && job.outcome != JobOutcome::Skipped;
    if (jobFailed || (job.processed() && !WriteResult(m_session, &error))) {
        m_host.showError(jobFailed ? job.message : error);
        m_outcome.result = RunResult::Aborted;
        finish();
        return m_outcome;
    }
    job.processed() ? ++m_outcome.processed : ++m_outcome.skipped;
    m_outcome.editor = EditorAfterRun::Load;
    m_outcome.editorFile = state().snapshotFile;
    const std::int64_t after = FileSizeOf(file);
    if (operation() == Operation::Compress)
        m_session.host.AppendStatus("  Size: " + CompressionFigures(before, after));
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
    }
    m_outcome.editor = EditorAfterRun::Clear;
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

    const std::vector<std::string> files = state().fileList;
    startWorkers(files);
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (!processListFile(files[i], i))
            return m_outcome;
        if (m_pool)
            m_pool->release(i);
        m_session.host.SetProgressPosition(1, static_cast<long long>(i));
        m_session.host.handlePendingMessages();
    }
    stopWorkers();
    m_session.host.SetProgressPosition(1, 0);
    append("--> Finished: " + m_host.currentDateTime());
    if (operation() == Operation::Compress)
        append("\r\nOverall compressing performance: "
            + CompressionFigures(state().sizeBeforeTotal, state().sizeAfterTotal));
    append("\r\nJob done...");
    saveReport(reportDirectory());
    m_outcome.result = RunResult::Completed;
    finish();
    return m_outcome;
}

void Driver::startWorkers(const std::vector<std::string>& files)
{
    const int workers = m_host.workerCount();
    if (workers <= 1 || files.size() < 2 || operation() == Operation::Restore)
        return;
    OutputPoolSettings settings;
    settings.lineEnd = std::string(lineEndOf(m_session.settings));
    settings.diagnosticFiles = operation() != Operation::Trim;
    // The style was just activated from its files; every worker engine gets a copy of it.
    m_pool = std::make_unique<OutputPool>(
        files, operation(), m_session.engine.style(), m_session.trimList, workers, settings);
    m_scratch = std::make_unique<ScratchWriter>();
    // A trim scans nothing: the file job leaves the session engine's last scan in the
    // diagnostic files, and that scan does not change during the run.
    if (operation() == Operation::Trim)
        m_trimScan = diagnosticFiles(state().programDirectory,
            m_session.engine.tokenListFileBytes(), m_session.engine.blockStoreFileBytes());
}

void Driver::stopWorkers()
{
    // Busy workers finish their file and their results are dropped; the scratch files get
    // what is queued, so they end as a run without workers leaves them.
    m_pool.reset();
    if (m_scratch) {
        for (const std::string& error : m_scratch->errors())
            m_session.noteScratchError(error);
    }
    m_scratch.reset();
}

PrecomputedFile* Driver::takeAhead(const std::string& file, std::size_t index)
{
    if (!m_pool)
        return nullptr;
    PrecomputedFile& ahead
        = m_pool->take(index, [this] { m_session.host.handlePendingMessages(); });
    // The worker read the file before its backup was made: its result stands only for the
    // content it read. A file changed since (listed twice, edited meanwhile), one it could
    // not read, and a disk short of space all go through the file job here, which reports
    // them as a run without workers does.
    FileJobHost probe;
    if (ahead.computed && fileStampOf(file) == ahead.stamp && CheckDiskSpace(file, probe)) {
        m_scratch->write(ScratchWriter::Diagnostics,
            operation() == Operation::Trim
                ? m_trimScan
                : diagnosticFiles(state().programDirectory, std::move(ahead.tokenFileBytes),
                    std::move(ahead.blockFileBytes)));
        return &ahead;
    }
    // The file job writes its scratch files at once; those still queued must land first.
    m_scratch->flush();
    return nullptr;
}

bool Driver::writeResult(const PrecomputedFile* ahead, std::string* error)
{
    if (!ahead)
        return WriteResult(m_session, error);
    // As WriteResult: the snapshot, whether or not the file can be written, and the file.
    m_scratch->write(ScratchWriter::Snapshot, {{state().snapshotFile, ahead->resultBytes}});
    return writeFileSafely(state().currentFile, ahead->resultBytes, error);
}

bool Driver::processListFile(const std::string& file, std::size_t index)
{
    state().currentFile = file;
    m_session.host.SetStatus("Processing: " + file);
    if (!isRegularFile(file)) {
        notProcessed("==> " + file + "   -  skipped: file not found");
        return true;
    }
    std::string backupNote;
    if (backups() && operation() != Operation::Restore) {
        const BackupResult backup
            = makeFileBackup(state(), file, m_session.settings.BackupExt, CopyFileKeepDate);
        if (!backup.ok) {
            notProcessed("==> " + file + "   -  not processed: " + backup.error);
            return true;
        }
        backupNote = "   ==> Backup: " + backup.backupFile;
    }
    const PrecomputedFile* ahead = takeAhead(file, index);
    const FileJobResult job
        = ahead ? FileJobResult {JobOutcome::Processed, {}} : RunFileJob(m_session, file);
    if (state().userBreak) {
        if (m_host.confirmUserBreak()) {
            // The current file keeps its old content; the report records what was done, and
            // a report of an earlier run does not stay behind looking like this one's.
            append(UserBreakQuestionAborted);
            saveReport(reportDirectory());
            // The engine has already announced the file as saved; it was not written.
            m_session.host.SetStatus("User break: " + file + " was not changed");
            m_session.host.SetProgressPosition(0, 0);
            m_session.host.SetProgressPosition(1, 0);
            m_outcome.result = RunResult::UserBreak;
            finish();
            return false;
        }
        state().userBreak = false;
    }
    if (job.outcome == JobOutcome::Unreadable || job.outcome == JobOutcome::OutOfMemory) {
        // As when its backup could not be read: this file is left alone, the run goes on.
        notProcessed("==> " + file + "   -  not processed: " + job.message);
        return true;
    }
    if (job.outcome == JobOutcome::Failed) {
        abortWithError(job.message);
        return false;
    }
    const std::int64_t before = FileSizeOf(file);
    std::string error;
    if (operation() != Operation::Restore && job.processed() && !writeResult(ahead, &error)) {
        abortWithError(error);
        return false;
    }
    const std::int64_t after = FileSizeOf(file);
    const std::string line
        = fileProtocolLine(operation(), file, before, after, job.processed()) + backupNote;
    state().sizeBeforeTotal += before;
    state().sizeAfterTotal += after;
    if (job.processed()) {
        append(line);
        ++m_outcome.processed;
    } else {
        notProcessed(line);
    }
    return true;
}

void Driver::notProcessed(const std::string& line)
{
    append(line);
    ++m_outcome.skipped;
    m_outcome.notProcessed.push_back(line);
}

void Driver::abortWithError(const std::string& message)
{
    // The run ends cleanly: the error and the usual aborted line in the protocol, the report
    // saved, the window usable again. Nothing else is touched.
    append("--> ERROR: " + message);
    append(AbortedLine);
    saveReport(reportDirectory());
    m_host.showError(message);
    m_outcome.result = RunResult::Aborted;
    finish();
}

std::string Driver::reportDirectory()
{
    return state().SelectionMode == SelectionMode::Tree && !state().backupDirectory.empty()
        ? state().backupDirectory
        : state().programDirectory;
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
        if (!clearStaleFile(path))
            error += "; the report left there is from an earlier run";
        append("--> ERROR: " + error);
        m_outcome.reportError = error;
    }
}

void Driver::finish()
{
    stopWorkers();
    m_session.engine.outputList().clear();
    m_outcome.ended = true;
}

} // namespace

std::string RunHost::currentDateTime()
{
    const std::time_t now = std::time(nullptr);
    std::tm local {};
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
    case Operation::Format:
        return "==> Formatted: " + file;
    case Operation::Trim:
        return "==> Trimmed: " + file;
    case Operation::Restore:
        return "==> " + file + (processed ? "   -  RESTORED" : "   -  skip");
    case Operation::None:
        break;
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
