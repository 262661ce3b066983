/// The colour classes of a text and the colour modes.
#include "text/ColorClasses.h"

#include <gtest/gtest.h>

namespace zenkel {
namespace {

struct RunCase
{
    const char* name;
    std::string text;
    std::string letters; ///< x text, t tag, q quoted, c comment, . unpainted
    bool leaveOpenComment = false;
};

std::string lettersOf(const std::string& text, const std::vector<ColorRun>& runs)
{
    std::string letters(text.size(), '.');
    for (const ColorRun& run : runs)
        for (std::size_t i = run.start; i < run.start + run.length; ++i)
            letters[i] = "xtqc"[static_cast<int>(run.colorClass)];
    return letters;
}

const RunCase RunCases[] = {
    {"empty text", "", ""},
    {"the worked example", "a<b c=\"d\">e", "xtttttqqqtx"},
    {"braces and backslash are text", "a{b}c\\d", "xxxxxxx"},
    {"<!--> is a whole comment", "<!-->x", "cccccx"},
    {"<!---> is a whole comment", "<!--->", "cccccc"},
    {"comment then text", "<!--a-->b", "ccccccccx"},
    {"a comment before a tag", "<!--a--><b>", "ccccccccttt"},
    {"an open comment runs to the end", "a<!-- b <i>", "xcccccccccc"},
    {"open comment left unpainted", "a<b><!--b", "xttt.....", true},
    {"closed comment painted when asked", "<!--b--><i>", "ccccccccttt", true},
    {"a quoted string ends at >", "<a href=\"x>y\">", "ttttttttqqtxxx"},
    {"a < ends a tag and starts the next", "<b<i>", "ttttt"},
    {"a < ends a quoted string", "<a \"x<b>", "tttqqttt"},
    {"the tag goes on after the quote", "<a b=\"c\" d>", "tttttqqqttt"},
    {"an open quote ends with the text", "<a \"x", "tttqq"},
    {"an open tag ends with the text", "x<a b", "xtttt"},
    {"single quotes start nothing", "<a b='>'>", "tttttttxx"},
    {"line breaks are text", "a\r\nb\n\rc", "xxxxxxx"},
    {"a line break inside a tag", "<a\r\nb>", "tttttt"},
    {"tabs and high bytes are text", "\t\xE4\xC3\xBC", "xxxx"},
    {"> outside a tag is text", "a>b", "xxx"},
};

TEST(ColorClassesTest, RunsGiveEachCharacterItsClass)
{
    for (const RunCase& c : RunCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(lettersOf(c.text, ComputeColorRuns(c.text, c.leaveOpenComment)), c.letters);
        if (c.leaveOpenComment)
            continue;
        std::string classes;
        FillColorClasses(c.text, classes);
        std::string letters;
        for (char cls : classes)
            letters += "xtqc"[static_cast<int>(cls)];
        EXPECT_EQ(letters, c.letters);
    }
}

TEST(ColorClassesTest, RunsAreMergedAndCoverTheText)
{
    const std::string text = "<!--a--><!--b-->x";
    const std::vector<ColorRun> runs = ComputeColorRuns(text);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0], (ColorRun {0, 16, ColorClass::Comment}));
    EXPECT_EQ(runs[1], (ColorRun {16, 1, ColorClass::Text}));
}

struct ModeCase
{
    int mode;
    ColorSet expected;
};

TEST(ColorClassesTest, ColourModesSetTheFixedColours)
{
    constexpr ColorValue Silver = 12632256;
    const ModeCase cases[] = {
        {1, {0, 0xFF0000, 0x0000FF, 0x808000}},
        {2, {Silver, 0xFF0000, Silver, Silver}},
        {3, {Silver, Silver, 0x0000FF, Silver}},
        {4, {0, Silver, Silver, Silver}},
        {5, {Silver, Silver, Silver, 0x808000}},
    };
    for (const ModeCase& c : cases) {
        SCOPED_TRACE(c.mode);
        ColorSet colors {1, 2, 3, 4};
        EXPECT_TRUE(SetColorMode(colors, c.mode));
        EXPECT_EQ(colors, c.expected);
        EXPECT_EQ(ColorModeButtons[static_cast<std::size_t>(c.mode - 1)].mode, c.mode);
    }
    ColorSet colors {1, 2, 3, 4};
    EXPECT_FALSE(SetColorMode(colors, 0));
    EXPECT_FALSE(SetColorMode(colors, 6));
    EXPECT_EQ(colors, (ColorSet {1, 2, 3, 4}));
    EXPECT_EQ(ColorModeButtons[3].hint, "<ALT><4>: Emphasize floating text");
}

} // namespace
} // namespace zenkel
