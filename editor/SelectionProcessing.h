/// Selection processing: the widening of the editor's selection to whole tags and lines, the
/// editor text in the engine's single-byte form and back, and the engine run on a selection.
#pragma once

#include "editor/TagLookup.h"
#include "engine/Operation.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace zenkel {

class Engine;
class RichEdit;

/// What the widening found out about the selection's surroundings; kept from the popup to
/// the click.
struct SelectionFlags
{
    /// Non-blank text stands before the selection on its first line: the result gets a line
    /// break in front.
    bool leadingBreak = false;
    /// Non-blank text stands after the selection on its last line: the result gets the
    /// selection prefix at its end.
    bool trailingText = false;
};

// ---- the editor's popup menu ----------------------------------------------------------------

/// At most this many styles get an item of their own.
constexpr int MaxPopupStyleItems = 15;
inline constexpr const char* CompressSelectionCaption = "Compress Selection";
inline constexpr const char* TrimSelectionCaption = "Trim Selection";

/// "Format selection with: " + the style name in double quotes.
QString FormatItemCaption(const QString& styleName);
/// The captions of the popup in order ("-" for a separator): the popup style's format item,
/// Compress, Trim, then one format item for each of the first MaxPopupStyleItems styles.
QStringList EditorPopupCaptions(const QString& popUpStyleName, const QStringList& styles);
/// The caption from its first double quote on (at most 100 characters) without any double
/// quote: the style name of a format item; a caption without a quote comes back whole.
QString StyleNameFromCaption(const QString& caption);
/// Compress or Trim for their items (exact text), Format for every other.
Operation OperationOfItem(const QString& captionText);

// ---- widening ---------------------------------------------------------------------------------

/// The tag or comment around a position, as FindTagAtPos finds it.
using TagFinder = std::function<RecEditTagInfo(int pos)>;

struct WidenedSelection
{
    int start = 0;
    int end = 0; ///< one past the last selected character
    SelectionFlags flags;
};

/// The widened selection s .. e of text (0-based, line breaks CR LF): it starts at the "<" of
/// the tag it begins in or after and ends after the ">" of the tag it ends in or before; where
/// only blanks stand before it on its first line it starts at the line start, and where only
/// blanks follow it on its last line it takes the line's break as well. Nothing when no tag
/// lies before the start or after the end. A comment that has no "-->" (or no "<!--") counts
/// as the plain tag around the position, so the result always lies within the text.
/// findTag looks up with commentAware on, findPlainTag with it off.
std::optional<WidenedSelection> WidenSelection(
    QStringView text, int s, int e, const TagFinder& findTag, const TagFinder& findPlainTag);

/// Widens the editor's selection as WidenSelection does and sets the flags; when no tag is
/// found the selection and the flags stay as they are (false).
bool ExtendSelection(RichEdit& editor, SelectionFlags& flags);

/// The leading blanks and TABs of line.
QString LeadingIndent(QStringView line);

/// The engine's single-byte form of editor text: every character that Windows-1252 holds
/// becomes its byte; any other character becomes a placeholder (escape, hexadecimal code
/// point, escape) with an escape control character that the text does not contain, so that
/// the engine passes it through and EditorTextFromEngine brings it back.
/// (Should every candidate escape character occur in the text, the text goes as UTF-8 bytes.)
struct EngineTextForm
{
    char escape = 0; ///< 0: no placeholders
    bool utf8 = false; ///< UTF-8 bytes instead of Windows-1252
};
struct EngineText
{
    std::string bytes;
    EngineTextForm form;
};
EngineText EngineTextFromEditor(QStringView text);
QString EditorTextFromEngine(std::string_view bytes, EngineTextForm form);

/// The selected text as the engine's source text: CR LF pairs become LF (a lone CR or LF
/// stays), in the single-byte form above.
EngineText SelectionSourceText(QStringView selected);

/// Runs operation (Format, Compress or Trim) on the editor's selection with the engine in its
/// selection processing mode and returns the result: every output line followed by CR LF,
/// with CR LF in front when flags.leadingBreak and the selection prefix (the indent of the
/// line holding the selection start) behind when flags.trailingText. The scan lists are
/// written into diagnosticDir as a whole-file job writes them (failures there are ignored).
QString ProcessSelection(RichEdit& editor, Engine& engine, Operation operation,
    const SelectionFlags& flags, const std::string& diagnosticDir);

} // namespace zenkel
