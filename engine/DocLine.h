/// The documentation line: a generated comment that records who processed a file and when.
#pragma once

#include "engine/Style.h"

#include <string>
#include <string_view>

namespace zenkel {

/// The program's version text as it appears in the documentation line and the window title.
constexpr std::string_view ProgramTitle = "Zenkel HTML v3.5d";

/// A local date and time, as the clock gives it.
struct LocalDateTime
{
    int year = 2000;
    int month = 1; ///< 1..12
    int day = 1;
    int hour = 0; ///< 0..23
    int minute = 0;
};

/// The current local date and time of the system clock.
LocalDateTime systemClockNow();
/// The time separator of the user's locale (':' when the locale names none).
char systemTimeSeparator();

/// "<!--~ user, DATE: yyyy-mm-dd, TIME: hh:mm am, STYLE: name, Zenkel HTML v3.5d  ~-->" with
/// the parts the options include; empty text when they include none. date and time are the
/// clock's two readings.
std::string MakeDokuLine(const StyleOptions& options, const LocalDateTime& date,
    const LocalDateTime& time, char timeSeparator);

} // namespace zenkel
