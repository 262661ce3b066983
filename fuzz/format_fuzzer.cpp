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

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

/// The formatted lines, without the byte order mark in front of the first line (which stands
/// there when the source had one) and without the documentation line when the style asks
/// for one.
std::vector<std::string> formattedLines(const Engine& engine, bool bom)
{
    std::vector<std::string> lines = engine.outputList().toVector();
    if (bom) {
        check(!lines.empty() && lines.front().starts_with(ByteOrderMark),
            "the byte order mark stays in front");
        lines.front().erase(0, ByteOrderMark.size());
    }
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

/// The key and the case of a tag are taken from the "<" up to the first blank, before the
/// brackets are tidied: "< a href=x>" has the key "<>" and keeps its name as it is, and only
/// tidying puts the name next to the "<", so the next run finds another tag. Such text is
/// not a tag that people write (it is "x < y" in running text, or template syntax), and the
/// first run's result is kept as it is.
bool nameMovedByTidying(const EngineInput& input)
{
    const std::string& text = input.source;
    for (std::size_t i = text.find('<'); i != std::string::npos; i = text.find('<', i + 1)) {
        if (i + 1 < text.size()
            && (text[i + 1] == ' ' || text[i + 1] == '\t' || text[i + 1] == '\n'
                || text[i + 1] == '<'))
            return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const EngineInput input = decodeEngineInput(data, size);
    Engine engine;
    prepareEngine(engine, input);
    engine.runOperation(Operation::Format);
    // The byte order mark is no content: it is not scanned.
    const bool bom = input.source.starts_with(ByteOrderMark);
    const std::string body = bom ? input.source.substr(ByteOrderMark.size()) : input.source;
    checkScan(engine, body);
    const std::vector<std::string> lines = formattedLines(engine, bom);
    checkLines(lines);
    check(essence(joinLines(lines)) == essence(body),
        "formatting loses nothing but whitespace, case and brackets");
    checkBlocksCopied(engine, lines);

    // The formatted file can be formatted again without losing anything.
    Engine again;
    prepareEngine(again, input);
    again.style().options.UseWhileFormat = false;
    again.setSourceText(std::string(bom ? ByteOrderMark : "") + joinLines(lines), "fuzz.htm");
    again.runOperation(Operation::Format);
    const std::vector<std::string> twice = formattedLines(again, bom);
    check(essence(joinLines(twice)) == essence(body),
        "formatting the formatted text again loses nothing");
    // ... and without changing anything: the formatted text is its own format.
    if (twice != lines && !nameMovedByTidying(input)) {
        std::size_t i = 0;
        while (i < twice.size() && i < lines.size() && twice[i] == lines[i])
            ++i;
        const std::string detail = "line " + std::to_string(i + 1) + ": \""
            + (i < lines.size() ? lines[i] : "(none)") + "\" became \""
            + (i < twice.size() ? twice[i] : "(none)") + "\"";
        fail("formatting the formatted text again is stable", detail);
    }

    if (input.autoCommentRun) {
        engine.style().options.DoDisableComments = false;
        engine.runOperation(Operation::Format);
        const std::vector<std::string> commented = formattedLines(engine, bom);
        checkLines(commented);
        checkAutoComments(lines, commented);
    }
    return 0;
}
