/// FileListBox: the file list of the file dialog.
#include "app/FileListBox.h"

#include "batch/FileTypes.h"
#include "widgets/WidgetText.h"

#include <QDir>
#include <QFileInfo>
#include <QStyle>

#include <algorithm>

namespace zenkel {

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
    // Names are shown whole: similar long names must be told apart.
    setTextElideMode(Qt::ElideNone);
    applyHighlightColours(*this);
}

void FileListBox::showFiles(const QString& directory, int fileType)
{
    setUpdatesEnabled(false);
    clear();
    const QIcon icon = style()->standardIcon(QStyle::SP_FileIcon);
    // Without QDir::Hidden and QDir::System: no dot files, devices, pipes or sockets.
    const QFileInfoList entries
        = QDir(directory).entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& entry : entries) {
        if (!MatchesTypeFilter(entry.fileName().toStdString(), fileType))
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
    // Three columns across the visible width, each at least as wide as the longest name;
    // more columns scroll sideways.
    int longest = 0;
    for (int row = 0; row < count(); ++row)
        longest = std::max(longest, fontMetrics().horizontalAdvance(item(row)->text()));
    const int nameWidth = longest + iconSize().width() + 16;
    const int columnWidth = std::max({60, viewport()->width() / 3 - 2, nameWidth});
    const int rowHeight = std::max(fontMetrics().height(), iconSize().height()) + 4;
    setGridSize(QSize(columnWidth, rowHeight));
}

} // namespace zenkel
