/// The rules of typing-time colouring that need no editor: the caret snapshot, the colour of a
/// typed character and when a change repaints the tag at the caret.
#pragma once

#include "text/ColorSet.h"

namespace zenkel {

/// A snapshot of the editor around one position (0-based, CR LF = 2).
struct CaretInfo
{
    int line = 0;
    int column = 0; ///< position minus line start
    int lineStart = 0;
    int lineLength = 0; ///< without the line break
    int lineEnd = 0; ///< line start plus line length
    int position = 0;
    ColorValue color = 0; ///< colour of an empty selection here: that of the character before
    char16_t ch = 0; ///< the character before the position; 0 when there is none
};

/// The key state code shared by the editor's key and change handlers: one of these, or the
/// character code of a markup character just typed.
namespace KeyState {
constexpr int None = 0;
constexpr int CtrlCombination = 1;
constexpr int Backspace = 8;
constexpr int Paste = 22;
constexpr int Cut = 24;
constexpr int Delete = 46;
} // namespace KeyState

/// One of ! " - < >, the characters whose typing or deletion repaints the tag at the caret.
bool IsMarkupChar(char16_t c);

/// The colour of the typed character k from snapshot a (before the caret) and b (after it):
/// the first of the ten rules that applies.
ColorValue ChooseTypedColor(
    char16_t k, const CaretInfo& a, const CaretInfo& b, const ColorSet& colors);

/// Whether the change after a key with this key state code repaints the tag at the caret:
/// Backspace that deleted a markup character (a.ch), Delete that deleted one (b.ch), or a
/// typed markup character.
bool ChangeNeedsRepaint(int keyStateCode, const CaretInfo& a, const CaretInfo& b);

} // namespace zenkel
