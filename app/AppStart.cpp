/// Program start of zenkel-html.
#include "app/AppStart.h"

#include "app/StartupMarker.h"
#include "app/TForm1.h"
#include "engine/DocLine.h"
#include "style/ProgramDirectories.h"
#include "widgets/Prompter.h"

#include <QApplication>

#include <clocale>
#include <cstdlib>
#include <iostream>

namespace zenkel {

namespace {

/// Quiet message handler for unattended runs: no window, no output about the display.
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtFatalMsg)
        std::cerr << message.toStdString() << '\n';
}

} // namespace

AppArguments parseAppArguments(const std::vector<std::string>& args)
{
    AppArguments parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--home" && i + 1 < args.size())
            parsed.home = args[++i];
        else if (arg.rfind("--home=", 0) == 0)
            parsed.home = arg.substr(7);
        else if (arg == "--version")
            parsed.version = true;
        else if (arg == "-h" || arg == "--help")
            parsed.help = true;
        else
            parsed.parameters.push_back(arg);
    }
    return parsed;
}

bool wantsUnattendedRun(const std::vector<std::string>& parameters)
{
    if (parameters.size() != 2 || parameters[0].empty() || parameters[0][0] != '-')
        return false;
    const std::string& switches = parameters[0];
    return switches.find_first_of("aA") != std::string::npos;
}

std::string appUsage(const ProgramDirectories& dirs)
{
    return "zenkel-html [--home DIR] [[-SWITCHES] FILE]\n"
           "  FILE          opens FILE in the editor (it must contain \"<HTML\")\n"
           "  -SWITCHES     letters in any order and case:\n"
           "                  C compress the file, F format it (not with C),\n"
           "                  T trim it (after C or F: a trim run follows, without backup),\n"
           "                  B back the file up first, A no dialog, end when done\n"
           "  --home DIR    program directory (default: $ZENKEL_HOME, else the shipped data\n"
           "                beside the executable or in ../share/zenkel-html, with settings\n"
           "                and saved styles in ~/.config/zenkel-html for an installed copy;\n"
           "                zenkel --help tells more)\n"
           "  --version     print the version\n"
           "  -h, --help    this text\n"
           "Examples:\n"
           "  zenkel-html page.htm         open page.htm in the editor\n"
           "  zenkel-html -fab page.htm    format page.htm with a backup, no window\n"
           "  zenkel-html -ct page.htm     compress, then trim, with confirmations\n"
           "In use:\n"
        + DescribeDirectories(dirs, "  ");
}

int runApplication(int argc, char** argv)
{
    std::setlocale(LC_ALL, "");
    const AppArguments args = parseAppArguments(std::vector<std::string>(argv + 1, argv + argc));
    const ProgramDirectories dirs = FindProgramDirectories(args.home);
    if (args.help) {
        std::cout << appUsage(dirs);
        return 0;
    }
    if (args.version) {
        std::cout << ProgramTitle << " (zenkel-html)\n";
        return 0;
    }
    const bool unattended = wantsUnattendedRun(args.parameters);
    if (unattended) {
        // No display is needed for a run that shows nothing.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler(quietMessages);
        Prompter::setUnattended(true);
    }
    StartupMarker::add();
    QApplication app(argc, argv);
    StartOptions options;
    // Without its own copies the program still runs on the shipped styles; saving fails then
    // with a message naming the file.
    if (std::string error; !PrepareProgramDirectory(dirs, &error))
        std::cerr << "zenkel-html: warning: " << error << '\n';
    options.programDirectory = dirs.program;
    options.dataDirectory = dirs.data;
    options.parameters = args.parameters;
    TForm1 form(options);
    if (unattended && form.commandLine().mode != CommandLineMode::Unattended) {
        // Nobody would ever see the window that opens instead: say why and end.
        std::cerr << "zenkel-html: " << args.parameters.back()
                  << ": not processed: the switches need one of C, F or T (not C with F), and the "
                     "file must exist and be an HTML file (with \"<HTML\" when validation is on)\n";
        return 2;
    }
    form.show();
    const int status = app.exec();
    // An error reported on the way (printed on standard error) makes the exit status 1.
    return unattended && status == 0 && Prompter::errorReported() ? 1 : status;
}

} // namespace zenkel
