/// Command line of the zenkel tool: commands, options and the usage text.
#include "cli/CliOptions.h"

#include "engine/DocLine.h"

#include <algorithm>
#include <array>
#include <thread>
#include <utility>

namespace zenkel {

namespace {

constexpr std::string_view Usage
    = "zenkel format|compress|trim|restore [OPTIONS] PATH...\n"
      "zenkel format|compress|trim|restore FILE FILE...     a list run\n"
      "zenkel format|compress|trim --tree DIR [--type N]   a tree run\n"
      "zenkel styles [--home DIR]\n"
      "zenkel format|compress|trim --check|--diff PATH...|--tree DIR\n"
      "zenkel --version | --help\n"
      "\n"
      "DESCRIPTION\n"
      "  Rewrites HTML files with a Zenkel HTML style: one file in place, several files as a\n"
      "  list run, or every HTML file below a directory as a tree run. Before a file changes\n"
      "  its backup is made (FILE + backup extension; a tree gets a whole DIR_BAKnn), and list\n"
      "  and tree runs print a protocol and save it as report.txt. Settings come from prg.ini\n"
      "  in the program directory, which this tool reads but never writes.\n"
      "\n"
      "COMMANDS\n"
      "  format     one tag per line, indented by nesting depth, text wrapped, as the style "
      "says\n"
      "               zenkel format page.htm\n"
      "  compress   layout whitespace removed, text joined into as few lines as possible\n"
      "               zenkel compress --tree public_html\n"
      "  trim       whitespace just inside the tags listed in trim.ini removed\n"
      "               zenkel trim a.htm b.htm\n"
      "  restore    the backups of the files put back\n"
      "               zenkel restore page.htm\n"
      "  styles     the installed styles, the active one marked with \"*\"\n"
      "               zenkel styles\n"
      "\n"
      "OPTIONS\n"
      "  --home DIR       program directory (default: $ZENKEL_HOME, else found as under FILES)\n"
      "                     zenkel styles --home ~/zenkel\n"
      "  --style NAME     style to use (default: StyleName of prg.ini, with the fallback of "
      "ActivateStyle)\n"
      "                     zenkel format --style _default page.htm\n"
      "  --stdout         write the result to standard output: exactly the bytes the file would "
      "receive\n"
      "                   (each output line followed by its line end, see --eol); the file is "
      "not touched\n"
      "                   and no backup is made\n"
      "                     zenkel format --stdout page.htm | less\n"
      "  --backup, --no-backup   override DoCreateBackUps of prg.ini\n"
      "                     zenkel compress --no-backup page.htm\n"
      "  --validate       skip files without \"<HTML\" (DoValidate)\n"
      "                     zenkel format --validate *.htm\n"
      "  --tree DIR       every HTML file below DIR (backups go to DIR_BAKnn)\n"
      "                     zenkel format --tree site\n"
      "  --type N         file types of a tree run: 0 .htm, 1 all HTML types, 2 .asp, 3 .sht,\n"
      "                   4 .dht, 5 .cfm (default 0)\n"
      "                     zenkel trim --tree site --type 1\n"
      "  --no-report      do not save report.txt\n"
      "                     zenkel format --no-report a.htm b.htm\n"
      "  --quiet          print only errors (every file not processed is named) and the\n"
      "                   final summary\n"
      "                     zenkel format --quiet --tree site\n"
      "  --check          write nothing (no file, backup, report, snapshot or diagnostic file);\n"
      "                   print each file whose content would change; the documentation\n"
      "                   line is not compared when both sides have one. A formatted file\n"
      "                   passes a format check; a compressed one may not pass a compress\n"
      "                   check, since compressing again adds a blank at the end of a line\n"
      "                   that precedes a special block (PRE, SCRIPT, ...) when the first\n"
      "                   result broke the line there\n"
      "                     zenkel format --check --tree site\n"
      "  --diff           like --check, but print a unified diff of each file that would "
      "change\n"
      "                   (3 lines of context; line ends are not compared)\n"
      "                     zenkel format --diff page.htm | less\n"
      "  --jobs N         compute the results of a list or tree run on N threads (1 to 256,\n"
      "                   0 or auto: one per processor core; default 1); protocol, report\n"
      "                   and exit status stay as with 1\n"
      "                     zenkel compress --jobs 2 --tree site\n"
      "  --eol crlf|lf    line end written after every output line (default: LineEnds of "
      "prg.ini,\n"
      "                   else crlf)\n"
      "                     zenkel format --eol lf page.htm\n"
      "  --version        the program's name and version\n"
      "                     zenkel --version\n"
      "  -h, --help       this text\n"
      "                     zenkel --help\n"
      "  --               every later argument is a PATH\n"
      "                     zenkel format -- -odd-name.htm\n"
      "PATH \"-\" reads standard input and writes standard output.\n"
      "\n"
      "EXIT STATUS\n"
      "Exit status: 0 all done; 1 a file was skipped or failed, or standard output could not "
      "be written; 2 usage error, no usable style, an unreadable setting, or another run in "
      "progress on the same program directory; 128 + N the run was broken off by signal N "
      "(Ctrl+C, kill, hang-up: the current file is left as it was, the protocol and report are "
      "saved).\n"
      "With --check or --diff: 0 nothing would change; 1 a file would change; 2 as above, or a "
      "file could not be checked.\n"
      "\n"
      "FILES\n"
      "  The shipped data (styles, trim.ini, preview samples, skin pictures, help, tagsyntax.txt)\n"
      "  lies beside the executable (a build tree), else in ../share/zenkel-html relative to it\n"
      "  (an installed copy); --home DIR or $ZENKEL_HOME name another directory for everything.\n"
      "  An installed copy, or one whose data directory is not writable, keeps what it writes\n"
      "  (prg.ini, report.txt, the diagnostic files 0tmp_htm.htm and 0tmp_nftags.htm, $tmp.htm,\n"
      "  styles saved in the options window, trim.ini) in $XDG_CONFIG_HOME/zenkel-html, else\n"
      "  ~/.config/zenkel-html; the first start copies the shipped styles and trim.ini there.\n"
      "  Styles are looked up there first, then in the shipped data. --help and \"zenkel styles\"\n"
      "  end with the directories in use.\n"
      "\n"
      "EXAMPLES\n"
      "  Format one file in place, with a backup page.htm.zbak:\n"
      "      zenkel format page.htm\n"
      "  See what a style would do before running it for real:\n"
      "      zenkel format --style _default --diff page.htm\n"
      "  Fail a commit or a CI job when a file is not formatted:\n"
      "      zenkel format --check --tree site || exit 1\n"
      "  Compress a whole tree on two threads, LF line ends, no report:\n"
      "      zenkel compress --tree site --jobs 2 --eol lf --no-report\n"
      "  Format standard input into a new file:\n"
      "      zenkel format - < in.htm > out.htm\n"
      "  Put the backups of a list run back:\n"
      "      zenkel restore a.htm b.htm\n";

const std::array<std::pair<std::string_view, CliCommand>, 5> Commands = {{
    {"format", CliCommand::Format},
    {"compress", CliCommand::Compress},
    {"trim", CliCommand::Trim},
    {"restore", CliCommand::Restore},
    {"styles", CliCommand::Styles},
}};

CliParseResult failure(std::string message)
{
    CliParseResult result;
    result.error = std::move(message);
    return result;
}

/// The value of "--name VALUE" or "--name=VALUE"; false when arg is not that option.
bool takeValue(const std::vector<std::string>& args, std::size_t& i, std::string_view name,
    std::optional<std::string>& value, std::string& error)
{
    const std::string& arg = args[i];
    if (arg == name) {
        if (i + 1 >= args.size()) {
            error = "option " + std::string(name) + " needs a value";
            return true;
        }
        value = args[++i];
        return true;
    }
    if (arg.size() > name.size() && arg.compare(0, name.size(), name) == 0
        && arg[name.size()] == '=') {
        value = arg.substr(name.size() + 1);
        return true;
    }
    return false;
}

bool parseJobs(const std::string& text, int& jobs)
{
    if (text == "auto" || text == "0") {
        const unsigned cores = std::thread::hardware_concurrency();
        jobs = std::clamp(static_cast<int>(cores), 1, MaxJobs);
        return true;
    }
    if (text.empty() || text.size() > 3)
        return false;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    if (value < 1 || value > MaxJobs)
        return false;
    jobs = value;
    return true;
}

std::string checkCombination(const CliOptions& o)
{
    if (o.command == CliCommand::None)
        return "no command given";
    if (o.command == CliCommand::Styles) {
        if (!o.paths.empty() || o.style || o.toStdout || o.backup || o.validate || o.tree || o.check
            || o.diff || o.eol)
            return "styles takes no option but --home";
        return {};
    }
    if (o.check && o.diff)
        return "--check and --diff exclude each other";
    if (o.check || o.diff) {
        const std::string option = o.check ? "--check" : "--diff";
        if (o.command == CliCommand::Restore)
            return "restore cannot be combined with " + option;
        if (o.toStdout)
            return "--stdout cannot be combined with " + option;
    }
    if (o.tree) {
        if (o.command == CliCommand::Restore)
            return "restore is not offered for a tree";
        if (!o.paths.empty())
            return "--tree takes no PATH";
        if (o.toStdout)
            return "a tree run cannot write to standard output";
        if (o.tree->empty())
            return "option --tree needs a directory";
        return {};
    }
    if (o.paths.empty())
        return "no PATH given";
    // Standard input is the only text of its run: status lines or a second text would end
    // up in the HTML written to standard output.
    if (o.paths.size() > 1 && std::find(o.paths.begin(), o.paths.end(), "-") != o.paths.end())
        return "'-' (standard input) cannot be combined with other paths";
    if (o.command == CliCommand::Restore) {
        if (o.toStdout)
            return "restore cannot write to standard output";
        for (const std::string& path : o.paths) {
            if (path == "-")
                return "restore needs a file, not standard input";
        }
    }
    if (o.style && o.style->empty())
        return "option --style needs a name";
    return {};
}

} // namespace

std::string_view cliUsage()
{
    return Usage;
}

std::string cliVersion()
{
    return std::string(ProgramTitle) + " (zenkel command-line tool)";
}

CliParseResult parseCliOptions(const std::vector<std::string>& args)
{
    CliParseResult result;
    CliOptions& o = result.options;
    bool onlyPaths = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool isOption = !onlyPaths && arg.size() > 1 && arg[0] == '-';
        if (!isOption) {
            if (o.command != CliCommand::None || onlyPaths || arg == "-") {
                o.paths.push_back(arg);
                continue;
            }
            for (const auto& [name, command] : Commands) {
                if (arg == name)
                    o.command = command;
            }
            if (o.command == CliCommand::None)
                return failure("unknown command '" + arg + "'");
            continue;
        }
        std::string error;
        std::optional<std::string> home;
        if (arg == "-h" || arg == "--help") {
            o.help = true;
            return result;
        } else if (arg == "--") {
            onlyPaths = true;
        } else if (arg == "--stdout") {
            o.toStdout = true;
        } else if (arg == "--backup") {
            o.backup = true;
        } else if (arg == "--no-backup") {
            o.backup = false;
        } else if (arg == "--validate") {
            o.validate = true;
        } else if (arg == "--no-report") {
            o.noReport = true;
        } else if (arg == "--quiet") {
            o.quiet = true;
        } else if (arg == "--check") {
            o.check = true;
        } else if (arg == "--diff") {
            o.diff = true;
        } else if (arg == "--version") {
            o.version = true;
            return result;
        } else if (std::optional<std::string> jobs; takeValue(args, i, "--jobs", jobs, error)) {
            if (jobs && !parseJobs(*jobs, o.jobs))
                return failure("option --jobs needs a number from 1 to " + std::to_string(MaxJobs)
                    + ", or 0 or auto for one per processor core");
        } else if (takeValue(args, i, "--eol", o.eol, error)) {
            if (o.eol && *o.eol != "crlf" && *o.eol != "lf")
                return failure("option --eol needs crlf or lf");
        } else if (takeValue(args, i, "--tree", o.tree, error)) {
        } else if (std::optional<std::string> type; takeValue(args, i, "--type", type, error)) {
            if (type) {
                if (type->size() != 1 || (*type)[0] < '0' || (*type)[0] > '5')
                    return failure("option --type needs a number from 0 to 5");
                o.type = (*type)[0] - '0';
            }
        } else if (takeValue(args, i, "--home", home, error)) {
            if (home)
                o.home = *home;
        } else if (!takeValue(args, i, "--style", o.style, error)) {
            return failure("unknown option '" + arg + "'");
        }
        if (!error.empty())
            return failure(error);
    }
    if (const std::string error = checkCombination(o); !error.empty())
        return failure(error);
    return result;
}

} // namespace zenkel
