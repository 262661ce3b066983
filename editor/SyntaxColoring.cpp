/// Whole-text colouring: coloured loads, repaints, colour modes and the coloured paste.
#include "editor/SyntaxColoring.h"

#include "editor/FileText.h"
#include "editor/RichEdit.h"
#include "widgets/WaitCursor.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>

#include <algorithm>

namespace zenkel {

namespace {

/// Keeps the editor from redrawing until the end of the scope.
class RedrawLock
{
public:
    explicit RedrawLock(QWidget& widget)
        : m_widget(widget)
        , m_wasEnabled(widget.updatesEnabled())
    {
        m_widget.setUpdatesEnabled(false);
    }
    ~RedrawLock() { m_widget.setUpdatesEnabled(m_wasEnabled); }
    RedrawLock(const RedrawLock&) = delete;
    RedrawLock& operator=(const RedrawLock&) = delete;

private:
    QWidget& m_widget;
    bool m_wasEnabled;
};

void focusWhenVisible(RichEdit& editor)
{
    if (editor.isVisible() && editor.isEnabled())
        editor.setFocus();
}

} // namespace

void StreamColoredText(RichEdit& editor, const QString& text, bool replaceAll)
{
    if (text.isEmpty())
        return;
    const bool modified = editor.modifiedFlag();
    const int caret = replaceAll ? editor.caretPosition() : editor.selectionStart();
    WaitCursor wait;
    editor.replaceColored(NormalizeLineEnds(text.toStdString()), replaceAll);
    editor.setCaretPosition(caret);
    editor.setModifiedFlag(modified);
}

bool LoadREFromFile(RichEdit& editor, const QString& path, QString* error, bool unattended)
{
    std::string bytes;
    if (!ReadFileBytes(path, bytes, error))
        return false;
    const bool modified = editor.modifiedFlag();
    {
        RedrawLock lock(editor);
        WaitCursor wait;
        TextEncoding encoding;
        const std::string text = EditorTextFromFileBytes(bytes, &encoding);
        bytes = std::string();
        editor.setEncoding(encoding);
        editor.setDefaultColor(editor.colorSet().TextCol);
        // The text in the editor is the file's text, so colouring it in place is the same as
        // streaming the coloured document over it.
        editor.setPlainUtf8(text, editor.DoColorTags() && !unattended);
        editor.setDefaultColor(editor.colorSet().TextCol);
        editor.setInsertionColor(editor.colorSet().TextCol);
        // The caret is at 0 already; moving it there again would make the control lay out
        // the first line before it is shown.
        editor.setModifiedFlag(modified);
    }
    focusWhenVisible(editor);
    return true;
}

bool RevertREToFile(RichEdit& editor, const QString& path, QString* error)
{
    std::string bytes;
    if (!ReadFileBytes(path, bytes, error))
        return false;
    {
        RedrawLock lock(editor);
        WaitCursor wait;
        const int caret = editor.caretPosition();
        const int firstLine = editor.firstVisibleLine();
        TextEncoding encoding;
        const std::string text = EditorTextFromFileBytes(bytes, &encoding);
        bytes = std::string();
        editor.setEncoding(encoding);
        editor.setDefaultColor(editor.colorSet().TextCol);
        editor.replaceAllUndoable(text);
        editor.setInsertionColor(editor.colorSet().TextCol);
        editor.setFirstVisibleLine(firstLine);
        editor.setCaretPosition(std::min(caret, editor.textLength()));
    }
    focusWhenVisible(editor);
    return true;
}

void RepaintRE(RichEdit& editor)
{
    if (!editor.DoColorTags())
        return;
    {
        RedrawLock lock(editor);
        WaitCursor wait;
        editor.recolorAll();
    }
    editor.viewport()->update();
    focusWhenVisible(editor);
}

bool SetColorMode(RichEdit& editor, int mode)
{
    ColorSet colors = editor.colorSet();
    if (!SetColorMode(colors, mode))
        return false;
    editor.setColorSet(colors);
    return true;
}

void PasteColored(RichEdit& editor)
{
    const QString text = QGuiApplication::clipboard()->text();
    if (text.isEmpty())
        return;
    StreamColoredText(editor, text, false);
    focusWhenVisible(editor);
}

} // namespace zenkel
