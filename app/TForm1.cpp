/// TForm1: the main window with its button panel, status line, editor and protocol pages.
#include "app/TForm1.h"

#include "app/ButtonStates.h"
#include "app/EditorHostAdapter.h"
#include "app/StartupMarker.h"
#include "app/TForm2.h"
#include "app/TFormFile.h"
#include "app/TFormMsg.h"
#include "app/TFormRestore.h"
#include "app/TFormTree.h"
#include "base/Paths.h"
#include "base/SafeFile.h"
#include "batch/Backup.h"
#include "batch/FileSelection.h"
#include "batch/RunLock.h"
#include "style/StyleFiles.h"
#include "widgets/Prompter.h"
#include "widgets/TiledPanel.h"

#include "editor/FileText.h"
#include "editor/RichEdit.h"
#include "editor/SyntaxColoring.h"
#include "options/TFormOptions.h"
#include "widgets/WidgetText.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <filesystem>

namespace zenkel {

const char* const TForm1::HomePageAddress = "https://zenkel-html.example.org/";

TForm1::TForm1(const StartOptions& options, QWidget* parent)
    : QMainWindow(parent)
    , m_jobHost(*this)
    , m_session(
          ProgramDirectories {options.programDirectory,
              options.dataDirectory.empty() ? options.programDirectory : options.dataDirectory},
          m_jobHost)
{
    StartupMarker::add();
    FormCreate(options);
}

TForm1::~TForm1()
{
    FormDestroy();
}

// ---- start-up ----------------------------------------------------------------------------

void TForm1::FormCreate(const StartOptions& options)
{
    setObjectName("TForm1");
    QApplication::setApplicationName(programTitle());
    setWindowTitle(programTitle());
    buildWindow();
    connectButtons();

    RunState& state = m_session.runState;
    state.currentFile.clear();
    state.sourceDirectory.clear();
    state.backupDirectory.clear();
    state.backupFile.clear();
    state.SelectionMode = SelectionMode::None;
    state.treeFileType = 0;

    const QSize screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->size()
                                                          : QSize(1024, 768);
    std::string error;
    if (!m_session.loadSettings({screen.width(), screen.height()}, &error))
        Prompter::error(this, programTitle(), qs(error));
    const ProgramSettings& settings = m_session.settings;
    ColorSet colors;
    colors.TextCol = settings.TextCol;
    colors.TagCol = settings.TagCol;
    colors.QuotedCol = settings.QuotedCol;
    colors.CommentCol = settings.CommentCol;
    m_reScreen->setColorSet(colors);
    m_reScreen->setDoColorTags(settings.DoColorTags);
    move(settings.Left, settings.Top);
    resize(settings.Width, settings.Height);

    m_commandLine = ParseCommandLine(
        options.parameters,
        [this](const std::string& path) {
            return IsValidHtmlFile(path, m_session.settings.DoValidate, CommandLineMode::File);
        },
        [this](const std::string& path) { m_edit1->setText(qs(path)); });
    state.CommandLineMode = m_commandLine.mode;
    state.Operation = m_commandLine.operation;
    // The dialogs live as long as the window and keep their last directories.
    m_formTree = std::make_unique<TFormTree>(m_session, this);
    m_formFile = std::make_unique<TFormFile>(m_session, this);
    m_formMsg = std::make_unique<TFormMsg>(m_session, this);
    m_formFile->setSaveHandler([this](const QString& path) { return saveEditorAs(path); });
    if (settings.DoLoadWallPapers)
        loadWallPapers();
    setAcceptDrops(true);
    qApp->installEventFilter(this);
}

void TForm1::loadWallPapers()
{
    // Missing pictures are no error: the panels keep their plain background.
    const QString skin = qs(m_session.runState.dataDirectory) + "skin/";
    m_mainTile = QPixmap(skin + "main.bmp");
    m_statusTile = QPixmap(skin + "status.bmp");
    m_optionTile = QPixmap(skin + "option.bmp");
    m_panelButtons->setTile(m_mainTile);
    m_panelEditor->setTile(m_mainTile);
    m_panelMsg->setTile(m_statusTile);
    TiledPanel::tileWindow(*m_formTree, m_mainTile);
    TiledPanel::tileWindow(*m_formFile, m_mainTile);
    TiledPanel::tileWindow(*m_formMsg, m_mainTile);
}

void TForm1::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!m_firstShow)
        return;
    m_firstShow = false;
    FormShow();
    // The first activation follows the first show once the window is up.
    QTimer::singleShot(0, this, [this] { FormActivate(); });
}

void TForm1::FormShow()
{
    m_session.ActivateStyle(m_session.settings.StyleName);
    m_session.loadTrimList();
    button("BTrim")->setToolTip(qs(UpdateTrimHint(m_session.trimList)));
    BuildEditorPopup();
    ResetCounters(m_session.engine.style().tags);
    // A missing or unreadable file leaves the list empty; start-up goes on.
    m_tagHints = TagHintList::load(qs(m_session.runState.dataDirectory) + "tagsyntax.txt");
    if (m_commandLine.mode == CommandLineMode::None)
        showProtocolPage();
    m_edit1->setText("Note: Zenkel HTML v3.x supports partial code formatting via right mouse "
                     "button! More enhancements? -> see 'Help' ");
    if (m_commandLine.mode != CommandLineMode::None && m_commandLine.switches.empty())
        RunCommandLine();
}

void TForm1::FormActivate()
{
    if (!m_firstActivation)
        return;
    m_firstActivation = false;
    if (m_commandLine.mode != CommandLineMode::None && !m_commandLine.switches.empty())
        RunCommandLine();
    if (m_closing)
        return;
    setEditorModified(false);
    SetButtonState();
    m_acceptDrops = true;
    m_session.runState.CommandLineMode = CommandLineMode::None;
    StartupMarker::remove();
}

void TForm1::RunCommandLine()
{
    showHtmlPage();
    RunState& state = m_session.runState;
    state.SelectionMode = SelectionMode::SingleFile;
    if (m_commandLine.switches.empty()) {
        ShowFileSelection(-1);
        m_reScreen->setFocus();
        writeEditorToSnapshot();
        return;
    }
    bool& backups = m_session.settings.DoCreateBackUps;
    const bool rememberedBackups = backups;
    backups = m_commandLine.hasSwitch('B');
    ShowFileSelection(-1);
    state.Operation = m_commandLine.operation;
    LetsGo();
    if (m_commandLine.hasSwitch('T') && state.Operation != Operation::Trim) {
        state.Operation = Operation::Trim;
        backups = false;
        LetsGo();
    }
    backups = rememberedBackups;
    if (m_commandLine.mode == CommandLineMode::Unattended) {
        // Ends as a quit request does: no closing question, no settings written.
        m_closing = true;
        QTimer::singleShot(0, qApp, &QApplication::quit);
        return;
    }
    m_reScreen->setFocus();
    writeEditorToSnapshot();
}

// ---- shutdown ----------------------------------------------------------------------------

bool TForm1::confirmSaveBefore(const QString& what, bool withCancel, bool& dismissed)
{
    dismissed = false;
    if (m_notebook1->currentIndex() != 0 || !editorModified())
        return true;
    const Prompter::Answer answer = Prompter::question(this, programTitle(),
        "Save:\r\n" + qs(m_session.runState.currentFile) + "\r\n" + what, withCancel);
    if (answer == Prompter::Yes)
        return BSaveClick();
    if (answer == Prompter::No)
        return true;
    dismissed = true;
    return false;
}

void TForm1::closeEvent(QCloseEvent* event)
{
    if (m_closing) { // the unattended command line ends without question or settings
        event->accept();
        return;
    }
    if (m_session.runInProgress) {
        // Closing in the middle of a run would leave it half done; Esc breaks it off.
        m_session.runState.userBreak = true;
        event->ignore();
        return;
    }
    bool dismissed = false;
    confirmSaveBefore("before close?", false, dismissed);
    if (!dismissed) {
        SetColorMode(*m_reScreen, 1);
        m_session.settings.Left = x();
        m_session.settings.Top = y();
        m_session.settings.Width = width();
        m_session.settings.Height = height();
        const QSize screen = QGuiApplication::primaryScreen()
            ? QGuiApplication::primaryScreen()->size()
            : QSize(width() + 30, height() + 30);
        std::string error;
        if (!m_session.saveSettings({screen.width(), screen.height()}, &error))
            Prompter::error(this, programTitle(), qs(error));
    }
    m_closing = true;
    event->accept();
}

void TForm1::FormDestroy()
{
    qApp->removeEventFilter(this);
    StartupMarker::remove();
    const std::string& current = m_session.runState.currentFile;
    if (!current.empty())
        QFile::remove(qs(directoryOf(current)) + "$zenkelhtml_tmp.htm");
}

// ---- runs ----------------------------------------------------------------------------------

void TForm1::LetsGo()
{
    if (m_session.runInProgress)
        return;
    // No other run can be started while this one pumps the window's events.
    PanelState(false);
    MainWindowRunHost host(*this);
    showRunOutcome(runBatch(m_session, host));
    PanelState(true);
}

void TForm1::showRunOutcome(const RunOutcome& outcome)
{
    if (outcome.editor != EditorAfterRun::Keep) {
        // The text the editor held is gone: an undo cannot make it unsaved again.
        m_cancelUndoable = false;
        clearEditor();
    }
    if (outcome.editor == EditorAfterRun::Load) {
        loadFileIntoEditor(outcome.editorFile);
        moveEditorCaretToStart();
    }
    if (!outcome.ended)
        return;
    if (m_session.runState.SelectionMode == SelectionMode::SingleFile)
        setEditorModified(false);
    SetButtonState();
}

void TForm1::runOperation(Operation operation)
{
    if (m_session.runInProgress)
        return;
    m_session.runState.Operation = operation;
    LetsGo();
}

void TForm1::BFormatClick()
{
    runOperation(Operation::Format);
}

void TForm1::BCompressClick()
{
    runOperation(Operation::Compress);
}

void TForm1::BTrimClick()
{
    runOperation(Operation::Trim);
}

void TForm1::BRestoreClick()
{
    if (m_session.runInProgress)
        return;
    RunState& state = m_session.runState;
    if (state.SelectionMode != SelectionMode::SingleFile) {
        runOperation(Operation::Restore);
        SetButtonState();
        return;
    }
    // The single file: its sibling backup goes back into the editor and the file, unless
    // another process runs on the program directory.
    const RunLock lock(state.programDirectory);
    if (!lock.held()) {
        Prompter::error(this, programTitle(), qs(lock.refusal()));
        return;
    }
    const std::string backup = siblingBackupPath(state.currentFile, m_session.settings.BackupExt);
    state.backupFile = backup;
    std::string bytes;
    if (QFileInfo::exists(qs(backup)) && ReadFileBytes(qs(backup), bytes)) {
        TFormRestore dialog(qs(backup), TextFromFileBytes(bytes), this);
        if (dialog.run() == QDialog::Accepted && loadFileIntoEditor(backup)) {
            QString error;
            if (!SaveREToFile(*m_reScreen, qs(state.currentFile), &error)) {
                Prompter::error(this, programTitle(), error);
            } else {
                writeEditorToSnapshot();
                showStatus("Restored and saved: \"" + qs(state.currentFile) + "\"");
                setEditorModified(false);
            }
        }
    }
    SetButtonState();
    PanelState(true);
}

void TForm1::BOptionsClick()
{
    TFormOptions form(m_session, OptionsPictures {m_mainTile, m_optionTile}, this);
    form.run();
    button("BTrim")->setToolTip(qs(UpdateTrimHint(m_session.trimList)));
}

void TForm1::BHelpClick()
{
    const QString page = qs(m_session.runState.dataDirectory) + "help/index.html";
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(page)))
        Prompter::information(
            this, programTitle(), "No browser could be started to show the help page:\n" + page);
}

void TForm1::BEarthClick()
{
    if (!QDesktopServices::openUrl(QUrl(HomePageAddress)))
        Prompter::information(this, programTitle(),
            QStringLiteral("No browser could be started to show the home page:\n")
                + HomePageAddress);
}

// ---- selection -----------------------------------------------------------------------------

void TForm1::BFilesClick()
{
    if (m_session.runInProgress)
        return;
    const int page = m_notebook1->currentIndex();
    const int result = ShowFileSelection(20);
    if (result == 0) {
        m_notebook1->setCurrentIndex(page);
    } else if (result == 10) {
        m_session.runState.SelectionMode = SelectionMode::SingleFile;
        if (m_reScreen->isVisible() && m_reScreen->isEnabled())
            m_reScreen->setFocus();
        writeEditorToSnapshot();
    } else if (result == 20) {
        m_session.runState.SelectionMode = SelectionMode::FileList;
    }
    SetButtonState();
    PanelState(true);
}

void TForm1::BTreeClick()
{
    if (m_session.runInProgress)
        return;
    const int page = m_notebook1->currentIndex();
    const int result = ShowFileSelection(30);
    if (result != 0)
        m_session.runState.SelectionMode = SelectionMode::Tree;
    else
        m_notebook1->setCurrentIndex(page);
    SetButtonState();
    PanelState(true);
}

void TForm1::openDroppedFile(const std::string& path)
{
    if (!IsValidHtmlFile(path, m_session.settings.DoValidate, m_session.runState.CommandLineMode)) {
        QApplication::beep();
        Prompter::information(
            this, programTitle(), "Zenkel HTML:\r\nFile not accepted.\r\n" + qs(path));
        return;
    }
    bool dismissed = false;
    if (!confirmSaveBefore("before opening another one?", true, dismissed))
        return;
    m_droppedFile = path;
    m_session.runState.SelectionMode = SelectionMode::SingleFile;
    ShowFileSelection(-3);
    SetButtonState();
}

void TForm1::dragEnterEvent(QDragEnterEvent* event)
{
    if (m_acceptDrops && event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!m_acceptDrops || urls.isEmpty() || m_session.runInProgress)
        return;
    event->acceptProposedAction();
    activateWindow();
    raise();
    openDroppedFile(urls.front().toLocalFile().left(255).toStdString());
}

// ---- button states -----------------------------------------------------------------------

QPushButton* TForm1::button(const char* name) const
{
    return findChild<QPushButton*>(name);
}

void TForm1::applyButtonStates(const std::map<std::string, bool>& states)
{
    for (const auto& [name, enabled] : states) {
        if (name == "editorMode")
            m_editorMode = enabled;
        else if (QPushButton* b = button(name.c_str()))
            b->setEnabled(enabled);
    }
}

void TForm1::SetButtonState()
{
    ButtonStateInput input;
    input.SelectionMode = m_session.runState.SelectionMode;
    input.editorModified = editorModified();
    input.backupExists = BackupExists(m_session.runState, m_session.settings.BackupExt);
    input.colorTags = m_session.settings.DoColorTags;
    applyButtonStates(SetButtonStateRules(input));
    // Right after Cancel All the discarded edits are one Undo away.
    if (m_cancelUndoable && input.SelectionMode == SelectionMode::SingleFile
        && m_reScreen->isUndoAvailable())
        button("BUndo")->setEnabled(true);
}

void TForm1::BadFilesMode()
{
    applyButtonStates(BadFilesModeRules());
}

void TForm1::PanelState(bool enabled)
{
    m_panelButtons->setEnabled(enabled);
}

// ---- layout ------------------------------------------------------------------------------

void TForm1::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TForm1::FormResize()
{
    // Buttons on the right keep their place through the layouts; the hint line takes all but
    // the last 200 pixels.
    if (m_edit1)
        m_edit1->setFixedWidth(std::max(100, width() - 200));
}

// ---- what the hosts need -------------------------------------------------------------------

void TForm1::showStatus(const QString& text)
{
    if (m_label1->text() == text)
        return;
    m_label1->setText(text);
    m_label1->repaint();
}

QString TForm1::statusText() const
{
    return m_label1->text();
}

void TForm1::setProgressRange(int bar, long long maximum)
{
    QProgressBar* progress = bar == 0 ? m_progressActFile : bar == 1 ? m_progressAll : nullptr;
    if (!progress)
        return;
    // The bars count in steps that fit an int, however large the file.
    const long long scale = maximum > 1000000 ? maximum / 1000000 + 1 : 1;
    progress->setProperty("scale", scale);
    progress->setRange(0, static_cast<int>(std::max(0LL, maximum / scale)));
}

void TForm1::resetProgressBars()
{
    m_progressActFile->reset();
    m_progressAll->reset();
}

void TForm1::setProgressPosition(int bar, long long position)
{
    QProgressBar* progress = bar == 0 ? m_progressActFile : bar == 1 ? m_progressAll : nullptr;
    if (!progress)
        return;
    const long long scale = std::max(1LL, progress->property("scale").toLongLong());
    progress->setValue(static_cast<int>(position / scale));
}

void TForm1::appendProtocolLine(const std::string& line)
{
    m_richProtokoll->appendPlainText(qs(line));
}

void TForm1::showHtmlPage()
{
    m_notebook1->setCurrentIndex(0);
}

void TForm1::showProtocolPage()
{
    m_notebook1->setCurrentIndex(1);
}

QWidget* TForm1::editorWidget() const
{
    return m_reScreen;
}

} // namespace zenkel
