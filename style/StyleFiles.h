/// Style files: options.ini and tag.ini of a style directory, and the program's trim.ini.
#pragma once

#include "engine/Style.h"
#include "style/IniKeys.h"

#include <span>
#include <string>
#include <string_view>

namespace zenkel {

constexpr std::string_view OptionsFileName = "options.ini";
constexpr std::string_view TagFileName = "tag.ini";
constexpr std::string_view TrimFileName = "trim.ini";
constexpr std::string_view OptionsSection = "OPTIONS";
constexpr std::string_view TrimSection = "TRIMTAGS";

/// The sixteen keys of options.ini's OPTIONS section, in file order.
std::span<const IniKey<StyleOptions>> optionsIniKeys();
/// The fifteen keys of each tag.ini section, in file order. Their defaults are those of a
/// missing key, which differ from the defaults entry in CommentSymbol (empty, not "*").
std::span<const IniKey<RecTAGInfo>> tagIniKeys();

/// Every directory argument is a directory path with or without a trailing '/'.
/// Missing files, sections and keys give the defaults. A file that exists but cannot be read
/// (permissions, a read error, a directory in its place) makes a load return false and set
/// *error (naming the file); what was loaded is then the defaults, as for a missing file.
/// Save operations return false and set *error (naming the file) when the write is refused;
/// the file then stays as it was.

/// Reads options.ini into options; StyleName is never taken from the file, and
/// UseWhileCompress/UseWhileFormat keep their current values when their keys are missing.
bool LoadStyleOptions(
    StyleOptions& options, const std::string& styleDir, std::string* error = nullptr);
[[nodiscard]] bool SaveStyleOptions(
    const StyleOptions& options, const std::string& styleDir, std::string* error = nullptr);

/// InitTagTable, then the first 100 sections of tag.ini in file order.
bool LoadTagTable(TagTable& table, const std::string& styleDir, std::string* error = nullptr);
/// Writes entries 1..tagCount (raising 0 line breaks of 'Stand Alone' entries to 1 in the
/// table itself); other sections of the file stay as they are.
[[nodiscard]] bool SaveTagTable(
    TagTable& table, const std::string& styleDir, std::string* error = nullptr);
[[nodiscard]] bool EraseTagEntry(
    const std::string& styleDir, const std::string& sectionName, std::string* error = nullptr);

/// Reads trim.ini's TRIMTAGS keys in file order into "state digit + tag text" entries; the
/// state is the first character of the value in decimal, so only a value of 1 (or 10, 0x10 ...)
/// gives an active entry. Callers then refresh the Trim button's hint with UpdateTrimHint.
bool LoadTrimList(TrimList& list, const std::string& programDir, std::string* error = nullptr);
/// Writes each entry's tag text (at most 100 characters) as a key, its state digit as the
/// value (a state that is not a digit is written as 0).
[[nodiscard]] bool SaveTrimList(
    const TrimList& list, const std::string& programDir, std::string* error = nullptr);
/// The hint of the Trim button: "<F7>: Trim specified tags and save file(s)\r\n" followed by
/// the tag texts of the active entries.
std::string UpdateTrimHint(const TrimList& list);

/// Joins a directory and a file name with exactly one '/'; an empty directory gives the name.
std::string joinPath(const std::string& dir, const std::string& name);

} // namespace zenkel
