/// Search and replace over the editor text: Find Next, Replace and Replace All, always
/// searching forward.
#pragma once

#include <QString>

namespace zenkel {

class RichEdit;

/// The dialog options that the search uses.
struct SearchOptions
{
    bool matchCase = false;
    bool wholeWord = false;
};

/// The editor's find flags (RichEdit::FindOption) for the options.
int SearchType(SearchOptions options);

/// "\"find\" not found."
QString NotFoundMessage(const QString& find);
/// "\"find\", Replace done: count times"
QString ReplaceDoneMessage(const QString& find, int count);

struct FindReplaceResult
{
    bool found = false;
    int position = -1; ///< where the first match was found
    int replaced = 0; ///< replacements made
    /// The information message to show (not found, or the count of Replace All); empty for
    /// none.
    QString message;
};

/// One press of a dialog button. The search starts just after the selection, or at 0 when
/// nothing is selected, and runs forward to the end of the text; a match is selected (and
/// the editor gets the focus when it can take it). With replace, the match is replaced by
/// replacement and the replacement selected, or with replaceAll the match and every later one
/// are replaced (ReplaceAllFrom). Replace All starts at the selection itself when the
/// selection is a match, so that the match a Find Next showed is replaced too. An empty search
/// text finds nothing and says nothing. The modified flag and the message box are the
/// caller's.
FindReplaceResult FindReplace(RichEdit& editor, const QString& find, const QString& replacement,
    bool replace, bool replaceAll, SearchOptions options);

/// Replaces every match of find from position p on by replacement, searching on after each
/// inserted replacement (so a replacement that holds the search text is not searched again).
/// All replacements form one undo step; the text in between keeps its colours and each
/// replacement takes the colour of the match it replaces. The caret ends after the last
/// replacement. Returns the number of replacements.
int ReplaceAllFrom(
    RichEdit& editor, const QString& find, const QString& replacement, int searchType, int p);

} // namespace zenkel
