/// Tests of the zenkel command-line tool, run as a program on files in temporary directories.
#include "base/SafeFile.h"
#include "batch/FileJob.h"
#include "batch/Session.h"

#include "tests/support/BatchTestSupport.h"
#include "tests/support/CliRunner.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace zenkel {
namespace {

using test::readBytes;
using test::TempDir;
using test::writeBytes;
namespace fs = std::filesystem;

using RunResult = test::CliResult;
using test::shellQuoted;

const char* const Page = "<div><p>Hello   <b>world</b></p>\r\n<p>two\nlines</p></div>";

class CliTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        test::writeTinyStyle(m_home.path(), "tiny");
        test::writeTinyStyle(m_home.path(), "Wide", 6);
        writeBytes(page(), Page);
    }

    std::string page() const { return m_work.file("page.htm"); }

    /// Runs zenkel with the arguments; env is put in front of the command, stdinBytes fed.
    RunResult run(std::initializer_list<std::string> args, const std::string& env = {},
        const std::string& stdinBytes = {}) const
    {
        return runArgs(std::vector<std::string>(args), env, stdinBytes);
    }

    RunResult runArgs(const std::vector<std::string>& args, const std::string& env = {},
        const std::string& stdinBytes = {}) const
    {
        return test::runZenkel(args, test::cliCall(stdinBytes, {}, env));
    }

    /// zenkel COMMAND --home HOME [extra...] page.htm
    RunResult runOnPage(const std::string& command, std::initializer_list<std::string> extra = {})
    {
        std::vector<std::string> args {command, "--home", m_home.path()};
        args.insert(args.end(), extra.begin(), extra.end());
        args.push_back(page());
        return runArgs(args);
    }

    /// What the engine makes of the bytes with a style, computed in this process.
    std::string expectedBytes(
        Operation operation, const std::string& bytes, const std::string& style = "tiny") const
    {
        Session session(m_home.path(), nullFileJobHost());
        EXPECT_TRUE(session.ActivateStyle(style));
        session.loadTrimList();
        session.runState.Operation = operation;
        session.engine.setSourceText(SourceTextFromBytes(bytes), "x");
        EXPECT_TRUE(ProcessSourceText(session).processed());
        return joinCrLf(session.engine.outputList());
    }

    TempDir m_home;
    TempDir m_work;
};

const std::string FormattedPage = "<div>\r\n"
                                  "  <p>\r\n"
                                  "  Hello <b>world</b>\r\n"
                                  "  </p>\r\n"
                                  "  <p>\r\n"
                                  "  two lines\r\n"
                                  "  </p>\r\n"
                                  "</div>\r\n";

TEST_F(CliTest, StdoutGivesExactlyTheBytesAndLeavesTheFile)
{
    test::setOldMtime(page());
    const RunResult r
        = run({"format", "--home", m_home.path(), "--style", "tiny", "--stdout", page()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, FormattedPage);
    EXPECT_EQ(r.out, expectedBytes(Operation::Format, Page));
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(readBytes(page()), Page);
    EXPECT_EQ(test::mtimeOf(page()).tv_sec, 1000000000);
    EXPECT_FALSE(fs::exists(page() + ".zbak"));
    EXPECT_FALSE(fs::exists(m_home.file("prg.ini")));
}

TEST_F(CliTest, EveryOperationToStdoutMatchesTheEngine)
{
    writeBytes(m_home.file("trim.ini"), "[TRIMTAGS]\r\n<P>=1\r\n</P>=1\r\n");
    struct Row
    {
        const char* command;
        Operation operation;
        const char* style;
    };
    const Row rows[] = {{"format", Operation::Format, "Wide"},
        {"compress", Operation::Compress, "tiny"}, {"trim", Operation::Trim, "tiny"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.command);
        const RunResult r = runOnPage(row.command, {"--style", row.style, "--stdout"});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, expectedBytes(row.operation, Page, row.style));
    }
}

TEST_F(CliTest, DiagnosticFilesHoldTheScan)
{
    ASSERT_EQ(runOnPage("format", {"--stdout"}).status, 0);
    Session session(m_home.path(), nullFileJobHost());
    ASSERT_TRUE(session.ActivateStyle("tiny"));
    session.engine.setSourceText(SourceTextFromBytes(Page), "x");
    session.engine.ParseHTML();
    std::string tokens;
    for (std::size_t i = 0; i < session.engine.tokenList().size(); ++i)
        tokens += std::string(session.engine.tokenList()[i]) + "\r\n";
    std::string blocks;
    for (std::size_t i = 0; i < session.engine.blockStore().lines().size(); ++i)
        blocks += std::string(session.engine.blockStore().lines()[i]) + "\r\n";
    EXPECT_EQ(readBytes(m_home.file("0tmp_htm.htm")), tokens);
    EXPECT_NE(readBytes(m_home.file("0tmp_htm.htm")).find("<b>world</b>"), std::string::npos);
    EXPECT_EQ(readBytes(m_home.file("0tmp_nftags.htm")), blocks);
}

TEST_F(CliTest, UnwritableDiagnosticFilesDoNotStopProcessing)
{
    fs::create_directories(m_home.file("0tmp_nftags.htm"));
    const RunResult r = runOnPage("format", {"--stdout"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, FormattedPage);
}

TEST_F(CliTest, FormatInPlaceKeepsABackupThatRestoreBringsBack)
{
    test::setOldMtime(page());
    const RunResult format = runOnPage("format");
    ASSERT_EQ(format.status, 0) << format.err;
    EXPECT_EQ(format.out, "Formatted and saved: " + page() + "\n");
    EXPECT_EQ(readBytes(page()), FormattedPage);
    EXPECT_EQ(readBytes(page() + ".zbak"), Page);
    EXPECT_EQ(test::mtimeOf(page() + ".zbak").tv_sec, 1000000000);
    EXPECT_EQ(readBytes(m_home.file("$tmp.htm")), FormattedPage);

    const RunResult restore = runOnPage("restore");
    ASSERT_EQ(restore.status, 0) << restore.err;
    EXPECT_EQ(restore.out, "Restored and saved: \"" + page() + "\"\n");
    EXPECT_EQ(readBytes(page()), Page);
    EXPECT_EQ(test::mtimeOf(page()).tv_sec, 1000000000);
    EXPECT_FALSE(fs::exists(m_home.file("prg.ini")));
}

TEST_F(CliTest, CompressReportsTheSizeFigures)
{
    const RunResult r = runOnPage("compress");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::int64_t before = static_cast<std::int64_t>(std::string(Page).size());
    const std::int64_t after = FileSizeOf(page());
    EXPECT_EQ(r.out,
        "Compressed and saved: " + page() + "   Size: " + CompressionFigures(before, after) + "\n");
}

TEST_F(CliTest, BackupFollowsTheSettingsAndTheOptions)
{
    writeBytes(m_home.file("prg.ini"), "[OPTIONS]\r\nDoCreateBackUps=0\r\nBackupExt=.previous\r\n");
    const std::string settings = readBytes(m_home.file("prg.ini"));
    ASSERT_EQ(runOnPage("format").status, 0);
    EXPECT_FALSE(fs::exists(page() + ".previous"));
    EXPECT_FALSE(fs::exists(page() + ".prev"));
    ASSERT_EQ(runOnPage("compress", {"--backup"}).status, 0);
    EXPECT_EQ(readBytes(page() + ".prev"), FormattedPage);
    writeBytes(page(), Page);
    ASSERT_EQ(runOnPage("format", {"--no-backup", "--backup", "--no-backup"}).status, 0);
    EXPECT_EQ(readBytes(page() + ".prev"), FormattedPage);
    EXPECT_EQ(readBytes(m_home.file("prg.ini")), settings);
}

TEST_F(CliTest, StyleComesFromTheSettingsWithFallback)
{
    writeBytes(m_home.file("prg.ini"), "[OPTIONS]\r\nStyleName=Wide\r\n");
    EXPECT_EQ(
        runOnPage("format", {"--stdout"}).out, expectedBytes(Operation::Format, Page, "Wide"));
    writeBytes(m_home.file("prg.ini"), "[OPTIONS]\r\nStyleName=gone\r\n");
    EXPECT_EQ(runOnPage("format", {"--stdout"}).out, FormattedPage); // "tiny" sorts first

    const RunResult styles = run({"styles", "--home", m_home.path()});
    EXPECT_EQ(styles.status, 0);
    const std::string inUse = "program directory: " + m_home.path() + "/\n";
    EXPECT_EQ(styles.out, "* tiny\n  Wide\n" + inUse);
    writeBytes(m_home.file("prg.ini"), "[OPTIONS]\r\nStyleName=Wide\r\n");
    EXPECT_EQ(run({"styles"}, "ZENKEL_HOME=" + shellQuoted(m_home.path())).out,
        "  tiny\n* Wide\n" + inUse);
}

TEST_F(CliTest, StandardInputGoesToStandardOutput)
{
    const RunResult r = run({"format", "--home", m_home.path(), "-"}, {}, Page);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, FormattedPage);
    // Standard input is accepted without "<HTML" even when validating.
    EXPECT_EQ(run({"format", "--validate", "--home", m_home.path(), "-"}, {}, Page).status, 0);
}

TEST_F(CliTest, RefusedFilesGetOneLineAndAreLeftAlone)
{
    writeBytes(m_work.file("notes.txt"), Page);
    fs::create_directories(m_work.file("folder.htm"));
    writeBytes(m_work.file("ro.htm"), Page);
    ::chmod(m_work.file("ro.htm").c_str(), 0444);
    fs::create_directories(m_work.file("locked"));
    writeBytes(m_work.file("locked/page.htm"), Page);
    ::chmod(m_work.file("locked").c_str(), 0555);
    const std::string files[] = {m_work.file("gone.htm"), m_work.file("notes.txt"),
        m_work.file("folder.htm"), m_work.file("ro.htm"), m_work.file("locked/page.htm")};
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        const RunResult r = run({"format", "--home", m_home.path(), file});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);
        EXPECT_EQ(r.err.rfind("zenkel: " + file + ": ", 0), 0u) << r.err;
        EXPECT_FALSE(fs::exists(file + ".zbak"));
    }
    EXPECT_EQ(readBytes(m_work.file("ro.htm")), Page);
    EXPECT_EQ(readBytes(m_work.file("locked/page.htm")), Page);
    EXPECT_EQ(test::countEntries(m_work.file("locked")), 1u);
}

TEST_F(CliTest, ValidateSkipsFilesWithoutHtmlTag)
{
    const RunResult skipped = runOnPage("format", {"--validate"});
    EXPECT_EQ(skipped.status, 1);
    EXPECT_NE(skipped.err.find("<HTML"), std::string::npos);
    EXPECT_EQ(readBytes(page()), Page);
    writeBytes(m_home.file("prg.ini"), "[OPTIONS]\r\nDoValidate=1\r\n");
    EXPECT_EQ(runOnPage("format").status, 1);
    writeBytes(page(), "<HTML><p>x</p></HTML>");
    EXPECT_EQ(runOnPage("format").status, 0);
}

TEST_F(CliTest, SeveralFilesAreOneListRun)
{
    writeBytes(m_work.file("second.htm"), Page);
    const RunResult r = run({"format", "--home", m_home.path(), page(), m_work.file("gone.htm"),
        m_work.file("second.htm")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("gone.htm"), std::string::npos);
    EXPECT_NE(r.out.find("==> Formatted: " + page()), std::string::npos);
    EXPECT_NE(r.out.find("==> Formatted: " + m_work.file("second.htm")), std::string::npos);
    EXPECT_EQ(readBytes(m_work.file("second.htm")), FormattedPage);
}

TEST_F(CliTest, RestoreWithoutBackupChangesNothing)
{
    const RunResult r = runOnPage("restore");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(page() + ".zbak"), std::string::npos);
    EXPECT_EQ(readBytes(page()), Page);
}

TEST_F(CliTest, SetupErrorsExitWithTwo)
{
    TempDir empty;
    struct Row
    {
        const char* name;
        std::vector<std::string> args;
        std::string errPart;
    };
    TempDir other;
    test::writeTinyStyle(other.path(), "tiny");
    fs::create_directories(other.file("prg.ini"));
    const Row rows[] = {
        {"no arguments", {}, "zenkel format|compress|trim|restore"},
        {"unknown command", {"beautify", page()}, "unknown command"},
        {"unknown option", {"format", "--fast", page()}, "unknown option '--fast'"},
        {"no path", {"format", "--home", empty.path()}, "no PATH"},
        {"restore to stdout", {"restore", "--stdout", page()}, "restore"},
        {"home without value", {"format", page(), "--home"}, "--home needs a value"},
        {"no usable style", {"format", "--home", empty.path(), page()},
            "No valid Formatting-Style found!"},
        {"unknown style", {"format", "--home", m_home.path(), "--style", "tin", page()}, "\"tin\""},
        {"unreadable settings", {"format", "--home", other.path(), page()}, "prg.ini"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const RunResult r = runArgs(row.args);
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find(row.errPart), std::string::npos) << r.err;
    }
    EXPECT_EQ(readBytes(page()), Page);
}

TEST_F(CliTest, HelpPrintsTheUsage)
{
    const RunResult r = run({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("zenkel format|compress|trim|restore [OPTIONS] PATH...\n", 0), 0u);
    EXPECT_NE(r.out.find("Exit status: 0 all done;"), std::string::npos);
}

TEST_F(CliTest, ListRunPrintsTheProtocolAndSavesTheReport)
{
    const std::string second = m_work.file("second.htm");
    writeBytes(second, "<p>x</p>");
    const RunResult r = run({"format", "--home", m_home.path(), "--style", "tiny", page(), second,
        m_work.file("missing.htm")});
    EXPECT_EQ(r.status, 1); // the missing file was refused
    EXPECT_NE(r.err.find("missing.htm"), std::string::npos);
    EXPECT_NE(r.out.find("==> Formatted: " + page() + "   ==> Backup: " + page() + ".zbak"),
        std::string::npos);
    EXPECT_NE(r.out.find("Job done..."), std::string::npos);
    EXPECT_EQ(readBytes(page() + ".zbak"), Page);
    EXPECT_EQ(readBytes(second), "<p>\r\nx\r\n</p>\r\n");
    EXPECT_TRUE(fs::exists(m_home.file("report.txt")));
}

TEST_F(CliTest, TreeRunBacksUpIntoANumberedDirectory)
{
    fs::create_directories(m_work.file("site/sub"));
    fs::create_directories(m_work.file("site/_vti_cnf"));
    writeBytes(m_work.file("site/sub/a.htm"), "<p>a</p>");
    writeBytes(m_work.file("site/_vti_cnf/a.htm"), "<p>a</p>");
    const RunResult r = run(
        {"trim", "--home", m_home.path(), "--tree", m_work.file("site"), "--quiet", "--no-report"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "1 processed, 0 skipped\n");
    EXPECT_EQ(readBytes(m_work.file("site_BAK00/sub/a.htm")), "<p>a</p>");
    EXPECT_FALSE(fs::exists(m_work.file("site_BAK00/report.txt")));
    EXPECT_FALSE(fs::exists(m_work.file("site_BAK00/_vti_cnf")));
    EXPECT_EQ(run({"restore", "--tree", m_work.file("site")}).status, 2);
}

} // namespace
} // namespace zenkel
