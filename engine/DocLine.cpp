/// The documentation line: a generated comment that records who processed a file and when.
#include "engine/DocLine.h"

#include <clocale>
#include <cstdio>
#include <ctime>
#include <langinfo.h>

namespace zenkel {

namespace {

std::string twoDigits(int value)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d", value);
    return buffer;
}

} // namespace

LocalDateTime systemClockNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm local {};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min};
}

char systemTimeSeparator()
{
    // The separator is whatever the locale's time format puts between hours and minutes.
    const char* format = nl_langinfo(T_FMT);
    if (!format)
        return ':';
    for (const char* p = format; *p; ++p) {
        if (p[0] == '%' && p[1] != '\0' && (p[1] == 'H' || p[1] == 'I')) {
            const char separator = p[2];
            if (separator != '\0' && separator != '%')
                return separator;
        }
    }
    return ':';
}

std::string MakeDokuLine(const StyleOptions& options, const LocalDateTime& date,
    const LocalDateTime& time, char timeSeparator)
{
    if (!options.DoIncludeUser && !options.DoIncludeVersion && !options.DoIncludeDate
        && !options.DoIncludeTime && !options.DoIncludeStyle)
        return {};
    std::string line = "<!--~ ";
    if (options.DoIncludeUser)
        line += options.UserInfo + ", ";
    if (options.DoIncludeDate) {
        char buffer[32];
        std::snprintf(
            buffer, sizeof buffer, "DATE: %04d-%02d-%02d, ", date.year, date.month, date.day);
        line += buffer;
    }
    if (options.DoIncludeTime) {
        const int hour12 = time.hour % 12 == 0 ? 12 : time.hour % 12;
        line += "TIME: " + twoDigits(hour12) + timeSeparator + twoDigits(time.minute)
            + (time.hour < 12 ? " am" : " pm") + ", ";
    }
    if (options.DoIncludeStyle)
        line += "STYLE: " + options.StyleName + ", ";
    if (options.DoIncludeVersion) {
        line += ProgramTitle;
        line += ' ';
    }
    line += " ~-->";
    return line;
}

} // namespace zenkel
