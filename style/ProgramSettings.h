/// Program settings: the installation-wide values kept in prg.ini beside the program.
#pragma once

#include "style/IniKeys.h"

#include <span>
#include <string>
#include <string_view>

namespace zenkel {

constexpr std::string_view ProgramSettingsFileName = "prg.ini";
constexpr std::string_view SettingsOptionsSection = "OPTIONS";
constexpr std::string_view PositionSection = "POSITION_MAIN";
constexpr std::string_view ColorsSection = "COLORS";
constexpr std::string_view PathsSection = "PATHS";
constexpr std::size_t BackupExtCapacity = 5;

/// The two values of LineEnds: the line end written after every output line.
constexpr std::string_view LineEndsCrLf = "crlf";
constexpr std::string_view LineEndsLf = "lf";

/// The editor colours of colour mode 1 (0x00BBGGRR): black text, blue tags, red quoted
/// strings, teal comments. The settings file always receives these.
constexpr int DefaultTextCol = 0;
constexpr int DefaultTagCol = 0xFF0000;
constexpr int DefaultQuotedCol = 0x0000FF;
constexpr int DefaultCommentCol = 0x808000;

/// The values of prg.ini's OPTIONS, POSITION_MAIN and COLORS sections; field names are the
/// keys. Windows read and change them in memory; they reach the file only at exit.
struct ProgramSettings
{
    /// The active style's name. Activation may fall back to another style; the session
    /// keeps this field equal to the name really loaded, so that name is stored.
    std::string StyleName = "_default";
    std::string PopUpStyleName = "_default";
    std::string BackupExt = ".zbak"; ///< at most 5 characters
    bool DoCreateBackUps = true;
    bool DoValidate = false;
    std::string LastSearch;
    std::string LastReplace;
    bool DoLoadWallPapers = true;
    /// LineEndsCrLf or LineEndsLf; any other value in the file reads as LineEndsCrLf.
    std::string LineEnds = std::string(LineEndsCrLf);

    /// Main window geometry in pixels.
    int Top = 50;
    int Left = 50;
    int Width = 0;
    int Height = 0;

    int TextCol = DefaultTextCol;
    int TagCol = DefaultTagCol;
    int QuotedCol = DefaultQuotedCol;
    int CommentCol = DefaultCommentCol;
    bool DoColorTags = true;
};

struct ScreenSize
{
    int width = 0;
    int height = 0;
};

/// The keys of each section in file order. Width and Height have no fixed default (it
/// depends on the screen), so they are not in the POSITION_MAIN table: Top and Left only.
std::span<const IniKey<ProgramSettings>> settingsOptionsKeys();
std::span<const IniKey<ProgramSettings>> settingsPositionKeys();
std::span<const IniKey<ProgramSettings>> settingsColorKeys();

/// LineEndsLf for "lf" in any letter case, LineEndsCrLf for anything else.
std::string NormalizeLineEndsSetting(std::string_view value);

/// The path of prg.ini in a program directory.
std::string ProgramSettingsPath(const std::string& programDir);

/// Reads prg.ini into ini. A missing file gives an empty ini (all defaults); a file that
/// exists but cannot be read gives false and a message naming it.
[[nodiscard]] bool OpenProgramSettings(
    IniFile& ini, const std::string& programDir, std::string* error = nullptr);

/// Reads the three sections; missing or unparsable values take their defaults, Width and
/// Height default to 8/10 of the screen. BackupExt is cut to 5 characters, LineEnds
/// normalized.
void LoadProgramSettings(ProgramSettings& settings, const IniFile& ini, ScreenSize screen);

/// Writes the three sections into ini and saves it. Width and Height are stored at most
/// 30 pixels smaller than the screen; the colours are stored as colour mode 1, whatever the
/// record holds. False and *error (naming the file) when the write is refused.
[[nodiscard]] bool SaveProgramSettings(
    const ProgramSettings& settings, IniFile& ini, ScreenSize screen, std::string* error = nullptr);

/// The last directories of the file dialogs (PATHS keys "Multi", "Tree", "Save"), read and
/// written one at a time; a missing key gives the program directory.
std::string ReadSettingsPath(
    const IniFile& ini, std::string_view key, const std::string& programDir);
[[nodiscard]] bool WriteSettingsPath(
    IniFile& ini, std::string_view key, const std::string& dir, std::string* error = nullptr);

} // namespace zenkel
