/// RichEdit: positions, lines, find, caret and selection. Positions count QString characters;
/// the editor works in UTF-8 bytes, so every call converts between the two.
#include "editor/RichEdit.h"

#include <algorithm>
#include <cstdlib>

namespace zenkel {

namespace {

constexpr long Utf16Index = QsciScintillaBase::SC_LINECHARACTERINDEX_UTF16;

} // namespace

// ---- find -----------------------------------------------------------------------------

int RichEdit::findText(const QString& what, int start, int length, int options) const
{
    if (what.isEmpty() || length <= 0)
        return -1;
    const QByteArray needle = what.toUtf8();
    const long b0 = bytePosition(std::max(start, 0));
    const long b1 = bytePosition(std::max(start, 0) + length);
    if (b1 - b0 < needle.size())
        return -1;
    int flags = 0;
    if (options & MatchCase)
        flags |= SCFIND_MATCHCASE;
    if (options & WholeWord)
        flags |= SCFIND_WHOLEWORD;
    sci(SCI_SETTARGETRANGE, static_cast<unsigned long>(b0), b1);
    sci(SCI_SETSEARCHFLAGS, static_cast<unsigned long>(flags));
    const long found = SendScintilla(
        SCI_SEARCHINTARGET, static_cast<uintptr_t>(needle.size()), needle.constData());
    return found < 0 ? -1 : charPosition(found);
}

// ---- lines ----------------------------------------------------------------------------

int RichEdit::lineOfPosition(int pos) const
{
    return static_cast<int>(
        sci(SCI_LINEFROMINDEXPOSITION, static_cast<unsigned long>(std::max(pos, 0)), Utf16Index));
}

int RichEdit::lineStartPosition(int line) const
{
    if (line < 0 || line >= sci(SCI_GETLINECOUNT))
        return -1;
    return static_cast<int>(
        sci(SCI_INDEXPOSITIONFROMLINE, static_cast<unsigned long>(line), Utf16Index));
}

int RichEdit::lineTextLength(int line) const
{
    if (line < 0 || line >= sci(SCI_GETLINECOUNT))
        return 0;
    const long b0 = sci(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    const long b1 = sci(SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line));
    return charPosition(b1) - charPosition(b0);
}

// ---- positions ------------------------------------------------------------------------

RichEdit::LineSpan RichEdit::lineSpan(long line) const
{
    LineSpan span;
    span.startByte = sci(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    span.endByte = sci(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line + 1));
    span.startChar = sci(SCI_INDEXPOSITIONFROMLINE, static_cast<unsigned long>(line), Utf16Index);
    span.endChar = sci(SCI_INDEXPOSITIONFROMLINE, static_cast<unsigned long>(line + 1), Utf16Index);
    return span;
}

bool RichEdit::isAsciiOnly() const
{
    const long lines = sci(SCI_GETLINECOUNT);
    return sci(SCI_INDEXPOSITIONFROMLINE, static_cast<unsigned long>(lines), Utf16Index)
        == sci(SCI_GETLENGTH);
}

RichEdit::PositionAnchor RichEdit::nearestAnchor(
    const LineSpan& span, long target, bool byChar) const
{
    // Counting characters in a line that is not pure ASCII means walking it; start from the
    // nearest point whose byte and character position are both known.
    PositionAnchor best {span.startByte, span.startChar};
    const auto distance
        = [&](const PositionAnchor& a) { return std::abs((byChar ? a.ch : a.byte) - target); };
    const PositionAnchor end {span.endByte, span.endChar};
    if (distance(end) < distance(best))
        best = end;
    for (const PositionAnchor& a : m_anchors)
        if (a.byte >= span.startByte && a.byte <= span.endByte && distance(a) < distance(best))
            best = a;
    return best;
}

void RichEdit::rememberAnchor(long byte, long ch) const
{
    if (m_anchors.size() < MaxAnchors)
        m_anchors.push_back({byte, ch});
    else
        m_anchors[m_nextAnchor++ % MaxAnchors] = {byte, ch};
}

long RichEdit::bytePosition(int pos) const
{
    if (pos <= 0)
        return 0;
    const long length = sci(SCI_GETLENGTH);
    if (isAsciiOnly())
        return std::min<long>(pos, length);
    const long line = sci(SCI_LINEFROMINDEXPOSITION, static_cast<unsigned long>(pos), Utf16Index);
    const LineSpan span = lineSpan(line);
    if (pos >= span.endChar)
        return span.endByte < 0 ? length : span.endByte;
    if (span.endByte - span.startByte == span.endChar - span.startChar)
        return span.startByte + (pos - span.startChar);
    const PositionAnchor from = nearestAnchor(span, pos, true);
    const long byte
        = sci(SCI_POSITIONRELATIVECODEUNITS, static_cast<unsigned long>(from.byte), pos - from.ch);
    rememberAnchor(byte, pos);
    return byte;
}

int RichEdit::charPosition(long bytePos) const
{
    if (bytePos <= 0)
        return 0;
    bytePos = std::min(bytePos, sci(SCI_GETLENGTH));
    if (isAsciiOnly())
        return static_cast<int>(bytePos);
    const long line = sci(SCI_LINEFROMPOSITION, static_cast<unsigned long>(bytePos));
    const LineSpan span = lineSpan(line);
    if (span.endByte - span.startByte == span.endChar - span.startChar)
        return static_cast<int>(span.startChar + (bytePos - span.startByte));
    const PositionAnchor from = nearestAnchor(span, bytePos, false);
    const long ch = from.byte <= bytePos
        ? from.ch + sci(SCI_COUNTCODEUNITS, static_cast<unsigned long>(from.byte), bytePos)
        : from.ch - sci(SCI_COUNTCODEUNITS, static_cast<unsigned long>(bytePos), from.byte);
    rememberAnchor(bytePos, ch);
    return static_cast<int>(ch);
}

// ---- caret and selection --------------------------------------------------------------

int RichEdit::caretPosition() const
{
    return charPosition(sci(SCI_GETCURRENTPOS));
}

void RichEdit::setCaretPosition(int pos)
{
    sci(SCI_GOTOPOS, static_cast<unsigned long>(bytePosition(pos)));
}

int RichEdit::selectionStart() const
{
    return charPosition(sci(SCI_GETSELECTIONSTART));
}

int RichEdit::selectionLength() const
{
    return charPosition(sci(SCI_GETSELECTIONEND)) - selectionStart();
}

void RichEdit::selectRange(int start, int length)
{
    sci(SCI_SETSEL, static_cast<unsigned long>(bytePosition(start)),
        bytePosition(start + std::max(length, 0)));
}

} // namespace zenkel
