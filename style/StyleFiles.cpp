/// Style files: options.ini and tag.ini of a style directory, and the program's trim.ini.
#include "style/StyleFiles.h"

#include "style/IniFile.h"

#include <algorithm>
#include <array>

namespace zenkel {

namespace {

using namespace std::string_view_literals;
using OptionsKey = IniKey<StyleOptions>;
using TagKey = IniKey<RecTAGInfo>;

const std::array<OptionsKey, 17> OptionsKeys = {{
    // The style's name is its directory's name: written for the reader's sake, never read.
    {"StyleName", "StyleName", &StyleOptions::StyleName, ""sv, 0, ReadRule::WriteOnly},
    {"StyleDescription", "StyleDescription", &StyleOptions::StyleDescription,
        "(Please enter your style decription here)"sv},
    {"LineSize", "LineSize", &StyleOptions::LineSize, 80},
    {"Spacing", "Spacing", &StyleOptions::Spacing, 4},
    {"DoDisableComments", "DoDisableComments", &StyleOptions::DoDisableComments, false},
    {"DoPurgeComments", "DoPurgeComments", &StyleOptions::DoPurgeComments, true},
    {"BreakExcluder", "BreakExcluder", &StyleOptions::BreakExcluder, "\""sv},
    {"TagCase", "TagCase", &StyleOptions::TagCase, 1},
    {"UserInfo", "UserInfo", &StyleOptions::UserInfo, "Unknown User"sv},
    {"DoIncludeUser", "DoIncludeUser", &StyleOptions::DoIncludeUser, true},
    {"DoIncludeVersion", "DoIncludeVersion", &StyleOptions::DoIncludeVersion, true},
    {"DoIncludeDate", "DoIncludeDate", &StyleOptions::DoIncludeDate, true},
    {"DoIncludeTime", "DoIncludeTime", &StyleOptions::DoIncludeTime, true},
    {"DoIncludeStyle", "DoIncludeStyle", &StyleOptions::DoIncludeStyle, true},
    // The documentation-line switches carry over from the style loaded before.
    {"UseWhileCompress", "UseWhileCompress", &StyleOptions::UseWhileCompress, false, 0,
        ReadRule::KeepCurrentWhenMissing},
    {"UseWhileFormat", "UseWhileFormat", &StyleOptions::UseWhileFormat, false, 0,
        ReadRule::KeepCurrentWhenMissing},
    {"IndentWithTabs", "IndentWithTabs", &StyleOptions::IndentWithTabs, true},
}};

const std::array<TagKey, 16> TagKeys = {{
    {"TagOpen", "TagOpen", &RecTAGInfo::TagOpen, ""sv, TagTextCapacity},
    {"TagClose", "TagClose", &RecTAGInfo::TagClose, ""sv, TagTextCapacity},
    {"isSelfIndent", "isSelfIndent", &RecTAGInfo::isSelfIndent, 0},
    {"isContentIndent", "isContentIndent", &RecTAGInfo::isContentIndent, 0},
    {"CRLFLeading", "CRLFLeading", &RecTAGInfo::CRLFLeading, 0},
    {"CRLFFollowed", "CRLFFollowed", &RecTAGInfo::CRLFFollowed, 0},
    {"DoGenerateSComment", "DoGenerateSComment", &RecTAGInfo::DoGenerateSComment, false},
    {"DoGenerateEComment", "DoGenerateEComment", &RecTAGInfo::DoGenerateEComment, false},
    {"StartComment", "StartComment", &RecTAGInfo::StartComment, ""sv, CommentTextCapacity},
    {"EndComment", "EndComment", &RecTAGInfo::EndComment, ""sv, CommentTextCapacity},
    {"CommentLength", "CommentLength", &RecTAGInfo::CommentLength, 40},
    // A missing symbol reads as empty although the defaults entry holds "*".
    {"CommentSymbol", "CommentSymbol", &RecTAGInfo::CommentSymbol, ""sv, CommentSymbolCapacity},
    {"TreatAsText", "TreatAsText", &RecTAGInfo::TreatAsText, false},
    {"EnableCounter", "EnableCounter", &RecTAGInfo::EnableCounter, false},
    // Older files spell it "Cindent"; names match without regard to case anyway.
    {"CIndent", "Cindent", &RecTAGInfo::CIndent, true},
    {"KeepOnOneLine", "KeepOnOneLine", &RecTAGInfo::KeepOnOneLine, false},
}};

const std::string TrimHintHead = "<F7>: Trim specified tags and save file(s)\r\n";

std::string filePath(const std::string& dir, std::string_view name)
{
    return joinPath(dir, std::string(name));
}

/// True when the file was read or is missing; false with *error when it exists unread.
bool readable(const IniFile& ini, std::string* error)
{
    if (!ini.unreadable())
        return true;
    if (error)
        *error = ini.readError();
    return false;
}

/// The value of a trim entry's state character in trim.ini: a digit gives itself, anything
/// else (a '-' left by a negative value) gives 0.
int trimStateValue(char state)
{
    return state >= '0' && state <= '9' ? state - '0' : 0;
}

} // namespace

std::span<const IniKey<StyleOptions>> optionsIniKeys()
{
    return OptionsKeys;
}

std::span<const IniKey<RecTAGInfo>> tagIniKeys()
{
    return TagKeys;
}

std::string joinPath(const std::string& dir, const std::string& name)
{
    if (dir.empty())
        return name;
    const std::size_t dirEnd = dir.find_last_not_of('/');
    const std::size_t nameStart = std::min(name.find_first_not_of('/'), name.size());
    const std::string head
        = dirEnd == std::string::npos ? std::string() : dir.substr(0, dirEnd + 1);
    return head + "/" + name.substr(nameStart);
}

bool LoadStyleOptions(StyleOptions& options, const std::string& styleDir, std::string* error)
{
    const IniFile ini(filePath(styleDir, OptionsFileName));
    readIniKeys(ini, OptionsSection, optionsIniKeys(), options);
    return readable(ini, error);
}

bool SaveStyleOptions(const StyleOptions& options, const std::string& styleDir, std::string* error)
{
    IniFile ini(filePath(styleDir, OptionsFileName));
    writeIniKeys(ini, OptionsSection, optionsIniKeys(), options);
    return ini.save(error);
}

bool LoadTagTable(TagTable& table, const std::string& styleDir, std::string* error)
{
    InitTagTable(table);
    const IniFile ini(filePath(styleDir, TagFileName));
    const std::vector<std::string> sections = ini.sectionNames();
    const int count = static_cast<int>(std::min<std::size_t>(sections.size(), MaxTagEntries));
    for (int i = 1; i <= count; ++i) {
        RecTAGInfo& entry = table[i];
        const std::string& section = sections[static_cast<std::size_t>(i - 1)];
        entry.tagName = cutToCapacity(section, TagTextCapacity);
        readIniKeys(ini, section, tagIniKeys(), entry);
        entry.index = i;
        enforceStandAloneBreaks(entry);
    }
    table.tagCount = count;
    return readable(ini, error);
}

bool SaveTagTable(TagTable& table, const std::string& styleDir, std::string* error)
{
    IniFile ini(filePath(styleDir, TagFileName));
    for (int i = 1; i <= table.tagCount && i <= MaxTagEntries; ++i) {
        RecTAGInfo& entry = table[i];
        enforceStandAloneBreaks(entry);
        writeIniKeys(ini, entry.tagName, tagIniKeys(), entry);
    }
    return ini.save(error);
}

bool EraseTagEntry(const std::string& styleDir, const std::string& sectionName, std::string* error)
{
    IniFile ini(filePath(styleDir, TagFileName));
    if (!ini.eraseSection(sectionName))
        return true; // nothing to remove: the file is not touched
    return ini.save(error);
}

bool LoadTrimList(TrimList& list, const std::string& programDir, std::string* error)
{
    list.clear();
    const IniFile ini(filePath(programDir, TrimFileName));
    for (const std::string& key : ini.keyNames(TrimSection)) {
        // The state is the first character of the value in decimal: 1 and 0 as written,
        // 10 or 0x10 give '1' (active), 2 gives '2' and -1 gives '-' (both inactive, since
        // only '1' is active). Keeping a single character leaves the tag text intact.
        const std::string value = std::to_string(ini.readInteger(TrimSection, key, 0));
        list.push_back(value.substr(0, 1) + cutToCapacity(key, TrimTagCapacity));
    }
    return readable(ini, error);
}

bool SaveTrimList(const TrimList& list, const std::string& programDir, std::string* error)
{
    IniFile ini(filePath(programDir, TrimFileName));
    for (const std::string& entry : list) {
        if (entry.size() < 2)
            continue; // no tag text: there is no key to write
        ini.writeInteger(TrimSection, entry.substr(1, TrimTagCapacity), trimStateValue(entry[0]));
    }
    return ini.save(error);
}

std::string UpdateTrimHint(const TrimList& list)
{
    std::string hint = TrimHintHead;
    for (const std::string& entry : list) {
        if (!entry.empty() && entry[0] == '1')
            hint += entry.substr(1);
    }
    return hint;
}

} // namespace zenkel
