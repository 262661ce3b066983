/// What the zenkel tool's command runs share: the job host, the command's context and the
/// list and tree runs.
#pragma once

#include "batch/FileJob.h"
#include "batch/Session.h"
#include "cli/CliRunner.h"

#include <cerrno>
#include <istream>
#include <optional>
#include <ostream>
#include <string>

namespace zenkel {

/// Keeps the status line for the final report and fatal errors for the caller to print;
/// progress is not shown. Ctrl+C becomes the user break of a run.
class CliHost : public FileJobHost
{
public:
    void SetStatus(const std::string& text) override { m_status = text; }
    void AppendStatus(const std::string& text) override { m_status += " " + text; }
    void fatalError(const std::string& message) override { m_fatal = message; }
    void handlePendingMessages() override;
    void watchUserBreak(bool* flag) { m_userBreak = flag; }

    const std::string& status() const { return m_status; }
    const std::optional<std::string>& fatal() const { return m_fatal; }

private:
    std::string m_status;
    std::optional<std::string> m_fatal;
    bool* m_userBreak = nullptr;
};

/// Everything one command works with.
struct CliContext
{
    const CliOptions& options;
    Session& session;
    CliHost& host;
    std::istream& in;
    std::ostream& out;
    std::ostream& err;

    /// The system's error number of the first write to standard output that failed.
    mutable int outputError = 0;

    /// One line on standard error; always returns true ("failed").
    bool complain(const std::string& message) const
    {
        err << "zenkel: " << message << '\n';
        return true;
    }

    /// False once a write to standard output has failed (a full disk, a closed pipe); the
    /// reason is kept for the final message. Called right after each write, while errno
    /// still tells why.
    bool outputOk() const
    {
        if (!out && outputError == 0)
            outputError = errno != 0 ? errno : EIO;
        return outputError == 0;
    }
};

/// A message box text on one line: its line breaks become blanks.
std::string oneLine(const std::string& text);

/// Several files: the accepted ones become the file list; a refused one is named on
/// standard error and makes the exit status 1.
int runList(const CliContext& c);

/// Every valid file below the tree directory.
int runTree(const CliContext& c);

} // namespace zenkel
