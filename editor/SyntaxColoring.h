/// Whole-text colouring of the editor: coloured text streamed in, the coloured load of a file,
/// the repaint, the colour modes and the coloured paste.
#pragma once

#include "text/ColorSet.h"

#include <QString>

namespace zenkel {

class RichEdit;

/// Replaces the selection (with no selection: inserts at the caret) or, with replaceAll, the
/// whole text by text coloured by its colour classes (line ends become CR LF). Empty text
/// changes nothing. The modified flag keeps its value; the caret ends at the start of the
/// inserted text, or with replaceAll at its old position.
void StreamColoredText(RichEdit& editor, const QString& text, bool replaceAll);

/// Loads the file as the editor's whole text: its encoding is detected and kept for saving,
/// and it is coloured when the editor's DoColorTags is on and the run is not unattended.
/// Default and insertion colour become the text colour, the caret goes to 0 and the editor
/// gets the focus when it is visible. The modified flag is left to the caller. A file that
/// cannot be read leaves the editor as it was and gives false with a message naming it.
[[nodiscard]] bool LoadREFromFile(
    RichEdit& editor, const QString& path, QString* error = nullptr, bool unattended = false);

/// Cancel All: replaces the whole text by the file's text (read and coloured as a load does)
/// as one step that Undo takes back. Caret and first visible line stay where they were;
/// the modified flag is left to the caller. A file that cannot be read changes nothing and
/// gives false with a message naming it.
[[nodiscard]] bool RevertREToFile(RichEdit& editor, const QString& path, QString* error = nullptr);

/// Colours the whole text again when DoColorTags is on; text, caret, selection, first visible
/// line and modified flag stay. The window updates its button states afterwards.
void RepaintRE(RichEdit& editor);

/// Sets the editor's colour set to colour mode 1 ... 5; another mode changes nothing and
/// gives false. The colour-mode buttons call it with their mode, then RepaintRE.
bool SetColorMode(RichEdit& editor, int mode);

/// Pastes the clipboard's text coloured in place of the selection; nothing when the clipboard
/// holds no text. The caret ends at the start of the pasted text.
void PasteColored(RichEdit& editor);

} // namespace zenkel
