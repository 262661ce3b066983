#include "EngineTestUtil.h"

#include <gtest/gtest.h>

#include <functional>

namespace zenkel::test {
namespace {

/// TABLE with an empty line before and after, TR and TD indenting their content, B 'As Text'.
void exampleTable(TagTable& table)
{
    fillTable(table,
        {
            {"<TABLE>", "</TABLE>", false, 0, 1, 2, 2},
            {"<TR>", "</TR>", false, 0, 1},
            {"<TD>", "</TD>", false, 0, 1},
            {"<B>", "</B>", true, 0, 0, 0, 0},
            {"<P>", "</P>"},
            {"<UL>", "</UL>", false, 1, 1, 3, 1},
            {"<PRE>", "</PRE>"},
        });
}

Lines format(const std::string& input, const std::function<void(Style&)>& adjust = {})
{
    Engine engine;
    engine.setClock(fixedClock);
    engine.setTimeSeparator(':');
    exampleTable(engine.style().tags);
    if (adjust)
        adjust(engine.style());
    engine.setSourceText(input, "t.htm");
    engine.runOperation(Operation::Format);
    return engine.outputList().toVector();
}

TEST(FormatterTest, WorkedExample)
{
    EXPECT_EQ(format("<table><tr><td>Hello <b>World</b></td></tr></table>"),
        (Lines {"", "<TABLE>", "    <TR>", "\t<TD>", "\t    Hello <B>World</B>", "\t</TD>",
            "    </TR>", "</TABLE>", ""}));
}

struct WrapCase
{
    const char* name;
    std::string text;
    int lineSize;
    std::string breakExcluder;
    Lines expected;
};

const WrapCase WrapCases[] = {
    {"cut at the last blank within the line size", "The quick brown fox", 10, "\"",
        {"The quick", "brown fox"}},
    {"no blank beyond the line size: no cut", "aaaa bbbbbbbbbb", 10, "\"", {"aaaa bbbbbbbbbb"}},
    {"exactly the line size stays", "aaaa bbbbb", 10, "\"", {"aaaa bbbbb"}},
    {"no blank: never cut", std::string(300, 'x'), 10, "\"", {std::string(300, 'x')}},
    {"no blank within: cut at the first beyond", "aaaaaaaaaaaaa bb cc", 10, "\"",
        {"aaaaaaaaaaaaa", "bb cc"}},
    {"quotes protect their blanks", "ab <IMG alt=\"a b c d e\"> c", 10, "\"",
        {"ab", "<IMG alt=\"a b c d e\">", "c"}},
    {"<> protects tags but not quotes", "ab <IMG alt=x y=z> \"q r s t u\" v", 10, "<>",
        {"ab", "<IMG alt=x y=z>", "\"q r s t", "u\" v"}},
    {"a cut needs an allowed blank beyond the line size", "a b c d e f g h i j k", 3, "\"",
        {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j k"}},
    {"line size 0 puts each word on a line", "ab cd ef", 0, "\"", {"ab", "cd", "ef"}},
    {"a trailing blank is no reason to cut", "abcde fghij\n", 10, "\"", {"abcde fghij"}},
    {"the last word may cross the line size", "abcd efghijk\n", 10, "\"", {"abcd efghijk"}},
    {"UTF-8 text counts characters", "Жили были дед и баба", 20, "\"", {"Жили были дед и баба"}},
    {"UTF-8 text cuts by characters", "Жили были дед и баба", 10, "\"",
        {"Жили были", "дед и баба"}},
    {"an open quote protects to the end", "aa bb \"cc dd ee ff gg", 5, "\"",
        {"aa", "bb \"cc dd ee ff gg"}},
    {"a blank at the line size fits", "abcd efgh ij", 5, "\"", {"abcd", "efgh ij"}},
    {"UTF-8 characters around the line end", "ЖЖЖЖ ЖЖЖЖЖЖ ЖЖ", 8, "\"", {"ЖЖЖЖ", "ЖЖЖЖЖЖ ЖЖ"}},
    {"tags around the line end", "ab <B x y>cd ef</B> gh ij", 8, "<>",
        {"ab", "<B x y>cd", "ef</B>", "gh ij"}},
    {"text that is not valid UTF-8 counts bytes", "ЖЖЖ ЖЖЖ ЖЖЖ\xFF", 10, "\"",
        {"ЖЖЖ", "ЖЖЖ ЖЖЖ\xFF"}},
};

TEST(FormatterTest, WrapsText)
{
    for (const WrapCase& c : WrapCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(format(c.text,
                      [&](Style& s) {
                          s.options.LineSize = c.lineSize;
                          s.options.BreakExcluder = c.breakExcluder;
                      }),
            c.expected);
    }
}

TEST(FormatterTest, TableChangedAfterTheScanIsLookedUpAgain)
{
    // The scan's lookups of the tags are only reused while the table keeps its keys.
    Engine engine;
    exampleTable(engine.style().tags);
    engine.setSourceText("<table><tr><td>a <b>b</b></td></tr></table>", "t.htm");
    engine.ParseHTML();
    fillTable(engine.style().tags, {{"<TD>", "</TD>", false, 0, 1}});
    engine.FormatHTML();
    // Run by the old table, lines by the new: TABLE and TR have no entry any more.
    EXPECT_EQ(engine.outputList().toVector(),
        (Lines {"<TABLE>", "<TR>", "<TD>", "    a <B>b</B>", "</TD>", "</TR>", "</TABLE>"}));
}

TEST(FormatterTest, TagLinesAreNeverWrapped)
{
    const std::string longTag = "<P class=\"" + std::string(100, 'a') + "\" id=x y=z>";
    const std::string endRun = "</B> and more text after the end tag goes on and on";
    const Lines out = format(longTag + endRun, [](Style& s) { s.options.LineSize = 20; });
    ASSERT_GE(out.size(), 2u);
    EXPECT_EQ(out[0], longTag);
    EXPECT_EQ(out.back(), endRun);
}

TEST(FormatterTest, LineBreaksAndIndentation)
{
    // CRLFLeading 3 gives two empty lines; isSelfIndent moves the tag's own line.
    EXPECT_EQ(format("<p>a</p><ul>b</ul>"),
        (Lines {"<P>", "a", "</P>", "", "", "    <UL>", "\tb", "    </UL>"}));
    // A tag missing from the table stands alone and changes nothing.
    EXPECT_EQ(format("<tr><foo>x</foo></tr>"),
        (Lines {"<TR>", "    <FOO>", "    x", "    </FOO>", "</TR>"}));
    // Stray end tags never drive the level below 0.
    EXPECT_EQ(format("</tr></tr><tr>x"), (Lines {"</TR>", "</TR>", "<TR>", "    x"}));
    // Spacing 0 means no indentation; Spacing 3 at level 3 is one TAB and one blank.
    EXPECT_EQ(format("<tr>x", [](Style& s) { s.options.Spacing = 0; }), (Lines {"<TR>", "x"}));
    EXPECT_EQ(format("<tr><tr><tr>x", [](Style& s) { s.options.Spacing = 3; }),
        (Lines {"<TR>", "   <TR>", "      <TR>", "\t x"}));
    // Without TABs the same levels are blanks only.
    EXPECT_EQ(format("<tr><tr><tr>x",
                  [](Style& s) {
                      s.options.Spacing = 3;
                      s.options.IndentWithTabs = false;
                  }),
        (Lines {"<TR>", "   <TR>", "      <TR>", "         x"}));
}

TEST(FormatterTest, BlocksAreCopiedUnchanged)
{
    EXPECT_EQ(format("<tr><pre>\n  a  \n\tb</pre><!-- c --></tr>"),
        (Lines {"<TR>", "<pre>", "  a", "\tb</pre>", "<!-- c -->", "</TR>"}));
    // A simple cell is indented and takes the TD entry's line breaks.
    EXPECT_EQ(format("<tr><td><img src=a.gif></td></tr>"),
        (Lines {"<TR>", "    <TD><IMG src=a.gif></TD>", "</TR>"}));
    // A text token that looks like a marker line is still text.
    EXPECT_EQ(format("<p>###x</p>"), (Lines {"<P>", "###x", "</P>"}));
}

struct OneLineCase
{
    const char* name;
    std::string input;
    Lines expected;
    int lineSize = 80;
};

const OneLineCase OneLineCases[] = {
    {"text", "<p>Short.</p>", {"<P>Short.</P>"}},
    {"blanks around the text dropped", "<p> \n  Short text\n</p>", {"<P>Short text</P>"}},
    {"no content", "<p></p>", {"<P></P>"}},
    {"a run of 'As Text' tags", "<p><b>bold</b> x </p>", {"<P><B>bold</B> x</P>"}},
    {"exactly the line size", "<p>abc</p>", {"<P>abc</P>"}, 10},
    {"longer than the line size", "<p>abcd efgh</p>", {"<P>", "abcd efgh", "</P>"}, 10},
    {"characters of UTF-8 text", "<p>Жили были</p>", {"<P>Жили были</P>"}, 16},
    {"indented at the tag's level", "<tr><p>x</p></tr>", {"<TR>", "    <P>x</P>", "</TR>"}},
    {"a 'Stand Alone' tag inside", "<p>a<tr>b</tr></p>",
        {"<P>", "a", "<TR>", "    b", "</TR>", "</P>"}},
    {"a comment inside", "<p>a<!-- c --></p>", {"<P>", "a", "<!-- c -->", "</P>"}},
    {"two texts", "<p>a<!-- c -->b</p>", {"<P>", "a", "<!-- c -->", "b", "</P>"}},
    {"no end tag", "<p>a<p>b", {"<P>", "a", "<P>", "b"}},
    {"another end tag", "<p>a</tr>", {"<P>", "a", "</TR>"}},
};

TEST(FormatterTest, ShortElementsOnOneLine)
{
    for (const OneLineCase& c : OneLineCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(format(c.input,
                      [&](Style& s) {
                          s.tags[5].KeepOnOneLine = true;
                          s.options.LineSize = c.lineSize;
                      }),
            c.expected);
    }
    // Line breaks and auto comments around the element stay; the level is as before after it.
    EXPECT_EQ(format("<ul><p>x</p>y</ul>",
                  [](Style& s) {
                      s.tags[5].KeepOnOneLine = true;
                      s.tags[5].CRLFLeading = 2;
                      s.tags[5].isContentIndent = 2;
                      s.tags[5].DoGenerateEComment = true;
                      s.tags[5].CommentLength = 20;
                  }),
        (Lines {
            "", "", "    <UL>", "", "\t<P>x</P>", "\t<!--~**********~-->", "\ty", "    </UL>"}));
}

void commentedTable(Style& s)
{
    RecTAGInfo& table = s.tags[1];
    table.DoGenerateSComment = true;
    table.DoGenerateEComment = true;
    table.StartComment = "Table #";
    table.EndComment = "End #";
    table.EnableCounter = true;
}

TEST(FormatterTest, AutoComments)
{
    EXPECT_EQ(format("<table></table>",
                  [](Style& s) {
                      s.tags[1].DoGenerateSComment = true;
                      s.tags[1].StartComment = "Table";
                  }),
        (Lines {"", "<!--~************ Table ************~-->", "<TABLE>", "</TABLE>", ""}));

    const Lines nested = format("<table><table><table></table></table></table>", commentedTable);
    Lines comments;
    for (const std::string& line : nested) {
        if (line.find("<!--~") != std::string::npos)
            comments.push_back(line.substr(line.find_first_not_of("\t ")));
    }
    EXPECT_EQ(comments,
        (Lines {"<!--~*********** Table #1 ***********~-->",
            "<!--~*********** Table #2 ***********~-->",
            "<!--~*********** Table #3 ***********~-->",
            "<!--~************ End #3 ************~-->",
            "<!--~************ End #2 ************~-->",
            "<!--~************ End #1 ************~-->"}));

    // Empty text: only the fill; disabled comments: nothing; no fill when too short.
    EXPECT_EQ(format("<p>", [](Style& s) { s.tags[5].DoGenerateSComment = true; }),
        (Lines {"<!--~******************************~-->", "<P>"}));
    EXPECT_EQ(format("<table>",
                  [](Style& s) {
                      commentedTable(s);
                      s.options.DoDisableComments = true;
                  }),
        (Lines {"", "<TABLE>"}));
    EXPECT_EQ(format("<p>",
                  [](Style& s) {
                      s.tags[5].DoGenerateSComment = true;
                      s.tags[5].StartComment = "A long comment text";
                      s.tags[5].CommentLength = 20;
                      s.tags[5].CIndent = false;
                  }),
        (Lines {"<!--~ A long comment text ~-->", "<P>"}));
}

TEST(FormatterTest, FormattingAgainChangesNothing)
{
    const std::string input
        = "<table><tr><td>Hello <b>World</b> and a long text that needs to be wrapped because it "
          "is long</td></tr></table><p>x<pre>\n a\n</pre>";
    auto withDocs = [](Style& s) {
        commentedTable(s);
        s.options.UseWhileFormat = true;
        s.options.LineSize = 30;
    };
    const Lines once = format(input, withDocs);
    std::string again;
    for (const std::string& line : once)
        again += line + "\n";
    EXPECT_EQ(format(again, withDocs), once);
    EXPECT_EQ(once[0],
        "<!--~ Unknown User, DATE: 2026-12-07, TIME: 09:05 pm, STYLE: , "
        "Zenkel HTML v3.5d  ~-->");
}

struct BomCase
{
    const char* name;
    Operation operation;
    std::string input;
    Lines expected;
    bool docLine = false;
};

TEST(EngineRunTest, ByteOrderMarkStaysInFront)
{
    const std::string bom = "\xEF\xBB\xBF";
    const BomCase cases[] = {
        {"format", Operation::Format, bom + "<?xml version=\"1.0\"?>\n<p>x</p>\n",
            {bom + "<?xml version=\"1.0\"?>", "<P>", "x", "</P>"}},
        {"format with the documentation line", Operation::Format, bom + "<p>x</p>",
            {bom + "<!--~ Zenkel HTML v3.5d  ~-->", "<P>", "x", "</P>"}, true},
        {"compress", Operation::Compress, bom + "<p>x</p>\n<p>y</p>\n", {bom + "<P>x</P><P>y</P>"}},
        {"compress with a block first", Operation::Compress, bom + "<pre>\nx\n</pre>\n<p>y",
            {bom + "<pre>", "x", "</pre>", "<P>y"}},
        {"trim", Operation::Trim, bom + "\n<a> x </a>\n", {bom, "<a>x</a>"}},
        {"nothing but the mark", Operation::Format, bom, {bom}},
        {"trimming nothing but the mark", Operation::Trim, bom, {bom}},
        {"a mark later in the text is text", Operation::Compress, "x" + bom, {"x" + bom}},
    };
    const TrimList trimList {"1<A>", "1</A>"};
    // The same result whether the engine keeps its source text or lets it go after the scan.
    for (const BomCase& c : cases) {
        for (const bool keep : {true, false}) {
            SCOPED_TRACE(std::string(c.name) + (keep ? "" : ", source text let go"));
            Engine engine;
            exampleTable(engine.style().tags);
            StyleOptions& options = engine.style().options;
            options.UseWhileFormat = c.docLine;
            options.DoIncludeUser = options.DoIncludeDate = options.DoIncludeTime = false;
            options.DoIncludeStyle = false;
            engine.setTrimList(&trimList);
            engine.setKeepSourceText(keep);
            engine.setSourceText(c.input, "t.htm");
            ASSERT_TRUE(engine.runOperation(c.operation));
            EXPECT_EQ(engine.outputList().toVector(), c.expected);
            if (keep || c.operation == Operation::Trim) {
                EXPECT_EQ(engine.sourceText(), c.input);
            }
        }
    }
}

class CollectingSink : public LineSink
{
public:
    void addLine(std::string_view line) override { lines.emplace_back(line); }
    Lines lines;
};

class StatusSink : public ProgressSink
{
public:
    void SetStatus(const std::string& text) override { statuses.push_back(text); }
    void SetProgressPosition(int, long long) override { ++positions; }
    Lines statuses;
    int positions = 0;
};

TEST(FormatterTest, SelectionProcessingAndPreviewMode)
{
    StatusSink status;
    Engine engine(status);
    exampleTable(engine.style().tags);
    engine.style().options.UseWhileFormat = true;
    engine.setSelectionProcessing(true, "\t  ");
    engine.setSourceText("<tr>x\n\n</tr>", "t.htm");
    engine.ParseHTML();
    engine.FormatHTML();
    EXPECT_EQ(engine.outputList().toVector(), (Lines {"\t  <TR>", "\t      x", "\t  </TR>"}));
    EXPECT_TRUE(status.statuses.empty());

    engine.setSelectionProcessing(false);
    CollectingSink preview;
    engine.setPreviewSink(&preview);
    status.positions = 0;
    engine.ParseHTML();
    engine.FormatHTML();
    EXPECT_TRUE(engine.outputList().empty());
    ASSERT_EQ(preview.lines.size(), 4u); // documentation line first
    EXPECT_EQ(
        Lines(preview.lines.begin() + 1, preview.lines.end()), (Lines {"<TR>", "    x", "</TR>"}));
    EXPECT_TRUE(status.statuses.empty());
    EXPECT_EQ(status.positions, 0);
}

} // namespace
} // namespace zenkel::test
