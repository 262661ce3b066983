/// Editor text and files: encodings in both directions, reading and writing the editor's file.
#include "editor/FileText.h"

#include "base/SafeFile.h"
#include "editor/RichEdit.h"

#include <QFile>

#include <filesystem>
#include <fstream>

namespace zenkel {

QString TextFromFileBytes(std::string_view bytes, TextEncoding* encoding)
{
    const std::string utf8 = EditorTextFromFileBytes(bytes, encoding);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string FileBytesFromText(const QString& text, TextEncoding encoding)
{
    const QByteArray utf8 = text.toUtf8();
    return FileBytesFromEditorText(
        std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())), encoding);
}

bool ReadFileBytes(const QString& path, std::string& bytes, QString* error)
{
    const QByteArray native = QFile::encodeName(path);
    const std::filesystem::path fsPath(native.toStdString());
    std::error_code ec;
    const bool regular = std::filesystem::is_regular_file(fsPath, ec);
    std::ifstream in;
    if (regular)
        in.open(fsPath, std::ios::binary);
    if (!regular || !in) {
        if (error)
            *error = QStringLiteral("Cannot read file: %1").arg(path);
        return false;
    }
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    in.seekg(0, std::ios::beg);
    bytes.assign(size > 0 ? static_cast<std::size_t>(size) : 0, '\0');
    if (size > 0 && !in.read(bytes.data(), size)) {
        bytes.clear();
        if (error)
            *error = QStringLiteral("Cannot read file: %1").arg(path);
        return false;
    }
    return true;
}

bool SaveREToFile(const RichEdit& editor, const QString& path, QString* error)
{
    std::string message;
    if (writeFileSafely(QFile::encodeName(path).toStdString(), editor.fileBytes(), &message))
        return true;
    if (error)
        *error = QString::fromStdString(message);
    return false;
}

} // namespace zenkel
