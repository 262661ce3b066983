/// Lookup of the tag or comment around an editor position.
#include "editor/TagLookup.h"

#include "editor/RichEdit.h"

#include <algorithm>

namespace zenkel {

namespace {

constexpr int SearchWindow = 128;
constexpr int SearchLimit = 1000000;

} // namespace

QString GetTextRange(const RichEdit& editor, int start, int count)
{
    return editor.textRange(start, count);
}

int FindLastBefore(const RichEdit& editor, const QString& s, int pos, int maxBack)
{
    const int limit = std::min(maxBack, pos);
    if (limit < 1)
        return -1;
    int windowEnd = pos;
    int remaining = limit;
    while (remaining > 0) {
        const int size = std::min(SearchWindow, remaining);
        const int windowStart = windowEnd - size;
        int hit = -1;
        for (int found = editor.findText(s, windowStart, size); found >= 0;
             found = editor.findText(s, found + 1, windowEnd - (found + 1)))
            hit = found;
        if (hit >= 0)
            return hit;
        windowEnd = windowStart;
        remaining -= size;
    }
    return -1;
}

RecEditTagInfo FindTagAtPos(const RichEdit& editor, int pos, bool commentAware)
{
    RecEditTagInfo info;
    if (pos < 1)
        return info;
    int start = FindLastBefore(editor, QStringLiteral("<"), pos, SearchLimit);
    if (start < 0)
        return info;
    int close = editor.findText(QStringLiteral(">"), pos, SearchLimit);
    if (close < 0)
        return info;
    info.kind = RecEditTagInfo::Tag;
    info.text = GetTextRange(editor, start, close - start + 1);
    if (commentAware) {
        const bool opens = info.text.contains(QStringLiteral("<!--"));
        const bool closes = info.text.contains(QStringLiteral("-->"));
        if (opens && closes) {
            info.kind = RecEditTagInfo::Comment;
        } else if (opens) {
            const int commentEnd = editor.findText(QStringLiteral("-->"), pos, SearchLimit);
            if (commentEnd >= 0) {
                info.kind = RecEditTagInfo::Comment;
                close = commentEnd + 2;
                info.text = GetTextRange(editor, start, close - start + 1);
            } else {
                info.kind = RecEditTagInfo::CommentWithoutEnd;
            }
        } else if (closes) {
            const int commentStart
                = FindLastBefore(editor, QStringLiteral("<!--"), pos, SearchLimit);
            if (commentStart >= 0) {
                info.kind = RecEditTagInfo::Comment;
                start = commentStart;
                info.text = GetTextRange(editor, start, close - start + 1);
            } else {
                info.kind = RecEditTagInfo::CommentWithoutStart;
            }
        }
    }
    info.position = pos;
    info.start = start;
    info.end = close + 1;
    info.length = static_cast<std::int32_t>(info.text.size());
    return info;
}

} // namespace zenkel
