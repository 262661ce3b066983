/// The protocol of the runs on one selection, saved as report.txt.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zenkel {

/// The lines of the "Protokoll" page. A text appended with CR LF inside becomes several
/// lines. The window (or the command-line tool) listens to show each line as it comes.
class Protocol
{
public:
    using Listener = std::function<void(const std::string& line)>;

    void setListener(Listener listener) { m_listener = std::move(listener); }
    void append(std::string_view text);
    void appendLines(const std::vector<std::string>& lines);
    /// Empties the protocol; the listener is told through the cleared callback.
    void clear();
    void setClearedListener(std::function<void()> listener) { m_cleared = std::move(listener); }
    const std::vector<std::string>& lines() const { return m_lines; }

    /// Writes every line followed by CR LF (safely). False and *error when refused.
    [[nodiscard]] bool save(const std::string& path, std::string* error = nullptr) const;

private:
    std::vector<std::string> m_lines;
    Listener m_listener;
    std::function<void()> m_cleared;
};

} // namespace zenkel
