/// Tag keys and lookups in the tag table, block kinds and the layout tag list.
#include "engine/TagTable.h"

#include "engine/TextOps.h"

#include <algorithm>
#include <array>
#include <cstring>

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

std::uint32_t TagIndex::hashOf(std::string_view key)
{
    // Keys are a few characters long: up to eight characters from each end, read as two
    // words, and the length are mixed with one multiplication each, instead of one step per
    // character.
    const std::size_t n = key.size();
    std::uint64_t head = 0;
    std::uint64_t tail = 0;
    if (n >= sizeof head) {
        std::memcpy(&head, key.data(), sizeof head);
        std::memcpy(&tail, key.data() + n - sizeof tail, sizeof tail);
    } else {
        for (std::size_t i = 0; i < n; ++i)
            head |= std::uint64_t {static_cast<unsigned char>(key[i])} << (8 * i);
    }
    std::uint64_t hash = (head * 0x9E3779B97F4A7C15u) ^ (tail * 0xC2B2AE3D27D4EB4Fu) ^ n;
    hash ^= hash >> 29;
    return static_cast<std::uint32_t>(hash ^ (hash >> 32));
}

std::size_t TagIndex::slotOf(std::string_view key, std::uint32_t hash) const
{
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& slot = m_slots[i];
        if (slot.keyLength == EmptySlot)
            return i;
        if (slot.hash != hash || slot.keyLength != key.size())
            continue;
        // Compared in place: a memcmp call costs more than the few characters of a key.
        const char* const stored = m_keyChars.data() + slot.keyBegin;
        std::size_t k = 0;
        while (k < key.size() && stored[k] == key[k])
            ++k;
        if (k == key.size())
            return i;
    }
}

TagIndex::KeyInfo& TagIndex::insert(std::string_view key)
{
    if (m_slots.empty() || (m_used + 1) * 2 > m_slots.size()) {
        std::vector<Slot> old(std::max<std::size_t>(64, m_slots.size() * 2));
        old.swap(m_slots);
        for (const Slot& slot : old) {
            if (slot.keyLength != EmptySlot)
                m_slots[slotOf(keyOf(slot), slot.hash)] = slot;
        }
    }
    const std::uint32_t hash = hashOf(key);
    Slot& slot = m_slots[slotOf(key, hash)];
    if (slot.keyLength == EmptySlot) {
        slot.hash = hash;
        slot.keyBegin = static_cast<std::uint32_t>(m_keyChars.size());
        slot.keyLength = static_cast<std::uint32_t>(key.size());
        m_keyChars += key;
        ++m_used;
    }
    return slot.info;
}

void TagIndex::build(const TagTable& table)
{
    m_slots.clear();
    m_used = 0;
    m_keyChars.clear();
    // Every prefix of a TagOpen or TagClose is a key that FindTag would match there; the
    // first entry (TagOpen before TagClose) to claim a prefix keeps it.
    auto claimPrefixes = [this](const std::string& tag, int entry, int direction) {
        for (std::size_t n = 1; n <= tag.size(); ++n) {
            KeyInfo& info = insert(std::string_view(tag).substr(0, n));
            if (info.prefixEntry == 0) {
                info.prefixEntry = entry;
                info.prefixDirection = direction;
            }
        }
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
        insert(entry.TagOpen).textTag = i;
        insert(entry.TagClose).textTag = i;
        if (entry.TagClose == "</H>") {
            for (char d = '1'; d <= '6'; ++d)
                insert(std::string("</H") + d + ">").textTag = i;
        }
    }
    for (std::size_t kind = 1; kind < BlockKinds.size(); ++kind)
        insert(BlockKinds[kind].startMarker).blockKind = static_cast<BlockKind>(kind);
    for (std::string_view tag : LayoutTags)
        insert(tag).layout = true;
}

const TagIndex::KeyInfo& TagIndex::lookUp(std::string_view key) const
{
    static constexpr KeyInfo unknown {};
    if (m_slots.empty())
        return unknown;
    const Slot& slot = m_slots[slotOf(key, hashOf(key))];
    return slot.keyLength == EmptySlot ? unknown : slot.info;
}

int TagIndex::findTag(std::string_view key, bool secondCharIsSlash, int& entry) const
{
    const KeyInfo& info = lookUp(key);
    if (!key.empty() && info.prefixEntry != 0) {
        entry = info.prefixEntry;
        return info.prefixDirection;
    }
    entry = 0;
    return secondCharIsSlash ? -1 : 1;
}

} // namespace zenkel
