/// Tag hints: keys, the lookup in the hint list, the hint at the caret and the shipped file.
#include "EditorTestSupport.h"

#include "editor/TagHints.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace zenkel {
namespace {

using test::setColoredText;

TEST(TagHintsTest, KeyIsTheTagNameInBracketsWithoutEndSlash)
{
    const std::pair<const char*, const char*> rows[] = {
        {"<a href=\"x\">", "<a>"},
        {"</TD>", "<TD>"},
        {"<!DOCTYPE html>", "<!DOCTYPE>"},
        {"<td\r\nclass=x>", "<td>"},
        {"<br/>", "<br/>"},
        {"<!-- note -->", "<!-->"},
        {"<b>x</b>", "<b>"},
        {"<>", "<>"},
    };
    for (const auto& [text, key] : rows) {
        SCOPED_TRACE(text);
        EXPECT_EQ(TagHintKey(text), key);
    }
}

TEST(TagHintsTest, FirstLineStartingWithTheWholeKeyGivesTheTrimmedHint)
{
    const TagHintList list(QStringList {
        "; <A>: comment lines never match",
        "<ABBR>: <abbr title=\"text\">",
        "<a>:   <a href=\"url\">   ",
        "<A>: second line loses",
        "<IMG> image: <img src=\"file\" alt=\"text\">",
        "<NOCOLON> no hint here",
        "<LONG>:" + QString(1200, u'x'),
    });
    const std::pair<const char*, const char*> rows[] = {
        {"<A>", "<a href=\"url\">"},
        {"<abbr>", "<abbr title=\"text\">"},
        {"<img>", "<img src=\"file\" alt=\"text\">"},
        {"<NOCOLON>", ""},
    };
    for (const auto& [key, hint] : rows) {
        SCOPED_TRACE(key);
        ASSERT_TRUE(list.hintFor(key).has_value());
        EXPECT_EQ(*list.hintFor(key), hint);
    }
    EXPECT_FALSE(list.hintFor("<AB>").has_value());
    EXPECT_FALSE(list.hintFor("<B>").has_value());
    EXPECT_EQ(list.hintFor("<LONG>")->size(), TagHintList::MaxHintLength);
}

TEST(TagHintsTest, HintAtTheCaretComesFromTheTagAroundIt)
{
    const TagHintList list(QStringList {
        "<ABBR>: abbr hint",
        "<A>: a hint",
        "<TABLE>: table hint",
    });
    const std::string text
        = "x <table border=1><tr><td>cell <a href=q>l</a><abbr>t</abbr></td></tr></TABLE> y";
    RichEdit editor;
    setColoredText(editor, text);
    const auto at = [&](const char* marker, int offset) {
        return static_cast<int>(text.find(marker)) + offset;
    };
    struct Row
    {
        const char* name;
        int pos;
        std::optional<QString> hint;
    };
    const Row rows[] = {
        {"inside the start tag", at("border", 2), "table hint"},
        {"inside the end tag", at("</TABLE>", 4), "table hint"},
        {"in text the tag before counts", at("cell", 2), QString()},
        {"a matches its own line, not that of abbr", at("href", 1), "a hint"},
        {"abbr finds its line", at("<abbr>", 2), "abbr hint"},
        {"before the first <", 1, std::nullopt},
        {"after the last >", static_cast<int>(text.size()) - 1, std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(TagHintAt(editor, row.pos, list), row.hint);
    }
    EXPECT_EQ(TagHintAt(editor, at("border", 2), TagHintList()), std::nullopt);
}

TEST(TagHintsTest, MissingFileGivesAnEmptyList)
{
    QTemporaryDir dir;
    EXPECT_TRUE(TagHintList::load(dir.path() + "/tagsyntax.txt").isEmpty());
    EXPECT_TRUE(TagHintList::load(dir.path()).isEmpty());
}

TEST(TagHintsTest, ShippedFileHasALineForEveryElement)
{
    const TagHintList list = TagHintList::load(QStringLiteral(ZENKEL_DATA_DIR) + "/tagsyntax.txt");
    ASSERT_FALSE(list.isEmpty());
    // The elements of HTML 4.01 and of HTML5.
    const char* elements[] = {"A", "ABBR", "ACRONYM", "ADDRESS", "APPLET", "AREA", "ARTICLE",
        "ASIDE", "AUDIO", "B", "BASE", "BASEFONT", "BDI", "BDO", "BIG", "BLOCKQUOTE", "BODY", "BR",
        "BUTTON", "CANVAS", "CAPTION", "CENTER", "CITE", "CODE", "COL", "COLGROUP", "DATA",
        "DATALIST", "DD", "DEL", "DETAILS", "DFN", "DIALOG", "DIR", "DIV", "DL", "DT", "EM",
        "EMBED", "FIELDSET", "FIGCAPTION", "FIGURE", "FONT", "FOOTER", "FORM", "FRAME", "FRAMESET",
        "H1", "H2", "H3", "H4", "H5", "H6", "HEAD", "HEADER", "HGROUP", "HR", "HTML", "I", "IFRAME",
        "IMG", "INPUT", "INS", "ISINDEX", "KBD", "LABEL", "LEGEND", "LI", "LINK", "MAIN", "MAP",
        "MARK", "MENU", "META", "METER", "NAV", "NOFRAMES", "NOSCRIPT", "OBJECT", "OL", "OPTGROUP",
        "OPTION", "OUTPUT", "P", "PARAM", "PICTURE", "PRE", "PROGRESS", "Q", "RP", "RT", "RUBY",
        "S", "SAMP", "SCRIPT", "SEARCH", "SECTION", "SELECT", "SLOT", "SMALL", "SOURCE", "SPAN",
        "STRIKE", "STRONG", "STYLE", "SUB", "SUMMARY", "SUP", "TABLE", "TBODY", "TD", "TEMPLATE",
        "TEXTAREA", "TFOOT", "TH", "THEAD", "TIME", "TITLE", "TR", "TRACK", "TT", "U", "UL", "VAR",
        "VIDEO", "WBR", "!DOCTYPE"};
    for (const char* element : elements) {
        const QString key = QStringLiteral("<%1>").arg(element);
        SCOPED_TRACE(key.toStdString());
        const std::optional<QString> hint = list.hintFor(key);
        ASSERT_TRUE(hint.has_value());
        EXPECT_TRUE(hint->startsWith(u'<'));
    }
    EXPECT_TRUE(list.hintFor("<IMG>")->contains("src=", Qt::CaseInsensitive));
    EXPECT_TRUE(list.hintFor("<IMG>")->contains("alt=", Qt::CaseInsensitive));
}

} // namespace
} // namespace zenkel
