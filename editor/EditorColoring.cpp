/// Typing-time colouring: key states, caret snapshots and the repaint of the tag at the caret.
#include "editor/EditorColoring.h"

#include "editor/RichEdit.h"
#include "editor/SyntaxColoring.h"
#include "editor/TagLookup.h"
#include "text/ColorClasses.h"

#include <QKeyEvent>

#include <algorithm>

namespace zenkel {

CaretInfo CaretInfoAt(const RichEdit& editor, int pos)
{
    CaretInfo info;
    info.position = std::clamp(pos, 0, editor.textLength());
    info.line = editor.lineOfPosition(info.position);
    info.lineStart = editor.lineStartPosition(info.line);
    info.column = info.position - info.lineStart;
    info.lineLength = editor.lineTextLength(info.line);
    info.lineEnd = info.lineStart + info.lineLength;
    info.color = editor.colorAt(info.position);
    info.ch = info.position > 0 ? editor.charAt(info.position - 1) : char16_t(0);
    return info;
}

void TakeCaretInfo(const RichEdit& editor, CaretInfo& a, CaretInfo& b)
{
    const int s = editor.caretPosition();
    a = CaretInfoAt(editor, s);
    if (s >= editor.textLength()) {
        // At the end there is no character after the caret.
        b = a;
        b.ch = 0;
    } else {
        b = CaretInfoAt(editor, s + 1);
    }
}

void PaintRange(RichEdit& editor, const QString& text, int start, int n)
{
    if (n <= 0 || text.isEmpty())
        return;
    const QByteArray utf8 = text.left(std::min<qsizetype>(n, text.size())).toUtf8();
    const std::string_view bytes(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    const bool modified = editor.modifiedFlag();
    editor.styleRuns(
        editor.bytePosition(start), static_cast<long>(bytes.size()), ComputeColorRuns(bytes, true));
    editor.setModifiedFlag(modified);
}

EditorColoring::EditorColoring(RichEdit& editor, EditorColoringHost& host)
    : m_editor(editor)
    , m_host(host)
{ }

EditorColoring::~EditorColoring()
{
    for (const QMetaObject::Connection& c : m_connections)
        QObject::disconnect(c);
}

void EditorColoring::connectEditor()
{
    m_connections[0] = QObject::connect(
        &m_editor, &RichEdit::keyDown, &m_editor, [this](QKeyEvent* event, bool* swallow) {
            if (REScreenKeyDown(event->key(), event->modifiers()))
                *swallow = true;
        });
    m_connections[1] = QObject::connect(
        &m_editor, &RichEdit::keyPress, &m_editor, [this](QChar k) { REScreenKeyPress(k); });
    m_connections[2]
        = QObject::connect(&m_editor, &RichEdit::changed, &m_editor, [this] { REScreenChange(); });
}

bool EditorColoring::REScreenKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    int code = KeyState::None;
    if (key == Qt::Key_Backspace)
        code = KeyState::Backspace;
    else if (key == Qt::Key_Delete)
        code = KeyState::Delete;
    else if ((modifiers & Qt::ShiftModifier) && key == Qt::Key_Insert)
        code = KeyState::Paste;
    else if (modifiers & Qt::ControlModifier) {
        code = KeyState::CtrlCombination;
        if (key == Qt::Key_V)
            code = KeyState::Paste;
        else if (key == Qt::Key_X)
            code = KeyState::Cut;
        else if (key == Qt::Key_S && m_host.saveEnabled())
            m_host.BSaveClick();
    }
    m_keyStateCode = code;
    bool swallow = false;
    if (m_editor.DoColorTags() && code == KeyState::Paste) {
        PasteColored(m_editor);
        swallow = true;
    }
    // The coloured paste raised a change that cleared the shared code; this key's own code
    // decides here, so a paste always marks the text modified.
    if (code > KeyState::CtrlCombination) {
        TakeCaretInfo(m_editor, m_a, m_b);
        m_host.SetREToModified();
    }
    return swallow;
}

void EditorColoring::REScreenKeyPress(QChar k)
{
    if (m_keyStateCode != KeyState::None)
        return;
    TakeCaretInfo(m_editor, m_a, m_b);
    m_host.SetREToModified();
    const ColorValue color = ChooseTypedColor(k.unicode(), m_a, m_b, m_editor.colorSet());
    if (m_editor.selectionLength() == 0)
        m_editor.setInsertionColor(color);
    if (IsMarkupChar(k.unicode()))
        m_keyStateCode = k.unicode();
}

void EditorColoring::REScreenChange()
{
    if (m_keyStateCode == KeyState::None)
        return;
    const bool repaint = ChangeNeedsRepaint(m_keyStateCode, m_a, m_b);
    m_keyStateCode = KeyState::None; // the repaint's own changes must not repaint again
    if (repaint)
        PaintTagAtCaret();
}

void EditorColoring::PaintTagAtCaret()
{
    m_tagHintOn = false;
    const RecEditTagInfo tag = FindTagAtPos(m_editor, m_editor.caretPosition(), false);
    PaintRange(m_editor, tag.text, tag.start, tag.length);
    m_tagHintOn = true;
}

} // namespace zenkel
