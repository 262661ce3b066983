/// The filter box of the file and tree dialogs.
#include "app/FileMasks.h"

#include "batch/RunState.h"

#include <QRegularExpression>

namespace zenkel {

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

} // namespace zenkel
