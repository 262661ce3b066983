/// Runs the built zenkel tool as a program: arguments quoted for the shell, standard input fed
/// from bytes, standard output and error captured, the exit status returned.
#pragma once

#include "tests/support/TempDir.h"

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include <sys/wait.h>

namespace zenkel::test {

struct CliResult
{
    int status = -1; ///< exit status; -1 when ended by a signal
    std::string out;
    std::string err;
};

/// How the tool is started; the defaults run it in the current directory on empty input.
struct CliCall
{
    std::string stdinBytes;
    std::string workDir; ///< empty: the current directory
    std::string prefix; ///< shell words put before the tool, e.g. "ZENKEL_HOME=/x" or "setpriv ..."
    std::string input; ///< a shell redirection of standard input instead of the bytes, e.g. "<&-"
};

inline std::string shellQuoted(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

inline CliResult runZenkel(const std::vector<std::string>& args, const CliCall& call = {})
{
    const TempDir io;
    std::string command;
    // Appended word by word: one long chain of '+' trips a false warning of GCC 12.
    const auto append = [&command](const char* separator, const std::string& word) {
        command += separator;
        command += shellQuoted(word);
    };
    if (!call.workDir.empty()) {
        append("cd ", call.workDir);
        command += " && ";
    }
    command += call.prefix;
    append(" ", ZENKEL_CLI);
    for (const std::string& arg : args)
        append(" ", arg);
    if (call.input.empty()) {
        writeBytes(io.file("in"), call.stdinBytes);
        append(" <", io.file("in"));
    } else {
        command += ' ';
        command += call.input;
    }
    append(" >", io.file("out"));
    append(" 2>", io.file("err"));
    const int raw = std::system(command.c_str());
    CliResult result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = readBytes(io.file("out"));
    result.err = readBytes(io.file("err"));
    return result;
}

/// A call with standard input bytes, a working directory and a prefix.
inline CliCall cliCall(std::string stdinBytes, std::string workDir = {}, std::string prefix = {})
{
    CliCall call;
    call.stdinBytes = std::move(stdinBytes);
    call.workDir = std::move(workDir);
    call.prefix = std::move(prefix);
    return call;
}

} // namespace zenkel::test
