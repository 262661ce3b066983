/// Tag hints: the lines of "tagsyntax.txt" and the hint for the tag at an editor position.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace zenkel {

class RichEdit;

/// The tag hint list: the file's lines in file order. A useful line starts with a tag key
/// ("<A>", "<TABLE>", compared without regard to case); its hint is what follows the line's
/// first ':', at most MaxHintLength characters, blanks removed at both ends.
class TagHintList
{
public:
    static constexpr int MaxHintLength = 1000;

    TagHintList() = default;
    explicit TagHintList(const QStringList& lines);

    /// Reads the file (UTF-8 or Windows-1252) and splits it at its line breaks. A missing or
    /// unreadable file gives an empty list.
    static TagHintList load(const QString& path);

    bool isEmpty() const { return m_lines.isEmpty(); }
    int size() const { return static_cast<int>(m_lines.size()); }

    /// The hint of the first line that starts with key; nothing when no line does.
    std::optional<QString> hintFor(const QString& key) const;

private:
    QStringList m_lines;
    QStringList m_upperLines;
};

/// The hint key of a tag text: cut after its first '>', a '/' in second place removed, then
/// the characters up to the first blank or '>' and a '>' appended. «<a href="x">» gives «<a>»,
/// «</TD>» «<TD>», «<!DOCTYPE html>» «<!DOCTYPE>».
QString TagHintKey(const QString& tagText);

/// TForm1.ShowTagHint without the widget: the text for the hint line when the caret is at
/// pos. Nothing (the hint line keeps its text) when the list is empty or no tag is found
/// around pos; an empty text when the tag has no line in the list.
std::optional<QString> TagHintAt(const RichEdit& editor, int pos, const TagHintList& hints);

} // namespace zenkel
