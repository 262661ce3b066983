/// Texts between the style's records (Windows-1252 bytes, as the style files hold them) and
/// the window's widgets.
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace zenkel {

/// Windows-1252 bytes as a QString.
QString fromWindows1252(std::string_view bytes);
/// A QString as Windows-1252 bytes; a character the code page cannot hold becomes '?'.
std::string toWindows1252(const QString& text);

/// A message with CR LF line breaks (Windows-1252) as a message box shows it: '\n' breaks.
QString messageText(const std::string& crLfText);

/// A file name or style name as the file system spells it, and back.
QString fromFileName(const std::string& name);
std::string toFileName(const QString& name);

/// The text of a sample file for the preview pane: UTF-8 when the bytes are valid UTF-8,
/// Windows-1252 otherwise; line ends as '\n'.
QString previewTextFromBytes(std::string_view bytes);

} // namespace zenkel
