/// The command line of zenkel-html: an optional switches parameter, then a file.
#include "app/CommandLine.h"

#include "base/Ascii.h"

#include <algorithm>
#include <filesystem>

namespace zenkel {

std::string longPathForm(const std::string& path)
{
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    return (ec ? std::filesystem::path(path) : absolute).lexically_normal().string();
}

CommandLine ParseCommandLine(const std::vector<std::string>& params,
    const std::function<bool(const std::string&)>& isValid,
    const std::function<void(const std::string&)>& fileShown)
{
    const CommandLine reset;
    if (params.empty() || params.size() > 2)
        return reset;
    CommandLine line;
    line.mode = CommandLineMode::File;
    line.file = longPathForm(params.back());
    if (fileShown)
        fileShown(line.file);
    if (!isValid(line.file))
        return reset;
    if (params.size() == 1)
        return line;

    const std::string& first = params.front();
    if (first.empty() || first[0] != '-')
        return reset;
    line.switches = upperAsciiText(first);
    if (line.hasSwitch('C') && line.hasSwitch('F'))
        return reset;
    if (line.hasSwitch('C'))
        line.operation = Operation::Compress;
    else if (line.hasSwitch('F'))
        line.operation = Operation::Format;
    else if (line.hasSwitch('T'))
        line.operation = Operation::Trim;
    else
        return reset;
    if (line.hasSwitch('A'))
        line.mode = CommandLineMode::Unattended;
    return line;
}

} // namespace zenkel
