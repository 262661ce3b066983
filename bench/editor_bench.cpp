/// Editor benchmark: opening large HTML files with colouring, a whole-text repaint and the
/// time to handle one typed character. Runs offscreen unless a platform is set.
#include "editor/EditorColoring.h"
#include "editor/RichEdit.h"
#include "editor/SyntaxColoring.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTemporaryDir>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

/// An HTML page of about size bytes: tables, links, comments, quoted attributes and some
/// Windows-1252 letters, in lines of ordinary length (or all on one line).
std::string makePage(std::size_t size, bool oneLine)
{
    const char* eol = oneLine ? "" : "\r\n";
    std::string page = std::string("<html>") + eol + "<body bgcolor=\"#FFFFFF\">" + eol;
    for (int row = 0; page.size() < size; ++row) {
        page += "<!-- row " + std::to_string(row) + " -->" + eol;
        page += "<tr><td class=\"menu\" width=120><a href=\"page" + std::to_string(row)
            + ".htm\">Gr\xF6\xDF"
              "e und M\xE4"
              "rz</a></td>"
            + eol;
        page += "    <td align=right>Some running text of the page, with a <b>bold</b> word and "
                "an <img src=\"x.gif\" alt=\"pic\"> picture.</td></tr>";
        page += eol;
    }
    page += std::string("</body>") + eol + "</html>" + eol;
    return page;
}

/// A page of about size bytes on one line, nearer to a real page than makePage: thousands of
/// different words of the frequencies of running text, long addresses in quotes and tags run
/// together (pieces without a blank).
std::string makeVariedPage(std::size_t size)
{
    std::uint32_t seed = 12345;
    const auto next = [&seed](std::uint32_t n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % n;
    };
    static const char* const syllables[] = {"ka", "ren", "to", "mi", "sel", "da", "vor", "un", "li",
        "ber", "sta", "ne", "qua", "fi", "gol", "he", "ra", "mon", "ti", "ex"};
    std::vector<std::string> words(6000);
    for (std::string& w : words)
        for (std::uint32_t k = 0, n = 1 + next(4); k < n; ++k)
            w += syllables[next(20)];
    // Word k is taken about 1/k as often as the most frequent one, as in running text.
    const auto word = [&] {
        const double u = next(1u << 20) / double(1u << 20);
        return words[static_cast<std::size_t>(std::exp(u * std::log(double(words.size())))) - 1];
    };
    std::string page = "<html><body><div class=\"main\"><table>";
    for (int row = 0; page.size() < size; ++row) {
        page += "<tr><td class=\"c" + std::to_string(row % 7)
            + "\"><a href=\"https://www.example.org/" + word() + "/" + word() + "-"
            + std::to_string(row) + ".html#s" + std::to_string(row % 13) + "\">" + word() + " "
            + word() + "</a></td><td>";
        for (std::uint32_t k = 0, n = 8 + next(12); k < n; ++k)
            page += word() + (k + 1 == n ? ". " : next(6) == 0 ? ", " : " ");
        page += "<b>" + word() + "</b></td></tr>";
        if (row % 40 == 39)
            page += "</table></div><!-- part " + std::to_string(row)
                + " --><div class=\"x\"><table>";
    }
    page += "</table></div></body></html>";
    return page;
}

class NoHost : public zenkel::EditorColoringHost
{
public:
    explicit NoHost(zenkel::RichEdit& editor)
        : m_editor(editor)
    { }
    void SetREToModified() override { m_editor.setModifiedFlag(true); }
    bool saveEnabled() const override { return false; }
    void BSaveClick() override { }

private:
    zenkel::RichEdit& m_editor;
};

void sendKey(zenkel::RichEdit& editor, int key, const QString& text)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(&editor, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(&editor, &release);
}

struct TypingTimes
{
    double keyMs = 0; ///< key handling alone
    double keyPaintMs = 0; ///< key handling and the repaint of the window
};

/// Types a mix of letters and markup characters (which repaint the tag at the caret) in the
/// middle of the text; average times per character.
TypingTimes measureTyping(zenkel::RichEdit& editor, int rounds)
{
    const QString keys = QStringLiteral("ab\"c d>e<f-!g h");
    TypingTimes times;
    for (int withPaint = 0; withPaint < 2; ++withPaint) {
        const int middle
            = editor.findText(QStringLiteral("<a href"), editor.textLength() / 2, 100000);
        editor.setCaretPosition(middle + 3);
        const Clock::time_point start = Clock::now();
        for (int r = 0; r < rounds; ++r)
            for (QChar k : keys) {
                sendKey(editor, k == u' ' ? int(Qt::Key_Space) : int(k.toUpper().unicode()),
                    QString(k));
                if (withPaint)
                    QApplication::processEvents();
            }
        const double ms = secondsSince(start) * 1000.0 / (rounds * keys.size());
        (withPaint ? times.keyPaintMs : times.keyMs) = ms;
    }
    return times;
}

void runCase(
    const QTemporaryDir& dir, const char* name, std::size_t size, bool oneLine, bool varied = false)
{
    const std::string page = varied ? makeVariedPage(size) : makePage(size, oneLine);
    const QString path = dir.filePath(QString::fromLatin1(name));
    {
        std::ofstream out(path.toStdString(), std::ios::binary);
        out.write(page.data(), static_cast<std::streamsize>(page.size()));
    }
    zenkel::RichEdit editor;
    NoHost host(editor);
    zenkel::EditorColoring coloring(editor, host);
    coloring.connectEditor();
    editor.resize(1000, 700);
    editor.show();
    QApplication::processEvents();

    Clock::time_point start = Clock::now();
    if (!zenkel::LoadREFromFile(editor, path)) {
        std::printf("%s: cannot load\n", name);
        return;
    }
    const double load = secondsSince(start);
    QApplication::processEvents();
    const double loadShown = secondsSince(start);

    start = Clock::now();
    zenkel::SetColorMode(editor, 3);
    zenkel::RepaintRE(editor);
    QApplication::processEvents();
    const double repaint = secondsSince(start);
    zenkel::SetColorMode(editor, 1);
    zenkel::RepaintRE(editor);

    const TypingTimes typing = measureTyping(editor, oneLine ? 1 : 20);
    std::printf("%-28s %6.1f MB  open %.3f s (shown %.3f s)  repaint %.3f s  "
                "typed char %.3f ms (with window repaint %.3f ms)\n",
        name, static_cast<double>(page.size()) / 1e6, load, loadShown, repaint, typing.keyMs,
        typing.keyPaintMs);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    // An argument picks one case by name: "2.5", "25", "one-line" or "one-line-varied".
    const QString only = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (only.isEmpty() || only == "2.5")
        runCase(dir, "page-2.5MB.htm", 2500000, false);
    if (only.isEmpty() || only == "25")
        runCase(dir, "page-25MB.htm", 25000000, false);
    if (only.isEmpty() || only == "one-line")
        runCase(dir, "one-line-2.5MB.htm", 2500000, true);
    if (only.isEmpty() || only == "one-line-varied")
        runCase(dir, "one-line-varied-2.5MB.htm", 2500000, true, true);
    return 0;
}
