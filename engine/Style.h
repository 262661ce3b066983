/// The in-memory style: general options, the tag table and the program-wide trim list.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace zenkel {

constexpr int MaxTagEntries = 100;
constexpr std::size_t TagTextCapacity = 20; ///< tag name, TagOpen, TagClose
constexpr std::size_t CommentTextCapacity = 30; ///< StartComment, EndComment
constexpr std::size_t CommentSymbolCapacity = 1;
constexpr std::size_t TrimTagCapacity = 100; ///< tag text of one trim entry

/// The general options of a style; field names are the options.ini keys.
struct StyleOptions
{
    std::string StyleName;
    std::string StyleDescription = "(Please enter your style decription here)";
    int LineSize = 80;
    int Spacing = 4;
    bool DoDisableComments = false;
    bool DoPurgeComments = true;
    std::string BreakExcluder = "\"";
    int TagCase = 1; ///< 1 upper, 2 lower, anything else preserves
    std::string UserInfo = "Unknown User";
    bool DoIncludeUser = true;
    bool DoIncludeVersion = true;
    bool DoIncludeDate = true;
    bool DoIncludeTime = true;
    bool DoIncludeStyle = true;
    /// These two keep the value of the previously loaded style when the key is missing.
    bool UseWhileCompress = false;
    bool UseWhileFormat = false;
    /// Indentation written as TABs for every 8 columns (false: blanks only).
    bool IndentWithTabs = true;
};

/// One entry of the tag table; stored fields carry their tag.ini key names.
struct RecTAGInfo
{
    std::string tagName; ///< the tag.ini section name, at most 20 characters
    bool TreatAsText = false;
    std::string TagOpen; ///< at most 20 characters
    std::string TagClose; ///< at most 20 characters; "</H>" also stands for </H1>..</H6>
    int isSelfIndent = 0;
    int isContentIndent = 0;
    int CRLFLeading = 0;
    int CRLFFollowed = 0;
    bool DoGenerateSComment = false;
    bool DoGenerateEComment = false;
    std::string StartComment; ///< at most 30 characters
    std::string EndComment; ///< at most 30 characters
    int CommentLength = 40;
    std::string CommentSymbol = "*"; ///< at most 1 character
    bool CIndent = true;
    bool EnableCounter = false;
    /// A 'Stand Alone' element with at most one run of text, short enough, on one line.
    bool KeepOnOneLine = false;
    // Runtime fields, never stored.
    int counter = 0;
    std::string counterStack; ///< e.g. ";1;3": numbers of open start tags
    int index = 0; ///< 1-based position in the table; 0 = the defaults entry
    bool cleanFlag = true;
};

/// The tag table: entries[0] is the defaults entry, entries[1..tagCount] are in use
/// (1-based, in tag.ini section order); slots past tagCount hold the defaults.
struct TagTable
{
    std::array<RecTAGInfo, MaxTagEntries + 1> entries {};
    int tagCount = 0;

    const RecTAGInfo& defaults() const { return entries[0]; }
    RecTAGInfo& operator[](int i) { return entries[static_cast<std::size_t>(i)]; }
    const RecTAGInfo& operator[](int i) const { return entries[static_cast<std::size_t>(i)]; }
};

/// Program-wide trim list: each entry is the state digit ('1' active, '0' inactive)
/// directly followed by the tag text, e.g. "1<FONT>".
using TrimList = std::vector<std::string>;

/// The active style: general options and tag table.
struct Style
{
    StyleOptions options;
    TagTable tags;
};

/// Cuts a text to a field's capacity.
inline std::string cutToCapacity(std::string text, std::size_t capacity)
{
    if (text.size() > capacity)
        text.resize(capacity);
    return text;
}

/// Sets all 100 slots (and the defaults entry) to the defaults; tag count 0.
void InitTagTable(TagTable& table);

/// Raises a 0 in CRLFLeading or CRLFFollowed of a 'Stand Alone' entry to 1.
void enforceStandAloneBreaks(RecTAGInfo& entry);

} // namespace zenkel
