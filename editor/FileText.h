/// Editor text and files: the QString helper pair over the file encodings, and reading and
/// writing the editor's file.
#pragma once

#include "text/TextEncoding.h"

#include <QString>

#include <string>
#include <string_view>

namespace zenkel {

class RichEdit;

/// The editor text of file bytes (line ends as CR LF); *encoding gets the file's encoding
/// (UTF-8 when the bytes are valid UTF-8 with a byte above 127, else Windows-1252).
QString TextFromFileBytes(std::string_view bytes, TextEncoding* encoding = nullptr);

/// The file bytes of editor text in encoding: line ends as CR LF; in a Windows-1252 file a
/// character the code page cannot hold is written as "&#NNNN;".
std::string FileBytesFromText(const QString& text, TextEncoding encoding);

/// Reads a whole file. False and a message naming the file when it cannot be read.
[[nodiscard]] bool ReadFileBytes(const QString& path, std::string& bytes, QString* error = nullptr);

/// Writes the editor's text to path in the editor's encoding, through a temporary sibling that
/// is renamed over the file, so a failed write leaves the old file. False and a message naming
/// the file on failure; the editor and its modified flag are left alone either way.
[[nodiscard]] bool SaveREToFile(
    const RichEdit& editor, const QString& path, QString* error = nullptr);

} // namespace zenkel
