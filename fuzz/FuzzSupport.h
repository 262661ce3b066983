/// Shared parts of the fuzz targets: a style decoded from the input's first bytes, the source
/// text in the form the file job gives it, and the checks the targets share.
#pragma once

#include "engine/Engine.h"
#include "engine/Style.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zenkel::fuzz {

/// The first bytes of every engine input choose the style; the rest is the HTML text.
constexpr std::size_t StyleHeaderSize = 64;
constexpr std::size_t FuzzTagEntries = 10;
constexpr std::size_t FuzzTrimEntries = 6;

/// Reads bytes one at a time; past the end it gives zeros.
class ByteReader
{
public:
    ByteReader(const std::uint8_t* data, std::size_t size)
        : m_data(data)
        , m_size(size)
    { }
    std::uint8_t next() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    bool atEnd() const { return m_pos >= m_size; }
    std::size_t remaining() const { return m_size - m_pos; }
    /// Up to count bytes as text.
    std::string text(std::size_t count);

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

/// One fuzz input for the engine targets.
struct EngineInput
{
    Style style;
    TrimList trimList;
    bool autoCommentRun = false; ///< also format with auto comments on and compare
    std::string source; ///< the file job's form: LF line ends, no "<!--~"
};

/// Splits off and decodes the style header, then turns the rest into a source text.
EngineInput decodeEngineInput(const std::uint8_t* data, std::size_t size);

/// The text as LoadSourceText gives it: lines end at CR LF, lone CR or lone LF, and every
/// line, the last included, ends with one LF.
std::string sourceTextForm(std::string_view raw);

/// Removes every "<!--~" (repeatedly, as a removal may form a new one): the scanner drops
/// such generated comments by design, so they cannot take part in "nothing is lost".
void removeGeneratedCommentStarts(std::string& text);

/// An engine set up with the input's style, trim list and a fixed clock.
void prepareEngine(Engine& engine, const EngineInput& input);

/// What formatting and compressing may not change: everything but whitespace, the case of
/// letters (ASCII, and Ä/Ö/Ü against ä/ö/ü) and the brackets that tidying drops or adds.
std::string essence(std::string_view text);

/// Lines joined with an LF after each.
std::string joinLines(const std::vector<std::string>& lines);

/// The token list with every marker line replaced by its block's lines, one entry per line.
/// Comments for which keepComment() is false are left out.
template <typename KeepComment>
std::string scannedText(const Engine& engine, KeepComment keepComment)
{
    std::string text;
    const TokenList& tokens = engine.tokenList();
    const BlockStore& blocks = engine.blockStore();
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (!tokens.isMarker(i)) {
            text += tokens[i];
            text += '\n';
            continue;
        }
        const BlockStore::Block& block = blocks.block(static_cast<std::size_t>(tokens.blockOf(i)));
        if (block.kind == BlockKind::Comment && !keepComment(block))
            continue;
        for (std::size_t n = 0; n < block.lineCount; ++n) {
            text += blocks.contentLine(block, n);
            text += '\n';
        }
    }
    return text;
}

/// The lines of a block.
std::vector<std::string> blockLines(const BlockStore& blocks, const BlockStore::Block& block);

/// Checks that hold after every scan: text tokens have no LF, TAB or leading blank, nothing but
/// whitespace, case and brackets was lost, and every block except simple cells is a copy of
/// the source, in order.
void checkScan(const Engine& engine, const std::string& source);

/// True when needle occurs in lines as consecutive whole lines at or after from; from is moved
/// past the match.
bool findLineRun(const std::vector<std::string>& lines, const std::vector<std::string>& needle,
    std::size_t& from);

/// Prints what went wrong and aborts, so that libFuzzer keeps the input.
[[noreturn]] void fail(std::string_view what, std::string_view detail = {});

inline void check(bool ok, std::string_view what, std::string_view detail = {})
{
    if (!ok)
        fail(what, detail);
}

} // namespace zenkel::fuzz
