/// The batch driver behind Format, Compress, Trim and Restore: one operation over the
/// selection, with confirmation, backups, protocol and report.
#pragma once

#include "batch/OutputPool.h"
#include "batch/RunState.h"
#include "engine/Style.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zenkel {

class Engine;
struct Session;

/// The questions and messages the driver puts to its user. The command-line tool answers
/// every question itself; tests script the answers. What the window shows afterwards comes
/// back in the RunOutcome.
class RunHost
{
public:
    virtual ~RunHost() = default;
    /// The confirmation dialog: true for OK. It may switch the session's DoCreateBackUps.
    virtual bool confirmRun(Session& session) = 0;
    /// "Zenkel HTML - USER BREAK:\r\n Stop processing files?": true for Yes.
    virtual bool confirmUserBreak() = 0;
    /// An information box ("No Files selected...").
    virtual void showMessage(const std::string& text) = 0;
    /// An error box for a file that could not be read or written.
    virtual void showError(const std::string& text) = 0;
    /// The current local date and time in the user's short date and long time format.
    virtual std::string currentDateTime();
    /// False when the run's report.txt is not wanted.
    virtual bool saveReports() const { return true; }
    /// Worker threads that compute the results of a list or tree run ahead of the driver;
    /// 1 (or less) computes each file in turn on the session's engine.
    virtual int workerCount() const { return 1; }
};

enum class RunResult
{
    NothingToDo, ///< no file selected
    Busy, ///< another run is going, in this process or another one on the program directory
    Canceled, ///< the confirmation was refused
    Refused, ///< the tree's backup directory could not be made
    UserBreak, ///< stopped by the user between files
    Aborted, ///< a file could not be read or written
    Completed,
};

/// What a run leaves for the window's editor.
enum class EditorAfterRun
{
    Keep, ///< the run touched no file: the editor stays as it was
    Clear, ///< files were processed: the editor may hold a stale copy of one of them
    Load, ///< a single file was processed: the editor shows its result (editorFile)
};

struct RunOutcome
{
    RunResult result = RunResult::NothingToDo;
    int processed = 0;
    int skipped = 0; ///< vanished files, restores without backup, failed backups
    /// The protocol line of every file of a list or tree run that was not processed.
    std::vector<std::string> notProcessed;
    std::string reportPath; ///< where report.txt went, empty when none was saved
    std::string reportError; ///< why report.txt could not be saved
    EditorAfterRun editor = EditorAfterRun::Keep;
    std::string editorFile; ///< the file to load with colouring, caret at its start (Load)
    /// The run went past its confirmation and ended (done, stopped or aborted): the window
    /// refreshes its button states; after a single file its editor counts as unmodified.
    bool ended = false;
};

/// Runs the session's Operation over its SelectionMode (the driver behind TForm1.LetsGo).
RunOutcome runBatch(Session& session, RunHost& host);

/// One file's protocol line (without the backup note).
std::string fileProtocolLine(Operation operation, const std::string& file, std::int64_t before,
    std::int64_t after, bool processed);

} // namespace zenkel
