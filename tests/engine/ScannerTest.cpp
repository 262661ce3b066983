#include "EngineTestUtil.h"
#include "base/SafeFile.h"

#include <gtest/gtest.h>

namespace zenkel::test {
namespace {

void standardTable(TagTable& table)
{
    fillTable(table,
        {
            {"<HTML>", "</HTML>"},
            {"<P>", "</P>"},
            {"<TABLE>", "</TABLE>", false, 0, 1, 2, 2},
            {"<TR>", "</TR>", false, 0, 1},
            {"<TD>", "</TD>", false, 0, 1},
            {"<B>", "</B>", true, 0, 0, 0, 0},
            {"<H1>", "</H>", true, 0, 0, 1, 1},
            {"<BR>", "", true, 0, 0, 0, 0},
        });
}

struct ScanCase
{
    const char* name;
    std::string input;
    Lines tokens;
    Lines blocks;
    int tagCase = 1;
};

const ScanCase ScanCases[] = {
    {"worked example", "<html>\n<!-- note -->\n<script>\n x=1;\n</script>\n</html>\n",
        {"<HTML>", "###<!--:1", "###<SCRIPT>:2", "</HTML> "},
        {"###<!--:1", "<!-- note -->", "###<SCRIPT>:2", "<script>", " x=1;", "</script>"}},
    {"empty text", "", {}, {}},
    {"single character after the last tag", "<P>x", {"<P>", "x"}, {}},
    {"lone < at the end", "a<", {"a", "<>"}, {}},
    {"a < in running text", "a < b and c > d", {"a ", "<b and c> ", "d"}, {}},
    {"text before a block is its own token", "x <pre>y</pre>", {"x ", "###<PRE>:1"},
        {"###<PRE>:1", "<pre>y</pre>"}},
    {"text before a simple cell", "x<td><img src=a.gif></td>", {"x", "###<TD>:1"},
        {"###<TD>:1", "<TD><IMG src=a.gif></TD>"}},
    {"auto comment leaves no trace", "<!--~ old ~-->a<!-- c -->", {"a", "###<!--:1"},
        {"###<!--:1", "<!-- c -->"}},
    {"block keeps tabs, blanks and lines", "<PRE>\ta  b\n  c\n \n</pre >", {"###<PRE>:1"},
        {"###<PRE>:1", "<PRE>\ta  b", "  c", "", "</pre >"}},
    {"block end found without regard to case", "<style>p{}</STYLE>x", {"###<STYLE>:1", "x"},
        {"###<STYLE>:1", "<style>p{}</STYLE>"}},
    {"block without end runs to the end of the text", "<!-- open\nrest\n", {"###<!--:1"},
        {"###<!--:1", "<!-- open", "rest"}},
    {"server script and textarea", "<%= x %><textarea>\n a\n</textarea>",
        {"###<%:1", "###<TEXTAREA>:2"},
        {"###<%:1", "<%= x %>", "###<TEXTAREA>:2", "<textarea>", " a", "</textarea>"}},
    {"as-text tags stay in the text", "<p>Some  <b>bold</b>\n text</p>",
        {"<P>", "Some <B>bold</B> text", "</P>"}, {}},
    {"as-text heading closes on </H2> and breaks the text", "x<h1>T</h2>y",
        {"x", "<H1>T</H2>", "y"}, {}},
    {"tag followed by a blank keeps one", "<p> x", {"<P> ", "x"}, {}},
    {"no blank after a layout tag", "<td>x</td> y", {"<TD>", "x", "</TD>", "y"}, {}},
    {"brackets tidied", "< a  href=x >", {"<a href=x>"}, {}},
    {"doubled brackets tidied", "<<p>>", {"<P>", ">"}, {}},
    {"tidying makes no generated comment start", "<\t!--~ x>kept", {"< !--~ x>", "kept"}, {}},
    {"tidying makes no comment start", "<<!-- x> kept", {"<<!-- x> ", "kept"}, {}},
    {"lower case converts umlauts in the name only",
        "<\xC4"
        "B title=\xD6>",
        {"<\xE4"
         "b title=\xD6>"},
        {}, 2},
    {"preserve case", "<Table Width=3>", {"<Table Width=3>"}, {}, 3},
    {"an XML declaration keeps its case in upper case", "<?xml version=\"1.0\"?><p>",
        {"<?xml version=\"1.0\"?>", "<P>"}, {}, 1},
    {"an XML declaration keeps its case in lower case", "<?XmL version=\"1.0\"?><P>",
        {"<?XmL version=\"1.0\"?>", "<p>"}, {}, 2},
    {"an XML declaration keeps its case when case is preserved", "<?xml?>", {"<?xml?>"}, {}, 3},
    {"tabs and LFs inside a tag become blanks", "<table\n\twidth=3>", {"<TABLE width=3>"}, {}},
    {"tabs in text become blanks", "a\t\tb", {"a b"}, {}},
    {"blanks collapse across steps of eight characters",
        "abcdefg  hijklmnopqrstuv  w<table width=1234567  border=0>",
        {"abcdefg hijklmnopqrstuv w", "<TABLE width=1234567 border=0>"}, {}},
    {"leading line breaks dropped", "\n\n  text\n", {"text "}, {}},
    {"simple cell", "<td><img src=a.gif></td>", {"###<TD>:1"},
        {"###<TD>:1", "<TD><IMG src=a.gif></TD>"}},
    {"empty cell is simple", "<TD></TD>", {"###<TD>:1"}, {"###<TD>:1", "<TD></TD>"}},
    {"cell with text is not simple", "<td>x</td>", {"<TD>", "x", "</TD>"}, {}},
    {"cell with a blank after its image is not simple", "<td><img src=a.gif>\n</td>",
        {"<TD>", "<IMG src=a.gif> ", "</TD>"}, {}},
    {"tab before a cell's attribute ends the tag name", "<td>\t<img\tsrc=a.gif></td>",
        {"###<TD>:1"}, {"###<TD>:1", "<TD> <IMG src=a.gif></TD>"}},
    {"text beginning with ### is text", "### not a marker<p>", {"### not a marker", "<P>"}, {}},
    {"block content line beginning with ### stays in its block", "<pre>\n###<PRE>:9\n</pre>",
        {"###<PRE>:1"}, {"###<PRE>:1", "<pre>", "###<PRE>:9", "</pre>"}},
    {"marker numbers count all kinds", "<!--a--><pre></pre><!--b-->",
        {"###<!--:1", "###<PRE>:2", "###<!--:3"},
        {"###<!--:1", "<!--a-->", "###<PRE>:2", "<pre></pre>", "###<!--:3", "<!--b-->"}},
};

TEST(ScannerTest, ProducesTokensAndBlocks)
{
    for (const ScanCase& c : ScanCases) {
        SCOPED_TRACE(c.name);
        Engine engine;
        standardTable(engine.style().tags);
        engine.style().options.TagCase = c.tagCase;
        engine.setSourceText(c.input, "t.htm");
        engine.ParseHTML();
        EXPECT_EQ(tokensOf(engine), c.tokens);
        EXPECT_EQ(blockLinesOf(engine), c.blocks);
    }
}

TEST(ScannerTest, OnlyMarkerLinesAreFlagged)
{
    Engine engine;
    standardTable(engine.style().tags);
    engine.setSourceText("###<!--:1<!--x-->", "t.htm");
    engine.ParseHTML();
    ASSERT_EQ(engine.tokenList().size(), 2u);
    EXPECT_FALSE(engine.tokenList().isMarker(0));
    EXPECT_TRUE(engine.tokenList().isMarker(1));
}

TEST(ScannerTest, AsTextStartTagWithLeadingBreakStartsNewToken)
{
    Engine engine;
    fillTable(engine.style().tags, {{"<A>", "</A>", true, 0, 0, 1, 1}});
    engine.setSourceText("before <a href=x>link</a>after", "t.htm");
    engine.ParseHTML();
    EXPECT_EQ(tokensOf(engine), (Lines {"before ", "<A href=x>link</A>", "after"}));
}

class RecordingSink : public ProgressSink
{
public:
    void SetStatus(const std::string& text) override { statuses.push_back(text); }
    void SetProgressRange(int bar, long long maximum) override
    {
        ranges.emplace_back(bar, maximum);
    }
    void handlePendingMessages() override { ++pumps; }
    Lines statuses;
    std::vector<std::pair<int, long long>> ranges;
    int pumps = 0;
};

TEST(ScannerTest, ReportsStatusAndPumpsThrottled)
{
    RecordingSink sink;
    Engine engine(sink);
    engine.setSourceText(std::string(100000, 'x'), "big.htm");
    engine.ParseHTML();
    EXPECT_EQ(sink.statuses, Lines {"Parsing: big.htm"});
    ASSERT_EQ(sink.ranges.size(), 1u);
    EXPECT_EQ(sink.ranges[0], std::make_pair(0, 100000LL));
    EXPECT_GT(sink.pumps, 0);
    EXPECT_LT(sink.pumps, 1000);

    sink.statuses.clear();
    engine.setSelectionProcessing(true, "  ");
    engine.ParseHTML();
    EXPECT_TRUE(sink.statuses.empty());
}

TEST(ScannerTest, WritesDiagnosticFiles)
{
    Engine engine;
    standardTable(engine.style().tags);
    engine.setSourceText("<p>a<!-- c\n d -->", "t.htm");
    engine.ParseHTML();
    const std::string dir = ::testing::TempDir();
    std::string error;
    ASSERT_TRUE(engine.writeDiagnosticFiles(dir, &error)) << error;
    auto read = [&](const char* name) {
        std::string bytes;
        if (FILE* f = std::fopen((dir + "/" + name).c_str(), "rb")) {
            char buffer[256];
            std::size_t n;
            while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
                bytes.append(buffer, n);
            std::fclose(f);
        }
        return bytes;
    };
    EXPECT_EQ(read("0tmp_htm.htm"), "<P>\r\na\r\n###<!--:1\r\n");
    EXPECT_EQ(read("0tmp_nftags.htm"), "###<!--:1\r\n<!-- c\r\n d -->\r\n");
}

TEST(TextListTest, EntriesOfTheListItselfSurviveItsGrowth)
{
    // Each add and appendLines copies from the list's own storage while the list grows.
    TextList list;
    list.add("abc");
    for (int i = 0; i < 12; ++i)
        list.add(list[list.size() - 1].substr(0, 3));
    list.appendLines(list[0]);
    list.closeLines();
    EXPECT_EQ(list.size(), 14u);
    EXPECT_EQ(list.back(), "abc");
    EXPECT_EQ(list.characterCount(), 42u);
    // An entry built in place from pieces of the list, the empty one included.
    for (int i = 0; i < 40; ++i)
        list.appendToOpen(list[i % 14]);
    EXPECT_EQ(list.openLength(), 120u);
    list.closeEntry();
    list.closeEntry();
    EXPECT_EQ(list.size(), 16u);
    EXPECT_EQ(list[14].substr(114), "abcabc");
    EXPECT_EQ(list.back(), "");
}

TEST(TextListTest, ListKeepsItsLineEndAfterEveryEntry)
{
    for (const std::string_view lineEnd : {"", "\n", "\r\n"}) {
        SCOPED_TRACE(testing::PrintToString(lineEnd));
        TextList list;
        list.setLineEnd(lineEnd);
        list.add("<p>");
        list.appendLines("one  \n\ntwo \n \t");
        list.dropTrailingBlanks([](char c) { return c == ' ' || c == '\t'; });
        list.appendLines(list[1]); // from the list itself
        list.closeLines();
        list.appendToOpen("three   ");
        list.truncateOpen(5);
        list.closeEntry();
        list.appendToOpen("open");
        const std::vector<std::string> lines {"<p>", "one  ", "", "twoone  ", "three"};
        EXPECT_EQ(list.toVector(), lines);
        EXPECT_EQ(list.joined(), joinLines(lines, lineEnd));
        EXPECT_EQ(list.characterCount(), 25u); // the open entry counts
        list.clear();
        list.add("x");
        EXPECT_EQ(list.joined(), joinLines(std::vector<std::string> {"x"}, lineEnd));
    }
}

} // namespace
} // namespace zenkel::test
