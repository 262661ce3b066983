/// Selection processing: the popup's captions, the widening of a selection, the engine's
/// single-byte text form and the engine run on a selection.
#include "EditorTestSupport.h"

#include "editor/SelectionProcessing.h"
#include "engine/Engine.h"
#include "style/StyleCatalogue.h"
#include "style/StyleFiles.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace zenkel {
namespace {

using test::setColoredText;

// ---- popup captions ---------------------------------------------------------------------

TEST(EditorPopupTest, TwentyStylesGiveFifteenStyleItemsAfterTheTwoSeparators)
{
    QStringList styles;
    for (int i = 1; i <= 20; ++i)
        styles.append(QStringLiteral("style%1").arg(i, 2, 10, QLatin1Char('0')));
    const QStringList captions = EditorPopupCaptions("mine", styles);
    ASSERT_EQ(captions.size(), 5 + 15);
    EXPECT_EQ(captions[0], "Format selection with: \"mine\"");
    EXPECT_EQ(captions[1], "-");
    EXPECT_EQ(captions[2], "Compress Selection");
    EXPECT_EQ(captions[3], "Trim Selection");
    EXPECT_EQ(captions[4], "-");
    EXPECT_EQ(captions[5], "Format selection with: \"style01\"");
    EXPECT_EQ(captions[19], "Format selection with: \"style15\"");
}

TEST(EditorPopupTest, ItemTextGivesStyleNameAndOperation)
{
    struct Row
    {
        const char* caption;
        const char* text;
        Operation operation;
    };
    const Row rows[] = {
        {"Format selection with: \"_default\"", "_default", Operation::Format},
        {"Compress Selection", "Compress Selection", Operation::Compress},
        {"Trim Selection", "Trim Selection", Operation::Trim},
        {"Format selection with: \"a\"b\"", "ab", Operation::Format},
        {"Format selection with: \"Compress Selection\"", "Compress Selection",
            Operation::Compress},
        {"compress selection", "compress selection", Operation::Format},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.caption);
        const QString text = StyleNameFromCaption(row.caption);
        EXPECT_EQ(text, row.text);
        EXPECT_EQ(OperationOfItem(text), row.operation);
    }
    // At most 100 characters from the first quote are read.
    const QString longName(150, u'n');
    EXPECT_EQ(StyleNameFromCaption(FormatItemCaption(longName)), longName.left(99));
}

// ---- widening -----------------------------------------------------------------------------

/// Text with '[' ']' around the selection and '{' '}' around the expected widened selection;
/// the markers are no part of the text.
struct WidenCase
{
    const char* name;
    const char* given;
    const char* expected;
    bool leadingBreak;
    bool trailingText;
};

struct Marked
{
    QString text;
    int open = -1;
    int close = -1;
};

Marked unmark(const QString& marked, QChar open, QChar close, const QString& others)
{
    Marked m;
    for (const QChar c : marked) {
        if (c == open)
            m.open = static_cast<int>(m.text.size());
        else if (c == close)
            m.close = static_cast<int>(m.text.size());
        else if (!others.contains(c))
            m.text += c;
    }
    return m;
}

const WidenCase WidenCases[] = {
    {"from text to text grows to both tags and over the line break",
        "<p>ab[cd</p>\r\n<p>ef]gh</p>\r\nrest", "{<p>abcd</p>\r\n<p>efgh</p>\r\n}rest", false,
        false},
    {"start after blanks at a line start goes to the line start",
        "<div>\r\n   [<b>x</b>]\r\n</div>", "<div>\r\n{   <b>x</b>\r\n}</div>", false, false},
    {"start after other text keeps its start", "text [<b>x</b>]\r\nmore", "text {<b>x</b>\r\n}more",
        true, false},
    {"text after the end keeps the end", "  [<b>x</b>] more\r\n", "{  <b>x</b>} more\r\n", false,
        true},
    {"text on both sides", "  <i>[<b>x</b>] more\r\n", "  <i>{<b>x</b>} more\r\n", true, true},
    {"first line with blanks before starts at the text start", "  [<p>x</p>]", "{  <p>x</p>}",
        false, false},
    {"inside a tag grows to its brackets", "<a hr[ef=x>li]nk</a>\r\n", "{<a href=x>link</a>\r\n}",
        false, false},
    {"blanks only grow back to the tag before and on to the next", "<b>x</b>[   ]<i>y</i>",
        "<b>x{</b>   <i>}y</i>", true, true},
    {"inside a comment takes the whole comment", "<!-- a [b -->x<b>y]</b>",
        "{<!-- a b -->x<b>y</b>}", false, false},
    {"ending in a comment without its end stays within the text", "<p>[x</p>\r\n<!-- op]en <b>y",
        "{<p>x</p>\r\n<!-- open <b>}y", false, true},
    {"starting behind an end without its comment stays within the text",
        "<b>a --> b[c</b> <i>x]</i>", "{<b>a --> bc</b> <i>x</i>}", false, false},
};

void checkWidening(const WidenCase& c)
{
    SCOPED_TRACE(c.name);
    const Marked given = unmark(QString::fromUtf8(c.given), u'[', u']', {});
    const Marked expected = unmark(QString::fromUtf8(c.expected), u'{', u'}', {});
    ASSERT_EQ(given.text, expected.text);
    RichEdit editor;
    setColoredText(editor, given.text.toStdString());
    editor.selectRange(given.open, given.close - given.open);
    SelectionFlags flags {!c.leadingBreak, !c.trailingText};
    EXPECT_TRUE(ExtendSelection(editor, flags));
    EXPECT_EQ(editor.selectionStart(), expected.open);
    EXPECT_EQ(editor.selectionStart() + editor.selectionLength(), expected.close);
    EXPECT_EQ(flags.leadingBreak, c.leadingBreak);
    EXPECT_EQ(flags.trailingText, c.trailingText);
}

TEST(ExtendSelectionTest, WidensToWholeTagsAndLines)
{
    for (const WidenCase& c : WidenCases)
        checkWidening(c);
}

TEST(ExtendSelectionTest, WithoutTagAroundTheSelectionNothingChanges)
{
    const char* texts[] = {"ab[cd]ef <b>", "<b> ab[cd]ef", "[abc]", "[]<b>"};
    for (const char* marked : texts) {
        SCOPED_TRACE(marked);
        const Marked given = unmark(QString::fromUtf8(marked), u'[', u']', {});
        RichEdit editor;
        setColoredText(editor, given.text.toStdString());
        editor.selectRange(given.open, given.close - given.open);
        SelectionFlags flags {true, true};
        EXPECT_FALSE(ExtendSelection(editor, flags));
        EXPECT_EQ(editor.selectionStart(), given.open);
        EXPECT_EQ(editor.selectionLength(), given.close - given.open);
        EXPECT_TRUE(flags.leadingBreak);
        EXPECT_TRUE(flags.trailingText);
    }
}

TEST(ExtendSelectionTest, EmptySelectionInTextGrowsToTheTagsAround)
{
    RichEdit editor;
    setColoredText(editor, "<p>one</p>\r\n<p>two</p>\r\n");
    editor.setCaretPosition(5);
    SelectionFlags flags;
    EXPECT_TRUE(ExtendSelection(editor, flags));
    EXPECT_EQ(editor.selectedText(), "<p>one</p>\r\n");
}

// ---- the engine's text form -----------------------------------------------------------------

TEST(EngineTextTest, EveryCharacterSurvivesTheRoundTrip)
{
    const char16_t surrogates[] = {0xD83D, 0xDE00, 0};
    const QString texts[] = {
        "plain <b>ascii</b>",
        QString::fromUtf8("Windows-1252: \xC3\xA4\xC3\xB6\xC3\xBC \xE2\x82\xAC \xE2\x80\x9C"),
        QString(QChar(0x81)) + QChar(0x8D) + QChar(0x9D),
        QString::fromUtf8("<p>\xE6\x97\xA5\xE6\x9C\xAC \xCE\xB1\xCE\xB2</p>"),
        QString::fromUtf16(surrogates) + "<i>x</i>",
        QString(QChar(1)) + QString::fromUtf8("\xE6\x97\xA5") + QChar(2),
    };
    for (const QString& text : texts) {
        SCOPED_TRACE(text.toStdString());
        const EngineText engineText = EngineTextFromEditor(text);
        EXPECT_FALSE(engineText.form.utf8);
        EXPECT_EQ(EditorTextFromEngine(engineText.bytes, engineText.form), text);
    }
}

TEST(EngineTextTest, WesternTextBecomesItsWindows1252Bytes)
{
    const EngineText t = EngineTextFromEditor(QString::fromUtf8("\xC3\x84 \xE2\x82\xAC"));
    EXPECT_EQ(t.bytes, "\xC4 \x80");
    EXPECT_EQ(t.form.escape, 0);
}

TEST(EngineTextTest, PlaceholderUsesAnEscapeTheTextDoesNotHold)
{
    const QString text = QString(QChar(1)) + QString::fromUtf8("\xE6\x97\xA5");
    const EngineText t = EngineTextFromEditor(text);
    EXPECT_EQ(t.form.escape, '\x02');
    EXPECT_EQ(t.bytes,
        "\x01\x02"
        "65E5\x02");
}

TEST(EngineTextTest, SelectionSourceTurnsCrLfIntoLf)
{
    const EngineText t = SelectionSourceText(QString("a\r\nb\rc\nd\r\n"));
    EXPECT_EQ(t.bytes, "a\nb\rc\nd\n");
}

// ---- the engine run ---------------------------------------------------------------------------

class ProcessSelectionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_programDir = m_dir.path().toStdString() + "/";
        copyStyle("_default");
        copyStyle("classic");
        QFile::copy(QStringLiteral(ZENKEL_DATA_DIR) + "/trim.ini", m_dir.path() + "/trim.ini");
        LoadTrimList(m_trimList, m_programDir);
        m_engine.setTrimList(&m_trimList);
        m_catalogue = std::make_unique<StyleCatalogue>(m_programDir);
    }

    void copyStyle(const QString& name)
    {
        const QString from = QStringLiteral(ZENKEL_DATA_DIR) + "/styles/" + name;
        const QString to = m_dir.path() + "/styles/" + name;
        QDir().mkpath(to);
        for (const char* file : {"options.ini", "tag.ini"})
            QFile::copy(from + "/" + file, to + "/" + file);
    }

    /// The editor holds text with '[' ']' around the selection; the selection is widened as
    /// the popup widens it and then processed.
    QString process(const char* marked, Operation operation, const char* style = "_default")
    {
        const Marked given = unmark(QString::fromUtf8(marked), u'[', u']', {});
        setColoredText(m_editor, given.text.toStdString());
        m_editor.selectRange(given.open, given.close - given.open);
        ExtendSelection(m_editor, m_flags);
        EXPECT_TRUE(m_catalogue->ActivateStyle(style, m_engine.style()));
        return ProcessSelection(m_editor, m_engine, operation, m_flags, m_programDir);
    }

    QTemporaryDir m_dir;
    std::string m_programDir;
    std::unique_ptr<StyleCatalogue> m_catalogue;
    TrimList m_trimList;
    Engine m_engine;
    RichEdit m_editor;
    SelectionFlags m_flags;
};

TEST_F(ProcessSelectionTest, LinesEndInCrLfAndTheFlagsAddBreakAndPrefix)
{
    struct Row
    {
        const char* name;
        const char* marked;
        Operation operation;
        const char* expected;
    };
    const Row rows[] = {
        {"alone on its lines", "<body>\r\n[<P>a</P>]\r\n</body>", Operation::Compress,
            "<p>a</p>\r\n"},
        {"text before it gets a leading break", "x [<p>a</p>]\r\n", Operation::Compress,
            "\r\n<p>a</p>\r\n"},
        {"text after it gets the indent of its first line", "\t  [<p>a</p>] y\r\n",
            Operation::Compress, "<p>a</p>\r\n\t  "},
        {"trim keeps the tag case", "[<A>  x  </A>]\r\n", Operation::Trim, "<A>x</A>\r\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(process(row.marked, row.operation), QString::fromUtf8(row.expected));
        EXPECT_FALSE(m_engine.selectionProcessing());
    }
}

TEST_F(ProcessSelectionTest, FormatIndentsWithThePrefixAndWritesNoDocumentationLine)
{
    const QString result = process("<html>\r\n  [<table><tr><td>x</td></tr></table>]\r\n</html>",
        Operation::Format, "classic");
    // Auto comments are made as for a file; the documentation line is not.
    EXPECT_FALSE(result.contains("STYLE: classic")) << result.toStdString();
    EXPECT_TRUE(result.contains("Table #1")) << result.toStdString();
    for (const QString& line : result.split("\r\n", Qt::SkipEmptyParts))
        EXPECT_TRUE(line.startsWith("  ")) << line.toStdString();
    EXPECT_TRUE(result.contains("<TABLE>")) << result.toStdString();
    EXPECT_TRUE(result.endsWith("\r\n"));
}

TEST_F(ProcessSelectionTest, NonWesternCharactersSurviveAndUmlautTagNamesAreLowered)
{
    m_editor.setEncoding({FileEncoding::Utf8, false});
    const QString result = process(
        "[<P>\xE6\x97\xA5\xE6\x9C\xAC \xC3\x84</P> <\xC3\x84X>\xF0\x9F\x98\x80</\xC3\x84X>]",
        Operation::Compress);
    EXPECT_EQ(result,
        QString::fromUtf8(
            "<p>\xE6\x97\xA5\xE6\x9C\xAC \xC3\x84</p><\xC3\xA4x>\xF0\x9F\x98\x80</\xC3\xA4x>\r\n"));
}

TEST_F(ProcessSelectionTest, ScanListsAreWrittenBesideTheProgram)
{
    process("[<p>a</p>]", Operation::Compress);
    const std::string tokens = test::readBytes(m_dir.path() + "/0tmp_htm.htm");
    EXPECT_NE(tokens.find("<p>"), std::string::npos);
    EXPECT_TRUE(QFile::exists(m_dir.path() + "/0tmp_nftags.htm"));
    // Trim does not scan: the files keep the lists of the last scan.
    process("[<b>  c  </b>]", Operation::Trim);
    EXPECT_EQ(test::readBytes(m_dir.path() + "/0tmp_htm.htm"), tokens);
}

} // namespace
} // namespace zenkel
