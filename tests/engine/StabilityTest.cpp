/// Formatting is stable: the shipped styles give the same bytes when their own output is
/// formatted again, on the golden inputs, the preview samples and random pages.
#include "EngineTestUtil.h"

#include "style/StyleFiles.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>

namespace zenkel::test {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> filesBelow(const fs::path& root, const std::string& name = {})
{
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const fs::path& path = entry.path();
        if (entry.is_regular_file() && path.extension() == ".htm"
            && (name.empty() || path.filename() == name))
            files.push_back(path);
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string formatted(Engine& engine, const std::string& text)
{
    engine.setSourceText(text, "t.htm");
    engine.runOperation(Operation::Format);
    std::string out;
    for (std::string_view line : engine.outputList()) {
        out += line;
        out += '\n';
    }
    return out;
}

/// A page built from the pieces real pages are made of: nested elements of the shipped tag
/// tables with attributes, text in several scripts, comments, scripts and preformatted
/// blocks, and every kind of layout whitespace between them.
class PageMaker
{
public:
    explicit PageMaker(unsigned seed)
        : m_rng(seed)
    { }

    std::string page()
    {
        m_page.clear();
        m_page += "<!DOCTYPE html>";
        blank();
        m_page += "<html><head>";
        blank();
        m_page += "<title>";
        words(1 + pick(6));
        m_page += "</title>";
        blank();
        m_page += "</head><body>";
        content(0);
        m_page += "</body></html>";
        blank();
        return m_page;
    }

private:
    std::size_t pick(std::size_t n)
    {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(m_rng);
    }

    void blank()
    {
        static const char* const Blanks[] = {"", "", " ", "\n", "\n  ", "\n\n\t", "  \n"};
        m_page += Blanks[pick(std::size(Blanks))];
    }

    void words(std::size_t count)
    {
        static const char* const Words[] = {"the", "quick", "brown", "fox", "jumps", "over",
            "documentation", "configuration", "a", "of", "server", "module", "function(x)", "&amp;",
            "&nbsp;", "\"quoted", "words\"", "Привет", "документация", "сервера",
            "日本語のテキスト", "です。", "café", "naïve", "x=1;", "1.0.2", "e-mail"};
        for (std::size_t i = 0; i < count; ++i) {
            if (i > 0)
                m_page += pick(8) == 0 ? "\n" : " ";
            m_page += Words[pick(std::size(Words))];
        }
    }

    void inline_()
    {
        static const char* const Inline[][2] = {{"<b>", "</b>"}, {"<i>", "</i>"},
            {"<a href=\"#x\" class=\"link\">", "</a>"}, {"<code>", "</code>"},
            {"<span class=\"k\">", "</span>"}, {"<em>", "</em>"}, {"<strong>", "</strong>"}};
        const auto& tag = Inline[pick(std::size(Inline))];
        m_page += tag[0];
        words(1 + pick(4));
        m_page += tag[1];
    }

    void content(int depth)
    {
        const std::size_t count = 1 + pick(depth == 0 ? 8 : 4);
        for (std::size_t n = 0; n < count; ++n) {
            blank();
            switch (depth > 3 ? pick(3) : pick(12)) {
            case 0:
                words(1 + pick(40));
                break;
            case 1:
                inline_();
                break;
            case 2:
                m_page += "<br>";
                break;
            case 3:
                element("p", depth, true);
                break;
            case 4:
                element("div class=\"box\"", depth, false);
                break;
            case 5:
                list(depth);
                break;
            case 6:
                table(depth);
                break;
            case 7:
                m_page += "<h" + std::to_string(1 + pick(4)) + ">";
                words(1 + pick(8));
                m_page += "</h" + std::to_string(1 + pick(4)) + ">";
                break;
            case 8:
                m_page += "<pre>\n  code  here\n\tindented\n</pre>";
                break;
            case 9:
                m_page += "<!-- a note\n  over lines -->";
                break;
            case 10:
                m_page += "<script>\n  var x = 1 < 2;\n</script>";
                break;
            default:
                m_page += "<img src=\"a.png\" alt=\"an image of a thing\"><input name=q>";
                break;
            }
        }
        blank();
    }

    void element(const std::string& open, int depth, bool textOnly)
    {
        m_page += "<" + open + ">";
        if (textOnly) {
            words(1 + pick(60));
            if (pick(2))
                inline_();
            words(pick(20));
        } else {
            content(depth + 1);
        }
        const std::string name = open.substr(0, open.find(' '));
        if (pick(6) != 0)
            m_page += "</" + name + ">";
    }

    void list(int depth)
    {
        const bool ordered = pick(2) == 0;
        m_page += ordered ? "<ol class=\"steps\">" : "<ul>";
        for (std::size_t i = 1 + pick(4); i > 0; --i) {
            blank();
            m_page += "<li>";
            if (pick(3) == 0)
                content(depth + 1);
            else if (pick(2) == 0)
                inline_();
            else
                words(1 + pick(12));
            m_page += "</li>";
        }
        blank();
        m_page += ordered ? "</ol>" : "</ul>";
    }

    void table(int depth)
    {
        m_page += "<table class=\"t\">";
        blank();
        if (pick(2))
            m_page += "<caption>Results</caption>";
        for (std::size_t r = 1 + pick(3); r > 0; --r) {
            blank();
            m_page += "<tr>";
            for (std::size_t c = 1 + pick(4); c > 0; --c) {
                blank();
                m_page += pick(4) == 0 ? "<th>" : "<td>";
                switch (pick(4)) {
                case 0:
                    break;
                case 1:
                    m_page += "<img src=x.gif>";
                    break;
                case 2:
                    content(depth + 1);
                    break;
                default:
                    words(1 + pick(5));
                }
                m_page += "</td>";
            }
            m_page += "</tr>";
        }
        blank();
        m_page += "</table>";
    }

    std::mt19937 m_rng;
    std::string m_page;
};

struct ShippedStyle
{
    std::string name;
    Style style;
};

std::vector<ShippedStyle> shippedStyles()
{
    std::vector<ShippedStyle> styles;
    for (const char* name : {"_default", "classic"}) {
        const std::string dir = std::string(ZENKEL_DATA_DIR) + "/styles/" + name + "/";
        ShippedStyle s {name, {}};
        LoadStyleOptions(s.style.options, dir);
        s.style.options.StyleName = name;
        LoadTagTable(s.style.tags, dir);
        styles.push_back(std::move(s));
    }
    return styles;
}

TEST(StabilityTest, FormattingTheOutputAgainChangesNothing)
{
    std::vector<std::pair<std::string, std::string>> inputs;
    for (const fs::path& path : filesBelow(ZENKEL_TEST_DATA, "input.htm"))
        inputs.emplace_back(path.string(), crlfToLf(readBytes(path)));
    for (const fs::path& path : filesBelow(std::string(ZENKEL_DATA_DIR) + "/preview"))
        inputs.emplace_back(path.string(), crlfToLf(readBytes(path)));
    PageMaker maker(2026);
    for (int i = 0; i < 60; ++i)
        inputs.emplace_back("random page " + std::to_string(i), maker.page());

    for (const ShippedStyle& shipped : shippedStyles()) {
        // As shipped, and with the layout switches changed: TABs the other way round, and
        // every tag on one line when short.
        for (const bool flipped : {false, true}) {
            Engine engine;
            engine.style() = shipped.style;
            if (flipped) {
                StyleOptions& options = engine.style().options;
                options.IndentWithTabs = !options.IndentWithTabs;
                TagTable& tags = engine.style().tags;
                for (int i = 1; i <= tags.tagCount; ++i)
                    tags[i].KeepOnOneLine = true;
            }
            for (const auto& [name, text] : inputs) {
                SCOPED_TRACE(
                    shipped.name + (flipped ? " with the switches turned: " : ": ") + name);
                const std::string once = formatted(engine, text);
                EXPECT_EQ(formatted(engine, once), once);
            }
        }
    }
}

} // namespace
} // namespace zenkel::test
