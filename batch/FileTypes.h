/// The file types of HTML pages: one table that the file and tree dialogs offer as their
/// filter, that the tree search applies and that the validity test of a file reads.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace zenkel {

/// One choice of the filter: its description and its masks, "*.htm" or "*.htm;*.asp".
struct FileType
{
    std::string_view description;
    std::string_view masks;
};

/// The choices in filter order; a choice's index is the tree file type.
inline constexpr std::array<FileType, 6> FileTypes {{
    {"HTM(L) only", "*.htm"},
    {"All HTML-File types", "*.htm;*.asp;*.sht;*.dht;*.cfm"},
    {"ASP", "*.asp"},
    {"SSI Files", "*.sht"},
    {"Dynamic HTML Files", "*.dht"},
    {"Cold Fusion Files", "*.cfm"},
}};

/// The file-type list text: description and masks of each choice, all joined by '|'.
std::string FileTypeListText();

/// Whether the file name's extension (from its last dot, any letter case) begins with the
/// extension of one of the masks of type fileType, as a three-letter mask "*.htm" also
/// admits "a.html". A type outside the table matches nothing.
bool MatchesTypeFilter(std::string_view name, int fileType);

} // namespace zenkel
