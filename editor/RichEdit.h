/// RichEdit: the editor control, a QsciScintilla that offers what the editor commands need of a
/// rich-text control (coloured text, default and insertion colour, find in a range, lines,
/// selection colour, first visible line, modified flag, undo).
#pragma once

#include "text/ColorClasses.h"
#include "text/ColorSet.h"
#include "text/TextEncoding.h"

#include <Qsci/qsciscintilla.h>

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

class QFont;
class QKeyEvent;

namespace zenkel {

/// A colour value as the editor shows it: a Windows system colour (0x80000000 + its number)
/// becomes the RGB value of the matching palette colour, other values keep their low 24 bits.
ColorValue ResolveColorValue(ColorValue value);

/// The editor font: "Courier New" where the system has it, else the system's fixed-pitch
/// font; 9 points.
QFont EditorFont();

/// Positions: every position and length of this class counts the characters of the text as a
/// QString does (UTF-16 code units), from 0, and a line break is the two characters CR LF. For
/// a Windows-1252 file a position is therefore the byte offset in the file. Use these members,
/// not QsciScintilla's own line/index or byte positions.
///
/// Colours: the four colour classes are four editor styles whose colours come from the colour
/// set, so a colour change restyles nothing. Colours reported and compared are colour values
/// (0x00BBGGRR); a colour that is not in the set gets a style of its own.
///
/// Signals for the window: keyDown (before a key is handled; set *swallow to drop the key),
/// keyPress (before a typed character is inserted) and changed (once after each change of the
/// text, be it a key, a command or a call of this class). cursorPositionChanged gives the line
/// and the caret's position in it, counted as the positions are.
class RichEdit : public QsciScintilla
{
    Q_OBJECT

public:
    explicit RichEdit(QWidget* parent = nullptr);

    // ---- colours ----------------------------------------------------------------------
    /// The editor's colour set (system colours resolved). Changing it recolours the four
    /// classes at once.
    void setColorSet(const ColorSet& colors);
    const ColorSet& colorSet() const { return m_colors; }
    /// The switch DoColorTags: whole-text colouring on or off.
    void setDoColorTags(bool on) { m_doColorTags = on; }
    bool DoColorTags() const { return m_doColorTags; }

    /// The colour of text with no colour of its own (an empty editor, position 0).
    void setDefaultColor(ColorValue color);
    ColorValue defaultColor() const;
    /// The colour the next inserted text takes; it holds until that insertion or until the
    /// selection moves. Without it, inserted text takes the colour of the character before it.
    void setInsertionColor(ColorValue color);
    /// The colour of an empty selection at pos: the colour of the character before pos; at 0
    /// the default colour. Positions past the end count as the end.
    ColorValue colorAt(int pos) const;
    /// The colour class shown at pos (the character at pos), for tests and tools.
    ColorClass colorClassOfChar(int pos) const;
    /// Colours the current selection.
    void setSelectionColor(ColorValue color);
    /// Colours start .. start + length without moving the selection.
    void setRangeColor(int start, int length, ColorValue color);
    /// Colours start .. start + length by class, without moving the selection.
    void setRangeClass(int start, int length, ColorClass colorClass);

    // ---- text -------------------------------------------------------------------------
    /// The whole text as UTF-8 bytes; valid until the next change.
    std::string_view utf8Text() const;
    QString plainText() const;
    /// Length of the text in characters.
    int textLength() const;
    /// count characters from start (clipped to the text); empty when count <= 0.
    QString textRange(int start, int count) const;
    /// The character at pos, 0 outside the text.
    char16_t charAt(int pos) const;

    /// Replaces the whole text with plain UTF-8 text in the default colour, or with colored
    /// coloured by its colour classes; clears the undo history; caret and view go to the
    /// start. Line ends are taken as they are (the file helpers give CR LF).
    void setPlainUtf8(std::string_view utf8, bool colored = false);
    /// Replaces the whole text with plain UTF-8 text as one step that undo takes back (Cancel
    /// All); the text is coloured as every undone or redone change is.
    void replaceAllUndoable(std::string_view utf8);
    /// Replaces the selection (or inserts at the caret) with plain text, line ends as CR LF.
    /// It takes the colour inserted text gets at that place; the caret ends after it.
    void replaceSelectionPlain(const QString& text);
    /// Replaces the selection (or, with replaceAll, the whole text) with UTF-8 text coloured
    /// by its own colour classes. The caret is left where the caller puts it.
    /// When the whole text is replaced by the same text only the colours change.
    void replaceColored(std::string_view utf8, bool replaceAll);
    /// Colours the whole text by its colour classes; the text, caret and view stay.
    void recolorAll();

    // ---- find -------------------------------------------------------------------------
    enum FindOption
    {
        MatchCase = 1,
        WholeWord = 2,
    };
    /// The first match of what in start .. start + length that lies wholly in that range;
    /// -1 when there is none.
    int findText(const QString& what, int start, int length, int options = 0) const;

    // ---- lines ------------------------------------------------------------------------
    int lineOfPosition(int pos) const;
    int lineStartPosition(int line) const;
    /// Length of a line without its line break.
    int lineTextLength(int line) const;

    // ---- caret and selection ----------------------------------------------------------
    int caretPosition() const;
    /// Empty selection at pos.
    void setCaretPosition(int pos);
    int selectionStart() const;
    int selectionLength() const;
    /// Selects length characters from start; the caret ends at the end of the selection.
    void selectRange(int start, int length);

    // ---- modified flag ----------------------------------------------------------------
    /// Set by every change of the text; cleared or set only by the callers (undo back to the
    /// loaded text does not clear it).
    bool modifiedFlag() const { return m_modified; }
    void setModifiedFlag(bool modified);

    // ---- encoding and files -----------------------------------------------------------
    TextEncoding encoding() const { return m_encoding; }
    void setEncoding(TextEncoding encoding) { m_encoding = encoding; }
    /// The text as file bytes in the editor's encoding.
    std::string fileBytes() const;

    // ---- low level, for the colouring code ---------------------------------------------
    long bytePosition(int pos) const;
    int charPosition(long bytePos) const;
    /// Styles the bytes from byteStart with the given classes (one class per byte).
    void styleBytes(long byteStart, std::string_view classes);
    /// Styles byteLength bytes from byteStart with the runs (offsets relative to byteStart).
    void styleRuns(long byteStart, long byteLength, const std::vector<ColorRun>& runs);

    // The text-changing operations of QsciScintilla, so that their changes are finished
    // (coloured, signalled) when they return.
    void undo() override;
    void redo() override;
    void cut() override;
    void paste() override;
    void replaceSelectedText(const QString& text) override;
    void setText(const QString& text) override;

signals:
    void keyDown(QKeyEvent* event, bool* swallow);
    void keyPress(QChar character);
    void changed();
    void modifiedFlagChanged(bool modified);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    /// Collects the text changes of one user action into one changed() signal.
    class ChangeBatch;
    /// Sets and restores m_applyingColors while text is inserted with its own colours.
    class ColoredInsert;

    long sci(unsigned int msg, unsigned long wParam = 0, long lParam = 0) const;
    void setUpView();
    void applyClassColors();
    int styleForColor(ColorValue color);
    ColorValue colorOfStyle(int style) const;
    void replaceBytes(long byteStart, long byteEnd, std::string_view utf8);
    void markAllStyled();
    /// Styles styles.size() bytes from byteStart with styles, a colour class style switching
    /// to its twin after every blank; styles is changed. The callers mark the text styled.
    void styleWords(long byteStart, std::string& styles);
    /// Styles byteStart .. byteEnd with one style, in words as styleWords does.
    void styleRange(long byteStart, long byteEnd, int style);
    /// Styles the whole text in the default colour.
    void styleDefault();
    void onModified(int position, int type, const char* text, int length, int linesAdded, int line,
        int foldNow, int foldPrev, int token, int annotationLines);
    void onStyleNeeded(int position);
    void onUpdateUi(int updated);
    struct LineSpan
    {
        long startByte = 0;
        long endByte = 0;
        long startChar = 0;
        long endChar = 0;
    };
    struct PositionAnchor
    {
        long byte;
        long ch;
    };
    LineSpan lineSpan(long line) const;
    bool isAsciiOnly() const;
    PositionAnchor nearestAnchor(const LineSpan& span, long target, bool byChar) const;
    void rememberAnchor(long byte, long ch) const;
    int styleBefore(long bytePos) const;
    void flushChanges();
    /// Typed text, Backspace and Delete change the text here rather than in the control where
    /// that is the same, so that the text is coloured (and the tag at the caret repainted)
    /// before the control lays out its line for the caret: in a long line that layout costs
    /// as much as the rest of the key together.
    enum class CaretEdit
    {
        None, ///< the control handles the key
        Type,
        DeleteBack,
        DeleteForward,
    };
    CaretEdit caretEditOf(const QKeyEvent* event) const;
    void finishCaretEdit(const QString& typed);

    // Right-to-left letters, laid out one by one in the order of the text.
    struct LetterCell
    {
        long start; ///< byte position of the letter
        long end; ///< byte position after it
        QString text; ///< the letter and the combining marks after it
        QColor fore;
        QColor back;
    };
    void setUpRightToLeft();
    void fitControlCharFont();
    /// Gives the right-to-left letters and bidirectional controls in utf8 their
    /// representations; notes whether there are right-to-left letters. True when a
    /// character got a new representation.
    bool noteDirectionalChars(std::string_view utf8);
    /// The letters in the area, their covers set to the colour behind them.
    std::vector<LetterCell> coverLetters(const QRect& area);
    void drawLetters(const QRect& area, const std::vector<LetterCell>& cells);

    ColorSet m_colors;
    bool m_doColorTags = true;
    int m_defaultStyle = 0;
    int m_insertionStyle = -1;
    long m_caretByte = -1; ///< caret at the last cursorPositionChanged
    bool m_typing = false; ///< typed text is being inserted
    std::vector<ColorValue> m_extraColors; ///< colours of styles FirstExtraStyle ...
    bool m_modified = false;
    bool m_modifiedSignalPending = false;
    bool m_applyingColors = false;
    int m_batchDepth = 0;
    bool m_changePending = false;
    bool m_flushScheduled = false;
    bool m_recolorPending = false; ///< an undo or redo changed the text
    /// Text inserted by the user or the control, coloured when the change is finished.
    struct PendingInsert
    {
        long start;
        long length;
        int style;
    };
    std::vector<PendingInsert> m_pendingInserts;
    /// All text inserted in the change, for its right-to-left letters (style unused).
    std::vector<PendingInsert> m_insertedRanges;
    TextEncoding m_encoding;
    /// Known byte/character position pairs in lines that are not pure ASCII, so that a
    /// position near a recent one is found without walking a long line from its start.
    static constexpr std::size_t MaxAnchors = 16;
    mutable std::vector<PositionAnchor> m_anchors;
    mutable std::size_t m_nextAnchor = 0;
    /// The text has held a right-to-left letter since it was last replaced as a whole.
    bool m_hasRightToLeft = false;
    std::unordered_set<char32_t> m_representedChars;
    QColor m_selectionBack;
    QColor m_selectionFore;
};

} // namespace zenkel
