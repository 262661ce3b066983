/// Small text operations shared by the scanner, formatter and trimmer.
#include "engine/TextOps.h"

#include "engine/TagTable.h"
#include "text/TextEncoding.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace zenkel {

namespace {

constexpr char lowerTagChar(char c)
{
    if (c >= 'A' && c <= 'Z')
        return static_cast<char>(c - 'A' + 'a');
    switch (static_cast<unsigned char>(c)) {
    case 196:
        return static_cast<char>(228); // Ä
    case 214:
        return static_cast<char>(246); // Ö
    case 220:
        return static_cast<char>(252); // Ü
    default:
        return c;
    }
}

/// Each character as it appears in a key: key characters upper-cased, 0 for all others.
constexpr std::array<char, 256> KeyChars = [] {
    std::array<char, 256> chars {};
    for (int c = 0; c < 256; ++c) {
        if (isKeyChar(static_cast<char>(c)))
            chars[c] = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
    return chars;
}();

/// The fixed keys of comments and server scripts, or an empty view for other tags.
std::string_view fixedKey(std::string_view tagText)
{
    if (tagText.size() > 1 && (tagText[1] == '!' || tagText[1] == '%')) {
        if (tagText.starts_with("<!--~"))
            return "<!--~";
        if (tagText.starts_with("<!--"))
            return "<!--";
        if (tagText.starts_with("<%"))
            return "<%";
    }
    return {};
}

/// The key characters of tagText (at most maxLength of them) into out, followed by the end
/// mark unless they run to the end of tagText; returns the key's length.
std::size_t writeKey(std::string_view tagText, std::size_t maxLength, char* out)
{
    const std::size_t limit = std::min(tagText.size(), maxLength);
    std::size_t n = 0;
    for (; n < limit; ++n) {
        const char k = KeyChars[static_cast<unsigned char>(tagText[n])];
        if (k == 0)
            break;
        out[n] = k;
    }
    if (n == tagText.size())
        return n;
    // A key that would be longer than any useful key gets a character that no table,
    // marker or trim list holds.
    out[n] = KeyChars[static_cast<unsigned char>(tagText[n])] != 0 ? '\x01' : '>';
    return n + 1;
}

} // namespace

void keyInto(std::string_view tagText, std::string& key, std::size_t maxLength)
{
    if (const std::string_view fixed = fixedKey(tagText); !fixed.empty()) {
        key = fixed;
        return;
    }
    // Sized for the longest key first, written in place, then cut to the key.
    key.resize(std::min(tagText.size(), maxLength) + 1);
    key.resize(writeKey(tagText, maxLength, key.data()));
}

std::string_view keyInBuffer(std::string_view tagText, KeyBuffer& buffer)
{
    if (const std::string_view fixed = fixedKey(tagText); !fixed.empty())
        return fixed;
    return {buffer.data(), writeKey(tagText, MaxUsefulKeyLength, buffer.data())};
}

bool isUtf8Text(std::string_view text)
{
    // The ASCII in front of the first high byte is valid UTF-8 and need not be checked again.
    const std::size_t i = firstNonAscii(text);
    return i < text.size() && IsValidUtf8(text.substr(i));
}

const std::array<char, 256>& tagNameCaseMap(int tagCase)
{
    static constexpr auto maps = [] {
        std::array<std::array<char, 256>, 3> m {};
        for (int c = 0; c < 256; ++c) {
            const char ch = static_cast<char>(c);
            m[0][c] = ch;
            m[1][c] = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : ch;
            m[2][c] = lowerTagChar(ch);
        }
        return m;
    }();
    return maps[tagCase == 1 || tagCase == 2 ? tagCase : 0];
}

void convertTagNameCase(std::string& text, std::size_t lt, int tagCase)
{
    if (tagCase != 1 && tagCase != 2)
        return;
    // Processing instructions such as <?xml ...?> are case-sensitive.
    if (lt + 1 < text.size() && text[lt + 1] == '?')
        return;
    const std::array<char, 256>& map = tagNameCaseMap(tagCase);
    for (std::size_t i = lt; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ' ' || c == '"' || c == '>')
            return;
        text[i] = map[static_cast<unsigned char>(c)];
    }
}

void collapseBlanks(std::string& text)
{
    std::size_t out = 0;
    bool lastBlank = false;
    for (char c : text) {
        if (c == '\t')
            c = ' ';
        if (c == ' ' && lastBlank)
            continue;
        lastBlank = c == ' ';
        text[out++] = c;
    }
    text.resize(out);
}

void tidyBrackets(std::string& text, std::size_t from)
{
    const bool endsInBlank = text.size() > from && text.back() == ' ';
    std::size_t begin = from;
    std::size_t end = text.size();
    auto trimBlanks = [&]() {
        while (begin < end && text[begin] == ' ')
            ++begin;
        while (end > begin && text[end - 1] == ' ')
            --end;
    };
    trimBlanks();
    while (begin < end && text[begin] == '<')
        ++begin;
    while (end > begin && text[end - 1] == '>')
        --end;
    trimBlanks();
    // In place: "<" + text[begin, end) + ">" (+ " ").
    const std::size_t length = end - begin;
    if (begin == from) {
        text.resize(std::max(text.size(), from + length + 1));
        std::memmove(text.data() + from + 1, text.data() + from, length);
    } else if (begin > from + 1) {
        std::memmove(text.data() + from + 1, text.data() + begin, length);
    }
    text[from] = '<';
    text.resize(from + length + 1);
    text += '>';
    if (endsInBlank)
        text += ' ';
}

std::size_t findNoCase(std::string_view text, std::string_view needle, std::size_t from)
{
    if (needle.empty())
        return from <= text.size() ? from : std::string_view::npos;
    const char first = needle[0];
    const char firstUpper = upperAscii(first);
    const bool firstIsLetter = firstUpper != lowerTagChar(firstUpper);
    while (from + needle.size() <= text.size()) {
        std::size_t pos;
        if (firstIsLetter) {
            pos = from;
            while (pos < text.size() && upperAscii(text[pos]) != firstUpper)
                ++pos;
            if (pos == text.size())
                return std::string_view::npos;
        } else {
            const void* hit = std::memchr(text.data() + from, first, text.size() - from);
            if (!hit)
                return std::string_view::npos;
            pos = static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
        }
        if (pos + needle.size() > text.size())
            return std::string_view::npos;
        bool match = true;
        for (std::size_t k = 1; k < needle.size(); ++k) {
            if (upperAscii(text[pos + k]) != upperAscii(needle[k])) {
                match = false;
                break;
            }
        }
        if (match)
            return pos;
        from = pos + 1;
    }
    return std::string_view::npos;
}

} // namespace zenkel
