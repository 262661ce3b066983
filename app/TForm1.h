/// TForm1: the main window with its button panel, status line, editor and protocol pages.
#pragma once

#include "app/CommandLine.h"
#include "app/MainHosts.h"
#include "batch/Session.h"
#include "editor/SelectionProcessing.h"
#include "editor/TagHints.h"

#include <QMainWindow>
#include <QPixmap>

#include <map>
#include <memory>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QToolButton;

namespace zenkel {

class TiledPanel;
class RichEdit;
class EditorColoring;
class ReplaceDialog1;
class TFormFile;
class TFormMsg;
class TFormTree;

/// Where the program's files are and what it was started with.
struct StartOptions
{
    std::string programDirectory; ///< with a final '/'
    std::string dataDirectory; ///< the shipped data, with a final '/'; empty: programDirectory
    std::vector<std::string> parameters; ///< the command line without our own options
};

class TForm1 : public QMainWindow
{
    Q_OBJECT

public:
    explicit TForm1(const StartOptions& options, QWidget* parent = nullptr);
    ~TForm1() override;

    Session& session() { return m_session; }
    const CommandLine& commandLine() const { return m_commandLine; }

    // Runs and selections (the button handlers).
    void BFilesClick();
    void BTreeClick();
    void BFormatClick();
    void BCompressClick();
    void BTrimClick();
    void BRestoreClick();
    void BOptionsClick();
    void BHelpClick();
    void BEarthClick();
    void LetsGo();
    int ShowFileSelection(int kind);
    void SetButtonState();
    void BadFilesMode();
    void PanelState(bool enabled);
    void RunCommandLine();

    // Editor buttons and the editor's file commands.
    bool LoadSingleFile(const std::string& path);
    /// Fills the editor with a file's text; the run state and the status line stay.
    bool loadFileIntoEditor(const std::string& path);
    void BNewClick();
    bool BSaveClick();
    void BSaveAsClick();
    /// Writes the editor's text to path and to the snapshot file (the Save As dialog's work).
    bool saveEditorAs(const QString& path);
    void BCancelClick();
    void BUndoClick();
    void BBrowserClick();
    bool editorModified() const;
    void setEditorModified(bool modified);
    void clearEditor();
    void writeEditorToSnapshot();
    /// TForm1.SetREToModified: the status line, the modified flag and the button states.
    void SetREToModified();
    /// BRepaint1 ... BRepaint5: colour mode 1 ... 5 and a repaint.
    void BRepaintClick(int mode);
    RichEdit& editor() { return *m_reScreen; }

    // Selection processing: the editor's popup menu PopMenRE.
    /// Builds the popup's items from the popup style name and the style catalogue.
    void BuildEditorPopup();
    /// Before the popup shows: widens the selection; the items are enabled only for a
    /// selection that is not empty.
    void PopMenPoP();
    /// A click on a format, compress or trim item.
    void MyPopupHandler(QAction* item);
    QMenu& popMenRE() { return *m_popMenRE; }
    const SelectionFlags& selectionFlags() const { return m_selectionFlags; }

    // Search and replace.
    void BSearchRepClick();
    void ReplaceDialog1Find();
    void ReplaceDialog1Replace();
    ReplaceDialog1& replaceDialog1() { return *m_replaceDialog1; }

    // Tag hints.
    void REScreenSelectionChange();
    void ShowTagHint();
    void Edit1Change(const QString& text);
    /// Shift+F1: the hint line, or its selected part, into the editor.
    void CopyFromEditToRichEdit();
    const TagHintList& tagHints() const { return m_tagHints; }

    // What the hosts need.
    void showStatus(const QString& text);
    QString statusText() const;
    void setProgressRange(int bar, long long maximum);
    void setProgressPosition(int bar, long long position);
    /// Both progress bars back to empty.
    void resetProgressBars();
    void appendProtocolLine(const std::string& line);
    void showHtmlPage();
    void showProtocolPage();
    void moveEditorCaretToStart();
    QWidget* editorWidget() const;
    const QPixmap& mainTile() const { return m_mainTile; }
    const QPixmap& optionTile() const { return m_optionTile; }

    TFormMsg& formMsg() { return *m_formMsg; }
    TFormFile& formFile() { return *m_formFile; }
    TFormTree& formTree() { return *m_formTree; }

    /// The address BEarth opens.
    static const char* const HomePageAddress;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    /// After a run: the editor and the button states follow what the run did.
    void showRunOutcome(const RunOutcome& outcome);
    void FormCreate(const StartOptions& options);
    void FormShow();
    void FormActivate();
    void FormDestroy();
    bool FormKeyUp(int key, Qt::KeyboardModifiers modifiers);
    void FormResize();
    void buildWindow();
    QWidget* buildButtonPanel();
    QWidget* buildEditorPanel();
    void connectButtons();
    void loadWallPapers();
    void applyButtonStates(const std::map<std::string, bool>& states);
    QPushButton* button(const char* name) const;
    void clickIfEnabled(const char* name);
    void runOperation(Operation operation);
    void openDroppedFile(const std::string& path);
    bool confirmSaveBefore(const QString& what, bool withCancel, bool& dismissed);
    /// The file dialog in select mode; false when cancelled.
    bool chooseFiles(std::vector<std::string>& files, std::string& directory);
    /// The tree and found-files dialogs; false when cancelled.
    bool chooseTree(std::string& directory, std::vector<std::string>& files);
    void buildEditingParts();
    void showEditorPopup(const QPoint& position);
    void runFindReplace(bool replace);
    /// Puts text in place of the editor's selection (coloured when colouring is on), selects
    /// it, gives the editor the focus and marks the text modified.
    void insertIntoEditor(const QString& text);

    MainWindowJobHost m_jobHost;
    Session m_session;
    CommandLine m_commandLine;
    std::string m_droppedFile;
    bool m_firstShow = true;
    bool m_firstActivation = true;
    bool m_acceptDrops = false;
    bool m_editorMode = false;
    bool m_escapePressedHere = false; ///< the last Esc press came to this window while active
    bool m_cancelUndoable = false; ///< Cancel All was the last change: Undo brings the edits back
    bool m_closing = false;
    QPixmap m_mainTile;
    QPixmap m_statusTile;
    QPixmap m_optionTile;
    std::unique_ptr<TFormTree> m_formTree;
    std::unique_ptr<TFormFile> m_formFile;
    std::unique_ptr<TFormMsg> m_formMsg;

    TiledPanel* m_panelButtons = nullptr;
    TiledPanel* m_panelMsg = nullptr;
    TiledPanel* m_panelEditor = nullptr;
    QLabel* m_label1 = nullptr;
    QProgressBar* m_progressActFile = nullptr;
    QProgressBar* m_progressAll = nullptr;
    QTabWidget* m_notebook1 = nullptr;
    RichEdit* m_reScreen = nullptr;
    std::unique_ptr<EditorColoring> m_coloring;
    std::unique_ptr<class EditorHostAdapter> m_editorHost;
    QPlainTextEdit* m_richProtokoll = nullptr;
    QLineEdit* m_edit1 = nullptr;
    QMenu* m_popMenRE = nullptr;
    SelectionFlags m_selectionFlags;
    ReplaceDialog1* m_replaceDialog1 = nullptr;
    TagHintList m_tagHints;
};

} // namespace zenkel
