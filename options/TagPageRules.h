/// Rules of the options window's tag page and of the add-tag dialog, on plain data, so they
/// can be tested without widgets.
#pragma once

#include "engine/Style.h"

#include <array>
#include <string>
#include <string_view>

namespace zenkel {

/// The columns of the tag grid: the tag name, then the four one-letter summaries.
enum class TagGridColumn
{
    Name = 0,
    Type = 1, ///< "T"
    Lines = 2, ///< "L"
    Comment = 3, ///< "C"
    Indent = 4, ///< "I"
};
constexpr int TagGridColumnCount = 5;
/// Header cells of the tag grid, column by column.
constexpr std::array<std::string_view, TagGridColumnCount> TagGridHeader
    = {"Tag Overview:", "T", " L", " C", " I"};

/// The text of one cell of an entry's grid row.
std::string TagGridCellText(const RecTAGInfo& entry, TagGridColumn column);

/// The fill symbols the symbol box offers, in its order.
constexpr std::array<std::string_view, 10> CommentSymbols
    = {"*", "#", "+", "-", "=", "_", ".", "/", "\\", "^"};
/// 0-based position of the last offered symbol equal to symbol; 0 ("*") when none is.
int FindSymbol(std::string_view symbol);

/// Ranges of the tag page's up-downs.
constexpr int MaxLineBreaks = 5;
constexpr int MinCommentLength = 20;
constexpr int MaxCommentLength = 200;
constexpr int CommentLengthStep = 5;
constexpr int MaxIndentSteps = 4;

/// The lower limit of the two line-break up-downs for an entry: 0 for an 'As Text' entry,
/// 1 for a 'Stand Alone' one, whose 0 line breaks are raised to 1 in the entry itself.
int SetUpDownMinMax(RecTAGInfo& entry);

/// Which settings of an entry apply: an inapplicable one is shown in italics, the chosen
/// type in bold and underlined.
struct TagPanelStatus
{
    bool indentItalic = false; ///< PanelSi, PanelCi
    bool asTextEmphasised = false; ///< RBAsText
    bool aloneEmphasised = false; ///< RBAlone
    bool startCommentItalic = false; ///< PanelAutoComm1
    bool endCommentItalic = false; ///< PanelAutoComm2
    bool linesBeforeItalic = false; ///< PanelLines1
    bool linesAfterItalic = false; ///< PanelLines2
    bool oneLineItalic = false; ///< CBOneLine: 'As Text' tags are never on lines of their own
};
TagPanelStatus tagPanelStatus(const RecTAGInfo& entry);

/// The add-tag dialog's information text, line by line.
constexpr std::array<std::string_view, 13> AddTagInformation = {
    "",
    "Please type in the pure name of your new tag, ",
    "without any arguments, blanks or slashes.",
    "",
    "Examples: <A> or <TABLE> and not e.g. <A HREF> or </TABLE>",
    "",
    "The following tags are not allowed to add, or will be overruled:",
    "<SCRIPT>,<STYLE>,<PRE>,<%...%>, <!-- ... -->, <TEXTAREA>",
    "",
    "Your new tag will be added to the current style only. ",
    "You may add up to 40 new tags.",
    "",
    "The tag will appear at the end (!) of your tag list.",
};

/// Letters a-z upper-cased; blanks, TABs, '*', '/', '\\', '<' and '>' removed; the rest put
/// between '<' and '>'. "a href" -> "<AHREF>", "/table" -> "<TABLE>".
std::string NormalizeNewTag(std::string_view text);

enum class NewTagCheck
{
    Ok,
    Invalid, ///< nothing between the brackets
    NotAllowed, ///< a block of its own (comment, server script, PRE, SCRIPT ...)
    Exists, ///< the table has it already
    TableFull, ///< 100 tags
};

/// The rules a normalised tag must pass before it is appended, in the order they are tried.
NewTagCheck CheckNewTag(const TagTable& table, const std::string& tag);
/// The error message of a failed check; empty for Ok. Line breaks are CR LF.
std::string NewTagMessage(NewTagCheck check, const std::string& tag);

/// Appends the defaults entry named tag (a 'Stand Alone' tag without indentation or
/// comments) with TagClose = tag with every "<" replaced by "</". The caller has checked
/// that the table has room.
void AppendNewTag(TagTable& table, const std::string& tag);

/// The information shown after a tag was added.
std::string TagAddedMessage(const std::string& tagName);
/// The question before a tag is removed.
std::string RemoveTagQuestion(const std::string& tagOpen);

} // namespace zenkel
