/// The run-in-progress rule across processes: the window and the zenkel tool take one
/// advisory lock per program directory for the length of a run that writes files.
#pragma once

#include <string>

namespace zenkel {

/// Holds the run lock of a program directory while it lives: an flock on the directory
/// itself, so it needs no file of its own and works in a read-only program directory. The
/// lock is not waited for: when another process holds it, held() is false and refusal() names
/// that process. Within one process the lock may be taken again (a command-line run that
/// starts a batch run); it is released when the last holder ends.
class RunLock
{
public:
    explicit RunLock(const std::string& programDirectory);
    ~RunLock();
    RunLock(const RunLock&) = delete;
    RunLock& operator=(const RunLock&) = delete;

    bool held() const { return m_held; }
    /// Why the lock was not given: another run, with its process id and name where the
    /// system tells them.
    const std::string& refusal() const { return m_refusal; }

private:
    std::string m_key;
    bool m_held = false;
    std::string m_refusal;
};

} // namespace zenkel
