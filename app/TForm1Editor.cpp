/// TForm1: the editor page's file commands.
#include "app/TForm1.h"

#include "app/Prompter.h"
#include "app/TFormFile.h"
#include "batch/FileJob.h"
#include "engine/SafeFile.h"

#include <Qsci/qsciscintilla.h>

#include <QDesktopServices>
#include <QFile>
#include <QPushButton>
#include <QUrl>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace zenkel
{

namespace
{

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

std::string directoryWithSlash(const std::string& path)
{
    std::string dir = std::filesystem::path(path).parent_path().string();
    if (!dir.empty() && dir.back() != '/')
        dir += '/';
    return dir;
}

/// The editor's text as file bytes: lines joined with CR LF, one after the last line.
std::string editorBytes(const QsciScintilla& editor)
{
    const std::string text = editor.text().toLatin1().toStdString();
    std::string bytes = SourceTextFromBytes(text);
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 20);
    for (char c : bytes) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

} // namespace

bool TForm1::loadFileIntoEditor(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        Prompter::error(this, "Zenkel HTML", "Cannot open file:\r\n" + qs(path));
        return false;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    const std::string data = bytes.str();
    m_reScreen->setText(QString::fromLatin1(data.data(), static_cast<qsizetype>(data.size())));
    setEditorModified(false);
    return true;
}

bool TForm1::LoadSingleFile(const std::string& path)
{
    if (!loadFileIntoEditor(path))
        return false;
    RunState& state = m_session.runState;
    state.currentFile = path;
    state.sourceDirectory = directoryWithSlash(path);
    setEditorModified(false);
    showStatus("File: " + qs(path) + "  " + QString::number(FileSizeOf(path) / 1000) + "K");
    return true;
}

bool TForm1::editorModified() const
{
    return m_markedModified || m_reScreen->isModified();
}

void TForm1::setEditorModified(bool modified)
{
    // The editor control can only be told that its text is saved; "modified" without an
    // edit (a new file) is kept here.
    m_markedModified = modified;
    if (!modified)
        m_reScreen->setModified(false);
}

void TForm1::clearEditor()
{
    m_reScreen->clear();
}

void TForm1::moveEditorCaretToStart()
{
    m_reScreen->setCursorPosition(0, 0);
}

void TForm1::writeEditorToSnapshot()
{
    std::string error;
    if (!writeFileSafely(m_session.runState.snapshotFile, editorBytes(*m_reScreen), &error))
        showStatus(qs(error));
}

void TForm1::BNewClick()
{
    const RunState& state = m_session.runState;
    m_session.runState.SelectionMode = SelectionMode::SingleFile;
    m_session.runState.currentFile = state.programDirectory + "zenkel_html_new.htm";
    m_reScreen->setText("<html>\r\n<head>\r\n<title></title>\r\n</head>\r\n<body>\r\n\r\n"
                        "</body>\r\n</html>\r\n");
    showHtmlPage();
    setEditorModified(true);
    SetButtonState();
}

bool TForm1::BSaveClick()
{
    const std::string& file = m_session.runState.currentFile;
    if (file.empty() || file == m_session.runState.programDirectory + "zenkel_html_new.htm") {
        BSaveAsClick();
        return !editorModified();
    }
    std::string error;
    const std::string bytes = editorBytes(*m_reScreen);
    if (!writeFileSafely(file, bytes, &error)) {
        Prompter::error(this, "Zenkel HTML", qs(error));
        return false;
    }
    writeEditorToSnapshot();
    setEditorModified(false);
    showStatus("Saved: \"" + qs(file) + "\"");
    SetButtonState();
    return true;
}

void TForm1::BSaveAsClick()
{
    if (m_formFile->run(TFormFile::Mode::Save) != QDialog::Accepted)
        return;
    setEditorModified(false);
    showStatus("Saved: \"" + qs(m_session.runState.currentFile) + "\"");
    SetButtonState();
}

bool TForm1::saveEditorAs(const QString& path)
{
    std::string error;
    const std::string bytes = editorBytes(*m_reScreen);
    if (!writeFileSafely(path.toStdString(), bytes, &error))
        return false;
    (void)writeFileSafely(m_session.runState.snapshotFile, bytes, &error);
    return true;
}

void TForm1::BCancelClick()
{
    const std::string& file = m_session.runState.currentFile;
    if (QFile::exists(qs(m_session.runState.snapshotFile)))
        LoadSingleFile(m_session.runState.snapshotFile);
    m_session.runState.currentFile = file;
    setEditorModified(false);
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
    const std::string copy = directoryWithSlash(file) + "$zenkelhtml_tmp.htm";
    std::string error;
    if (!writeFileSafely(copy, editorBytes(*m_reScreen), &error)) {
        Prompter::error(this, "Zenkel HTML", qs(error));
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(qs(copy)));
}

} // namespace zenkel
