/// RichEdit: the editor control over QsciScintilla.
#include "editor/RichEdit.h"
#include "editor/RichEditChangeBatch.h"

#include <QAccessibleWidget>
#include <QFontDatabase>
#include <QPalette>

#include <algorithm>
#include <utility>

namespace zenkel {

namespace {

/// Whole-text colouring, and plain text in the default colour, give every other word the twin
/// style of its colour class (style class + TwinStyles, same colour). The control lays out a
/// changed line as a whole, measuring its text in pieces that end where the style changes; it
/// keeps the widths of pieces under 30 bytes in its position cache and measures longer ones
/// every time. With words as pieces, and no piece longer than MaxPieceBytes, a long line is
/// measured once and then read from the cache, which makes a page of one long line quick to
/// open and to edit. The cache holds enough pieces for such a page with few collisions (its
/// table takes 16 bytes an entry).
constexpr int TwinStyles = ColorClassCount;
constexpr std::size_t MaxPieceBytes = 24;
constexpr long PositionCacheEntries = 1 << 18;
/// Styles of colours outside the colour set start here (32 ... 39 are Scintilla's own).
constexpr int FirstExtraStyle = 40;
constexpr int LastExtraStyle = 255;
constexpr long Utf16Index = QsciScintillaBase::SC_LINECHARACTERINDEX_UTF16;

/// The library's accessible for its editors counts the characters from the start of the
/// text to the caret after every change and every repaint, once the interface exists, which
/// Qt creates even with no screen reader running. Without a screen reader the editor gets a
/// plain accessible; with one, the library's full one.
QAccessibleInterface* plainAccessibleFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("QsciScintillaBase") && !QAccessible::isActive()
        && qobject_cast<RichEdit*>(object))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::EditableText);
    return nullptr;
}

} // namespace

ColorValue ResolveColorValue(ColorValue value)
{
    // Windows system colour numbers and the palette roles that stand for them here.
    static const std::pair<unsigned int, QPalette::ColorRole> SystemColors[] = {
        {1, QPalette::Window},
        {4, QPalette::Button},
        {5, QPalette::Base},
        {7, QPalette::ButtonText},
        {8, QPalette::Text},
        {9, QPalette::HighlightedText},
        {12, QPalette::Window},
        {13, QPalette::Highlight},
        {14, QPalette::HighlightedText},
        {15, QPalette::Button},
        {16, QPalette::Dark},
        {17, QPalette::PlaceholderText},
        {18, QPalette::ButtonText},
        {20, QPalette::Light},
        {21, QPalette::Shadow},
        {22, QPalette::Midlight},
        {23, QPalette::ToolTipText},
        {24, QPalette::ToolTipBase},
        {26, QPalette::Link},
        {29, QPalette::Highlight},
        {30, QPalette::Button},
    };
    const auto bits = static_cast<unsigned int>(value);
    if ((bits & 0xFF000000u) != 0x80000000u)
        return static_cast<ColorValue>(bits & 0xFFFFFFu);
    QPalette::ColorRole role = QPalette::WindowText;
    for (const auto& [number, paletteRole] : SystemColors)
        if (number == (bits & 0xFFu))
            role = paletteRole;
    const QColor c = QPalette().color(QPalette::Active, role);
    return RgbColor(c.red(), c.green(), c.blue());
}

QFont EditorFont()
{
    QFont font = QFontDatabase::families().contains(QStringLiteral("Courier New"))
        ? QFont(QStringLiteral("Courier New"))
        : QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(9);
    return font;
}

class RichEdit::ColoredInsert
{
public:
    explicit ColoredInsert(RichEdit& editor)
        : m_editor(editor)
        , m_old(editor.m_applyingColors)
    {
        m_editor.m_applyingColors = true;
    }
    ~ColoredInsert() { m_editor.m_applyingColors = m_old; }

private:
    RichEdit& m_editor;
    bool m_old;
};

RichEdit::RichEdit(QWidget* parent)
    : QsciScintilla(parent)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(plainAccessibleFactory);
        return true;
    }();
    (void)factoryInstalled;
    setUpView();
    connect(this, &QsciScintillaBase::SCN_MODIFIED, this, &RichEdit::onModified);
    connect(this, &QsciScintillaBase::SCN_STYLENEEDED, this, &RichEdit::onStyleNeeded);
    // The library's own handler of this notification works out the caret's column after every
    // caret move by walking its line from the start, which takes milliseconds in a long line;
    // onUpdateUi emits cursorPositionChanged instead. Brace matching, the handler's other task,
    // is not used here.
    disconnect(this, SIGNAL(SCN_UPDATEUI(int)), this, SLOT(handleUpdateUI(int)));
    // Text typed through this class (see keyPressEvent) moves the caret as a new selection,
    // which the library reports as selectionChanged; typing through the control does not, so
    // the library's handler of that report is not called for it.
    disconnect(this, SIGNAL(QSCN_SELCHANGED(bool)), this, SLOT(handleSelectionChanged(bool)));
    connect(this, &QsciScintillaBase::QSCN_SELCHANGED, this, [this](bool any) {
        if (!m_typing)
            QMetaObject::invokeMethod(
                this, "handleSelectionChanged", Qt::DirectConnection, Q_ARG(bool, any));
    });
    connect(this, &QsciScintillaBase::SCN_UPDATEUI, this, &RichEdit::onUpdateUi);
}

long RichEdit::sci(unsigned int msg, unsigned long wParam, long lParam) const
{
    return SendScintilla(msg, wParam, lParam);
}

void RichEdit::setUpView()
{
    setUtf8(true);
    sci(SCI_ALLOCATELINECHARACTERINDEX, Utf16Index);
    // Only the notifications before a change: those after it make the library count the
    // characters from the start of the text to the change for its accessibility events,
    // which costs a hundred milliseconds per key in a large file.
    sci(SCI_SETMODEVENTMASK, SC_MOD_BEFOREINSERT | SC_MOD_BEFOREDELETE);
    sci(SCI_SETEOLMODE, SC_EOL_CRLF);
    sci(SCI_SETPASTECONVERTENDINGS, 1);
    sci(SCI_SETWRAPMODE, SC_WRAP_NONE);
    sci(SCI_SETUSETABS, 1);
    sci(SCI_SETTABWIDTH, 8);
    sci(SCI_SETHSCROLLBAR, 1);
    sci(SCI_SETSCROLLWIDTH, 1);
    sci(SCI_SETSCROLLWIDTHTRACKING, 1);
    sci(SCI_SETPOSITIONCACHE, PositionCacheEntries);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    for (int margin = 0; margin < 5; ++margin)
        sci(SCI_SETMARGINWIDTHN, static_cast<unsigned long>(margin), 0);
    sci(SCI_SETMARGINLEFT, 0, 3);

    const QFont font = EditorFont();
    const QByteArray family = font.family().toUtf8();
    SendScintilla(SCI_STYLESETFONT, static_cast<uintptr_t>(STYLE_DEFAULT), family.constData());
    sci(SCI_STYLESETSIZE, STYLE_DEFAULT, 9);
    sci(SCI_STYLESETFORE, STYLE_DEFAULT, 0);
    sci(SCI_STYLESETBACK, STYLE_DEFAULT, RgbColor(255, 255, 255));
    sci(SCI_STYLECLEARALL);
    applyClassColors();
    setUpRightToLeft();
}

void RichEdit::applyClassColors()
{
    for (int c = 0; c < ColorClassCount; ++c)
        for (int style : {c, c + TwinStyles})
            sci(SCI_STYLESETFORE, static_cast<unsigned long>(style),
                m_colors.color(static_cast<ColorClass>(c)));
    for (std::size_t i = 0; i < m_extraColors.size(); ++i)
        sci(SCI_STYLESETFORE, FirstExtraStyle + i, m_extraColors[i]);
}

// ---- colours --------------------------------------------------------------------------

void RichEdit::setColorSet(const ColorSet& colors)
{
    m_colors = {ResolveColorValue(colors.TextCol), ResolveColorValue(colors.TagCol),
        ResolveColorValue(colors.QuotedCol), ResolveColorValue(colors.CommentCol)};
    applyClassColors();
}

int RichEdit::styleForColor(ColorValue color)
{
    for (int c = 0; c < ColorClassCount; ++c)
        if (m_colors.color(static_cast<ColorClass>(c)) == color)
            return c;
    const auto known = std::find(m_extraColors.begin(), m_extraColors.end(), color);
    if (known != m_extraColors.end())
        return FirstExtraStyle + static_cast<int>(known - m_extraColors.begin());
    if (FirstExtraStyle + static_cast<int>(m_extraColors.size()) > LastExtraStyle)
        return 0; // more colours than styles: the rest show as text
    m_extraColors.push_back(color);
    const int style = FirstExtraStyle + static_cast<int>(m_extraColors.size()) - 1;
    sci(SCI_STYLESETFORE, static_cast<unsigned long>(style), color);
    return style;
}

ColorValue RichEdit::colorOfStyle(int style) const
{
    if (style >= 0 && style < ColorClassCount + TwinStyles)
        return m_colors.color(static_cast<ColorClass>(style % ColorClassCount));
    const int extra = style - FirstExtraStyle;
    if (extra >= 0 && extra < static_cast<int>(m_extraColors.size()))
        return m_extraColors[static_cast<std::size_t>(extra)];
    return m_colors.TextCol;
}

void RichEdit::setDefaultColor(ColorValue color)
{
    m_defaultStyle = styleForColor(color);
}

ColorValue RichEdit::defaultColor() const
{
    return colorOfStyle(m_defaultStyle);
}

void RichEdit::setInsertionColor(ColorValue color)
{
    m_insertionStyle = styleForColor(color);
}

ColorValue RichEdit::colorAt(int pos) const
{
    const long b = bytePosition(pos);
    if (b <= 0)
        return defaultColor();
    return colorOfStyle(static_cast<int>(sci(SCI_GETSTYLEAT, static_cast<unsigned long>(b - 1))));
}

ColorClass RichEdit::colorClassOfChar(int pos) const
{
    const int style
        = static_cast<int>(sci(SCI_GETSTYLEAT, static_cast<unsigned long>(bytePosition(pos))));
    return style >= 0 && style < ColorClassCount + TwinStyles
        ? static_cast<ColorClass>(style % ColorClassCount)
        : ColorClass::Text;
}

void RichEdit::setSelectionColor(ColorValue color)
{
    setRangeColor(selectionStart(), selectionLength(), color);
}

void RichEdit::setRangeColor(int start, int length, ColorValue color)
{
    const long b0 = bytePosition(start);
    const long b1 = bytePosition(start + std::max(length, 0));
    if (b1 <= b0)
        return;
    styleRange(b0, b1, styleForColor(color));
    markAllStyled();
}

void RichEdit::setRangeClass(int start, int length, ColorClass colorClass)
{
    const long b0 = bytePosition(start);
    const long b1 = bytePosition(start + std::max(length, 0));
    if (b1 <= b0)
        return;
    styleRange(b0, b1, static_cast<int>(colorClass));
    markAllStyled();
}

void RichEdit::markAllStyled()
{
    // Starting to style at the end tells the editor that everything before is styled, so it
    // does not ask for styles while painting.
    sci(SCI_STARTSTYLING, static_cast<unsigned long>(sci(SCI_GETLENGTH)), 0xFF);
}

void RichEdit::styleBytes(long byteStart, std::string_view classes)
{
    const long length = sci(SCI_GETLENGTH);
    const long n = std::min<long>(static_cast<long>(classes.size()), length - byteStart);
    if (byteStart < 0 || n <= 0)
        return;
    std::string styles(classes.substr(0, static_cast<std::size_t>(n)));
    styleWords(byteStart, styles);
    markAllStyled();
}

void RichEdit::styleWords(long byteStart, std::string& styles)
{
    // Each word, with the blank after it, is one piece for the control to measure: a colour
    // class style switches to its twin after every blank, and after MaxPieceBytes of a longer
    // run (a long address, tags run together) at a character boundary, so that no piece is too
    // long to be cached.
    if (styles.empty())
        return;
    // A pointer to the range moves the editor's gap only when the gap lies inside it.
    const auto* text = reinterpret_cast<const char*>(SendScintilla(SCI_GETRANGEPOINTER,
        static_cast<unsigned long>(byteStart), static_cast<long>(styles.size())));
    if (!text)
        return;
    char twin = 0;
    std::size_t piece = 0;
    char runClass = -1;
    for (std::size_t i = 0; i < styles.size(); ++i) {
        const char style = styles[i];
        if (style != runClass) { // a change of style starts a new piece anyway
            runClass = style;
            piece = 0;
        }
        if (style < ColorClassCount)
            styles[i] = static_cast<char>(style + twin);
        ++piece;
        const bool charEnds = i + 1 == styles.size() || (text[i + 1] & 0xC0) != 0x80;
        if (text[i] == ' ' || (piece >= MaxPieceBytes && charEnds)) {
            twin ^= TwinStyles;
            piece = 0;
        }
    }
    sci(SCI_STARTSTYLING, static_cast<unsigned long>(byteStart), 0xFF);
    SendScintilla(SCI_SETSTYLINGEX, static_cast<uintptr_t>(styles.size()), styles.data());
}

void RichEdit::styleRange(long byteStart, long byteEnd, int style)
{
    if (byteEnd <= byteStart)
        return;
    std::string styles(static_cast<std::size_t>(byteEnd - byteStart), static_cast<char>(style));
    styleWords(byteStart, styles);
}

void RichEdit::styleRuns(long byteStart, long byteLength, const std::vector<ColorRun>& runs)
{
    const long end = std::min(byteStart + byteLength, sci(SCI_GETLENGTH));
    for (const ColorRun& run : runs) {
        const long b0 = byteStart + static_cast<long>(run.start);
        styleRange(b0, std::min(b0 + static_cast<long>(run.length), end),
            static_cast<int>(run.colorClass));
    }
    markAllStyled();
}

// ---- text -----------------------------------------------------------------------------

std::string_view RichEdit::utf8Text() const
{
    const auto* p = static_cast<const char*>(SendScintillaPtrResult(SCI_GETCHARACTERPOINTER));
    const long n = sci(SCI_GETLENGTH);
    return n > 0 && p ? std::string_view(p, static_cast<std::size_t>(n)) : std::string_view();
}

QString RichEdit::plainText() const
{
    const std::string_view t = utf8Text();
    return QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size()));
}

int RichEdit::textLength() const
{
    return static_cast<int>(sci(
        SCI_INDEXPOSITIONFROMLINE, static_cast<unsigned long>(sci(SCI_GETLINECOUNT)), Utf16Index));
}

QString RichEdit::textRange(int start, int count) const
{
    if (count <= 0)
        return {};
    const long b0 = bytePosition(start);
    const long b1 = bytePosition(start + count);
    if (b1 <= b0)
        return {};
    // A range pointer moves the editor's gap only when it lies inside the range; the whole
    // text's pointer would move it to the end, a copy of the text after the caret.
    const auto* p = reinterpret_cast<const char*>(
        SendScintilla(SCI_GETRANGEPOINTER, static_cast<unsigned long>(b0), b1 - b0));
    return p ? QString::fromUtf8(p, static_cast<qsizetype>(b1 - b0)) : QString();
}

char16_t RichEdit::charAt(int pos) const
{
    if (pos < 0)
        return 0;
    const QString c = textRange(pos, 1);
    return c.isEmpty() ? char16_t(0) : c.front().unicode();
}

void RichEdit::setPlainUtf8(std::string_view utf8, bool colored)
{
    ChangeBatch batch(*this);
    m_hasRightToLeft = false;
    {
        ColoredInsert colored(*this);
        sci(SCI_SETUNDOCOLLECTION, 0);
        sci(SCI_CLEARALL);
        SendScintilla(SCI_APPENDTEXT, static_cast<uintptr_t>(utf8.size()), utf8.data());
        sci(SCI_SETUNDOCOLLECTION, 1);
        sci(SCI_EMPTYUNDOBUFFER);
    }
    if (colored)
        recolorAll();
    else
        styleDefault();
    // Caret and view go to the start without the control scrolling to the caret: that would
    // lay out the first line at once, which in a page of one long line is all of the text.
    sci(SCI_SETEMPTYSELECTION, 0);
    sci(SCI_SETFIRSTVISIBLELINE, 0);
    sci(SCI_SETXOFFSET, 0);
}

void RichEdit::styleDefault()
{
    styleRange(0, sci(SCI_GETLENGTH), m_defaultStyle);
    markAllStyled();
}

void RichEdit::replaceAllUndoable(std::string_view utf8)
{
    ChangeBatch batch(*this);
    m_hasRightToLeft = false;
    {
        ColoredInsert colored(*this);
        sci(SCI_BEGINUNDOACTION);
        sci(SCI_CLEARALL);
        SendScintilla(SCI_APPENDTEXT, static_cast<uintptr_t>(utf8.size()), utf8.data());
        sci(SCI_ENDUNDOACTION);
    }
    // With colouring on, the end of the change colours the text.
    if (!m_doColorTags)
        styleDefault();
    m_recolorPending = true;
}

void RichEdit::replaceBytes(long byteStart, long byteEnd, std::string_view utf8)
{
    sci(SCI_SETTARGETRANGE, static_cast<unsigned long>(byteStart), byteEnd);
    SendScintilla(SCI_REPLACETARGET, static_cast<uintptr_t>(utf8.size()), utf8.data());
}

void RichEdit::replaceSelectionPlain(const QString& text)
{
    ChangeBatch batch(*this);
    const std::string utf8 = NormalizeLineEnds(text.toStdString());
    const long b0 = sci(SCI_GETSELECTIONSTART);
    const long b1 = sci(SCI_GETSELECTIONEND);
    sci(SCI_BEGINUNDOACTION);
    replaceBytes(b0, b1, utf8);
    sci(SCI_ENDUNDOACTION);
    sci(SCI_GOTOPOS, static_cast<unsigned long>(b0 + static_cast<long>(utf8.size())));
}

void RichEdit::replaceColored(std::string_view utf8, bool replaceAll)
{
    ChangeBatch batch(*this);
    if (replaceAll && utf8 == utf8Text()) {
        recolorAll();
        return;
    }
    const long b0 = replaceAll ? 0 : sci(SCI_GETSELECTIONSTART);
    const long b1 = replaceAll ? sci(SCI_GETLENGTH) : sci(SCI_GETSELECTIONEND);
    {
        ColoredInsert colored(*this);
        sci(SCI_BEGINUNDOACTION);
        replaceBytes(b0, b1, utf8);
        sci(SCI_ENDUNDOACTION);
    }
    std::string classes;
    FillColorClasses(utf8, classes);
    styleBytes(b0, classes);
}

void RichEdit::recolorAll()
{
    std::string classes;
    FillColorClasses(utf8Text(), classes);
    styleBytes(0, classes);
}

// ---- modified flag and files ----------------------------------------------------------

void RichEdit::setModifiedFlag(bool modified)
{
    if (m_modified == modified)
        return;
    m_modifiedSignalPending = false;
    m_modified = modified;
    emit modifiedFlagChanged(modified);
}

std::string RichEdit::fileBytes() const
{
    return FileBytesFromEditorText(utf8Text(), m_encoding);
}

} // namespace zenkel
