/// The protocol of the runs on one selection, saved as report.txt.
#include "batch/Protocol.h"

#include "base/SafeFile.h"
#include "batch/FileSelection.h"

namespace zenkel {

void Protocol::append(std::string_view text)
{
    appendLines(splitProtocolText(text));
}

void Protocol::appendLines(const std::vector<std::string>& lines)
{
    for (const std::string& line : lines) {
        m_lines.push_back(line);
        if (m_listener)
            m_listener(line);
    }
}

void Protocol::clear()
{
    m_lines.clear();
    if (m_cleared)
        m_cleared();
}

bool Protocol::save(const std::string& path, std::string* error) const
{
    return writeFileSafely(path, joinCrLf(m_lines), error);
}

} // namespace zenkel
