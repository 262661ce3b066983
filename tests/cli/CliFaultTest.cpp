/// Faults and misuse met by the zenkel tool, one table row per case: unreadable settings,
/// directories and files, bad standard input, read-only program directories. Each row checks
/// the exit status, the message and that no user file was harmed.
#include "tests/support/BatchTestSupport.h"
#include "tests/support/CliRunner.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
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
        for (const TempDir* dir : {&home, &outer}) {
            ::chown(dir->path().c_str(), 65534, 65534);
            for (const auto& item : fs::recursive_directory_iterator(dir->path()))
                ::lchown(item.path().c_str(), 65534, 65534);
        }
    }

    TempDir outer; ///< holds the work directory and the backup directories made beside it
    TempDir home;
    TempDir work {outer.path()};
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
        {"tree backup directories as open as the tree",
            [](Fault& f) {
                f.work.write("sub/inner.htm", Page);
                ::chmod(f.work.file("sub").c_str(), 0750);
            },
            {"format", "--home", "$H", "--quiet", "--tree", "$W"}, 0, "",
            [](const Fault& f, const test::CliResult&) {
                EXPECT_EQ(test::modeOf(f.work.path() + "_BAK00"), 0700u);
                EXPECT_EQ(test::modeOf(f.work.path() + "_BAK00/sub"), 0750u);
                EXPECT_EQ(readBytes(f.work.path() + "_BAK00/sub/inner.htm"), Page);
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

// ---- nothing lost ---------------------------------------------------------------------------

/// Standard output of the tool goes to a full device.
const std::string IntoFullDevice = "sh -c 'exec \"$0\" \"$@\" >/dev/full'";

/// A fault case that may hold the program directory's run lock, as another run would.
struct LossCase : Fault
{
    LossCase() = default;
    LossCase(const LossCase&) = delete;
    LossCase& operator=(const LossCase&) = delete;
    ~LossCase()
    {
        if (lockFd >= 0)
            ::close(lockFd);
    }
    void holdRunLock()
    {
        lockFd = ::open(home.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ASSERT_EQ(::flock(lockFd, LOCK_EX | LOCK_NB), 0);
    }
    void emptyBackupExt() const { writeBytes(home.file("prg.ini"), "[OPTIONS]\r\nBackupExt=\r\n"); }
    /// page.htm of mode 0640, owned by another user when the tests run as root, and a link
    /// to it.
    void linkedPage(const std::string& bytes) const
    {
        writeBytes(work.file("page.htm"), bytes);
        ::chmod(work.file("page.htm").c_str(), 0640);
        if (test::runningAsRoot()) {
            EXPECT_EQ(::chown(work.file("page.htm").c_str(), 65534, 65534), 0);
        }
        fs::create_symlink("page.htm", work.file("link.htm"));
    }
    int lockFd = -1;
};

struct LossRow
{
    const char* name;
    std::function<void(LossCase&)> arrange;
    std::vector<std::string> args;
    int status;
    std::string errPart;
    std::function<void(const LossCase&, const test::CliResult&)> check = nullptr;
    std::string prefix = {};
    std::string stdinBytes = {};
};

std::size_t occurrences(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

void formattedOnceWithOriginalBackup(const LossCase& c, const test::CliResult& r)
{
    EXPECT_EQ(readBytes(c.work.file("page.htm")), FormattedPage);
    EXPECT_EQ(readBytes(c.work.file("page.htm.zbak")), Page);
    EXPECT_EQ(occurrences(r.out, "page.htm\t"), 1u) << r.out; // listed once
    EXPECT_EQ(occurrences(r.out, "==> Formatted"), 1u) << r.out;
}

/// The link is still a link; its target has the expected bytes, its mode and its owner.
std::function<void(const LossCase&, const test::CliResult&)> linkTargetHolds(std::string bytes)
{
    return [bytes](const LossCase& c, const test::CliResult&) {
        EXPECT_TRUE(fs::is_symlink(c.work.file("link.htm")));
        EXPECT_EQ(readBytes(c.work.file("page.htm")), bytes);
        EXPECT_EQ(test::modeOf(c.work.file("page.htm")), 0640u);
        struct stat info
        {
        };
        ASSERT_EQ(::stat(c.work.file("page.htm").c_str(), &info), 0);
        if (test::runningAsRoot()) {
            EXPECT_EQ(info.st_uid, 65534u);
        }
    };
}

void noRunDone(const LossCase& c, const test::CliResult& r)
{
    pageUntouched(c, r);
    EXPECT_FALSE(fs::exists(c.work.path() + "_BAK00"));
    EXPECT_NE(r.err.find("process " + std::to_string(::getpid())), std::string::npos) << r.err;
}

/// The tool with 30 MB of address space: a page of some megabytes no longer fits. Under
/// AddressSanitizer, whose shadow memory needs far more, such rows are left out.
const std::string WithLittleMemory = "sh -c 'ulimit -v 30000; exec \"$0\" \"$@\"'";
#ifdef ZENKEL_SANITIZED
constexpr bool MemoryCanBeLimited = false;
#else
constexpr bool MemoryCanBeLimited = true;
#endif

/// A page of 8 MB.
std::string bigPageBytes()
{
    std::string big;
    while (big.size() < 8'000'000)
        big += Page + "\n";
    return big;
}

void bigPageUntouched(const LossCase& c, const test::CliResult&)
{
    EXPECT_TRUE(readBytes(c.work.file("big.htm")) == bigPageBytes());
    EXPECT_FALSE(fs::exists(c.work.file("big.htm.zbak")));
}

TEST(CliFaultTest, NoUserDataIsLost)
{
    const std::vector<std::string> formatPage = {"format", "--home", "$H", "$W/page.htm"};
    const LossRow rows[] = {
        {"empty backup extension, format", [](LossCase& c) { c.emptyBackupExt(); }, formatPage, 1,
            "BackupExt is empty", pageUntouched},
        {"empty backup extension, restore", [](LossCase& c) { c.emptyBackupExt(); },
            {"restore", "--home", "$H", "$W/page.htm"}, 1, "is not restored", pageUntouched},
        {"empty backup extension, list restore",
            [](LossCase& c) {
                c.emptyBackupExt();
                c.work.write("b.htm", Page);
            },
            {"restore", "--home", "$H", "$W/page.htm", "$W/b.htm"}, 1, "is not restored",
            [](const LossCase& c, const test::CliResult& r) {
                pageUntouched(c, r);
                EXPECT_EQ(r.out.find("RESTORED"), std::string::npos);
            }},
        {"--stdout into a full device", nullptr,
            {"format", "--home", "$H", "--stdout", "$W/page.htm"}, 1,
            "cannot write standard output: No space left on device", pageUntouched, IntoFullDevice},
        {"standard input into a full device", nullptr, {"format", "--home", "$H", "-"}, 1,
            "cannot write standard output", nullptr, IntoFullDevice, Page},
        {"styles into a full device", nullptr, {"styles", "--home", "$H"}, 1,
            "cannot write standard output", nullptr, IntoFullDevice},
        {"--help into a full device", nullptr, {"--help"}, 1, "cannot write standard output",
            nullptr, IntoFullDevice},
        {"format through a link", [](LossCase& c) { c.linkedPage(Page); },
            {"format", "--home", "$H", "$W/link.htm"}, 0, "", linkTargetHolds(FormattedPage)},
        {"restore through a link",
            [](LossCase& c) {
                c.linkedPage(FormattedPage);
                writeBytes(c.work.file("link.htm.zbak"), Page);
            },
            {"restore", "--home", "$H", "$W/link.htm"}, 0, "", linkTargetHolds(Page)},
        {"the same file twice", nullptr, {"format", "--home", "$H", "$W/page.htm", "$W/./page.htm"},
            0, "", formattedOnceWithOriginalBackup},
        {"the same file three ways, two jobs", [](LossCase& c) { c.work.makeDir("sub"); },
            {"format", "--home", "$H", "--jobs", "2", "$W/page.htm", "$W/sub/../page.htm",
                "$W//page.htm"},
            0, "", formattedOnceWithOriginalBackup},
        {"another run holds the lock", [](LossCase& c) { c.holdRunLock(); },
            {"format", "--home", "$H", "--tree", "$W"}, 2, "Another run is in progress", noRunDone},
        {"another run holds the lock, single file", [](LossCase& c) { c.holdRunLock(); },
            formatPage, 2, "Another run is in progress", noRunDone},
        {"--check needs no lock", [](LossCase& c) { c.holdRunLock(); },
            {"format", "--home", "$H", "--check", "$W/page.htm"}, 1, "", pageUntouched},
        {"a page too large for the memory left",
            [](LossCase& c) { c.work.write("big.htm", bigPageBytes()); },
            {"format", "--home", "$H", "--no-backup", "$W/big.htm"}, 1,
            "Not enough memory to process", bigPageUntouched, WithLittleMemory},
        {"a page too large for the memory left, list run goes on",
            [](LossCase& c) { c.work.write("big.htm", bigPageBytes()); },
            {"format", "--home", "$H", "--no-backup", "$W/big.htm", "$W/page.htm"}, 1, "",
            [](const LossCase& c, const test::CliResult& r) {
                bigPageUntouched(c, r);
                EXPECT_NE(
                    r.out.find("big.htm   -  not processed: Not enough memory"), std::string::npos)
                    << r.out;
                EXPECT_EQ(readBytes(c.work.file("page.htm")), FormattedPage);
            },
            WithLittleMemory},
        {"--stdout needs no lock", [](LossCase& c) { c.holdRunLock(); },
            {"format", "--home", "$H", "--stdout", "$W/page.htm"}, 0, "",
            [](const LossCase&, const test::CliResult& r) { EXPECT_EQ(r.out, FormattedPage); }},
    };
    for (const LossRow& row : rows) {
        if (row.prefix == WithLittleMemory && !MemoryCanBeLimited)
            continue;
        SCOPED_TRACE(row.name);
        LossCase c;
        if (row.arrange)
            row.arrange(c);
        test::CliCall call;
        call.stdinBytes = row.stdinBytes;
        const test::CliResult r = c.run(row.args, row.prefix, call);
        EXPECT_EQ(r.status, row.status) << r.err;
        EXPECT_NE(r.err.find(row.errPart), std::string::npos) << r.err;
        if (row.check)
            row.check(c, r);
    }
}

/// Starts the tool with standard output and error into one file; returns its process id.
pid_t startZenkel(const std::vector<std::string>& args, const std::string& outFile)
{
    std::vector<char*> argv {const_cast<char*>(ZENKEL_CLI)};
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int out = ::open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(out, 1);
        ::dup2(out, 2);
        ::execv(ZENKEL_CLI, argv.data());
        ::_exit(127);
    }
    return pid;
}

/// Every entry below dir whose name begins with the temporary sibling prefix.
std::size_t temporarySiblingsBelow(const std::string& dir)
{
    std::size_t count = 0;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        count += entry.path().filename().string().starts_with(".zktmp") ? 1 : 0;
    return count;
}

TEST(CliFaultTest, SignalIsAUserBreak)
{
    // A page large enough that a run is still busy when the signal comes.
    std::string big = "<html><body>";
    for (int i = 0; i < 60000; ++i)
        big += "<table><tr><td>cell " + std::to_string(i) + "</td></tr></table><p>a   b</p>";
    big += "</body></html>";
    struct Row
    {
        const char* name;
        int signal;
        bool tree;
    };
    const Row rows[] = {
        {"SIGTERM in a tree run", SIGTERM, true}, {"SIGINT in a single-file run", SIGINT, false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Fault f;
        const std::string site = f.work.makeDir("site");
        const int files = row.tree ? 40 : 1;
        for (int i = 0; i < files; ++i)
            writeBytes(site + "/p" + std::to_string(i) + ".htm", big);
        const std::string first = site + "/p0.htm";
        const std::string out = f.work.file("out.txt");
        const pid_t pid = startZenkel(row.tree
                ? std::vector<std::string> {"format", "--home", f.home.path(), "--tree", site}
                : std::vector<std::string> {"format", "--home", f.home.path(), first},
            out);
        // The first backup shows that the run has begun and its signal handlers are set; a
        // single file is processed while its backup is flushed, so there the backup's
        // temporary sibling shows it.
        const std::string firstBackup
            = row.tree ? f.work.file("site_BAK00/p0.htm") : first + ".zbak";
        const auto begun = [&] {
            return fs::exists(firstBackup) || (!row.tree && temporarySiblingsBelow(site) > 0);
        };
        int raw = 0;
        bool ended = false;
        for (int waited = 0; waited < 20000 && !begun() && !ended; ++waited) {
            ended = ::waitpid(pid, &raw, WNOHANG) == pid;
            ::usleep(1000);
        }
        if (!ended) {
            ::kill(pid, row.signal);
            ASSERT_EQ(::waitpid(pid, &raw, 0), pid);
        }
        const std::string output = readBytes(out);
        if (WIFEXITED(raw) && WEXITSTATUS(raw) == 0)
            GTEST_SKIP() << "the run ended before the signal came";
        ASSERT_TRUE(WIFEXITED(raw)) << output;
        EXPECT_EQ(WEXITSTATUS(raw), 128 + row.signal) << output;
        EXPECT_EQ(temporarySiblingsBelow(f.work.path()), 0u);
        if (!row.tree) {
            EXPECT_EQ(readBytes(first), big); // left as it was, and not reported as done
            EXPECT_NE(output.find("interrupted, file left as it was"), std::string::npos);
            EXPECT_EQ(output.find("Formatted and saved"), std::string::npos);
            continue;
        }
        EXPECT_NE(output.find("==> aborted: USER BREAK ..."), std::string::npos) << output;
        const std::string report = readBytes(f.work.file("site_BAK00/report.txt"));
        EXPECT_NE(report.find("USER BREAK"), std::string::npos);
        // Every file is either as it was or processed, with its original in the backup; the
        // report names exactly the processed ones.
        for (int i = 0; i < files; ++i) {
            const std::string name = "p" + std::to_string(i) + ".htm";
            const bool processed = readBytes(site + "/" + name) != big;
            EXPECT_EQ(report.find("Formatted: " + site + "/" + name + " ") != std::string::npos,
                processed)
                << name;
            if (processed) {
                EXPECT_EQ(readBytes(f.work.file("site_BAK00/" + name)), big) << name;
            }
        }
    }
}

} // namespace
} // namespace zenkel
