/// TFormTree: the tree dialog.
#include "app/TFormTree.h"

#include "app/DirectoryListBox.h"
#include "app/Drives.h"
#include "app/FileTypeFilter.h"
#include "app/PathLabel.h"
#include "batch/FileSelection.h"
#include "batch/Session.h"
#include "style/ProgramSettings.h"
#include "widgets/Prompter.h"
#include "widgets/TiledPanel.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStorageInfo>

#include <algorithm>

namespace zenkel {

bool isMountPointRoot(const QString& dir)
{
    const QString canonical = QFileInfo(dir).canonicalFilePath();
    if (canonical.isEmpty())
        return false;
    const QStorageInfo volume(canonical);
    return volume.isValid() && withoutFinalSlash(volume.rootPath()) == withoutFinalSlash(canonical);
}

bool isChoosableTree(const QString& dir)
{
    return isChoosableTreeDirectory(dir.toStdString())
        && withoutFinalSlash(dir) != QLatin1String("/") && !isMountPointRoot(dir);
}

TFormTree::TFormTree(Session& session, QWidget* parent)
    : QDialog(parent)
    , m_session(session)
{
    setObjectName(QStringLiteral("TFormTree"));
    setWindowTitle(QStringLiteral("Tree"));
    buildControls();
    connectControls();
    resize(400, 460);
}

TFormTree::~TFormTree() = default;

void TFormTree::buildControls()
{
    auto named = [](auto* widget, const char* name) {
        widget->setObjectName(QLatin1String(name));
        return widget;
    };
    m_label = named(new QLabel(QStringLiteral("Select Subdirectory:"), this), "Label1");
    m_directoryLabel = named(new PathLabel(this), "LabelDirectory");
    m_driveBox = named(new QComboBox(this), "DriveComboBox1");
    m_drives = driveChoices();
    m_driveBox->addItems(m_drives);
    m_directoryList = named(new DirectoryListBox(this), "DirectoryListBox1");
    m_filterBox = named(new QComboBox(this), "FilterComboBox1");
    m_filterBox->addItems(fileTypeFilterTexts());
    // Long mount paths must not stretch the dialog.
    m_driveBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_driveBox->setMinimumContentsLength(18);
    // The filter texts are few and short: shown whole.
    m_filterBox->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_okButton = named(new QPushButton(QStringLiteral("OK"), this), "BOK");
    m_cancelButton = named(new QPushButton(QStringLiteral("Cancel"), this), "BCancel");
    m_okButton->setDefault(true);

    auto* driveLabel = new QLabel(QStringLiteral("Drive:"), this);
    driveLabel->setBuddy(m_driveBox);
    auto* filterLabel = new QLabel(QStringLiteral("Files of type:"), this);
    filterLabel->setBuddy(m_filterBox);
    m_label->setBuddy(m_directoryList);

    auto* grid = new QGridLayout(TiledPanel::fillWindow(*this));
    grid->addWidget(m_label, 0, 0, 1, 2);
    grid->addWidget(m_directoryLabel, 1, 0, 1, 2);
    grid->addWidget(m_directoryList, 2, 0, 1, 2);
    grid->addWidget(driveLabel, 3, 0);
    grid->addWidget(m_driveBox, 3, 1);
    grid->addWidget(filterLabel, 4, 0);
    grid->addWidget(m_filterBox, 4, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    grid->addLayout(buttons, 5, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(2, 1);
}

void TFormTree::connectControls()
{
    connect(m_driveBox, &QComboBox::activated, this,
        [this](int index) { m_directoryList->setDirectory(m_drives.value(index)); });
    connect(
        m_directoryList, &DirectoryListBox::directoryChanged, this, &TFormTree::directoryChanged);
    connect(m_filterBox, &QComboBox::currentIndexChanged, this,
        [this](int index) { m_session.runState.treeFileType = std::max(index, 0); });
    connect(m_okButton, &QPushButton::clicked, this, &TFormTree::BOKClick);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void TFormTree::prepare()
{
    setResult(QDialog::Rejected);
    m_filterBox->setCurrentIndex(
        std::clamp(m_session.runState.treeFileType, 0, m_filterBox->count() - 1));
    const std::string programDir = m_session.runState.programDirectory;
    const QString remembered
        = QString::fromStdString(ReadSettingsPath(m_session.settingsFile, "Tree", programDir));
    setDirectory(existingDirectoryOr(remembered, QString::fromStdString(programDir)));
    if (!m_presetDirectory.isEmpty()) {
        setDirectory(m_presetDirectory);
        m_presetDirectory.clear();
    }
    m_directoryList->setFocus();
}

int TFormTree::run()
{
    prepare();
    return execOrScripted(*this, [this] {
        BOKClick();
        return result();
    });
}

void TFormTree::presetDirectory(const QString& dir)
{
    m_presetDirectory = dir;
}

QString TFormTree::directory() const
{
    return withFinalSlash(m_directoryList->directory());
}

void TFormTree::setDirectory(const QString& dir)
{
    m_directoryList->setDirectory(dir);
}

void TFormTree::directoryChanged()
{
    const QString dir = m_directoryList->directory();
    m_driveBox->setCurrentIndex(driveIndexFor(m_drives, dir));
    m_directoryLabel->setPath(dir);
    m_okButton->setEnabled(isChoosableTree(dir));
}

void TFormTree::BOKClick()
{
    if (!isChoosableTree(m_directoryList->directory()))
        return;
    // Remembering the tree is a convenience; a settings file that cannot be written does
    // not stop the selection.
    [[maybe_unused]] const bool remembered
        = WriteSettingsPath(m_session.settingsFile, "Tree", directory().toStdString());
    accept();
}

} // namespace zenkel
