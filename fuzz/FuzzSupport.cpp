/// Shared parts of the fuzz targets: style decoding, source text form and common checks.
#include "FuzzSupport.h"

#include <array>
#include <climits>
#include <cstdio>
#include <cstdlib>

namespace zenkel::fuzz {

namespace {

/// Tag keys the table entries and the trim list are built from: common tags, the block
/// start markers, and keys that only prefix others or are odd.
constexpr std::array<std::string_view, 32> TagNames = {
    "<TABLE>",
    "<TR>",
    "<TD>",
    "<TH>",
    "<P>",
    "<B>",
    "<A>",
    "<I>",
    "<FONT>",
    "<PRE>",
    "<SCRIPT>",
    "<STYLE>",
    "<TEXTAREA>",
    "<BR>",
    "<DIV>",
    "<SPAN>",
    "<UL>",
    "<LI>",
    "<H1>",
    "<HTML>",
    "<BODY>",
    "<TITLE>",
    "<!--",
    "<%",
    "<>",
    "<",
    "<T",
    "<IMG>",
    "<BR/>",
    "<H>",
    "<ABCDEFGHIJKLMNOPQR>",
    "",
};

constexpr std::array<std::string_view, 16> CommentTexts = {
    "",
    "Table",
    "Table #",
    "x",
    "~-->",
    "<!--",
    "-->",
    "Ende",
    "\xC4\xD6\xDC",
    "  ",
    "###<!--:1",
    "a b c d e f g h i j k l m n o",
    "<TD>",
    "%>",
    "\t",
    "123456789012345678901234567890",
};

constexpr std::array<std::string_view, 4> CommentSymbols = {"*", "", "#", "~"};
constexpr std::array<int, 4> CommentLengths = {40, -10, 25, INT_MAX};
constexpr std::array<std::string_view, 4> UserInfos
    = {"Unknown User", "", "A. N. Other", "~--> <!-- x"};

int lineSizeOf(std::uint8_t b)
{
    constexpr std::array<int, 8> special = {0, -1, 1, 2, 10, 80, 500, INT_MAX};
    return b < special.size() ? special[b] : 5 + b % 100;
}

int spacingOf(std::uint8_t b)
{
    constexpr std::array<int, 4> special = {0, -4, INT_MAX, INT_MIN};
    return b < special.size() ? special[b] : b % 13;
}

/// Indent steps: mostly the window's range, now and then absurd values from a hand-edited file.
int indentOf(unsigned nibble)
{
    constexpr std::array<int, 16> values
        = {0, 1, 2, 3, 4, 0, 1, 1, 2, -1, -5, 10, 100, INT_MAX, INT_MIN, 0};
    return values[nibble & 15];
}

/// Line break counts, likewise.
int breaksOf(unsigned nibble)
{
    constexpr std::array<int, 16> values
        = {0, 1, 1, 2, 3, 5, 0, 1, 2, -1, -100, 10, 50, 1000000, INT_MAX, INT_MIN};
    return values[nibble & 15];
}

std::string closeTagOf(std::string_view open, unsigned variant)
{
    switch (variant & 3) {
    case 0:
        return open.empty() ? std::string() : "</" + std::string(open.substr(1));
    case 1:
        return {};
    case 2:
        return "</H>";
    default:
        return std::string(open);
    }
}

RecTAGInfo decodeEntry(ByteReader& in)
{
    const std::uint8_t e0 = in.next();
    const std::uint8_t e1 = in.next();
    const std::uint8_t e2 = in.next();
    const std::uint8_t e3 = in.next();
    const std::uint8_t e4 = in.next();
    RecTAGInfo entry;
    entry.TagOpen = std::string(TagNames[e0 & 31]);
    entry.TagClose = cutToCapacity(closeTagOf(entry.TagOpen, e0 >> 6), TagTextCapacity);
    entry.tagName = entry.TagOpen;
    entry.TreatAsText = (e0 & 32) != 0;
    entry.isSelfIndent = indentOf(e1);
    entry.isContentIndent = indentOf(e1 >> 4);
    entry.CRLFLeading = breaksOf(e2);
    entry.CRLFFollowed = breaksOf(e2 >> 4);
    entry.DoGenerateSComment = (e3 & 1) != 0;
    entry.DoGenerateEComment = (e3 & 2) != 0;
    entry.EnableCounter = (e3 & 4) != 0;
    entry.CIndent = (e3 & 8) != 0;
    entry.CommentLength = CommentLengths[(e3 >> 4) & 3];
    entry.CommentSymbol = std::string(CommentSymbols[e3 >> 6]);
    entry.StartComment = std::string(CommentTexts[e4 & 15]);
    entry.EndComment = std::string(CommentTexts[e4 >> 4]);
    return entry;
}

std::string trimEntryOf(std::uint8_t b)
{
    std::string tag(TagNames[b & 31]);
    if (tag.empty())
        tag = "<";
    if (b & 32)
        tag.insert(1, "/");
    if (b & 64) {
        // Entries that never match: lower case or a trailing blank.
        if (tag.size() > 1 && tag[1] >= 'A' && tag[1] <= 'Z')
            tag[1] = static_cast<char>(tag[1] - 'A' + 'a');
        else
            tag += ' ';
    }
    return ((b & 128) ? "1" : "0") + tag;
}

bool isWhitespace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

} // namespace

std::string ByteReader::text(std::size_t count)
{
    count = std::min(count, remaining());
    std::string out(reinterpret_cast<const char*>(m_data + m_pos), count);
    m_pos += count;
    return out;
}

EngineInput decodeEngineInput(const std::uint8_t* data, std::size_t size)
{
    const std::size_t headerSize = std::min(size, StyleHeaderSize);
    ByteReader in(data, headerSize);
    EngineInput input;
    StyleOptions& options = input.style.options;
    options.StyleName = "fuzz";
    options.LineSize = lineSizeOf(in.next());
    options.Spacing = spacingOf(in.next());
    const std::uint8_t flags = in.next();
    options.TagCase = flags & 3;
    options.BreakExcluder = (flags & 4) ? "<>" : "\"";
    options.DoPurgeComments = (flags & 8) != 0;
    options.UseWhileFormat = (flags & 16) != 0;
    options.UseWhileCompress = (flags & 32) != 0;
    input.autoCommentRun = (flags & 64) != 0;
    const bool rawTable = (flags & 128) != 0;
    const std::uint8_t countByte = in.next();

    // Auto comments are off unless a run asks for them: they add text of their own.
    options.DoDisableComments = true;

    TagTable& table = input.style.tags;
    InitTagTable(table);
    std::array<RecTAGInfo, FuzzTagEntries> decoded;
    for (RecTAGInfo& entry : decoded)
        entry = decodeEntry(in);
    // Now and then a full table, to reach its capacity.
    const int count = countByte >= 250 ? MaxTagEntries : countByte % (FuzzTagEntries + 1);
    for (int i = 1; i <= count; ++i) {
        RecTAGInfo entry = decoded[static_cast<std::size_t>(i - 1) % FuzzTagEntries];
        if (i > static_cast<int>(FuzzTagEntries)) {
            entry.TagOpen = std::string(TagNames[static_cast<std::size_t>(i) % TagNames.size()]);
            entry.TagClose = closeTagOf(entry.TagOpen, 0);
            entry.tagName = entry.TagOpen;
        }
        entry.index = i;
        // A loaded table never has a stand-alone tag without line breaks; a raw one may.
        if (!rawTable)
            enforceStandAloneBreaks(entry);
        table[i] = entry;
    }
    table.tagCount = count;

    for (std::size_t i = 0; i < FuzzTrimEntries; ++i)
        input.trimList.push_back(trimEntryOf(in.next()));
    options.UserInfo = std::string(UserInfos[in.next() & 3]);
    // The layout switches: indentation without TABs, short elements on one line.
    const std::uint8_t layout = in.next();
    options.IndentWithTabs = (layout & 1) == 0;
    const unsigned oneLine = in.next() | (static_cast<unsigned>(layout >> 1) << 8);
    for (int i = 1; i <= count; ++i)
        table[i].KeepOnOneLine = ((oneLine >> ((i - 1) % FuzzTagEntries)) & 1) != 0;

    const std::string_view rest(
        reinterpret_cast<const char*>(data) + headerSize, size - headerSize);
    input.source = sourceTextForm(rest);
    removeGeneratedCommentStarts(input.source);
    return input;
}

std::string sourceTextForm(std::string_view raw)
{
    std::string text;
    text.reserve(raw.size() + 1);
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c == '\r') {
            if (i + 1 < raw.size() && raw[i + 1] == '\n')
                ++i;
            text += '\n';
        } else {
            text += c;
        }
    }
    if (!text.empty() && text.back() != '\n')
        text += '\n';
    return text;
}

void removeGeneratedCommentStarts(std::string& text)
{
    std::size_t pos = 0;
    while ((pos = text.find("<!--~", pos)) != std::string::npos) {
        text.erase(pos, 5);
        // The removal may have joined a new "<!--~" that starts up to four characters earlier.
        pos = pos >= 4 ? pos - 4 : 0;
    }
}

void prepareEngine(Engine& engine, const EngineInput& input)
{
    engine.style() = input.style;
    engine.setTrimList(&input.trimList);
    engine.setClock([] { return LocalDateTime {2026, 12, 7, 21, 5}; });
    engine.setTimeSeparator(':');
    engine.setSourceText(input.source, "fuzz.htm");
}

std::string essence(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (isWhitespace(c) || c == '<' || c == '>')
            continue;
        switch (static_cast<unsigned char>(c)) {
        case 0xE4:
            c = '\xC4';
            break;
        case 0xF6:
            c = '\xD6';
            break;
        case 0xFC:
            c = '\xDC';
            break;
        default:
            c = upperAscii(c);
        }
        out += c;
    }
    return out;
}

std::string joinLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += '\n';
    }
    return text;
}

std::vector<std::string> blockLines(const BlockStore& blocks, const BlockStore::Block& block)
{
    std::vector<std::string> lines;
    for (std::size_t n = 0; n < block.lineCount; ++n)
        lines.emplace_back(blocks.contentLine(block, n));
    return lines;
}

void checkScan(const Engine& engine, const std::string& source)
{
    const TokenList& tokens = engine.tokenList();
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (tokens.isMarker(i)) {
            check(tokens[i].starts_with("###"), "a marker line begins with ###", tokens[i]);
            continue;
        }
        const std::string_view token = tokens[i];
        check(token.find('\n') == std::string_view::npos, "a token holds no LF", token);
        check(token.find('\t') == std::string_view::npos, "a token holds no TAB", token);
        check(token.empty() || token[0] != ' ', "a token has no leading blank", token);
    }
    check(essence(scannedText(engine, [](const BlockStore::Block&) { return true; }))
            == essence(source),
        "the scan loses nothing but whitespace, case and brackets");

    // Each block but a simple cell is a piece of the source, in source order. The lists store
    // a line that is exactly one blank as an empty line; the source is compared in that form.
    std::string stored = source;
    for (std::size_t pos = 0; (pos = stored.find("\n \n", pos)) != std::string::npos;)
        stored.erase(pos + 1, 1);
    if (stored.starts_with(" \n"))
        stored.erase(0, 1);
    const BlockStore& blocks = engine.blockStore();
    std::size_t cursor = 0;
    for (std::size_t b = 0; b < blocks.blockCount(); ++b) {
        const BlockStore::Block& block = blocks.block(b);
        if (block.kind == BlockKind::TableCell)
            continue;
        std::string text;
        for (std::size_t n = 0; n < block.lineCount; ++n) {
            if (n > 0)
                text += '\n';
            text += blocks.contentLine(block, n);
        }
        const std::size_t at = stored.find(text, cursor);
        check(at != std::string::npos, "a block is a copy of the source", text);
        check(!text.empty() && text[0] == '<', "a block begins with <", text);
        cursor = at + text.size();
    }
}

bool findLineRun(const std::vector<std::string>& lines, const std::vector<std::string>& needle,
    std::size_t& from)
{
    if (needle.empty())
        return true;
    for (std::size_t i = from; i + needle.size() <= lines.size(); ++i) {
        bool match = true;
        for (std::size_t k = 0; k < needle.size() && match; ++k)
            match = lines[i + k] == needle[k];
        if (match) {
            from = i + needle.size();
            return true;
        }
    }
    return false;
}

void fail(std::string_view what, std::string_view detail)
{
    std::fprintf(
        stderr, "\n*** fuzz check failed: %.*s\n", static_cast<int>(what.size()), what.data());
    if (!detail.empty()) {
        const std::size_t shown = std::min<std::size_t>(detail.size(), 400);
        std::fprintf(stderr, "*** detail (%zu bytes): %.*s\n", detail.size(),
            static_cast<int>(shown), detail.data());
    }
    std::abort();
}

} // namespace zenkel::fuzz
