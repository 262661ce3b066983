/// Rules of the options window's General, Doku and Trim pages and of the new-style dialog, on
/// plain data, so they can be tested without widgets.
#pragma once

#include "engine/Style.h"

#include <string>
#include <string_view>
#include <vector>

namespace zenkel {

/// Ranges of the General page's up-downs.
constexpr int MinLineSize = 60;
constexpr int MaxLineSize = 500;
constexpr int LineSizeStep = 10;
constexpr int MinSpacing = 0;
constexpr int MaxSpacing = 12;
constexpr int SpacingStep = 2;
/// Characters the fields accept.
constexpr int BackupExtFieldLength = 6;
constexpr int DescriptionFieldLength = 150;
constexpr int UserInfoFieldLength = 200;

/// Panel colours as 0x00BBGGRR colour values: pale cream for settings in force, pale red for
/// settings that another setting switches off.
constexpr int ActivePanelColor = 15137791;
constexpr int InactivePanelColor = 13816575;
/// The auto-comment panels are pale red while all auto comments are disabled.
int commentPanelColor(const StyleOptions& options);
/// The indent panels are pale red while the indent step is 0.
int indentPanelColor(const StyleOptions& options);

/// The backup extension as the field shows it after editing, and as the setting keeps it
/// (cut to 5 bytes, less a UTF-8 character the cut would split). "a.b.c" shows ".a_b_c" and
/// is kept as ".a_b_".
std::string backupExtFieldText(std::string_view typed);
std::string backupExtSetting(std::string_view fieldText);

/// BreakExcluder: the box is checked only for "<>"; it stores "<>" or a lone double quote.
bool breakExcluderChecked(const std::string& breakExcluder);
std::string breakExcluderValue(bool checked);

/// The user text of the documentation line from what was typed: '<' and '>' become blanks,
/// blanks at both ends go. "<b>Me</b>" -> "b Me /b".
std::string cleanUserInfo(std::string_view typed);

/// One item of the trim page: a tag text and whether it is checked.
struct TrimItem
{
    std::string tag;
    bool checked = false;
    friend bool operator==(const TrimItem&, const TrimItem&) = default;
};
/// The trim page's items: checked when the entry's state digit is above 0.
std::vector<TrimItem> trimItemsOf(const TrimList& list);
/// The trim list the page gives back: "1" or "0" followed by each item's text, in order.
TrimList trimListOf(const std::vector<TrimItem>& items);

/// The question before another style is loaded over unsaved edits. Line breaks are CR LF.
std::string styleSwitchQuestion(const std::string& styleName);

/// The name a new style gets from the typed text: blanks trimmed at both ends, every blank,
/// '\\', '/' and '.' replaced by '_'. Empty when the result equals an existing style's name
/// without regard to case.
std::string CheckNewStyle(std::string_view typed, const std::vector<std::string>& existing);

} // namespace zenkel
