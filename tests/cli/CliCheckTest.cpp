/// Tests of zenkel --check, --diff, --jobs, --eol and --version, run as a program on files in
/// temporary directories, and of the options' parsing.
#include "cli/CliOptions.h"
#include "engine/DocLine.h"

#include "tests/support/BatchTestSupport.h"
#include "tests/support/CliRunner.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <map>
#include <regex>
#include <tuple>

namespace zenkel {
namespace {

using test::readBytes;
using test::TempDir;
using test::writeBytes;
namespace fs = std::filesystem;

using ToolResult = test::CliResult;

const std::string Page = "<div><p>Hello   <b>world</b></p>\r\n<p>two\nlines</p></div>";
const std::string FormattedPage = "<div>\r\n  <p>\r\n  Hello <b>world</b>\r\n  </p>\r\n"
                                  "  <p>\r\n  two lines\r\n  </p>\r\n</div>\r\n";

std::string withLf(std::string text)
{
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at))
        text.erase(at, 1);
    return text;
}

/// Everything below dir that a write could change: kind, size, mode and modification time.
using Listing = std::map<std::string, std::tuple<int, std::uintmax_t, mode_t, long long>>;

Listing listingOf(const std::string& dir)
{
    Listing listing;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        struct stat info
        {
        };
        ::lstat(entry.path().c_str(), &info);
        listing[fs::relative(entry.path(), dir).string()] = {static_cast<int>(info.st_mode >> 12),
            static_cast<std::uintmax_t>(info.st_size), info.st_mode & 07777,
            static_cast<long long>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
    }
    return listing;
}

class CliCheckTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        test::writeTinyStyle(m_home.path(), "tiny");
        writeBytes(page(), Page);
        fs::create_directories(m_work.file("site/sub"));
        writeBytes(m_work.file("site/a.htm"), Page);
        writeBytes(m_work.file("site/sub/b.htm"), FormattedPage);
    }

    std::string page() const { return m_work.file("page.htm"); }

    ToolResult run(const std::vector<std::string>& args, const std::string& stdinBytes = {}) const
    {
        return test::runZenkel(args, test::cliCall(stdinBytes, m_work.path()));
    }

    /// zenkel COMMAND --home HOME args...
    ToolResult zenkel(const std::string& command, std::initializer_list<std::string> args,
        const std::string& stdinBytes = {}) const
    {
        std::vector<std::string> all {command, "--home", m_home.path()};
        all.insert(all.end(), args.begin(), args.end());
        return run(all, stdinBytes);
    }

    TempDir m_home;
    TempDir m_work; ///< the tool runs here, so relative paths name files below it
};

TEST_F(CliCheckTest, CheckAndDiffWriteNothingAtAll)
{
    struct Row
    {
        const char* name;
        std::vector<std::string> args;
        std::string stdinBytes;
        int status;
        std::string out; ///< for --check; empty: not compared
    };
    const Row rows[] = {
        {"check one file", {"format", "--check", "page.htm"}, "", 1, "page.htm\n"},
        {"check a list", {"compress", "--check", "page.htm", "site/sub/b.htm"}, "", 1,
            "page.htm\nsite/sub/b.htm\n"},
        {"check a tree", {"format", "--check", "--tree", "site"}, "", 1, "site/a.htm\n"},
        {"check a tree on two threads", {"format", "--check", "--jobs", "2", "--tree", "site/"}, "",
            1, "site/a.htm\n"},
        {"check a formatted file", {"format", "--check", "site/sub/b.htm"}, "", 0, ""},
        {"check with LF line ends", {"format", "--check", "--eol", "lf", "site/sub/b.htm"}, "", 1,
            "site/sub/b.htm\n"},
        {"check standard input", {"format", "--check", "-"}, Page, 1, "-\n"},
        {"check with backups asked for", {"trim", "--check", "--backup", "page.htm"}, "", 1, ""},
        {"diff one file", {"format", "--diff", "page.htm"}, "", 1, ""},
        {"diff a tree on three threads", {"compress", "--diff", "--jobs=3", "--tree", "site"}, "",
            1, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const Listing homeBefore = listingOf(m_home.path());
        const Listing workBefore = listingOf(m_work.path());
        std::vector<std::string> args = row.args;
        args.insert(args.begin() + 1, {"--home", m_home.path()});
        const ToolResult r = run(args, row.stdinBytes);
        EXPECT_EQ(r.status, row.status) << r.err;
        EXPECT_EQ(r.err, "");
        if (!row.out.empty() || row.status == 0) {
            EXPECT_EQ(r.out, row.out);
        }
        EXPECT_EQ(listingOf(m_home.path()), homeBefore);
        EXPECT_EQ(listingOf(m_work.path()), workBefore);
    }
    EXPECT_FALSE(fs::exists(m_home.file("$tmp.htm")));
    EXPECT_FALSE(fs::exists(m_home.file("0tmp_htm.htm")));
}

TEST_F(CliCheckTest, CheckPassesAfterTheRealRun)
{
    EXPECT_EQ(zenkel("format", {"--check", "--tree", "site"}).status, 1);
    const ToolResult real = zenkel("format", {"--tree", "site", "--quiet"});
    ASSERT_EQ(real.status, 0) << real.err;
    const ToolResult after = zenkel("format", {"--check", "--tree", "site"});
    EXPECT_EQ(after.status, 0) << after.err;
    EXPECT_EQ(after.out, "");
    // The backup directory beside the tree is not part of it.
    EXPECT_TRUE(fs::exists(m_work.file("site_BAK00/a.htm")));
}

TEST_F(CliCheckTest, ProblemsExitWithTwoAndTheOtherFilesAreStillChecked)
{
    fs::create_directories(m_work.file("empty"));
    struct Row
    {
        const char* name;
        std::vector<std::string> args;
        std::string outPart;
        std::string errPart;
    };
    const Row rows[] = {
        {"missing file", {"--check", "gone.htm", "page.htm"}, "page.htm\n", "gone.htm"},
        {"wrong type", {"--diff", "notes.txt", "page.htm"}, "+++ b/page.htm", "notes.txt"},
        {"empty tree", {"--check", "--tree", "empty"}, "", "no file of the chosen type"},
        {"no directory", {"--check", "--tree", "page.htm"}, "", "not a directory"},
    };
    writeBytes(m_work.file("notes.txt"), Page);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<std::string> args {"format", "--home", m_home.path()};
        args.insert(args.end(), row.args.begin(), row.args.end());
        const ToolResult r = run(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.out.find(row.outPart), std::string::npos) << r.out;
        EXPECT_NE(r.err.find(row.errPart), std::string::npos) << r.err;
    }
}

TEST_F(CliCheckTest, DiffShowsTheChangedLinesWithContext)
{
    std::string almost = FormattedPage;
    almost.replace(almost.find("Hello "), 6, "Hello   ");
    writeBytes(page(), almost);
    const ToolResult r = zenkel("format", {"--diff", "page.htm"});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.out,
        "--- a/page.htm\n"
        "+++ b/page.htm\n"
        "@@ -1,6 +1,6 @@\n"
        " <div>\n"
        "   <p>\n"
        "-  Hello   <b>world</b>\n"
        "+  Hello <b>world</b>\n"
        "   </p>\n"
        "   <p>\n"
        "   two lines\n");
    EXPECT_EQ(readBytes(page()), almost);

    writeBytes(page(), FormattedPage);
    EXPECT_EQ(zenkel("format", {"--diff", "page.htm"}).out, "");
    EXPECT_EQ(zenkel("format", {"--diff", "--eol", "lf", "page.htm"}).out,
        "Files a/page.htm and b/page.htm differ in line ends only\n");
}

TEST_F(CliCheckTest, TheDocumentationLineIsNotCompared)
{
    const std::string options = m_home.file("styles/tiny/options.ini");
    std::string ini = readBytes(options);
    ini.replace(ini.find("UseWhileFormat=0"), 16, "UseWhileFormat=1");
    writeBytes(options, ini);
    const std::string bom = "\xEF\xBB\xBF";
    const std::string oldDoc = "<!--~ Unknown User, DATE: 2001-01-01, TIME: 01:00 am, STYLE: "
                               "tiny, Zenkel HTML v3.5d  ~-->\r\n";
    std::string almost = FormattedPage;
    almost.replace(almost.find("Hello "), 6, "Hello   ");
    struct Row
    {
        const char* name;
        std::string file;
        const char* option;
        int status;
    };
    const Row rows[] = {
        {"an older documentation line", oldDoc + FormattedPage, "--check", 0},
        {"after a byte order mark", bom + oldDoc + FormattedPage, "--check", 0},
        {"a file without one", FormattedPage, "--check", 1},
        {"a comment of the author's", "<!-- note -->\r\n" + FormattedPage, "--check", 1},
        {"a change below it", oldDoc + almost, "--diff", 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        writeBytes(page(), row.file);
        const ToolResult r = zenkel("format", {row.option, "page.htm"});
        EXPECT_EQ(r.status, row.status) << r.err;
        EXPECT_EQ(r.out.find("-<!--~"), std::string::npos) << r.out;
        EXPECT_EQ(r.out.find("+<!--~"), std::string::npos) << r.out;
    }
    EXPECT_NE(zenkel("format", {"--diff", "page.htm"}).out.find("+  Hello <b>world</b>"),
        std::string::npos);
}

TEST_F(CliCheckTest, LineEndsFollowTheSettingAndTheOption)
{
    struct Row
    {
        const char* name;
        std::string settings; ///< prg.ini; empty: none
        std::vector<std::string> options;
        bool lf;
    };
    const Row rows[] = {
        {"default", "", {}, false},
        {"option lf", "", {"--eol", "lf"}, true},
        {"option crlf", "", {"--eol=crlf"}, false},
        {"setting lf", "[OPTIONS]\r\nLineEnds=lf\r\n", {}, true},
        {"setting in capitals", "[OPTIONS]\r\nLineEnds=LF\r\n", {}, true},
        {"unknown setting", "[OPTIONS]\r\nLineEnds=unix\r\n", {}, false},
        {"option over setting", "[OPTIONS]\r\nLineEnds=lf\r\n", {"--eol", "crlf"}, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        fs::remove(m_home.file("prg.ini"));
        if (!row.settings.empty())
            writeBytes(m_home.file("prg.ini"), row.settings);
        const std::string expected = row.lf ? withLf(FormattedPage) : FormattedPage;

        writeBytes(page(), Page);
        std::vector<std::string> args {"format", "--home", m_home.path()};
        args.insert(args.end(), row.options.begin(), row.options.end());
        args.push_back("page.htm");
        ASSERT_EQ(run(args).status, 0);
        EXPECT_EQ(readBytes(page()), expected);
        EXPECT_EQ(readBytes(m_home.file("$tmp.htm")), expected);
        EXPECT_EQ(readBytes(page() + ".zbak"), Page);

        args.insert(args.end() - 1, "--stdout");
        EXPECT_EQ(run(args).out, expected);
        args.back() = "-";
        EXPECT_EQ(run(args, Page).out, expected);
        if (!row.settings.empty()) {
            EXPECT_EQ(readBytes(m_home.file("prg.ini")), row.settings);
        }
    }
}

TEST_F(CliCheckTest, ListRunWritesTheChosenLineEnds)
{
    const ToolResult r = zenkel("format", {"--eol", "lf", "--jobs", "2", "page.htm", "site/a.htm"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readBytes(page()), withLf(FormattedPage));
    EXPECT_EQ(readBytes(m_work.file("site/a.htm")), withLf(FormattedPage));
}

/// The protocol of a run with dates, times and the tree's name masked.
std::string maskedProtocol(std::string text, const std::string& tree)
{
    text = std::regex_replace(text, std::regex("(--> (Started|Finished): ).*"), "$1TIME");
    for (std::size_t at = text.find(tree); at != std::string::npos; at = text.find(tree, at))
        text.replace(at, tree.size(), "TREE");
    return text;
}

TEST_F(CliCheckTest, TwoJobsGiveTheProtocolAndFilesOfOne)
{
    for (int i = 0; i < 9; ++i) {
        fs::create_directories(m_work.file("one/d" + std::to_string(i % 3)));
        std::string page = "<html><body>";
        for (int row = 0; row < 30 * (i + 1); ++row)
            page += "<div><p>row " + std::to_string(row) + "  <b>x</b></p></div>\n";
        writeBytes(m_work.file("one/d" + std::to_string(i % 3) + "/p" + std::to_string(i) + ".htm"),
            page + "</body></html>");
    }
    writeBytes(m_work.file("one/formatted.htm"), FormattedPage);
    fs::copy(m_work.file("one"), m_work.file("two"), fs::copy_options::recursive);

    for (const char* command : {"format", "compress"}) {
        SCOPED_TRACE(command);
        const ToolResult one = zenkel(command, {"--tree", "one", "--jobs", "1"});
        const ToolResult two = zenkel(command, {"--tree", "two", "--jobs", "2"});
        ASSERT_EQ(one.status, 0) << one.err;
        EXPECT_EQ(two.status, 0) << two.err;
        EXPECT_EQ(two.err, one.err);
        const std::string masked = maskedProtocol(one.out, m_work.file("one"));
        EXPECT_EQ(maskedProtocol(two.out, m_work.file("two")), masked);
        EXPECT_NE(masked.find("Job done..."), std::string::npos);
    }
    const Listing oneFiles = listingOf(m_work.file("one"));
    ASSERT_EQ(oneFiles.size(), listingOf(m_work.file("two")).size());
    for (const auto& [name, info] : oneFiles) {
        SCOPED_TRACE(name);
        if (std::get<0>(info) == (S_IFREG >> 12)) {
            EXPECT_EQ(readBytes(m_work.file("two/" + name)), readBytes(m_work.file("one/" + name)));
        }
    }
    for (const char* backups : {"_BAK00", "_BAK01"}) {
        SCOPED_TRACE(backups);
        const std::string first = m_work.file(std::string("one") + backups);
        const std::string second = m_work.file(std::string("two") + backups);
        EXPECT_EQ(listingOf(second).size(), listingOf(first).size());
        EXPECT_EQ(maskedProtocol(readBytes(second + "/report.txt"), m_work.file("two")),
            maskedProtocol(readBytes(first + "/report.txt"), m_work.file("one")));
    }
}

TEST_F(CliCheckTest, VersionAndHelp)
{
    const ToolResult version = run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string(ProgramTitle) + " (zenkel command-line tool)\n");
    EXPECT_EQ(version.out.rfind("Zenkel HTML v3.5d", 0), 0u);

    const ToolResult help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    const std::string options[]
        = {"--home", "--style", "--stdout", "--backup", "--validate", "--tree", "--type",
            "--no-report", "--quiet", "--check", "--diff", "--jobs", "--eol", "--version"};
    for (const std::string& option : options) {
        SCOPED_TRACE(option);
        // Each option is described and has an example line right below.
        const std::size_t at = help.out.find("\n  " + option);
        ASSERT_NE(at, std::string::npos);
        const std::size_t example = help.out.find("\n                     zenkel ", at);
        ASSERT_NE(example, std::string::npos);
        const std::size_t end = help.out.find('\n', example + 1);
        EXPECT_NE(
            help.out.substr(example, end - example).find(option.substr(2)), std::string::npos);
    }
    EXPECT_NE(help.out.find("\nEXAMPLES\n"), std::string::npos);
}

TEST(CliOptionsTest, NewOptionsAreParsedAndChecked)
{
    struct Row
    {
        const char* name;
        std::vector<std::string> args;
        std::string errorPart; ///< empty: accepted
    };
    const Row rows[] = {
        {"check", {"format", "--check", "a.htm"}, ""},
        {"diff with jobs", {"trim", "--diff", "--jobs", "4", "--tree", "d"}, ""},
        {"jobs at its limit", {"format", "--jobs=256", "a.htm"}, ""},
        {"jobs zero: one per core", {"format", "--jobs", "0", "a.htm"}, ""},
        {"jobs auto", {"format", "--jobs=auto", "a.htm"}, ""},
        {"jobs too many", {"format", "--jobs", "257", "a.htm"}, "--jobs needs a number"},
        {"jobs not a number", {"format", "--jobs", "2x", "a.htm"}, "--jobs needs a number"},
        {"jobs without value", {"format", "a.htm", "--jobs"}, "--jobs needs a value"},
        {"eol lf", {"format", "--eol", "lf", "a.htm"}, ""},
        {"eol cr", {"format", "--eol", "cr", "a.htm"}, "--eol needs crlf or lf"},
        {"eol in capitals", {"format", "--eol=LF", "a.htm"}, "--eol needs crlf or lf"},
        {"check and diff", {"format", "--check", "--diff", "a.htm"}, "exclude each other"},
        {"restore check", {"restore", "--check", "a.htm"}, "restore cannot be combined"},
        {"stdout diff", {"format", "--stdout", "--diff", "a.htm"}, "--stdout cannot be combined"},
        {"styles check", {"styles", "--check"}, "styles takes no option"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const CliParseResult parsed = parseCliOptions(row.args);
        if (row.errorPart.empty()) {
            EXPECT_TRUE(parsed.ok()) << parsed.error;
        } else {
            EXPECT_NE(parsed.error.find(row.errorPart), std::string::npos) << parsed.error;
        }
    }
    const CliOptions o
        = parseCliOptions({"format", "--diff", "--jobs", "3", "--eol=lf", "x"}).options;
    EXPECT_TRUE(o.diff);
    EXPECT_FALSE(o.check);
    EXPECT_EQ(o.jobs, 3);
    EXPECT_EQ(o.eol, "lf");
    EXPECT_TRUE(parseCliOptions({"--version"}).options.version);
    EXPECT_EQ(parseCliOptions({"format", "x"}).options.jobs, 1);
    EXPECT_GE(parseCliOptions({"format", "--jobs", "auto", "x"}).options.jobs, 1);
}

} // namespace
} // namespace zenkel
