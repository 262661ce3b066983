/// The filter box of the file and tree dialogs: file-type choices and file-name masks.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace zenkel {

/// One choice of the filter box: its description and its masks ("*.htm").
struct FileTypeChoice
{
    QString description;
    QStringList masks;
};
/// The six choices of the file-type list, in order (their index is the tree file type).
QList<FileTypeChoice> fileTypeChoices();

/// Wildcard match of a file name against one mask, in any letter case. As with short file
/// names, a mask ending in a dot and three plain letters ("*.htm") also admits longer
/// extensions that begin with them ("a.html").
bool matchesFileMask(const QString& name, const QString& mask);
bool matchesAnyFileMask(const QString& name, const QStringList& masks);

} // namespace zenkel
