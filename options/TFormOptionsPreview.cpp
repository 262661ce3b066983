/// TFormOptions: the preview of a sample file, as it is and as the style in memory formats or
/// compresses it.
#include "options/OptionsControls.h"
#include "options/TFormOptions.h"
#include "options/WindowsText.h"

#include "base/Paths.h"
#include "batch/FileJob.h"
#include "batch/Session.h"

#include <QComboBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>

#include <filesystem>
#include <system_error>

namespace zenkel {

namespace {

/// Collects the engine's lines in preview mode; the memo receives them in one piece.
class MemoLineSink : public LineSink
{
public:
    void addLine(std::string_view line) override
    {
        m_text.append(line);
        m_text += '\n';
    }
    std::string text() const
    {
        return m_text.empty() ? m_text : m_text.substr(0, m_text.size() - 1);
    }

private:
    std::string m_text;
};

/// Preview mode lasts exactly as long as this object.
class PreviewMode
{
public:
    PreviewMode(Engine& engine, LineSink& sink)
        : m_engine(engine)
    {
        m_engine.setPreviewSink(&sink);
    }
    ~PreviewMode() { m_engine.setPreviewSink(nullptr); }
    PreviewMode(const PreviewMode&) = delete;
    PreviewMode& operator=(const PreviewMode&) = delete;

private:
    Engine& m_engine;
};

} // namespace

// ---- preview -------------------------------------------------------------------------------

void TFormOptions::InitPreviewCombo()
{
    OptionsControls& ui = *m_ui;
    ui.MemoPreview->clear();
    const PreviewFileList list = ListPreviewFiles(m_session.runState.dataDirectory);
    m_previewDirectory = list.directory;
    m_previewFile.clear();
    m_previewAvailable = false;
    ui.ComboPreview->clear();
    if (!list.names.empty()) {
        for (const std::string& name : list.names)
            ui.ComboPreview->addItem(fromFileName(name));
        m_previewFile = m_previewDirectory + list.names.front();
        m_previewAvailable = isRegularFile(m_previewFile);
        ui.ComboPreview->setCurrentIndex(0);
    }
    const bool available = m_previewAvailable;
    for (QWidget* control :
        std::initializer_list<QWidget*> {ui.BReload, ui.BPreviewC, ui.BpreviewF, ui.ComboPreview})
        control->setEnabled(available);
    if (available) {
        loadPreviewIntoMemo();
        return;
    }
    m_previewFile.clear();
    ui.ComboPreview->clear();
    ui.ComboPreview->addItem(QStringLiteral("ERROR: No preview file found"));
}

void TFormOptions::ComboPreviewChange(int index)
{
    if (!m_previewAvailable || index < 0)
        return;
    m_previewFile = m_previewDirectory + toFileName(m_ui->ComboPreview->itemText(index));
    loadPreviewIntoMemo();
}

void TFormOptions::BReloadClick()
{
    loadPreviewIntoMemo();
}

void TFormOptions::loadPreviewIntoMemo()
{
    QPlainTextEdit* memo = m_ui->MemoPreview;
    memo->clear();
    m_previewResult = Operation::None;
    if (m_previewFile.empty())
        return;
    QFile file(fromFileName(m_previewFile));
    if (!file.open(QIODevice::ReadOnly)) {
        showError("Cannot read the preview file \"" + m_previewFile + "\"");
        return;
    }
    const QByteArray bytes = file.readAll();
    memo->setPlainText(
        previewTextFromBytes(std::string_view(bytes.constData(), std::size_t(bytes.size()))));
}

void TFormOptions::BpreviewFClick()
{
    ManipulatePreviewFile(Operation::Format);
}

void TFormOptions::BPreviewCClick()
{
    ManipulatePreviewFile(Operation::Compress);
}

void TFormOptions::ManipulatePreviewFile(Operation operation)
{
    if (m_previewFile.empty())
        return;
    Engine& engine = m_session.engine;
    std::string error;
    // The sample is read without a word on the main window's status line.
    switch (LoadSourceText(engine, m_previewFile, nullProgressSink(), &error)) {
    case LoadResult::Loaded:
        break;
    case LoadResult::Missing:
        // Running on would show the previous source text as if it were the sample.
        showError("File not found: " + m_previewFile);
        return;
    case LoadResult::Unreadable:
        showError(error);
        return;
    }
    QPlainTextEdit* memo = m_ui->MemoPreview;
    memo->setUpdatesEnabled(false);
    memo->clear();
    MemoLineSink sink;
    {
        PreviewMode previewMode(engine, sink);
        engine.runOperation(operation);
    }
    memo->setPlainText(previewTextFromBytes(sink.text()));
    m_previewResult = operation;
    QTextCursor start = memo->textCursor();
    start.movePosition(QTextCursor::Start);
    memo->setTextCursor(start);
    memo->setUpdatesEnabled(true);
}

void TFormOptions::refreshPreviewResult()
{
    if (m_loading || m_previewResult == Operation::None)
        return;
    // The user keeps looking at the same part of the result.
    QScrollBar* bar = m_ui->MemoPreview->verticalScrollBar();
    const int position = bar->value();
    ManipulatePreviewFile(m_previewResult);
    bar->setValue(position);
}

} // namespace zenkel
