/// TFormOptions: the options window as a whole, and its General, Doku and Trim pages.
#include "options/TFormOptions.h"

#include "options/OptionsControls.h"
#include "options/OptionsRules.h"
#include "options/TFormNewStyle.h"
#include "options/WindowsText.h"

#include "batch/Session.h"
#include "style/StyleFiles.h"
#include "widgets/Prompter.h"
#include "widgets/WidgetText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStackedWidget>
#include <QTabBar>
#include <QTableWidget>
#include <QTimer>

namespace zenkel {

namespace {

constexpr int TagsPage = 1;

} // namespace

TFormOptions::TFormOptions(Session& session, const OptionsPictures& pictures, QWidget* parent)
    : QDialog(parent)
    , m_session(session)
    , m_pictures(pictures)
    , m_ui(std::make_unique<OptionsControls>())
{
    buildWindow();
    connectControls();
    connectTagControls();
    m_ui->CLTrim->viewport()->installEventFilter(this);
    // Without a main window to lie over, take the size it would have by default.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize area = screen ? screen->availableGeometry().size() : QSize(1024, 768);
    resize(area.width() * 8 / 10 - 8, area.height() * 8 / 10 - 30);
    m_firstShow = true;
    m_loading = false;
}

TFormOptions::~TFormOptions()
{
    m_session.engine.setPreviewSink(nullptr);
}

std::string TFormOptions::programDirectory() const
{
    return m_session.runState.programDirectory;
}

int TFormOptions::run()
{
    setResult(QDialog::Rejected);
    return execOrScripted(
        *this,
        [this] {
            FormShow();
            BOKClick();
            return result();
        },
        [this] {
            FormShow();
            BCancelClick();
            return result();
        });
}

void TFormOptions::connectControls()
{
    OptionsControls& ui = *m_ui;
    connect(ui.ComboPreview, &QComboBox::activated, this, &TFormOptions::ComboPreviewChange);
    connect(ui.ComboStyle, &QComboBox::activated, this, &TFormOptions::ComboStyleChange);
    connect(ui.EditDescr, &QLineEdit::textChanged, this, &TFormOptions::EditDescrChange);
    connect(ui.TabSet1, &QTabBar::currentChanged, this, &TFormOptions::TabSet1Click);
    connect(
        ui.Notebook1, &QStackedWidget::currentChanged, this, &TFormOptions::Notebook1PageChanged);

    connect(ui.BOK, &QPushButton::clicked, this, &TFormOptions::BOKClick);
    connect(ui.BCancel, &QPushButton::clicked, this, &TFormOptions::BCancelClick);
    connect(ui.BSaveNewStyle, &QPushButton::clicked, this, &TFormOptions::BSaveNewStyleClick);
    connect(ui.BReload, &QPushButton::clicked, this, &TFormOptions::BReloadClick);
    connect(ui.BpreviewF, &QPushButton::clicked, this, &TFormOptions::BpreviewFClick);
    connect(ui.BPreviewC, &QPushButton::clicked, this, &TFormOptions::BPreviewCClick);

    for (QCheckBox* box : {ui.CBValidate, ui.CBDisableComm, ui.CBPurgeComm, ui.CBBreakExcluder,
             ui.CBSyntax, ui.CBWallPaper})
        connect(box, &QCheckBox::toggled, this, &TFormOptions::OnGeneralChange);
    for (QRadioButton* button : {ui.RBUpper, ui.RBLower, ui.RBLeave}) {
        connect(button, &QRadioButton::toggled, this, [this](bool checked) {
            if (checked)
                OnGeneralChange();
        });
    }
    connect(ui.CBIndentTabs, &QCheckBox::toggled, this, [this] {
        OnGeneralChange();
        refreshPreviewResult();
    });
    connect(ui.UpDown1, &QSpinBox::valueChanged, this, &TFormOptions::UpDownGeneralClick);
    connect(ui.UpDown2, &QSpinBox::valueChanged, this, &TFormOptions::UpDownGeneralClick);
    connect(
        ui.ComboLineEnds, &QComboBox::currentIndexChanged, this, &TFormOptions::OnGeneralChange);
    connect(ui.EditBack, &QLineEdit::editingFinished, this, &TFormOptions::EditBackExit);

    for (QCheckBox* box : {ui.CBUser, ui.CBVersion, ui.CBDate, ui.CBTime, ui.CBStyle,
             ui.CBUseWhileFormat, ui.CBUseWhileCompress})
        connect(box, &QCheckBox::toggled, this, &TFormOptions::OnDokuChange);
    connect(ui.EditUserInfo, &QLineEdit::textChanged, this, &TFormOptions::OnDokuChange);
}

// ---- showing and closing -------------------------------------------------------------------

void TFormOptions::showEvent(QShowEvent* event)
{
    if (!m_shown)
        FormShow();
    QDialog::showEvent(event);
}

void TFormOptions::placeOverMainWindow()
{
    if (!parentWidget())
        return;
    const QWidget* main = parentWidget()->window();
    const QRect frame = main->frameGeometry();
    move(frame.left() + 4, frame.top() + 25);
    resize(main->width() - 8, main->height() - 30);
}

void TFormOptions::FormShow()
{
    m_shown = true;
    placeOverMainWindow();
    InitPreviewCombo();
    if (!m_session.ActivateStyle(m_session.engine.style().options.StyleName)) {
        // No usable style: the program has been told to end; the window has nothing to show.
        QTimer::singleShot(0, this, [this] { done(QDialog::Rejected); });
        return;
    }
    fillStyleCombo();
    SetStyle(m_session.engine.style().options.StyleName);
    FillTrimPage();
    if (m_firstShow) {
        m_firstShow = false;
        m_ui->TabSet1->setCurrentIndex(0);
        m_ui->Notebook1->setCurrentIndex(0);
    }
}

void TFormOptions::keyPressEvent(QKeyEvent* event)
{
    // Escape closes with nothing saved and the trim list left as it is in memory.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        done(QDialog::Rejected);
        return;
    }
    QDialog::keyPressEvent(event);
}

void TFormOptions::done(int result)
{
    m_session.engine.setPreviewSink(nullptr);
    QDialog::done(result);
}

bool TFormOptions::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_ui->CLTrim->viewport() && event->type() == QEvent::Resize)
        layOutTrimColumns();
    return QDialog::eventFilter(watched, event);
}

void TFormOptions::showError(const std::string& message)
{
    Prompter::error(this, programTitle(), fromFileName(message));
}

void TFormOptions::TabSet1Click(int index)
{
    m_ui->Notebook1->setCurrentIndex(index);
}

void TFormOptions::Notebook1PageChanged()
{
    if (m_ui->TabSet1->currentIndex() != m_ui->Notebook1->currentIndex())
        m_ui->TabSet1->setCurrentIndex(m_ui->Notebook1->currentIndex());
    if (m_ui->Notebook1->currentIndex() != TagsPage)
        return;
    m_ui->TagGrid->setFocus();
    TagGridClick();
}

// ---- style ---------------------------------------------------------------------------------

void TFormOptions::fillStyleCombo()
{
    m_ui->ComboStyle->clear();
    for (const std::string& name : m_session.catalogue.styleList())
        m_ui->ComboStyle->addItem(fromFileName(name));
}

void TFormOptions::selectStyleItem(const std::string& name)
{
    const QString wanted = fromFileName(name);
    QComboBox* combo = m_ui->ComboStyle;
    for (int i = combo->count() - 1; i >= 0; --i) {
        if (combo->itemText(i).compare(wanted, Qt::CaseInsensitive) == 0) {
            combo->setCurrentIndex(i);
            return;
        }
    }
}

void TFormOptions::SetStyle(const std::string& name)
{
    selectStyleItem(name);
    InitPage0();
    m_modified = false;
}

void TFormOptions::InitPage0()
{
    Guard guard(*this);
    fillGeneralPage();
    fillDokuPage();
    FillTagGrid();
    ShowSelectedTagProps(1);
    m_lastTagRow = 1;
    if (m_session.engine.style().tags.tagCount > 0) {
        const QSignalBlocker block(m_ui->TagGrid);
        m_ui->TagGrid->setCurrentCell(0, 0);
    }
    enableTagControls();
    SetPanelStatus();
    Notebook1PageChanged();
}

void TFormOptions::ComboStyleChange(int index)
{
    if (index < 0)
        return;
    const std::string chosen = toFileName(m_ui->ComboStyle->itemText(index));
    const std::string current = m_session.engine.style().options.StyleName;
    if (chosen == current)
        return;
    if (m_modified) {
        const Prompter::Answer answer
            = Prompter::question(this, programTitle(), messageText(styleSwitchQuestion(current)));
        if (answer == Prompter::Yes && !saveActiveStyle()) {
            selectStyleItem(current); // the edits stay, unsaved, in the current style
            return;
        }
    }
    m_session.ActivateStyle(chosen);
    fillStyleCombo();
    SetStyle(m_session.engine.style().options.StyleName);
}

bool TFormOptions::saveActiveStyle()
{
    Style& style = m_session.engine.style();
    const std::string& dir = m_session.catalogue.activeStyleDirectory();
    std::string error;
    if (SaveTagTable(style.tags, dir, &error) && SaveStyleOptions(style.options, dir, &error))
        return true;
    showError(error);
    return false;
}

void TFormOptions::BOKClick()
{
    // Enter on the default button leaves a typed extension without a focus change.
    if (m_ui->EditBack->isModified())
        EditBackExit();
    if (!saveActiveStyle())
        return;
    StoreTrimPage();
    std::string error;
    if (!SaveTrimList(m_session.trimList, programDirectory(), &error)) {
        showError(error);
        return;
    }
    done(QDialog::Accepted);
}

void TFormOptions::BCancelClick()
{
    m_session.loadTrimList();
    emit trimHintChanged(fromWindows1252(UpdateTrimHint(m_session.trimList)));
    done(QDialog::Rejected);
}

void TFormOptions::BSaveNewStyleClick()
{
    TFormNewStyle dialog(m_session.catalogue.styleList(), this);
    if (dialog.exec() != QDialog::Accepted || dialog.newStyleName().empty())
        return;
    const std::string name = dialog.newStyleName();
    Style& style = m_session.engine.style();
    std::string error;
    if (!m_session.catalogue.CreateStyle(name, style, &error)) {
        showError(error.empty() ? "Cannot create the style \"" + name + "\"" : error);
        return;
    }
    // The new style is the active one from now on, and the settings name it at exit.
    m_session.settings.StyleName = style.options.StyleName;
    fillStyleCombo();
    SetStyle(style.options.StyleName);
}

// ---- General page --------------------------------------------------------------------------

void TFormOptions::setTagCaseButtons(int tagCase)
{
    OptionsControls& ui = *m_ui;
    QRadioButton* buttons[] = {ui.RBUpper, ui.RBLower, ui.RBLeave};
    // A value outside 1..3 checks none of the three, so it is kept until one is chosen.
    for (QRadioButton* button : buttons)
        button->setAutoExclusive(false);
    for (int i = 0; i < 3; ++i)
        buttons[i]->setChecked(tagCase == i + 1);
    for (QRadioButton* button : buttons)
        button->setAutoExclusive(true);
}

void TFormOptions::fillGeneralPage()
{
    OptionsControls& ui = *m_ui;
    const StyleOptions& options = m_session.engine.style().options;
    const ProgramSettings& settings = m_session.settings;
    ui.CBValidate->setChecked(settings.DoValidate);
    ui.EditBack->setText(fromFileName(settings.BackupExt));
    ui.ComboLineEnds->setCurrentIndex(settings.LineEnds == LineEndsLf ? 1 : 0);
    ui.UpDown2->setValue(options.LineSize);
    ui.UpDown1->setValue(options.Spacing);
    ui.CBDisableComm->setChecked(options.DoDisableComments);
    ui.CBPurgeComm->setChecked(options.DoPurgeComments);
    ui.CBBreakExcluder->setChecked(breakExcluderChecked(options.BreakExcluder));
    ui.CBIndentTabs->setChecked(options.IndentWithTabs);
    setTagCaseButtons(options.TagCase);
    ui.CBSyntax->setChecked(settings.DoColorTags);
    ui.CBWallPaper->setChecked(settings.DoLoadWallPapers);
    ui.EditDescr->setText(fromWindows1252(options.StyleDescription));
    ui.EditDescr->setCursorPosition(0);
    SetPanelColors();
}

void TFormOptions::UpDownGeneralClick()
{
    OnGeneralChange();
}

void TFormOptions::OnGeneralChange()
{
    StoreGeneralProps();
    SetPanelColors();
}

void TFormOptions::StoreGeneralProps()
{
    if (m_loading)
        return;
    OptionsControls& ui = *m_ui;
    StyleOptions& options = m_session.engine.style().options;
    ProgramSettings& settings = m_session.settings;
    options.Spacing = ui.UpDown1->value();
    options.LineSize = ui.UpDown2->value();
    options.DoPurgeComments = ui.CBPurgeComm->isChecked();
    options.DoDisableComments = ui.CBDisableComm->isChecked();
    settings.DoColorTags = ui.CBSyntax->isChecked();
    settings.DoValidate = ui.CBValidate->isChecked();
    settings.BackupExt = backupExtSetting(toFileName(ui.EditBack->text()));
    settings.DoLoadWallPapers = ui.CBWallPaper->isChecked();
    settings.LineEnds = ui.ComboLineEnds->currentIndex() == 1 ? LineEndsLf : LineEndsCrLf;
    if (ui.RBUpper->isChecked())
        options.TagCase = 1;
    else if (ui.RBLower->isChecked())
        options.TagCase = 2;
    else if (ui.RBLeave->isChecked())
        options.TagCase = 3;
    options.BreakExcluder = breakExcluderValue(ui.CBBreakExcluder->isChecked());
    options.IndentWithTabs = ui.CBIndentTabs->isChecked();
    setModified();
}

void TFormOptions::SetPanelColors()
{
    OptionsControls& ui = *m_ui;
    const StyleOptions& options = m_session.engine.style().options;
    auto paint = [](QWidget* panel, int bgr) {
        QPalette palette = panel->palette();
        palette.setColor(QPalette::Window, windowsColor(bgr));
        panel->setPalette(palette);
    };
    const int comment = commentPanelColor(options);
    for (QWidget* panel :
        {ui.PanelDisComm, ui.PanelAutoComm1, ui.PanelAutoComm2, ui.PanelAutoComm3})
        paint(panel, comment);
    const int indent = indentPanelColor(options);
    for (QWidget* panel : {ui.PanelDisIndent, ui.PanelSi, ui.PanelCi})
        paint(panel, indent);
    for (QWidget* panel : {ui.PanelLines1, ui.PanelLines2, ui.PanelClean})
        paint(panel, ActivePanelColor);
}

void TFormOptions::EditBackExit()
{
    QLineEdit* edit = m_ui->EditBack;
    const std::string typed = toFileName(edit->text());
    edit->setText(fromFileName(backupExtFieldText(typed)));
    // Compared as it would be kept, so leaving an untouched field changes nothing.
    if (backupExtSetting(typed) != m_session.settings.BackupExt)
        OnGeneralChange();
}

void TFormOptions::EditDescrChange()
{
    if (m_loading)
        return;
    setModified();
    m_session.engine.style().options.StyleDescription = toWindows1252(m_ui->EditDescr->text());
}

// ---- Doku page -----------------------------------------------------------------------------

void TFormOptions::fillDokuPage()
{
    OptionsControls& ui = *m_ui;
    const StyleOptions& options = m_session.engine.style().options;
    ui.CBUser->setChecked(options.DoIncludeUser);
    ui.EditUserInfo->setText(fromWindows1252(options.UserInfo));
    ui.CBVersion->setChecked(options.DoIncludeVersion);
    ui.CBDate->setChecked(options.DoIncludeDate);
    ui.CBTime->setChecked(options.DoIncludeTime);
    ui.CBStyle->setChecked(options.DoIncludeStyle);
    ui.CBUseWhileFormat->setChecked(options.UseWhileFormat);
    ui.CBUseWhileCompress->setChecked(options.UseWhileCompress);
    ui.EditDokuPrev->setText(fromWindows1252(m_session.engine.MakeDokuLine()));
}

void TFormOptions::OnDokuChange()
{
    StoreDokuProps();
    m_ui->EditDokuPrev->setText(fromWindows1252(m_session.engine.MakeDokuLine()));
}

void TFormOptions::StoreDokuProps()
{
    if (m_loading)
        return;
    OptionsControls& ui = *m_ui;
    StyleOptions& options = m_session.engine.style().options;
    options.UserInfo = cleanUserInfo(toWindows1252(ui.EditUserInfo->text()));
    options.DoIncludeUser = ui.CBUser->isChecked();
    options.DoIncludeVersion = ui.CBVersion->isChecked();
    options.DoIncludeDate = ui.CBDate->isChecked();
    options.DoIncludeTime = ui.CBTime->isChecked();
    options.DoIncludeStyle = ui.CBStyle->isChecked();
    options.UseWhileCompress = ui.CBUseWhileCompress->isChecked();
    options.UseWhileFormat = ui.CBUseWhileFormat->isChecked();
    setModified();
}

// ---- Trim page -----------------------------------------------------------------------------

void TFormOptions::FillTrimPage()
{
    QListWidget* list = m_ui->CLTrim;
    list->clear();
    for (const TrimItem& item : trimItemsOf(m_session.trimList)) {
        auto* row = new QListWidgetItem(fromWindows1252(item.tag), list);
        row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        row->setCheckState(item.checked ? Qt::Checked : Qt::Unchecked);
    }
    layOutTrimColumns();
}

void TFormOptions::StoreTrimPage()
{
    const QListWidget* list = m_ui->CLTrim;
    std::vector<TrimItem> items;
    for (int i = 0; i < list->count(); ++i) {
        const QListWidgetItem* row = list->item(i);
        items.push_back({toWindows1252(row->text()), row->checkState() == Qt::Checked});
    }
    m_session.trimList = trimListOf(items);
    emit trimHintChanged(fromWindows1252(UpdateTrimHint(m_session.trimList)));
}

} // namespace zenkel
