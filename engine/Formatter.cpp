/// Formatter: turns the token list into indented, wrapped lines.
#include "engine/Engine.h"
#include "engine/TextOps.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace zenkel {

namespace {

constexpr std::size_t ProgressStep = 100;
constexpr std::size_t PumpStep = 256;
/// Limits that keep absurd values from a hand-edited style from exhausting memory: no real
/// page needs more indentation, a longer comment fill or more line breaks around a tag than this.
constexpr long long MaxIndentColumns = 16384;
constexpr long long MaxCommentFill = 4096;
constexpr int MaxLineBreaks = 1000; ///< CRLFLeading, CRLFFollowed

} // namespace

void Engine::FormatHTML()
{
    ResetCounters(m_style.tags);
    m_index.build(m_style.tags);
    m_indentLevel = 0;
    m_countCodePoints = isUtf8Text(m_sourceText);
    m_useTokenTags = m_tokenTags.size() == m_tokens.size() && tableKeys() == m_scanTableKeys;
    // Indentation makes the output somewhat larger than the text; reserve for that.
    m_outputList.reserve(m_sourceText.size() / 8, m_sourceText.size() + m_sourceText.size() / 4);
    releaseSourceText();
    ProgressSink& sink = progress();
    if (!m_selection) {
        sink.SetProgressRange(0, static_cast<long long>(m_tokens.size()));
        sink.SetStatus("Formatting: " + m_fileName);
        if (m_style.options.UseWhileFormat)
            addOutputLine(MakeDokuLine());
    }
    std::size_t nextPump = 0;
    std::size_t nextProgress = 0;
    for (std::size_t i = 0; i < m_tokens.size(); ++i) {
        if (i >= nextPump) {
            pumpMessages();
            nextPump = (i / PumpStep + 1) * PumpStep;
        }
        if (i >= nextProgress) {
            sink.SetProgressPosition(0, static_cast<long long>(i / ProgressStep * ProgressStep));
            nextProgress = (i / ProgressStep + 1) * ProgressStep;
        }
        i = formatToken(i);
    }
    sink.SetProgressPosition(0, static_cast<long long>(m_tokens.size()));
    sink.SetProgressPosition(0, 0);
    if (!m_selection)
        sink.SetStatus("Formatted and saved: " + m_fileName);
}

const RecTAGInfo& Engine::lookUpTag(std::string_view tag, int& direction) const
{
    KeyBuffer key;
    return lookUpTag(tag, keyInBuffer(tag, key), direction);
}

const RecTAGInfo& Engine::lookUpTag(
    std::string_view tag, std::string_view key, int& direction) const
{
    int entry = 0;
    direction = m_index.findTag(key, tag.size() > 1 && tag[1] == '/', entry);
    return m_style.tags[entry];
}

const RecTAGInfo& Engine::lookUpToken(std::size_t i, int& direction) const
{
    const std::uint8_t code = m_useTokenTags ? m_tokenTags[i] : UnknownTag;
    if (code == UnknownTag)
        return lookUpTag(m_tokens[i], direction);
    direction = code % 2 != 0 ? -1 : 1;
    return m_style.tags[code / 2];
}

std::vector<std::string> Engine::tableKeys() const
{
    std::vector<std::string> keys;
    keys.reserve(static_cast<std::size_t>(m_style.tags.tagCount) * 2);
    for (int i = 1; i <= m_style.tags.tagCount; ++i) {
        keys.push_back(m_style.tags[i].TagOpen);
        keys.push_back(m_style.tags[i].TagClose);
    }
    return keys;
}

std::size_t Engine::formatToken(std::size_t i)
{
    if (m_tokens.isMarker(i)) {
        WriteBlock(static_cast<std::size_t>(m_tokens.blockOf(i)));
        return i;
    }
    const std::string_view token = m_tokens[i];
    if (token.empty() || token[0] != '<') {
        WrapText(token);
        return i;
    }
    int direction = 0;
    const RecTAGInfo& entry = lookUpToken(i, direction);
    if (direction < 0) {
        formatEndTag(token, entry);
    } else if (entry.TreatAsText) {
        formatRunStart(token, entry);
    } else if (entry.KeepOnOneLine) {
        const std::size_t end = shortElementEnd(i, entry);
        if (end != 0) {
            formatShortElement(i, end, entry);
            return end;
        }
        formatStartTag(token, entry);
    } else {
        formatStartTag(token, entry);
    }
    return i;
}

bool Engine::addsLinesAt(const RecTAGInfo& entry, bool start) const
{
    // Asked for, not whether comments are disabled now: switching auto comments on or off
    // only adds or removes comment lines and never joins or splits an element.
    const int breaks = start ? entry.CRLFLeading : entry.CRLFFollowed;
    if (breaks > 1)
        return true;
    if (entry.TreatAsText && breaks < 1)
        return false;
    return start ? entry.DoGenerateSComment : entry.DoGenerateEComment;
}

bool Engine::isOneLineContent(std::size_t i) const
{
    const std::string_view token = m_tokens[i];
    if (token.empty() || token[0] != '<')
        return true;
    // A run that begins with an 'As Text' tag, as long as neither that tag nor the tag that
    // ends the run asks for empty lines or auto comments of its own.
    int direction = 0;
    const RecTAGInfo& entry = lookUpToken(i, direction);
    if (direction < 0 || !entry.TreatAsText || addsLinesAt(entry, true))
        return false;
    std::string_view trimmed = token;
    while (!trimmed.empty() && trimmed.back() == ' ')
        trimmed.remove_suffix(1);
    if (trimmed.size() < 2 || trimmed.back() != '>')
        return true;
    const std::string_view lastTag = trimmed.substr(trimmed.rfind('<'));
    KeyBuffer keyBuffer;
    const std::string_view key = keyInBuffer(lastTag, keyBuffer);
    if (key == entry.TagOpen)
        return true;
    const RecTAGInfo& last = lookUpTag(lastTag, key, direction);
    return !addsLinesAt(last, direction > 0);
}

namespace {

std::string_view withoutTrailingBlanks(std::string_view text)
{
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

} // namespace

std::size_t Engine::shortElementEnd(std::size_t start, const RecTAGInfo& entry)
{
    std::size_t end = start + 1;
    if (end < m_tokens.size() && !m_tokens.isMarker(end) && isOneLineContent(end))
        ++end;
    if (end >= m_tokens.size() || m_tokens.isMarker(end))
        return 0;
    const std::string_view endTag = m_tokens[end];
    if (endTag.size() < 2 || endTag[0] != '<' || endTag[1] != '/')
        return 0;
    int direction = 0;
    if (&lookUpToken(end, direction) != &entry || direction > 0)
        return 0;
    const long long lineSize = m_style.options.LineSize;
    std::size_t length = 0;
    for (std::size_t i = start; i <= end; ++i) {
        const std::string_view text = withoutTrailingBlanks(m_tokens[i]);
        // No character takes more than four bytes: a long paragraph is too long uncounted.
        if (static_cast<long long>(text.size() / 4) > lineSize)
            return 0;
        length += characterCount(text, m_countCodePoints);
    }
    return static_cast<long long>(length) <= lineSize ? end : 0;
}

void Engine::formatShortElement(std::size_t start, std::size_t end, const RecTAGInfo& entry)
{
    std::string& line = m_elementLine;
    line.clear();
    for (std::size_t i = start; i <= end; ++i)
        line += withoutTrailingBlanks(m_tokens[i]);
    // The same steps as for the start tag, its content and its end tag on lines of their own.
    lineBreaks(entry.CRLFLeading);
    raiseIndent(entry.isSelfIndent);
    AutoComment(true, entry);
    IndentLine(line);
    raiseIndent(entry.isContentIndent);
    lowerIndent(entry.isContentIndent);
    AutoComment(false, entry);
    lowerIndent(entry.isSelfIndent);
    lineBreaks(entry.CRLFFollowed);
}

void Engine::formatRunStart(std::string_view token, const RecTAGInfo& entry)
{
    // The tag that ends the run, if the run ends in one.
    std::string_view lastTag;
    std::string_view trimmed = token;
    while (!trimmed.empty() && trimmed.back() == ' ')
        trimmed.remove_suffix(1);
    if (trimmed.size() > 1 && trimmed.back() == '>') {
        const std::size_t lt = trimmed.rfind('<');
        if (lt != std::string_view::npos)
            lastTag = trimmed.substr(lt);
    }

    lineBreaks(entry.CRLFLeading);
    AutoComment(true, entry);
    WrapText(token);
    if (lastTag.empty())
        return;
    KeyBuffer keyBuffer;
    const std::string_view key = keyInBuffer(lastTag, keyBuffer);
    if (key == entry.TagOpen)
        return;
    int direction = 0;
    const RecTAGInfo& last = lookUpTag(lastTag, key, direction);
    if (direction < 0) {
        AutoComment(false, last);
        lineBreaks(last.CRLFFollowed);
    } else {
        AutoComment(true, last);
        lineBreaks(last.CRLFLeading);
    }
}

void Engine::formatStartTag(std::string_view token, const RecTAGInfo& entry)
{
    lineBreaks(entry.CRLFLeading);
    raiseIndent(entry.isSelfIndent);
    AutoComment(true, entry);
    IndentLine(token);
    raiseIndent(entry.isContentIndent);
}

void Engine::formatEndTag(std::string_view token, const RecTAGInfo& entry)
{
    if (!entry.TreatAsText)
        lowerIndent(entry.isContentIndent);
    IndentLine(token);
    AutoComment(false, entry);
    if (!entry.TreatAsText)
        lowerIndent(entry.isSelfIndent);
    lineBreaks(entry.CRLFFollowed);
}

void Engine::raiseIndent(int steps)
{
    if (steps > 0)
        m_indentLevel = std::min(m_indentLevel + steps, MaxIndentColumns);
}

void Engine::lowerIndent(int steps)
{
    // A subtraction that would go below 0 is skipped, so stray end tags do no harm.
    if (steps > 0 && steps <= m_indentLevel)
        m_indentLevel -= steps;
}

void Engine::lineBreaks(int count)
{
    count = std::min(count, MaxLineBreaks);
    for (int n = 1; n < count; ++n)
        addOutputLine({});
}

void Engine::IndentLine(std::string_view line)
{
    if (line.empty() || line[0] == '\t') {
        addOutputLine(line);
        return;
    }
    const long long spacing = std::max(0, m_style.options.Spacing);
    const long long columns = std::min(m_indentLevel * spacing, MaxIndentColumns);
    const long long tabs = m_style.options.IndentWithTabs ? columns / 8 : 0;
    // The line is built in place at the end of the output list, not copied there.
    TextList& out = lineInPlace();
    if (m_selection)
        out.appendToOpen(m_selectionPrefix);
    out.appendToOpen(static_cast<std::size_t>(tabs), '\t');
    out.appendToOpen(static_cast<std::size_t>(columns - tabs * 8), ' ');
    out.appendToOpen(line);
    endOutputLine();
}

namespace {

/// Where WrapText cuts a token that is too long: after the last blank outside protection
/// before byte fit (the first byte of the first character that no longer fits on the line),
/// else after the first blank outside protection from fit on; 0 when there is no blank
/// outside protection from fit on, and the token stays whole. Protection runs from "<" to the
/// next ">" (tag mode) or between double quotes (quote mode); the token begins outside it.
/// The stretches outside protection are found with memchr, and only blanks near the end of
/// the line are looked at. Nothing after the first blank outside protection from fit on is
/// read, so cutting a long token into lines reads it about once.
std::size_t wrapCut(std::string_view token, std::size_t fit, bool quoteMode)
{
    const char opening = quoteMode ? '"' : '<';
    const char closing = quoteMode ? '"' : '>';
    const char* const data = token.data();
    const std::size_t size = token.size();
    // Position of c in [from, to), or to.
    auto find = [data](char c, std::size_t from, std::size_t to) {
        const void* hit = from < to ? std::memchr(data + from, c, to - from) : nullptr;
        return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - data) : to;
    };
    std::size_t lastBreak = 0; // bytes up to and including the last blank that fits
    std::size_t pos = 0; // where the current stretch outside protection begins
    while (pos < size) {
        std::size_t open;
        if (pos < fit) {
            open = find(opening, pos, fit);
            for (std::size_t i = open; i > pos; --i) {
                if (data[i - 1] == ' ') {
                    lastBreak = i;
                    break;
                }
            }
            if (open == fit) {
                pos = fit;
                continue;
            }
        } else {
            // The next blank is usually a few characters away: a plain loop finds it (or a
            // protection start before it) faster than memchr calls would.
            open = pos;
            while (open < size && data[open] != ' ' && data[open] != opening)
                ++open;
            if (open == size)
                return 0;
            if (data[open] == ' ')
                return lastBreak != 0 ? lastBreak : open + 1;
        }
        pos = find(closing, open + 1, size) + 1;
    }
    return 0;
}

/// The first byte of the first character of text that does not fit on a line of lineSize
/// characters, or the size of text when all of it fits. Only the bytes of one line are
/// counted, so cutting a long token into lines counts it about once.
std::size_t firstOverflow(std::string_view text, long long lineSize, bool utf8)
{
    if (lineSize <= 0)
        return 0;
    const auto limit = static_cast<std::size_t>(lineSize);
    if (!utf8)
        return std::min(limit, text.size());
    // Each step takes as many bytes as characters are still missing (mostly all of them at
    // once, as most characters are single bytes); then the bytes that continue the last
    // character counted are passed over.
    std::size_t fit = 0;
    for (std::size_t chars = 0; chars < limit && fit < text.size();) {
        const std::size_t step = std::min(limit - chars, text.size() - fit);
        chars += characterCount(text.substr(fit, step), true);
        fit += step;
    }
    while (fit < text.size() && (static_cast<unsigned char>(text[fit]) & 0xC0) == 0x80)
        ++fit;
    return fit;
}

} // namespace

void Engine::WrapText(std::string_view token)
{
    // Trailing blanks are never a reason to cut: the line loses them anyway, and the same text
    // must wrap alike whether a tag or a line break followed it in the source.
    while (!token.empty() && token.back() == ' ')
        token.remove_suffix(1);
    const long long lineSize = m_style.options.LineSize;
    const bool quoteMode = m_style.options.BreakExcluder == "\"";
    // Lengths and positions count characters: in UTF-8 text a continuation byte starts none.
    const bool utf8 = m_countCodePoints;
    for (;;) {
        // Each cut lies at a blank outside protection, so the rest of the token begins outside
        // it again.
        const std::size_t fit = firstOverflow(token, lineSize, utf8);
        if (fit == token.size())
            break;
        const std::size_t cut = wrapCut(token, fit, quoteMode);
        if (cut == 0)
            break;
        IndentLine(token.substr(0, cut));
        token.remove_prefix(cut);
    }
    if (!token.empty())
        IndentLine(token);
}

void Engine::AutoComment(bool start, const RecTAGInfo& entry)
{
    if (m_style.options.DoDisableComments)
        return;
    // An auto comment needs its tag at the edge of a line.
    if (entry.TreatAsText && (start ? entry.CRLFLeading < 1 : entry.CRLFFollowed < 1))
        return;
    if (start ? !entry.DoGenerateSComment : !entry.DoGenerateEComment)
        return;
    const std::string& text = start ? entry.StartComment : entry.EndComment;
    const std::string number
        = start ? counterStartStep(m_style.tags, entry) : counterEndStep(m_style.tags, entry);
    long long fill
        = (static_cast<long long>(entry.CommentLength) - static_cast<long long>(text.size())
              - static_cast<long long>(number.size()) - 10)
        / 2;
    fill = std::clamp(fill, 0LL, MaxCommentFill);
    std::string fillText;
    for (long long n = 0; n < fill; ++n)
        fillText += entry.CommentSymbol;

    std::string comment = "<!--~";
    comment += fillText;
    if (!text.empty()) {
        comment += ' ';
        comment += text;
        comment += number;
        comment += ' ';
    }
    comment += fillText;
    comment += "~-->";
    if (entry.CIndent)
        IndentLine(comment);
    else
        addOutputLine(comment);
}

void Engine::WriteBlock(std::size_t blockIndex)
{
    const BlockStore::Block& block = m_blocks.block(blockIndex);
    const bool cell = block.kind == BlockKind::TableCell;
    const RecTAGInfo* entry = nullptr;
    if (cell) {
        int direction = 0;
        entry = &lookUpTag("<TD>", direction);
        lineBreaks(entry->CRLFLeading);
        raiseIndent(entry->isSelfIndent);
        AutoComment(true, *entry);
    }
    for (std::size_t n = 0; n < block.lineCount; ++n) {
        if (cell)
            IndentLine(m_blocks.contentLine(block, n));
        else
            addOutputLine(m_blocks.contentLine(block, n));
    }
    if (cell) {
        AutoComment(false, *entry);
        lowerIndent(entry->isSelfIndent);
        lineBreaks(entry->CRLFFollowed);
    }
}

void Engine::addOutputLine(std::string_view line)
{
    // Trailing blanks (not TABs) never reach the output.
    while (!line.empty() && line.back() == ' ')
        line.remove_suffix(1);
    emitLine(line);
}

} // namespace zenkel
