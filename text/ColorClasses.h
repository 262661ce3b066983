/// Whole-text colouring without the editor: the colour classes of an HTML text, as runs or as
/// one class per byte, which the editor applies as its styling.
#pragma once

#include "text/ColorSet.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zenkel {

/// A stretch of text of one colour class; positions are byte offsets into the text.
struct ColorRun
{
    std::size_t start = 0;
    std::size_t length = 0;
    ColorClass colorClass = ColorClass::Text;
    friend bool operator==(const ColorRun&, const ColorRun&) = default;
};

/// Walks text and reports its colour classes to sink: sink.color(c) when the class changes
/// (possibly repeated or with no characters following), sink.chars(begin, end) for each stretch
/// of characters of the class last reported, and sink.openComment(begin) for a comment that
/// runs to the end of the text without "-->". Only ASCII markup characters are looked at, so
/// the walk works on single-byte text and on UTF-8 alike.
///
/// The rules: text runs up to the next "<"; "<!--" starts a comment that ends after the first
/// "-->" found from the character after its "<" (so "<!-->" is complete); any other "<" starts
/// a tag that a ">" ends (copied) or a "<" ends (not copied); inside a tag a double quote
/// starts a quoted string that runs through the next double quote, or up to a "<" or ">".
template <class Sink> void WalkColorClasses(std::string_view text, Sink& sink);

/// The colour runs of the whole text, adjacent runs of one class merged. With
/// leaveOpenCommentUnpainted, a comment without "-->" gets no run (it stays as it is).
std::vector<ColorRun> ComputeColorRuns(
    std::string_view text, bool leaveOpenCommentUnpainted = false);

/// Writes the class of every byte of text into classes (resized to text.size()).
void FillColorClasses(std::string_view text, std::string& classes);

// ---- implementation of the template ------------------------------------------------------

namespace detail {
inline std::size_t findByte(std::string_view text, char c, std::size_t from)
{
    const std::size_t at = text.find(c, from);
    return at == std::string_view::npos ? text.size() : at;
}

/// The first of "<", ">" or a double quote at or after from; text.size() when none.
inline std::size_t findTagDelimiter(std::string_view text, std::size_t from)
{
    for (std::size_t i = from; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '<' || c == '>' || c == '"')
            return i;
    }
    return text.size();
}
} // namespace detail

template <class Sink> void WalkColorClasses(std::string_view text, Sink& sink)
{
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        if (text[i] != '<') {
            sink.color(ColorClass::Text);
            const std::size_t next = detail::findByte(text, '<', i);
            sink.chars(i, next);
            i = next;
        } else if (text.substr(i, 4) == "<!--") {
            sink.color(ColorClass::Comment);
            const std::size_t close = text.find("-->", i + 1);
            const std::size_t end = close == std::string_view::npos ? n : close + 3;
            sink.chars(i, end);
            if (close == std::string_view::npos)
                sink.openComment(i);
            sink.color(ColorClass::Text);
            i = end;
        } else {
            sink.color(ColorClass::Tag);
            sink.chars(i, i + 1);
            ++i;
            while (i < n) {
                const std::size_t d = detail::findTagDelimiter(text, i);
                sink.chars(i, d);
                i = d;
                if (i == n || text[i] == '<')
                    break;
                if (text[i] == '>') {
                    sink.chars(i, i + 1);
                    ++i;
                    break;
                }
                // A quoted string: through the closing quote, or up to a "<" or ">".
                sink.color(ColorClass::Quoted);
                const std::size_t q = detail::findTagDelimiter(text, i + 1);
                const std::size_t end = q < n && text[q] == '"' ? q + 1 : q;
                sink.chars(i, end);
                i = end;
                sink.color(ColorClass::Tag);
            }
        }
    }
}

} // namespace zenkel
