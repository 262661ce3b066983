/// The coloured RTF document, the colour runs and the RTF reader.
#include "editor/ColoredRtf.h"

#include <gtest/gtest.h>

namespace zenkel {
namespace {

const std::string Header = "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fswiss MS "
                           "SansSerif;}{\\f1\\froman\\fcharset2 "
                           "Symbol;}{\\f2\\fmodern Courier "
                           "New;}}\r\n{\\colortbl\\red0\\green0\\blue0;\\red0\\green0\\blue255;"
                           "\\red255\\green0\\blue0;\\red0\\green128\\blue128;}"
                           "\r\n\\deflang1033\\pard\\plain\\f2\\fs18\\cf0 ";

struct RtfCase
{
    const char* name;
    std::string text;
    std::string body; ///< after the header, with the closing brace
};

const RtfCase RtfCases[] = {
    {"empty text", "", "}"},
    {"the worked example", "a<b c=\"d\">e", "\\cf0 a\\cf1 <b c=\\cf2 \"d\"\\cf1 >\\cf0 e}"},
    {"backslash and braces are escaped", "a{b}c\\d", "\\cf0 a\\{b\\}c\\\\d}"},
    {"<!--> is a whole comment", "<!-->x", "\\cf3 <!-->\\cf0 \\cf0 x}"},
    {"<!---> is a whole comment", "<!--->", "\\cf3 <!--->\\cf0 }"},
    {"an open comment runs to the end", "a<!-- b <i>", "\\cf0 a\\cf3 <!-- b <i>\\cf0 }"},
    {"a comment before a tag", "<!--a--><b>", "\\cf3 <!--a-->\\cf0 \\cf1 <b>}"},
    {"a quoted string ends at >", "<a href=\"x>y\">", "\\cf1 <a href=\\cf2 \"x\\cf1 >\\cf0 y\">}"},
    {"a < ends a tag and starts the next", "<b<i>", "\\cf1 <b\\cf1 <i>}"},
    {"a < ends a quoted string", "<a \"x<b>", "\\cf1 <a \\cf2 \"x\\cf1 \\cf1 <b>}"},
    {"the tag goes on after the quote", "<a b=\"c\" d>", "\\cf1 <a b=\\cf2 \"c\"\\cf1  d>}"},
    {"an open quote ends with the text", "<a \"x", "\\cf1 <a \\cf2 \"x\\cf1 }"},
    {"an open tag ends with the text", "x<a b", "\\cf0 x\\cf1 <a b}"},
    {"single quotes start nothing", "<a b='>'>", "\\cf1 <a b='>\\cf0 '>}"},
    {"CR LF is one line break", "a\r\nb", "\\cf0 a\r\n\\par b}"},
    {"LF CR is two line breaks", "a\n\rb", "\\cf0 a\r\n\\par \r\n\\par b}"},
    {"lone CR and lone LF", "a\rb\nc", "\\cf0 a\r\n\\par b\r\n\\par c}"},
    {"a line break inside a tag", "<a\r\nb>", "\\cf1 <a\r\n\\par b>}"},
    {"tabs and high bytes are copied", "\t\xE4\xC3\xBC", "\\cf0 \t\xE4\xC3\xBC}"},
    {"> outside a tag is text", "a>b", "\\cf0 a>b}"},
};

TEST(ColoredRtfTest, BuildsTheDocumentOfEachCase)
{
    const ColorSet modeOne;
    for (const RtfCase& c : RtfCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(BuildColoredRtf(c.text, modeOne), Header + c.body);
    }
}

TEST(ColoredRtfTest, ColourTableFollowsTheColourSet)
{
    ColorSet colors;
    colors.TextCol = RgbColor(1, 2, 3);
    colors.TagCol = RgbColor(4, 5, 6);
    colors.QuotedCol = RgbColor(7, 8, 9);
    colors.CommentCol = 12632256;
    const std::string rtf = BuildColoredRtf("x", colors);
    EXPECT_NE(
        rtf.find("{\\colortbl\\red1\\green2\\blue3;\\red4\\green5\\blue6;\\red7\\green8\\blue9;"
                 "\\red192\\green192\\blue192;}"),
        std::string::npos);
}

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
    {"the worked example", "a<b c=\"d\">e", "xtttttqqqtx"},
    {"comment then text", "<!--a-->b", "ccccccccx"},
    {"open comment, whole text", "a<!--b", "xccccc"},
    {"open comment left unpainted", "a<b><!--b", "xttt.....", true},
    {"closed comment painted when asked", "<!--b--><i>", "ccccccccttt", true},
    {"quote ends at >", "<a \"x>y\">", "tttqqtxxx"},
    {"tags back to back", "<b<i>", "ttttt"},
};

TEST(ColoredRtfTest, RunsGiveEachCharacterItsClass)
{
    for (const RunCase& c : RunCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(lettersOf(c.text, ComputeColorRuns(c.text, c.leaveOpenComment)), c.letters);
    }
}

TEST(ColoredRtfTest, RunsAreMergedAndCoverTheText)
{
    const std::string text = "<!--a--><!--b-->x";
    const std::vector<ColorRun> runs = ComputeColorRuns(text);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0], (ColorRun {0, 16, ColorClass::Comment}));
    EXPECT_EQ(runs[1], (ColorRun {16, 1, ColorClass::Text}));
}

TEST(ColoredRtfTest, ReadingTheDocumentGivesBackTextAndClasses)
{
    ColorSet colors;
    SetColorMode(colors, 3);
    for (const RtfCase& c : RtfCases) {
        SCOPED_TRACE(c.name);
        const RtfContent content = ReadColoredRtf(BuildColoredRtf(c.text, colors));
        ASSERT_TRUE(content.ok);
        // Line breaks come back as CR LF; everything else as it was.
        std::string expectedText;
        std::string expectedClasses;
        std::string classes;
        FillColorClasses(c.text, classes);
        for (std::size_t i = 0; i < c.text.size(); ++i) {
            const char ch = c.text[i];
            if (ch == '\r' || ch == '\n') {
                if (ch == '\n' && i > 0 && c.text[i - 1] == '\r')
                    continue;
                expectedText += "\r\n";
                expectedClasses.append(2, classes[i]);
            } else {
                expectedText += ch;
                expectedClasses += classes[i];
            }
        }
        EXPECT_EQ(content.text, expectedText);
        EXPECT_EQ(content.classes, expectedClasses);
        EXPECT_EQ(content.colorTable,
            (std::vector<ColorValue> {
                colors.TextCol, colors.TagCol, colors.QuotedCol, colors.CommentCol}));
    }
}

TEST(ColoredRtfTest, ReaderTakesHexBytesAndRefusesOtherInput)
{
    const RtfContent content
        = ReadColoredRtf("{\\rtf1{\\colortbl;}\\cf9 a\\'e4\\tab\\unknown12 b}");
    ASSERT_TRUE(content.ok);
    EXPECT_EQ(content.text, "a\xE4\tb");
    EXPECT_EQ(content.classes, std::string(4, '\0'));
    EXPECT_FALSE(ReadColoredRtf("plain text").ok);
}

struct ModeCase
{
    int mode;
    ColorSet expected;
};

TEST(ColoredRtfTest, ColourModesSetTheFixedColours)
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
