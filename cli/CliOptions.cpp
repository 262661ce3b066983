/// Command line of the zenkel tool: commands, options and the usage text.
#include "cli/CliOptions.h"

#include <array>
#include <utility>

namespace zenkel {

namespace {

constexpr std::string_view Usage
    = "zenkel format|compress|trim|restore [OPTIONS] PATH...\n"
      "zenkel format|compress|trim|restore FILE FILE...     a list run\n"
      "zenkel format|compress|trim --tree DIR [--type N]   a tree run\n"
      "zenkel styles [--home DIR]\n"
      "  --home DIR       program directory (default: $ZENKEL_HOME, else the directory of the "
      "executable)\n"
      "  --style NAME     style to use (default: StyleName of prg.ini, with the fallback of "
      "ActivateStyle)\n"
      "  --stdout         write the result to standard output: exactly the bytes the file would "
      "receive\n"
      "                   (each output line followed by CR LF); the file is not touched and no "
      "backup is made\n"
      "  --backup, --no-backup   override DoCreateBackUps of prg.ini\n"
      "  --validate       skip files without \"<HTML\" (DoValidate)\n"
      "  --tree DIR       every HTML file below DIR (backups go to DIR_BAKnn)\n"
      "  --type N         file types of a tree run: 0 .htm, 1 all HTML types, 2 .asp, 3 .sht,\n"
      "                   4 .dht, 5 .cfm (default 0)\n"
      "  --no-report      do not save report.txt\n"
      "  --quiet          print only errors and the final summary\n"
      "  -h, --help       usage\n"
      "PATH \"-\" reads standard input and writes standard output.\n"
      "Exit status: 0 all done; 1 a file was skipped or failed; 2 usage error, no usable style, "
      "or an unreadable setting.\n";

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

std::string checkCombination(const CliOptions& o)
{
    if (o.command == CliCommand::None)
        return "no command given";
    if (o.command == CliCommand::Styles) {
        if (!o.paths.empty() || o.style || o.toStdout || o.backup || o.validate || o.tree)
            return "styles takes no option but --home";
        return {};
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
