#include "EngineTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <random>

namespace zenkel::test {
namespace {

void mixedTable(TagTable& table)
{
    fillTable(table,
        {
            {"<TABLE>", "</TABLE>", false, 1, 1, 2, 2},
            {"<TD>", "</TD>", false, 0, 1},
            {"<B>", "</B>", true, 0, 0, 0, 0},
            {"<A>", "</A>", true, 0, 0, 1, 1},
            {"<P>", "</P>"},
        });
    table[1].DoGenerateSComment = true;
    table[1].EnableCounter = true;
}

/// What formatting and compressing may not change: everything but whitespace, the case of
/// letters and the brackets that tidying drops or adds.
std::string essence(std::string_view text)
{
    std::string out;
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '<' || c == '>')
            continue;
        switch (static_cast<unsigned char>(c)) {
        case 0xE4:
            c = '\xC4';
            break; // lower-casing maps Ä, Ö, Ü too
        case 0xF6:
            c = '\xD6';
            break;
        case 0xFC:
            c = '\xDC';
            break;
        default:
            c = upperAscii(c);
        }
        out += c;
    }
    return out;
}

std::string joined(const Lines& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

std::string randomDocument(std::mt19937& rng, std::size_t pieces)
{
    static const char* const Parts[] = {
        "<",
        ">",
        "/",
        " ",
        "  ",
        "\n",
        "\t",
        "\r",
        "a",
        "b",
        "td",
        "TD",
        "table",
        "p",
        "pre",
        "!--",
        "--",
        "%",
        "\"",
        "=",
        "x y",
        "<b>",
        "</b>",
        "<a href=x>",
        "</a>",
        "<td>",
        "</td>",
        "<!-- c -->",
        "<script>",
        "</script>",
        "<%",
        "%>",
        "###",
        "\xC4",
        "\xFF",
    };
    std::uniform_int_distribution<std::size_t> pick(0, std::size(Parts) - 1);
    std::string doc;
    for (std::size_t i = 0; i < pieces; ++i)
        doc += Parts[pick(rng)];
    return doc;
}

TEST(RobustnessTest, RandomInputLosesNothingButWhitespace)
{
    std::mt19937 rng(12345);
    for (int round = 0; round < 300; ++round) {
        const std::string doc = randomDocument(rng, 1 + round % 60);
        SCOPED_TRACE(doc);
        Engine engine;
        mixedTable(engine.style().tags);
        engine.style().options.DoDisableComments = true;
        engine.style().options.LineSize = 5 + round % 30;
        engine.style().options.TagCase = 1 + round % 3;
        engine.style().options.DoPurgeComments = false;
        engine.setSourceText(doc, "t.htm");
        engine.runOperation(Operation::Format);
        const std::string formatted = joined(engine.outputList().toVector());
        EXPECT_EQ(essence(formatted), essence(doc));
        for (const std::string& line : engine.outputList().toVector())
            EXPECT_EQ(line.find('\n'), std::string::npos);

        engine.setSourceText(doc, "t.htm");
        engine.runOperation(Operation::Compress);
        EXPECT_EQ(essence(joined(engine.outputList().toVector())), essence(doc));

        // Formatting again with auto comments and the documentation line on replaces
        // the generated comments instead of piling them up.
        auto generated = [](const Lines& lines) {
            return std::count_if(lines.begin(), lines.end(),
                [](const std::string& line) { return line.find("<!--~") != std::string::npos; });
        };
        engine.style().options.DoDisableComments = false;
        engine.style().options.UseWhileFormat = true;
        engine.setSourceText(doc, "t.htm");
        engine.runOperation(Operation::Format);
        const Lines once = engine.outputList().toVector();
        engine.setSourceText(joined(once), "t.htm");
        engine.runOperation(Operation::Format);
        EXPECT_EQ(generated(engine.outputList().toVector()), generated(once));
    }
}

struct HostileCase
{
    const char* name;
    std::string text;
};

std::string repeat(std::string_view piece, std::size_t times)
{
    std::string out;
    out.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i)
        out += piece;
    return out;
}

// Sanitizer builds run several times slower; they try the same shapes at a quarter of the size.
#ifdef ZENKEL_SANITIZED
constexpr std::size_t HostileScale = 4;
#else
constexpr std::size_t HostileScale = 1;
#endif

TEST(RobustnessTest, HostileInputsFinishQuickly)
{
    constexpr std::size_t s = HostileScale;
    std::string junk((8 << 20) / s, '\0');
    std::mt19937 rng(7);
    for (char& c : junk)
        c = static_cast<char>(rng());
    const HostileCase cases[] = {
        {"empty", ""},
        {"lone <", "<"},
        {"binary junk", junk},
        {"cells that are not simple", repeat("<td>", 400000 / s) + "x</td>"},
        {"cells without an end", repeat("<td><b>", 300000 / s) + "x"},
        {"< without >", repeat("<", 2000000 / s)},
        {"letters after one <", "<" + std::string(4000000 / s, 'a')},
        {"comment starts without end", repeat("<!--", 500000 / s)},
        {"deep nesting",
            repeat("<table><td><b>", 300000 / s) + repeat("</b></td></table>", 300000 / s)},
        {"long text run", repeat("word ", 1000000 / s)},
    };
    const TrimList trimList = {"1<A>", "1</A>", "1<TD>", "1</TD>"};
    for (const HostileCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto start = std::chrono::steady_clock::now();
        Engine engine;
        mixedTable(engine.style().tags);
        engine.setTrimList(&trimList);
        engine.setSourceText(c.text, "t.htm");
        engine.runOperation(Operation::Format);
        engine.runOperation(Operation::Compress);
        engine.setSourceText(c.text, "t.htm");
        engine.TrimHTML();
        const auto seconds
            = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_LT(seconds, 10.0);
    }
}

TEST(RobustnessTest, AbsurdStyleValuesStayBounded)
{
    Engine engine;
    mixedTable(engine.style().tags);
    engine.style().options.Spacing = 2000000000;
    engine.style().tags[1].CommentLength = 2000000000;
    engine.style().tags[1].isContentIndent = 2000000000;
    engine.setSourceText("<table><table><p>x", "t.htm");
    engine.runOperation(Operation::Format);
    std::size_t total = 0;
    for (const std::string& line : engine.outputList().toVector())
        total += line.size();
    EXPECT_LT(total, 200000u);
}

struct LineBreakCase
{
    const char* name;
    int leading;
    int followed;
};

TEST(RobustnessTest, AbsurdLineBreakCountsStayBounded)
{
    // A hand-edited tag.ini once made a single tag ask for two billion empty lines.
    const LineBreakCase cases[] = {
        {"huge leading count", 2000000000, 1},
        {"huge following count", 1, 2000000000},
        {"huge counts on an 'As Text' tag", 2000000000, 2000000000},
    };
    for (const LineBreakCase& c : cases) {
        SCOPED_TRACE(c.name);
        for (int entry : {1, 3}) {
            Engine engine;
            mixedTable(engine.style().tags);
            engine.style().tags[entry].CRLFLeading = c.leading;
            engine.style().tags[entry].CRLFFollowed = c.followed;
            engine.setSourceText("<table><b>x</b></table>", "t.htm");
            engine.runOperation(Operation::Format);
            EXPECT_LT(engine.outputList().size(), 5000u);
            EXPECT_GT(engine.outputList().size(), 100u);
        }
    }
}

} // namespace
} // namespace zenkel::test
