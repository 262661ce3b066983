/// StartupMarker: marks the start-up phase of the program.
#include "app/StartupMarker.h"

#include "engine/DocLine.h"

#include <QDir>
#include <QFile>

namespace zenkel {

QString StartupMarker::path()
{
    // The user's runtime directory where there is one; asking Qt for it warns when not.
    QString dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (dir.isEmpty() || !QDir(dir).exists())
        dir = QDir::tempPath() + "/zenkel-html-" + qEnvironmentVariable("USER", "user");
    QDir().mkpath(dir);
    return dir + "/" + QString::fromLatin1(ProgramTitle.data(), ProgramTitle.size()) + " .starting";
}

bool StartupMarker::exists()
{
    return QFile::exists(path());
}

void StartupMarker::add()
{
    if (exists())
        return;
    QFile marker(path());
    if (marker.open(QIODevice::WriteOnly))
        marker.close();
}

void StartupMarker::remove()
{
    if (exists())
        QFile::remove(path());
}

} // namespace zenkel
