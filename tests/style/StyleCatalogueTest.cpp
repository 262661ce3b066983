/// Tests of the style catalogue: listing, activation with fallback, new styles, previews.
#include "style/StyleCatalogue.h"

#include "style/StyleFiles.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace zenkel {
namespace {

using test::readBytes;
using test::TempDir;
using test::writeBytes;
namespace fs = std::filesystem;

class RecordingHost : public StyleHost
{
public:
    void fatalError(const std::string& message) override { fatal.push_back(message); }
    void setCaption(const std::string& text) override { caption = text; }
    std::vector<std::string> fatal;
    std::string caption;
};

/// A program directory with a styles directory below it.
class StyleCatalogueTest : public ::testing::Test
{
protected:
    void SetUp() override { fs::create_directories(stylesDir()); }

    std::string stylesDir() const { return m_home.path() + "/styles/"; }

    void makeStyle(const std::string& name, const std::string& options = "LineSize=80\r\n",
        bool withOptions = true, bool withTags = true)
    {
        const std::string dir = stylesDir() + name;
        fs::create_directories(dir);
        if (withOptions)
            writeBytes(dir + "/options.ini", "[OPTIONS]\r\n" + options);
        if (withTags)
            writeBytes(dir + "/tag.ini", "[<P>]\r\nTagOpen=<P>\r\nTagClose=</P>\r\n");
    }

    TempDir m_home;
    RecordingHost m_host;
};

TEST_F(StyleCatalogueTest, ListsUsableStylesSortedWithoutRegardToCase)
{
    makeStyle("Zeta");
    makeStyle("alpha");
    makeStyle("Beta");
    std::vector<std::string> list {"stale"};
    EXPECT_EQ(ListStyles(stylesDir(), list, m_host), 3);
    EXPECT_EQ(list, (std::vector<std::string> {"alpha", "Beta", "Zeta"}));
    EXPECT_TRUE(m_host.fatal.empty());
}

TEST_F(StyleCatalogueTest, LeavesOutIncompleteDirectoriesAndPlainFiles)
{
    makeStyle("complete");
    makeStyle("onlyoptions", "", true, false);
    makeStyle("onlytags", "", false, true);
    writeBytes(stylesDir() + "plainfile", "[OPTIONS]\r\n");
    // options.ini must be a file, not a directory of that name.
    makeStyle("fake", "", false, true);
    fs::create_directories(stylesDir() + "fake/options.ini");
    std::vector<std::string> list;
    EXPECT_EQ(ListStyles(stylesDir(), list, m_host), 1);
    EXPECT_EQ(list, (std::vector<std::string> {"complete"}));
}

TEST_F(StyleCatalogueTest, NoUsableStyleIsFatal)
{
    const std::string expected = "No valid Formatting-Style found!\r\nPlease reinstall ZENKEL "
                                 "HTML.\r\nProgram terminated...";
    struct Row
    {
        const char* name;
        std::string dir;
    };
    makeStyle("onlyoptions", "", true, false);
    const Row rows[] = {{"no usable style", stylesDir()},
        {"styles directory missing", m_home.path() + "/nothing/"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        RecordingHost host;
        std::vector<std::string> list;
        EXPECT_EQ(ListStyles(row.dir, list, host), 0);
        EXPECT_EQ(host.fatal, std::vector<std::string> {expected});
    }
}

TEST_F(StyleCatalogueTest, ActivatesTheNamedStyleFromItsFiles)
{
    makeStyle("a", "LineSize=33\r\nTagCase=2\r\n");
    makeStyle("b", "LineSize=44\r\n");
    StyleCatalogue catalogue(m_home.path(), m_host);
    Style style;
    ASSERT_TRUE(catalogue.ActivateStyle("b", style));
    EXPECT_EQ(style.options.StyleName, "b");
    EXPECT_EQ(style.options.LineSize, 44);
    EXPECT_EQ(style.tags.tagCount, 1);
    EXPECT_EQ(style.tags[1].TagOpen, "<P>");
    EXPECT_EQ(catalogue.activeStyleDirectory(), stylesDir() + "b/");
    EXPECT_EQ(catalogue.styleList(), (std::vector<std::string> {"a", "b"}));
    EXPECT_EQ(m_host.caption, "Zenkel HTML v3.5d  - Style: b");
}

TEST_F(StyleCatalogueTest, UnusableNameFallsBackToFirstListedStyle)
{
    makeStyle("b", "LineSize=44\r\n");
    makeStyle("a", "LineSize=33\r\n");
    makeStyle("Mine");
    makeStyle("half", "", true, false);
    fs::create_directories(m_home.path() + "/outside");
    makeStyle("../outside"); // a usable style outside the styles directory
    const char* names[] = {"gone", "half", "_default", "mine", "../outside", "", ".."};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        StyleCatalogue catalogue(m_home.path(), m_host);
        Style style;
        ASSERT_TRUE(catalogue.ActivateStyle(name, style));
        EXPECT_EQ(style.options.StyleName, "a");
        EXPECT_EQ(style.options.LineSize, 33);
        EXPECT_EQ(m_host.caption, "Zenkel HTML v3.5d  - Style: a");
        EXPECT_TRUE(m_host.fatal.empty());
    }
}

TEST_F(StyleCatalogueTest, WithoutStylesNothingIsLoaded)
{
    StyleCatalogue catalogue(m_home.path(), m_host);
    Style style;
    style.options.StyleName = "before";
    style.options.LineSize = 12;
    EXPECT_FALSE(catalogue.ActivateStyle("_default", style));
    EXPECT_EQ(style.options.StyleName, "before");
    EXPECT_EQ(style.options.LineSize, 12);
    EXPECT_EQ(m_host.fatal.size(), 1u);
    EXPECT_TRUE(m_host.caption.empty());
}

TEST_F(StyleCatalogueTest, DocumentationSwitchesCarryOverWhenTheKeyIsMissing)
{
    makeStyle("with", "UseWhileFormat=1\r\n");
    makeStyle("without", "LineSize=70\r\n");
    StyleCatalogue catalogue(m_home.path(), m_host);
    Style style;
    ASSERT_TRUE(catalogue.ActivateStyle("with", style));
    ASSERT_TRUE(catalogue.ActivateStyle("without", style));
    EXPECT_TRUE(style.options.UseWhileFormat);
    EXPECT_EQ(style.options.LineSize, 70);
}

TEST_F(StyleCatalogueTest, CreateStyleWritesAndActivatesTheNewStyle)
{
    makeStyle("a", "LineSize=33\r\n");
    StyleCatalogue catalogue(m_home.path(), m_host);
    Style style;
    ASSERT_TRUE(catalogue.ActivateStyle("a", style));
    style.options.LineSize = 55;
    std::string error;
    ASSERT_TRUE(catalogue.CreateStyle("Fresh", style, &error)) << error;
    EXPECT_EQ(style.options.StyleName, "Fresh");
    EXPECT_EQ(style.options.LineSize, 55);
    EXPECT_EQ(catalogue.activeStyleDirectory(), stylesDir() + "Fresh/");
    EXPECT_EQ(catalogue.styleList(), (std::vector<std::string> {"a", "Fresh"}));
    EXPECT_NE(
        readBytes(stylesDir() + "Fresh/options.ini").find("StyleName=Fresh"), std::string::npos);
    EXPECT_EQ(m_host.caption, "Zenkel HTML v3.5d  - Style: Fresh");
}

TEST_F(StyleCatalogueTest, FailedCreateLeavesTheActiveStyle)
{
    makeStyle("a");
    writeBytes(stylesDir() + "blocked", "a plain file where the directory would go");
    StyleCatalogue catalogue(m_home.path(), m_host);
    Style style;
    ASSERT_TRUE(catalogue.ActivateStyle("a", style));
    for (const char* name : {"blocked", "two words", "dot.ted", "sub/dir", ""}) {
        SCOPED_TRACE(name);
        std::string error;
        EXPECT_FALSE(catalogue.CreateStyle(name, style, &error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(style.options.StyleName, "a");
        EXPECT_EQ(catalogue.activeStyleDirectory(), stylesDir() + "a/");
    }
    EXPECT_FALSE(fs::exists(stylesDir() + "sub"));
}

TEST_F(StyleCatalogueTest, PreviewFilesAreTheHtmFilesSorted)
{
    const std::string preview = m_home.path() + "/preview/";
    fs::create_directories(preview + "dir.htm");
    for (const char* name : {"b.htm", "A.HTM", "c.html", "d.txt", ".htm"})
        writeBytes(preview + name, "x");
    writeBytes(m_home.path() + "/home.htm", "x");

    PreviewFileList list = ListPreviewFiles(m_home.path());
    EXPECT_EQ(list.directory, preview);
    EXPECT_EQ(list.names, (std::vector<std::string> {"A.HTM", "b.htm"}));

    fs::remove_all(preview);
    list = ListPreviewFiles(m_home.path());
    EXPECT_EQ(list.directory, m_home.path() + "/");
    EXPECT_EQ(list.names, std::vector<std::string> {"home.htm"});
}

TEST(NormalizeDirectoryTest, EndsInExactlyOneSlash)
{
    const std::string cwd = fs::current_path().string();
    struct Row
    {
        std::string given;
        std::string expected;
    };
    const Row rows[] = {{"/a/B", "/a/B/"}, {"/a/B///", "/a/B/"}, {"/", "/"}, {"rel", cwd + "/rel/"},
        {"./rel/", cwd + "/rel/"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.given);
        EXPECT_EQ(NormalizeDirectory(row.given), row.expected);
    }
}

} // namespace
} // namespace zenkel
