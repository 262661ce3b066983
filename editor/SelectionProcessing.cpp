/// Selection processing: widening, the engine's text form and the engine run on a selection.
#include "editor/SelectionProcessing.h"

#include "editor/RichEdit.h"
#include "engine/Engine.h"
#include "text/TextEncoding.h"

#include <algorithm>

namespace zenkel {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

bool isLineBreak(QChar c)
{
    return c == u'\r' || c == u'\n';
}

int lineStartOf(QStringView text, int pos)
{
    while (pos > 0 && !isLineBreak(text[pos - 1]))
        --pos;
    return pos;
}

int lineEndOf(QStringView text, int pos)
{
    const int n = static_cast<int>(text.size());
    while (pos < n && !isLineBreak(text[pos]))
        ++pos;
    return pos;
}

/// The length of the line break at pos: 2 for CR LF, 1 for a lone CR or LF, 0 at the end.
int lineBreakLength(QStringView text, int pos)
{
    const int n = static_cast<int>(text.size());
    if (pos >= n)
        return 0;
    if (text[pos] == u'\r' && pos + 1 < n && text[pos + 1] == u'\n')
        return 2;
    return 1;
}

bool hasLoneCr(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text[i] == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n'))
            return true;
    return false;
}

bool allBlank(QStringView text)
{
    return std::all_of(text.begin(), text.end(), isBlank);
}

/// The tag or comment around pos with positions that lie in the text, or nothing. A comment
/// whose other end is missing has no usable bounds; the plain tag around pos stands in.
std::optional<RecEditTagInfo> usableTagAt(
    int pos, int length, const TagFinder& findTag, const TagFinder& findPlainTag)
{
    RecEditTagInfo info = findTag(pos);
    if (info.kind == RecEditTagInfo::CommentWithoutEnd
        || info.kind == RecEditTagInfo::CommentWithoutStart)
        info = findPlainTag(pos);
    if (info.kind == RecEditTagInfo::Nothing || info.start < 0 || info.end > length
        || info.start >= info.end)
        return std::nullopt;
    return info;
}

/// Escape characters for placeholders: control characters that HTML text practically never
/// holds and that the engine treats as ordinary text.
constexpr char16_t EscapeCandidates[]
    = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x0B, 0x0C, 0x0E, 0x0F, 0x10, 0x11, 0x12,
        0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x1B, 0x1C, 0x1D, 0x1E, 0x1F, 0x7F};

bool needsPlaceholder(QStringView text)
{
    for (const QChar c : text)
        if (UnicodeToWindows1252(c.unicode()) < 0)
            return true;
    return false;
}

char chooseEscape(QStringView text)
{
    for (const char16_t candidate : EscapeCandidates)
        if (!text.contains(QChar(candidate)))
            return static_cast<char>(candidate);
    return 0;
}

void appendCodePoint(QString& out, char32_t cp)
{
    if (cp > 0xFFFF)
        out += QString::fromUcs4(&cp, 1);
    else
        out += QChar(static_cast<char16_t>(cp));
}

/// Reads the placeholder whose hexadecimal digits start at i; on success sets *cp and returns
/// the index after its closing escape, else returns npos.
std::size_t readPlaceholder(std::string_view bytes, std::size_t i, char escape, char32_t* cp)
{
    char32_t value = 0;
    std::size_t j = i;
    for (; j < bytes.size() && j - i <= 6; ++j) {
        const char c = bytes[j];
        if (c == escape)
            break;
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit < 0)
            return std::string_view::npos;
        value = value * 16 + static_cast<char32_t>(digit);
    }
    if (j == i || j >= bytes.size() || bytes[j] != escape || value > 0x10FFFF)
        return std::string_view::npos;
    *cp = value;
    return j + 1;
}

} // namespace

QString FormatItemCaption(const QString& styleName)
{
    return QStringLiteral("Format selection with: \"") + styleName + QLatin1Char('"');
}

QStringList EditorPopupCaptions(const QString& popUpStyleName, const QStringList& styles)
{
    QStringList captions {FormatItemCaption(popUpStyleName), QStringLiteral("-"),
        QString::fromLatin1(CompressSelectionCaption), QString::fromLatin1(TrimSelectionCaption),
        QStringLiteral("-")};
    for (qsizetype i = 0; i < styles.size() && i < MaxPopupStyleItems; ++i)
        captions.append(FormatItemCaption(styles[i]));
    return captions;
}

QString StyleNameFromCaption(const QString& caption)
{
    const qsizetype quote = caption.indexOf(u'"');
    if (quote < 0)
        return caption;
    QString name = caption.mid(quote, 100);
    name.remove(u'"');
    return name;
}

Operation OperationOfItem(const QString& captionText)
{
    if (captionText == QLatin1String(CompressSelectionCaption))
        return Operation::Compress;
    if (captionText == QLatin1String(TrimSelectionCaption))
        return Operation::Trim;
    return Operation::Format;
}

std::optional<WidenedSelection> WidenSelection(
    QStringView text, int s, int e, const TagFinder& findTag, const TagFinder& findPlainTag)
{
    const int len = static_cast<int>(text.size());
    s = std::clamp(s, 0, len);
    e = std::clamp(e, s, len);
    const QStringView selected = text.mid(s, e - s);

    WidenedSelection result;
    const auto first = std::find_if_not(selected.begin(), selected.end(), isBlank);
    if (first != selected.end() && *first == u'<') {
        result.start = s;
    } else {
        const auto tag = usableTagAt(s, len, findTag, findPlainTag);
        if (!tag)
            return std::nullopt;
        result.start = tag->start;
    }
    const auto last = std::find_if_not(selected.rbegin(), selected.rend(), isBlank);
    if (last != selected.rend() && *last == u'>') {
        result.end = e;
    } else {
        const auto tag = usableTagAt(e, len, findTag, findPlainTag);
        if (!tag)
            return std::nullopt;
        result.end = std::min(tag->end, len);
    }
    if (result.end <= result.start)
        return std::nullopt;

    const int lineStart = lineStartOf(text, result.start);
    result.flags.leadingBreak = !allBlank(text.mid(lineStart, result.start - lineStart));
    if (!result.flags.leadingBreak)
        result.start = lineStart;

    result.flags.trailingText = false;
    if (text[result.end - 1] != u'\n') {
        const int lineEnd = lineEndOf(text, result.end);
        if (!allBlank(text.mid(result.end, lineEnd - result.end)))
            result.flags.trailingText = true;
        else
            result.end = std::min(lineEnd + lineBreakLength(text, lineEnd), len);
    }
    return result;
}

bool ExtendSelection(RichEdit& editor, SelectionFlags& flags)
{
    const int s = editor.selectionStart();
    const int e = s + editor.selectionLength();
    const auto widened = WidenSelection(
        editor.plainText(), s, e, [&editor](int pos) { return FindTagAtPos(editor, pos, true); },
        [&editor](int pos) { return FindTagAtPos(editor, pos, false); });
    if (!widened)
        return false;
    flags = widened->flags;
    if (widened->start != s || widened->end != e)
        editor.selectRange(widened->start, widened->end - widened->start);
    return true;
}

QString LeadingIndent(QStringView line)
{
    qsizetype n = 0;
    while (n < line.size() && (line[n] == u' ' || line[n] == u'\t'))
        ++n;
    return line.left(n).toString();
}

EngineText EngineTextFromEditor(QStringView text)
{
    EngineText result;
    if (needsPlaceholder(text)) {
        result.form.escape = chooseEscape(text);
        if (result.form.escape == 0) {
            // Every escape candidate is taken: UTF-8 bytes keep the text, at the price of the
            // engine seeing multi-byte characters.
            result.form.utf8 = true;
            result.bytes = text.toUtf8().toStdString();
            return result;
        }
    }
    result.bytes.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int byte = UnicodeToWindows1252(text[i].unicode());
        if (byte >= 0) {
            result.bytes += static_cast<char>(byte);
            continue;
        }
        char32_t cp = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            cp = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        result.bytes += result.form.escape;
        result.bytes += QString::number(static_cast<uint>(cp), 16).toUpper().toStdString();
        result.bytes += result.form.escape;
    }
    return result;
}

QString EditorTextFromEngine(std::string_view bytes, EngineTextForm form)
{
    if (form.utf8)
        return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    const char escape = form.escape;
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        char32_t cp = 0;
        if (escape != 0 && c == escape) {
            const std::size_t next = readPlaceholder(bytes, i + 1, escape, &cp);
            if (next != std::string_view::npos) {
                appendCodePoint(out, cp);
                i = next - 1;
                continue;
            }
        }
        appendCodePoint(out, Windows1252ToUnicode(static_cast<unsigned char>(c)));
    }
    return out;
}

EngineText SelectionSourceText(QStringView selected)
{
    QString lf;
    lf.reserve(selected.size());
    for (qsizetype i = 0; i < selected.size(); ++i) {
        if (selected[i] == u'\r' && i + 1 < selected.size() && selected[i + 1] == u'\n')
            continue;
        lf += selected[i];
    }
    return EngineTextFromEditor(lf);
}

QString ProcessSelection(RichEdit& editor, Engine& engine, Operation operation,
    const SelectionFlags& flags, const std::string& diagnosticDir)
{
    const int start = editor.selectionStart();
    const EngineText source
        = SelectionSourceText(editor.textRange(start, editor.selectionLength()));
    const int line = editor.lineOfPosition(start);
    const QString prefix = LeadingIndent(
        editor.textRange(editor.lineStartPosition(line), editor.lineTextLength(line)));

    // The switch goes off again however the run ends.
    struct SelectionSwitch
    {
        Engine& engine;
        ~SelectionSwitch() { engine.setSelectionProcessing(false); }
    } selectionSwitch {engine};
    engine.setSelectionProcessing(true, prefix.toStdString());
    engine.setSourceText(source.bytes, engine.fileName());
    if (!engine.runOperation(operation))
        return {};
    // Only written for inspection, never read back.
    (void)engine.writeDiagnosticFiles(diagnosticDir);

    std::string lines;
    const TextList& output = engine.outputList();
    for (std::size_t i = 0; i < output.size(); ++i) {
        lines += output[i];
        lines += "\r\n";
    }
    QString result = EditorTextFromEngine(lines, source.form);
    if (flags.leadingBreak)
        result.prepend(QStringLiteral("\r\n"));
    if (flags.trailingText)
        result += prefix;
    // A lone CR of the selection stays inside its line; the editor holds it as CR LF.
    if (hasLoneCr(result))
        result = QString::fromStdString(NormalizeLineEnds(result.toStdString()));
    return result;
}

} // namespace zenkel
