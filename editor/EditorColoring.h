/// Typing-time colouring: the key state code, the caret snapshots, the colour of each typed
/// character and the repaint of the tag at the caret after markup characters.
#pragma once

#include "editor/TypingRules.h"

#include <QMetaObject>
#include <QString>
#include <Qt>

namespace zenkel {

class RichEdit;

/// What typing-time colouring needs of the main window.
class EditorColoringHost
{
public:
    virtual ~EditorColoringHost() = default;
    /// TForm1.SetREToModified: status "Unsaved: ...", modified flag set, button states.
    virtual void SetREToModified() = 0;
    /// Whether BSave is enabled (Ctrl+S saves only then).
    virtual bool saveEnabled() const = 0;
    /// TForm1.BSaveClick.
    virtual void BSaveClick() = 0;
};

/// Snapshots A (at the caret s) and B (at s + 1) of the editor, the selection unchanged.
void TakeCaretInfo(const RichEdit& editor, CaretInfo& a, CaretInfo& b);

/// The snapshot at one position (clipped to the text).
CaretInfo CaretInfoAt(const RichEdit& editor, int pos);

/// Paints the first n characters of text, which stand in the editor from start, with the
/// colour classes of whole-text colouring; a comment without "-->" in the range stays as it
/// is. Nothing outside the n characters changes, nor the caret, selection or modified flag.
void PaintRange(RichEdit& editor, const QString& text, int start, int n);

/// Typing-time colouring of one editor. The window's handlers call the three REScreen...
/// members (or connectEditor() wires the editor's signals to them directly).
class EditorColoring
{
public:
    EditorColoring(RichEdit& editor, EditorColoringHost& host);
    ~EditorColoring();
    EditorColoring(const EditorColoring&) = delete;
    EditorColoring& operator=(const EditorColoring&) = delete;

    /// Connects the editor's keyDown, keyPress and changed signals to the handlers below.
    void connectEditor();

    /// Key-down: sets the key state code, runs the coloured paste (Ctrl+V, Shift+Insert with
    /// DoColorTags on) and the save (Ctrl+S). True when the key must be swallowed.
    bool REScreenKeyDown(int key, Qt::KeyboardModifiers modifiers);
    /// Before a typed character is inserted: picks its colour as the insertion colour.
    void REScreenKeyPress(QChar k);
    /// After every change of the text: repaints the tag at the caret after a markup character
    /// was typed or deleted.
    void REScreenChange();

    /// Repaints the tag around the caret; the tag hint is off meanwhile.
    void PaintTagAtCaret();

    int keyStateCode() const { return m_keyStateCode; }
    const CaretInfo& snapshotA() const { return m_a; }
    const CaretInfo& snapshotB() const { return m_b; }
    /// The tag-hint switch: off only while PaintTagAtCaret runs.
    bool tagHintOn() const { return m_tagHintOn; }

private:
    RichEdit& m_editor;
    EditorColoringHost& m_host;
    int m_keyStateCode = KeyState::None;
    CaretInfo m_a;
    CaretInfo m_b;
    bool m_tagHintOn = true;
    QMetaObject::Connection m_connections[3];
};

} // namespace zenkel
