/// DirectoryListBox: the directory list of the file and tree dialogs.
#pragma once

#include <QListWidget>
#include <QString>

namespace zenkel {

/// The directory list: the path from the root down to the open directory, then the open
/// directory's sub-directories (hidden ones left out). A single click (or Space) opens the
/// clicked directory.
class DirectoryListBox : public QListWidget
{
    Q_OBJECT

public:
    explicit DirectoryListBox(QWidget* parent = nullptr);
    /// Opens dir, or its nearest existing parent when dir does not exist.
    void setDirectory(const QString& dir);
    /// The open directory, without a final '/' (the root is "/").
    QString directory() const { return m_directory; }
    /// Reads the open directory again from the disk.
    void refresh();

signals:
    void directoryChanged(const QString& dir);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void openItem(QListWidgetItem* item);
    QString m_directory;
};

} // namespace zenkel
