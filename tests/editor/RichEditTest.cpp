/// The editor control: positions, find, lines, colours, modified flag and undo.
#include "EditorTestSupport.h"

#include "editor/RichEdit.h"

#include <QCoreApplication>
#include <QPalette>
#include <QTest>

#include <gtest/gtest.h>

#include <cstring>

namespace zenkel {
namespace {

using test::classLetters;
using test::setColoredText;

TEST(RichEditTest, SingleByteCrLfDocumentCountsPositionsLikeTheFile)
{
    // A Windows-1252 file: each byte is one position, CR LF counts two.
    const std::string file = "a\xE4\r\n<b>x</b>\r\n\x80z";
    RichEdit editor;
    TextEncoding encoding;
    editor.setPlainUtf8(EditorTextFromFileBytes(file, &encoding));
    ASSERT_EQ(encoding.kind, FileEncoding::Windows1252);

    EXPECT_EQ(editor.textLength(), static_cast<int>(file.size()));
    for (int i = 0; i < static_cast<int>(file.size()); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(editor.charAt(i),
            Windows1252ToUnicode(static_cast<unsigned char>(file[static_cast<std::size_t>(i)])));
    }
    EXPECT_EQ(editor.lineOfPosition(3), 0);
    EXPECT_EQ(editor.lineOfPosition(4), 1);
    EXPECT_EQ(editor.lineStartPosition(1), 4);
    EXPECT_EQ(editor.lineTextLength(0), 2);
    EXPECT_EQ(editor.lineTextLength(1), 8);
    EXPECT_EQ(editor.lineStartPosition(2), 14);
    EXPECT_EQ(editor.findText("</B>", 0, 100), 8);
    EXPECT_EQ(editor.findText("z", 0, 100), 15);
    EXPECT_EQ(editor.textRange(0, 5), QString::fromUtf8("a\xC3\xA4\r\n<"));
    editor.selectRange(4, 3);
    EXPECT_EQ(editor.selectionStart(), 4);
    EXPECT_EQ(editor.selectionLength(), 3);
    EXPECT_EQ(editor.selectedText(), "<b>");
    editor.setCaretPosition(15);
    EXPECT_EQ(editor.caretPosition(), 15);
}

TEST(RichEditTest, Utf8TextCountsQStringCharacters)
{
    RichEdit editor;
    editor.setPlainUtf8("\xE2\x82\xAC\xF0\x9F\x98\x80<b>\r\n\xC3\xA4<i>");
    const QString text = editor.plainText();
    EXPECT_EQ(editor.textLength(), text.size());
    EXPECT_EQ(editor.findText("<b>", 0, 100), text.indexOf("<b>"));
    EXPECT_EQ(editor.findText("<i>", 0, 100), text.indexOf("<i>"));
    EXPECT_EQ(editor.lineStartPosition(1), text.indexOf(QChar(0xE4)));
    EXPECT_EQ(editor.charPosition(editor.bytePosition(6)), 6);
    EXPECT_EQ(editor.textRange(3, 3), "<b>");
}

TEST(RichEditTest, PositionsStayRightAroundEditsInLongMixedLines)
{
    // Positions in lines that are not pure ASCII are counted from remembered points; an edit
    // must not leave a stale one behind.
    std::string line;
    for (int i = 0; i < 400; ++i)
        line += i % 3 == 0 ? "a\xC3\xA4"
            : i % 3 == 1   ? "<\xE2\x82\xAC>"
                           : "\xF0\x9F\x98\x80"
                             "b";
    RichEdit editor;
    editor.setPlainUtf8(line + "\r\n" + line);
    const auto checkAll = [&editor](const char* when) {
        SCOPED_TRACE(when);
        const QString text = editor.plainText();
        ASSERT_EQ(editor.textLength(), text.size());
        for (int i = text.size() - 1; i >= 0; i -= 7) {
            if (text[i].isSurrogate()) // half a character has no range of its own
                continue;
            ASSERT_EQ(editor.charPosition(editor.bytePosition(i)), i);
            ASSERT_EQ(editor.textRange(i, 1), QString(text[i]));
        }
    };
    checkAll("loaded");
    editor.setCaretPosition(700);
    editor.replaceSelectionPlain(QString::fromUtf8("\xC3\xB6\xC3\xB6"));
    checkAll("after an insertion");
    editor.selectRange(300, 500);
    editor.replaceSelectionPlain("x");
    checkAll("after a deletion");
}

struct FindCase
{
    const char* name;
    const char* text;
    const char* what;
    int start;
    int length;
    int options;
    int expected;
};

TEST(RichEditTest, FindsForwardInsideTheRange)
{
    const FindCase cases[] = {
        {"found", "abcabc", "bc", 0, 6, 0, 1},
        {"match must end inside the range", "abcabc", "bc", 0, 2, 0, -1},
        {"search starts at start", "abcabc", "bc", 2, 4, 0, 4},
        {"case ignored by default", "ABC", "b", 0, 3, 0, 1},
        {"match case", "ABC", "b", 0, 3, RichEdit::MatchCase, -1},
        {"whole word", "concat cat", "cat", 0, 10, RichEdit::WholeWord, 7},
        {"nothing in an empty range", "abc", "a", 0, 0, 0, -1},
        {"range past the end", "abc", "c", 1, 100, 0, 2},
    };
    RichEdit editor;
    for (const FindCase& c : cases) {
        SCOPED_TRACE(c.name);
        editor.setPlainUtf8(c.text);
        EXPECT_EQ(editor.findText(c.what, c.start, c.length, c.options), c.expected);
    }
}

TEST(RichEditTest, ColourAtPositionIsTheColourOfTheCharacterBefore)
{
    RichEdit editor;
    setColoredText(editor, "<b>x");
    const ColorSet& colors = editor.colorSet();
    EXPECT_EQ(editor.colorAt(0), colors.TextCol);
    EXPECT_EQ(editor.colorAt(1), colors.TagCol);
    EXPECT_EQ(editor.colorAt(3), colors.TagCol);
    EXPECT_EQ(editor.colorAt(4), colors.TextCol);
    EXPECT_EQ(editor.colorAt(99), colors.TextCol);

    // A colour change is a change of the four class colours, not of the text.
    ColorSet mode3;
    SetColorMode(mode3, 3);
    editor.setColorSet(mode3);
    EXPECT_EQ(editor.colorAt(1), 12632256);
    EXPECT_EQ(classLetters(editor), "tttx");
}

TEST(RichEditTest, SystemColoursAreResolvedToTheirValues)
{
    RichEdit editor;
    const QColor text = QPalette().color(QPalette::Active, QPalette::Text);
    editor.setColorSet({static_cast<ColorValue>(0x80000008u), 0x02FF0000, 255, 0x808000});
    EXPECT_EQ(editor.colorSet().TextCol, RgbColor(text.red(), text.green(), text.blue()));
    EXPECT_EQ(editor.colorSet().TagCol, 0xFF0000);
    EXPECT_EQ(editor.colorSet().QuotedCol, 255);
}

TEST(RichEditTest, SelectionColourTakesAnyColourValue)
{
    RichEdit editor;
    setColoredText(editor, "abcd");
    editor.selectRange(1, 2);
    editor.setSelectionColor(editor.colorSet().QuotedCol);
    EXPECT_EQ(classLetters(editor), "xqqx");
    editor.selectRange(0, 1);
    editor.setSelectionColor(0x123456);
    EXPECT_EQ(editor.colorAt(1), 0x123456);
    EXPECT_EQ(editor.colorAt(2), editor.colorSet().QuotedCol);
    EXPECT_EQ(editor.selectionStart(), 0);
    EXPECT_EQ(editor.selectionLength(), 1);
}

TEST(RichEditTest, TypedTextTakesTheInsertionColourOrThatOfTheCharacterBefore)
{
    RichEdit editor;
    setColoredText(editor, "<b>");
    editor.setCaretPosition(3);
    QTest::keyClick(&editor, Qt::Key_Y);
    EXPECT_EQ(classLetters(editor), "tttt");
    editor.setInsertionColor(editor.colorSet().TextCol);
    QTest::keyClick(&editor, Qt::Key_Z);
    EXPECT_EQ(classLetters(editor), "ttttx");
    EXPECT_EQ(editor.plainText(), "<b>yz");
}

TEST(RichEditTest, TypedTextGoesInAsTheControlTypesIt)
{
    struct Case
    {
        const char* name;
        int start;
        int length;
        bool overtype;
        bool readOnly;
        const char* expected;
        const char* afterUndo; ///< typing into the text is one step for undo
    };
    const Case cases[] = {
        {"at the caret", 5, 0, false, false, "01234ab56789", "0123456789"},
        {"over a selection", 1, 2, false, false, "0ab3456789", "0a3456789"},
        {"overtype", 5, 0, true, false, "01234ab789", "01234a6789"},
        {"read-only", 5, 0, false, true, "0123456789", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RichEdit editor;
        setColoredText(editor, "0123456789");
        editor.setOverwriteMode(c.overtype);
        editor.setReadOnly(c.readOnly);
        editor.selectRange(c.start, c.length);
        std::vector<int> added;
        QObject::connect(
            &editor, &QsciScintillaBase::SCN_CHARADDED, [&](int ch) { added.push_back(ch); });
        int selectionChanges = 0;
        QObject::connect(&editor, &QsciScintilla::selectionChanged, [&] { ++selectionChanges; });
        QTest::keyClicks(&editor, "ab");
        EXPECT_EQ(editor.plainText(), c.expected);
        if (c.length == 0) { // typing moves no selection
            EXPECT_EQ(selectionChanges, 0);
        }
        if (c.readOnly)
            continue;
        EXPECT_EQ(added, (std::vector<int> {'a', 'b'}));
        EXPECT_EQ(editor.caretPosition(), c.start + 2);
        editor.undo();
        EXPECT_EQ(editor.plainText(), c.afterUndo);
    }

    // The view follows the caret past the right edge.
    RichEdit editor;
    editor.resize(200, 100);
    editor.show();
    setColoredText(editor, std::string(400, 'x'));
    editor.SendScintilla(QsciScintillaBase::SCI_SETEMPTYSELECTION, 400ul);
    QTest::keyClick(&editor, Qt::Key_A);
    EXPECT_GT(editor.SendScintilla(QsciScintillaBase::SCI_GETXOFFSET), 0);
}

TEST(RichEditTest, BackspaceAndDeleteRemoveWholeCharactersAsTheControlDoes)
{
    struct Case
    {
        const char* name;
        int caret;
        Qt::Key key;
        const char* afterTwo; ///< after two presses
        int caretAfter;
    };
    // "a\xC3\xA4\r\nb<c>" counted as the editor does: a, ä, CR, LF, b, <, c, >
    const Case cases[] = {
        {"backspace over a line end and a letter", 4, Qt::Key_Backspace, "ab<c>", 1},
        {"backspace at the start", 0, Qt::Key_Backspace, "a\xC3\xA4\r\nb<c>", 0},
        {"delete over a letter and a line end", 1, Qt::Key_Delete, "ab<c>", 1},
        {"delete at the end", 8, Qt::Key_Delete, "a\xC3\xA4\r\nb<c>", 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RichEdit editor;
        setColoredText(editor, "a\xC3\xA4\r\nb<c>");
        editor.setCaretPosition(c.caret);
        QTest::keyClick(&editor, c.key);
        QTest::keyClick(&editor, c.key);
        EXPECT_EQ(editor.plainText(), QString::fromUtf8(c.afterTwo));
        EXPECT_EQ(editor.caretPosition(), c.caretAfter);
        editor.undo(); // both presses are one step
        EXPECT_EQ(editor.plainText(), QString::fromUtf8("a\xC3\xA4\r\nb<c>"));
    }
}

TEST(RichEditTest, ModifiedFlagIsSetByEditsAndOnlyClearedByTheCaller)
{
    RichEdit editor;
    setColoredText(editor, "<p>abc</p>");
    EXPECT_FALSE(editor.modifiedFlag());
    editor.setCaretPosition(4);
    QTest::keyClick(&editor, Qt::Key_X);
    EXPECT_TRUE(editor.modifiedFlag());
    ASSERT_TRUE(editor.isUndoAvailable());
    editor.undo();
    EXPECT_EQ(editor.plainText(), "<p>abc</p>");
    EXPECT_TRUE(editor.modifiedFlag());
    editor.setModifiedFlag(false);
    EXPECT_FALSE(editor.modifiedFlag());
}

TEST(RichEditTest, LoadedTextCannotBeUndone)
{
    RichEdit editor;
    setColoredText(editor, "abc");
    EXPECT_FALSE(editor.isUndoAvailable());
}

TEST(RichEditTest, ChangedIsSignalledOncePerKey)
{
    RichEdit editor;
    setColoredText(editor, "abcdef");
    int changes = 0;
    QObject::connect(&editor, &RichEdit::changed, [&] { ++changes; });
    editor.selectRange(1, 3);
    QTest::keyClick(&editor, Qt::Key_X); // a deletion and an insertion
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(editor.plainText(), "axef");
}

TEST(RichEditTest, ChangesFromOutsideAreFinishedLater)
{
    RichEdit editor;
    setColoredText(editor, "<b>");
    int changes = 0;
    QObject::connect(&editor, &RichEdit::changed, [&] { ++changes; });
    editor.setCaretPosition(3);
    editor.SendScintilla(QsciScintillaBase::SCI_ADDTEXT, 2ul, "xy"); // not through this class
    QCoreApplication::processEvents();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(classLetters(editor), "ttttt"); // the colour of the character before
    EXPECT_TRUE(editor.modifiedFlag());
}

TEST(RichEditTest, ReportsAndScrollsTheFirstVisibleLine)
{
    RichEdit editor;
    editor.resize(400, 200);
    editor.show();
    std::string text;
    for (int i = 0; i < 300; ++i)
        text += "<p>line " + std::to_string(i) + "</p>\r\n";
    setColoredText(editor, text);
    editor.setFirstVisibleLine(120);
    EXPECT_EQ(editor.firstVisibleLine(), 120);
}

TEST(RichEditTest, CaretMovesAreReportedOnceWithLineAndPositionInIt)
{
    RichEdit editor;
    editor.resize(400, 200);
    editor.show();
    editor.setPlainUtf8("\xC3\xA4\xC3\xA4x\r\n\xE2\x82\xAC"
                        "abc");
    QCoreApplication::processEvents();
    std::vector<std::pair<int, int>> reported;
    QObject::connect(&editor, &QsciScintilla::cursorPositionChanged,
        [&](int line, int index) { reported.emplace_back(line, index); });
    editor.setCaretPosition(7);
    QCoreApplication::processEvents();
    editor.setCaretPosition(7);
    QCoreApplication::processEvents();
    EXPECT_EQ(reported, (std::vector<std::pair<int, int>> {{1, 2}}));
}

TEST(RichEditTest, RightToLeftLettersAreLaidOutInTheOrderOfTheText)
{
    // Each character, right-to-left ones too, stands right of the one before it, so the tag
    // after a Hebrew or Arabic word is not drawn over it; the text itself stays as it is.
    const struct
    {
        const char* loaded;
        const char* typed; ///< typed after the fourth character
    } cases[] = {
        {"<p class=\"x\">\u05E9\u05DC\u05D5\u05DD \u05E2\u05D5\u05DC\u05DD, this is "
         "<b>\u05E2\u05D1\u05E8\u05D9\u05EA</b> text</p>",
            ""},
        {"<p title=\"\u0645\u0631\u062D\u0628\u0627\">\u0645\u0631\u062D\u0628\u0627 "
         "<i>\u0627\u0644\u0639\u0631\u0628\u064A\u0629</i> \u0663\u0664</p>",
            ""},
        {"<p>a\u202Eback\u202C b\u200F, c</p>", ""}, // bidirectional controls
        {"<b>x</b> plain", "\u05D0\u05D1 y"},
    };
    RichEdit editor;
    editor.resize(900, 200);
    editor.show();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.loaded);
        setColoredText(editor, c.loaded);
        editor.setCaretPosition(4);
        editor.replaceSelectionPlain(QString::fromUtf8(c.typed));
        const std::string text = std::string(c.loaded).insert(4, c.typed);
        ASSERT_EQ(editor.utf8Text(), text);
        long x = -1;
        for (long pos = 0; pos < static_cast<long>(text.size());
             pos = editor.SendScintilla(RichEdit::SCI_POSITIONAFTER, pos)) {
            const long next = editor.SendScintilla(RichEdit::SCI_POSITIONAFTER, pos);
            const long x0 = editor.SendScintilla(RichEdit::SCI_POINTXFROMPOSITION, 0, pos);
            const long x1 = editor.SendScintilla(RichEdit::SCI_POINTXFROMPOSITION, 0, next);
            EXPECT_GE(x0, x) << "at byte " << pos;
            EXPECT_GT(x1, x0) << "at byte " << pos;
            x = x0;
        }
    }
}

} // namespace
} // namespace zenkel
