/// FileListBox: the file list of the file dialog.
#pragma once

#include <QListWidget>
#include <QString>
#include <QStringList>

namespace zenkel {

/// The file list: plain files of one directory that match the masks, in three columns.
class FileListBox : public QListWidget
{
    Q_OBJECT

public:
    explicit FileListBox(QWidget* parent = nullptr);
    /// Lists directory's ordinary files (no hidden ones, no devices) of the file type (an
    /// index of the file-type table).
    void showFiles(const QString& directory, int fileType);
    /// Names of the selected files in list order.
    QStringList selectedNames() const;
    /// Selects the files of these names (others are deselected); false when one is missing.
    bool selectNames(const QStringList& names);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void fitColumns();
};

} // namespace zenkel
