/// Tag hints: the hint list and the lookup for the tag at the caret.
#include "editor/TagHints.h"

#include "editor/FileText.h"
#include "editor/RichEdit.h"
#include "editor/TagLookup.h"

namespace zenkel {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

} // namespace

TagHintList::TagHintList(const QStringList& lines)
    : m_lines(lines)
{
    m_upperLines.reserve(lines.size());
    for (const QString& line : lines)
        m_upperLines.append(line.toUpper());
}

TagHintList TagHintList::load(const QString& path)
{
    std::string bytes;
    if (!ReadFileBytes(path, bytes))
        return {};
    QStringList lines = TextFromFileBytes(bytes).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    return TagHintList(lines);
}

std::optional<QString> TagHintList::hintFor(const QString& key) const
{
    const QString upperKey = key.toUpper();
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        if (!m_upperLines[i].startsWith(upperKey))
            continue;
        const QString& line = m_lines[i];
        const qsizetype colon = line.indexOf(u':');
        if (colon < 0)
            return QString();
        return line.mid(colon + 1, MaxHintLength).trimmed();
    }
    return std::nullopt;
}

QString TagHintKey(const QString& tagText)
{
    QString text = tagText;
    const qsizetype close = text.indexOf(u'>');
    if (close >= 0)
        text.truncate(close + 1);
    if (text.size() > 1 && text[1] == u'/')
        text.remove(1, 1);
    qsizetype n = 0;
    while (n < text.size() && !isBlank(text[n]) && text[n] != u'>')
        ++n;
    return text.left(n) + u'>';
}

std::optional<QString> TagHintAt(const RichEdit& editor, int pos, const TagHintList& hints)
{
    if (hints.isEmpty())
        return std::nullopt;
    const RecEditTagInfo tag = FindTagAtPos(editor, pos, false);
    if (tag.text.isEmpty())
        return std::nullopt;
    return hints.hintFor(TagHintKey(tag.text)).value_or(QString());
}

} // namespace zenkel
