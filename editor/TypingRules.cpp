/// The rules of typing-time colouring that need no editor.
#include "editor/TypingRules.h"

namespace zenkel {

bool IsMarkupChar(char16_t c)
{
    return c == u'!' || c == u'"' || c == u'-' || c == u'<' || c == u'>';
}

ColorValue ChooseTypedColor(
    char16_t k, const CaretInfo& a, const CaretInfo& b, const ColorSet& colors)
{
    if (a.color == colors.CommentCol && b.color == colors.CommentCol)
        return colors.CommentCol;
    if (k == u'-' || k == u'<' || k == u'>')
        return colors.TagCol;
    if (k == u'"')
        return colors.QuotedCol;
    if (b.ch == u'>')
        return colors.TagCol;
    if (a.ch == u'<')
        return colors.TagCol;
    if (a.ch == u'>')
        return colors.TextCol;
    if (a.color == b.color)
        return a.color;
    if (a.color == colors.QuotedCol && b.color == colors.TagCol)
        return colors.TagCol;
    if (a.color == colors.TagCol && b.color == colors.TextCol)
        return colors.TextCol;
    return a.color;
}

bool ChangeNeedsRepaint(int keyStateCode, const CaretInfo& a, const CaretInfo& b)
{
    if (keyStateCode == KeyState::Backspace)
        return IsMarkupChar(a.ch);
    if (keyStateCode == KeyState::Delete)
        return IsMarkupChar(b.ch);
    return keyStateCode > 0 && keyStateCode < 0x10000
        && IsMarkupChar(static_cast<char16_t>(keyStateCode));
}

} // namespace zenkel
