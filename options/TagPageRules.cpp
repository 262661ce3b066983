/// Rules of the options window's tag page and of the add-tag dialog.
#include "options/TagPageRules.h"

#include "engine/TagTable.h"

#include <algorithm>

namespace zenkel {

namespace {

/// The comment cell: the symbol for each comment written, a blank for each one not.
std::string commentCell(const RecTAGInfo& entry, bool start, bool end)
{
    if (!start && !end)
        return " ";
    const std::string symbol = entry.CommentSymbol;
    if (start && end)
        return symbol + symbol;
    return start ? symbol + " " : " " + symbol;
}

bool equalIgnoringCase(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
        [](char x, char y) { return upperAscii(x) == upperAscii(y); });
}

} // namespace

std::string TagGridCellText(const RecTAGInfo& entry, TagGridColumn column)
{
    switch (column) {
    case TagGridColumn::Name:
        return entry.tagName;
    case TagGridColumn::Type:
        return entry.TreatAsText ? "A" : "S";
    case TagGridColumn::Lines:
        return std::to_string(entry.CRLFLeading) + std::to_string(entry.CRLFFollowed);
    case TagGridColumn::Comment:
        // An 'As Text' tag gets its comment only where it has a line of its own.
        if (entry.TreatAsText)
            return commentCell(entry, entry.DoGenerateSComment && entry.CRLFLeading > 0,
                entry.DoGenerateEComment && entry.CRLFFollowed > 0);
        return commentCell(entry, entry.DoGenerateSComment, entry.DoGenerateEComment);
    case TagGridColumn::Indent:
        if (entry.TreatAsText)
            return " ";
        return std::to_string(entry.isSelfIndent) + std::to_string(entry.isContentIndent);
    }
    return {};
}

int FindSymbol(std::string_view symbol)
{
    int found = 0;
    for (std::size_t i = 0; i < CommentSymbols.size(); ++i) {
        if (CommentSymbols[i] == symbol)
            found = static_cast<int>(i);
    }
    return found;
}

int SetUpDownMinMax(RecTAGInfo& entry)
{
    if (entry.TreatAsText)
        return 0;
    enforceStandAloneBreaks(entry);
    return 1;
}

TagPanelStatus tagPanelStatus(const RecTAGInfo& entry)
{
    TagPanelStatus status;
    status.indentItalic = entry.TreatAsText;
    status.asTextEmphasised = entry.TreatAsText;
    status.aloneEmphasised = !entry.TreatAsText;
    status.startCommentItalic = entry.CRLFLeading <= 0 && entry.TreatAsText;
    status.endCommentItalic = entry.CRLFFollowed <= 0 && entry.TreatAsText;
    status.linesBeforeItalic = entry.CRLFLeading <= 0 && !entry.TreatAsText;
    status.linesAfterItalic = entry.CRLFFollowed <= 0 && !entry.TreatAsText;
    status.oneLineItalic = entry.TreatAsText;
    return status;
}

std::string NormalizeNewTag(std::string_view text)
{
    std::string tag = "<";
    for (const char c : text) {
        switch (c) {
        case ' ':
        case '\t':
        case '*':
        case '/':
        case '\\':
        case '<':
        case '>':
            break;
        default:
            tag += upperAscii(c);
        }
    }
    return tag + ">";
}

NewTagCheck CheckNewTag(const TagTable& table, const std::string& tag)
{
    if (tag.size() <= 2)
        return NewTagCheck::Invalid;
    if (blockKindOfKey(tag) != BlockKind::None || tag.find("<!--") != std::string::npos
        || tag.find("<%") != std::string::npos)
        return NewTagCheck::NotAllowed;
    for (int i = 1; i <= table.tagCount; ++i) {
        if (equalIgnoringCase(table[i].TagOpen, tag))
            return NewTagCheck::Exists;
    }
    if (table.tagCount >= MaxTagEntries)
        return NewTagCheck::TableFull;
    return NewTagCheck::Ok;
}

std::string NewTagMessage(NewTagCheck check, const std::string& tag)
{
    switch (check) {
    case NewTagCheck::Ok:
        return {};
    case NewTagCheck::Invalid:
        return "Tag: " + tag + " is invalid and cannot be added.";
    case NewTagCheck::NotAllowed:
        return "Tag: " + tag + " is not allowed to add.\r\nPlease read information above.";
    case NewTagCheck::Exists:
        return "Tag: " + tag + " already exists in the current style.";
    case NewTagCheck::TableFull:
        return "Tag cannot be added. Maximum of " + std::to_string(MaxTagEntries)
            + " tags reached.";
    }
    return {};
}

void AppendNewTag(TagTable& table, const std::string& tag)
{
    const int position = table.tagCount + 1;
    RecTAGInfo entry = table.defaults();
    entry.tagName = cutToCapacity(tag, TagTextCapacity);
    entry.TagOpen = entry.tagName;
    std::string close;
    for (const char c : tag)
        close += c == '<' ? std::string("</") : std::string(1, c);
    entry.TagClose = cutToCapacity(close, TagTextCapacity);
    entry.index = position;
    table[position] = entry;
    table.tagCount = position;
}

std::string TagAddedMessage(const std::string& tagName)
{
    return "Tag " + tagName + " successfully added to the current style!\r\n"
        + "Now select your tag in the \"Tag Overview\" grid to configure it.";
}

std::string RemoveTagQuestion(const std::string& tagOpen)
{
    return "Remove tag " + tagOpen + " from current style?";
}

} // namespace zenkel
