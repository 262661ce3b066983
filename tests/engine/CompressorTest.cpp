#include "EngineTestUtil.h"

#include <gtest/gtest.h>

namespace zenkel::test {
namespace {

struct CompressCase
{
    const char* name;
    std::string input;
    bool purge;
    Lines expected;
};

const CompressCase CompressCases[] = {
    {"tokens joined", "<table>\n <tr>\n  <td>Hello <b>World</b></td>\n </tr>\n</table>\n", true,
        {"<TABLE><TR><TD>Hello <B>World</B></TD></TR></TABLE>"}},
    {"whitespace before and after tags kept as one blank", "Hello  \n<p> x", true, {"Hello <P> x"}},
    {"purged comment between words", "one <!-- c --> two", true, {"one two"}},
    {"kept comment stays in place with its lines", "one <!-- a\nb\nc --> two", false,
        {"one <!-- a\r\nb\r\nc -->two"}},
    {"PRE block on lines of its own", "<p>a</p>\n<pre>\n x  \n</pre>\n<p>b", true,
        {"<P>a</P>", "<pre>", " x  ", "</pre>", "<P>b"}},
    {"simple cell on a line of its own", "<tr><td><img src=a.gif></td></tr>", true,
        {"<TR>", "<TD><IMG src=a.gif></TD>", "</TR>"}},
    {"empty input", "", true, {}},
    {"server-side include survives purging", "a<!--#include virtual=\"menu.htm\" -->b", true,
        {"a<!--#include virtual=\"menu.htm\" -->b"}},
    {"conditional comments survive purging",
        "<!--[if IE]><link rel=stylesheet href=ie.css><![endif]--><!--[if "
        "!IE]><!-->x<!--<![endif]-->",
        true,
        {"<!--[if IE]><link rel=stylesheet href=ie.css><![endif]--><!--[if "
         "!IE]><!-->x<!--<![endif]-->"}},
    {"text beginning with ### is kept", "### hash <p>", true, {"### hash <P>"}},
};

class CollectingSink : public LineSink
{
public:
    void addLine(std::string_view line) override { lines.emplace_back(line); }
    Lines lines;
};

TEST(CompressorTest, CompressesTokens)
{
    for (const CompressCase& c : CompressCases) {
        SCOPED_TRACE(c.name);
        Engine engine;
        fillTable(engine.style().tags,
            {{"<TABLE>", "</TABLE>"}, {"<TR>", "</TR>"}, {"<TD>", "</TD>"},
                {"<B>", "</B>", true, 0, 0, 0, 0}, {"<P>", "</P>"}});
        engine.style().options.DoPurgeComments = c.purge;
        engine.setSourceText(c.input, "t.htm");
        engine.ParseHTML();
        engine.CompressHTML();
        EXPECT_EQ(engine.outputList().toVector(), c.expected);

        // A preview gets the same lines, and the output list stays empty.
        CollectingSink preview;
        engine.setPreviewSink(&preview);
        engine.ParseHTML();
        engine.CompressHTML();
        EXPECT_EQ(preview.lines, c.expected);
        EXPECT_TRUE(engine.outputList().empty());
    }
}

TEST(CompressorTest, DocumentationLineHeadsTheOutput)
{
    Engine engine;
    engine.setClock(fixedClock);
    engine.style().options.UseWhileCompress = true;
    engine.style().options.DoIncludeUser = false;
    engine.style().options.DoIncludeDate = false;
    engine.style().options.DoIncludeTime = false;
    engine.style().options.DoIncludeStyle = false;
    engine.setSourceText("", "t.htm");
    engine.ParseHTML();
    engine.CompressHTML();
    EXPECT_EQ(engine.outputList().toVector(), (Lines {"<!--~ Zenkel HTML v3.5d  ~-->"}));

    // Nothing included: the line is empty but still there. A selection gets none.
    engine.style().options.DoIncludeVersion = false;
    engine.ParseHTML();
    engine.CompressHTML();
    EXPECT_EQ(engine.outputList().toVector(), (Lines {""}));
    engine.setSelectionProcessing(true);
    engine.ParseHTML();
    engine.CompressHTML();
    EXPECT_TRUE(engine.outputList().empty());
}

} // namespace
} // namespace zenkel::test
