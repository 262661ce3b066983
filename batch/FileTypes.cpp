/// The file types of HTML pages.
#include "batch/FileTypes.h"

#include "base/Ascii.h"

namespace zenkel {

std::string FileTypeListText()
{
    std::string text;
    for (const FileType& type : FileTypes) {
        if (!text.empty())
            text += '|';
        text.append(type.description).append("|").append(type.masks);
    }
    return text;
}

bool MatchesTypeFilter(std::string_view name, int fileType)
{
    if (fileType < 0 || fileType >= static_cast<int>(FileTypes.size()))
        return false;
    const std::size_t lastSlash = name.rfind('/');
    if (lastSlash != std::string_view::npos)
        name.remove_prefix(lastSlash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos)
        return false;
    const std::string extension = upperAsciiText(name.substr(dot));
    std::string_view masks = FileTypes[static_cast<std::size_t>(fileType)].masks;
    while (!masks.empty()) {
        const std::size_t end = masks.find(';');
        std::string_view mask = masks.substr(0, end);
        masks = end == std::string_view::npos ? std::string_view() : masks.substr(end + 1);
        // "*.htm": the extension must begin with ".HTM".
        if (mask.starts_with('*'))
            mask.remove_prefix(1);
        if (extension.starts_with(upperAsciiText(mask)))
            return true;
    }
    return false;
}

} // namespace zenkel
