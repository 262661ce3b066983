/// ASCII letter case: tag names, file extensions and style names change case in ASCII only,
/// whatever the locale.
#pragma once

#include <string>
#include <string_view>

namespace zenkel {

/// Upper-cases ASCII letters only.
inline char upperAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

/// Lower-cases ASCII letters only.
inline char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

/// The text with its ASCII letters upper-cased.
inline std::string upperAsciiText(std::string_view text)
{
    std::string upper(text);
    for (char& c : upper)
        c = upperAscii(c);
    return upper;
}

} // namespace zenkel
