/// RichEdit: key, mouse and edit events, change notifications and their end-of-change work.
#include "editor/RichEdit.h"
#include "editor/RichEditChangeBatch.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QTimer>

#include <algorithm>

namespace zenkel {

namespace {

bool insertsText(const QKeyEvent* event)
{
    if (event->text().isEmpty())
        return false;
    if (event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier | Qt::AltModifier))
        return false;
    const QChar c = event->text().front();
    return c.isPrint() || c == u'\r' || c == u'\t';
}

/// Keys whose text the control inserts as it is: printable, without Ctrl, Alt or Meta (its key
/// map binds no printable key without them).
bool typesPlainText(const QKeyEvent* event)
{
    return !event->text().isEmpty() && event->text().front().isPrint()
        && !(event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier | Qt::AltModifier));
}

} // namespace

// ---- events and notifications ---------------------------------------------------------

void RichEdit::keyPressEvent(QKeyEvent* event)
{
    bool swallow = false;
    emit keyDown(event, &swallow);
    if (swallow) {
        event->accept();
        return;
    }
    if (insertsText(event))
        emit keyPress(event->text().front());
    const CaretEdit edit = caretEditOf(event);
    {
        ChangeBatch batch(*this);
        const long caret = sci(SCI_GETCURRENTPOS);
        switch (edit) {
        case CaretEdit::Type: {
            const QByteArray utf8 = event->text().toUtf8();
            m_typing = true;
            SendScintilla(SCI_ADDTEXT, static_cast<uintptr_t>(utf8.size()), utf8.constData());
            m_typing = false;
            break;
        }
        case CaretEdit::DeleteBack: { // a whole character, CR LF as one
            const long from = sci(SCI_POSITIONBEFORE, static_cast<unsigned long>(caret));
            sci(SCI_DELETERANGE, static_cast<unsigned long>(from), caret - from);
            break;
        }
        case CaretEdit::DeleteForward: {
            const long to = sci(SCI_POSITIONAFTER, static_cast<unsigned long>(caret));
            sci(SCI_DELETERANGE, static_cast<unsigned long>(caret), to - caret);
            break;
        }
        case CaretEdit::None:
            QsciScintilla::keyPressEvent(event);
            break;
        }
    }
    if (edit != CaretEdit::None) {
        event->accept();
        finishCaretEdit(edit == CaretEdit::Type ? event->text() : QString());
    }
}

RichEdit::CaretEdit RichEdit::caretEditOf(const QKeyEvent* event) const
{
    // Where the control would do more than insert or delete at the caret, it does the key
    // itself.
    if (isReadOnly() || sci(SCI_GETOVERTYPE) != 0 || sci(SCI_GETSELECTIONS) != 1
        || sci(SCI_GETSELECTIONEMPTY) == 0 || sci(SCI_GETSELECTIONNCARETVIRTUALSPACE, 0) != 0
        || sci(SCI_AUTOCACTIVE) != 0 || sci(SCI_GETWRAPMODE) != SC_WRAP_NONE)
        return CaretEdit::None;
    if (typesPlainText(event))
        return CaretEdit::Type;
    if (event->modifiers() != Qt::NoModifier)
        return CaretEdit::None;
    const long caret = sci(SCI_GETCURRENTPOS);
    if (event->key() == Qt::Key_Backspace && caret > 0 && sci(SCI_GETBACKSPACEUNINDENTS) == 0)
        return CaretEdit::DeleteBack;
    if (event->key() == Qt::Key_Delete && caret < sci(SCI_GETLENGTH))
        return CaretEdit::DeleteForward;
    return CaretEdit::None;
}

void RichEdit::finishCaretEdit(const QString& typed)
{
    // What the control does after it inserts typed text or deletes at the caret: scroll to
    // the caret, remember its x for Up and Down, show it steadily (setting its blink period
    // again restarts the blink) and report a typed character.
    sci(SCI_SCROLLCARET);
    sci(SCI_CHOOSECARETX);
    const long period = sci(SCI_GETCARETPERIOD);
    if (period > 0) {
        sci(SCI_SETCARETPERIOD, static_cast<unsigned long>(period + 1));
        sci(SCI_SETCARETPERIOD, static_cast<unsigned long>(period));
    }
    if (!typed.isEmpty())
        emit SCN_CHARADDED(static_cast<int>(typed.toUcs4().value(0)));
}

void RichEdit::dropEvent(QDropEvent* event)
{
    ChangeBatch batch(*this);
    QsciScintilla::dropEvent(event);
}

void RichEdit::mouseReleaseEvent(QMouseEvent* event)
{
    ChangeBatch batch(*this); // the middle button pastes the selection
    QsciScintilla::mouseReleaseEvent(event);
}

void RichEdit::undo()
{
    ChangeBatch batch(*this);
    QsciScintilla::undo();
}

void RichEdit::redo()
{
    ChangeBatch batch(*this);
    QsciScintilla::redo();
}

void RichEdit::cut()
{
    ChangeBatch batch(*this);
    QsciScintilla::cut();
}

void RichEdit::paste()
{
    ChangeBatch batch(*this);
    QsciScintilla::paste();
}

void RichEdit::replaceSelectedText(const QString& text)
{
    ChangeBatch batch(*this);
    QsciScintilla::replaceSelectedText(text);
}

void RichEdit::setText(const QString& text)
{
    ChangeBatch batch(*this);
    QsciScintilla::setText(text);
}

void RichEdit::inputMethodEvent(QInputMethodEvent* event)
{
    if (!event->commitString().isEmpty())
        emit keyPress(event->commitString().front());
    ChangeBatch batch(*this);
    QsciScintilla::inputMethodEvent(event);
}

int RichEdit::styleBefore(long bytePos) const
{
    if (bytePos <= 0)
        return m_defaultStyle;
    for (auto p = m_pendingInserts.rbegin(); p != m_pendingInserts.rend(); ++p)
        if (p->start <= bytePos - 1 && bytePos - 1 < p->start + p->length)
            return p->style;
    return static_cast<int>(sci(SCI_GETSTYLEAT, static_cast<unsigned long>(bytePos - 1)));
}

void RichEdit::onModified(
    int position, int type, const char*, int length, int, int, int, int, int, int)
{
    // Character counts up to the change stay right; those after it do not.
    std::erase_if(m_anchors, [&](const PositionAnchor& a) { return a.byte > position; });
    if (type & SC_MOD_BEFOREINSERT) {
        for (auto* list : {&m_pendingInserts, &m_insertedRanges})
            for (PendingInsert& p : *list) {
                if (p.start >= position)
                    p.start += length;
                else if (p.start + p.length > position)
                    p.length += length;
            }
        if (length > 0)
            m_insertedRanges.push_back({position, length, 0});
        if (!m_applyingColors && length > 0) {
            const int style = m_insertionStyle >= 0 ? m_insertionStyle : styleBefore(position);
            m_insertionStyle = -1;
            m_pendingInserts.push_back({position, length, style});
        }
    } else if (type & SC_MOD_BEFOREDELETE) {
        const auto shifted = [&](long x) {
            return x <= position ? x : x >= position + length ? x - length : long(position);
        };
        for (auto* list : {&m_pendingInserts, &m_insertedRanges})
            for (PendingInsert& p : *list) {
                const long end = shifted(p.start + p.length);
                p.start = shifted(p.start);
                p.length = end - p.start;
            }
    } else {
        return;
    }
    // Undo and redo bring back text without its colours: it is coloured again at the end of
    // the change.
    if (type & (SC_PERFORMED_UNDO | SC_PERFORMED_REDO))
        m_recolorPending = true;
    // The flag's signal waits for the end of the change, as the text is not changed yet.
    if (!m_modified)
        m_modifiedSignalPending = true;
    m_modified = true;
    m_changePending = true;
    if (m_batchDepth == 0 && !m_flushScheduled) {
        // A change from outside a key or call of this class: finish it once it is done.
        m_flushScheduled = true;
        QTimer::singleShot(0, this, [this] {
            m_flushScheduled = false;
            if (m_batchDepth == 0)
                flushChanges();
        });
    }
}

void RichEdit::flushChanges()
{
    if (!m_insertedRanges.empty()) {
        bool added = false;
        for (const PendingInsert& r : m_insertedRanges) {
            if (r.length <= 0)
                continue;
            const auto* p = reinterpret_cast<const char*>(
                SendScintilla(SCI_GETRANGEPOINTER, static_cast<unsigned long>(r.start), r.length));
            if (p)
                added |= noteDirectionalChars(
                    std::string_view(p, static_cast<std::size_t>(r.length)));
        }
        m_insertedRanges.clear();
        // Lines laid out before a character got its representation are laid out again.
        if (added)
            sci(SCI_SETCONTROLCHARSYMBOL,
                static_cast<unsigned long>(sci(SCI_GETCONTROLCHARSYMBOL)));
    }
    for (const PendingInsert& p : m_pendingInserts)
        styleRange(p.start, p.start + p.length, p.style);
    m_pendingInserts.clear();
    // A change leaves the text after it unstyled for the control, which would ask for styles
    // at the next paint and check its layout of the changed line against the text again.
    if (m_changePending)
        markAllStyled();
    if (m_recolorPending) {
        m_recolorPending = false;
        if (m_doColorTags)
            recolorAll();
    }
    if (m_modifiedSignalPending) {
        m_modifiedSignalPending = false;
        emit modifiedFlagChanged(m_modified);
    }
    if (m_changePending) {
        m_changePending = false;
        emit changed();
    }
}

void RichEdit::onStyleNeeded(int)
{
    markAllStyled();
}

void RichEdit::onUpdateUi(int updated)
{
    if (updated & SC_UPDATE_SELECTION)
        m_insertionStyle = -1;
    const long caretByte = sci(SCI_GETCURRENTPOS);
    if (caretByte != m_caretByte) {
        m_caretByte = caretByte;
        const int caret = charPosition(caretByte);
        const int line = lineOfPosition(caret);
        emit cursorPositionChanged(line, caret - lineStartPosition(line));
    }
}

} // namespace zenkel
