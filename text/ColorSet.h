/// The editor's colour set: four colour values, one per colour class, and the colour modes.
#pragma once

#include <array>
#include <string_view>

namespace zenkel {

/// A Windows colour value, 0x00BBGGRR.
using ColorValue = int;

/// The four kinds of editor text. The value is also the number of the
/// editor style that shows the class.
enum class ColorClass : unsigned char
{
    Text = 0, ///< everything outside tags and comments
    Tag = 1, ///< from "<" to ">"
    Quoted = 2, ///< a double-quoted string inside a tag
    Comment = 3, ///< from "<!--" to "-->"
};

constexpr int ColorClassCount = 4;

struct ColorSet
{
    ColorValue TextCol = 0;
    ColorValue TagCol = 0xFF0000;
    ColorValue QuotedCol = 0x0000FF;
    ColorValue CommentCol = 0x808000;

    ColorValue color(ColorClass c) const;
    friend bool operator==(const ColorSet&, const ColorSet&) = default;
};

constexpr ColorValue RgbColor(int r, int g, int b)
{
    return (b << 16) | (g << 8) | r;
}
constexpr int RedOf(ColorValue v)
{
    return v & 0xFF;
}
constexpr int GreenOf(ColorValue v)
{
    return (v >> 8) & 0xFF;
}
constexpr int BlueOf(ColorValue v)
{
    return (v >> 16) & 0xFF;
}

/// Sets the colour set to colour mode 1..5. Any other mode changes nothing and gives false.
bool SetColorMode(ColorSet& colors, int mode);

/// The colour-mode button of one mode: its object name and its hint.
struct ColorModeButton
{
    int mode;
    std::string_view name;
    std::string_view hint;
};

/// BRepaint1 ... BRepaint5 in mode order; the window puts `mode` into the button's Tag.
extern const std::array<ColorModeButton, 5> ColorModeButtons;

} // namespace zenkel
