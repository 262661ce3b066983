/// The zenkel command-line tool: formats, compresses, trims or restores HTML files.
#include "cli/CliOptions.h"
#include "cli/CliRunner.h"

#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>
#include <unistd.h>
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
    int status = zenkel::runCli(parsed.options, std::cin, std::cout, std::cerr);
    // runCli has flushed standard output; a write error that a file system reports late
    // shows only when it is closed.
    if (::close(STDOUT_FILENO) != 0 && errno != EBADF && status == zenkel::ExitDone) {
        std::cerr << "zenkel: cannot write standard output: " << std::strerror(errno) << '\n';
        status = zenkel::ExitFileFailed;
    }
    return status;
}
