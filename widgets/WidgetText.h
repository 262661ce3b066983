/// Small conversions every window needs: std::string to QString, the program's title and
/// Windows colour values as QColor.
#pragma once

#include <QColor>
#include <QString>

#include <string>

namespace zenkel {

/// UTF-8 bytes (paths, messages of the core) as a QString.
inline QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

/// "Zenkel HTML v3.5d " with its final blank: the caption of the main window and of every
/// message box.
QString programTitle();

/// A Windows colour value (0x00BBGGRR) as a QColor.
QColor windowsColor(int bgr);

} // namespace zenkel
