/// TFormOptions: the options window. Edits the active style (General, Tags and Doku pages)
/// and a few program settings, previews a sample file with the style as edited, switches
/// and saves styles, and chooses the tags the trim operation works on.
#pragma once

#include "engine/Operation.h"

#include <QDialog>
#include <QPixmap>
#include <QString>

#include <memory>
#include <string>

namespace zenkel {

struct Session;
struct RecTAGInfo;
struct OptionsControls;

/// The skin pictures behind the window's panels; null pictures leave the plain background.
struct OptionsPictures
{
    QPixmap main; ///< behind the top bar and the button bar
    QPixmap option; ///< behind the four pages
};

/// Created fresh for every opening and shown modally with run(). Edits change the session's
/// style and program settings in memory at once; OK writes options.ini, tag.ini and trim.ini.
/// Adding or removing a tag, a confirmed style switch and "Save as new style" write the
/// style's files on the spot.
class TFormOptions : public QDialog
{
    Q_OBJECT

public:
    explicit TFormOptions(
        Session& session, const OptionsPictures& pictures = {}, QWidget* parent = nullptr);
    ~TFormOptions() override;

    /// Shows the window modally and returns QDialog::Accepted after OK, Rejected otherwise.
    /// With a scripted answer from Prompter nothing is shown: the window is filled as on
    /// show, then Ok or Yes acts as " OK", Cancel or No as "Cancel", Closed as Escape.
    int run();
    /// Closes the window; preview mode ends with it.
    void done(int result) override;

    /// The active style was edited since it was loaded or saved.
    bool isModified() const { return m_modified; }
    /// The preview file shown, or empty when there is none.
    const std::string& previewFile() const { return m_previewFile; }

    // ---- the window as a whole ----------------------------------------------------------
    void FormShow();
    void InitPreviewCombo();
    void ComboPreviewChange(int index);
    void BReloadClick();
    void BpreviewFClick();
    void BPreviewCClick();
    /// Runs the engine on the preview file into MemoPreview, formatted or compressed. The
    /// main window's status line and progress bars stay as they are.
    void ManipulatePreviewFile(Operation operation);
    void SetStyle(const std::string& name);
    void InitPage0();
    void TabSet1Click(int index);
    void Notebook1PageChanged();
    void ComboStyleChange(int index);
    void BOKClick();
    void BCancelClick();
    void BSaveNewStyleClick();

    // ---- General, Doku and Trim pages ---------------------------------------------------
    void OnGeneralChange();
    void UpDownGeneralClick();
    void StoreGeneralProps();
    void SetPanelColors();
    void EditBackExit();
    void EditDescrChange();
    void OnDokuChange();
    void StoreDokuProps();
    void FillTrimPage();
    void StoreTrimPage();

    // ---- Tags page (rows are 1-based: row r shows tag-table entry r) --------------------
    void FillTagGrid();
    void SetCharInLineRow(int row);
    void TagGridClick();
    void ShowSelectedTagProps(int row);
    void StoreTagProps(int row);
    void SetUpDownMinMax(RecTAGInfo& entry);
    int FindSymbol(const QString& symbol) const;
    void SetPanelStatus();
    void TagTypeClick();
    void UpDownTagsClick();
    void BAddTagClick();
    void BDelTagClick();
    /// The grid row selected (1-based), 0 when the table is empty.
    int selectedTagRow() const;

signals:
    /// The trim list was stored (OK) or read again (Cancel): the Trim button's new hint.
    void trimHintChanged(const QString& hint);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildWindow();
    QWidget* buildTopBar();
    QWidget* buildGeneralPage();
    QWidget* buildTagsPage();
    QWidget* buildDokuPage();
    QWidget* buildTrimPage();
    QWidget* buildButtonBar();
    void connectControls();
    void connectTagControls();
    void placeOverMainWindow();
    void fillStyleCombo();
    void selectStyleItem(const std::string& name);
    void fillGeneralPage();
    void fillDokuPage();
    void setTagCaseButtons(int tagCase);
    std::string programDirectory() const;
    void loadPreviewIntoMemo();
    /// Runs the last preview operation again, so that a changed layout setting shows at once;
    /// nothing while the memo shows the preview file itself.
    void refreshPreviewResult();
    void layOutTrimColumns();
    void enableTagControls();
    /// Saves tag.ini and options.ini into the active style directory; shows the error and
    /// returns false when the write is refused.
    bool saveActiveStyle();
    void showError(const std::string& message);
    void setModified() { m_modified = true; }
    struct Guard;

    Session& m_session;
    OptionsPictures m_pictures;
    std::unique_ptr<OptionsControls> m_ui;

    std::string m_previewDirectory;
    std::string m_previewFile;
    bool m_previewAvailable = false;
    Operation m_previewResult = Operation::None; ///< what the memo shows: None for the file
    bool m_loading = false;
    bool m_modified = false;
    bool m_firstShow = true;
    bool m_shown = false;
    int m_lastTagRow = 1;
};

} // namespace zenkel
