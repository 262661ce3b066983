/// The colour classes of an HTML text, as runs or one class per byte.
#include "text/ColorClasses.h"

#include <cstring>

namespace zenkel {

namespace {

class RunSink
{
public:
    explicit RunSink(std::vector<ColorRun>& runs, bool leaveOpenCommentUnpainted)
        : m_runs(runs)
        , m_leaveOpenComment(leaveOpenCommentUnpainted)
    { }
    void color(ColorClass c) { m_class = c; }
    void chars(std::size_t begin, std::size_t end)
    {
        if (begin == end)
            return;
        if (!m_runs.empty() && m_runs.back().colorClass == m_class
            && m_runs.back().start + m_runs.back().length == begin)
            m_runs.back().length += end - begin;
        else
            m_runs.push_back({begin, end - begin, m_class});
    }
    void openComment(std::size_t begin)
    {
        if (!m_leaveOpenComment)
            return;
        while (!m_runs.empty() && m_runs.back().start >= begin)
            m_runs.pop_back();
        if (!m_runs.empty() && m_runs.back().start + m_runs.back().length > begin)
            m_runs.back().length = begin - m_runs.back().start;
    }

private:
    std::vector<ColorRun>& m_runs;
    bool m_leaveOpenComment;
    ColorClass m_class = ColorClass::Text;
};

class ClassSink
{
public:
    explicit ClassSink(std::string& classes)
        : m_classes(classes)
    { }
    void color(ColorClass c) { m_class = static_cast<char>(c); }
    void chars(std::size_t begin, std::size_t end)
    {
        if (end > begin)
            std::memset(m_classes.data() + begin, m_class, end - begin);
    }
    void openComment(std::size_t) { }

private:
    std::string& m_classes;
    char m_class = 0;
};

} // namespace

std::vector<ColorRun> ComputeColorRuns(std::string_view text, bool leaveOpenCommentUnpainted)
{
    std::vector<ColorRun> runs;
    RunSink sink(runs, leaveOpenCommentUnpainted);
    WalkColorClasses(text, sink);
    return runs;
}

void FillColorClasses(std::string_view text, std::string& classes)
{
    classes.resize(text.size());
    ClassSink sink(classes);
    WalkColorClasses(text, sink);
}

} // namespace zenkel
