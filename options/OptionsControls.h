/// The controls of the options window, shared by the files that build and drive it.
#pragma once

#include "options/TFormOptions.h"

#include <QSpinBox>

class QCheckBox;
class QComboBox;
class QFrame;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTabBar;
class QTableWidget;

namespace zenkel {

class TiledPanel;

/// An up-down with its number field: the field shows the value and takes no typing, so the
/// value moves only by the arrows (buttons, keys, wheel) within the range and step.
class UpDownEdit : public QSpinBox
{
public:
    UpDownEdit(const char* upDownName, const char* editName, int minimum, int maximum, int step,
        QWidget* parent = nullptr);
    QLineEdit* edit() const { return lineEdit(); }
};

struct OptionsControls
{
    // top bar, preview, pages and buttons
    TiledPanel* PanelMain = nullptr; ///< the whole window, behind everything
    QComboBox* ComboPreview = nullptr;
    QComboBox* ComboStyle = nullptr;
    QLineEdit* EditDescr = nullptr;
    QPlainTextEdit* MemoPreview = nullptr;
    QStackedWidget* Notebook1 = nullptr;
    QTabBar* TabSet1 = nullptr;
    QPushButton* BOK = nullptr;
    QPushButton* BCancel = nullptr;
    QPushButton* BSaveNewStyle = nullptr;
    QPushButton* BReload = nullptr;
    QPushButton* BpreviewF = nullptr;
    QPushButton* BPreviewC = nullptr;

    // General
    QCheckBox* CBValidate = nullptr;
    QLineEdit* EditBack = nullptr;
    QComboBox* ComboLineEnds = nullptr;
    UpDownEdit* UpDown2 = nullptr; ///< with EditLineSize
    UpDownEdit* UpDown1 = nullptr; ///< with EditIndent
    QFrame* PanelDisIndent = nullptr;
    QFrame* PanelDisComm = nullptr;
    QCheckBox* CBDisableComm = nullptr;
    QCheckBox* CBPurgeComm = nullptr;
    QCheckBox* CBBreakExcluder = nullptr;
    QCheckBox* CBIndentTabs = nullptr;
    QRadioButton* RBUpper = nullptr;
    QRadioButton* RBLower = nullptr;
    QRadioButton* RBLeave = nullptr;
    QCheckBox* CBSyntax = nullptr;
    QCheckBox* CBWallPaper = nullptr;

    // Tags
    QTableWidget* TagGrid = nullptr;
    QRadioButton* RBAlone = nullptr;
    QRadioButton* RBAsText = nullptr;
    QFrame* PanelLines1 = nullptr;
    QFrame* PanelLines2 = nullptr;
    UpDownEdit* UpDownBefore = nullptr; ///< with EditLinesAtOpen
    UpDownEdit* UpDownAfter = nullptr; ///< with EditLinesAtClose
    QCheckBox* CBOneLine = nullptr;
    QFrame* PanelAutoComm1 = nullptr;
    QFrame* PanelAutoComm2 = nullptr;
    QFrame* PanelAutoComm3 = nullptr;
    QCheckBox* CBSComment = nullptr;
    QLineEdit* EditScomment = nullptr;
    QCheckBox* CBEComment = nullptr;
    QLineEdit* EditEComment = nullptr;
    QCheckBox* CBCounter = nullptr;
    QCheckBox* CBCIndent = nullptr;
    QComboBox* CBSymbol = nullptr;
    UpDownEdit* UpDownLength = nullptr; ///< with EditCLength
    QFrame* PanelSi = nullptr;
    QFrame* PanelCi = nullptr;
    UpDownEdit* UpDownSelfIndent = nullptr; ///< with EditSi
    UpDownEdit* UpDownContentIndent = nullptr; ///< with EditCi
    QFrame* PanelClean = nullptr;
    QCheckBox* CBClean = nullptr;
    QPushButton* BAddTag = nullptr;
    QPushButton* BDelTag = nullptr;

    // Doku
    QCheckBox* CBUser = nullptr;
    QLineEdit* EditUserInfo = nullptr;
    QCheckBox* CBVersion = nullptr;
    QCheckBox* CBDate = nullptr;
    QCheckBox* CBTime = nullptr;
    QCheckBox* CBStyle = nullptr;
    QCheckBox* CBUseWhileFormat = nullptr;
    QCheckBox* CBUseWhileCompress = nullptr;
    QLineEdit* EditDokuPrev = nullptr;

    // Trim
    QListWidget* CLTrim = nullptr;
};

/// The loading guard: change handlers do nothing while the window fills its controls.
struct TFormOptions::Guard
{
    explicit Guard(TFormOptions& form)
        : m_form(form)
        , m_previous(form.m_loading)
    {
        m_form.m_loading = true;
    }
    ~Guard() { m_form.m_loading = m_previous; }
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;

private:
    TFormOptions& m_form;
    bool m_previous;
};

} // namespace zenkel
