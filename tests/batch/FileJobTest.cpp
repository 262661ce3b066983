/// Tests of the file job and its file helpers.
#include "batch/FileJob.h"

#include "base/SafeFile.h"
#include "batch/Session.h"

#include "tests/support/BatchTestSupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <limits>
#include <unistd.h>

namespace zenkel {
namespace {

using test::readBytes;
using test::TempDir;
using test::writeBytes;
namespace fs = std::filesystem;

class RecordingHost : public FileJobHost
{
public:
    void SetStatus(const std::string& text) override { statuses.push_back(text); }
    void SetProgressRange(int bar, long long maximum) override { ranges.push_back({bar, maximum}); }
    void SetProgressPosition(int bar, long long position) override
    {
        positions.push_back({bar, position});
    }
    void fatalError(const std::string& message) override { fatal.push_back(message); }

    std::vector<std::string> statuses;
    std::vector<std::pair<int, long long>> ranges;
    std::vector<std::pair<int, long long>> positions;
    std::vector<std::string> fatal;
};

std::vector<std::string> outputLines(const Engine& engine)
{
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < engine.outputList().size(); ++i)
        lines.emplace_back(engine.outputList()[i]);
    return lines;
}

// ---- acceptance -----------------------------------------------------------------------------

TEST(FileJobTest, ExtensionTestFollowsTheFileTypeList)
{
    TempDir dir;
    struct Row
    {
        const char* name;
        bool valid;
    };
    const Row rows[] = {
        {"page.htm", true},
        {"page.html", true},
        {"page.shtml", true},
        {"page.dht", true},
        {"PAGE.HTM", true},
        {"page.asp", true},
        {"page.cfm", true},
        {"page", true},
        {"page.txt", false},
        {"page.php", false},
        {".htaccess", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        writeBytes(dir.file(row.name), "no tag here");
        EXPECT_EQ(IsValidHtmlFile(dir.file(row.name), false, CommandLineMode::None), row.valid);
    }
    fs::create_directories(dir.file("folder.htm"));
    EXPECT_EQ(
        CheckHtmlFile(dir.file("folder.htm"), false, CommandLineMode::None), FileCheck::Directory);
    EXPECT_EQ(
        CheckHtmlFile(dir.file("gone.htm"), false, CommandLineMode::None), FileCheck::Missing);
    // A dot in a directory name is no extension.
    fs::create_directories(dir.file("site.txt"));
    writeBytes(dir.file("site.txt/index"), "x");
    EXPECT_TRUE(IsValidHtmlFile(dir.file("site.txt/index"), false, CommandLineMode::None));
}

TEST(FileJobTest, ContentTestRunsWhenValidatingOrStartedFromTheCommandLine)
{
    TempDir dir;
    std::string late;
    for (int i = 1; i < 300; ++i)
        late += "line " + std::to_string(i) + "\r\n";
    late += "<!doctype x><html lang=en>\r\n";
    writeBytes(dir.file("late.htm"), late);
    writeBytes(dir.file("none.htm"), "<body>HTML without the tag</body>\r\n");
    struct Row
    {
        const char* file;
        bool doValidate;
        CommandLineMode mode;
        FileCheck expected;
    };
    const Row rows[] = {
        {"late.htm", true, CommandLineMode::None, FileCheck::Valid},
        {"none.htm", true, CommandLineMode::None, FileCheck::NoHtmlTag},
        {"none.htm", false, CommandLineMode::None, FileCheck::Valid},
        {"none.htm", false, CommandLineMode::File, FileCheck::NoHtmlTag},
        {"late.htm", false, CommandLineMode::Unattended, FileCheck::Valid},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.file) + (row.doValidate ? " validating" : ""));
        EXPECT_EQ(CheckHtmlFile(dir.file(row.file), row.doValidate, row.mode), row.expected);
    }
}

TEST(FileJobTest, ReadOnlyFilesAndDirectoriesAreNotWritable)
{
    TempDir dir;
    writeBytes(dir.file("ok.htm"), "x");
    EXPECT_TRUE(CheckWritableFile(dir.file("ok.htm")));

    writeBytes(dir.file("ro.htm"), "x");
    ::chmod(dir.file("ro.htm").c_str(), 0444);
    std::string error;
    EXPECT_FALSE(CheckWritableFile(dir.file("ro.htm"), &error));
    EXPECT_NE(error.find(dir.file("ro.htm")), std::string::npos);

    fs::create_directories(dir.file("locked"));
    writeBytes(dir.file("locked/page.htm"), "x");
    ::chmod(dir.file("locked").c_str(), 0555);
    EXPECT_FALSE(CheckWritableFile(dir.file("locked/page.htm"), &error));
    EXPECT_NE(error.find("read-only"), std::string::npos);
}

// ---- source text ----------------------------------------------------------------------------

TEST(FileJobTest, SourceTextEndsEveryLineWithLf)
{
    struct Row
    {
        const char* name;
        std::string bytes;
        std::string text;
    };
    const Row rows[] = {
        {"empty file", "", ""},
        {"last line without end", "a", "a\n"},
        {"mixed ends", "a\r\nb\nc\rd", "a\nb\nc\nd\n"},
        {"CR before CR LF", "\r\r\n\n", "\n\n\n"},
        {"LF CR is two ends", "a\n\r", "a\n\n"},
        {"empty lines kept", "x\r\n\r\n", "x\n\n"},
        {"other bytes unchanged", std::string("\t\0\xE4 ", 4), std::string("\t\0\xE4 \n", 5)},
        // Longer texts are converted in ten blocks; line ends on and across block ends.
        {"CR LF across block ends", "abcdefgh\r\nij\r\r\nkl\n\rmnopqrstu\r",
            "abcdefgh\nij\n\nkl\n\nmnopqrstu\n"},
        {"runs moved over many blocks", "0123456789\r\n0123456789\r\n0123456789\r\n01\r23456789x",
            "0123456789\n0123456789\n0123456789\n01\n23456789x\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(SourceTextFromBytes(row.bytes), row.text);
        std::string inPlace = row.bytes;
        SourceTextInPlace(inPlace);
        EXPECT_EQ(inPlace, row.text);
    }
}

TEST(FileJobTest, LoadingReportsInTenSteps)
{
    RecordingHost host;
    // 1000 lines "abc\n": the joined text with CR LF is 5000 characters long.
    std::string bytes;
    for (int i = 0; i < 1000; ++i)
        bytes += "abc\n";
    SourceTextFromBytes(bytes, host);
    ASSERT_EQ(host.ranges.size(), 2u);
    EXPECT_EQ(host.ranges.front(), (std::pair<int, long long> {0, 5000}));
    EXPECT_EQ(host.ranges.back(), (std::pair<int, long long> {0, 0}));
    EXPECT_GE(host.positions.size(), 9u);
    EXPECT_LE(host.positions.size(), 11u);
    for (std::size_t i = 1; i < host.positions.size(); ++i)
        EXPECT_LT(host.positions[i - 1].second, host.positions[i].second);
    EXPECT_LE(host.positions.back().second, 5000);
}

TEST(FileJobTest, LoadSourceTextFillsTheEngine)
{
    TempDir dir;
    RecordingHost host;
    Engine engine;
    engine.setSourceText("old\n", "old.htm");
    EXPECT_EQ(LoadSourceText(engine, dir.file("gone.htm"), host), LoadResult::Missing);
    EXPECT_EQ(engine.sourceText(), "old\n");
    EXPECT_TRUE(host.statuses.empty());

    writeBytes(dir.file("page.htm"), "<p>\r\nx\ry");
    ASSERT_EQ(LoadSourceText(engine, dir.file("page.htm"), host), LoadResult::Loaded);
    EXPECT_EQ(engine.sourceText(), "<p>\nx\ny\n");
    EXPECT_EQ(engine.fileName(), dir.file("page.htm"));
    EXPECT_EQ(host.statuses, std::vector<std::string> {"Loading: " + dir.file("page.htm")});
}

// ---- sizes and copies -----------------------------------------------------------------------

TEST(FileJobTest, CompressionFiguresAreExact)
{
    constexpr std::int64_t Max = std::numeric_limits<std::int64_t>::max();
    struct Row
    {
        std::int64_t before, after;
        const char* text;
    };
    const Row rows[] = {
        {1000, 800, " 1000->800 (200 bytes, 20%)  saved "},
        {100, 120, " 100->120 (-20 bytes, -20%)  saved "},
        {0, 500, " 0->500 (-500 bytes, 0%)  saved "},
        {500, 0, " 500->0 (500 bytes, 0%)  saved "},
        {3, 2, " 3->2 (1 bytes, 34%)  saved "},
        // after x 100 overflows 32 bits here.
        {30000000, 29999999, " 30000000->29999999 (1 bytes, 1%)  saved "},
        {3000000000, 1500000000, " 3000000000->1500000000 (1500000000 bytes, 50%)  saved "},
        {Max, Max / 2,
            " 9223372036854775807->4611686018427387903 (4611686018427387904 bytes, 51%)  saved "},
        {1, Max,
            " 1->9223372036854775807 (-9223372036854775806 bytes, -922337203685477580600%)  "
            "saved "},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(CompressionFigures(row.before, row.after), row.text);
    }
}

TEST(FileJobTest, FileSizeOfIsSixtyFourBit)
{
    TempDir dir;
    EXPECT_EQ(FileSizeOf(dir.file("gone")), 0);
    EXPECT_EQ(FileSizeOf(dir.path()), 0);
    writeBytes(dir.file("three"), "abc");
    EXPECT_EQ(FileSizeOf(dir.file("three")), 3);
    // A sparse file larger than 4 GiB takes no room on disk.
    const std::int64_t big = (std::int64_t {5} << 30) + 7;
    const int fd = ::open(dir.file("big").c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    const bool sized = ::ftruncate(fd, big) == 0;
    ::close(fd);
    if (!sized)
        GTEST_SKIP() << "the file system cannot make a sparse file";
    EXPECT_EQ(FileSizeOf(dir.file("big")), big);
}

TEST(FileJobTest, CopyKeepsBytesAndModificationTime)
{
    TempDir dir;
    std::string bytes;
    for (int i = 0; i < 40000; ++i)
        bytes += static_cast<char>(i % 251); // more than two blocks, zero bytes included
    struct Row
    {
        const char* name;
        std::string bytes;
    };
    const Row rows[] = {{"large", bytes}, {"empty", ""}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string source = dir.file(std::string(row.name) + ".htm");
        const std::string copy = source + ".zbak";
        writeBytes(source, row.bytes);
        test::setOldMtime(source);
        writeBytes(copy, "an older, longer backup that must be replaced entirely");
        std::string error;
        ASSERT_TRUE(CopyFileKeepDate(source, copy, &error)) << error;
        EXPECT_EQ(readBytes(copy), row.bytes);
        EXPECT_TRUE(test::sameTime(test::mtimeOf(copy), test::mtimeOf(source)));
    }
    EXPECT_EQ(test::countEntries(dir.path()), 4u); // no temporary file left behind
}

TEST(FileJobTest, FailedCopyLeavesTheDestination)
{
    TempDir dir;
    writeBytes(dir.file("dest.htm"), "keep");
    std::string error;
    EXPECT_FALSE(CopyFileKeepDate(dir.file("gone.htm"), dir.file("dest.htm"), &error));
    EXPECT_NE(error.find(dir.file("gone.htm")), std::string::npos);
    EXPECT_EQ(readBytes(dir.file("dest.htm")), "keep");

    writeBytes(dir.file("source.htm"), "new");
    ::chmod(dir.file("dest.htm").c_str(), 0444);
    EXPECT_FALSE(CopyFileKeepDate(dir.file("source.htm"), dir.file("dest.htm"), &error));
    EXPECT_NE(error.find(dir.file("dest.htm")), std::string::npos);
    EXPECT_EQ(readBytes(dir.file("dest.htm")), "keep");
    EXPECT_EQ(test::countEntries(dir.path()), 2u);
}

TEST(FileJobTest, CopyPermissions)
{
    TempDir dir;
    writeBytes(dir.file("private.htm"), "secret");
    ::chmod(dir.file("private.htm").c_str(), 0600);
    ASSERT_TRUE(CopyFileKeepDate(dir.file("private.htm"), dir.file("private.htm.zbak")));
    EXPECT_EQ(test::modeOf(dir.file("private.htm.zbak")), 0600u);

    // A read-only source gives a backup that a later backup can still replace.
    writeBytes(dir.file("ro.htm"), "x");
    ::chmod(dir.file("ro.htm").c_str(), 0444);
    ASSERT_TRUE(CopyFileKeepDate(dir.file("ro.htm"), dir.file("ro.htm.zbak")));
    EXPECT_EQ(test::modeOf(dir.file("ro.htm.zbak")), 0644u);

    // An existing destination keeps its own permissions.
    writeBytes(dir.file("target.htm"), "old");
    ::chmod(dir.file("target.htm").c_str(), 0640);
    ASSERT_TRUE(CopyFileKeepDate(dir.file("private.htm"), dir.file("target.htm")));
    EXPECT_EQ(test::modeOf(dir.file("target.htm")), 0640u);
}

// ---- disk space -----------------------------------------------------------------------------

TEST(FileJobTest, TooLittleFreeSpaceIsFatal)
{
    TempDir dir;
    writeBytes(dir.file("page.htm"), std::string(1000, 'x'));
    struct Row
    {
        std::optional<std::uint64_t> free;
        bool room;
    };
    const Row rows[] = {{3999, false}, {0, false}, {4000, true}, {std::nullopt, true}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.free ? std::to_string(*row.free) : "unknown");
        RecordingHost host;
        std::string askedDir;
        const auto query = [&](const std::string& d) {
            askedDir = d;
            return row.free;
        };
        EXPECT_EQ(CheckDiskSpace(dir.file("page.htm"), host, query), row.room);
        EXPECT_EQ(askedDir, dir.path() + "/");
        if (row.room)
            EXPECT_TRUE(host.fatal.empty());
        else
            EXPECT_EQ(host.fatal,
                std::vector<std::string> {"Disk full: " + dir.path() + "/\r\nProgram terminated."});
    }
    EXPECT_TRUE(systemFreeSpace(dir.path() + "/").has_value());
}

// ---- the job --------------------------------------------------------------------------------

class FileJobRunTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        test::writeTinyStyle(m_home.path(), "tiny");
        ASSERT_TRUE(m_session.ActivateStyle("tiny"));
    }

    std::string work(const std::string& name) const { return m_work.file(name); }

    TempDir m_home;
    TempDir m_work;
    RecordingHost m_host;
    Session m_session {m_home.path(), m_host};
};

TEST_F(FileJobRunTest, FormatFillsTheOutputListAndTheDiagnosticFiles)
{
    writeBytes(work("page.htm"), "<div><p>Hi <b>there</b></p></div>");
    m_session.runState.Operation = Operation::Format;
    m_session.runState.currentFile = work("page.htm");
    const FileJobResult result = RunFileJob(m_session, work("page.htm"));
    ASSERT_TRUE(result.processed()) << result.message;
    EXPECT_EQ(outputLines(m_session.engine),
        (std::vector<std::string> {"<div>", "  <p>", "  Hi <b>there</b>", "  </p>", "</div>"}));
    EXPECT_EQ(m_host.statuses.front(), "Loading: " + work("page.htm"));
    EXPECT_EQ(m_host.statuses.back(), "Formatted and saved: " + work("page.htm"));

    std::string tokens;
    for (std::size_t i = 0; i < m_session.engine.tokenList().size(); ++i)
        tokens += std::string(m_session.engine.tokenList()[i]) + "\r\n";
    EXPECT_FALSE(tokens.empty());
    EXPECT_EQ(readBytes(m_home.file("0tmp_htm.htm")), tokens);
    EXPECT_TRUE(fs::exists(m_home.file("0tmp_nftags.htm")));

    std::string error;
    ASSERT_TRUE(WriteResult(m_session, &error)) << error;
    EXPECT_EQ(readBytes(work("page.htm")), joinCrLf(m_session.engine.outputList()));
    EXPECT_EQ(readBytes(m_home.file("$tmp.htm")), readBytes(work("page.htm")));
}

TEST_F(FileJobRunTest, EmptyFileGivesEmptyResult)
{
    writeBytes(work("empty.htm"), "");
    m_session.runState.Operation = Operation::Format;
    m_session.runState.currentFile = work("empty.htm");
    ASSERT_TRUE(RunFileJob(m_session, work("empty.htm")).processed());
    EXPECT_EQ(m_session.engine.sourceText(), "");
    ASSERT_TRUE(WriteResult(m_session));
    EXPECT_EQ(readBytes(work("empty.htm")), "");
    EXPECT_TRUE(fs::exists(work("empty.htm")));
}

TEST_F(FileJobRunTest, DiagnosticFilesThatCannotBeWrittenDoNotStopTheJob)
{
    fs::create_directories(m_home.file("0tmp_htm.htm"));
    writeBytes(work("page.htm"), "<p>x</p>");
    m_session.runState.Operation = Operation::Compress;
    EXPECT_TRUE(RunFileJob(m_session, work("page.htm")).processed());
    EXPECT_EQ(outputLines(m_session.engine), std::vector<std::string> {"<p>x</p>"});
}

TEST_F(FileJobRunTest, MissingFileIsSkipped)
{
    m_session.runState.Operation = Operation::Format;
    const FileJobResult result = RunFileJob(m_session, work("gone.htm"));
    EXPECT_EQ(result.outcome, JobOutcome::Skipped);
    EXPECT_NE(result.message.find(work("gone.htm")), std::string::npos);
}

TEST_F(FileJobRunTest, RestoreCopiesTheBackupBack)
{
    writeBytes(work("page.htm"), "formatted");
    m_session.runState.Operation = Operation::Restore;
    const FileJobResult missing = RunFileJob(m_session, work("page.htm"));
    EXPECT_EQ(missing.outcome, JobOutcome::Skipped);
    EXPECT_EQ(readBytes(work("page.htm")), "formatted");

    m_session.settings.BackupExt = ".old";
    writeBytes(work("page.htm.old"), "original");
    test::setOldMtime(work("page.htm.old"));
    ASSERT_TRUE(RunFileJob(m_session, work("page.htm")).processed());
    EXPECT_EQ(readBytes(work("page.htm")), "original");
    EXPECT_TRUE(
        test::sameTime(test::mtimeOf(work("page.htm")), test::mtimeOf(work("page.htm.old"))));
    EXPECT_TRUE(fs::exists(work("page.htm.old")));
    EXPECT_EQ(m_session.runState.backupFile, work("page.htm.old"));
}

TEST_F(FileJobRunTest, RefusedWriteLeavesTheFile)
{
    writeBytes(work("page.htm"), "<p>x</p>");
    ::chmod(work("page.htm").c_str(), 0444);
    m_session.runState.Operation = Operation::Format;
    m_session.runState.currentFile = work("page.htm");
    ASSERT_TRUE(RunFileJob(m_session, work("page.htm")).processed());
    std::string error;
    EXPECT_FALSE(WriteResult(m_session, &error));
    EXPECT_NE(error.find(work("page.htm")), std::string::npos);
    EXPECT_EQ(readBytes(work("page.htm")), "<p>x</p>");
    // The snapshot receives the result all the same.
    EXPECT_EQ(readBytes(m_home.file("$tmp.htm")), joinCrLf(m_session.engine.outputList()));
}

TEST_F(FileJobRunTest, SessionRecordsTheStyleReallyActivated)
{
    test::writeTinyStyle(m_home.path(), "Another", 4);
    EXPECT_TRUE(m_session.ActivateStyle("gone"));
    EXPECT_EQ(m_session.settings.StyleName, "Another");
    EXPECT_EQ(m_session.engine.style().options.Spacing, 4);
}

} // namespace
} // namespace zenkel
