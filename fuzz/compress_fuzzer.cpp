/// Fuzz target: ParseHTML followed by CompressHTML under a style taken from the input.
#include "FuzzSupport.h"

#include <cstddef>
#include <cstdint>

using namespace zenkel;
using namespace zenkel::fuzz;

namespace {

bool startsWithNoCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (upperAscii(text[i]) != upperAscii(prefix[i]))
            return false;
    }
    return true;
}

/// Comments that tell a server or a browser what to do survive purging.
bool isInstructionComment(const BlockStore& blocks, const BlockStore::Block& block)
{
    if (block.lineCount == 0)
        return false;
    const std::string_view first = blocks.contentLine(block, 0);
    return first.starts_with("<!--#") || startsWithNoCase(first, "<!--[if")
        || startsWithNoCase(first, "<!--<![endif]");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const EngineInput input = decodeEngineInput(data, size);
    Engine engine;
    prepareEngine(engine, input);
    engine.ParseHTML();
    checkScan(engine, input.source);
    engine.CompressHTML();

    std::vector<std::string> lines = engine.outputList().toVector();
    if (engine.style().options.UseWhileCompress) {
        check(!lines.empty(), "the documentation line heads the output");
        lines.erase(lines.begin());
    }
    const bool purge = engine.style().options.DoPurgeComments;
    const BlockStore& blocks = engine.blockStore();
    auto kept = [&](const BlockStore::Block& block) {
        return !purge || isInstructionComment(blocks, block);
    };

    // Line breaks inside a compressed line are those of kept comments, joined with CR LF,
    // and nothing else.
    std::size_t expectedBreaks = 0;
    for (std::size_t b = 0; b < blocks.blockCount(); ++b) {
        const BlockStore::Block& block = blocks.block(b);
        if (block.kind == BlockKind::Comment && kept(block) && block.lineCount > 0)
            expectedBreaks += block.lineCount - 1;
    }
    std::size_t breaks = 0;
    for (const std::string& line : lines) {
        for (std::size_t i = 0; i < line.size(); ++i) {
            if (line[i] == '\r' && i + 1 < line.size() && line[i + 1] == '\n') {
                ++breaks;
                ++i;
                continue;
            }
            check(line[i] != '\r' && line[i] != '\n',
                "a compressed line holds no CR or LF outside kept comments", line);
        }
    }
    check(breaks == expectedBreaks, "only kept comments put CR LF inside a line");

    // Kept comments stand in the text with CR LF between their lines; every other block
    // stands as its own lines, unchanged; both in order.
    const std::string text = joinLines(lines);
    std::size_t textCursor = 0;
    std::size_t lineCursor = 0;
    for (std::size_t b = 0; b < blocks.blockCount(); ++b) {
        const BlockStore::Block& block = blocks.block(b);
        if (block.kind == BlockKind::Comment) {
            if (!kept(block))
                continue;
            std::string comment;
            for (std::size_t n = 0; n < block.lineCount; ++n) {
                if (n > 0)
                    comment += "\r\n";
                comment += blocks.contentLine(block, n);
            }
            const std::size_t at = text.find(comment, textCursor);
            check(at != std::string::npos, "a kept comment stays in place", comment);
            textCursor = at + comment.size();
            continue;
        }
        check(findLineRun(lines, blockLines(blocks, block), lineCursor),
            "a special block stands unchanged on its own lines");
    }

    check(essence(text) == essence(scannedText(engine, kept)),
        "compressing loses nothing but whitespace and purged comments");
    if (!purge) {
        check(essence(text) == essence(input.source),
            "compressing without purging loses nothing but whitespace, case and brackets");
    }
    return 0;
}
