#include "editor/ColoredRtf.h"

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

class RtfSink
{
public:
    RtfSink(std::string_view text, std::string& out)
        : m_text(text)
        , m_out(out)
    { }
    void color(ColorClass c)
    {
        m_out += "\\cf";
        m_out += static_cast<char>('0' + static_cast<int>(c));
        m_out += ' ';
    }
    void chars(std::size_t begin, std::size_t end)
    {
        for (std::size_t i = begin; i < end; ++i) {
            const char c = m_text[i];
            switch (c) {
            case '\\':
            case '{':
            case '}':
                m_out += '\\';
                m_out += c;
                break;
            case '\r':
                // CR LF is one line break; its LF is skipped when it comes.
                if (i + 1 < m_text.size() && m_text[i + 1] == '\n')
                    m_skipLf = i + 1;
                m_out += "\r\n\\par ";
                break;
            case '\n':
                if (i != m_skipLf)
                    m_out += "\r\n\\par ";
                break;
            default:
                m_out += c;
            }
        }
    }
    void openComment(std::size_t) { }

private:
    std::string_view m_text;
    std::string& m_out;
    std::size_t m_skipLf = std::string_view::npos;
};

void appendColorEntry(std::string& out, ColorValue v)
{
    out += "\\red" + std::to_string(RedOf(v)) + "\\green" + std::to_string(GreenOf(v)) + "\\blue"
        + std::to_string(BlueOf(v)) + ";";
}

bool isAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

/// The RTF reader: a group stack of destinations and one pass over the input.
class RtfReader
{
public:
    explicit RtfReader(std::string_view rtf)
        : m_rtf(rtf)
    { }

    RtfContent read()
    {
        m_content.ok = m_rtf.substr(0, 5) == "{\\rtf";
        if (!m_content.ok)
            return std::move(m_content);
        m_stack.push_back(Destination::Body);
        while (m_pos < m_rtf.size()) {
            const char c = m_rtf[m_pos++];
            if (c == '{')
                m_stack.push_back(m_stack.back());
            else if (c == '}') {
                if (m_stack.size() > 1)
                    m_stack.pop_back();
            } else if (c == '\\')
                readControl();
            else if (c == '\r' || c == '\n')
                continue;
            else if (destination() == Destination::ColorTable && c == ';')
                endColorEntry();
            else
                put(c);
        }
        return std::move(m_content);
    }

private:
    enum class Destination
    {
        Body,
        ColorTable,
        Skip,
    };

    Destination destination() const { return m_stack.back(); }

    void put(char c)
    {
        if (destination() != Destination::Body)
            return;
        m_content.text += c;
        m_content.classes += m_class;
    }

    void readControl()
    {
        if (m_pos >= m_rtf.size())
            return;
        const char c = m_rtf[m_pos];
        if (!isAsciiLetter(c)) {
            ++m_pos;
            if (c == '\'' && m_pos + 1 < m_rtf.size()) {
                const int hi = hexValue(m_rtf[m_pos]);
                const int lo = hexValue(m_rtf[m_pos + 1]);
                if (hi >= 0 && lo >= 0) {
                    m_pos += 2;
                    put(static_cast<char>(hi * 16 + lo));
                }
            } else if (c == '\\' || c == '{' || c == '}')
                put(c);
            return;
        }
        const std::size_t wordStart = m_pos;
        while (m_pos < m_rtf.size() && isAsciiLetter(m_rtf[m_pos]))
            ++m_pos;
        const std::string_view word = m_rtf.substr(wordStart, m_pos - wordStart);
        bool hasParam = false;
        bool negative = false;
        long param = 0;
        if (m_pos < m_rtf.size() && m_rtf[m_pos] == '-') {
            negative = true;
            ++m_pos;
        }
        while (m_pos < m_rtf.size() && m_rtf[m_pos] >= '0' && m_rtf[m_pos] <= '9') {
            hasParam = true;
            if (param < 100000000)
                param = param * 10 + (m_rtf[m_pos] - '0');
            ++m_pos;
        }
        if (negative)
            param = -param;
        if (m_pos < m_rtf.size() && m_rtf[m_pos] == ' ')
            ++m_pos;
        applyWord(word, hasParam ? param : -1);
    }

    void applyWord(std::string_view word, long param)
    {
        if (word == "fonttbl" || word == "stylesheet" || word == "info")
            m_stack.back() = Destination::Skip;
        else if (word == "colortbl")
            m_stack.back() = Destination::ColorTable;
        else if (destination() == Destination::ColorTable) {
            const int v = static_cast<int>(param < 0 ? 0 : param & 0xFF);
            if (word == "red")
                m_red = v;
            else if (word == "green")
                m_green = v;
            else if (word == "blue")
                m_blue = v;
        } else if (word == "cf")
            m_class = param >= 0 && param < ColorClassCount ? static_cast<char>(param) : 0;
        else if (word == "par" || word == "line") {
            put('\r');
            put('\n');
        } else if (word == "tab")
            put('\t');
    }

    void endColorEntry()
    {
        m_content.colorTable.push_back(RgbColor(m_red, m_green, m_blue));
        m_red = m_green = m_blue = 0;
    }

    std::string_view m_rtf;
    std::size_t m_pos = 0;
    std::vector<Destination> m_stack;
    RtfContent m_content;
    char m_class = 0;
    int m_red = 0;
    int m_green = 0;
    int m_blue = 0;
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

std::string BuildColoredRtf(std::string_view text, const ColorSet& colors)
{
    std::string out;
    out.reserve(text.size() + text.size() / 8 + 300);
    out += "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fswiss MS SansSerif;}"
           "{\\f1\\froman\\fcharset2 Symbol;}{\\f2\\fmodern Courier New;}}\r\n{\\colortbl";
    for (ColorClass c :
        {ColorClass::Text, ColorClass::Tag, ColorClass::Quoted, ColorClass::Comment})
        appendColorEntry(out, colors.color(c));
    out += "}\r\n\\deflang1033\\pard\\plain\\f2\\fs18\\cf0 ";
    RtfSink sink(text, out);
    WalkColorClasses(text, sink);
    out += '}';
    return out;
}

RtfContent ReadColoredRtf(std::string_view rtf)
{
    return RtfReader(rtf).read();
}

} // namespace zenkel
