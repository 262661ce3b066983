/// Lookup of the tag or comment around an editor position.
#pragma once

#include <QString>

#include <cstdint>

namespace zenkel {

class RichEdit;

/// The tag or comment found around an editor position (positions 0-based, CR LF = 2).
struct RecEditTagInfo
{
    enum Kind : std::int32_t
    {
        Nothing = 0,
        Tag = 1,
        Comment = 2,
        CommentWithoutEnd = 3, ///< "<!--" found, no "-->" after it: end is not valid
        CommentWithoutStart = 4, ///< "-->" found, no "<!--" before it: start is not valid
    };

    std::int32_t position = 0; ///< the position asked about
    std::int32_t start = 0; ///< index of the "<" that opens the tag or comment
    std::int32_t end = 0; ///< index just past the closing ">"
    std::int32_t length = 0; ///< length of text
    QString text; ///< from start through the closing ">"
    std::int32_t kind = Nothing;
};

/// The characters start .. start + count; empty when count is 0 or less.
QString GetTextRange(const RichEdit& editor, int start, int count);

/// The last occurrence of s that ends at or before pos and starts at most maxBack characters
/// before it, found window by window (128 characters each) going backwards; -1 when none.
/// ASCII letters are compared without regard to case. An occurrence that crosses a window
/// boundary is not found.
int FindLastBefore(const RichEdit& editor, const QString& s, int pos, int maxBack);

/// The tag around pos: from the last "<" before pos (searched at most 1,000,000 characters
/// back) through the first ">" at or after pos (at most 1,000,000 characters on). With
/// commentAware, a comment around pos is found as a whole (kinds 2 to 4). Kind 0 when pos < 1
/// or either end is missing.
RecEditTagInfo FindTagAtPos(const RichEdit& editor, int pos, bool commentAware);

} // namespace zenkel
