/// Fuzz target: ParseHTML followed by FormatHTML under a style taken from the input.
#include "FuzzSupport.h"

#include <cstddef>
#include <cstdint>

using namespace zenkel;
using namespace zenkel::fuzz;

namespace {

std::string_view withoutIndent(std::string_view line)
{
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
        line.remove_prefix(1);
    return line;
}

bool looksGenerated(std::string_view line)
{
    line = withoutIndent(line);
    return line.starts_with("<!--~") && line.ends_with("~-->");
}

/// The formatted lines, without the documentation line when the style asks for one.
std::vector<std::string> formattedLines(const Engine& engine)
{
    std::vector<std::string> lines = engine.outputList().toVector();
    if (engine.style().options.UseWhileFormat) {
        check(!lines.empty(), "the documentation line heads the output");
        check(lines.front().empty() || looksGenerated(lines.front()),
            "the documentation line is a generated comment", lines.front());
        lines.erase(lines.begin());
    }
    return lines;
}

void checkLines(const std::vector<std::string>& lines)
{
    for (const std::string& line : lines) {
        check(line.find_first_of("\r\n") == std::string::npos, "a line holds no CR or LF", line);
        check(line.empty() || line.back() != ' ', "a formatted line has no trailing blank", line);
    }
}

/// Every block but a simple cell stands in the output as its own lines, in order, with only
/// trailing blanks removed.
void checkBlocksCopied(const Engine& engine, const std::vector<std::string>& lines)
{
    const BlockStore& blocks = engine.blockStore();
    std::size_t cursor = 0;
    for (std::size_t b = 0; b < blocks.blockCount(); ++b) {
        const BlockStore::Block& block = blocks.block(b);
        if (block.kind == BlockKind::TableCell)
            continue;
        std::vector<std::string> expected = blockLines(blocks, block);
        for (std::string& line : expected) {
            while (!line.empty() && line.back() == ' ')
                line.pop_back();
        }
        check(findLineRun(lines, expected, cursor), "a special block is copied unchanged",
            expected.empty() ? std::string_view() : std::string_view(expected.front()));
    }
}

/// With auto comments on, the output is the output without them plus generated lines.
void checkAutoComments(
    const std::vector<std::string>& without, const std::vector<std::string>& with)
{
    std::size_t j = 0;
    for (const std::string& line : with) {
        if (j < without.size() && line == without[j]) {
            ++j;
            continue;
        }
        check(looksGenerated(line), "auto comments only add generated lines", line);
    }
    check(j == without.size(), "auto comments take no line away");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const EngineInput input = decodeEngineInput(data, size);
    Engine engine;
    prepareEngine(engine, input);
    engine.ParseHTML();
    checkScan(engine, input.source);
    engine.FormatHTML();
    const std::vector<std::string> lines = formattedLines(engine);
    checkLines(lines);
    check(essence(joinLines(lines)) == essence(input.source),
        "formatting loses nothing but whitespace, case and brackets");
    checkBlocksCopied(engine, lines);

    // The formatted file can be formatted again without losing anything.
    Engine again;
    prepareEngine(again, input);
    again.style().options.UseWhileFormat = false;
    again.setSourceText(joinLines(lines), "fuzz.htm");
    again.runOperation(Operation::Format);
    check(essence(joinLines(again.outputList().toVector())) == essence(input.source),
        "formatting the formatted text again loses nothing");

    if (input.autoCommentRun) {
        engine.style().options.DoDisableComments = false;
        engine.runOperation(Operation::Format);
        const std::vector<std::string> commented = formattedLines(engine);
        checkLines(commented);
        checkAutoComments(lines, commented);
    }
    return 0;
}
