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

#include <QDesktopServices>
#include <QFile>
#include <QPushButton>
#include <QUrl>

#include <filesystem>

namespace zenkel {

namespace {

constexpr const char* NewFileTemplate
    = "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\r\n"
      "<html>\r\n<head>\r\n<title>New page</title>\r\n"
      "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">\r\n"
      "</head>\r\n<body>\r\n\r\n</body>\r\n</html>\r\n";

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
        QFile::remove(qs(directoryOf(state.currentFile)) + "$zenkelhtml_tmp.htm");
    state.SelectionMode = SelectionMode::SingleFile;
    state.currentFile = state.programDirectory + "zenkel_html_new.htm";
    state.sourceDirectory = state.programDirectory;
    m_reScreen->setText(QString());
    StreamColoredText(*m_reScreen, NewFileTemplate, true);
    showHtmlPage();
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
    QFile::remove(qs(directoryOf(file)) + "$zenkelhtml_tmp.htm");
    setEditorModified(false);
    showStatus("Saved: \"" + qs(file) + "\"");
    SetButtonState();
    return true;
}

void TForm1::BSaveAsClick()
{
    if (formFile().run(TFormFile::Mode::Save) != QDialog::Accepted)
        return;
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
    if (file == state.programDirectory + "zenkel_html_new.htm" || file.empty()) {
        m_reScreen->setText(QString());
        setEditorModified(false);
        state.currentFile.clear();
        state.SelectionMode = SelectionMode::None;
        showStatus("Click <Select File(s)> or <Select Tree> to process ...");
    } else {
        // The snapshot holds the text as last loaded or saved.
        if (loadFileIntoEditor(state.snapshotFile))
            showStatus("Reloaded: " + qs(file));
    }
    QFile::remove(qs(directoryOf(file)) + "$zenkelhtml_tmp.htm");
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
    const QString copy = qs(directoryOf(file)) + "$zenkelhtml_tmp.htm";
    QString error;
    if (!SaveREToFile(*m_reScreen, copy, &error)) {
        Prompter::error(this, "Zenkel HTML", error);
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(copy));
}

} // namespace zenkel
