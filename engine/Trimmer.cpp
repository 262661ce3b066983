/// Trimmer: removes the whitespace just inside chosen tags.
#include "engine/Engine.h"
#include "engine/TextOps.h"

#include "base/Ascii.h"

#include <algorithm>
#include <bitset>
#include <cstring>

namespace zenkel {

namespace {

constexpr std::size_t ProgressStep = 1000;

struct TrimKeys
{
    std::vector<std::string> start;
    std::vector<std::string> end;
    std::size_t longest = 0;

    bool contains(const std::vector<std::string>& keys, std::string_view key) const
    {
        return std::find(keys.begin(), keys.end(), key) != keys.end();
    }
};

TrimKeys enabledTrimKeys(const TrimList* list)
{
    TrimKeys keys;
    if (!list)
        return keys;
    for (const std::string& entry : *list) {
        if (entry.size() < 2 || entry[0] != '1')
            continue;
        std::string tag = entry.substr(1);
        keys.longest = std::max(keys.longest, tag.size());
        (tag.size() > 1 && tag[1] == '/' ? keys.end : keys.start).push_back(std::move(tag));
    }
    return keys;
}

/// Passes over most tags without building their keys: a tag's key must hold, right after
/// "<" (or after "</"), two characters that some trim key holds there. Off (every tag goes
/// to the key comparison) when a trim key is too short to hold such a pair.
class PairFilter
{
public:
    explicit PairFilter(const TrimKeys& keys)
    {
        for (const std::string& key : keys.start) {
            if (key.size() < 3)
                return;
            m_start.set(pairIndex(key[1], key[2]));
        }
        for (const std::string& key : keys.end) {
            if (key.size() < 4)
                return;
            m_end.set(pairIndex(key[2], key[3]));
        }
        // Every key is at least three characters long, so the keys are built at least four
        // long (longest + 1) and the pair is never cut short.
        m_on = true;
    }

    /// False only when the tag at text[lt] cannot have a trim key.
    bool mayMatch(std::string_view text, std::size_t lt) const
    {
        if (!m_on || lt + 3 >= text.size())
            return true;
        const char first = text[lt + 1];
        // "<%", "<!--" and "<!--~" have keys of their own; a non-key character makes "<>".
        if (first == '%' || !isKeyChar(first))
            return true;
        if (first != '/')
            return m_start.test(pairIndex(upperAscii(first), keyChar(text[lt + 2])));
        if (!isKeyChar(text[lt + 2]))
            return true;
        return m_end.test(pairIndex(upperAscii(text[lt + 2]), keyChar(text[lt + 3])));
    }

private:
    /// The character a key holds for c at a place it reaches: c upper-cased, or '>' where a
    /// non-key character ends the key.
    static char keyChar(char c) { return isKeyChar(c) ? upperAscii(c) : '>'; }
    static std::size_t pairIndex(char a, char b)
    {
        return static_cast<std::size_t>(static_cast<unsigned char>(a)) << 8
            | static_cast<unsigned char>(b);
    }

    bool m_on = false;
    std::bitset<65536> m_start;
    std::bitset<65536> m_end;
};

/// Splits text into lines at LF, CR or CR LF; a line end at the very end starts no new line.
template <typename AddLine> void splitLines(std::string_view text, AddLine&& add)
{
    std::size_t begin = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\n' && c != '\r')
            continue;
        add(text.substr(begin, i - begin));
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        begin = i + 1;
    }
    if (begin < text.size())
        add(text.substr(begin));
}

/// The trimmed text as one string, cut into lines afterwards.
struct StringResult
{
    std::string text;
    void append(std::string_view piece) { text += piece; }
    void dropTrailingBlanks()
    {
        while (!text.empty() && isLayoutBlank(text.back()))
            text.pop_back();
    }
};

/// The trimmed text written straight into a list, cut into lines as it goes. Only for a text
/// with LF line ends: the list cuts at LF alone.
struct ListResult
{
    TextList& list;
    void append(std::string_view piece) { list.appendLines(piece); }
    void dropTrailingBlanks() { list.dropTrailingBlanks(isLayoutBlank); }
};

/// The trim itself: copies text to result, less the layout blanks after each start key and
/// before each end key. Text between the tags that change nothing goes in one piece.
template <typename Result>
void trimInto(std::string_view text, const TrimKeys& keys, std::string& key, Result& result,
    ProgressSink& sink)
{
    const PairFilter filter(keys);
    std::size_t nextProgress = ProgressStep;
    std::size_t copyFrom = 0; // start of the text not yet copied
    std::size_t pos = 0;
    while (pos < text.size()) {
        const void* lt = std::memchr(text.data() + pos, '<', text.size() - pos);
        if (!lt)
            break;
        pos = static_cast<std::size_t>(static_cast<const char*>(lt) - text.data());
        if (pos >= nextProgress) {
            sink.SetProgressPosition(0, static_cast<long long>(pos));
            nextProgress = (pos / ProgressStep + 1) * ProgressStep;
        }
        if (!filter.mayMatch(text, pos)) {
            ++pos;
            continue;
        }
        // Only as much of the tag as a trim key can be long is needed to compare keys.
        keyInto(text.substr(pos), key, keys.longest + 1);
        const bool isStart = keys.contains(keys.start, key);
        const bool isEnd = !isStart && keys.contains(keys.end, key);
        if (!isStart && !isEnd) {
            ++pos;
            continue;
        }
        const std::size_t gt = text.find('>', pos + 1);
        const std::size_t rawEnd = gt == std::string_view::npos ? text.size() : gt + 1;
        if (isEnd) {
            // The blanks before the tag go; the tag is copied with the text after it.
            result.append(text.substr(copyFrom, pos - copyFrom));
            result.dropTrailingBlanks();
            copyFrom = pos;
            pos = rawEnd;
            continue;
        }
        result.append(text.substr(copyFrom, rawEnd - copyFrom));
        pos = rawEnd;
        while (pos < text.size() && isLayoutBlank(text[pos]))
            ++pos;
        copyFrom = pos;
    }
    result.append(text.substr(copyFrom));
}

} // namespace

void Engine::TrimHTML()
{
    const std::string_view text(m_sourceText);
    if (text.empty()) {
        m_outputList.clear();
        return;
    }
    ProgressSink& sink = progress();
    sink.SetProgressRange(0, static_cast<long long>(text.size()));
    if (!m_selection)
        sink.SetStatus("Trimming: " + m_fileName);
    const TrimKeys keys = enabledTrimKeys(m_trimList);

    if (m_preview || !m_firstLinePrefix.empty()
        || std::memchr(text.data(), '\r', text.size()) != nullptr) {
        // Line by line where the lines go elsewhere, the first one gets a prefix or the text
        // has other line ends than LF.
        StringResult result;
        result.text.reserve(text.size());
        trimInto(text, keys, m_key, result, sink);
        m_outputList.clear();
        splitLines(result.text, [this](std::string_view line) { emitLine(line); });
    } else {
        // The result is never longer than the text.
        m_outputList.clear();
        m_outputList.reserve(0, text.size());
        ListResult result {m_outputList};
        trimInto(text, keys, m_key, result, sink);
        m_outputList.closeLines();
    }
    sink.SetProgressPosition(0, static_cast<long long>(text.size()));
    sink.SetProgressPosition(0, 0);
    if (!m_selection)
        sink.SetStatus("Trimmed and saved: " + m_fileName);
}

} // namespace zenkel
