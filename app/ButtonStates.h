/// The rules of TForm1.SetButtonState and TForm1.BadFilesMode, without widgets.
#pragma once

#include "batch/RunState.h"

#include <map>
#include <string>

namespace zenkel {

struct ButtonStateInput
{
    zenkel::SelectionMode SelectionMode = zenkel::SelectionMode::None;
    bool editorModified = false;
    bool backupExists = false;
    bool colorTags = true; ///< DoColorTags: the colour-mode buttons
};

/// Enabled state of every button by its objectName; "editorMode" is the editor mode flag.
std::map<std::string, bool> SetButtonStateRules(const ButtonStateInput& input);

/// The states after a selection without valid files (only the buttons it names).
std::map<std::string, bool> BadFilesModeRules();

} // namespace zenkel
