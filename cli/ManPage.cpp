/// The manual page of the zenkel tool, made from its --help text.
#include "cli/ManPage.h"

#include <vector>

namespace zenkel {

namespace {

std::vector<std::string_view> linesOf(std::string_view text)
{
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        lines.push_back(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return lines;
}

bool isHeading(std::string_view line)
{
    if (line.empty() || line[0] < 'A' || line[0] > 'Z')
        return false;
    for (char c : line)
        if ((c >= 'a' && c <= 'z') || c == '"' || c == '.')
            return false;
    return true;
}

/// One line of text as roff shows it literally.
std::string escaped(std::string_view line)
{
    std::string out;
    if (!line.empty() && (line[0] == '.' || line[0] == '\''))
        out += "\\&";
    for (char c : line) {
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
    }
    return out;
}

} // namespace

std::string ManPageFromUsage(std::string_view usage, std::string_view version)
{
    const std::vector<std::string_view> lines = linesOf(usage);
    std::string page = ".TH ZENKEL 1 \"\" \"" + escaped(version) + "\" \"User Commands\"\n"
        + ".SH NAME\n"
        + "zenkel \\- format, compress or trim HTML source files with a Zenkel HTML style\n"
        + ".SH SYNOPSIS\n.nf\n";
    std::size_t i = 0;
    for (; i < lines.size() && !lines[i].empty(); ++i)
        page += escaped(lines[i]) + '\n';
    page += ".fi\n";
    bool inSection = false;
    for (; i < lines.size(); ++i) {
        if (isHeading(lines[i])) {
            if (inSection)
                page += ".fi\n";
            page += ".SH " + escaped(lines[i]) + "\n.nf\n";
            inSection = true;
        } else if (inSection) {
            page += escaped(lines[i]) + '\n';
        }
    }
    if (inSection)
        page += ".fi\n";
    return page;
}

} // namespace zenkel
