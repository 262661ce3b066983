/// TForm1: the editor's popup menu for selections, search and replace, and the tag hints.
#include "app/TForm1.h"

#include "app/ReplaceDialog1.h"
#include "editor/EditorColoring.h"
#include "editor/RichEdit.h"
#include "editor/SearchReplace.h"
#include "editor/SyntaxColoring.h"
#include "widgets/Prompter.h"
#include "widgets/TiledPanel.h"
#include "widgets/WidgetText.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>

#include <initializer_list>
#include <utility>
#include <vector>

namespace zenkel {

namespace {

/// A caption as a menu shows it: '&' would otherwise mark a shortcut letter.
QString menuText(const QString& caption)
{
    QString text = caption;
    return text.replace(u'&', QStringLiteral("&&"));
}

constexpr const char* Edit1Hint
    = "Press <SHIFT>-<F1> to insert this hintline at cursor position.\r\n"
      "Or use <CTRL>-C and <CTRL>-V to copy some parts via clipboard.";

/// Marks a run as going and disables the given widgets for the duration of a scope, so that
/// nothing starts the engine or changes the editor text while the engine works on a selection
/// (it lets the window handle events meanwhile).
class EngineBusy
{
public:
    EngineBusy(Session& session, std::initializer_list<QWidget*> widgets)
        : m_session(session)
    {
        m_session.runInProgress = true;
        for (QWidget* widget : widgets) {
            m_widgets.emplace_back(widget, widget->isEnabled());
            widget->setEnabled(false);
        }
    }
    ~EngineBusy()
    {
        for (const auto& [widget, enabled] : m_widgets)
            widget->setEnabled(enabled);
        m_session.runInProgress = false;
    }
    EngineBusy(const EngineBusy&) = delete;
    EngineBusy& operator=(const EngineBusy&) = delete;

private:
    Session& m_session;
    std::vector<std::pair<QWidget*, bool>> m_widgets;
};

} // namespace

void TForm1::buildEditingParts()
{
    m_popMenRE = new QMenu(this);
    m_popMenRE->setObjectName("PopMenRE");
    connect(m_popMenRE, &QMenu::aboutToShow, this, &TForm1::PopMenPoP);
    m_reScreen->setToolTip("Right Mouse Button");
    m_reScreen->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_reScreen, &QWidget::customContextMenuRequested, this, &TForm1::showEditorPopup);

    m_replaceDialog1 = new ReplaceDialog1(this);
    connect(m_replaceDialog1, &ReplaceDialog1::find, this, &TForm1::ReplaceDialog1Find);
    connect(m_replaceDialog1, &ReplaceDialog1::replace, this, &TForm1::ReplaceDialog1Replace);
    connect(button("BSearchRep"), &QPushButton::clicked, this, &TForm1::BSearchRepClick);

    connect(m_reScreen, &QsciScintilla::cursorPositionChanged, this,
        [this] { REScreenSelectionChange(); });
    connect(
        m_reScreen, &QsciScintilla::selectionChanged, this, [this] { REScreenSelectionChange(); });
    connect(m_edit1, &QLineEdit::textChanged, this, &TForm1::Edit1Change);
}

// ---- selection processing ------------------------------------------------------------------

void TForm1::BuildEditorPopup()
{
    m_popMenRE->clear();
    QStringList styles;
    for (const std::string& name : m_session.catalogue.styleList())
        styles.append(qs(name));
    for (const QString& caption :
        EditorPopupCaptions(qs(m_session.settings.PopUpStyleName), styles)) {
        if (caption == QLatin1String("-")) {
            m_popMenRE->addSeparator();
            continue;
        }
        QAction* item = m_popMenRE->addAction(menuText(caption));
        item->setData(caption);
        connect(item, &QAction::triggered, this, [this, item] { MyPopupHandler(item); });
    }
}

void TForm1::showEditorPopup(const QPoint& position)
{
    if (m_session.runInProgress)
        return;
    // The menu opens with its right edge at the mouse.
    const QPoint global = m_reScreen->viewport()->mapToGlobal(position);
    m_popMenRE->popup(global - QPoint(m_popMenRE->sizeHint().width(), 0));
}

void TForm1::PopMenPoP()
{
    ExtendSelection(*m_reScreen, m_selectionFlags);
    const bool any = m_reScreen->selectionLength() > 0;
    for (QAction* item : m_popMenRE->actions())
        item->setEnabled(any);
}

void TForm1::MyPopupHandler(QAction* item)
{
    if (!item || m_reScreen->selectionLength() == 0 || m_session.runInProgress)
        return;
    const std::string rememberedStyle = m_session.engine.style().options.StyleName;
    const QString text = StyleNameFromCaption(item->data().toString());
    const Operation operation = OperationOfItem(text);
    if (operation == Operation::Format) {
        m_session.ActivateStyle(text.toStdString());
        m_session.settings.PopUpStyleName = m_session.engine.style().options.StyleName;
    }
    QString result;
    {
        EngineBusy busy(m_session, {m_reScreen, m_panelEditor, m_panelButtons});
        result = ProcessSelection(*m_reScreen, m_session.engine, operation, m_selectionFlags,
            m_session.runState.programDirectory);
    }
    insertIntoEditor(result);
    if (operation == Operation::Format) {
        const QString caption = FormatItemCaption(qs(m_session.settings.PopUpStyleName));
        QAction* first = m_popMenRE->actions().value(0);
        if (first) {
            first->setText(menuText(caption));
            first->setData(caption);
        }
        m_session.ActivateStyle(rememberedStyle);
    }
}

void TForm1::insertIntoEditor(const QString& text)
{
    const int start = m_reScreen->selectionStart();
    // Streaming an empty text would leave the selection in place.
    if (m_session.settings.DoColorTags && !text.isEmpty()) {
        StreamColoredText(*m_reScreen, text, false);
    } else {
        m_reScreen->replaceSelectionPlain(text);
        m_reScreen->setCaretPosition(start);
    }
    m_reScreen->selectRange(m_reScreen->caretPosition(), static_cast<int>(text.size()));
    if (m_reScreen->isVisible() && m_reScreen->isEnabled())
        m_reScreen->setFocus();
    SetREToModified();
}

// ---- search and replace --------------------------------------------------------------------

void TForm1::BSearchRepClick()
{
    if (!m_editorMode)
        return;
    m_replaceDialog1->setFindText(qs(m_session.settings.LastSearch));
    m_replaceDialog1->setReplaceText(qs(m_session.settings.LastReplace));
    m_replaceDialog1->execute();
}

void TForm1::ReplaceDialog1Find()
{
    runFindReplace(false);
}

void TForm1::ReplaceDialog1Replace()
{
    runFindReplace(true);
}

void TForm1::runFindReplace(bool replace)
{
    // The dialog stays open when the editor page goes; it then has nothing to work on.
    if (!m_editorMode || m_session.runInProgress)
        return;
    const QString find = m_replaceDialog1->findText();
    const QString replacement = m_replaceDialog1->replaceText();
    SearchOptions options;
    options.matchCase = m_replaceDialog1->matchCase();
    options.wholeWord = m_replaceDialog1->wholeWord();
    const FindReplaceResult result = FindReplace(
        *m_reScreen, find, replacement, replace, m_replaceDialog1->replaceAll(), options);
    if (result.replaced > 0)
        SetREToModified();
    if (!result.message.isEmpty())
        Prompter::information(m_replaceDialog1, "Zenkel HTML", result.message);
    m_session.settings.LastSearch = find.toStdString();
    m_session.settings.LastReplace = replacement.toStdString();
}

// ---- tag hints -----------------------------------------------------------------------------

void TForm1::REScreenSelectionChange()
{
    if (m_coloring && m_coloring->tagHintOn())
        ShowTagHint();
}

void TForm1::ShowTagHint()
{
    const std::optional<QString> hint
        = TagHintAt(*m_reScreen, m_reScreen->selectionStart(), m_tagHints);
    // Setting the same text again would drop what the user selected in the hint line.
    if (hint && *hint != m_edit1->text())
        m_edit1->setText(*hint);
}

void TForm1::Edit1Change(const QString& text)
{
    // A long hint shows its beginning, the tag, rather than its end.
    m_edit1->home(false);
    if (text.isEmpty())
        m_edit1->setToolTip(QString());
    else if (text.startsWith(u'<'))
        m_edit1->setToolTip(QString::fromLatin1(Edit1Hint));
}

void TForm1::CopyFromEditToRichEdit()
{
    if (m_edit1->text().isEmpty() || m_notebook1->currentIndex() != 0
        || !m_edit1->text().startsWith(u'<'))
        return;
    if (!m_edit1->hasSelectedText())
        m_edit1->selectAll();
    insertIntoEditor(m_edit1->selectedText());
}

} // namespace zenkel
