#include "batch/BatchRun.h"

#include "batch/FileSelection.h"
#include "batch/Session.h"
#include "tests/support/BatchTestSupport.h"

#include <gtest/gtest.h>

#include <deque>

namespace zenkel::test {
namespace {

using Lines = std::vector<std::string>;

/// Answers the driver's questions from a script and records what it was told.
class ScriptedHost : public RunHost
{
public:
    bool confirmRun(Session&) override
    {
        ++confirmations;
        return confirmAnswer;
    }
    bool confirmUserBreak() override
    {
        const bool answer = breakAnswers.empty() ? true : breakAnswers.front();
        if (!breakAnswers.empty())
            breakAnswers.pop_front();
        return answer;
    }
    void showMessage(const std::string& text) override { messages.push_back(text); }
    void showError(const std::string& text) override { errors.push_back(text); }
    std::string currentDateTime() override { return "DATE TIME"; }

    bool confirmAnswer = true;
    std::deque<bool> breakAnswers;
    Lines messages;
    Lines errors;
    int confirmations = 0;
};

/// Sets the user break while the first file's job runs.
class BreakingJobHost : public FileJobHost
{
public:
    void handlePendingMessages() override
    {
        if (flag)
            *flag = true;
    }
    bool* flag = nullptr;
};

class BatchRunTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        writeTinyStyle(m_home.path(), "_default");
        std::filesystem::create_directories(site());
        writeBytes(site() + "/a.htm", "<div><p>a</p></div>");
        writeBytes(site() + "/b.htm", "<div>  <p>b</p>  </div>");
        std::filesystem::create_directories(site() + "/sub");
        writeBytes(site() + "/sub/c.htm", "<p>c</p>");
        ASSERT_TRUE(m_session.loadSettings({}, nullptr));
        m_session.ActivateStyle("_default");
    }

    std::string site() const { return m_home.path() + "/site"; }
    std::string home() const { return m_home.path() + "/"; }

    void selectList(const Lines& names, Operation operation)
    {
        RunState& state = m_session.runState;
        state.SelectionMode = SelectionMode::FileList;
        state.Operation = operation;
        state.fileList.clear();
        for (const std::string& name : names)
            state.fileList.push_back(site() + "/" + name);
    }

    void selectTree(Operation operation)
    {
        RunState& state = m_session.runState;
        state.SelectionMode = SelectionMode::Tree;
        state.Operation = operation;
        state.sourceDirectory = site() + "/";
        state.fileList = {site() + "/a.htm", site() + "/b.htm", site() + "/sub/c.htm"};
    }

    /// The protocol with the run's date and time fixed.
    Lines protocol() const { return m_session.protocol.lines(); }

    TempDir m_home;
    FileJobHost m_jobHost;
    Session m_session {m_home.path(), m_jobHost};
    ScriptedHost m_host;
};

TEST_F(BatchRunTest, NothingSelectedChangesNothing)
{
    m_session.runState.SelectionMode = SelectionMode::FileList;
    EXPECT_EQ(runBatch(m_session, m_host).result, RunResult::NothingToDo);
    EXPECT_EQ(m_host.messages, Lines {"Zenkel HTML:\r\nNo Files selected, nothing to do ...!"});
    EXPECT_TRUE(protocol().empty());
}

TEST_F(BatchRunTest, CompressListRunWritesProtocolAndReport)
{
    selectList({"a.htm", "b.htm"}, Operation::Compress);
    const std::string a = site() + "/a.htm";
    const std::string b = site() + "/b.htm";
    const RunOutcome outcome = runBatch(m_session, m_host);
    EXPECT_EQ(outcome.result, RunResult::Completed);
    EXPECT_EQ(readBytes(a), "<div><p>a</p></div> \r\n"); // the last line end follows </div>
    EXPECT_EQ(readBytes(a + ".zbak"), "<div><p>a</p></div>");
    const Lines expected = {"", "********************************", "", "--> Started: DATE TIME",
        "==> Compressed: " + a + " Size: 19->22 byte   ==> Backup: " + a + ".zbak",
        "==> Compressed: " + b + " Size: 23->23 byte   ==> Backup: " + b + ".zbak",
        "--> Finished: DATE TIME", "",
        "Overall compressing performance:  42->45 (-3 bytes, -7%)  saved ", "", "Job done...",
        "Report saved ==> " + home() + "report.txt"};
    EXPECT_EQ(protocol(), expected);
    // The report holds the protocol as it was when the run ended.
    Lines reported(expected.begin(), expected.end() - 1);
    EXPECT_EQ(readBytes(home() + "report.txt"), [&] {
        std::string bytes;
        for (const std::string& line : reported)
            bytes += line + "\r\n";
        return bytes;
    }());
    EXPECT_EQ(outcome.editor, EditorAfterRun::Clear);
    EXPECT_TRUE(outcome.ended);
}

TEST_F(BatchRunTest, CanceledConfirmationTouchesNothing)
{
    selectList({"a.htm"}, Operation::Format);
    m_host.confirmAnswer = false;
    const RunOutcome outcome = runBatch(m_session, m_host);
    EXPECT_EQ(outcome.result, RunResult::Canceled);
    EXPECT_EQ(outcome.editor, EditorAfterRun::Keep);
    EXPECT_FALSE(outcome.ended);
    EXPECT_EQ(protocol(), Lines {"--> canceled ..."});
    EXPECT_EQ(readBytes(site() + "/a.htm"), "<div><p>a</p></div>");
    EXPECT_FALSE(std::filesystem::exists(site() + "/a.htm.zbak"));
}

TEST_F(BatchRunTest, UserBreakAnsweredYesAndNo)
{
    BreakingJobHost breaking;
    Session session(m_home.path(), breaking);
    ASSERT_TRUE(session.loadSettings({}, nullptr));
    session.ActivateStyle("_default");
    breaking.flag = &session.runState.userBreak;
    session.runState.SelectionMode = SelectionMode::FileList;
    session.runState.Operation = Operation::Format;
    session.runState.fileList = {site() + "/a.htm", site() + "/b.htm"};

    // No: the same file goes on, its result is written and the run completes.
    m_host.breakAnswers = {false, false};
    EXPECT_EQ(runBatch(session, m_host).result, RunResult::Completed);
    EXPECT_EQ(readBytes(site() + "/a.htm"), "<div>\r\n  <p>\r\n  a\r\n  </p>\r\n</div>\r\n");

    // Yes: the file keeps its old content, no finish lines; the report records the break.
    writeBytes(site() + "/a.htm", "<p>old</p>");
    std::filesystem::remove(home() + "report.txt");
    m_host.breakAnswers = {true};
    EXPECT_EQ(runBatch(session, m_host).result, RunResult::UserBreak);
    EXPECT_EQ(readBytes(site() + "/a.htm"), "<p>old</p>");
    const Lines lines = session.protocol.lines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "==> aborted: USER BREAK ...");
    EXPECT_EQ(lines.back(), "Report saved ==> " + home() + "report.txt");
    EXPECT_NE(readBytes(home() + "report.txt").find("USER BREAK"), std::string::npos);
}

TEST_F(BatchRunTest, ListRestoreRestoresWhatHasABackup)
{
    writeBytes(site() + "/a.htm.zbak", "old a");
    selectList({"a.htm", "b.htm"}, Operation::Restore);
    EXPECT_EQ(runBatch(m_session, m_host).result, RunResult::Completed);
    EXPECT_EQ(readBytes(site() + "/a.htm"), "old a");
    const Lines& lines = protocol();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "==> " + site() + "/a.htm   -  RESTORED"),
        lines.end());
    EXPECT_NE(
        std::find(lines.begin(), lines.end(), "==> " + site() + "/b.htm   -  skip"), lines.end());
    for (const std::string& line : lines)
        EXPECT_EQ(line.find("Overall"), std::string::npos);
}

TEST_F(BatchRunTest, VanishedFileAndFailedBackupAreReported)
{
    selectList({"gone.htm", "a.htm", "b.htm"}, Operation::Format);
    // A directory where the backup should go makes the backup copy fail.
    std::filesystem::create_directories(site() + "/b.htm.zbak");
    const RunOutcome outcome = runBatch(m_session, m_host);
    EXPECT_EQ(outcome.result, RunResult::Completed);
    EXPECT_EQ(outcome.processed, 1);
    EXPECT_EQ(outcome.skipped, 2);
    const Lines& lines = protocol();
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                  "==> " + site() + "/gone.htm   -  skipped: file not found"),
        lines.end());
    const auto failed = std::find_if(lines.begin(), lines.end(), [&](const std::string& line) {
        return line.starts_with("==> " + site() + "/b.htm   -  not processed: ");
    });
    EXPECT_NE(failed, lines.end());
    EXPECT_EQ(readBytes(site() + "/b.htm"), "<div>  <p>b</p>  </div>");
}

TEST_F(BatchRunTest, UnwritableFileEndsTheRunCleanly)
{
    selectList({"a.htm", "b.htm"}, Operation::Format);
    m_session.settings.DoCreateBackUps = false;
    ::chmod((site() + "/a.htm").c_str(), 0444);
    const RunOutcome outcome = runBatch(m_session, m_host);
    EXPECT_EQ(outcome.result, RunResult::Aborted);
    EXPECT_EQ(readBytes(site() + "/a.htm"), "<div><p>a</p></div>");
    EXPECT_EQ(readBytes(site() + "/b.htm"), "<div>  <p>b</p>  </div>"); // never reached
    ASSERT_EQ(m_host.errors.size(), 1u);
    EXPECT_NE(m_host.errors[0].find(site() + "/a.htm"), std::string::npos);
    const Lines& lines = protocol();
    EXPECT_EQ(lines[lines.size() - 2], "--> aborted ...");
    EXPECT_TRUE(std::filesystem::exists(home() + "report.txt"));
    EXPECT_EQ(outcome.editor, EditorAfterRun::Clear);
    EXPECT_TRUE(outcome.ended);
    EXPECT_FALSE(m_session.runInProgress);
}

TEST_F(BatchRunTest, TreeRunsTakeTheNextBackupDirectory)
{
    selectTree(Operation::Trim);
    EXPECT_EQ(runBatch(m_session, m_host).result, RunResult::Completed);
    EXPECT_TRUE(std::filesystem::exists(m_home.path() + "/site_BAK00/sub/c.htm"));
    EXPECT_TRUE(std::filesystem::exists(m_home.path() + "/site_BAK00/report.txt"));
    EXPECT_NE(std::find(protocol().begin(), protocol().end(),
                  "Backup-Directory: " + m_home.path() + "/site_BAK00/"),
        protocol().end());

    selectTree(Operation::Format);
    EXPECT_EQ(runBatch(m_session, m_host).result, RunResult::Completed);
    EXPECT_EQ(readBytes(m_home.path() + "/site_BAK01/sub/c.htm"), "<p>c</p>\r\n");
}

TEST_F(BatchRunTest, TreeRunWithoutBackupsMakesNoBackupDirectory)
{
    selectTree(Operation::Format);
    m_session.runState.backupDirectory = "/somewhere/from/an/earlier/run/";
    m_session.settings.DoCreateBackUps = false;
    const RunOutcome outcome = runBatch(m_session, m_host);
    EXPECT_EQ(outcome.result, RunResult::Completed);
    EXPECT_FALSE(std::filesystem::exists(m_home.path() + "/site_BAK00"));
    EXPECT_EQ(outcome.reportPath, home() + "report.txt");
    EXPECT_NE(std::find(protocol().begin(), protocol().end(), "Backup-Directory: (none)"),
        protocol().end());
}

TEST_F(BatchRunTest, AllBackupDirectoriesTakenRefusesTheTree)
{
    for (int n = 0; n < 100; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "/site_BAK%02d", n);
        std::filesystem::create_directories(m_home.path() + name);
    }
    selectTree(Operation::Format);
    EXPECT_EQ(runBatch(m_session, m_host).result, RunResult::Refused);
    EXPECT_EQ(
        protocol(), (Lines {"--> ERROR: Creating backup directory failed ...", "--> aborted ..."}));
    EXPECT_EQ(readBytes(site() + "/a.htm"), "<div><p>a</p></div>");
}

TEST_F(BatchRunTest, SingleFileCompressReportsOnlyInTheStatusLine)
{
    class StatusHost : public FileJobHost
    {
    public:
        void SetStatus(const std::string& text) override { status = text; }
        void AppendStatus(const std::string& text) override { status += " " + text; }
        std::string status;
    } statusHost;
    Session session(m_home.path(), statusHost);
    ASSERT_TRUE(session.loadSettings({}, nullptr));
    session.runState.SelectionMode = SelectionMode::SingleFile;
    session.runState.Operation = Operation::Compress;
    session.runState.currentFile = site() + "/b.htm";
    const RunOutcome outcome = runBatch(session, m_host);
    EXPECT_EQ(outcome.result, RunResult::Completed);
    EXPECT_EQ(outcome.editor, EditorAfterRun::Load);
    EXPECT_EQ(outcome.editorFile, session.runState.snapshotFile);
    EXPECT_TRUE(outcome.ended);
    EXPECT_EQ(statusHost.status,
        "Compressed and saved: " + site() + "/b.htm   Size:  23->23 (0 bytes, 0%)  saved ");
    EXPECT_TRUE(session.protocol.lines().empty());
    EXPECT_FALSE(std::filesystem::exists(home() + "report.txt"));
}

TEST_F(BatchRunTest, NoSecondRunWhileOneIsGoing)
{
    selectList({"a.htm"}, Operation::Format);
    m_session.runInProgress = true;
    EXPECT_EQ(runBatch(m_session, m_host).result, RunResult::Busy);
    EXPECT_EQ(m_host.confirmations, 0);
    EXPECT_EQ(readBytes(site() + "/a.htm"), "<div><p>a</p></div>");
}

} // namespace
} // namespace zenkel::test
