/// Session: the long-lived objects of one program run, owned by the main window or the
/// command-line tool.
#pragma once

#include "batch/FileJob.h"
#include "batch/Protocol.h"
#include "batch/RunState.h"
#include "engine/Engine.h"
#include "style/ProgramDirectories.h"
#include "style/ProgramSettings.h"
#include "style/StyleCatalogue.h"

#include <string>
#include <vector>

namespace zenkel {

/// Run state, program settings, engine (with the active style), trim list and style
/// catalogue of one program directory. The engine reports to the host; the engine keeps
/// pointers into the session, so a session is neither copied nor moved.
struct Session
{
    Session(const std::string& programDirectory, FileJobHost& host);
    /// With the shipped data apart from the program directory (styles are found in both).
    Session(const ProgramDirectories& directories, FileJobHost& host);
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    FileJobHost& host;
    RunState runState;
    /// prg.ini as read at start-up; the file dialogs read and write PATHS through it.
    IniFile settingsFile;
    ProgramSettings settings;
    Engine engine;
    TrimList trimList;
    StyleCatalogue catalogue;
    Protocol protocol;
    /// Scratch and diagnostic files of the program directory that could not be written, one
    /// message each (naming the file); the caller empties the list when it has shown them.
    std::vector<std::string> scratchErrors;
    void noteScratchError(const std::string& message);
    /// Set while a run is going, so that no second run can start.
    bool runInProgress = false;

    /// Activates a style into the engine and records the name really loaded (after any
    /// fallback) in settings.StyleName. False when there is no usable style, or with *error
    /// when a file of the style cannot be read.
    bool ActivateStyle(const std::string& name, std::string* error = nullptr);
    /// Loads trim.ini of the program directory (the shipped one when the program directory has
    /// none) into the trim list; false with *error when the file exists but cannot be read
    /// (the list is then empty).
    bool loadTrimList(std::string* error = nullptr);
    /// Reads prg.ini into settingsFile and settings; false (and a message naming the file)
    /// when it exists but cannot be read. A missing file gives the defaults.
    [[nodiscard]] bool loadSettings(ScreenSize screen, std::string* error = nullptr);
    /// Writes settings into prg.ini (PATHS and other sections stay as they are).
    [[nodiscard]] bool saveSettings(ScreenSize screen, std::string* error = nullptr);
};

} // namespace zenkel
