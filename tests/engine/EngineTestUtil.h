/// Helpers for engine tests: compact tag tables and engine set-up.
#pragma once

#include "engine/Engine.h"

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace zenkel::test {

/// One tag-table row: tag name (start key), end key, 'As Text', self and content indent,
/// line breaks before and after.
struct TagRow
{
    std::string open;
    std::string close;
    bool asText = false;
    int self = 0;
    int content = 0;
    int leading = 1;
    int followed = 1;
};

inline void fillTable(TagTable& table, std::initializer_list<TagRow> rows)
{
    InitTagTable(table);
    int i = 0;
    for (const TagRow& row : rows) {
        RecTAGInfo& e = table[++i];
        e.tagName = row.open;
        e.TagOpen = row.open;
        e.TagClose = row.close;
        e.TreatAsText = row.asText;
        e.isSelfIndent = row.self;
        e.isContentIndent = row.content;
        e.CRLFLeading = row.leading;
        e.CRLFFollowed = row.followed;
        e.index = i;
    }
    table.tagCount = i;
}

inline std::vector<std::string> tokensOf(const Engine& engine)
{
    std::vector<std::string> out;
    for (std::size_t i = 0; i < engine.tokenList().size(); ++i)
        out.emplace_back(engine.tokenList()[i]);
    return out;
}

inline std::vector<std::string> blockLinesOf(const Engine& engine)
{
    std::vector<std::string> out;
    const TextList& lines = engine.blockStore().lines();
    for (std::size_t i = 0; i < lines.size(); ++i)
        out.emplace_back(lines[i]);
    return out;
}

/// A clock fixed at 2026-12-07 21:05.
inline LocalDateTime fixedClock()
{
    return {2026, 12, 7, 21, 5};
}

using Lines = std::vector<std::string>;

/// The text of a data file with its CR LF line ends turned into LF (a lone CR is kept).
inline std::string crlfToLf(std::string_view bytes)
{
    std::string text;
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            continue;
        text += bytes[i];
    }
    return text;
}

} // namespace zenkel::test
