#include "EngineTestUtil.h"

#include "engine/TagTable.h"

#include <gtest/gtest.h>

#include <random>

namespace zenkel::test {
namespace {

TEST(TagTableTest, TagKey)
{
    const std::pair<const char*, const char*> cases[] = {
        {"<td width=3>", "<TD>"},
        {"</Table >", "</TABLE>"},
        {"<br/>", "<BR/>"},
        {"<!DOCTYPE html>", "<>"},
        {"<!-- x", "<!--"},
        {"<!--~ x", "<!--~"},
        {"<%= a %>", "<%"},
        {"<h1>", "<H1>"},
        {"<td", "<TD"},
        {"<", "<"},
    };
    for (const auto& [text, key] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(TagKey(text), key);
    }
}

TEST(TagTableTest, FindTagMatchesPrefixesAndFallsBackToDefaults)
{
    TagTable table;
    fillTable(table, {{"<TABLE>X", "</TABLE>"}, {"<B>", "</B>", true, 0, 0, 0, 0}});
    RecTAGInfo current;
    EXPECT_EQ(FindTag(table, "<table border=1>", current), 1);
    EXPECT_EQ(current.index, 1);
    EXPECT_EQ(FindTag(table, "</B>", current), -1);
    EXPECT_EQ(current.index, 2);
    EXPECT_EQ(FindTag(table, "</unknown>", current), -1);
    EXPECT_EQ(current.index, 0);
    EXPECT_EQ(FindTag(table, "<unknown>", current), 1);

    // FindTextTag asks for equality and skips 'Stand Alone' entries.
    EXPECT_EQ(FindTextTag(table, "<TABLE>"), 0);
    EXPECT_EQ(FindTextTag(table, "</B>"), 2);
}

TEST(TagTableTest, HeadingCloseOnlyForTextTags)
{
    TagTable table;
    fillTable(table, {{"<H1>", "</H>", true, 0, 0, 1, 1}});
    EXPECT_EQ(FindTextTag(table, "</H3>"), 1);
    EXPECT_EQ(FindTextTag(table, "</H7>"), 0);
    RecTAGInfo current;
    EXPECT_EQ(FindTag(table, "</H3>", current), -1);
    EXPECT_EQ(current.index, 0); // FindTag knows no "</H>" rule
}

TEST(TagTableTest, IndexAgreesWithLinearLookups)
{
    // The prepared index must give exactly the answers of the table walk, including the
    // first-hit order between TagOpen and TagClose of different entries.
    TagTable table;
    fillTable(table,
        {
            {"<TD>", "</TD>"},
            {"<B>", "</B>", true, 0, 0, 0, 0},
            {"<TDX>", "</TD>"},
            {"</B>", "<B>", true, 0, 0, 0, 0},
            {"<H1>", "</H>", true, 0, 0, 1, 1},
            {"<H2>", "</H2>", true},
            {"<P>", ""},
        });
    TagIndex index;
    index.build(table);
    const char* tokens[] = {"<TD>", "</TD>", "<TDX>", "<B>", "</B>", "<H1>", "</H1>", "</H2>",
        "<P>", "</P>", "<T>", "<", "</", "<TD width=1>", "<X>", "</H>", "<H>", "<T", "</H6>",
        "<PRE>", "<!-- x", "<%", "<TR>", "</TABLE>"};
    for (const char* token : tokens) {
        SCOPED_TRACE(token);
        RecTAGInfo current;
        const int direction = FindTag(table, token, current);
        int entry = -1;
        const std::string key = TagKey(token);
        EXPECT_EQ(index.findTag(key, token[1] == '/', entry), direction);
        EXPECT_EQ(entry, current.index);
        EXPECT_EQ(index.findTextTag(key), FindTextTag(table, key));
        EXPECT_EQ(index.lookUp(key).blockKind, blockKindOfKey(key));
        EXPECT_EQ(index.lookUp(key).layout, isLayoutTag(key));
    }
}

TEST(TagTableTest, CounterStepsNestAndIgnoreDefaults)
{
    TagTable table;
    fillTable(table, {{"<TABLE>", "</TABLE>"}});
    table[1].EnableCounter = true;
    ResetCounters(table);
    EXPECT_EQ(counterStartStep(table, table[1]), "1");
    EXPECT_EQ(counterStartStep(table, table[1]), "2");
    EXPECT_EQ(table[1].counterStack, ";1;2");
    EXPECT_EQ(counterEndStep(table, table[1]), "2");
    EXPECT_EQ(counterEndStep(table, table[1]), "1");
    EXPECT_EQ(counterEndStep(table, table[1]), ""); // nothing left on the stack
    EXPECT_EQ(counterStartStep(table, table.defaults()), "");
}

} // namespace
} // namespace zenkel::test
