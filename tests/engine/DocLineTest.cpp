#include "EngineTestUtil.h"

#include <gtest/gtest.h>

namespace zenkel::test {
namespace {

struct DocCase
{
    const char* name;
    bool user, date, time, style, version;
    LocalDateTime clock;
    std::string expected;
};

const DocCase DocCases[] = {
    {"everything", true, true, true, true, true, {2026, 12, 7, 21, 5},
        "<!--~ Unknown User, DATE: 2026-12-07, TIME: 09:05 pm, STYLE: mystyle, Zenkel HTML v3.5d  "
        "~-->"},
    {"without version", true, true, true, true, false, {2026, 12, 7, 21, 5},
        "<!--~ Unknown User, DATE: 2026-12-07, TIME: 09:05 pm, STYLE: mystyle,  ~-->"},
    {"only version", false, false, false, false, true, {}, "<!--~ Zenkel HTML v3.5d  ~-->"},
    {"nothing", false, false, false, false, false, {}, ""},
    {"half past midnight", false, false, true, false, false, {2026, 1, 1, 0, 30},
        "<!--~ TIME: 12:30 am,  ~-->"},
    {"half past noon", false, false, true, false, false, {2026, 1, 1, 12, 30},
        "<!--~ TIME: 12:30 pm,  ~-->"},
    {"morning", false, false, true, false, false, {2026, 1, 1, 11, 59},
        "<!--~ TIME: 11:59 am,  ~-->"},
};

TEST(DocLineTest, MakeDokuLine)
{
    for (const DocCase& c : DocCases) {
        SCOPED_TRACE(c.name);
        StyleOptions options;
        options.StyleName = "mystyle";
        options.DoIncludeUser = c.user;
        options.DoIncludeDate = c.date;
        options.DoIncludeTime = c.time;
        options.DoIncludeStyle = c.style;
        options.DoIncludeVersion = c.version;
        EXPECT_EQ(MakeDokuLine(options, c.clock, c.clock, ':'), c.expected);
    }
}

TEST(DocLineTest, UsesTheTimeSeparator)
{
    StyleOptions options;
    options.DoIncludeUser = options.DoIncludeDate = options.DoIncludeStyle = false;
    options.DoIncludeVersion = false;
    EXPECT_EQ(MakeDokuLine(options, {}, {2026, 1, 1, 14, 7}, '.'), "<!--~ TIME: 02.07 pm,  ~-->");
}

} // namespace
} // namespace zenkel::test
