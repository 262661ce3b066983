/// Unified diff of two texts, line by line, for zenkel --diff.
#include "cli/UnifiedDiff.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_map>
#include <utility>
#include <vector>

namespace zenkel {

namespace {

struct TextLines
{
    std::vector<std::string_view> lines; ///< without their line ends
    bool lastIncomplete = false; ///< the text does not end with a line end
};

TextLines splitLines(std::string_view text)
{
    TextLines result;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        result.lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size()) {
        result.lines.push_back(text.substr(start));
        result.lastIncomplete = true;
    }
    return result;
}

/// Equal lines get equal numbers, so the search compares numbers, not texts. An incomplete
/// last line gets a number of its own.
std::pair<std::vector<long>, std::vector<long>> numberLines(
    const TextLines& oldLines, const TextLines& newLines)
{
    std::unordered_map<std::string_view, long> numbers;
    auto number = [&numbers](const TextLines& text) {
        std::vector<long> ids;
        ids.reserve(text.lines.size());
        for (std::string_view line : text.lines) {
            const auto [it, added] = numbers.emplace(line, static_cast<long>(numbers.size()));
            (void)added;
            ids.push_back(it->second * 2);
        }
        if (text.lastIncomplete)
            ids.back() += 1;
        return ids;
    };
    std::vector<long> oldIds = number(oldLines);
    std::vector<long> newIds = number(newLines);
    return {std::move(oldIds), std::move(newIds)};
}

/// Myers' O(ND) difference search in linear space: each range is split at the middle of
/// its shortest edit path (found by a forward and a backward search meeting halfway) and
/// the halves are compared in turn. Past a cost limit the split takes the point that got
/// furthest, as xdiff does, so very different texts cost about (N + M) x limit per level.
class EditScript
{
public:
    EditScript(const std::vector<long>& a, const std::vector<long>& b)
        : removed(a.size(), 0)
        , added(b.size(), 0)
        , m_a(a)
        , m_b(b)
    {
        const long n = static_cast<long>(a.size());
        const long m = static_cast<long>(b.size());
        m_offset = m + 1;
        m_forward.assign(static_cast<std::size_t>(n + m + 3), 0);
        m_backward.assign(static_cast<std::size_t>(n + m + 3), 0);
        m_costLimit = std::max(256L, static_cast<long>(std::sqrt(static_cast<double>(n + m))));
        compareAll({0, n, 0, m});
    }

    std::vector<char> removed; ///< per old line: not in the new text
    std::vector<char> added; ///< per new line: not in the old text

private:
    struct Range
    {
        long x0, x1, y0, y1; ///< old lines [x0, x1), new lines [y0, y1)
    };

    long& forward(long k) { return m_forward[static_cast<std::size_t>(k + m_offset)]; }
    long& backward(long k) { return m_backward[static_cast<std::size_t>(k + m_offset)]; }

    void markAll(const Range& r)
    {
        std::fill(removed.begin() + r.x0, removed.begin() + r.x1, 1);
        std::fill(added.begin() + r.y0, added.begin() + r.y1, 1);
    }

    void compareAll(Range whole)
    {
        std::vector<Range> pending {whole};
        while (!pending.empty()) {
            Range r = pending.back();
            pending.pop_back();
            while (r.x0 < r.x1 && r.y0 < r.y1 && m_a[r.x0] == m_b[r.y0]) {
                ++r.x0;
                ++r.y0;
            }
            while (r.x0 < r.x1 && r.y0 < r.y1 && m_a[r.x1 - 1] == m_b[r.y1 - 1]) {
                --r.x1;
                --r.y1;
            }
            if (r.x0 == r.x1 || r.y0 == r.y1) {
                markAll(r);
                continue;
            }
            long sx = 0;
            long sy = 0;
            split(r, sx, sy);
            const bool inside = sx >= r.x0 && sx <= r.x1 && sy >= r.y0 && sy <= r.y1;
            const bool progress = (sx != r.x0 || sy != r.y0) && (sx != r.x1 || sy != r.y1);
            if (!inside || !progress) {
                markAll(r); // never expected; a correct if long script
                continue;
            }
            pending.push_back({sx, r.x1, sy, r.y1});
            pending.push_back({r.x0, sx, r.y0, sy});
        }
    }

    /// The diagonals of the next cost: one further out on each side where the range allows,
    /// else one further in; the diagonal just outside gets the unreached mark.
    void widen(long& low, long& high, long kMin, long kMax, std::vector<long>& v, long unreached)
    {
        if (low > kMin)
            v[static_cast<std::size_t>(--low - 1 + m_offset)] = unreached;
        else
            ++low;
        if (high < kMax)
            v[static_cast<std::size_t>(++high + 1 + m_offset)] = unreached;
        else
            --high;
    }

    /// The split point of a range whose first and last lines differ. Diagonal k holds the
    /// points with x - y = k; forward(k) is the furthest x reached from the start on it,
    /// backward(k) the smallest x reached from the end.
    void split(const Range& r, long& sx, long& sy)
    {
        constexpr long Unreached = std::numeric_limits<long>::max();
        const long kMin = r.x0 - r.y1;
        const long kMax = r.x1 - r.y0;
        const long fMid = r.x0 - r.y0;
        const long bMid = r.x1 - r.y1;
        const bool odd = ((fMid - bMid) & 1) != 0;
        long fMin = fMid, fMax = fMid, bMin = bMid, bMax = bMid;
        forward(fMid) = r.x0;
        backward(bMid) = r.x1;
        for (long cost = 1;; ++cost) {
            // One more step forward on every second diagonal, kept inside the range.
            widen(fMin, fMax, kMin, kMax, m_forward, -1);
            for (long k = fMax; k >= fMin; k -= 2) {
                long x = forward(k - 1) >= forward(k + 1) ? forward(k - 1) + 1 : forward(k + 1);
                long y = x - k;
                while (x < r.x1 && y < r.y1 && m_a[x] == m_b[y]) {
                    ++x;
                    ++y;
                }
                forward(k) = x;
                if (odd && k >= bMin && k <= bMax && backward(k) <= x) {
                    sx = x;
                    sy = y;
                    return;
                }
            }
            // And one step backward.
            widen(bMin, bMax, kMin, kMax, m_backward, Unreached);
            for (long k = bMax; k >= bMin; k -= 2) {
                long x = backward(k - 1) < backward(k + 1) ? backward(k - 1) : backward(k + 1) - 1;
                long y = x - k;
                while (x > r.x0 && y > r.y0 && m_a[x - 1] == m_b[y - 1]) {
                    --x;
                    --y;
                }
                backward(k) = x;
                if (!odd && k >= fMin && k <= fMax && x <= forward(k)) {
                    sx = x;
                    sy = y;
                    return;
                }
            }
            if (cost >= m_costLimit) {
                furthestPoint(r, fMin, fMax, bMin, bMax, sx, sy);
                return;
            }
        }
    }

    /// Past the cost limit: the point, forward or backward, that covers the most lines.
    void furthestPoint(
        const Range& r, long fMin, long fMax, long bMin, long bMax, long& sx, long& sy)
    {
        long forwardBest = -1, forwardX = r.x0;
        for (long k = fMax; k >= fMin; k -= 2) {
            long x = std::min(forward(k), r.x1);
            long y = x - k;
            if (y > r.y1) {
                x = r.y1 + k;
                y = r.y1;
            }
            if (x + y > forwardBest) {
                forwardBest = x + y;
                forwardX = x;
            }
        }
        long backwardBest = std::numeric_limits<long>::max(), backwardX = r.x1;
        for (long k = bMax; k >= bMin; k -= 2) {
            long x = std::max(backward(k), r.x0);
            long y = x - k;
            if (y < r.y0) {
                x = r.y0 + k;
                y = r.y0;
            }
            if (x + y < backwardBest) {
                backwardBest = x + y;
                backwardX = x;
            }
        }
        if ((r.x1 + r.y1) - backwardBest < forwardBest - (r.x0 + r.y0)) {
            sx = forwardX;
            sy = forwardBest - forwardX;
        } else {
            sx = backwardX;
            sy = backwardBest - backwardX;
        }
    }

    const std::vector<long>& m_a;
    const std::vector<long>& m_b;
    long m_offset = 0;
    long m_costLimit = 0;
    std::vector<long> m_forward;
    std::vector<long> m_backward;
};

/// One run of removed and added lines between equal ones: old [oldStart, oldEnd), new
/// [newStart, newEnd).
struct Change
{
    std::size_t oldStart, oldEnd, newStart, newEnd;
};

std::vector<Change> changesOf(const EditScript& script)
{
    std::vector<Change> changes;
    const std::size_t n = script.removed.size();
    const std::size_t m = script.added.size();
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < n || j < m) {
        if (i < n && j < m && !script.removed[i] && !script.added[j]) {
            ++i;
            ++j;
            continue;
        }
        Change change {i, i, j, j};
        while (i < n && (script.removed[i] || j == m))
            ++i;
        while (j < m && (script.added[j] || i == n))
            ++j;
        change.oldEnd = i;
        change.newEnd = j;
        changes.push_back(change);
    }
    return changes;
}

/// "-5,3", "-5" for one line, "-4,0" (the line before) for none.
std::string hunkRange(char sign, std::size_t start, std::size_t count)
{
    std::string text(1, sign);
    text += std::to_string(count == 0 ? start : start + 1);
    if (count != 1) {
        text += ',';
        text += std::to_string(count);
    }
    return text;
}

class HunkWriter
{
public:
    HunkWriter(const TextLines& oldLines, const TextLines& newLines, std::string& out)
        : m_old(oldLines)
        , m_new(newLines)
        , m_out(out)
    { }

    /// Writes changes [first, last] as one hunk with context lines around them.
    void write(const std::vector<Change>& changes, std::size_t first, std::size_t last,
        std::size_t context)
    {
        const Change& head = changes[first];
        const Change& tail = changes[last];
        const std::size_t before = std::min(context, head.oldStart);
        const std::size_t after = std::min(context, m_old.lines.size() - tail.oldEnd);
        const std::size_t oldStart = head.oldStart - before;
        const std::size_t newStart = head.newStart - before;
        const std::size_t oldEnd = tail.oldEnd + after;
        const std::size_t newEnd = tail.newEnd + after;
        m_out += "@@ " + hunkRange('-', oldStart, oldEnd - oldStart) + " "
            + hunkRange('+', newStart, newEnd - newStart) + " @@\n";
        std::size_t at = oldStart;
        for (std::size_t c = first; c <= last; ++c) {
            for (; at < changes[c].oldStart; ++at)
                line(' ', m_old, at);
            for (std::size_t i = changes[c].oldStart; i < changes[c].oldEnd; ++i)
                line('-', m_old, i);
            for (std::size_t j = changes[c].newStart; j < changes[c].newEnd; ++j)
                line('+', m_new, j);
            at = changes[c].oldEnd;
        }
        for (; at < oldEnd; ++at)
            line(' ', m_old, at);
    }

private:
    void line(char sign, const TextLines& text, std::size_t i)
    {
        m_out += sign;
        m_out += text.lines[i];
        m_out += '\n';
        if (text.lastIncomplete && i + 1 == text.lines.size())
            m_out += "\\ No newline at end of file\n";
    }

    const TextLines& m_old;
    const TextLines& m_new;
    std::string& m_out;
};

std::string_view withoutLeadingRoot(std::string_view name)
{
    for (;;) {
        if (!name.empty() && name.front() == '/')
            name.remove_prefix(1);
        else if (name.size() > 1 && name.substr(0, 2) == "./")
            name.remove_prefix(2);
        else
            return name;
    }
}

} // namespace

std::string unifiedDiffHunks(std::string_view oldText, std::string_view newText, int context)
{
    const TextLines oldLines = splitLines(oldText);
    const TextLines newLines = splitLines(newText);
    const auto [oldIds, newIds] = numberLines(oldLines, newLines);
    const EditScript script(oldIds, newIds);
    const std::vector<Change> changes = changesOf(script);

    std::string out;
    HunkWriter writer(oldLines, newLines, out);
    const std::size_t lines = static_cast<std::size_t>(std::max(0, context));
    std::size_t first = 0;
    for (std::size_t c = 0; c < changes.size(); ++c) {
        // Changes whose context would touch or overlap share one hunk.
        const bool last
            = c + 1 == changes.size() || changes[c + 1].oldStart - changes[c].oldEnd > 2 * lines;
        if (last) {
            writer.write(changes, first, c, lines);
            first = c + 1;
        }
    }
    return out;
}

std::string unifiedDiff(
    std::string_view oldText, std::string_view newText, const std::string& name, int context)
{
    if (oldText == newText)
        return {};
    const std::string hunks = unifiedDiffHunks(oldText, newText, context);
    const std::string_view shown = withoutLeadingRoot(name);
    if (hunks.empty()) {
        // As diff reports files it shows no lines of: one line, which patch passes over.
        std::string note = "Files a/";
        note += shown;
        note += " and b/";
        note += shown;
        return note + " differ in line ends only\n";
    }
    std::string out = "--- a/";
    out += shown;
    out += "\n+++ b/";
    out += shown;
    out += '\n';
    return out + hunks;
}

} // namespace zenkel
