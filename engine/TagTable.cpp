/// Tag keys and lookups in the tag table, block kinds and the layout tag list.
#include "engine/TagTable.h"

#include "engine/TextOps.h"

#include <algorithm>
#include <array>

namespace zenkel {

namespace {

constexpr std::array<BlockKindInfo, 9> BlockKinds = {{
    {"", ""},
    {"<!--", "-->"},
    {"<!--~", "~-->"},
    {"<%", "%>"},
    {"<PRE>", "</PRE"},
    {"<TD>", "</TD"},
    {"<SCRIPT>", "</SCRIPT"},
    {"<STYLE>", "</STYLE"},
    {"<TEXTAREA>", "</TEXTAREA"},
}};

constexpr std::array<std::string_view, 49> LayoutTags = {
    "<TR>",
    "</TR>",
    "</TD>",
    "</DD>",
    "</LI>",
    "<UL>",
    "</UL>",
    "<OL>",
    "</OL>",
    "<BLOCKQUOTE>",
    "</BLOCKQUOTE>",
    "<BODY>",
    "</BODY>",
    "<HEAD>",
    "</HEAD>",
    "<DIR>",
    "</DIR>",
    "<DL>",
    "</DL>",
    "</CAPTION>",
    "</DT>",
    "<FRAMESET>",
    "</FRAMESET>",
    "</H1>",
    "</H2>",
    "</H3>",
    "</H4>",
    "</H5>",
    "</H6>",
    "<MAP>",
    "</MAP>",
    "<MENU>",
    "</MENU>",
    "<NOFRAMES>",
    "</NOFRAMES>",
    "<SELECT>",
    "<TABLE>",
    "</TABLE>",
    "</P>",
    "<TEXTAREA>",
    "</TEXTAREA>",
    "</TH>",
    "<TITLE>",
    "</TITLE>",
    "<HTML>",
    "<META>",
    "<OPTION>",
    "<HR>",
    "<TD>",
};

bool isHeadingClose(std::string_view key)
{
    return key.size() == 5 && key.substr(0, 3) == "</H" && key[3] >= '1' && key[3] <= '6'
        && key[4] == '>';
}

} // namespace

const BlockKindInfo& blockKindInfo(BlockKind kind)
{
    return BlockKinds[static_cast<std::size_t>(kind)];
}

BlockKind blockKindOfKey(std::string_view key)
{
    // Every start marker begins with "<" and one of these characters.
    if (key.size() < 2
        || (key[1] != '!' && key[1] != '%' && key[1] != 'P' && key[1] != 'T' && key[1] != 'S'))
        return BlockKind::None;
    for (std::size_t i = 1; i < BlockKinds.size(); ++i) {
        if (BlockKinds[i].startMarker == key)
            return static_cast<BlockKind>(i);
    }
    return BlockKind::None;
}

std::string TagKey(std::string_view tagText)
{
    std::string key;
    keyInto(tagText, key, std::string::npos);
    return key;
}

bool isLayoutTag(std::string_view key)
{
    static const std::array<std::string_view, LayoutTags.size()> sorted = [] {
        auto tags = LayoutTags;
        std::sort(tags.begin(), tags.end());
        return tags;
    }();
    return std::binary_search(sorted.begin(), sorted.end(), key);
}

void InitTagTable(TagTable& table)
{
    table.entries[0] = RecTAGInfo {};
    for (int i = 1; i <= MaxTagEntries; ++i)
        table[i] = table.entries[0];
    table.tagCount = 0;
}

void enforceStandAloneBreaks(RecTAGInfo& entry)
{
    if (entry.TreatAsText)
        return;
    if (entry.CRLFLeading == 0)
        entry.CRLFLeading = 1;
    if (entry.CRLFFollowed == 0)
        entry.CRLFFollowed = 1;
}

int FindTag(const TagTable& table, std::string_view token, RecTAGInfo& current)
{
    const std::string key = TagKey(token);
    for (int i = 1; i <= table.tagCount; ++i) {
        const RecTAGInfo& entry = table[i];
        if (std::string_view(entry.TagOpen).starts_with(key)) {
            current = entry;
            return 1;
        }
        if (std::string_view(entry.TagClose).starts_with(key)) {
            current = entry;
            return -1;
        }
    }
    current = table.defaults();
    return (token.size() > 1 && token[1] == '/') ? -1 : 1;
}

int FindTextTag(const TagTable& table, std::string_view key)
{
    for (int i = 1; i <= table.tagCount; ++i) {
        const RecTAGInfo& entry = table[i];
        if (!entry.TreatAsText)
            continue;
        if (entry.TagOpen == key || entry.TagClose == key
            || (entry.TagClose == "</H>" && isHeadingClose(key)))
            return i;
    }
    return 0;
}

void ResetCounters(TagTable& table)
{
    for (int i = 1; i <= table.tagCount; ++i) {
        table[i].counter = 0;
        table[i].counterStack.clear();
    }
}

std::string counterStartStep(TagTable& table, const RecTAGInfo& current)
{
    if (current.index <= 0 || current.index > MaxTagEntries || !current.EnableCounter)
        return {};
    RecTAGInfo& entry = table[current.index];
    ++entry.counter;
    std::string number = std::to_string(entry.counter);
    entry.counterStack += ';';
    entry.counterStack += number;
    return number;
}

std::string counterEndStep(TagTable& table, const RecTAGInfo& current)
{
    if (current.index <= 0 || current.index > MaxTagEntries || !current.EnableCounter)
        return {};
    RecTAGInfo& entry = table[current.index];
    const std::size_t semicolon = entry.counterStack.rfind(';');
    if (semicolon == std::string::npos)
        return {};
    std::string number = entry.counterStack.substr(semicolon + 1, 10);
    entry.counterStack.erase(semicolon);
    return number;
}

void TagIndex::build(const TagTable& table)
{
    m_prefixHits.clear();
    m_textTags.clear();
    // Every prefix of a TagOpen or TagClose is a key that FindTag would match there; the
    // first entry (TagOpen before TagClose) to claim a prefix keeps it.
    auto claimPrefixes = [this](const std::string& tag, int entry, int direction) {
        for (std::size_t n = 1; n <= tag.size(); ++n)
            m_prefixHits.try_emplace(tag.substr(0, n), Hit {entry, direction});
    };
    for (int i = 1; i <= table.tagCount; ++i) {
        claimPrefixes(table[i].TagOpen, i, 1);
        claimPrefixes(table[i].TagClose, i, -1);
    }
    for (int i = table.tagCount; i >= 1; --i) {
        const RecTAGInfo& entry = table[i];
        if (!entry.TreatAsText)
            continue;
        // Walking backwards lets the first entry overwrite later ones.
        m_textTags[entry.TagOpen] = i;
        m_textTags[entry.TagClose] = i;
        if (entry.TagClose == "</H>") {
            for (char d = '1'; d <= '6'; ++d)
                m_textTags[std::string("</H") + d + ">"] = i;
        }
    }
}

int TagIndex::findTag(std::string_view key, bool secondCharIsSlash, int& entry) const
{
    if (!key.empty()) {
        const auto hit = m_prefixHits.find(key);
        if (hit != m_prefixHits.end()) {
            entry = hit->second.entry;
            return hit->second.direction;
        }
    }
    entry = 0;
    return secondCharIsSlash ? -1 : 1;
}

int TagIndex::findTextTag(std::string_view key) const
{
    const auto hit = m_textTags.find(key);
    return hit == m_textTags.end() ? 0 : hit->second;
}

} // namespace zenkel
