/// Unified diff of two texts, line by line, for zenkel --diff.
#pragma once

#include <string>
#include <string_view>

namespace zenkel {

/// Lines of context around each change, as "diff -u" has them.
constexpr int DiffContextLines = 3;

/// The hunks ("@@ -a,b +c,d @@" and their ' ', '-' and '+' lines) that turn oldText into
/// newText; empty when their lines are equal. Lines end at CR LF, LF or a lone CR, and the
/// line end itself is not compared, so texts that differ only in line ends give no hunk. A
/// last line without a line end differs from the same line with one and is followed by
/// "\ No newline at end of file". Every written line ends in LF. The edit script is minimal
/// for small differences; for large ones the search is cut short, which keeps the time near
/// linear and may give a longer (still correct) diff.
std::string unifiedDiffHunks(
    std::string_view oldText, std::string_view newText, int context = DiffContextLines);

/// "--- a/NAME", "+++ b/NAME" and the hunks; empty when the texts are equal. Texts that differ
/// in line ends only give the one line "Files a/NAME and b/NAME differ in line ends only".
/// Leading '/' and "./" of name are dropped after "a/" and "b/".
std::string unifiedDiff(std::string_view oldText, std::string_view newText, const std::string& name,
    int context = DiffContextLines);

} // namespace zenkel
