/// Trimmer: removes the whitespace just inside chosen tags.
#include "engine/Engine.h"
#include "engine/TextOps.h"

#include <algorithm>
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

    std::string result;
    result.reserve(text.size());
    std::size_t nextProgress = ProgressStep;
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (pos >= nextProgress) {
            sink.SetProgressPosition(0, static_cast<long long>(pos));
            nextProgress = (pos / ProgressStep + 1) * ProgressStep;
        }
        const void* lt = std::memchr(text.data() + pos, '<', text.size() - pos);
        const std::size_t tagStart = lt
            ? static_cast<std::size_t>(static_cast<const char*>(lt) - text.data())
            : text.size();
        if (tagStart > pos) {
            result.append(text, pos, tagStart - pos);
            pos = tagStart;
            continue;
        }
        // Only as much of the tag as a trim key can be long is needed to compare keys.
        keyInto(text.substr(pos), m_key, keys.longest + 1);
        const bool isStart = keys.contains(keys.start, m_key);
        const bool isEnd = !isStart && keys.contains(keys.end, m_key);
        if (!isStart && !isEnd) {
            result += '<';
            ++pos;
            continue;
        }
        const std::size_t gt = text.find('>', pos + 1);
        const std::size_t rawEnd = gt == std::string_view::npos ? text.size() : gt + 1;
        if (isEnd) {
            while (!result.empty() && isLayoutBlank(result.back()))
                result.pop_back();
        }
        result.append(text, pos, rawEnd - pos);
        pos = rawEnd;
        if (isStart) {
            while (pos < text.size() && isLayoutBlank(text[pos]))
                ++pos;
        }
    }
    if (m_preview || !m_firstLinePrefix.empty()) {
        // Line by line where the lines go elsewhere or the first one gets a prefix.
        m_outputList.clear();
        splitLines(result, [this](std::string_view line) { emitLine(line); });
    } else {
        // The output list takes the result over and cuts it into lines in place.
        m_outputList.assignLines(std::move(result));
    }
    sink.SetProgressPosition(0, static_cast<long long>(text.size()));
    sink.SetProgressPosition(0, 0);
    if (!m_selection)
        sink.SetStatus("Trimmed and saved: " + m_fileName);
}

} // namespace zenkel
