/// Faults and misuse met by the zenkel tool, one table row per case: unreadable settings,
/// directories and files, bad standard input, read-only program directories. Each row checks
/// the exit status, the message and that no user file was harmed.
#include "tests/support/BatchTestSupport.h"
#include "tests/support/CliRunner.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include <sys/stat.h>
#include <unistd.h>

namespace zenkel {
namespace {

namespace fs = std::filesystem;
using test::readBytes;
using test::TempDir;
using test::writeBytes;

const std::string Page = "<div><p>Hello   <b>world</b></p></div>";
const std::string FormattedPage = "<div>\r\n  <p>\r\n  Hello <b>world</b>\r\n  </p>\r\n</div>\r\n";

const std::string LongName = std::string(247, 'n') + ".htm";

/// The words that start the tool as an unprivileged user, so that permissions count: none
/// when the tests do not run as root; nothing at all when root has no way to drop them.
std::optional<std::string> unprivilegedPrefix()
{
    if (!test::runningAsRoot())
        return std::string();
    if (::access("/usr/bin/setpriv", X_OK) == 0)
        return std::string("setpriv --reuid=65534 --regid=65534 --clear-groups");
    return std::nullopt;
}

/// A program directory with the tiny style and a trim list, and a work directory with one
/// page; both belong to the user that runs the tool.
class Fault
{
public:
    Fault()
    {
        test::writeTinyStyle(home.path(), "tiny");
        writeBytes(home.file("trim.ini"), "[TRIMTAGS]\r\n<P>=1\r\n");
        work.write("page.htm", Page);
    }

    /// Runs zenkel with $H and $W in the arguments standing for the two directories.
    test::CliResult run(std::vector<std::string> args, const std::string& prefix,
        const test::CliCall& base = {}) const
    {
        for (std::string& arg : args) {
            for (const auto& [token, dir] : {std::pair {"$H", &home}, std::pair {"$W", &work}}) {
                if (const std::size_t at = arg.find(token); at != std::string::npos)
                    arg.replace(at, 2, dir->path());
            }
        }
        test::CliCall call = base;
        call.prefix = prefix;
        return test::runZenkel(args, call);
    }

    /// Gives both directories to the unprivileged user the tool runs as.
    void handOver() const
    {
        if (!test::runningAsRoot())
            return;
        for (const TempDir* dir : {&home, &work}) {
            ::chown(dir->path().c_str(), 65534, 65534);
            for (const auto& item : fs::recursive_directory_iterator(dir->path()))
                ::lchown(item.path().c_str(), 65534, 65534);
        }
    }

    TempDir home;
    TempDir work;
};

struct FaultRow
{
    const char* name;
    std::function<void(Fault&)> arrange; ///< runs before the directories are handed over
    std::vector<std::string> args;
    int status;
    std::string errPart; ///< must be in standard error
    std::function<void(const Fault&, const test::CliResult&)> check = nullptr;
    std::string input = {}; ///< a redirection of standard input; $W is the work directory
};

void unreadable(const std::string& path)
{
    ::chmod(path.c_str(), 0);
}

void pageUntouched(const Fault& f, const test::CliResult&)
{
    EXPECT_EQ(readBytes(f.work.file("page.htm")), Page);
    EXPECT_FALSE(fs::exists(f.work.file("page.htm.zbak")));
}

TEST(CliFaultTest, EveryFaultIsReportedAndHarmsNoFile)
{
    const std::optional<std::string> prefix = unprivilegedPrefix();
    if (!prefix)
        GTEST_SKIP() << "running as root without setpriv: no unprivileged user can be made";
    const FaultRow rows[] = {
        {"unreadable tag.ini", [](Fault& f) { unreadable(f.home.file("styles/tiny/tag.ini")); },
            {"format", "--home", "$H", "$W/page.htm"}, 2, "styles/tiny/tag.ini", pageUntouched},
        {"unreadable options.ini",
            [](Fault& f) { unreadable(f.home.file("styles/tiny/options.ini")); },
            {"compress", "--home", "$H", "--stdout", "$W/page.htm"}, 2, "options.ini"},
        {"unreadable trim.ini", [](Fault& f) { unreadable(f.home.file("trim.ini")); },
            {"trim", "--home", "$H", "--tree", "$W"}, 2, "trim.ini", pageUntouched},
        {"missing trim.ini trims nothing", [](Fault& f) { fs::remove(f.home.file("trim.ini")); },
            {"trim", "--home", "$H", "--stdout", "$W/page.htm"}, 0, "",
            [](const Fault&, const test::CliResult& r) { EXPECT_EQ(r.out, Page + "\r\n"); }},
        {"trim.ini unread by a format", [](Fault& f) { unreadable(f.home.file("trim.ini")); },
            {"format", "--home", "$H", "--stdout", "$W/page.htm"}, 0, "",
            [](const Fault&, const test::CliResult& r) { EXPECT_EQ(r.out, FormattedPage); }},
        {"251-character name", [](Fault& f) { f.work.write(LongName, Page); },
            {"format", "--home", "$H", "--no-backup", "$W/" + LongName}, 0, "",
            [](const Fault& f, const test::CliResult&) {
                EXPECT_EQ(readBytes(f.work.file(LongName)), FormattedPage);
                EXPECT_EQ(test::countEntries(f.work.path()), 2u);
            }},
        {"251-character name, backup name too long", [](Fault& f) { f.work.write(LongName, Page); },
            {"format", "--home", "$H", "$W/" + LongName}, 1,
            LongName + ".zbak\": File name too long",
            [](const Fault& f, const test::CliResult&) {
                EXPECT_EQ(readBytes(f.work.file(LongName)), Page);
            }},
        {"standard input is a directory", nullptr, {"format", "--home", "$H", "-"}, 1,
            "-: cannot read standard input: Is a directory", nullptr, "<$W"},
        {"standard input closed", nullptr, {"format", "--home", "$H", "-"}, 1,
            "-: cannot read standard input: Bad file descriptor", nullptr, "<&-"},
        {"standard input with a file", nullptr, {"format", "--home", "$H", "-", "$W/page.htm"}, 2,
            "'-' (standard input) cannot be combined", pageUntouched},
        {"empty file name", nullptr, {"format", "--home", "$H", ""}, 1,
            "zenkel: empty file name\n"},
        {"unreadable directory in a tree",
            [](Fault& f) {
                f.work.write("locked/inner.htm", Page);
                unreadable(f.work.file("locked"));
            },
            {"format", "--home", "$H", "--tree", "$W"}, 1, "",
            [](const Fault& f, const test::CliResult& r) {
                EXPECT_NE(
                    r.out.find(f.work.file("locked/") + "   -  skipped: cannot read directory"),
                    std::string::npos)
                    << r.out;
                EXPECT_EQ(readBytes(f.work.file("page.htm")), FormattedPage);
            }},
        {"unreadable directory, quiet", [](Fault& f) { unreadable(f.work.makeDir("locked")); },
            {"format", "--home", "$H", "--quiet", "--tree", "$W"}, 1,
            "locked/: skipped: cannot read directory"},
        {"unreadable file with backups",
            [](Fault& f) { unreadable(f.work.write("secret.htm", Page)); },
            {"format", "--home", "$H", "--quiet", "--tree", "$W"}, 1,
            "secret.htm   -  not processed",
            [](const Fault& f, const test::CliResult&) {
                EXPECT_EQ(readBytes(f.work.file("page.htm")), FormattedPage);
            }},
        {"unreadable file without backups",
            [](Fault& f) { unreadable(f.work.write("a-secret.htm", Page)); },
            {"format", "--home", "$H", "--no-backup", "--tree", "$W"}, 1, "",
            [](const Fault& f, const test::CliResult& r) {
                EXPECT_NE(r.out.find("a-secret.htm   -  not processed: Cannot read file"),
                    std::string::npos)
                    << r.out;
                EXPECT_EQ(readBytes(f.work.file("page.htm")), FormattedPage);
            }},
        {"read-only program directory",
            [](Fault& f) {
                for (const char* name :
                    {"report.txt", "0tmp_htm.htm", "0tmp_nftags.htm", "$tmp.htm"})
                    writeBytes(f.home.file(name), "earlier run");
                f.work.write("second.htm", Page);
                ::chmod(f.home.path().c_str(), 0555);
            },
            {"format", "--home", "$H", "$W/page.htm", "$W/second.htm"}, 1,
            "zenkel: Cannot write file \"$H/report.txt\"",
            [](const Fault& f, const test::CliResult& r) {
                EXPECT_NE(r.err.find("warning: Cannot write file \"" + f.home.file("$tmp.htm")),
                    std::string::npos);
                for (const char* name :
                    {"report.txt", "0tmp_htm.htm", "0tmp_nftags.htm", "$tmp.htm"})
                    EXPECT_EQ(readBytes(f.home.file(name)), "") << name;
                EXPECT_EQ(readBytes(f.work.file("second.htm")), FormattedPage);
            }},
        {"scratch files are private",
            [](Fault& f) { ::chmod(f.work.file("page.htm").c_str(), 0600); },
            {"format", "--home", "$H", "$W/page.htm"}, 0, "",
            [](const Fault& f, const test::CliResult&) {
                for (const char* name : {"0tmp_htm.htm", "0tmp_nftags.htm", "$tmp.htm"})
                    EXPECT_EQ(test::modeOf(f.home.file(name)), 0600u) << name;
                EXPECT_EQ(test::modeOf(f.work.file("page.htm")), 0600u);
                EXPECT_EQ(test::modeOf(f.work.file("page.htm.zbak")), 0600u);
            }},
    };
    for (const FaultRow& row : rows) {
        SCOPED_TRACE(row.name);
        Fault fault;
        if (row.arrange)
            row.arrange(fault);
        fault.handOver();
        test::CliCall call;
        call.input = row.input;
        if (const std::size_t at = call.input.find("$W"); at != std::string::npos)
            call.input.replace(at, 2, fault.work.path());
        const test::CliResult r = fault.run(row.args, *prefix, call);
        EXPECT_EQ(r.status, row.status) << r.err;
        std::string errPart = row.errPart;
        if (const std::size_t at = errPart.find("$H"); at != std::string::npos)
            errPart.replace(at, 2, fault.home.path());
        EXPECT_NE(r.err.find(errPart), std::string::npos) << r.err;
        if (row.check)
            row.check(fault, r);
    }
}

} // namespace
} // namespace zenkel
