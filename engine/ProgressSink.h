/// Where the engine and the batch runs report status and progress.
#pragma once

#include <string>

namespace zenkel {

/// The window (status line, ProgressActFile = bar 0, ProgressAll = bar 1), the command-line
/// tool, preview mode and tests each supply their own; the default does nothing.
class ProgressSink
{
public:
    virtual ~ProgressSink() = default;
    virtual void SetStatus(const std::string& /*text*/) { }
    virtual void AppendStatus(const std::string& /*text*/) { }
    virtual void SetProgressRange(int /*bar*/, long long /*maximum*/) { }
    virtual void SetProgressPosition(int /*bar*/, long long /*position*/) { }
    /// Lets the window handle pending messages. Callers throttle it; no-op outside the GUI.
    virtual void handlePendingMessages() { }
};

/// A sink that ignores everything: preview mode, command line, tests.
inline ProgressSink& nullProgressSink()
{
    static ProgressSink sink;
    return sink;
}

} // namespace zenkel
