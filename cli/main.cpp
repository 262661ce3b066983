/// The zenkel command-line tool: formats, compresses, trims or restores HTML files.
#include "cli/CliOptions.h"
#include "cli/CliRunner.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        std::cerr << zenkel::cliUsage();
        return zenkel::ExitSetupFailed;
    }
    const zenkel::CliParseResult parsed = zenkel::parseCliOptions(args);
    if (!parsed.ok()) {
        std::cerr << "zenkel: " << parsed.error << "\nTry 'zenkel --help'.\n";
        return zenkel::ExitSetupFailed;
    }
    return zenkel::runCli(parsed.options, std::cin, std::cout, std::cerr);
}
