/// Small conversions every window needs: std::string to QString, the program's title and
/// Windows colour values as QColor.
#pragma once

#include <QColor>
#include <QString>

class QWidget;

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

/// The two highlight colours of the dialogs, as 0x00BBGGRR colour values: a light cream
/// (the lists' background) and a light pink (the selection).
constexpr int HighlightCream = 15137791;
constexpr int HighlightPink = 13816575;
/// Gives a list the dialogs' colours: cream background, pink selection with black text.
void applyHighlightColours(QWidget& list);

} // namespace zenkel
