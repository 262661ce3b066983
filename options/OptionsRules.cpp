/// Rules of the options window's General, Doku and Trim pages and of the new-style dialog.
#include "options/OptionsRules.h"

#include "batch/Backup.h"
#include "engine/TagTable.h"
#include "style/ProgramSettings.h"

#include <algorithm>

namespace zenkel {

namespace {

std::string_view trimBlanks(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

bool equalIgnoringCase(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
        [](char x, char y) { return upperAscii(x) == upperAscii(y); });
}

} // namespace

int commentPanelColor(const StyleOptions& options)
{
    return options.DoDisableComments ? InactivePanelColor : ActivePanelColor;
}

int indentPanelColor(const StyleOptions& options)
{
    return options.Spacing == 0 ? InactivePanelColor : ActivePanelColor;
}

std::string backupExtFieldText(std::string_view typed)
{
    return NormalizeBackupExt(typed);
}

std::string backupExtSetting(std::string_view fieldText)
{
    std::string ext = cutToCapacity(NormalizeBackupExt(fieldText), BackupExtCapacity);
    // File names are UTF-8: a character the cut went through is left out as a whole.
    std::size_t lead = ext.size();
    while (lead > 0 && (static_cast<unsigned char>(ext[lead - 1]) & 0xC0) == 0x80)
        --lead;
    if (lead > 0 && static_cast<unsigned char>(ext[lead - 1]) >= 0xC0) {
        const auto first = static_cast<unsigned char>(ext[lead - 1]);
        const std::size_t length = first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : 2;
        if (ext.size() - (lead - 1) < length)
            ext.resize(lead - 1);
    }
    return ext;
}

bool breakExcluderChecked(const std::string& breakExcluder)
{
    return breakExcluder == "<>";
}

std::string breakExcluderValue(bool checked)
{
    return checked ? "<>" : "\"";
}

std::string cleanUserInfo(std::string_view typed)
{
    std::string text(typed);
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '<' || c == '>'; }, ' ');
    return std::string(trimBlanks(text));
}

std::vector<TrimItem> trimItemsOf(const TrimList& list)
{
    std::vector<TrimItem> items;
    items.reserve(list.size());
    for (const std::string& entry : list) {
        if (entry.empty())
            continue;
        items.push_back({entry.substr(1), entry[0] > '0' && entry[0] <= '9'});
    }
    return items;
}

TrimList trimListOf(const std::vector<TrimItem>& items)
{
    TrimList list;
    list.reserve(items.size());
    for (const TrimItem& item : items)
        list.push_back((item.checked ? "1" : "0") + item.tag);
    return list;
}

std::string styleSwitchQuestion(const std::string& styleName)
{
    return "Save changes in style:\r\n\r\n\"" + styleName + "\"\r\n\r\nbefore loading another one?";
}

std::string CheckNewStyle(std::string_view typed, const std::vector<std::string>& existing)
{
    std::string name(trimBlanks(typed));
    std::replace_if(
        name.begin(), name.end(),
        [](char c) { return c == ' ' || c == '\\' || c == '/' || c == '.'; }, '_');
    for (const std::string& style : existing) {
        if (equalIgnoringCase(style, name))
            return {};
    }
    return name;
}

} // namespace zenkel
