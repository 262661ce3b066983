/// The drive box of the file and tree dialogs, and the directory paths it works with.
#include "app/Drives.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>

namespace zenkel {

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

} // namespace zenkel
