/// Editor benchmark: opening large HTML files with colouring, a whole-text repaint and the
/// time to handle one typed character. Runs offscreen unless a platform is set.
#include "editor/EditorColoring.h"
#include "editor/RichEdit.h"
#include "editor/SyntaxColoring.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

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

void runCase(const QTemporaryDir& dir, const char* name, std::size_t size, bool oneLine)
{
    const std::string page = makePage(size, oneLine);
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
    // An argument picks one case by name: "2.5", "25" or "one-line".
    const QString only = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (only.isEmpty() || only == "2.5")
        runCase(dir, "page-2.5MB.htm", 2500000, false);
    if (only.isEmpty() || only == "25")
        runCase(dir, "page-25MB.htm", 25000000, false);
    if (only.isEmpty() || only == "one-line")
        runCase(dir, "one-line-2.5MB.htm", 2500000, true);
    return 0;
}
