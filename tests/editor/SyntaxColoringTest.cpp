/// Whole-text colouring: coloured load, repaint, colour modes, streamed text, coloured paste,
/// and files that keep their bytes through load and save.
#include "EditorTestSupport.h"

#include "editor/FileText.h"
#include "editor/SyntaxColoring.h"
#include "text/ColorClasses.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>

#include <gtest/gtest.h>

namespace zenkel {
namespace {

using test::classLetters;
using test::readBytes;
using test::setColoredText;
using test::writeBytes;

const std::string SmallPage = "<html>\r\n<!-- note -->\r\n<a href=\"x.htm\">x</a>\r\n</html>\r\n";

/// The class letters of UTF-8 text, one per character.
std::string expectedLetters(const std::string& utf8)
{
    std::string classes;
    FillColorClasses(utf8, classes);
    std::string letters;
    for (std::size_t i = 0; i < utf8.size(); ++i)
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80)
            letters += test::classLetter(static_cast<ColorClass>(classes[i]));
    return letters;
}

class SyntaxColoringTest : public testing::Test
{
protected:
    QString path(const char* name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
    RichEdit m_editor;
};

TEST_F(SyntaxColoringTest, LoadColoursTheFileAndPutsTheCaretAtTheStart)
{
    writeBytes(path("page.htm"), SmallPage);
    m_editor.setModifiedFlag(true);
    ASSERT_TRUE(LoadREFromFile(m_editor, path("page.htm")));
    EXPECT_EQ(m_editor.plainText().toStdString(), SmallPage);
    EXPECT_EQ(classLetters(m_editor), expectedLetters(SmallPage));
    EXPECT_EQ(m_editor.caretPosition(), 0);
    EXPECT_TRUE(m_editor.modifiedFlag()); // left to the caller
    EXPECT_EQ(m_editor.defaultColor(), m_editor.colorSet().TextCol);
}

TEST_F(SyntaxColoringTest, LoadWithoutColouringShowsPlainText)
{
    writeBytes(path("page.htm"), SmallPage);
    m_editor.setDoColorTags(false);
    ASSERT_TRUE(LoadREFromFile(m_editor, path("page.htm")));
    EXPECT_EQ(classLetters(m_editor), std::string(SmallPage.size(), 'x'));

    m_editor.setDoColorTags(true);
    ASSERT_TRUE(LoadREFromFile(m_editor, path("page.htm"), nullptr, true)); // unattended
    EXPECT_EQ(classLetters(m_editor), std::string(SmallPage.size(), 'x'));
}

TEST_F(SyntaxColoringTest, UnreadableFileLeavesTheEditorAsItWas)
{
    setColoredText(m_editor, "<p>kept</p>");
    QString error;
    EXPECT_FALSE(LoadREFromFile(m_editor, path("missing.htm"), &error));
    EXPECT_TRUE(error.contains("missing.htm"));
    EXPECT_FALSE(LoadREFromFile(m_editor, m_dir.path(), &error)); // a directory
    EXPECT_EQ(m_editor.plainText(), "<p>kept</p>");
    EXPECT_TRUE(m_editor.isEnabled());
    EXPECT_TRUE(m_editor.updatesEnabled());
}

TEST_F(SyntaxColoringTest, FilesKeepEveryByteThroughLoadAndSave)
{
    struct Case
    {
        const char* name;
        std::string bytes;
        FileEncoding kind;
    };
    const Case cases[] = {
        {"UTF-8",
            "<p title=\"Gr\xC3\xB6\xC3\x9F"
            "e\">\xE2\x82\xAC 5 \xF0\x9F\x98\x80</p>\r\n",
            FileEncoding::Utf8},
        {"UTF-8 with mark", "\xEF\xBB\xBF<p>\xC3\xA4</p>\r\n<p>x</p>", FileEncoding::Utf8},
        {"Windows-1252",
            "<p title=\"Gr\xF6\xDF"
            "e\">\x80 \x93q\x94 \x81\x8D\x8F\x90\x9D</p>\r\n",
            FileEncoding::Windows1252},
        {"ASCII with NUL", std::string("<p>a\0b</p>\r\n", 12), FileEncoding::Windows1252},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeBytes(path("in.htm"), c.bytes);
        ASSERT_TRUE(LoadREFromFile(m_editor, path("in.htm")));
        EXPECT_EQ(m_editor.encoding().kind, c.kind);
        ASSERT_TRUE(SaveREToFile(m_editor, path("out.htm")));
        EXPECT_EQ(readBytes(path("out.htm")), c.bytes);
    }
}

TEST_F(SyntaxColoringTest, SaveWritesLineEndsAsCrLf)
{
    writeBytes(path("lf.htm"), "<p>\n\xE4\n</p>");
    ASSERT_TRUE(LoadREFromFile(m_editor, path("lf.htm")));
    ASSERT_TRUE(SaveREToFile(m_editor, path("lf.htm")));
    EXPECT_EQ(readBytes(path("lf.htm")), "<p>\r\n\xE4\r\n</p>");
}

TEST_F(SyntaxColoringTest, TypedCharacterOutsideWindows1252BecomesAReference)
{
    writeBytes(path("w.htm"), "<p>\xE4</p>");
    ASSERT_TRUE(LoadREFromFile(m_editor, path("w.htm")));
    m_editor.setCaretPosition(4);
    m_editor.replaceSelectionPlain(QString::fromUtf8("\xC5\x8D\xE2\x82\xAC"));
    ASSERT_TRUE(SaveREToFile(m_editor, path("w.htm")));
    EXPECT_EQ(readBytes(path("w.htm")), "<p>\xE4&#333;\x80</p>");
}

TEST_F(SyntaxColoringTest, FailedSaveKeepsTheOldFile)
{
    writeBytes(path("keep.htm"), "old");
    setColoredText(m_editor, "new");
    QString error;
    EXPECT_FALSE(SaveREToFile(m_editor, path("no/such/dir/x.htm"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(readBytes(path("keep.htm")), "old");
}

TEST_F(SyntaxColoringTest, LargeFileOpensWhole)
{
    std::string big;
    while (big.size() < 3000000)
        big += SmallPage;
    writeBytes(path("big.htm"), big);
    ASSERT_TRUE(LoadREFromFile(m_editor, path("big.htm")));
    EXPECT_EQ(m_editor.textLength(), static_cast<int>(big.size()));
    EXPECT_EQ(m_editor.colorClassOfChar(static_cast<int>(big.size()) - 3), ColorClass::Tag);
}

TEST_F(SyntaxColoringTest, RepaintFixesColoursAndKeepsCaretViewAndFlag)
{
    m_editor.resize(400, 200);
    m_editor.show();
    std::string text;
    for (int i = 0; i < 200; ++i)
        text += "<p class=\"c\">line " + std::to_string(i) + "</p>\r\n";
    m_editor.setDoColorTags(false);
    m_editor.setPlainUtf8(text);
    m_editor.setDoColorTags(true);
    m_editor.setCaretPosition(3000);
    m_editor.setFirstVisibleLine(90);
    m_editor.setModifiedFlag(false);
    RepaintRE(m_editor);
    EXPECT_EQ(classLetters(m_editor), expectedLetters(text));
    EXPECT_EQ(m_editor.caretPosition(), 3000);
    EXPECT_EQ(m_editor.firstVisibleLine(), 90);
    EXPECT_FALSE(m_editor.modifiedFlag());
}

TEST_F(SyntaxColoringTest, RepaintDoesNothingWithColouringOff)
{
    m_editor.setDoColorTags(false);
    m_editor.setPlainUtf8("<b>x</b>");
    RepaintRE(m_editor);
    EXPECT_EQ(classLetters(m_editor), "xxxxxxxx");
}

TEST_F(SyntaxColoringTest, ColourModesRecolourAndModeOneRestoresTheDefaults)
{
    const ColorValue silver = RgbColor(192, 192, 192);
    const ColorValue black = 0, blue = 0xFF0000, red = 0x0000FF, teal = 0x808000;
    struct ModeColours
    {
        int mode;
        ColorValue text, tag, quoted, comment;
    };
    const ModeColours modes[] = {
        {1, black, blue, red, teal},
        {2, silver, blue, silver, silver},
        {3, silver, silver, red, silver},
        {4, black, silver, silver, silver},
        {5, silver, silver, silver, teal},
        {1, black, blue, red, teal},
    };
    // Colours read from prg.ini hold until the first mode is chosen.
    m_editor.setColorSet({0x111111, 0x222222, 0x333333, 0x444444});
    setColoredText(m_editor, "x<a b=\"c\"><!--d-->");
    EXPECT_EQ(m_editor.colorAt(1), 0x111111);
    for (const ModeColours& m : modes) {
        SCOPED_TRACE(m.mode);
        ASSERT_TRUE(SetColorMode(m_editor, m.mode));
        RepaintRE(m_editor);
        EXPECT_EQ(m_editor.colorAt(1), m.text);
        EXPECT_EQ(m_editor.colorAt(2), m.tag);
        EXPECT_EQ(m_editor.colorAt(7), m.quoted);
        EXPECT_EQ(m_editor.colorAt(12), m.comment);
    }
    EXPECT_FALSE(SetColorMode(m_editor, 6));
    EXPECT_EQ(m_editor.colorSet(), (ColorSet {black, blue, red, teal}));
}

TEST_F(SyntaxColoringTest, StreamedTextIsColouredAndTheCaretAtItsStart)
{
    setColoredText(m_editor, "<p></p>");
    m_editor.setCaretPosition(3);
    StreamColoredText(m_editor, "a<b>\n\"q\"", false);
    EXPECT_EQ(m_editor.plainText(), "<p>a<b>\r\n\"q\"</p>");
    EXPECT_EQ(classLetters(m_editor), "tttxtttxxxxxtttt");
    EXPECT_EQ(m_editor.caretPosition(), 3);
    EXPECT_FALSE(m_editor.modifiedFlag());

    m_editor.setCaretPosition(5);
    StreamColoredText(m_editor, "<i>new</i>", true);
    EXPECT_EQ(m_editor.plainText(), "<i>new</i>");
    EXPECT_EQ(m_editor.caretPosition(), 5);

    StreamColoredText(m_editor, "", true);
    EXPECT_EQ(m_editor.plainText(), "<i>new</i>");
}

TEST_F(SyntaxColoringTest, ColouredPasteInsertsClipboardTextAtTheCaret)
{
    setColoredText(m_editor, "<p></p>");
    m_editor.selectRange(3, 0);
    QGuiApplication::clipboard()->setText("<a href=\"u\">l</a>");
    PasteColored(m_editor);
    EXPECT_EQ(m_editor.plainText(), "<p><a href=\"u\">l</a></p>");
    EXPECT_EQ(classLetters(m_editor),
        "ttttttttttt"
        "qqqtx"
        "tttttttt");
    EXPECT_EQ(m_editor.caretPosition(), 3);

    QGuiApplication::clipboard()->clear();
    PasteColored(m_editor);
    EXPECT_EQ(m_editor.plainText(), "<p><a href=\"u\">l</a></p>");
}

TEST(FileTextTest, QStringPairRoundTrips)
{
    TextEncoding encoding;
    const QString text = TextFromFileBytes("<b>\x93Zitat\x94</b>", &encoding);
    EXPECT_EQ(text, QString::fromUtf8("<b>\xE2\x80\x9CZitat\xE2\x80\x9D</b>"));
    EXPECT_EQ(FileBytesFromText(text, encoding), "<b>\x93Zitat\x94</b>");
    EXPECT_EQ(Utf16Length("a\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80"), 5u);
}

} // namespace
} // namespace zenkel
