/// Program settings: the installation-wide values kept in prg.ini beside the program.
#include "style/ProgramSettings.h"

#include "base/Ascii.h"
#include "style/StyleFiles.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace zenkel {

namespace {

using namespace std::string_view_literals;
using SettingsKey = IniKey<ProgramSettings>;

const std::array<SettingsKey, 9> OptionsKeys = {{
    {"StyleName", "StyleName", &ProgramSettings::StyleName, "_default"sv},
    {"PopUpStyleName", "PopUpStyleName", &ProgramSettings::PopUpStyleName, "_default"sv},
    {"BackupExt", "BackupExt", &ProgramSettings::BackupExt, ".zbak"sv, BackupExtCapacity},
    {"DoCreateBackUps", "DoCreateBackUps", &ProgramSettings::DoCreateBackUps, true},
    {"DoValidate", "DoValidate", &ProgramSettings::DoValidate, false},
    {"LastSearch", "LastSearch", &ProgramSettings::LastSearch, ""sv},
    {"LastReplace", "LastReplace", &ProgramSettings::LastReplace, ""sv},
    {"DoLoadWallPapers", "DoLoadWallPapers", &ProgramSettings::DoLoadWallPapers, true},
    {"LineEnds", "LineEnds", &ProgramSettings::LineEnds, LineEndsCrLf},
}};

const std::array<SettingsKey, 2> PositionKeys = {{
    {"Top", "Top", &ProgramSettings::Top, 50},
    {"Left", "Left", &ProgramSettings::Left, 50},
}};

const std::array<SettingsKey, 5> ColorKeys = {{
    {"TextCol", "TextCol", &ProgramSettings::TextCol, DefaultTextCol},
    {"TagCol", "TagCol", &ProgramSettings::TagCol, DefaultTagCol},
    {"QuotedCol", "QuotedCol", &ProgramSettings::QuotedCol, DefaultQuotedCol},
    {"CommentCol", "CommentCol", &ProgramSettings::CommentCol, DefaultCommentCol},
    {"DoColorTags", "DoColorTags", &ProgramSettings::DoColorTags, true},
}};

constexpr std::string_view WidthKey = "Width";
constexpr std::string_view HeightKey = "Height";

} // namespace

std::span<const IniKey<ProgramSettings>> settingsOptionsKeys()
{
    return OptionsKeys;
}

std::span<const IniKey<ProgramSettings>> settingsPositionKeys()
{
    return PositionKeys;
}

std::span<const IniKey<ProgramSettings>> settingsColorKeys()
{
    return ColorKeys;
}

std::string NormalizeLineEndsSetting(std::string_view value)
{
    const bool lf = value.size() == LineEndsLf.size()
        && std::equal(value.begin(), value.end(), LineEndsLf.begin(),
            [](char a, char b) { return lowerAscii(a) == b; });
    return std::string(lf ? LineEndsLf : LineEndsCrLf);
}

std::string ProgramSettingsPath(const std::string& programDir)
{
    return joinPath(programDir, std::string(ProgramSettingsFileName));
}

bool OpenProgramSettings(IniFile& ini, const std::string& programDir, std::string* error)
{
    const std::string path = ProgramSettingsPath(programDir);
    ini = IniFile(path);
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
        return true;
    if (std::filesystem::is_directory(path, ec)) {
        if (error)
            *error = "Cannot read settings file \"" + path + "\": it is a directory";
        return false;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (error)
            *error = "Cannot read settings file \"" + path + "\": " + std::strerror(errno);
        return false;
    }
    ::close(fd);
    if (!ini.reload()) {
        if (error)
            *error = "Cannot read settings file \"" + path + "\"";
        return false;
    }
    return true;
}

void LoadProgramSettings(ProgramSettings& settings, const IniFile& ini, ScreenSize screen)
{
    readIniKeys(ini, SettingsOptionsSection, settingsOptionsKeys(), settings);
    settings.LineEnds = NormalizeLineEndsSetting(settings.LineEnds);
    readIniKeys(ini, PositionSection, settingsPositionKeys(), settings);
    settings.Width = ini.readInteger(PositionSection, WidthKey, screen.width * 8 / 10);
    settings.Height = ini.readInteger(PositionSection, HeightKey, screen.height * 8 / 10);
    readIniKeys(ini, ColorsSection, settingsColorKeys(), settings);
}

bool SaveProgramSettings(
    const ProgramSettings& settings, IniFile& ini, ScreenSize screen, std::string* error)
{
    // The editor goes back to colour mode 1 at exit, so these colours are what is stored;
    // colours put into the file by hand last for one run.
    ProgramSettings stored = settings;
    stored.TextCol = DefaultTextCol;
    stored.TagCol = DefaultTagCol;
    stored.QuotedCol = DefaultQuotedCol;
    stored.CommentCol = DefaultCommentCol;

    writeIniKeys(ini, SettingsOptionsSection, settingsOptionsKeys(), stored);
    writeIniKeys(ini, PositionSection, settingsPositionKeys(), stored);
    ini.writeInteger(PositionSection, WidthKey, std::min(screen.width - 30, stored.Width));
    ini.writeInteger(PositionSection, HeightKey, std::min(screen.height - 30, stored.Height));
    writeIniKeys(ini, ColorsSection, settingsColorKeys(), stored);
    return ini.save(error);
}

std::string ReadSettingsPath(
    const IniFile& ini, std::string_view key, const std::string& programDir)
{
    return ini.readString(PathsSection, key, programDir);
}

bool WriteSettingsPath(
    IniFile& ini, std::string_view key, const std::string& dir, std::string* error)
{
    ini.writeString(PathsSection, key, dir);
    return ini.save(error);
}

} // namespace zenkel
