/// Tests of the file selection: protocol head, type filters, tree search, list lines and the
/// selection results.
#include "batch/FileSelection.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include <sys/stat.h>

namespace zenkel {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

bool anyFile(const std::string&)
{
    return true;
}

/// Paths relative to the tree, for readable expectations.
std::vector<std::string> relative(const TempDir& tree, const std::vector<std::string>& paths)
{
    std::vector<std::string> result;
    for (const std::string& path : paths)
        result.push_back(path.substr(tree.path().size() + 1));
    return result;
}

TEST(FileSelectionTest, ResetProtocolStartsAFreshSelection)
{
    RunState state;
    state.currentFile = "/w/a.htm";
    state.fileList = {"/w/a.htm", "/w/b.htm"};
    state.SelectionMode = SelectionMode::FileList;
    EXPECT_EQ(ResetProtocol(state), (std::vector<std::string> {"", "", "Files to process:", ""}));
    EXPECT_EQ(state.currentFile, "");
    EXPECT_TRUE(state.fileList.empty());
    EXPECT_EQ(state.SelectionMode, SelectionMode::FileList);
}

TEST(FileSelectionTest, ProtocolTextSplitsAtEachLineBreak)
{
    const struct
    {
        const char* text;
        std::vector<std::string> lines;
    } cases[] = {
        {"", {""}},
        {"Job done...", {"Job done..."}},
        {"\r\nJob done...", {"", "Job done..."}},
        {"\r\n********************************\r\n", {"", "********************************", ""}},
        {"a\nb\rc", {"a\nb\rc"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(splitProtocolText(c.text), c.lines);
    }
}

TEST(FileSelectionTest, MatchesTypeFilterByExtensionPrefix)
{
    // Expected match for the types 0..5 and one type out of range.
    const struct
    {
        const char* name;
        bool expected[7];
    } cases[] = {
        {"a.htm", {true, true, false, false, false, false, false}},
        {"a.HTML", {true, true, false, false, false, false, false}},
        {"a.asp", {false, true, true, false, false, false, false}},
        {"a.aspx", {false, true, true, false, false, false, false}},
        {"a.shtml", {false, true, false, true, false, false, false}},
        {"a.dht", {false, true, false, false, true, false, false}},
        {"a.Cfm", {false, true, false, false, false, true, false}},
        {"a.txt", {false, false, false, false, false, false, false}},
        {"htm", {false, false, false, false, false, false, false}},
        {"a.ht", {false, false, false, false, false, false, false}},
        {"a.htm.zbak", {false, false, false, false, false, false, false}},
        {"a.zbak.htm", {true, true, false, false, false, false, false}},
        {"dir.htm/readme", {false, false, false, false, false, false, false}},
    };
    for (const auto& c : cases) {
        for (int type = 0; type < 7; ++type) {
            SCOPED_TRACE(std::string(c.name) + " type " + std::to_string(type));
            EXPECT_EQ(MatchesTypeFilter(c.name, type), c.expected[type]);
        }
    }
    EXPECT_FALSE(MatchesTypeFilter("a.htm", -1));
}

/// A small site with files of every kind, hidden entries and skipped directories.
void makeSite(TempDir& tree)
{
    for (const char* name :
        {"a.htm", "b.html", "c.asp", "d.txt", "bad.htm", ".hidden.htm", ".git/e.htm", "a-sub/f.htm",
            "a-sub/deeper/g.shtml", "_VTI_CNF/h.htm", "x_vti_cnf_y/i.htm", "z/j.htm"})
        tree.write(std::string("site/") + name);
}

std::vector<std::string> searchSite(const TempDir& tree, int type)
{
    const auto valid = [](const std::string& path) { return !path.ends_with("/bad.htm"); };
    return relative(tree, SearchTree(tree.file("site/"), type, valid));
}

const std::vector<std::string> SiteHtmFiles
    = {"site/a-sub/f.htm", "site/a.htm", "site/b.html", "site/z/j.htm"};

TEST(FileSelectionTest, SearchTreeFindsFilesDepthFirstWithTheTypeFilter)
{
    TempDir tree;
    makeSite(tree);
    const struct
    {
        int type;
        std::vector<std::string> expected;
    } cases[] = {
        {0, SiteHtmFiles},
        {1,
            {"site/a-sub/deeper/g.shtml", "site/a-sub/f.htm", "site/a.htm", "site/b.html",
                "site/c.asp", "site/z/j.htm"}},
        {2, {"site/c.asp"}},
        {3, {"site/a-sub/deeper/g.shtml"}},
        {5, {}},
        {6, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("type " + std::to_string(c.type));
        EXPECT_EQ(searchSite(tree, c.type), c.expected);
    }
}

TEST(FileSelectionTest, SearchTreeWithoutFinalSlashGivesTheSamePaths)
{
    TempDir tree;
    makeSite(tree);
    EXPECT_EQ(
        SearchTree(tree.file("site"), 0, anyFile), SearchTree(tree.file("site/"), 0, anyFile));
    EXPECT_EQ(SearchTree(tree.file("site"), 0, anyFile).front(), tree.file("site/a-sub/f.htm"));
}

TEST(FileSelectionTest, SearchTreeFinishesOnLinkLoopsAndTakesOnlyRegularFiles)
{
    TempDir tree;
    makeSite(tree);
    fs::create_directory_symlink("..", tree.file("site/a-sub/up"));
    fs::create_directory_symlink(tree.file("site"), tree.file("site/z/self"));
    fs::create_directory_symlink(tree.file("site/z/loop2"), tree.file("site/z/loop1"));
    fs::create_directory_symlink(tree.file("site/z/loop1"), tree.file("site/z/loop2"));
    fs::create_symlink(tree.file("site/a.htm"), tree.file("site/link.htm"));
    // Validating a pipe would block on reading it.
    ASSERT_EQ(::mkfifo(tree.file("site/pipe.htm").c_str(), 0600), 0);
    EXPECT_EQ(searchSite(tree, 0), SiteHtmFiles);
}

TEST(FileSelectionTest, UnreadableDirectoryIsPassedOver)
{
    if (test::runningAsRoot())
        GTEST_SKIP() << "root reads every directory";
    TempDir tree;
    makeSite(tree);
    tree.write("site/locked/k.htm");
    fs::permissions(tree.file("site/locked"), fs::perms::none);
    EXPECT_EQ(searchSite(tree, 0), SiteHtmFiles);
}

TEST(FileSelectionTest, SearchTreeOfAMissingDirectoryFindsNothing)
{
    TempDir tree;
    EXPECT_TRUE(SearchTree(tree.file("nowhere/"), 0, anyFile).empty());
    EXPECT_TRUE(SearchTree("", 0, anyFile).empty());
}

TEST(FileSelectionTest, ListLinesGiveWholeThousands)
{
    TempDir tree;
    const struct
    {
        std::size_t size;
        const char* expected;
    } cases[] = {{0, "0K"}, {999, "0K"}, {1000, "1K"}, {25600, "25K"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        const std::string path = tree.write("f.htm", std::string(c.size, 'x'));
        EXPECT_EQ(treeListLine(path), "-->  " + path + "\t" + c.expected);
        EXPECT_EQ(fileListLine(path, ".zbak"), "--> " + path + "\t" + c.expected);
    }
    EXPECT_EQ(treeListLine(tree.file("gone.htm")), "-->  " + tree.file("gone.htm") + "\t0K");
}

TEST(FileSelectionTest, OnlyListLinesNoteTheBackup)
{
    TempDir tree;
    const std::string path = tree.write("Page.htm", std::string(2500, 'x'));
    tree.write("Page.htm.zbak");
    EXPECT_EQ(
        fileListLine(path, ".zbak"), "--> " + path + "\t2K  (Backup found: " + path + ".zbak)");
    EXPECT_EQ(fileListLine(path, ".bak"), "--> " + path + "\t2K");
    EXPECT_EQ(treeListLine(path), "-->  " + path + "\t2K");
}

TEST(FileSelectionTest, FileListSelectionKeepsTheValidFiles)
{
    TempDir tree;
    tree.write("web/b.htm", std::string(1500, 'b'));
    tree.write("web/a.htm");
    tree.write("web/a.htm.zbak");
    tree.write("web/bad.htm");
    const auto valid = [](const std::string& path) { return !path.ends_with("bad.htm"); };

    RunState state;
    const SelectionOutcome outcome
        = selectFileList(state, tree.file("web"), {"b.htm", "bad.htm", "a.htm"}, ".zbak", valid);
    const std::string dir = tree.file("web/");
    EXPECT_EQ(outcome.result, SelectionMode::FileList);
    EXPECT_EQ(outcome.status, "2 files selected");
    EXPECT_EQ(state.sourceDirectory, dir);
    EXPECT_EQ(state.fileList, (std::vector<std::string> {dir + "b.htm", dir + "a.htm"}));
    EXPECT_EQ(outcome.protocolLines,
        (std::vector<std::string> {
            "--> " + dir + "b.htm\t1K",
            "--> " + dir + "a.htm\t0K  (Backup found: " + dir + "a.htm.zbak)",
            "",
            "Now check your options.",
            "Then press <Format>, <Compress>, <Trim> or <Restore> to process.",
        }));
}

TEST(FileSelectionTest, SelectionWithoutValidFilesGivesNothing)
{
    TempDir tree;
    tree.write("web/a.txt");
    RunState state;
    state.SelectionMode = SelectionMode::Tree;
    state.fileList = {"/old.htm"};
    const SelectionOutcome list = selectFileList(state, tree.file("web/"), {"a.txt", "b.txt"},
        ".zbak", [](const std::string&) { return false; });
    EXPECT_EQ(list.result, SelectionMode::None);
    EXPECT_EQ(list.status, "No valid HTML-Files found ...");
    EXPECT_TRUE(list.protocolLines.empty());
    EXPECT_TRUE(state.fileList.empty());
    EXPECT_EQ(state.SelectionMode, SelectionMode::Tree);

    state.sourceDirectory = "/earlier/";
    const SelectionOutcome treeOutcome = finishTreeSelection(state, tree.file("web"), {});
    EXPECT_EQ(treeOutcome.result, SelectionMode::None);
    EXPECT_EQ(treeOutcome.status, "No valid HTML-Files found ...");
    EXPECT_TRUE(treeOutcome.protocolLines.empty());
    EXPECT_EQ(state.sourceDirectory, "/earlier/");
}

TEST(FileSelectionTest, TreeSelectionListsTheKeptFiles)
{
    TempDir tree;
    const std::string a = tree.write("site/a.htm", std::string(3001, 'a'));
    tree.write("site/a.htm.zbak");
    const std::string b = tree.write("site/sub/b.htm");
    RunState state;
    EXPECT_EQ(foundFilesCaption(2, tree.file("site")),
        "2 valid HTML files found in: " + tree.file("site") + "/...");

    const SelectionOutcome outcome = finishTreeSelection(state, tree.file("site"), {b, a});
    EXPECT_EQ(outcome.result, SelectionMode::Tree);
    EXPECT_EQ(outcome.status, "2 files selected");
    EXPECT_EQ(state.sourceDirectory, tree.file("site/"));
    EXPECT_EQ(state.fileList, (std::vector<std::string> {b, a}));
    EXPECT_EQ(outcome.protocolLines,
        (std::vector<std::string> {
            "-->  " + b + "\t0K",
            "-->  " + a + "\t3K",
            "",
            "Now check your options.",
            "Then press <Format>, <Compress>, <Trim> or <Restore> to process.",
        }));
}

TEST(FileSelectionTest, TreeMustNotBeTheRoot)
{
    EXPECT_FALSE(isChoosableTreeDirectory("/"));
    EXPECT_FALSE(isChoosableTreeDirectory(""));
    EXPECT_TRUE(isChoosableTreeDirectory("/w"));
}

} // namespace
} // namespace zenkel
