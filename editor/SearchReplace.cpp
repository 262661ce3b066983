/// Search and replace over the editor text.
#include "editor/SearchReplace.h"

#include "editor/RichEdit.h"
#include "text/TextEncoding.h"

namespace zenkel {

namespace {

QString quoted(const QString& text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

/// Keeps the editor from repainting while many replacements run.
class UpdatesOff
{
public:
    explicit UpdatesOff(QWidget& widget)
        : m_widget(widget)
        , m_wasEnabled(widget.updatesEnabled())
    {
        m_widget.setUpdatesEnabled(false);
    }
    ~UpdatesOff() { m_widget.setUpdatesEnabled(m_wasEnabled); }
    UpdatesOff(const UpdatesOff&) = delete;
    UpdatesOff& operator=(const UpdatesOff&) = delete;

private:
    QWidget& m_widget;
    bool m_wasEnabled;
};

} // namespace

int SearchType(SearchOptions options)
{
    return (options.matchCase ? RichEdit::MatchCase : 0)
        | (options.wholeWord ? RichEdit::WholeWord : 0);
}

QString NotFoundMessage(const QString& find)
{
    return quoted(find) + QStringLiteral(" not found.");
}

QString ReplaceDoneMessage(const QString& find, int count)
{
    return quoted(find) + QStringLiteral(", Replace done: ") + QString::number(count)
        + QStringLiteral(" times");
}

FindReplaceResult FindReplace(RichEdit& editor, const QString& find, const QString& replacement,
    bool replace, bool replaceAll, SearchOptions options)
{
    FindReplaceResult result;
    if (find.isEmpty())
        return result;
    const int type = SearchType(options);
    const int selStart = editor.selectionStart();
    const int selLength = editor.selectionLength();
    int start = selLength > 0 ? selStart + selLength : 0;
    if (replace && replaceAll && selLength == find.size()
        && editor.findText(find, selStart, selLength, type) == selStart)
        start = selStart;

    const int length = editor.textLength();
    const int p = editor.findText(find, start, length - start, type);
    if (p < 0) {
        result.message = NotFoundMessage(find);
        return result;
    }
    result.found = true;
    result.position = p;
    if (editor.isVisible() && editor.isEnabled())
        editor.setFocus();
    editor.selectRange(p, static_cast<int>(find.size()));
    if (!replace)
        return result;
    if (replaceAll) {
        result.replaced = ReplaceAllFrom(editor, find, replacement, type, p);
        result.message = ReplaceDoneMessage(find, result.replaced);
    } else {
        editor.setInsertionColor(editor.colorAt(p + 1));
        editor.replaceSelectionPlain(replacement);
        editor.selectRange(p, editor.caretPosition() - p);
        result.replaced = 1;
    }
    return result;
}

int ReplaceAllFrom(
    RichEdit& editor, const QString& find, const QString& replacement, int searchType, int p)
{
    if (find.isEmpty())
        return 0;
    // Each match is replaced in place through the control's target, without selecting it:
    // moving the selection scrolls the view to it, which would cost more than all the rest.
    // Each replacement takes the colour of the text it replaces, as a replaced selection does.
    const std::string utf8 = NormalizeLineEnds(replacement.toStdString());
    const int findLength = static_cast<int>(find.size());
    UpdatesOff updatesOff(editor);
    editor.beginUndoAction();
    int count = 0;
    int position = p;
    for (int length = editor.textLength(); position >= 0 && position < length;
         length = editor.textLength()) {
        const int match = editor.findText(find, position, length - position, searchType);
        if (match < 0)
            break;
        editor.setInsertionColor(editor.colorAt(match + 1));
        editor.SendScintilla(QsciScintillaBase::SCI_SETTARGETRANGE,
            static_cast<unsigned long>(editor.bytePosition(match)),
            editor.bytePosition(match + findLength));
        editor.SendScintilla(QsciScintillaBase::SCI_REPLACETARGET,
            static_cast<unsigned long>(utf8.size()), utf8.c_str());
        position = editor.charPosition(editor.SendScintilla(QsciScintillaBase::SCI_GETTARGETEND));
        ++count;
    }
    editor.endUndoAction();
    if (count > 0)
        editor.setCaretPosition(position);
    return count;
}

} // namespace zenkel
