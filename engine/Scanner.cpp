/// Scanner: cuts the source text into the token list and the block store.
#include "engine/Engine.h"
#include "engine/TextOps.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace zenkel {

namespace {

constexpr std::size_t ProgressStep = 1000;
constexpr std::size_t PumpStep = 4096;

bool isInputBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n';
}

/// True when tidying the brackets would turn the tag into a comment start ("< !-- x>",
/// "<<!--x>"): the blanks and "<"s in front of "!--" would go.
bool tidyingMakesComment(std::string_view tag)
{
    // A plain loop: the set search of find_first_not_of costs a call per character.
    std::size_t rest = 0;
    while (rest < tag.size() && (tag[rest] == '<' || tag[rest] == ' '))
        ++rest;
    return rest < tag.size() && rest > 1 && tag.substr(rest).starts_with("!--");
}

/// True when tidyBrackets would leave the tag as it is, as it does for nearly every tag: one
/// "<" and one ">" at its ends, no blank inside either, and at most one blank after it (the
/// copy is collapsed). Saves the tidying its passes and moves.
bool isTidy(std::string_view tag)
{
    if (tag.ends_with(' '))
        tag.remove_suffix(1);
    return tag.size() >= 3 && tag[0] == '<' && tag[1] != '<' && tag[1] != ' ' && tag.back() == '>'
        && tag[tag.size() - 2] != '>' && tag[tag.size() - 2] != ' ';
}

} // namespace

void Engine::ParseHTML()
{
    m_outputList.clear();
    m_tokens.clear();
    m_blocks.clear();
    m_pending.clear();
    m_pendingHasText = false;
    m_tokenTags.clear();
    m_scanTableKeys = tableKeys();
    m_shortTags.fill(ShortTag {});
    m_markerCounter = 0;
    m_endMarkerMemo.fill(SearchMemo {});
    m_cellScan = CellScanMemo {};
    m_index.build(m_style.tags);
    // Tokens never hold much more than the text itself; reserving avoids regrowing.
    // Reserved pages that stay unused cost no memory, while regrowing would copy.
    m_tokens.reserve(m_sourceText.size() / 4, m_sourceText.size());
    m_tokenTags.reserve(m_sourceText.size() / 4);

    std::string& text = m_sourceText;
    const std::size_t length = text.size();
    ProgressSink& sink = progress();
    sink.SetProgressRange(0, static_cast<long long>(length));
    if (!m_selection)
        sink.SetStatus("Parsing: " + m_fileName);

    std::size_t nextProgress = ProgressStep;
    std::size_t nextPump = 0;
    std::size_t pos = 0;
    while (pos < length) {
        if (pos >= nextPump) {
            pumpMessages();
            nextPump = pos + PumpStep;
        }
        if (pos + 1 >= nextProgress) {
            sink.SetProgressPosition(
                0, static_cast<long long>((pos + 1) / ProgressStep * ProgressStep));
            nextProgress = ((pos + 1) / ProgressStep + 1) * ProgressStep;
        }
        // Plain text up to the next "<" goes to the pending text in one piece (in pieces of
        // PumpStep characters, so that the window stays responsive). Tags often follow each
        // other directly, so that case saves the search.
        const void* lt = text[pos] == '<' ? text.data() + pos
                                          : std::memchr(text.data() + pos, '<', length - pos);
        const std::size_t textEnd
            = lt ? static_cast<std::size_t>(static_cast<const char*>(lt) - text.data()) : length;
        if (textEnd > pos) {
            const std::size_t chunkEnd = std::min(textEnd, pos + PumpStep);
            appendPending(std::string_view(text).substr(pos, chunkEnd - pos));
            pos = chunkEnd;
            continue;
        }

        // A tag starts here: the raw tag runs to the next ">" or to the end of the text.
        const void* gt = std::memchr(text.data() + pos + 1, '>', length - pos - 1);
        const std::size_t rawEnd = gt
            ? static_cast<std::size_t>(static_cast<const char*>(gt) - text.data()) + 1
            : length;
        const TagIndex::KeyInfo& keyInfo = lookUpRawTag(pos, rawEnd);
        BlockKind kind = keyInfo.blockKind;
        if (kind == BlockKind::TableCell) {
            const std::size_t cellEnd = blockEnd(BlockKind::TableCell, pos);
            if (isSimpleCell(pos, cellEnd)) {
                emitPending();
                handleSimpleCell(pos, cellEnd);
                pos = cellEnd + 1;
                continue;
            }
            kind = BlockKind::None;
        }
        if (kind != BlockKind::None) {
            emitPending();
            pos = handleBlock(kind, pos);
            continue;
        }
        if (keyInfo.textTag == 0) {
            emitPending();
            pos = handleOwnToken(pos, rawEnd, keyInfo);
        } else {
            pos = handleTextTag(pos, rawEnd, keyInfo);
        }
    }
    emitPending();
    sink.SetProgressPosition(0, static_cast<long long>(length));
    sink.SetProgressPosition(0, 0);
}

namespace {

/// How pending text treats a character: blanks, TABs and LFs are layout blanks and become one
/// blank; everything but them and CR is text.
struct PendingChar
{
    char becomes;
    unsigned char isBlank; ///< 0 or 1
    unsigned char isText; ///< 0 or 1
};

constexpr std::array<PendingChar, 256> PendingChars = [] {
    std::array<PendingChar, 256> chars {};
    for (int c = 0; c < 256; ++c)
        chars[c] = {static_cast<char>(c), 0, 1};
    chars['\r'].isText = 0;
    for (const char c : {' ', '\t', '\n'})
        chars[static_cast<unsigned char>(c)] = {' ', 1, 0};
    return chars;
}();

/// Copies [in, end) to out in pending form: LFs and TABs become blanks and a blank never
/// follows a blank (lastBlank: whether out already ends in one). hasText is set when anything
/// but blanks, TABs, LFs and CRs comes by. out may lie in the same buffer at or before in, as
/// the copy never grows. Returns the end of the copy.
char* collapseInto(
    const char* in, const char* end, char* out, unsigned& lastBlank, unsigned& hasText)
{
    constexpr std::uint64_t Ones = 0x0101010101010101u;
    constexpr std::uint64_t High = 0x8080808080808080u;
    constexpr std::uint64_t Low7 = 0x7F7F7F7F7F7F7F7Fu;
    while (in != end) {
        // Running text is mostly words with single blanks between them: eight characters at a
        // time are taken over unchanged when none of them is a control character (below
        // 0x20: TAB, LF, CR) and no blank follows a blank. The tests look at all eight bytes
        // at once and set the high bit of each byte that is below 0x20, or a blank; "next
        // byte" is the next higher one, as the bytes are read in little-endian order.
        if (std::endian::native == std::endian::little && end - in >= 8) {
            std::uint64_t x;
            std::memcpy(&x, in, sizeof x);
            const std::uint64_t control = ~(((x & Low7) + 0x60 * Ones) | x) & High;
            const std::uint64_t y = x ^ (0x20 * Ones);
            const std::uint64_t blank = ~(((y & Low7) + Low7) | y) & High;
            // Each byte's blank flag moved onto the next byte, and lastBlank onto the first.
            const std::uint64_t blankBefore = (blank << 8) | (lastBlank ? 0x80u : 0u);
            if ((control | (blank & blankBefore)) == 0) {
                std::memcpy(out, &x, sizeof x);
                out += 8;
                in += 8;
                lastBlank = in[-1] == ' ';
                hasText = 1; // eight characters without two blanks in a row hold text
                continue;
            }
        }
        // The rest, or eight characters that change, one by one. The loop has no branches
        // that depend on the characters: text alternates words and blanks too often for a
        // branch to be guessed right.
        const char* const stop = in + std::min<std::ptrdiff_t>(end - in, 8);
        for (; in != stop; ++in) {
            const PendingChar& kind = PendingChars[static_cast<unsigned char>(*in)];
            *out = kind.becomes;
            out += 1 - (kind.isBlank & lastBlank);
            lastBlank = kind.isBlank;
            hasText |= kind.isText;
        }
    }
    return out;
}

} // namespace

void Engine::appendPending(std::string_view text)
{
    // The pending text is kept in the form its token will have: LFs become blanks (leading
    // ones are dropped), TABs become blanks, runs of blanks collapse and blanks at the front
    // go. Emitting it is then a plain copy. The text is appended as it is (which sizes the
    // buffer without filling it first) and then rewritten over the copy, which never grows.
    const std::size_t oldSize = m_pending.size();
    m_pending.append(text);
    char* const begin = m_pending.data();
    unsigned lastBlank = oldSize == 0 || begin[oldSize - 1] == ' ';
    unsigned hasText = 0;
    char* const out
        = collapseInto(text.data(), text.data() + text.size(), begin + oldSize, lastBlank, hasText);
    m_pendingHasText = m_pendingHasText || hasText != 0;
    m_pending.resize(static_cast<std::size_t>(out - begin));
}

void Engine::emitPending()
{
    // Whitespace alone never becomes a token; it stays pending.
    if (!m_pendingHasText)
        return;
    m_tokens.addToken(m_pending);
    m_tokenTags.push_back(m_pendingTag);
    m_pending.clear();
    m_pendingHasText = false;
}

std::uint8_t Engine::tagLookupCode(const TagIndex::KeyInfo& keyInfo, std::string_view raw)
{
    // As TagIndex::findTag answers for the key.
    if (keyInfo.prefixEntry != 0)
        return static_cast<std::uint8_t>(keyInfo.prefixEntry * 2 + (keyInfo.prefixDirection < 0));
    return raw.size() > 1 && raw[1] == '/' ? 1 : 0;
}

bool Engine::finishTagCopy(
    std::string& text, std::size_t from, std::size_t& next, bool layoutTag) const
{
    // Whitespace right after a tag is kept as one blank on the tag, except after layout tags.
    // The copy is already collapsed, so the blank is added only where none ends the tag.
    if (next < m_sourceText.size() && isInputBlank(m_sourceText[next]) && !layoutTag) {
        if (text.size() == from || text.back() != ' ')
            text += ' ';
        ++next;
    }
    if (isTidy(std::string_view(text).substr(from)))
        return true;
    // Tidying must not make a comment start of what was none: a later scan of the output would
    // take the text after it for a comment, which compressing purges, or drop it at once as a
    // generated "<!--~" comment.
    if (!tidyingMakesComment(std::string_view(text).substr(from)))
        tidyBrackets(text, from);
    return false;
}

namespace {

/// Appends the raw tag to text with LFs and TABs turned into blanks, runs of blanks collapsed,
/// and its name's case converted as convertTagNameCase does on the collapsed copy.
void appendRawTag(std::string_view raw, int tagCase, std::string& text)
{
    // Appended first (which sizes the copy without filling it), then rewritten over itself.
    const std::size_t from = text.size();
    text.append(raw);
    char* const begin = text.data() + from;
    // The name runs to the first blank, TAB, LF, double quote or ">"; it holds no blank, so
    // nothing collapses in it. Processing instructions such as <?xml ...?> keep their case.
    std::size_t n = 0;
    if ((tagCase == 1 || tagCase == 2) && !(raw.size() > 1 && raw[1] == '?')) {
        const std::array<char, 256>& map = tagNameCaseMap(tagCase);
        for (; n < raw.size(); ++n) {
            const char c = raw[n];
            if (c == ' ' || c == '\t' || c == '\n' || c == '"' || c == '>')
                break;
            begin[n] = map[static_cast<unsigned char>(c)];
        }
    }
    unsigned lastBlank = 0;
    unsigned hasText = 0;
    char* const out
        = collapseInto(raw.data() + n, raw.data() + raw.size(), begin + n, lastBlank, hasText);
    text.resize(static_cast<std::size_t>(out - text.data()));
}

} // namespace

std::size_t Engine::handleOwnToken(
    std::size_t start, std::size_t rawEnd, const TagIndex::KeyInfo& keyInfo)
{
    const std::string_view raw = std::string_view(m_sourceText).substr(start, rawEnd - start);
    std::string& tag = m_work;
    tag.clear();
    appendRawTag(raw, m_style.options.TagCase, tag);
    std::size_t next = rawEnd;
    const bool asRaw = finishTagCopy(tag, 0, next, keyInfo.layout);
    // The tag replaces the pending text: whitespace still pending is dropped.
    m_pending.clear();
    m_pendingHasText = false;
    m_tokens.addToken(tag);
    m_tokenTags.push_back(asRaw ? tagLookupCode(keyInfo, raw) : UnknownTag);
    return next;
}

std::size_t Engine::handleTextTag(
    std::size_t start, std::size_t rawEnd, const TagIndex::KeyInfo& keyInfo)
{
    const RecTAGInfo& info = m_style.tags[keyInfo.textTag];
    const std::string_view raw = std::string_view(m_sourceText).substr(start, rawEnd - start);
    // The copy keeps the raw tag's second character (the first is "<", so no blank before it
    // is dropped, and "/" changes neither with TABs nor with case).
    const bool isEndTag = raw.size() > 1 && raw[1] == '/';
    if (!isEndTag && info.CRLFLeading > 0)
        emitPending();
    // The tag is copied straight into the pending text: its copy is in pending form already (it
    // begins with "<", its blanks are single blanks and it holds no TAB or LF).
    const std::size_t from = m_pending.size();
    appendRawTag(raw, m_style.options.TagCase, m_pending);
    std::size_t next = rawEnd;
    const bool asRaw = finishTagCopy(m_pending, from, next, keyInfo.layout);
    // A token that begins with this tag is looked up by it.
    if (from == 0)
        m_pendingTag = asRaw ? tagLookupCode(keyInfo, raw) : UnknownTag;
    m_pendingHasText = true;
    if (isEndTag && info.CRLFFollowed > 0)
        emitPending();
    return next;
}

const TagIndex::KeyInfo& Engine::lookUpRawTag(std::size_t start, std::size_t rawEnd)
{
    const std::string_view raw = std::string_view(m_sourceText).substr(start, rawEnd - start);
    // Most tags are short and come again and again ("</span>", "<li>"): a tag of at most
    // eight characters is remembered by its bytes (read as one word, little-endian, so that
    // the mask keeps the tag's own), which saves computing and looking up its key again.
    if (std::endian::native == std::endian::little && raw.size() <= 8
        && start + 8 <= m_sourceText.size()) {
        std::uint64_t bytes;
        std::memcpy(&bytes, raw.data(), sizeof bytes);
        bytes &= ~std::uint64_t {0} >> (64 - 8 * raw.size());
        // The top six bits of the product pick one of the 64 places.
        static_assert(std::tuple_size_v<decltype(m_shortTags)> == 64);
        ShortTag& tag = m_shortTags[(bytes * 0x9E3779B97F4A7C15u) >> 58];
        if (tag.length != raw.size() || tag.bytes != bytes) {
            KeyBuffer key;
            tag = {bytes, raw.size(), &m_index.lookUp(keyInBuffer(raw, key))};
        }
        return *tag.info;
    }
    KeyBuffer key;
    return m_index.lookUp(keyInBuffer(raw, key));
}

std::size_t Engine::blockEnd(BlockKind kind, std::size_t start)
{
    // Searches only ever move forward, so the last answer for a kind still holds while it
    // lies at or after the new starting point; this keeps repeated <TD> checks linear.
    const std::string_view text(m_sourceText);
    const BlockKindInfo& info = blockKindInfo(kind);
    SearchMemo& memo = m_endMarkerMemo[static_cast<std::size_t>(kind)];
    const std::size_t from = start + 1;
    std::size_t marker;
    if (memo.from != std::string::npos && memo.from <= from
        && (memo.found == std::string::npos || memo.found >= from)) {
        marker = memo.found;
    } else {
        marker = findNoCase(text, info.endMarker, from);
        memo = {from, marker};
    }
    if (marker == std::string::npos)
        return text.size() - 1;
    const std::size_t close = text.find('>', marker + info.endMarker.size() - 1);
    return close == std::string::npos ? text.size() - 1 : close;
}

bool Engine::isSimpleCell(std::size_t start, std::size_t cellEnd)
{
    const std::string_view text(m_sourceText);
    std::size_t from = text.find('>', start);
    from = from == std::string::npos ? text.size() : from + 1;
    while (from < text.size() && isInputBlank(text[from]))
        ++from;

    // A scan that began earlier and passed this point outside a tag without failing gives
    // the same answer from here on, so it is resumed instead of repeated.
    CellScanMemo& scan = m_cellScan;
    const bool resumable = scan.valid && scan.start <= from
        && (scan.failed ? scan.failPos >= from : scan.pos >= from);
    if (!resumable)
        scan = CellScanMemo {true, from, from, false, false, 0};
    while (!scan.failed && scan.pos <= cellEnd && scan.pos < text.size()) {
        const char c = text[scan.pos];
        if (scan.inside) {
            if (c == '>')
                scan.inside = false;
        } else if (c == '<') {
            scan.inside = true;
        } else {
            scan.failed = true;
            scan.failPos = scan.pos;
            break;
        }
        ++scan.pos;
    }
    return !(scan.failed && scan.failPos <= cellEnd);
}

void Engine::addMarker(BlockKind kind)
{
    ++m_markerCounter;
    std::string marker = "###";
    marker += blockKindInfo(kind).startMarker;
    marker += ':';
    marker += std::to_string(m_markerCounter);
    const int block = m_blocks.beginBlock(kind, marker);
    m_tokens.addMarker(marker, block);
    m_tokenTags.push_back(UnknownTag);
}

std::size_t Engine::handleBlock(BlockKind kind, std::size_t start)
{
    m_pending.clear();
    m_pendingHasText = false;
    const std::size_t end = blockEnd(kind, start);
    if (kind == BlockKind::AutoComment)
        return end + 1; // generated by an earlier run: dropped without a trace
    addMarker(kind);
    // The block's lines exactly as in the input; a final LF of the text ends the last line
    // rather than starting an empty one.
    std::string_view block = std::string_view(m_sourceText).substr(start, end - start + 1);
    while (!block.empty()) {
        const std::size_t lf = block.find('\n');
        if (lf == std::string_view::npos) {
            m_blocks.addContentLine(block);
            break;
        }
        m_blocks.addContentLine(block.substr(0, lf));
        block.remove_prefix(lf + 1);
    }
    return end + 1;
}

void Engine::handleSimpleCell(std::size_t start, std::size_t cellEnd)
{
    m_pending.clear();
    m_pendingHasText = false;
    addMarker(BlockKind::TableCell);
    std::string& line = m_work;
    line.assign(m_sourceText, start, cellEnd - start + 1);
    // Blanks first, so that a tag name ends at a TAB or LF like at a blank.
    for (char& c : line) {
        if (c == '\t' || c == '\n')
            c = ' ';
    }
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '<')
            convertTagNameCase(line, i, m_style.options.TagCase);
    }
    collapseBlanks(line);
    m_blocks.addContentLine(line);
}

} // namespace zenkel
