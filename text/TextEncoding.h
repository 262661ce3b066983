/// File bytes and the editor's text: the encoding of a file and the conversions both ways.
/// The editor holds UTF-8 with CR LF line ends; a file is UTF-8 or Windows-1252.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zenkel {

enum class FileEncoding
{
    Windows1252,
    Utf8,
};

/// The UTF-8 byte order mark.
inline constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";

struct TextEncoding
{
    FileEncoding kind = FileEncoding::Windows1252;
    bool utf8Bom = false; ///< the file starts with the UTF-8 byte order mark
    friend bool operator==(const TextEncoding&, const TextEncoding&) = default;
};

/// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view bytes);
/// The position of the first byte above 127 at or after from (bytes.size() when there is
/// none); runs of ASCII, most of an HTML text, are passed over eight bytes at a time.
std::size_t firstNonAscii(std::string_view bytes, std::size_t from = 0);

/// A file that is valid UTF-8 and holds a byte above 127 is UTF-8; any other is Windows-1252
/// (so a pure ASCII file counts as Windows-1252).
TextEncoding DetectTextEncoding(std::string_view bytes);

/// The editor text of file bytes: the encoding is detected (and stored in *encoding), the
/// bytes are turned into UTF-8 and every line end (CR LF, lone CR, lone LF) becomes CR LF.
/// A UTF-8 byte order mark is dropped from the text and remembered in the encoding.
/// Windows-1252 bytes that the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become
/// the control characters U+0081 ... so that saving writes them back unchanged.
std::string EditorTextFromFileBytes(std::string_view bytes, TextEncoding* encoding = nullptr);

/// The file bytes of editor text (UTF-8) in the given encoding; every line end is written as
/// CR LF and nothing is added at the end. A character that Windows-1252 cannot hold is written
/// as an HTML numeric character reference ("&#8364;" style, decimal), so no text is lost and
/// the file stays in one encoding.
std::string FileBytesFromEditorText(std::string_view utf8, TextEncoding encoding);

/// Every line end (CR LF, lone CR, lone LF) as CR LF.
std::string NormalizeLineEnds(std::string_view text);

/// The Unicode character that a Windows-1252 byte stands for.
char32_t Windows1252ToUnicode(unsigned char byte);

/// The Windows-1252 byte of a Unicode character, or -1 when the code page has none.
int UnicodeToWindows1252(char32_t cp);

/// The number of UTF-16 code units of UTF-8 text (QString length).
std::size_t Utf16Length(std::string_view utf8);

} // namespace zenkel
