/// The drive box of the file and tree dialogs, and the directory paths it works with.
#pragma once

#include <QString>
#include <QStringList>

namespace zenkel {

/// A directory path without a final '/' (the root stays "/").
QString withoutFinalSlash(const QString& dir);
/// A directory path with exactly one final '/'.
QString withFinalSlash(const QString& dir);
/// dir when it exists as a directory, else fallback: a remembered directory may be gone.
QString existingDirectoryOr(const QString& dir, const QString& fallback);

/// The "drives" of the drive box: the root, the home directory and volumes mounted below
/// /media, /mnt and /run/media.
QStringList driveChoices();
/// The index of the drive whose path is the longest prefix of dir (0, the root, at least).
int driveIndexFor(const QStringList& drives, const QString& dir);

} // namespace zenkel
