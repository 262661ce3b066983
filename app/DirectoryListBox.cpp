/// DirectoryListBox: the directory list of the file and tree dialogs.
#include "app/DirectoryListBox.h"

#include "app/Drives.h"
#include "widgets/WidgetText.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QStyle>
#include <QStyledItemDelegate>

namespace zenkel {

namespace {

constexpr int IndentRole = Qt::UserRole + 1;
constexpr int PathRole = Qt::UserRole;
constexpr int IndentStep = 14;

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
    // From the top, so that the path above the open directory stays in view when it fits,
    // wherever the list was scrolled before.
    scrollToTop();
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

} // namespace zenkel
