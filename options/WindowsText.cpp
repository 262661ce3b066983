/// Texts between the style's records and the window's widgets.
#include "options/WindowsText.h"

#include "text/TextEncoding.h"

#include <QFile>
#include <QStringDecoder>

namespace zenkel {

QString fromWindows1252(std::string_view bytes)
{
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (const char byte : bytes) {
        const auto b = static_cast<unsigned char>(byte);
        text += QChar(static_cast<char16_t>(Windows1252ToUnicode(b)));
    }
    return text;
}

std::string toWindows1252(const QString& text)
{
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        // A character outside the basic plane is one '?', not two.
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        const int single = UnicodeToWindows1252(c.unicode());
        bytes += single >= 0 ? static_cast<char>(single) : '?';
    }
    return bytes;
}

QString messageText(const std::string& crLfText)
{
    QString text = fromWindows1252(crLfText);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return text;
}

QString fromFileName(const std::string& name)
{
    return QFile::decodeName(QByteArray::fromStdString(name));
}

std::string toFileName(const QString& name)
{
    return QFile::encodeName(name).toStdString();
}

QString previewTextFromBytes(std::string_view bytes)
{
    const QByteArray data(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(data);
    if (utf8.hasError())
        text = fromWindows1252(bytes);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

} // namespace zenkel
