/// Small text operations shared by the scanner, formatter and trimmer.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace zenkel {

/// Keys longer than this can match no table entry, block marker or trim key; computing them
/// further is wasted work, so keyInto() stops there with a key that matches nothing.
constexpr std::size_t MaxUsefulKeyLength = 120;

/// A character that a tag key keeps (upper-cased); the first other one ends the key.
constexpr bool isKeyChar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '<'
        || c == '/' || c == '%';
}

/// TagKey() into a reused buffer, cut short for keys that cannot match anything.
void keyInto(
    std::string_view tagText, std::string& key, std::size_t maxLength = MaxUsefulKeyLength);

/// Room for any key that keyInBuffer() gives: the key characters and the end mark.
using KeyBuffer = std::array<char, MaxUsefulKeyLength + 1>;

/// keyInto() with the default length, into a fixed buffer: no allocation or resizing per tag.
/// The key is a view of buffer (or of a constant).
std::string_view keyInBuffer(std::string_view tagText, KeyBuffer& buffer);

/// Converts the case of the tag name that starts at text[lt] (a "<"): every character up to
/// the first blank, double quote or ">" is upper-cased (tagCase 1) or lower-cased (tagCase 2,
/// which also maps the Windows-1252 letters Ä, Ö, Ü to ä, ö, ü). A tag that begins with "<?"
/// keeps its case.
void convertTagNameCase(std::string& text, std::size_t lt, int tagCase);
/// Each character as convertTagNameCase makes it in a tag name: kept (any tagCase but 1 and
/// 2), upper-cased (1) or lower-cased (2).
const std::array<char, 256>& tagNameCaseMap(int tagCase);

/// Turns TABs into blanks and every run of blanks into one blank, in place.
void collapseBlanks(std::string& text);

/// "< a  href=x >" -> "<a href=x>": blanks cut at both ends, all "<" in front and ">" at the
/// end replaced by one each; a trailing blank survives as one blank. Works on the tag that
/// runs from text[from] to the end of text.
void tidyBrackets(std::string& text, std::size_t from = 0);

/// Position of needle in text at or after from, ASCII letters compared without regard to
/// case; npos when missing.
std::size_t findNoCase(std::string_view text, std::string_view needle, std::size_t from);

/// The number of characters of text: its bytes, or in UTF-8 text the bytes that are not
/// continuation bytes.
inline std::size_t characterCount(std::string_view text, bool utf8)
{
    if (!utf8)
        return text.size();
    std::size_t n = 0;
    for (char c : text)
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

/// True when text holds a byte above 127 and is valid UTF-8 (the editor's test for a UTF-8
/// file); its lengths are then counted in characters, not bytes.
bool isUtf8Text(std::string_view text);

inline bool isLayoutBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

/// Removes trailing blanks (not TABs).
inline void trimTrailingBlanks(std::string& line)
{
    std::size_t n = line.size();
    while (n > 0 && line[n - 1] == ' ')
        --n;
    line.resize(n);
}

} // namespace zenkel
