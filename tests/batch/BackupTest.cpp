/// Tests of the backups: extension cleaning, numbered tree backup directories, backup and
/// restore of files, and the confirmation texts.
#include "batch/Backup.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <vector>

namespace zenkel {
namespace {

namespace fs = std::filesystem;
using test::readBytes;
using test::TempDir;

using test::countEntries;

/// A plain copy that keeps the modification time, standing in for the program's copy.
bool copyKeepingDate(const std::string& source, const std::string& destination, std::string*)
{
    std::error_code ec;
    fs::copy_file(source, destination, fs::copy_options::overwrite_existing, ec);
    if (!ec)
        fs::last_write_time(destination, fs::last_write_time(source, ec), ec);
    return !ec;
}

bool failingCopy(const std::string&, const std::string&, std::string* error)
{
    *error = "disk on fire";
    return false;
}

// ---- NormalizeBackupExt ------------------------------------------------------------------

TEST(BackupTest, NormalizeBackupExtCleansTheExtension)
{
    const struct
    {
        const char* input;
        const char* expected;
    } cases[] = {
        {"", ".zbak"},
        {".", ".zbak"},
        {"   ", ".zbak"},
        {" . ", ".zbak"},
        {"zip", ".zip"},
        {".zbak", ".zbak"},
        {" old bak ", ".old_bak"},
        {"bak.old", ".bak_old"},
        {"..x", "._x"},
        {".tar.gz", ".tar_gz"},
        {"a/b", ".a_b"},
        {"/", "._"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("input \"") + c.input + "\"");
        EXPECT_EQ(NormalizeBackupExt(c.input), c.expected);
    }
}

// ---- backup directories of tree runs -----------------------------------------------------

TEST(BackupTest, NextBackupDirectoryTakesTheLowestFreeNumber)
{
    const struct
    {
        const char* name;
        std::vector<std::string> existing; ///< directories beside the tree "site"
        std::vector<std::string> files; ///< plain files beside the tree
        const char* expected; ///< suffix after "site"; "" = none free
    } cases[] = {
        {"nothing there yet", {}, {}, "_BAK00/"},
        {"two taken", {"site_BAK00", "site_BAK01"}, {}, "_BAK02/"},
        {"a gap is used", {"site_BAK01"}, {}, "_BAK00/"},
        {"a plain file takes the name", {}, {"site_BAK00"}, "_BAK01/"},
        {"other case is another name", {"SITE_BAK00", "site_bak00"}, {}, "_BAK00/"},
        {"other trees do not count", {"site2_BAK00", "sit_BAK00"}, {}, "_BAK00/"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir tree;
        tree.makeDir("site");
        for (const std::string& dir : c.existing)
            tree.makeDir(dir);
        for (const std::string& file : c.files)
            tree.write(file);
        const std::string expected = tree.file("site") + c.expected;
        EXPECT_EQ(NextBackupDirectory(tree.file("site/")), expected);
        EXPECT_EQ(NextBackupDirectory(tree.file("site")), expected);
    }
}

TEST(BackupTest, NextBackupDirectoryCountsADanglingLinkAsTaken)
{
    TempDir tree;
    fs::create_directory_symlink(tree.file("gone"), tree.file("site_BAK00"));
    EXPECT_EQ(NextBackupDirectory(tree.file("site/")), tree.file("site_BAK01/"));
}

TEST(BackupTest, NextBackupDirectoryHasNoneForTheRootOrNoTree)
{
    EXPECT_EQ(NextBackupDirectory("/"), "");
    EXPECT_EQ(NextBackupDirectory("//"), "");
    EXPECT_EQ(NextBackupDirectory(""), "");
}

TEST(BackupTest, TreeRunsGetConsecutiveBackupDirectories)
{
    TempDir tree;
    tree.write("site/a.htm");
    RunState state;
    state.sourceDirectory = tree.file("site/");

    std::string error;
    ASSERT_TRUE(CreateBackupDirectory(state, &error)) << error;
    EXPECT_EQ(state.backupDirectory, tree.file("site_BAK00/"));
    EXPECT_TRUE(fs::is_directory(tree.file("site_BAK00")));

    ASSERT_TRUE(CreateBackupDirectory(state, &error)) << error;
    EXPECT_EQ(state.backupDirectory, tree.file("site_BAK01/"));
    EXPECT_TRUE(fs::is_directory(tree.file("site_BAK00")));
    EXPECT_EQ(countEntries(tree.path()), 3u);
}

TEST(BackupTest, HundredTakenBackupDirectoriesRefuseTheRun)
{
    TempDir tree;
    tree.write("site/a.htm", "unchanged");
    for (int n = 0; n < 100; ++n)
        tree.makeDir("site_BAK" + std::string(n < 10 ? "0" : "") + std::to_string(n));
    RunState state;
    state.sourceDirectory = tree.file("site/");
    state.backupDirectory = tree.file("site_BAK07/"); // left from an earlier run

    EXPECT_EQ(NextBackupDirectory(state.sourceDirectory), "");
    std::string error;
    EXPECT_FALSE(CreateBackupDirectory(state, &error));
    EXPECT_EQ(error, "Too many existing BACKUP-Directories");
    EXPECT_EQ(state.backupDirectory, "");
    EXPECT_EQ(countEntries(tree.path()), 101u);
    EXPECT_EQ(countEntries(tree.file("site_BAK07")), 0u);
    EXPECT_EQ(readBytes(tree.file("site/a.htm")), "unchanged");
}

TEST(BackupTest, CreateBackupDirectoryRefusesTheRoot)
{
    RunState state;
    state.sourceDirectory = "/";
    std::string error;
    EXPECT_FALSE(CreateBackupDirectory(state, &error));
    EXPECT_NE(error, "");
    EXPECT_EQ(state.backupDirectory, "");
}

TEST(BackupTest, TreeBackupPathKeepsTheRelativePath)
{
    const struct
    {
        const char* name;
        const char* file;
        const char* source;
        const char* backup;
        const char* expected;
    } cases[] = {
        {"top level", "/w/Site/A.htm", "/w/Site/", "/w/Site_BAK00/", "/w/Site_BAK00/A.htm"},
        {"sub-directory", "/w/Site/img/x/A.HTM", "/w/Site/", "/w/Site_BAK03/",
            "/w/Site_BAK03/img/x/A.HTM"},
        {"directories without final slash", "/w/s/a.htm", "/w/s", "/w/s_BAK00", "/w/s_BAK00/a.htm"},
        {"sibling tree with a longer name", "/w/site2/a.htm", "/w/site/", "/w/site_BAK00/", ""},
        {"case differs", "/w/SITE/a.htm", "/w/site/", "/w/site_BAK00/", ""},
        {"the tree itself", "/w/site/", "/w/site/", "/w/site_BAK00/", ""},
        {"a step up", "/w/site/../other/a.htm", "/w/site/", "/w/site_BAK00/", ""},
        {"no backup directory", "/w/site/a.htm", "/w/site/", "", ""},
        {"no source directory", "/w/site/a.htm", "", "/w/site_BAK00/", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TreeBackupPath(c.file, c.source, c.backup), c.expected);
    }
}

// ---- backing up and restoring files ------------------------------------------------------

TEST(BackupTest, TreeBackupRecreatesTheSubDirectories)
{
    TempDir tree;
    const std::string file = tree.write("site/img/deep/a.htm", "deep file");
    RunState state;
    state.SelectionMode = SelectionMode::Tree;
    state.sourceDirectory = tree.file("site/");
    ASSERT_TRUE(CreateBackupDirectory(state));

    const BackupResult result = makeFileBackup(state, file, ".zbak", copyKeepingDate);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.backupFile, tree.file("site_BAK00/img/deep/a.htm"));
    EXPECT_EQ(state.backupFile, result.backupFile);
    EXPECT_EQ(readBytes(result.backupFile), "deep file");
    EXPECT_FALSE(fs::exists(file + ".zbak"));
}

TEST(BackupTest, TreeBackupOutsideTheBackupDirectoryIsRefused)
{
    TempDir tree;
    const std::string file = tree.write("other/a.htm");
    RunState state;
    state.SelectionMode = SelectionMode::Tree;
    state.sourceDirectory = tree.file("site/");
    state.backupDirectory = tree.file("site_BAK00/");
    const BackupResult result = makeFileBackup(state, file, ".zbak", copyKeepingDate);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find(file), std::string::npos);
    EXPECT_FALSE(fs::exists(tree.file("site_BAK00")));
}

TEST(BackupTest, SiblingBackupReplacesTheOlderOne)
{
    TempDir tree;
    const std::string file = tree.write("a.htm", "new content");
    tree.write("a.htm.bak", "old backup");
    RunState state;
    state.SelectionMode = SelectionMode::FileList;
    const BackupResult result = makeFileBackup(state, file, ".bak", copyKeepingDate);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.backupFile, file + ".bak");
    EXPECT_EQ(readBytes(file + ".bak"), "new content");
}

TEST(BackupTest, EmptyBackupExtensionNeverCopiesAFileOntoItself)
{
    TempDir tree;
    const std::string file = tree.write("a.htm", "precious");
    RunState state;
    state.SelectionMode = SelectionMode::SingleFile;
    // A copy onto itself truncates the destination first, i.e. the file.
    const auto truncatingCopy
        = [](const std::string&, const std::string& destination, std::string*) {
              std::ofstream(destination, std::ios::trunc);
              return true;
          };
    EXPECT_FALSE(makeFileBackup(state, file, "", truncatingCopy).ok);
    EXPECT_EQ(restoreFromBackup(file, "", truncatingCopy), RestoreOutcome::Failed);
    EXPECT_EQ(readBytes(file), "precious");
}

TEST(BackupTest, FailedBackupCopyIsReported)
{
    TempDir tree;
    const std::string file = tree.write("a.htm");
    RunState state;
    state.SelectionMode = SelectionMode::FileList;
    const BackupResult result = makeFileBackup(state, file, ".zbak", failingCopy);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find(file), std::string::npos);
    EXPECT_NE(result.error.find("disk on fire"), std::string::npos);
}

TEST(BackupTest, BackupExistsLooksAtTheSelection)
{
    TempDir tree;
    const std::string a = tree.write("a.htm");
    const std::string b = tree.write("b.htm");
    tree.write("b.htm.zbak");
    tree.makeDir("c.htm.zbak"); // a directory is no backup
    const std::string c = tree.write("c.htm");

    const struct
    {
        const char* name;
        SelectionMode mode;
        std::string currentFile;
        std::vector<std::string> files;
        bool expected;
    } cases[] = {
        {"single file with backup", SelectionMode::SingleFile, b, {}, true},
        {"single file without backup", SelectionMode::SingleFile, a, {}, false},
        {"single file, directory named like a backup", SelectionMode::SingleFile, c, {}, false},
        {"list, one of three has one", SelectionMode::FileList, "", {a, c, b}, true},
        {"list, none has one", SelectionMode::FileList, "", {a, c}, false},
        {"tree is never restored", SelectionMode::Tree, b, {b}, false},
        {"nothing selected", SelectionMode::None, b, {b}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RunState state;
        state.SelectionMode = c.mode;
        state.currentFile = c.currentFile;
        state.fileList = c.files;
        state.backupFile = "untouched";
        EXPECT_EQ(BackupExists(state, ".zbak"), c.expected);
        EXPECT_EQ(state.backupFile,
            c.mode == SelectionMode::SingleFile ? c.currentFile + ".zbak"
                                                : std::string("untouched"));
    }
}

TEST(BackupTest, RestoreCopiesTheSiblingBackupBack)
{
    TempDir tree;
    const std::string withBackup = tree.write("a.htm", "formatted");
    tree.write("a.htm.zbak", "original");
    const std::string withoutBackup = tree.write("b.htm", "formatted b");
    const std::string vanished = tree.file("gone.htm");
    tree.write("gone.htm.zbak", "backup of a vanished file");

    EXPECT_EQ(restoreFromBackup(withBackup, ".zbak", copyKeepingDate), RestoreOutcome::Restored);
    EXPECT_EQ(readBytes(withBackup), "original");
    EXPECT_EQ(readBytes(withBackup + ".zbak"), "original");

    EXPECT_EQ(restoreFromBackup(withoutBackup, ".zbak", copyKeepingDate), RestoreOutcome::Skipped);
    EXPECT_EQ(readBytes(withoutBackup), "formatted b");
    EXPECT_FALSE(fs::exists(withoutBackup + ".zbak"));

    EXPECT_EQ(restoreFromBackup(vanished, ".zbak", copyKeepingDate), RestoreOutcome::Skipped);
    EXPECT_FALSE(fs::exists(vanished));
}

TEST(BackupTest, FailedRestoreNamesTheFile)
{
    TempDir tree;
    const std::string file = tree.write("a.htm");
    tree.write("a.htm.zbak");
    std::string error;
    EXPECT_EQ(restoreFromBackup(file, ".zbak", failingCopy, &error), RestoreOutcome::Failed);
    EXPECT_NE(error.find(file), std::string::npos);
}

// ---- confirmation texts ------------------------------------------------------------------

TEST(BackupTest, MakeMsgSingleFileWithBackupReadsLineByLine)
{
    MsgFacts facts;
    facts.currentFile = "/web/A.HTM";
    facts.backupExt = ".zbak";
    facts.backupExists = true;
    const ConfirmationMsg msg = MakeMsg(Operation::Format, SelectionMode::SingleFile, true, facts);
    EXPECT_EQ(msg.caption, "Format");
    EXPECT_EQ(msg.text,
        "\r\nThe current file will be formatted now.\r\n\r\n"
        "Note: following files will be overwritten:\r\n"
        "SOURCE:  \"/web/A.HTM\"\r\n"
        "BACKUP:  \"/web/A.HTM.zbak\"");
    EXPECT_TRUE(msg.backupBoxEnabled);
}

struct OperationWords
{
    Operation operation;
    const char* caption;
    const char* verb;
};

const OperationWords AllOperations[] = {
    {Operation::Format, "Format", "formatted"},
    {Operation::Compress, "Compress", "compressed"},
    {Operation::Restore, "Restore", "processed"},
    {Operation::Trim, "Trim", "trimmed"},
};

TEST(BackupTest, MakeMsgSingleFileForEachOperationAndBackupSetting)
{
    MsgFacts facts;
    facts.currentFile = "/web/Sub Dir/a.htm";
    facts.backupExt = ".old_";
    for (const OperationWords& op : AllOperations) {
        const std::string head = std::string("\r\nThe current file will be ") + op.verb
            + " now.\r\n\r\nNote: following files will be overwritten:\r\n"
              "SOURCE:  \"/web/Sub Dir/a.htm\"\r\n";
        const struct
        {
            const char* name;
            bool backups;
            bool exists;
            std::string tail;
        } cases[] = {
            {"backup there", true, true, "BACKUP:  \"/web/Sub Dir/a.htm.old_\""},
            {"first backup", true, false,
                "\r\nBackup will be saved first time:\r\n\"/web/Sub Dir/a.htm.old_\""},
            {"backups off", false, true,
                "\r\n ******** WARNING: *********\r\n  No Backup File will be created!"},
            {"backups off, none there", false, false,
                "\r\n ******** WARNING: *********\r\n  No Backup File will be created!"},
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(op.caption) + ", " + c.name);
            facts.backupExists = c.exists;
            const ConfirmationMsg msg
                = MakeMsg(op.operation, SelectionMode::SingleFile, c.backups, facts);
            EXPECT_EQ(msg.caption, op.caption);
            EXPECT_EQ(msg.text, head + c.tail);
            EXPECT_EQ(msg.backupBoxEnabled, op.operation != Operation::Restore);
        }
    }
}

TEST(BackupTest, MakeMsgListAndTreeForEachOperationAndBackupSetting)
{
    MsgFacts facts;
    facts.fileCount = 12;
    facts.nextBackupDirectory = "/web/site_BAK02/";
    const std::string warning = "******  WARNING: ******\r\nNo Backup Files will be created!";
    const std::string listNote
        = "Backup Files will be created.\r\n\r\nExisting Backups will be overwritten.";
    const std::string restoreNote = "HTML-Files without a corresponding\r\nBackup File will be "
                                    "skipped.\r\n\r\nNote: Restore doesn't generate new Backup "
                                    "Files!";
    for (const OperationWords& op : AllOperations) {
        const std::string head = std::string("\r\n12 files will be ") + op.verb + " now.\r\n\r\n";
        const bool restore = op.operation == Operation::Restore;
        const struct
        {
            const char* name;
            SelectionMode mode;
            bool backups;
            std::string tail;
        } cases[] = {
            {"list, backups on", SelectionMode::FileList, true, restore ? restoreNote : listNote},
            {"list, backups off", SelectionMode::FileList, false, restore ? restoreNote : warning},
            {"tree, backups on", SelectionMode::Tree, true,
                "Backup enabled.\r\nSource Files will be copied to:\r\n\"/web/site_BAK02/\""},
            {"tree, backups off", SelectionMode::Tree, false, warning},
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(op.caption) + ", " + c.name);
            const ConfirmationMsg msg = MakeMsg(op.operation, c.mode, c.backups, facts);
            EXPECT_EQ(msg.caption, op.caption);
            EXPECT_EQ(msg.text, head + c.tail);
            EXPECT_EQ(msg.backupBoxEnabled, !restore);
        }
    }
}

TEST(BackupTest, TreeConfirmationNamesTheNextDirectoryBeforeItExists)
{
    TempDir tree;
    tree.write("site/a.htm");
    tree.makeDir("site_BAK00");
    tree.makeDir("site_BAK01");
    RunState state;
    state.SelectionMode = SelectionMode::Tree;
    state.sourceDirectory = tree.file("site/");
    state.fileList = {tree.file("site/a.htm")};

    const ConfirmationMsg msg
        = MakeMsg(Operation::Compress, SelectionMode::Tree, true, gatherMsgFacts(state, ".zbak"));
    EXPECT_EQ(msg.text,
        "\r\n1 files will be compressed now.\r\n\r\nBackup enabled.\r\n"
        "Source Files will be copied to:\r\n\""
            + tree.file("site_BAK02/") + "\"");
    EXPECT_FALSE(fs::exists(tree.file("site_BAK02")));
}

} // namespace
} // namespace zenkel
