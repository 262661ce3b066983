/// TFormFile: the file dialog, in select mode and in save mode, and the pieces it shares with
/// the tree, found-files and confirmation dialogs.
#include "app/TFormFile.h"

#include "batch/FileJob.h"
#include "batch/RunState.h"
#include "batch/Session.h"
#include "style/ProgramSettings.h"
#include "widgets/Prompter.h"
#include "widgets/TiledPanel.h"
#include "widgets/WidgetText.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QStorageInfo>
#include <QStyle>
#include <QStyledItemDelegate>

#include <algorithm>

namespace zenkel {

namespace {

constexpr int IndentRole = Qt::UserRole + 1;
constexpr int PathRole = Qt::UserRole;
constexpr int IndentStep = 14;

QString fromStd(const std::string& text)
{
    return QString::fromStdString(text);
}

std::string toStd(const QString& text)
{
    return text.toStdString();
}

/// Indents the entries of the directory list by their depth below the root.
class IndentDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
        const QModelIndex& index) const override
    {
        QStyleOptionViewItem indented(option);
        indented.rect.adjust(indentOf(index), 0, 0, 0);
        QStyledItemDelegate::paint(painter, indented, index);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.rwidth() += indentOf(index);
        return size;
    }

private:
    static int indentOf(const QModelIndex& index)
    {
        return index.data(IndentRole).toInt() * IndentStep;
    }
};

} // namespace

// ---- shared pieces ---------------------------------------------------------------------

void applyHighlightColours(QWidget& list)
{
    QPalette palette = list.palette();
    palette.setColor(QPalette::Base, windowsColor(HighlightCream));
    palette.setColor(QPalette::Highlight, windowsColor(HighlightPink));
    palette.setColor(QPalette::HighlightedText, Qt::black);
    list.setPalette(palette);
}

QList<FileTypeChoice> fileTypeChoices()
{
    const QStringList parts = QString::fromLatin1(FileTypeList).split(QLatin1Char('|'));
    QList<FileTypeChoice> choices;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        choices.append({parts[i], parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)});
    return choices;
}

bool matchesFileMask(const QString& name, const QString& mask)
{
    static const QRegularExpression shortExtensionMask(QStringLiteral("^\\*\\.[^*?.]{3}$"));
    if (shortExtensionMask.match(mask).hasMatch()) {
        const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
        return dot >= 0 && name.mid(dot + 1).startsWith(mask.mid(2), Qt::CaseInsensitive);
    }
    return QRegularExpression::fromWildcard(mask, Qt::CaseInsensitive).match(name).hasMatch();
}

bool matchesAnyFileMask(const QString& name, const QStringList& masks)
{
    for (const QString& mask : masks) {
        if (matchesFileMask(name, mask))
            return true;
    }
    return false;
}

QString withoutFinalSlash(const QString& dir)
{
    QString result = dir;
    while (result.size() > 1 && result.endsWith(QLatin1Char('/')))
        result.chop(1);
    return result;
}

QString withFinalSlash(const QString& dir)
{
    const QString bare = withoutFinalSlash(dir);
    return bare == QLatin1String("/") ? bare : bare + QLatin1Char('/');
}

QString existingDirectoryOr(const QString& dir, const QString& fallback)
{
    return !dir.isEmpty() && QFileInfo(dir).isDir() ? dir : fallback;
}

QStringList driveChoices()
{
    QStringList drives {QStringLiteral("/")};
    const QString home = withoutFinalSlash(QDir::homePath());
    if (home != QLatin1String("/"))
        drives.append(home);
    static const QStringList volumePlaces {
        QStringLiteral("/media/"), QStringLiteral("/mnt/"), QStringLiteral("/run/media/")};
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString root = withoutFinalSlash(volume.rootPath());
        const bool userVolume = std::any_of(volumePlaces.begin(), volumePlaces.end(),
            [&](const QString& place) { return root.startsWith(place); });
        if (userVolume && volume.isValid() && volume.isReady() && !drives.contains(root))
            drives.append(root);
    }
    return drives;
}

int driveIndexFor(const QStringList& drives, const QString& dir)
{
    const QString bare = withoutFinalSlash(dir);
    int best = 0;
    qsizetype bestLength = -1;
    for (int i = 0; i < drives.size(); ++i) {
        const QString drive = withoutFinalSlash(drives[i]);
        const bool holds = bare == drive || bare.startsWith(withFinalSlash(drive));
        if (holds && drive.size() > bestLength) {
            best = i;
            bestLength = drive.size();
        }
    }
    return best;
}

// ---- DirectoryListBox ------------------------------------------------------------------

DirectoryListBox::DirectoryListBox(QWidget* parent)
    : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setItemDelegate(new IndentDelegate(this));
    applyHighlightColours(*this);
    // Queued: the clicked entry is deleted when the list is rebuilt for the new directory.
    connect(
        this, &QListWidget::itemClicked, this, &DirectoryListBox::openItem, Qt::QueuedConnection);
}

void DirectoryListBox::setDirectory(const QString& dir)
{
    QString path = QDir::cleanPath(QDir(dir.isEmpty() ? QDir::homePath() : dir).absolutePath());
    while (path != QLatin1String("/") && !QFileInfo(path).isDir())
        path = QFileInfo(path).path();
    m_directory = path;
    refresh();
    emit directoryChanged(m_directory);
}

void DirectoryListBox::refresh()
{
    setUpdatesEnabled(false);
    clear();
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    const QStringList parts = m_directory.split(QLatin1Char('/'), Qt::SkipEmptyParts);

    auto addEntry = [&](const QString& text, const QString& path, int level, const QIcon& icon) {
        auto* item = new QListWidgetItem(icon, text, this);
        item->setData(PathRole, path);
        item->setData(IndentRole, level);
        return item;
    };
    QListWidgetItem* current = addEntry(QStringLiteral("/"), QStringLiteral("/"), 0, openIcon);
    QString path;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        path += QLatin1Char('/') + parts[i];
        current = addEntry(parts[i], path, static_cast<int>(i + 1), openIcon);
    }
    const QStringList children
        = QDir(m_directory)
              .entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& child : children)
        addEntry(child, withFinalSlash(m_directory) + child, static_cast<int>(parts.size() + 1),
            closedIcon);
    setCurrentItem(current);
    setUpdatesEnabled(true);
    scrollToItem(current);
}

void DirectoryListBox::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
        openItem(currentItem());
        return;
    }
    QListWidget::keyPressEvent(event);
}

void DirectoryListBox::openItem(QListWidgetItem* item)
{
    if (item)
        setDirectory(item->data(PathRole).toString());
}

// ---- PathLabel -------------------------------------------------------------------------

PathLabel::PathLabel(QWidget* parent)
    : QLabel(parent)
{ }

void PathLabel::setPath(const QString& path)
{
    m_path = path;
    setToolTip(path);
    showElided();
}

QSize PathLabel::minimumSizeHint() const
{
    return QSize(60, QLabel::minimumSizeHint().height());
}

QSize PathLabel::sizeHint() const
{
    return minimumSizeHint();
}

void PathLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    showElided();
}

void PathLabel::showElided()
{
    setText(fontMetrics().elidedText(m_path, Qt::ElideLeft, std::max(0, contentsRect().width())));
}

// ---- FileListBox -----------------------------------------------------------------------

FileListBox::FileListBox(QWidget* parent)
    : QListWidget(parent)
{
    setViewMode(QListView::ListMode);
    setFlow(QListView::TopToBottom);
    setWrapping(true);
    // Columns flow top to bottom and scroll sideways; a vertical bar would never move.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setResizeMode(QListView::Adjust);
    setUniformItemSizes(true);
    setTextElideMode(Qt::ElideMiddle);
    applyHighlightColours(*this);
}

void FileListBox::showFiles(const QString& directory, const QStringList& masks)
{
    setUpdatesEnabled(false);
    clear();
    const QIcon icon = style()->standardIcon(QStyle::SP_FileIcon);
    // Without QDir::Hidden and QDir::System: no dot files, devices, pipes or sockets.
    const QFileInfoList entries
        = QDir(directory).entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& entry : entries) {
        if (!matchesAnyFileMask(entry.fileName(), masks))
            continue;
        auto* item = new QListWidgetItem(icon, entry.fileName(), this);
        item->setToolTip(entry.fileName());
    }
    fitColumns();
    setUpdatesEnabled(true);
}

QStringList FileListBox::selectedNames() const
{
    QStringList names;
    for (int row = 0; row < count(); ++row) {
        if (item(row)->isSelected())
            names.append(item(row)->text());
    }
    return names;
}

bool FileListBox::selectNames(const QStringList& names)
{
    clearSelection();
    bool all = true;
    for (const QString& name : names) {
        const QList<QListWidgetItem*> found = findItems(name, Qt::MatchExactly);
        if (found.isEmpty()) {
            all = false;
            continue;
        }
        if (selectionMode() == QAbstractItemView::SingleSelection)
            setCurrentItem(found.first());
        found.first()->setSelected(true);
    }
    return all;
}

void FileListBox::resizeEvent(QResizeEvent* event)
{
    QListWidget::resizeEvent(event);
    fitColumns();
}

void FileListBox::fitColumns()
{
    // Three columns across the visible width; more columns scroll sideways.
    const int columnWidth = std::max(60, viewport()->width() / 3 - 2);
    const int rowHeight = std::max(fontMetrics().height(), iconSize().height()) + 4;
    setGridSize(QSize(columnWidth, rowHeight));
}

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
    for (const FileTypeChoice& choice : fileTypeChoices())
        m_filterBox->addItem(choice.description + QStringLiteral("  (")
            + choice.masks.join(QLatin1Char(';')) + QLatin1Char(')'));
    m_driveBox = named(new QComboBox(this), "DriveComboBox1");
    m_drives = driveChoices();
    m_driveBox->addItems(m_drives);
    // Long mount paths and filter texts must not stretch the dialog.
    for (QComboBox* box : {m_filterBox, m_driveBox}) {
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(18);
    }
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
    const QList<FileTypeChoice> choices = fileTypeChoices();
    const int index = std::clamp(m_filterBox->currentIndex(), 0, int(choices.size()) - 1);
    m_fileList->showFiles(m_directoryList->directory(), choices[index].masks);
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
