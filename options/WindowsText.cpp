/// Texts between the style's records and the window's widgets.
#include "options/WindowsText.h"

#include "engine/DocLine.h"

#include <QFile>
#include <QStringDecoder>

#include <array>

namespace zenkel {

namespace {

/// The characters of the bytes 0x80 to 0x9F; the five bytes the code page leaves undefined
/// keep their control characters, so a round trip gives them back unchanged.
constexpr std::array<char16_t, 32> HighRange = {
    0x20AC,
    0x0081,
    0x201A,
    0x0192,
    0x201E,
    0x2026,
    0x2020,
    0x2021,
    0x02C6,
    0x2030,
    0x0160,
    0x2039,
    0x0152,
    0x008D,
    0x017D,
    0x008F,
    0x0090,
    0x2018,
    0x2019,
    0x201C,
    0x201D,
    0x2022,
    0x2013,
    0x2014,
    0x02DC,
    0x2122,
    0x0161,
    0x203A,
    0x0153,
    0x009D,
    0x017E,
    0x0178,
};

char windows1252Of(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (std::size_t i = 0; i < HighRange.size(); ++i) {
        if (HighRange[i] == c)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

} // namespace

QString programTitleText()
{
    return QString::fromLatin1(ProgramTitle.data(), static_cast<qsizetype>(ProgramTitle.size()));
}

QString fromWindows1252(std::string_view bytes)
{
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (const char byte : bytes) {
        const auto b = static_cast<unsigned char>(byte);
        text += QChar(b >= 0x80 && b <= 0x9F ? HighRange[b - 0x80] : char16_t(b));
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
        bytes += windows1252Of(c.unicode());
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

QColor colorFromWindows(int bgr)
{
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
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
