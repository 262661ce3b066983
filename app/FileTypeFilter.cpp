/// The filter box of the file and tree dialogs.
#include "app/FileTypeFilter.h"

#include "batch/FileTypes.h"

namespace zenkel {

QStringList fileTypeFilterTexts()
{
    QStringList texts;
    for (const FileType& type : FileTypes)
        texts.append(QString::fromLatin1(type.description.data(), type.description.size())
            + QStringLiteral("  (") + QString::fromLatin1(type.masks.data(), type.masks.size())
            + QLatin1Char(')'));
    return texts;
}

} // namespace zenkel
