/// TFormFile: the file dialog, in select mode and in save mode.
#include "app/TFormFile.h"

#include "app/DirectoryListBox.h"
#include "app/Drives.h"
#include "app/FileListBox.h"
#include "app/FileTypeFilter.h"
#include "app/PathLabel.h"
#include "batch/FileJob.h"
#include "batch/RunState.h"
#include "batch/Session.h"
#include "style/ProgramSettings.h"
#include "widgets/Prompter.h"
#include "widgets/TiledPanel.h"
#include "widgets/WidgetText.h"

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace zenkel {

namespace {

QString fromStd(const std::string& text)
{
    return QString::fromStdString(text);
}

std::string toStd(const QString& text)
{
    return text.toStdString();
}

} // namespace

// ---- DirectoryListBox ------------------------------------------------------------------

// ---- PathLabel -------------------------------------------------------------------------

// ---- FileListBox -----------------------------------------------------------------------

// ---- texts of the file dialog ----------------------------------------------------------

QString invalidFileMessage(const QString& path)
{
    return QStringLiteral("Invalid file: \"\r\n") + path
        + QStringLiteral("\r\n\"No <HTML> Tag inside!");
}

QString overwriteQuestion(const QString& path)
{
    return QStringLiteral("File exists:\r\n") + path + QStringLiteral("\r\n\r\nOverwrite? \r\n");
}

QString invalidFilenameMessage(const QString& path)
{
    return QStringLiteral("Invalid Filename: ") + path;
}

QString saveTargetPath(const QString& directory, const QString& name)
{
    return withoutFinalSlash(directory) + QLatin1Char('/') + name.trimmed();
}

QString saveDialogCaption(const QString& directory, const QString& name)
{
    QString caption = QStringLiteral("Save file as: \"") + directory + QLatin1Char('/') + name
        + QLatin1Char('"');
    while (caption.contains(QLatin1String("//")))
        caption.replace(QLatin1String("//"), QLatin1String("/"));
    return caption;
}

// ---- TFormFile -------------------------------------------------------------------------

TFormFile::TFormFile(Session& session, QWidget* parent)
    : QDialog(parent)
    , m_session(session)
{
    setObjectName(QStringLiteral("TFormFile"));
    buildControls();
    connectControls();
    resize(700, 440);
}

TFormFile::~TFormFile() = default;

void TFormFile::buildControls()
{
    auto named = [](auto* widget, const char* name) {
        widget->setObjectName(QLatin1String(name));
        return widget;
    };
    m_label = named(new QLabel(this), "Label1");
    m_directoryLabel = named(new PathLabel(this), "LabelDirectory");
    m_fileList = named(new FileListBox(this), "FileListBox1");
    m_directoryList = named(new DirectoryListBox(this), "DirectoryListBox1");
    m_nameLabel = named(new QLabel(QStringLiteral("Filename:"), this), "LabelFName");
    m_nameEdit = named(new QLineEdit(this), "EFName");
    m_nameLabel->setBuddy(m_nameEdit);
    m_filterBox = named(new QComboBox(this), "FilterComboBox1");
    m_filterBox->addItems(fileTypeFilterTexts());
    m_driveBox = named(new QComboBox(this), "DriveComboBox1");
    m_drives = driveChoices();
    m_driveBox->addItems(m_drives);
    // Long mount paths must not stretch the dialog.
    m_driveBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_driveBox->setMinimumContentsLength(18);
    // The filter texts are few and short: shown whole.
    m_filterBox->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_okButton = named(new QPushButton(QStringLiteral("OK"), this), "BOK");
    m_cancelButton = named(new QPushButton(QStringLiteral("Cancel"), this), "BCancel");
    m_okButton->setDefault(true);

    auto* filterLabel = new QLabel(QStringLiteral("Files of type:"), this);
    filterLabel->setBuddy(m_filterBox);
    auto* driveLabel = new QLabel(QStringLiteral("Drive:"), this);
    driveLabel->setBuddy(m_driveBox);

    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(m_nameLabel);
    nameRow->addWidget(m_nameEdit, 1);
    auto* filterRow = new QHBoxLayout;
    filterRow->addWidget(filterLabel);
    filterRow->addWidget(m_filterBox, 1);
    auto* driveRow = new QHBoxLayout;
    driveRow->addWidget(driveLabel);
    driveRow->addWidget(m_driveBox, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);

    auto* grid = new QGridLayout(TiledPanel::fillWindow(*this));
    grid->addWidget(m_label, 0, 0);
    grid->addWidget(m_directoryLabel, 0, 1);
    grid->addWidget(m_fileList, 1, 0);
    grid->addWidget(m_directoryList, 1, 1);
    grid->addLayout(nameRow, 2, 0);
    grid->addLayout(filterRow, 3, 0);
    grid->addLayout(driveRow, 3, 1);
    grid->addLayout(buttons, 4, 0, 1, 2);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 2);
    grid->setRowStretch(1, 1);
}

void TFormFile::connectControls()
{
    connect(m_driveBox, &QComboBox::activated, this,
        [this](int index) { m_directoryList->setDirectory(m_drives.value(index)); });
    connect(
        m_directoryList, &DirectoryListBox::directoryChanged, this, &TFormFile::directoryChanged);
    connect(m_filterBox, &QComboBox::currentIndexChanged, this, &TFormFile::filterChanged);
    connect(m_fileList, &QListWidget::itemSelectionChanged, this, &TFormFile::selectionChanged);
    connect(m_fileList, &QListWidget::itemDoubleClicked, this, [this] { BOKClick(); });
    connect(m_nameEdit, &QLineEdit::textChanged, this, &TFormFile::nameEdited);
    connect(m_okButton, &QPushButton::clicked, this, &TFormFile::BOKClick);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void TFormFile::prepare(Mode mode)
{
    m_mode = mode;
    m_savedPath.clear();
    setResult(QDialog::Rejected);
    const bool saving = mode == Mode::Save;
    m_label->setText(saving ? QStringLiteral("Save file as:") : QStringLiteral("Select File(s):"));
    m_okButton->setText(saving ? QStringLiteral("SAVE") : QStringLiteral("OK"));
    m_nameLabel->setVisible(saving);
    m_nameEdit->setVisible(saving);
    m_fileList->setSelectionMode(
        saving ? QAbstractItemView::SingleSelection : QAbstractItemView::ExtendedSelection);
    if (saving)
        m_nameEdit->setText(QFileInfo(fromStd(m_session.runState.currentFile)).fileName());
    else
        setWindowTitle(QStringLiteral("File Selection"));

    const QString programDir = fromStd(m_session.runState.programDirectory);
    const char* key = saving ? "Save" : "Multi";
    const QString remembered
        = fromStd(ReadSettingsPath(m_session.settingsFile, key, toStd(programDir)));
    setDirectory(existingDirectoryOr(remembered, programDir));
    applyPreset();
    updateOkButton();
    updateSaveCaption();
    if (saving)
        m_nameEdit->setFocus();
    else
        m_fileList->setFocus();
}

int TFormFile::run(Mode mode)
{
    prepare(mode);
    return execOrScripted(*this, [this] {
        BOKClick();
        return result();
    });
}

void TFormFile::presetSelection(const QString& directory, const QStringList& names)
{
    m_presetDirectory = directory;
    m_presetNames = names;
    m_hasPreset = true;
}

void TFormFile::applyPreset()
{
    if (!m_hasPreset)
        return;
    m_hasPreset = false;
    setDirectory(m_presetDirectory);
    if (m_mode == Mode::Save)
        m_nameEdit->setText(m_presetNames.value(0));
    else
        m_fileList->selectNames(m_presetNames);
}

QString TFormFile::directory() const
{
    return withFinalSlash(m_directoryList->directory());
}

void TFormFile::setDirectory(const QString& dir)
{
    m_directoryList->setDirectory(dir);
}

QStringList TFormFile::selectedNames() const
{
    return m_fileList->selectedNames();
}

void TFormFile::directoryChanged()
{
    const QString dir = m_directoryList->directory();
    m_driveBox->setCurrentIndex(driveIndexFor(m_drives, dir));
    m_directoryLabel->setPath(dir);
    filterChanged();
}

void TFormFile::filterChanged()
{
    m_fileList->showFiles(m_directoryList->directory(), std::max(m_filterBox->currentIndex(), 0));
    updateOkButton();
    updateSaveCaption();
}

void TFormFile::selectionChanged()
{
    if (m_mode == Mode::Save) {
        const QStringList names = m_fileList->selectedNames();
        if (!names.isEmpty())
            m_nameEdit->setText(names.first());
    }
    updateOkButton();
    updateSaveCaption();
}

void TFormFile::nameEdited()
{
    updateOkButton();
    updateSaveCaption();
}

void TFormFile::updateOkButton()
{
    m_okButton->setEnabled(m_mode == Mode::Save ? !m_nameEdit->text().trimmed().isEmpty()
                                                : !m_fileList->selectedNames().isEmpty());
}

void TFormFile::updateSaveCaption()
{
    if (m_mode == Mode::Save)
        setWindowTitle(
            saveDialogCaption(m_directoryList->directory(), m_nameEdit->text().trimmed()));
}

void TFormFile::BOKClick()
{
    if (!m_okButton->isEnabled())
        return;
    if (m_mode == Mode::Save)
        acceptSave();
    else
        acceptSelection();
}

void TFormFile::acceptSelection()
{
    const QStringList names = m_fileList->selectedNames();
    if (names.size() != 1) {
        accept();
        return;
    }
    const QString path = directory() + names.first();
    const FileCheck check = CheckHtmlFile(
        toStd(path), m_session.settings.DoValidate, m_session.runState.CommandLineMode);
    if (check == FileCheck::Valid) {
        accept();
        return;
    }
    QApplication::beep();
    // A file without <HTML gets the usual message; a file that vanished or cannot be read
    // is named with its real reason rather than blamed on a missing tag.
    const QString message = check == FileCheck::NoHtmlTag || check == FileCheck::WrongType
        ? invalidFileMessage(path)
        : fromStd(FileCheckMessage(check, toStd(path)));
    Prompter::error(this, windowTitle(), message);
}

void TFormFile::acceptSave()
{
    const QString path = saveTargetPath(m_directoryList->directory(), m_nameEdit->text());
    const QFileInfo target(path);
    if (target.isDir()) {
        // A name that leads to a directory can never be written as a file.
        QApplication::beep();
        Prompter::error(this, windowTitle(), invalidFilenameMessage(path));
        return;
    }
    if (target.exists()
        && Prompter::question(this, windowTitle(), overwriteQuestion(path)) != Prompter::Yes)
        return;
    if (!m_saveHandler || !m_saveHandler(path)) {
        QApplication::beep();
        Prompter::error(this, windowTitle(), invalidFilenameMessage(path));
        return;
    }
    m_savedPath = path;
    const QString savedDirectory = withFinalSlash(QFileInfo(path).absolutePath());
    m_session.runState.currentFile = toStd(path);
    m_session.runState.sourceDirectory = toStd(savedDirectory);
    m_directoryList->refresh();
    filterChanged();
    // The remembered directory is a convenience: a settings file that cannot be written
    // must not turn a successful save into a failure.
    [[maybe_unused]] const bool remembered
        = WriteSettingsPath(m_session.settingsFile, "Save", toStd(savedDirectory));
    accept();
}

} // namespace zenkel
