/// Tag keys and lookups in the tag table, block kinds and the layout tag list.
#pragma once

#include "base/Ascii.h"
#include "engine/Style.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zenkel {

/// The special block kinds, numbered from 1 as in the marker lines.
enum class BlockKind
{
    None = 0,
    Comment = 1,
    AutoComment = 2,
    ServerScript = 3,
    Pre = 4,
    TableCell = 5,
    Script = 6,
    StyleSheet = 7,
    TextArea = 8,
};

struct BlockKindInfo
{
    std::string_view startMarker;
    std::string_view endMarker; ///< kinds 4-8 have no ">": the block ends at the next ">"
};

/// Start and end marker of a block kind (1..8).
const BlockKindInfo& blockKindInfo(BlockKind kind);
/// The block kind whose start marker equals key, or None.
BlockKind blockKindOfKey(std::string_view key);

/// The normalised upper-case form of a tag's text used by every lookup: "<td width=3>" ->
/// "<TD>", "<br/>" -> "<BR/>", "<!DOCTYPE html>" -> "<>", "<!-- x" -> "<!--".
std::string TagKey(std::string_view tagText);

/// True for the 49 tag keys after which input whitespace is not kept as a blank on the tag.
bool isLayoutTag(std::string_view key);

/// Looks up a token in the table: +1 for a start tag, -1 for an end tag; copies the matching
/// entry (or the defaults entry when none matches) into current. Entries are tried in table
/// order, each first by TagOpen then by TagClose beginning with the token's key.
int FindTag(const TagTable& table, std::string_view token, RecTAGInfo& current);

/// 1-based position of the first 'As Text' entry whose TagOpen or TagClose equals key
/// (a TagClose of "</H>" also takes "</H1>".."</H6>"); 0 when there is none.
int FindTextTag(const TagTable& table, std::string_view key);

/// Sets counter 0 and an empty counter stack in entries 1..tagCount.
void ResetCounters(TagTable& table);
/// Counter steps of auto comments; empty text for the defaults entry and entries
/// without EnableCounter.
std::string counterStartStep(TagTable& table, const RecTAGInfo& current);
std::string counterEndStep(TagTable& table, const RecTAGInfo& current);

/// A prepared index of the table for the scanner's and the formatter's lookups, giving the
/// same answers as FindTag, FindTextTag, blockKindOfKey and isLayoutTag with one probe of a
/// small hash table per key. Rebuild it when the table changes.
class TagIndex
{
public:
    /// Everything the scanner and the formatter ask about one key.
    struct KeyInfo
    {
        int prefixEntry = 0; ///< the FindTag hit among the table entries, 0 for none
        int prefixDirection = 0; ///< its direction: +1 TagOpen, -1 TagClose
        int textTag = 0; ///< FindTextTag
        BlockKind blockKind = BlockKind::None; ///< blockKindOfKey
        bool layout = false; ///< isLayoutTag
    };

    void build(const TagTable& table);
    /// The facts about key; all empty for a key that nothing knows.
    const KeyInfo& lookUp(std::string_view key) const;
    /// Like FindTag, but returns the entry's position (0 = defaults entry) instead of a copy.
    int findTag(std::string_view key, bool secondCharIsSlash, int& entry) const;
    int findTextTag(std::string_view key) const { return lookUp(key).textTag; }

private:
    static constexpr std::uint32_t EmptySlot = 0xFFFFFFFF;
    struct Slot
    {
        std::uint32_t hash = 0;
        std::uint32_t keyBegin = 0; ///< in m_keyChars
        std::uint32_t keyLength = EmptySlot;
        KeyInfo info;
    };
    static std::uint32_t hashOf(std::string_view key);
    std::string_view keyOf(const Slot& slot) const
    {
        return std::string_view(m_keyChars).substr(slot.keyBegin, slot.keyLength);
    }
    /// The slot of key, or the empty slot where it would go.
    std::size_t slotOf(std::string_view key, std::uint32_t hash) const;
    /// The record of key, made when missing.
    KeyInfo& insert(std::string_view key);

    std::vector<Slot> m_slots; ///< open addressing, a power of two, at most half full
    std::size_t m_used = 0;
    std::string m_keyChars; ///< every key's characters, one after the other
};

} // namespace zenkel
