/// Typing-time colouring: the colour rules, the key state code, the repaint of the tag at the
/// caret, and the lookup of tags and comments.
#include "EditorTestSupport.h"

#include "editor/EditorColoring.h"
#include "editor/TagLookup.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>

#include <gtest/gtest.h>

namespace zenkel {
namespace {

using test::classLetters;
using test::setColoredText;

// ---- the ten rules ----------------------------------------------------------------------

constexpr ColorValue Text = 0, Tag = 0xFF0000, Quoted = 0x0000FF, Comment = 0x808000;

struct RuleCase
{
    const char* name;
    char16_t k;
    ColorValue before;
    char16_t charBefore;
    ColorValue after;
    char16_t charAfter;
    ColorValue expected;
};

TEST(TypingRulesTest, FirstApplicableRuleChoosesTheColour)
{
    const RuleCase cases[] = {
        {"1 inside a comment even for <", u'<', Comment, u'a', Comment, u'b', Comment},
        {"2 minus is tag", u'-', Text, u'a', Text, u'b', Tag},
        {"2 < is tag", u'<', Text, u'a', Text, u'b', Tag},
        {"2 > is tag", u'>', Quoted, u'a', Quoted, u'b', Tag},
        {"3 quote is quoted", u'"', Tag, u'=', Tag, u'>', Quoted},
        {"4 before a >", u'x', Text, u'a', Tag, u'>', Tag},
        {"5 after a <", u'x', Tag, u'<', Text, u' ', Tag},
        {"6 after a >", u'x', Tag, u'>', Tag, u'<', Text},
        {"7 same colour both sides", u'x', Quoted, u'a', Quoted, u'b', Quoted},
        {"8 quoted before, tag after", u'x', Quoted, u'"', Tag, u' ', Tag},
        {"9 tag before, text after", u'x', Tag, u'a', Text, u'b', Text},
        {"10 otherwise the colour before", u'x', Text, u'a', Tag, u'<', Text},
        {"half a comment is no comment", u'x', Comment, u'>', Text, u'a', Text},
    };
    const ColorSet colors;
    for (const RuleCase& c : cases) {
        SCOPED_TRACE(c.name);
        CaretInfo a;
        a.color = c.before;
        a.ch = c.charBefore;
        CaretInfo b;
        b.color = c.after;
        b.ch = c.charAfter;
        EXPECT_EQ(ChooseTypedColor(c.k, a, b, colors), c.expected);
    }
}

TEST(TypingRulesTest, RepaintAfterMarkupTypedOrDeleted)
{
    CaretInfo a;
    CaretInfo b;
    a.ch = u'>';
    b.ch = u'x';
    EXPECT_TRUE(ChangeNeedsRepaint(KeyState::Backspace, a, b));
    EXPECT_FALSE(ChangeNeedsRepaint(KeyState::Delete, a, b));
    std::swap(a.ch, b.ch);
    EXPECT_FALSE(ChangeNeedsRepaint(KeyState::Backspace, a, b));
    EXPECT_TRUE(ChangeNeedsRepaint(KeyState::Delete, a, b));
    for (char16_t k : {u'!', u'"', u'-', u'<', u'>'})
        EXPECT_TRUE(ChangeNeedsRepaint(k, a, b));
    for (int code : {KeyState::None, KeyState::CtrlCombination, KeyState::Paste, KeyState::Cut})
        EXPECT_FALSE(ChangeNeedsRepaint(code, a, b));
}

// ---- typing in the editor ---------------------------------------------------------------

class RecordingHost : public EditorColoringHost
{
public:
    explicit RecordingHost(RichEdit& editor)
        : m_editor(editor)
    { }
    void SetREToModified() override
    {
        ++modifiedCalls;
        m_editor.setModifiedFlag(true);
    }
    bool saveEnabled() const override { return canSave; }
    void BSaveClick() override { ++saves; }

    int modifiedCalls = 0;
    int saves = 0;
    bool canSave = false;

private:
    RichEdit& m_editor;
};

class EditorColoringTest : public testing::Test
{
protected:
    EditorColoringTest()
        : m_host(m_editor)
        , m_coloring(m_editor, m_host)
    {
        m_coloring.connectEditor();
    }

    /// Loads text coloured, then gives the characters of misColoured ('q' etc., '.' = keep)
    /// other classes, so that a repaint shows.
    void load(const std::string& text, int caret, const std::string& misColoured = "")
    {
        setColoredText(m_editor, text);
        for (std::size_t i = 0; i < misColoured.size(); ++i) {
            const char m = misColoured[i];
            if (m == '.')
                continue;
            const ColorClass c = m == 'x' ? ColorClass::Text
                : m == 't'                ? ColorClass::Tag
                : m == 'q'                ? ColorClass::Quoted
                                          : ColorClass::Comment;
            m_editor.setRangeClass(static_cast<int>(i), 1, c);
        }
        m_editor.setCaretPosition(caret);
    }

    RichEdit m_editor;
    RecordingHost m_host;
    EditorColoring m_coloring;
};

TEST_F(EditorColoringTest, TypedQuoteInsideATagIsQuotedAndRepaintsTheTag)
{
    // The x is shown as text; after the quote it belongs to the quoted string.
    load("<a href=x>", 8, "........x");
    QTest::keyClick(&m_editor, '"');
    EXPECT_EQ(m_editor.plainText(), "<a href=\"x>");
    EXPECT_EQ(classLetters(m_editor), "ttttttttqqt");
    EXPECT_EQ(m_coloring.keyStateCode(), KeyState::None);
    EXPECT_TRUE(m_editor.modifiedFlag());
    EXPECT_TRUE(m_coloring.tagHintOn());
}

TEST_F(EditorColoringTest, LetterAfterATagIsText)
{
    load("<b></b>", 3);
    QTest::keyClick(&m_editor, Qt::Key_X);
    EXPECT_EQ(classLetters(m_editor), "tttxtttt");
}

TEST_F(EditorColoringTest, LetterInsideACommentStaysComment)
{
    load("<!-- ab -->", 6);
    QTest::keyClick(&m_editor, Qt::Key_Z);
    EXPECT_EQ(m_editor.plainText(), "<!-- azb -->");
    EXPECT_EQ(classLetters(m_editor), "cccccccccccc");
}

TEST_F(EditorColoringTest, BackspaceOverGreaterThanRepaints)
{
    load("<b>xy</b>", 3);
    QTest::keyClick(&m_editor, Qt::Key_Backspace);
    EXPECT_EQ(m_editor.plainText(), "<bxy</b>");
    EXPECT_EQ(classLetters(m_editor), "tttttttt");
}

TEST_F(EditorColoringTest, BackspaceOverALetterDoesNotRepaint)
{
    load("<b>xy</b>", 5, "q");
    QTest::keyClick(&m_editor, Qt::Key_Backspace);
    EXPECT_EQ(m_editor.plainText(), "<b>x</b>");
    EXPECT_EQ(classLetters(m_editor), "qttxtttt");
}

TEST_F(EditorColoringTest, DeleteOverGreaterThanRepaints)
{
    load("<b>xy</b>", 2);
    QTest::keyClick(&m_editor, Qt::Key_Delete);
    EXPECT_EQ(m_editor.plainText(), "<bxy</b>");
    EXPECT_EQ(classLetters(m_editor), "tttttttt");
}

TEST_F(EditorColoringTest, RepaintStopsAtTheTagEnd)
{
    // A markup character typed into the first tag of <b><i>: that tag is repainted through
    // its ">", the "<" of <i> keeps the colour it had.
    load("<b><i>", 2, "...q");
    QTest::keyClick(&m_editor, '-');
    EXPECT_EQ(m_editor.plainText(), "<b-><i>");
    EXPECT_EQ(classLetters(m_editor), "ttttqtt");
}

TEST_F(EditorColoringTest, ColouredPasteWithCtrlV)
{
    load("<p></p>", 3);
    QGuiApplication::clipboard()->setText("<i>\"q\"</i>");
    QTest::keyClick(&m_editor, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(m_editor.plainText(), "<p><i>\"q\"</i></p>");
    EXPECT_EQ(classLetters(m_editor), "ttttttxxxtttttttt");
    EXPECT_EQ(m_editor.caretPosition(), 3);
    EXPECT_TRUE(m_editor.modifiedFlag());
    EXPECT_EQ(m_host.modifiedCalls, 1);
}

TEST_F(EditorColoringTest, ShiftInsertPastesColouredToo)
{
    load("x", 1);
    QGuiApplication::clipboard()->setText("<b>");
    QTest::keyClick(&m_editor, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(m_editor.plainText(), "x<b>");
    EXPECT_EQ(classLetters(m_editor), "xttt");
}

TEST_F(EditorColoringTest, PasteWithColouringOffIsLeftToTheControl)
{
    m_editor.setDoColorTags(false);
    load("ab", 1);
    QGuiApplication::clipboard()->setText("<b>");
    QTest::keyClick(&m_editor, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(m_editor.plainText(), "a<b>b");
    EXPECT_EQ(classLetters(m_editor), "xxxxx"); // plain text in the colour of the place
    EXPECT_TRUE(m_editor.modifiedFlag());
}

struct KeyCase
{
    const char* name;
    int key;
    Qt::KeyboardModifiers modifiers;
    int code;
};

TEST_F(EditorColoringTest, KeyDownSetsTheKeyStateCode)
{
    m_editor.setDoColorTags(false); // no coloured paste: only the codes are looked at
    const KeyCase cases[] = {
        {"Backspace", Qt::Key_Backspace, Qt::NoModifier, KeyState::Backspace},
        {"Delete with Ctrl", Qt::Key_Delete, Qt::ControlModifier, KeyState::Delete},
        {"Shift+Insert", Qt::Key_Insert, Qt::ShiftModifier, KeyState::Paste},
        {"Ctrl+V", Qt::Key_V, Qt::ControlModifier, KeyState::Paste},
        {"Ctrl+X", Qt::Key_X, Qt::ControlModifier, KeyState::Cut},
        {"Ctrl+A", Qt::Key_A, Qt::ControlModifier, KeyState::CtrlCombination},
        {"Ctrl alone", Qt::Key_Control, Qt::ControlModifier, KeyState::CtrlCombination},
        {"a letter", Qt::Key_A, Qt::NoModifier, KeyState::None},
        {"Shift+A", Qt::Key_A, Qt::ShiftModifier, KeyState::None},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(m_coloring.REScreenKeyDown(c.key, c.modifiers));
        EXPECT_EQ(m_coloring.keyStateCode(), c.code);
    }
}

TEST_F(EditorColoringTest, CtrlSSavesOnlyWhenSaveIsEnabled)
{
    load("x", 0);
    m_coloring.REScreenKeyDown(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(m_host.saves, 0);
    m_host.canSave = true;
    m_coloring.REScreenKeyDown(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(m_host.saves, 1);
    EXPECT_EQ(m_coloring.keyStateCode(), KeyState::CtrlCombination);
}

TEST_F(EditorColoringTest, CaretSnapshotsLookBeforeAndAfterTheCaret)
{
    load("ab\r\n<i>", 5);
    CaretInfo a;
    CaretInfo b;
    TakeCaretInfo(m_editor, a, b);
    EXPECT_EQ(a.position, 5);
    EXPECT_EQ(a.line, 1);
    EXPECT_EQ(a.lineStart, 4);
    EXPECT_EQ(a.column, 1);
    EXPECT_EQ(a.lineLength, 3);
    EXPECT_EQ(a.lineEnd, 7);
    EXPECT_EQ(a.ch, u'<');
    EXPECT_EQ(a.color, m_editor.colorSet().TagCol);
    EXPECT_EQ(b.position, 6);
    EXPECT_EQ(b.ch, u'i');

    m_editor.setCaretPosition(7);
    TakeCaretInfo(m_editor, a, b);
    EXPECT_EQ(a.ch, u'>');
    EXPECT_EQ(b.ch, 0);
    m_editor.setCaretPosition(0);
    TakeCaretInfo(m_editor, a, b);
    EXPECT_EQ(a.ch, 0);
    EXPECT_EQ(b.ch, u'a');
}

TEST_F(EditorColoringTest, PaintRangeLeavesAnOpenCommentAndTheRestAlone)
{
    load("<b>x<!-- y", 0, "qqqqqqqqqq");
    PaintRange(m_editor, m_editor.textRange(0, 10), 0, 10);
    EXPECT_EQ(classLetters(m_editor), "tttxqqqqqq");
    PaintRange(m_editor, "<b>", 4, 99); // n is cut to the text: three characters
    EXPECT_EQ(classLetters(m_editor), "tttxtttqqq");
    EXPECT_FALSE(m_editor.modifiedFlag());
}

// ---- tag lookup -------------------------------------------------------------------------

struct TagCase
{
    const char* name;
    const char* text;
    int pos;
    bool commentAware;
    int kind;
    int start;
    int end;
    const char* found;
};

TEST(TagLookupTest, FindsTheTagOrCommentAroundAPosition)
{
    const char* page = "ab<b>cd<!-- e<i> -->f</b>";
    const TagCase cases[] = {
        {"position 0 finds nothing", page, 0, false, 0, 0, 0, ""},
        {"no < before", page, 1, false, 0, 0, 0, ""},
        {"inside a tag", page, 3, false, 1, 2, 5, "<b>"},
        {"text after a tag runs to the next >", page, 6, false, 1, 2, 16, "<b>cd<!-- e<i>"},
        {"comment from its start", page, 9, true, 2, 7, 20, "<!-- e<i> -->"},
        {"comment from its end", page, 17, true, 2, 7, 20, "<!-- e<i> -->"},
        {"comment without end", "a<!-- x <b>", 7, true, 3, 1, 11, "<!-- x <b>"},
        {"comment end without start", "<p -->", 3, true, 4, 0, 6, "<p -->"},
        {"no > after", "<b", 1, false, 0, 0, 0, ""},
    };
    RichEdit editor;
    for (const TagCase& c : cases) {
        SCOPED_TRACE(c.name);
        editor.setPlainUtf8(c.text);
        const RecEditTagInfo info = FindTagAtPos(editor, c.pos, c.commentAware);
        EXPECT_EQ(info.kind, c.kind);
        EXPECT_EQ(info.text, c.found);
        if (c.kind != 0) {
            EXPECT_EQ(info.position, c.pos);
            EXPECT_EQ(info.start, c.start);
            EXPECT_EQ(info.end, c.end);
            EXPECT_EQ(info.length, info.text.size());
        }
    }
}

TEST(TagLookupTest, FindLastBeforeSearchesWindowByWindow)
{
    RichEdit editor;
    std::string text(300, 'x');
    text[10] = '<';
    text.replace(171, 2, "ab"); // crosses the boundary of the first window back from 300
    text.replace(100, 2, "AB");
    editor.setPlainUtf8(text);
    EXPECT_EQ(FindLastBefore(editor, "<", 300, 1000000), 10);
    EXPECT_EQ(FindLastBefore(editor, "<", 300, 200), -1);
    EXPECT_EQ(FindLastBefore(editor, "ab", 300, 1000000), 100);
    EXPECT_EQ(FindLastBefore(editor, "ab", 173, 1000000), 171);
    EXPECT_EQ(FindLastBefore(editor, "<", 0, 1000000), -1);

    editor.setPlainUtf8("<a<b<c  ");
    EXPECT_EQ(FindLastBefore(editor, "<", 8, 100), 4);
    EXPECT_EQ(FindLastBefore(editor, "<", 4, 100), 2);
    EXPECT_EQ(GetTextRange(editor, 2, 3), "<b<");
    EXPECT_EQ(GetTextRange(editor, 2, 0), "");
}

} // namespace
} // namespace zenkel
