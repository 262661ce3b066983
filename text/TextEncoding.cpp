/// File encodings: detection and the conversions between file bytes and editor text.
#include "text/TextEncoding.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace zenkel {

namespace {

// 0x80 ... 0x9F. The five bytes the code page leaves undefined map to the C1 control
// character of the same number, which keeps them byte for byte through a load and a save.
constexpr std::array<char16_t, 32> HighControlRange = {
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

void appendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

/// Length of the valid UTF-8 sequence at text[i], 0 when it is not valid.
std::size_t utf8SequenceLength(std::string_view text, std::size_t i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char b0 = byte(i);
    if (b0 < 0x80)
        return 1;
    std::size_t len = 0;
    unsigned char lo = 0x80;
    unsigned char hi = 0xBF;
    if (b0 >= 0xC2 && b0 <= 0xDF)
        len = 2;
    else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3;
        if (b0 == 0xE0)
            lo = 0xA0; // no overlong forms
        else if (b0 == 0xED)
            hi = 0x9F; // no surrogates
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4;
        if (b0 == 0xF0)
            lo = 0x90;
        else if (b0 == 0xF4)
            hi = 0x8F; // nothing above U+10FFFF
    } else
        return 0;
    if (i + len > text.size())
        return 0;
    if (byte(i + 1) < lo || byte(i + 1) > hi)
        return 0;
    for (std::size_t k = 2; k < len; ++k)
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF)
            return 0;
    return len;
}

char32_t decodeUtf8At(std::string_view text, std::size_t i, std::size_t len)
{
    const auto byte
        = [&](std::size_t k) { return static_cast<char32_t>(static_cast<unsigned char>(text[k])); };
    switch (len) {
    case 1:
        return byte(i);
    case 2:
        return ((byte(i) & 0x1F) << 6) | (byte(i + 1) & 0x3F);
    case 3:
        return ((byte(i) & 0x0F) << 12) | ((byte(i + 1) & 0x3F) << 6) | (byte(i + 2) & 0x3F);
    default:
        return ((byte(i) & 0x07) << 18) | ((byte(i + 1) & 0x3F) << 12) | ((byte(i + 2) & 0x3F) << 6)
            | (byte(i + 3) & 0x3F);
    }
}

/// Appends text with every line end (CR LF, lone CR, lone LF) as CR LF. Callers split text only
/// at bytes above 127, so a CR LF pair never falls apart between two calls.
void appendNormalized(std::string& out, std::string_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            out += "\r\n";
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else if (c == '\n')
            out += "\r\n";
        else
            out += c;
    }
}

} // namespace

std::size_t firstNonAscii(std::string_view bytes, std::size_t from)
{
    std::size_t i = from;
    std::uint64_t word;
    while (i + sizeof word <= bytes.size()) {
        std::memcpy(&word, bytes.data() + i, sizeof word);
        if ((word & 0x8080808080808080u) != 0)
            break;
        i += sizeof word;
    }
    while (i < bytes.size() && static_cast<unsigned char>(bytes[i]) < 0x80)
        ++i;
    return i;
}

bool IsValidUtf8(std::string_view bytes)
{
    for (std::size_t i = 0; i < bytes.size();) {
        i = firstNonAscii(bytes, i);
        if (i == bytes.size())
            break;
        const std::size_t len = utf8SequenceLength(bytes, i);
        if (len == 0)
            return false;
        i += len;
    }
    return true;
}

TextEncoding DetectTextEncoding(std::string_view bytes)
{
    bool highByte = false;
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) {
            highByte = true;
            break;
        }
    if (!highByte || !IsValidUtf8(bytes))
        return {};
    return {FileEncoding::Utf8, bytes.substr(0, Utf8Bom.size()) == Utf8Bom};
}

char32_t Windows1252ToUnicode(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F)
        return HighControlRange[byte - 0x80];
    return byte;
}

int UnicodeToWindows1252(char32_t cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return static_cast<int>(cp);
    for (std::size_t i = 0; i < HighControlRange.size(); ++i)
        if (HighControlRange[i] == cp)
            return static_cast<int>(0x80 + i);
    return -1;
}

std::string NormalizeLineEnds(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 32);
    appendNormalized(out, text);
    return out;
}

std::string EditorTextFromFileBytes(std::string_view bytes, TextEncoding* encoding)
{
    const TextEncoding detected = DetectTextEncoding(bytes);
    if (encoding)
        *encoding = detected;
    if (detected.kind == FileEncoding::Utf8) {
        if (detected.utf8Bom)
            bytes.remove_prefix(Utf8Bom.size());
        return NormalizeLineEnds(bytes);
    }
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 16);
    std::size_t plainStart = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80)
            continue;
        appendNormalized(out, bytes.substr(plainStart, i - plainStart));
        appendUtf8(out, Windows1252ToUnicode(b));
        plainStart = i + 1;
    }
    appendNormalized(out, bytes.substr(plainStart));
    return out;
}

std::string FileBytesFromEditorText(std::string_view utf8, TextEncoding encoding)
{
    std::string normalized = NormalizeLineEnds(utf8);
    if (encoding.kind == FileEncoding::Utf8) {
        if (encoding.utf8Bom)
            normalized.insert(0, Utf8Bom);
        return normalized;
    }
    std::string out;
    out.reserve(normalized.size());
    for (std::size_t i = 0; i < normalized.size();) {
        const auto b = static_cast<unsigned char>(normalized[i]);
        if (b < 0x80) {
            out += static_cast<char>(b);
            ++i;
            continue;
        }
        const std::size_t len = utf8SequenceLength(normalized, i);
        // A broken sequence cannot come from the editor; write its byte as a reference to
        // U+FFFD rather than pass on invalid bytes.
        const char32_t cp = len == 0 ? 0xFFFD : decodeUtf8At(normalized, i, len);
        i += len == 0 ? 1 : len;
        const int single = UnicodeToWindows1252(cp);
        if (single >= 0)
            out += static_cast<char>(single);
        else
            out += "&#" + std::to_string(static_cast<unsigned long>(cp)) + ";";
    }
    return out;
}

std::size_t Utf16Length(std::string_view utf8)
{
    std::size_t units = 0;
    for (char c : utf8) {
        const auto b = static_cast<unsigned char>(c);
        if ((b & 0xC0) != 0x80)
            ++units;
        if (b >= 0xF0)
            ++units; // a four-byte sequence is a surrogate pair
    }
    return units;
}

} // namespace zenkel
