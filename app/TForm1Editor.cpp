/// TForm1: the editor page's file commands.
#include "app/TForm1.h"

#include "app/EditorHostAdapter.h"
#include "app/TFormFile.h"
#include "base/Paths.h"
#include "batch/FileJob.h"
#include "editor/FileText.h"
#include "editor/RichEdit.h"
#include "editor/SyntaxColoring.h"
#include "widgets/Prompter.h"
#include "widgets/WidgetText.h"

#include <QDate>
#include <QDesktopServices>
#include <QFile>
#include <QPushButton>
#include <QUrl>

#include <filesystem>

namespace zenkel {

namespace {

/// The text of a new file, dated today.
QString newFileTemplate()
{
    return QStringLiteral("\r\n<HTML>\r\n<HEAD>\r\n    <TITLE>New File: ")
        + QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"))
        + QStringLiteral("</TITLE>\r\n</HEAD>\r\n\r\n<BODY>\r\n\r\n\r\n</BODY>\r\n</HTML>");
}

/// The browser copy beside the current file.
QString browserCopyOf(const std::string& currentFile)
{
    return qs(directoryOf(currentFile)) + QStringLiteral("$zenkelhtml_tmp.htm");
}

} // namespace

void EditorHostAdapter::SetREToModified()
{
    m_form.SetREToModified();
}

bool EditorHostAdapter::saveEnabled() const
{
    const QPushButton* save = m_form.findChild<QPushButton*>("BSave");
    return save && save->isEnabled();
}

void EditorHostAdapter::BSaveClick()
{
    m_form.BSaveClick();
}

bool TForm1::loadFileIntoEditor(const std::string& path)
{
    QString error;
    const bool unattended = m_session.runState.CommandLineMode == CommandLineMode::Unattended;
    if (!LoadREFromFile(*m_reScreen, qs(path), &error, unattended)) {
        Prompter::error(this, "Zenkel HTML", error);
        return false;
    }
    setEditorModified(false);
    return true;
}

bool TForm1::LoadSingleFile(const std::string& path)
{
    if (!loadFileIntoEditor(path))
        return false;
    RunState& state = m_session.runState;
    state.currentFile = path;
    state.sourceDirectory = directoryOf(path);
    setEditorModified(false);
    m_cancelUndoable = false;
    showHtmlPage();
    resetProgressBars();
    showStatus("File: " + qs(path) + "  " + QString::number(FileSizeOf(path) / 1000) + "K");
    return true;
}

bool TForm1::editorModified() const
{
    return m_reScreen->modifiedFlag();
}

void TForm1::setEditorModified(bool modified)
{
    m_reScreen->setModifiedFlag(modified);
}

void TForm1::SetREToModified()
{
    showStatus("Unsaved: \"" + qs(m_session.runState.currentFile) + "\"");
    setEditorModified(true);
    SetButtonState();
}

void TForm1::clearEditor()
{
    m_reScreen->setText(QString());
}

void TForm1::moveEditorCaretToStart()
{
    m_reScreen->setCaretPosition(0);
}

void TForm1::writeEditorToSnapshot()
{
    QString error;
    if (!SaveREToFile(*m_reScreen, qs(m_session.runState.snapshotFile), &error))
        showStatus(error);
}

void TForm1::BRepaintClick(int mode)
{
    SetColorMode(*m_reScreen, mode);
    RepaintRE(*m_reScreen);
    SetButtonState();
}

void TForm1::BNewClick()
{
    RunState& state = m_session.runState;
    if (!state.currentFile.empty())
        QFile::remove(browserCopyOf(state.currentFile));
    state.SelectionMode = SelectionMode::SingleFile;
    state.currentFile = state.programDirectory + "zenkel_html_new.htm";
    state.sourceDirectory = state.programDirectory;
    m_cancelUndoable = false;
    m_reScreen->setPlainUtf8(newFileTemplate().toStdString());
    showHtmlPage();
    resetProgressBars();
    // A new file starts in colour mode 1, repainted as the first colour-mode button does.
    BRepaintClick(1);
    writeEditorToSnapshot();
    SetREToModified();
}

bool TForm1::BSaveClick()
{
    const RunState& state = m_session.runState;
    const std::string& file = state.currentFile;
    if (file.empty() || file == state.programDirectory + "zenkel_html_new.htm") {
        BSaveAsClick();
        return !editorModified();
    }
    QString error;
    if (!SaveREToFile(*m_reScreen, qs(file), &error)) {
        Prompter::error(this, "Zenkel HTML", error);
        return false;
    }
    writeEditorToSnapshot();
    QFile::remove(browserCopyOf(file));
    m_cancelUndoable = false;
    setEditorModified(false);
    showStatus("Saved: \"" + qs(file) + "\"");
    SetButtonState();
    return true;
}

void TForm1::BSaveAsClick()
{
    if (!m_session.runState.currentFile.empty())
        QFile::remove(browserCopyOf(m_session.runState.currentFile));
    if (formFile().run(TFormFile::Mode::Save) != QDialog::Accepted)
        return;
    m_cancelUndoable = false;
    setEditorModified(false);
    showStatus("Saved: \"" + qs(m_session.runState.currentFile) + "\"");
    SetButtonState();
}

bool TForm1::saveEditorAs(const QString& path)
{
    QString error;
    if (!SaveREToFile(*m_reScreen, path, &error))
        return false;
    (void)SaveREToFile(*m_reScreen, qs(m_session.runState.snapshotFile), &error);
    return true;
}

void TForm1::BCancelClick()
{
    RunState& state = m_session.runState;
    const std::string file = state.currentFile;
    if (!file.empty())
        QFile::remove(browserCopyOf(file));
    if (file == state.programDirectory + "zenkel_html_new.htm" || file.empty()) {
        // The new text goes as one step that Undo takes back.
        m_reScreen->replaceAllUndoable({});
        setEditorModified(false);
        state.currentFile.clear();
        state.SelectionMode = SelectionMode::None;
        BadFilesMode();
        showStatus("Click <Select File(s)> or <Select Tree> to process ...");
        return;
    }
    if (editorModified()) {
        // The snapshot holds the text as last loaded or saved; the edits stay one Undo away.
        QString error;
        if (!RevertREToFile(*m_reScreen, qs(state.snapshotFile), &error)) {
            Prompter::error(this, "Zenkel HTML", error);
            return;
        }
        setEditorModified(false);
        m_cancelUndoable = true;
    }
    showStatus("Reloaded: " + qs(file));
    SetButtonState();
}

void TForm1::BUndoClick()
{
    m_reScreen->undo();
    SetButtonState();
}

void TForm1::BBrowserClick()
{
    const std::string& file = m_session.runState.currentFile;
    if (file.empty())
        return;
    // Saved text is shown from its own file; only unsaved text needs the copy beside it.
    QString shown = qs(file);
    if (editorModified()) {
        shown = browserCopyOf(file);
        QString error;
        if (!SaveREToFile(*m_reScreen, shown, &error)) {
            Prompter::error(this, "Zenkel HTML", error);
            return;
        }
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(shown)))
        Prompter::information(
            this, "Zenkel HTML", "No program could be started to show the file:\n" + shown);
}

} // namespace zenkel
