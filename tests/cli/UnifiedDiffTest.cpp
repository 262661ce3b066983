/// Tests of the unified diff behind zenkel --diff.
#include "cli/UnifiedDiff.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <random>
#include <sstream>
#include <vector>

namespace zenkel {
namespace {

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

/// Applies the hunks to old lines as patch would, checking every context and removed line
/// against the old text; returns the new lines.
std::vector<std::string> applyHunks(
    const std::vector<std::string>& oldLines, const std::string& hunks)
{
    std::vector<std::string> result;
    std::size_t at = 0;
    for (const std::string& line : linesOf(hunks)) {
        if (line.rfind("@@ -", 0) == 0) {
            std::size_t start = std::stoul(line.substr(4));
            const std::size_t comma = line.find(',');
            const std::size_t space = line.find(' ', 4);
            const bool empty = comma < space && line.substr(comma + 1, space - comma - 1) == "0";
            if (!empty)
                --start; // 1-based first line; an empty range names the line before
            EXPECT_GE(start, at) << line;
            for (; at < start && at < oldLines.size(); ++at)
                result.push_back(oldLines[at]);
        } else if (line[0] == ' ' || line[0] == '-') {
            EXPECT_LT(at, oldLines.size());
            if (at < oldLines.size()) {
                EXPECT_EQ(line.substr(1), oldLines[at]) << "line " << at + 1;
            }
            if (line[0] == ' ')
                result.push_back(line.substr(1));
            ++at;
        } else if (line[0] == '+') {
            result.push_back(line.substr(1));
        }
    }
    for (; at < oldLines.size(); ++at)
        result.push_back(oldLines[at]);
    return result;
}

std::size_t countPrefixed(const std::string& hunks, char sign)
{
    std::size_t count = 0;
    for (const std::string& line : linesOf(hunks))
        count += !line.empty() && line[0] == sign && line.rfind("--- ", 0) != 0
            && line.rfind("+++ ", 0) != 0;
    return count;
}

std::size_t lcsLength(const std::vector<std::string>& a, const std::vector<std::string>& b)
{
    std::vector<std::vector<std::size_t>> t(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = a.size(); i-- > 0;)
        for (std::size_t j = b.size(); j-- > 0;)
            t[i][j] = a[i] == b[j] ? t[i + 1][j + 1] + 1 : std::max(t[i + 1][j], t[i][j + 1]);
    return t[0][0];
}

std::string joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

/// Lines from a small alphabet, so that equal lines are common and many paths compete.
std::vector<std::string> randomLines(std::mt19937& random, std::size_t count, int alphabet)
{
    std::uniform_int_distribution<int> pick(0, alphabet - 1);
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < count; ++i)
        lines.push_back("line " + std::to_string(pick(random)));
    return lines;
}

const char* const TenLines = "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n";

struct DiffCase
{
    const char* name;
    std::string oldText;
    std::string newText;
    std::string expected;
};

const DiffCase DiffCases[] = {
    {"equal texts give nothing", TenLines, TenLines, ""},
    {"one changed line with three lines of context", TenLines, "1\n2\n3\n4\n5\nsix\n7\n8\n9\n10\n",
        "@@ -3,7 +3,7 @@\n 3\n 4\n 5\n-6\n+six\n 7\n 8\n 9\n"},
    {"context is cut at the start", TenLines, "one\n2\n3\n4\n5\n6\n7\n8\n9\n10\n",
        "@@ -1,4 +1,4 @@\n-1\n+one\n 2\n 3\n 4\n"},
    {"insertion at the start names line 0 of an empty range", "", "a\nb\n",
        "@@ -0,0 +1,2 @@\n+a\n+b\n"},
    {"one-line ranges have no count", "a\n", "b\n", "@@ -1 +1 @@\n-a\n+b\n"},
    {"deletion at the end", "1\n2\n3\n", "1\n", "@@ -1,3 +1 @@\n 1\n-2\n-3\n"},
    {"changes six lines apart share one hunk", TenLines, "x\n2\n3\n4\n5\n6\n7\ny\n9\n10\n",
        "@@ -1,10 +1,10 @@\n-1\n+x\n 2\n 3\n 4\n 5\n 6\n 7\n-8\n+y\n 9\n 10\n"},
    {"changes seven lines apart get two hunks", "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n",
        "x\n2\n3\n4\n5\n6\n7\n8\ny\n10\n11\n",
        "@@ -1,4 +1,4 @@\n-1\n+x\n 2\n 3\n 4\n@@ -6,6 +6,6 @@\n 6\n 7\n 8\n-9\n+y\n 10\n 11\n"},
    {"a last line without line end is marked", "a\nb", "a\nb\n",
        "@@ -1,2 +1,2 @@\n a\n-b\n\\ No newline at end of file\n+b\n"},
    {"line ends are not compared", "a\r\nb\rc\n", "a\nb\nc\r\n", ""},
    {"CR LF lines are shown without CR", "a\r\nb\r\n", "a\r\nc\r\n",
        "@@ -1,2 +1,2 @@\n a\n-b\n+c\n"},
};

TEST(UnifiedDiffTest, HunksOfSmallChanges)
{
    for (const DiffCase& c : DiffCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(unifiedDiffHunks(c.oldText, c.newText), c.expected);
    }
}

TEST(UnifiedDiffTest, HeadersNameTheFileBelowAAndB)
{
    struct Row
    {
        const char* name;
        const char* shown;
    };
    const Row rows[] = {{"page.htm", "page.htm"}, {"site/sub/x.htm", "site/sub/x.htm"},
        {"/var/www/x.htm", "var/www/x.htm"}, {"./x.htm", "x.htm"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string shown = row.shown;
        EXPECT_EQ(unifiedDiff("a\n", "b\n", row.name),
            "--- a/" + shown + "\n+++ b/" + shown + "\n@@ -1 +1 @@\n-a\n+b\n");
        EXPECT_EQ(unifiedDiff("a\r\n", "a\n", row.name),
            "Files a/" + shown + " and b/" + shown + " differ in line ends only\n");
        EXPECT_EQ(unifiedDiff("a\r\n", "a\r\n", row.name), "");
    }
}

TEST(UnifiedDiffTest, RandomEditsApplyAndAreMinimal)
{
    std::mt19937 random(11);
    for (int round = 0; round < 300; ++round) {
        SCOPED_TRACE(round);
        const int alphabet = 2 + round % 6;
        const std::vector<std::string> a = randomLines(random, random() % 40, alphabet);
        const std::vector<std::string> b = randomLines(random, random() % 40, alphabet);
        const std::string hunks = unifiedDiffHunks(joined(a), joined(b));
        ASSERT_EQ(applyHunks(a, hunks), b);
        // Small texts stay below the cost limit, so the script is a shortest one.
        const std::size_t common = lcsLength(a, b);
        EXPECT_EQ(countPrefixed(hunks, '-'), a.size() - common);
        EXPECT_EQ(countPrefixed(hunks, '+'), b.size() - common);
    }
}

TEST(UnifiedDiffTest, LargeVeryDifferentTextsStayFastAndCorrect)
{
    // A formatted page against its one-line source is the usual case: almost every line
    // differs. Forty thousand lines each, with some shared ones scattered between.
    std::mt19937 random(7);
    std::vector<std::string> a = randomLines(random, 40000, 30000);
    std::vector<std::string> b = randomLines(random, 40000, 30000);
    for (std::size_t i = 0; i < b.size(); i += 97)
        b[i] = a[i];
    const auto start = std::chrono::steady_clock::now();
    const std::string hunks = unifiedDiffHunks(joined(a), joined(b));
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start);
    EXPECT_LT(seconds.count(), 10.0);
    EXPECT_EQ(applyHunks(a, hunks), b);
}

TEST(UnifiedDiffTest, LargeTextWithFewChangesGivesSmallHunks)
{
    std::vector<std::string> a;
    for (int i = 0; i < 30000; ++i)
        a.push_back("<p>paragraph " + std::to_string(i) + "</p>");
    std::vector<std::string> b = a;
    b[100] = "changed";
    b.erase(b.begin() + 20000);
    b.insert(b.begin() + 29000, "added");
    const std::string hunks = unifiedDiffHunks(joined(a), joined(b));
    EXPECT_EQ(countPrefixed(hunks, '-'), 2u);
    EXPECT_EQ(countPrefixed(hunks, '+'), 2u);
    EXPECT_EQ(countPrefixed(hunks, '@'), 3u);
    EXPECT_EQ(applyHunks(a, hunks), b);
}

} // namespace
} // namespace zenkel
