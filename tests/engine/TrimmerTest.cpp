#include "EngineTestUtil.h"

#include <gtest/gtest.h>

namespace zenkel::test {
namespace {

struct TrimCase
{
    const char* name;
    TrimList trimList;
    std::string input;
    Lines expected;
};

const TrimCase TrimCases[] = {
    {"empty input", {"1<TD>"}, "", {}},
    {"start key pulls the next line up", {"1<TD>"}, "<td>\n  text</td>", {"<td>text</td>"}},
    {"end key pulls the tag back", {"1</TD>"}, "<td> text \n</td>", {"<td> text</td>"}},
    {"start tag at a line end", {"1<A>"}, "<a href=x>\nlink", {"<a href=x>link"}},
    {"only whitespace next to chosen tags goes", {"1<A>", "1</A>"},
        "<a href=x>  <b> link </b>  </a>", {"<a href=x><b> link </b></a>"}},
    {"lower-case and blank-ended keys never match", {"1<a>", "1<A> "}, "<a> x", {"<a> x"}},
    {"disabled entry has no effect", {"0<A>"}, "<a> x", {"<a> x"}},
    {"no entries: input split into lines", {}, "a\nb\r\nc\rd\n", {"a", "b", "c", "d"}},
    {"empty lines kept", {}, "a\n\nb", {"a", "", "b"}},
    {"line ends only", {}, "\n\r\n\r", {"", "", ""}},
    {"tag without > takes the rest only when chosen", {"1<A>"}, "x<a \n\n y", {"x<a ", "", " y"}},
    {"unchosen tag without > copied as is", {"1<B>"}, "x<a  \n y", {"x<a  ", " y"}},
};

TEST(TrimmerTest, RemovesWhitespaceInsideChosenTags)
{
    for (const TrimCase& c : TrimCases) {
        SCOPED_TRACE(c.name);
        Engine engine;
        engine.setTrimList(&c.trimList);
        engine.setSourceText(c.input, "t.htm");
        engine.TrimHTML();
        EXPECT_EQ(engine.outputList().toVector(), c.expected);
    }
}

TEST(TrimmerTest, TrimmingIsIdempotent)
{
    const TrimList list = {"1<TD>", "1</TD>", "1<A>", "1</A>"};
    Engine engine;
    engine.setTrimList(&list);
    engine.setSourceText("<td>\n <a href=x> y </a> \n</td>\n<td> z </td>", "t.htm");
    engine.TrimHTML();
    const Lines once = engine.outputList().toVector();
    std::string again;
    for (const std::string& line : once)
        again += line + "\n";
    engine.setSourceText(again, "t.htm");
    engine.TrimHTML();
    EXPECT_EQ(engine.outputList().toVector(), once);
}

} // namespace
} // namespace zenkel::test
