/// Search and replace over the editor text: Find Next, Replace, Replace All, their messages,
/// the undo step and the speed of a large Replace All.
#include "EditorTestSupport.h"

#include "editor/SearchReplace.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

namespace zenkel {
namespace {

using test::setColoredText;

enum class Press
{
    FindNext,
    Replace,
    ReplaceAll,
};

struct Step
{
    Press press;
    int selectionStart; ///< after the press
    int selectionLength;
};

struct SearchCase
{
    const char* name;
    const char* text;
    int caret; ///< caret before the first press
    const char* find;
    const char* replacement;
    SearchOptions options;
    std::vector<Step> steps;
    const char* expectedText;
    const char* lastMessage; ///< "" when no message was given
};

const SearchCase SearchCases[] = {
    {"a caret alone is not used: the search starts at the text start", "ab ab ab", 5, "ab", "", {},
        {{Press::FindNext, 0, 2}}, "ab ab ab", ""},
    {"Find Next moves from match to match", "ab ab ab", 0, "ab", "", {},
        {{Press::FindNext, 0, 2}, {Press::FindNext, 3, 2}, {Press::FindNext, 6, 2}}, "ab ab ab",
        ""},
    {"Replace after Find Next replaces the match after the selected one", "ab ab ab", 0, "ab",
        "XYZ", {}, {{Press::FindNext, 0, 2}, {Press::Replace, 3, 3}}, "ab XYZ ab", ""},
    {"repeated Replace walks through the text", "ab ab ab", 0, "ab", "X", {},
        {{Press::Replace, 0, 1}, {Press::Replace, 2, 1}, {Press::Replace, 4, 1}}, "X X X", ""},
    {"a replaced a by aa three times", "aaa", 0, "a", "aa", {}, {{Press::ReplaceAll, 6, 0}},
        "aaaaaa", "\"a\", Replace done: 3 times"},
    {"Replace All after Find Next keeps earlier matches", "ab ab ab ab", 0, "ab", "c", {},
        {{Press::FindNext, 0, 2}, {Press::FindNext, 3, 2}, {Press::ReplaceAll, 8, 0}}, "ab c c c",
        "\"ab\", Replace done: 3 times"},
    {"not found leaves text and selection", "abc", 0, "x", "y", {},
        {{Press::FindNext, 0, 0}, {Press::Replace, 0, 0}, {Press::ReplaceAll, 0, 0}}, "abc",
        "\"x\" not found."},
    {"without match case letters match in any case", "Ab aB", 0, "ab", "", {},
        {{Press::FindNext, 0, 2}, {Press::FindNext, 3, 2}}, "Ab aB", ""},
    {"match case", "Ab ab", 0, "ab", "", {true, false}, {{Press::FindNext, 3, 2}}, "Ab ab", ""},
    {"whole word", "table tab tabs", 0, "tab", "TD", {false, true}, {{Press::ReplaceAll, 8, 0}},
        "table TD tabs", "\"tab\", Replace done: 1 times"},
    {"an empty search text does nothing", "abc", 1, "", "x", {}, {{Press::ReplaceAll, 1, 0}}, "abc",
        ""},
};

TEST(SearchReplaceTest, ButtonPressesFindAndReplaceForward)
{
    for (const SearchCase& c : SearchCases) {
        SCOPED_TRACE(c.name);
        RichEdit editor;
        setColoredText(editor, c.text);
        editor.setCaretPosition(c.caret);
        QString lastMessage;
        for (const Step& step : c.steps) {
            const FindReplaceResult result = FindReplace(editor, c.find, c.replacement,
                step.press != Press::FindNext, step.press == Press::ReplaceAll, c.options);
            if (!result.message.isEmpty())
                lastMessage = result.message;
            EXPECT_EQ(editor.selectionStart(), step.selectionStart);
            EXPECT_EQ(editor.selectionLength(), step.selectionLength);
        }
        EXPECT_EQ(editor.plainText(), QString::fromUtf8(c.expectedText));
        EXPECT_EQ(lastMessage, QString::fromUtf8(c.lastMessage));
    }
}

TEST(SearchReplaceTest, ReplaceAllWithoutMatchSaysOnlyNotFound)
{
    RichEdit editor;
    setColoredText(editor, "abc abc");
    editor.selectRange(0, 3);
    const FindReplaceResult result = FindReplace(editor, "abc", "x", true, false, {});
    ASSERT_TRUE(result.found);
    const FindReplaceResult none = FindReplace(editor, "zzz", "x", true, true, {});
    EXPECT_FALSE(none.found);
    EXPECT_EQ(none.replaced, 0);
    EXPECT_EQ(none.message, "\"zzz\" not found.");
}

TEST(SearchReplaceTest, ReplaceAllFromReplacesOnlyFromItsPosition)
{
    RichEdit editor;
    setColoredText(editor, "x x x x");
    EXPECT_EQ(ReplaceAllFrom(editor, "x", "yx", 0, 3), 2);
    EXPECT_EQ(editor.plainText(), "x x yx yx");
}

TEST(SearchReplaceTest, ReplacementsTakeTheColourOfTheMatchAndTheRestKeepsItsColours)
{
    RichEdit editor;
    setColoredText(editor, "<b>cat</b> cat <i>");
    FindReplace(editor, "cat", "dog", true, true, {});
    QCoreApplication::processEvents();
    EXPECT_EQ(editor.plainText(), "<b>dog</b> dog <i>");
    EXPECT_EQ(test::classLetters(editor), "tttxxxttttxxxxxttt");
}

TEST(SearchReplaceTest, LargeReplaceAllIsOneUndoStepAndFast)
{
    // 2.5 MB with 10,000 matches spread over the text.
    std::string text;
    text.reserve(2600000);
    int matches = 0;
    while (text.size() < 2500000) {
        if (matches < 10000 && text.size() >= static_cast<std::size_t>(matches) * 250) {
            text += "<td class=\"needle\">";
            ++matches;
        }
        text += "<p>Some ordinary text &amp; more words</p>\r\n";
    }
    ASSERT_EQ(matches, 10000);
    RichEdit editor;
    setColoredText(editor, text);
    QElapsedTimer timer;
    timer.start();
    const FindReplaceResult result = FindReplace(editor, "needle", "haystack", true, true, {});
    const qint64 elapsed = timer.elapsed();
    QCoreApplication::processEvents();
    EXPECT_EQ(result.replaced, 10000);
    EXPECT_EQ(editor.plainText().count("haystack"), 10000);
    std::printf("[          ] Replace All of 10000 matches in %zu bytes: %lld ms\n", text.size(),
        static_cast<long long>(elapsed));
    // Well under a second on a desktop; the bound leaves room for slow test machines.
    EXPECT_LT(elapsed, 3000);
    editor.undo();
    EXPECT_TRUE(editor.utf8Text() == text);
    EXPECT_FALSE(editor.isUndoAvailable());
}

} // namespace
} // namespace zenkel
