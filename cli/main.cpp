/// The zenkel command-line tool: formats, compresses, trims or restores HTML files.
#include "cli/CliOptions.h"
#include "cli/CliRunner.h"

#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

/// A standard stream the tool was started without is opened on /dev/null the wrong way
/// round: no file the tool opens can take its number (and receive its output), and using it
/// fails with an error instead of reading or writing anything.
void guardClosedStandardStreams()
{
    const int unusable[] = {O_WRONLY, O_RDONLY, O_WRONLY}; // for 0, 1, 2
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        const int opened = ::open("/dev/null", unusable[fd] | O_CLOEXEC);
        if (opened >= 0 && opened != fd) {
            ::dup2(opened, fd);
            ::close(opened);
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    guardClosedStandardStreams();
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
