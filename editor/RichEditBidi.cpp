/// RichEdit: right-to-left letters (Hebrew, Arabic, ...) shown one by one in the order of the
/// text, left to right, as a source editor shows every other character.
///
/// The control measures and draws text in pieces (runs of one style) with Qt's text layout,
/// which puts a piece holding right-to-left letters into reading order: the positions it
/// reports for the characters of that piece no longer increase, the pieces after it are drawn
/// over it, and the caret and the mouse land on the wrong characters. So every right-to-left
/// letter gets a representation of its own: the control then measures it alone (between two
/// left-to-right marks, which give it its own width and direction) and lays it out as one
/// cell in the order of the text. The control draws a representation as an inverted box; a
/// box indicator in the cell's background colour covers that box, and paintEvent draws the
/// letter itself into the cell in its style's colour. The text itself is never changed.
///
/// Bidirectional control characters (LRM, RLO, ...) would reorder the pieces around them in
/// the same way; they are shown as boxes with their abbreviations, like other control
/// characters.
#include "editor/RichEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace zenkel {

namespace {

/// The indicator that covers the control's boxes of right-to-left letters; its value is the
/// colour of the cover.
constexpr int CoverIndicator = 31;

enum class Direction
{
    Neutral, ///< laid out by the control as it is
    RightToLeft, ///< a letter drawn by paintEvent
    Control, ///< a bidirectional control shown as its abbreviation
};

const char* controlName(char32_t c)
{
    switch (c) {
    case 0x061C:
        return "ALM";
    case 0x200E:
        return "LRM";
    case 0x200F:
        return "RLM";
    case 0x202A:
        return "LRE";
    case 0x202B:
        return "RLE";
    case 0x202C:
        return "PDF";
    case 0x202D:
        return "LRO";
    case 0x202E:
        return "RLO";
    case 0x2066:
        return "LRI";
    case 0x2067:
        return "RLI";
    case 0x2068:
        return "FSI";
    case 0x2069:
        return "PDI";
    default:
        return nullptr;
    }
}

Direction directionOf(char32_t c)
{
    // All right-to-left letters and bidirectional controls lie in these blocks.
    const bool candidate = (c >= 0x0590 && c <= 0x08FF) || (c >= 0x200E && c <= 0x2069)
        || (c >= 0xFB1D && c <= 0xFEFF) || (c >= 0x10800 && c <= 0x10FFF)
        || (c >= 0x1E800 && c <= 0x1EFFF);
    if (!candidate)
        return Direction::Neutral;
    if (controlName(c))
        return Direction::Control;
    const QChar::Direction d = QChar::direction(c);
    return d == QChar::DirR || d == QChar::DirAL ? Direction::RightToLeft : Direction::Neutral;
}

/// The character that starts at p (n bytes available) and its length in bytes; a byte that
/// starts no valid character is one character 0 of its own.
int decodeUtf8(const unsigned char* p, std::size_t n, char32_t& c)
{
    c = 0;
    if (p[0] < 0x80) {
        c = p[0];
        return 1;
    }
    const int length = p[0] >= 0xF0 && p[0] <= 0xF4 ? 4
        : p[0] >= 0xE0                              ? 3
        : p[0] >= 0xC2 && p[0] <= 0xDF              ? 2
                                                    : 0;
    if (length == 0 || static_cast<std::size_t>(length) > n)
        return 1;
    char32_t value = p[0] & (0x7F >> length);
    for (int i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 1;
        value = (value << 6) | (p[i] & 0x3F);
    }
    c = value;
    return length;
}

/// Calls f(offset, length, character, direction) for each character of text that is not
/// neutral.
template <typename F> void forEachDirectional(std::string_view text, F&& f)
{
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n;) {
        // ASCII, continuation bytes and the characters before U+0580 are never directional.
        if (p[i] < 0xD6) {
            ++i;
            continue;
        }
        char32_t c = 0;
        const int length = decodeUtf8(p + i, n - i, c);
        const Direction d = directionOf(c);
        if (d != Direction::Neutral)
            f(i, length, c, d);
        i += static_cast<std::size_t>(length);
    }
}

QColor colorOf(long value)
{
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

} // namespace

void RichEdit::setUpRightToLeft()
{
    // The selection colours the control takes from the palette, kept to draw selected
    // letters with.
    const QPalette palette = QApplication::palette();
    m_selectionBack = palette.color(QPalette::Active, QPalette::Highlight);
    m_selectionFore = palette.color(QPalette::Active, QPalette::HighlightedText);
    setSelectionBackgroundColor(m_selectionBack);
    setSelectionForegroundColor(m_selectionFore);
    sci(SCI_INDICSETSTYLE, CoverIndicator, INDIC_FULLBOX);
    sci(SCI_INDICSETALPHA, CoverIndicator, 255);
    sci(SCI_INDICSETOUTLINEALPHA, CoverIndicator, 255);
    sci(SCI_INDICSETFLAGS, CoverIndicator, SC_INDICFLAG_VALUEBEFORE); // colour from the value
    fitControlCharFont();
    connect(this, &QsciScintillaBase::SCN_ZOOM, this, &RichEdit::fitControlCharFont);
}

void RichEdit::fitControlCharFont()
{
    // The control draws the box of a representation from the baseline up to the capital
    // height of the control-character font, rounded up; with the text font, whose ascent it
    // rounds down for the line, that box reaches a row into the line above. The
    // control-character font is made just small enough to keep the box inside its line.
    const long size = sci(SCI_STYLEGETSIZE, STYLE_DEFAULT);
    const long zoom = sci(SCI_GETZOOM);
    QFont font = EditorFont();
    font.setPointSizeF(static_cast<double>(std::max(2L, size + zoom)));
    const double lineAscent = std::floor(QFontMetricsF(font, this).ascent());
    long hundredths = std::max(2L, size + zoom) * 100;
    for (; hundredths > 200; hundredths -= 5) {
        font.setPointSizeF(static_cast<double>(hundredths) / 100);
        if (QFontMetricsF(font, this).ascent() <= lineAscent)
            break;
    }
    sci(SCI_STYLESETSIZEFRACTIONAL, STYLE_CONTROLCHAR, hundredths - zoom * 100);
}

bool RichEdit::noteDirectionalChars(std::string_view utf8)
{
    bool added = false;
    forEachDirectional(utf8, [&](std::size_t at, int length, char32_t c, Direction d) {
        if (d == Direction::RightToLeft)
            m_hasRightToLeft = true;
        if (!m_representedChars.insert(c).second)
            return;
        const std::string character(utf8.substr(at, static_cast<std::size_t>(length)));
        const std::string shown = d == Direction::Control
            ? std::string(controlName(c))
            : "\xE2\x80\x8E" + character + "\xE2\x80\x8E"; // LRM letter LRM
        SendScintilla(SCI_SETREPRESENTATION, character.c_str(), shown.c_str());
        added = true;
    });
    return added;
}

std::vector<RichEdit::LetterCell> RichEdit::coverLetters(const QRect& area)
{
    std::vector<LetterCell> cells;
    const int lineHeight = static_cast<int>(sci(SCI_TEXTHEIGHT, 0));
    if (lineHeight <= 0 || area.isEmpty())
        return cells;
    std::vector<std::pair<long, long>> selections;
    for (long k = 0, n = sci(SCI_GETSELECTIONS); k < n; ++k)
        selections.emplace_back(sci(SCI_GETSELECTIONNSTART, static_cast<unsigned long>(k)),
            sci(SCI_GETSELECTIONNEND, static_cast<unsigned long>(k)));
    // The control shows the selection grey while another program holds the X selection.
    const QClipboard* clipboard = QApplication::clipboard();
    const QColor selectionBack = clipboard->supportsSelection() && !clipboard->ownsSelection()
        ? QColor(0xB0, 0xB0, 0xB0)
        : m_selectionBack;
    const auto selected = [&](long pos) {
        return std::any_of(selections.begin(), selections.end(),
            [pos](const auto& s) { return s.first <= pos && pos < s.second; });
    };
    const long firstVisible = sci(SCI_GETFIRSTVISIBLELINE);
    const long lineCount = sci(SCI_GETLINECOUNT);
    for (int row = area.top() / lineHeight; row * lineHeight <= area.bottom(); ++row) {
        const long line
            = sci(SCI_DOCLINEFROMVISIBLE, static_cast<unsigned long>(firstVisible + row));
        if (line >= lineCount)
            break;
        const long lineStart = sci(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
        const long lineEnd = sci(SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line));
        if (lineEnd <= lineStart)
            continue;
        // Only the part of the line inside the area, a character more on each side.
        const int y = row * lineHeight + lineHeight / 2;
        long from
            = sci(SCI_POSITIONFROMPOINT, static_cast<unsigned long>(std::max(area.left(), 0)), y);
        long to = sci(SCI_POSITIONFROMPOINT, static_cast<unsigned long>(area.right() + 1), y);
        from = std::max(lineStart, sci(SCI_POSITIONBEFORE, static_cast<unsigned long>(from)));
        for (int more = 0; more < 4 && to < lineEnd; ++more) // room for combining marks
            to = sci(SCI_POSITIONAFTER, static_cast<unsigned long>(to));
        to = std::min(lineEnd, to);
        if (to <= from)
            continue;
        const auto* p = reinterpret_cast<const unsigned char*>(
            SendScintilla(SCI_GETRANGEPOINTER, static_cast<unsigned long>(from), to - from));
        if (!p)
            continue;
        const std::size_t n = static_cast<std::size_t>(to - from);
        for (std::size_t i = 0; i < n;) {
            char32_t c = 0;
            const long pos = from + static_cast<long>(i);
            const int length = decodeUtf8(p + i, n - i, c);
            std::size_t next = i + static_cast<std::size_t>(length);
            long wanted = 0;
            if (directionOf(c) == Direction::RightToLeft) {
                LetterCell cell {pos, pos + length, QString::fromUcs4(&c, 1), {}, {}};
                // Combining marks after the letter are drawn with it.
                char32_t mark = 0;
                int markLength = 0;
                while (next < n
                    && (markLength = decodeUtf8(p + next, n - next, mark), QChar::isMark(mark))) {
                    cell.text += QString::fromUcs4(&mark, 1);
                    next += static_cast<std::size_t>(markLength);
                }
                if (selected(pos)) {
                    cell.fore = m_selectionFore;
                    cell.back = selectionBack;
                } else {
                    const auto style = static_cast<unsigned long>(
                        sci(SCI_GETSTYLEAT, static_cast<unsigned long>(pos)));
                    cell.fore = colorOf(sci(SCI_STYLEGETFORE, style));
                    cell.back = colorOf(sci(SCI_STYLEGETBACK, style));
                }
                wanted = RgbColor(cell.back.red(), cell.back.green(), cell.back.blue())
                    | SC_INDICVALUEBIT;
                cells.push_back(cell);
            }
            // Text typed into a covered letter takes its indicator: it is cleared again.
            const long end = from + static_cast<long>(next);
            for (long at = pos; at < end;
                 at = sci(SCI_POSITIONAFTER, static_cast<unsigned long>(at))) {
                if (sci(SCI_INDICATORVALUEAT, CoverIndicator, at) == wanted)
                    continue;
                sci(SCI_SETINDICATORCURRENT, CoverIndicator);
                if (wanted) {
                    sci(SCI_SETINDICATORVALUE, static_cast<unsigned long>(wanted));
                    sci(SCI_INDICATORFILLRANGE, static_cast<unsigned long>(pos), end - pos);
                } else {
                    sci(SCI_INDICATORCLEARRANGE, static_cast<unsigned long>(pos), end - pos);
                }
                break;
            }
            i = next;
        }
    }
    return cells;
}

void RichEdit::drawLetters(const QRect& area, const std::vector<LetterCell>& cells)
{
    if (cells.empty())
        return;
    long textLeft = sci(SCI_GETMARGINLEFT);
    for (unsigned long margin = 0; margin < 5; ++margin)
        textLeft += sci(SCI_GETMARGINWIDTHN, margin);
    QPainter painter(viewport());
    painter.setClipRect(area.intersected(QRect(static_cast<int>(textLeft), 0,
        viewport()->width() - static_cast<int>(textLeft), viewport()->height())));
    QFont font = EditorFont();
    font.setPointSizeF(std::max<long>(2, sci(SCI_STYLEGETSIZE, 0) + sci(SCI_GETZOOM)));
    painter.setFont(font);
    const QFontMetricsF metrics(font, viewport());
    const double ascent = std::floor(metrics.ascent());
    const long caret = sci(SCI_GETCURRENTPOS);
    for (const LetterCell& cell : cells) {
        const auto x0 = static_cast<double>(sci(SCI_POINTXFROMPOSITION, 0, cell.start));
        const auto x1 = static_cast<double>(sci(SCI_POINTXFROMPOSITION, 0, cell.end));
        const auto y = static_cast<double>(sci(SCI_POINTYFROMPOSITION, 0, cell.start));
        // The cover leaves the top row of the control's box; the caret's column stays.
        painter.fillRect(QRectF(x0 + 1, y, x1 - x0 - (caret == cell.end ? 2 : 1), 1), cell.back);
        painter.setPen(cell.fore);
        const double advance = metrics.horizontalAdvance(
            cell.text.left(cell.text.front().isHighSurrogate() ? 2 : 1));
        painter.drawText(QPointF(x0 + (x1 - x0 - advance) / 2, y + ascent), cell.text);
    }
}

void RichEdit::paintEvent(QPaintEvent* event)
{
    if (!m_hasRightToLeft) {
        QsciScintilla::paintEvent(event);
        return;
    }
    const QRect area = event->rect();
    // The covers are set before the control paints, so that it paints them at once.
    const std::vector<LetterCell> cells = coverLetters(area);
    QsciScintilla::paintEvent(event);
    drawLetters(area, cells);
}

} // namespace zenkel
