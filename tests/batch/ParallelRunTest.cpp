/// Tests of list and tree runs with worker threads: everything a run leaves behind must be
/// what the run without workers leaves.
#include "base/SafeFile.h"
#include "batch/BatchRun.h"

#include "batch/FileSelection.h"
#include "batch/Session.h"
#include "engine/Engine.h"
#include "tests/support/BatchTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace zenkel::test {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

/// Says OK to everything and runs with a given number of workers.
class WorkerHost : public RunHost
{
public:
    explicit WorkerHost(int workers)
        : m_workers(workers)
    { }
    bool confirmRun(Session&) override { return true; }
    bool confirmUserBreak() override { return true; }
    void showMessage(const std::string& text) override { messages.push_back(text); }
    void showError(const std::string& text) override { messages.push_back(text); }
    std::string currentDateTime() override { return "DATE TIME"; }
    int workerCount() const override { return m_workers; }

    Lines messages;

private:
    int m_workers;
};

/// Sets the user break whenever the driver lets messages through.
class BreakingHost : public FileJobHost
{
public:
    void handlePendingMessages() override
    {
        if (flag)
            *flag = true;
    }
    bool* flag = nullptr;
};

std::string generatedPage(int n)
{
    std::string page = "<html><body>\n";
    for (int i = 0; i < 40 + n * 7; ++i)
        page += "<div><p>row " + std::to_string(i) + "   of <b>page</b> " + std::to_string(n)
            + "</p></div>\r\n";
    return page + "</body></html>";
}

/// A program directory with a style, a trim list and a site of pages of all sorts.
void fillHome(const std::string& home)
{
    writeTinyStyle(home, "_default");
    writeBytes(home + "/trim.ini", "[TRIMTAGS]\r\n<P>=1\r\n</P>=1\r\n");
    const std::string site = home + "/site";
    fs::create_directories(site + "/sub");
    fs::create_directories(site + "/gen");
    writeBytes(site + "/a.htm", "<div><p>a</p></div>");
    writeBytes(site + "/b.htm", "<div>  <p>b</p>  </div>");
    writeBytes(site + "/empty.htm", "");
    writeBytes(site + "/mixed.htm", "<p>one\r\ntwo\rthree\nfour</p>");
    writeBytes(site + "/sub/c.htm", "<p>c</p>");
    for (int i = 0; i < 12; ++i)
        writeBytes(site + "/gen/f" + std::to_string(10 + i) + ".htm", generatedPage(i));
}

/// Every file below dir with its bytes, paths relative to dir.
std::map<std::string, std::string> filesBelow(const std::string& dir)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), dir).string()] = readBytes(entry.path().string());
    }
    return files;
}

std::string withHomeMasked(std::string text, const std::string& home)
{
    for (std::size_t at = text.find(home); at != std::string::npos; at = text.find(home, at))
        text.replace(at, home.size(), "HOME");
    return text;
}

struct Scenario
{
    const char* name;
    Operation operation;
    bool tree;
    bool backups;
    Lines list; ///< list runs: names below site/
    std::function<void(const std::string& site)> prepare;
};

/// What a run leaves behind, with the program directory written as HOME.
struct RunTrace
{
    RunResult result = RunResult::NothingToDo;
    int processed = 0;
    int skipped = 0;
    Lines protocol;
    Lines messages;
    std::map<std::string, std::string> files;
};

RunTrace runScenario(const Scenario& scenario, int workers)
{
    TempDir home;
    fillHome(home.path());
    const std::string site = home.path() + "/site";
    if (scenario.prepare)
        scenario.prepare(site);
    FileJobHost jobHost;
    Session session(home.path(), jobHost);
    EXPECT_TRUE(session.loadSettings({}, nullptr));
    EXPECT_TRUE(session.ActivateStyle("_default"));
    session.loadTrimList();
    session.settings.DoCreateBackUps = scenario.backups;
    RunState& state = session.runState;
    state.Operation = scenario.operation;
    if (scenario.tree) {
        state.SelectionMode = SelectionMode::Tree;
        state.sourceDirectory = site + "/";
        state.fileList = SearchTree(site, 0, [](const std::string&) { return true; });
    } else {
        state.SelectionMode = SelectionMode::FileList;
        for (const std::string& name : scenario.list)
            state.fileList.push_back(site + "/" + name);
    }
    WorkerHost host(workers);
    const RunOutcome outcome = runBatch(session, host);

    RunTrace trace;
    trace.result = outcome.result;
    trace.processed = outcome.processed;
    trace.skipped = outcome.skipped;
    for (const std::string& line : session.protocol.lines())
        trace.protocol.push_back(withHomeMasked(line, home.path()));
    for (const std::string& message : host.messages)
        trace.messages.push_back(withHomeMasked(message, home.path()));
    for (auto& [path, bytes] : filesBelow(home.path()))
        trace.files[path] = withHomeMasked(bytes, home.path());
    return trace;
}

const Lines GeneratedPages = {"gen/f10.htm", "gen/f11.htm", "gen/f12.htm", "gen/f13.htm",
    "gen/f14.htm", "gen/f15.htm", "gen/f16.htm", "gen/f17.htm", "gen/f18.htm"};

const Scenario Scenarios[] = {
    {"format list with backups", Operation::Format, false, true,
        {"a.htm", "b.htm", "empty.htm", "mixed.htm", "gen/f10.htm", "gen/f11.htm"}, {}},
    {"a file listed twice is processed twice", Operation::Format, false, true,
        {"a.htm", "b.htm", "a.htm", "mixed.htm", "a.htm"}, {}},
    {"vanished file and failed backup", Operation::Compress, false, true,
        {"gone.htm", "a.htm", "b.htm", "sub/c.htm"},
        [](const std::string& site) { fs::create_directories(site + "/b.htm.zbak"); }},
    {"unwritable file ends the run", Operation::Format, false, false, GeneratedPages,
        [](const std::string& site) { ::chmod((site + "/gen/f13.htm").c_str(), 0444); }},
    {"a directory behind a listed name is skipped", Operation::Compress, false, false,
        GeneratedPages,
        [](const std::string& site) {
            fs::remove(site + "/gen/f12.htm");
            fs::create_directories(site + "/gen/f12.htm");
        }},
    {"compress tree with backups", Operation::Compress, true, true, {}, {}},
    {"trim tree with backups", Operation::Trim, true, true, {}, {}},
    {"format tree without backups", Operation::Format, true, false, {}, {}},
    {"restore list", Operation::Restore, false, true, {"a.htm", "b.htm", "sub/c.htm"},
        [](const std::string& site) { writeBytes(site + "/b.htm.zbak", "old b"); }},
};

TEST(ParallelRunTest, WorkersLeaveWhatTheSequentialRunLeaves)
{
    for (const Scenario& scenario : Scenarios) {
        SCOPED_TRACE(scenario.name);
        const RunTrace sequential = runScenario(scenario, 1);
        ASSERT_GT(sequential.protocol.size(), 3u);
        for (int workers : {2, 3}) {
            SCOPED_TRACE(workers);
            const RunTrace parallel = runScenario(scenario, workers);
            EXPECT_EQ(parallel.result, sequential.result);
            EXPECT_EQ(parallel.processed, sequential.processed);
            EXPECT_EQ(parallel.skipped, sequential.skipped);
            EXPECT_EQ(parallel.protocol, sequential.protocol);
            EXPECT_EQ(parallel.messages, sequential.messages);
            EXPECT_EQ(parallel.files, sequential.files);
        }
    }
}

TEST(ParallelRunTest, ScenariosReallyReachTheirCases)
{
    // Guards the table above: the failures it names do happen.
    EXPECT_EQ(runScenario(Scenarios[3], 1).result, RunResult::Aborted);
    EXPECT_EQ(runScenario(Scenarios[4], 1).skipped, 1);
    const RunTrace twice = runScenario(Scenarios[1], 1);
    EXPECT_EQ(twice.processed, 5);
    EXPECT_EQ(runScenario(Scenarios[2], 1).skipped, 2);
}

TEST(ParallelRunTest, UserBreakStopsAfterTheCurrentFile)
{
    TempDir home;
    fillHome(home.path());
    const std::string site = home.path() + "/site";
    const std::map<std::string, std::string> before = filesBelow(site);
    BreakingHost breaking;
    Session session(home.path(), breaking);
    ASSERT_TRUE(session.ActivateStyle("_default"));
    breaking.flag = &session.runState.userBreak;
    session.runState.SelectionMode = SelectionMode::FileList;
    session.runState.Operation = Operation::Format;
    for (const std::string& name : GeneratedPages)
        session.runState.fileList.push_back(site + "/" + name);
    WorkerHost host(2);
    EXPECT_EQ(runBatch(session, host).result, RunResult::UserBreak);
    EXPECT_NE(
        readBytes(home.file("report.txt")).find("==> aborted: USER BREAK ..."), std::string::npos);

    // The files before the break are done, the one at the break is backed up but not
    // written, and nothing after it is touched.
    std::size_t done = 0;
    for (const std::string& line : session.protocol.lines())
        done += line.rfind("==> Formatted: ", 0) == 0;
    ASSERT_LT(done, GeneratedPages.size());
    for (std::size_t i = 0; i < GeneratedPages.size(); ++i) {
        SCOPED_TRACE(GeneratedPages[i]);
        const std::string path = site + "/" + GeneratedPages[i];
        const bool changed = readBytes(path) != before.at(GeneratedPages[i]);
        EXPECT_EQ(changed, i < done);
        EXPECT_EQ(fs::exists(path + ".zbak"), i <= done);
    }
}

TEST(ParallelRunTest, PoolGivesEachFileItsOwnResultInOrder)
{
    TempDir home;
    fillHome(home.path());
    Engine model;
    model.style().options.TagCase = 2;
    Lines files;
    for (int round = 0; round < 3; ++round) {
        for (const std::string& name : GeneratedPages)
            files.push_back(home.file("site/" + name));
    }
    files.push_back(home.file("site/gone.htm"));
    files.push_back(home.file("site/sub"));
    OutputPoolSettings settings;
    settings.lineEnd = "\n";
    settings.keepSourceBytes = true;
    settings.diagnosticFiles = true;
    OutputPool pool(files, Operation::Compress, model.style(), {}, 2, settings);
    for (std::size_t i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(files[i]);
        if (i % 5 == 4) {
            pool.release(i); // never taken: the slot still goes on
            continue;
        }
        const PrecomputedFile& result = pool.take(i);
        if (i + 2 >= files.size()) {
            EXPECT_FALSE(result.computed);
            EXPECT_NE(result.error.find(files[i]), std::string::npos);
        } else {
            ASSERT_TRUE(result.computed);
            EXPECT_EQ(result.sourceBytes, readBytes(files[i]));
            EXPECT_EQ(result.stamp, fileStampOf(files[i]));
            Engine alone;
            alone.style() = model.style();
            alone.setSourceText(SourceTextFromBytes(result.sourceBytes), files[i]);
            alone.runOperation(Operation::Compress);
            EXPECT_EQ(result.resultBytes, joinLines(alone.outputList(), "\n"));
            EXPECT_EQ(result.tokenFileBytes, alone.tokenListFileBytes());
            EXPECT_EQ(result.blockFileBytes, alone.blockStoreFileBytes());
        }
        pool.release(i);
    }
}

TEST(ParallelRunTest, DiagnosticBytesAreWhatTheEngineWrites)
{
    TempDir home;
    Engine engine;
    engine.style().options.TagCase = 2;
    engine.setSourceText(SourceTextFromBytes("<p>a <!-- note --> b</p>\n<pre>x  y</pre>\n"
                                             "<script>var a;</script>"));
    engine.runOperation(Operation::Format);
    ASSERT_TRUE(engine.writeDiagnosticFiles(home.path()));
    EXPECT_EQ(engine.tokenListFileBytes(), readBytes(home.file(TokenListFileName)));
    EXPECT_EQ(engine.blockStoreFileBytes(), readBytes(home.file(BlockStoreFileName)));
    EXPECT_NE(engine.blockStoreFileBytes(), "");
}

TEST(ParallelRunTest, PoolStoppedEarlyJoinsItsWorkers)
{
    TempDir home;
    fillHome(home.path());
    Lines files;
    for (int round = 0; round < 20; ++round)
        files.push_back(home.file("site/gen/f21.htm"));
    Engine model;
    OutputPool pool(files, Operation::Format, model.style(), {}, 3);
    EXPECT_TRUE(pool.take(0).computed);
    // Leaving the scope with files still to come must neither hang nor crash.
}

} // namespace
} // namespace zenkel::test
