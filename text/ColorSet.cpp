/// The editor's colour set and the colour modes.
#include "text/ColorSet.h"

namespace zenkel {

namespace {

constexpr ColorValue Black = RgbColor(0, 0, 0);
constexpr ColorValue Blue = RgbColor(0, 0, 255);
constexpr ColorValue Red = RgbColor(255, 0, 0);
constexpr ColorValue Teal = RgbColor(0, 128, 128);
constexpr ColorValue Silver = RgbColor(192, 192, 192);

// Text, tag, quoted, comment of each mode; mode 1 is the start-up default.
constexpr std::array<ColorSet, 5> ModeColors = {{
    {Black, Blue, Red, Teal},
    {Silver, Blue, Silver, Silver},
    {Silver, Silver, Red, Silver},
    {Black, Silver, Silver, Silver},
    {Silver, Silver, Silver, Teal},
}};

} // namespace

const std::array<ColorModeButton, 5> ColorModeButtons = {{
    {1, "BRepaint1", "<ALT><1>: Repaint Syntax Highlight"},
    {2, "BRepaint2", "<ALT><2>: Emphasize Tags"},
    {3, "BRepaint3", "<ALT><3>: Emphasize quoted strings"},
    {4, "BRepaint4", "<ALT><4>: Emphasize floating text"},
    {5, "BRepaint5", "<ALT><5>: Emphasize comments"},
}};

ColorValue ColorSet::color(ColorClass c) const
{
    switch (c) {
    case ColorClass::Text:
        return TextCol;
    case ColorClass::Tag:
        return TagCol;
    case ColorClass::Quoted:
        return QuotedCol;
    case ColorClass::Comment:
        return CommentCol;
    }
    return TextCol;
}

bool SetColorMode(ColorSet& colors, int mode)
{
    if (mode < 1 || mode > static_cast<int>(ModeColors.size()))
        return false;
    colors = ModeColors[static_cast<std::size_t>(mode - 1)];
    return true;
}

} // namespace zenkel
