/// The run lock of a program directory.
#include "batch/RunLock.h"

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace zenkel {

namespace {

/// The locks this process holds, by directory identity, with their holder counts.
struct Held
{
    int fd = -1;
    int count = 0;
};

std::mutex& registryMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::map<std::string, Held>& registry()
{
    static std::map<std::string, Held> held;
    return held;
}

/// The process that holds the flock on the file (dev, ino), from /proc/locks; 0 when it
/// cannot be told.
long lockHolder(const struct stat& info)
{
    std::ifstream locks("/proc/locks");
    std::string line;
    while (std::getline(locks, line)) {
        if (line.find("FLOCK") == std::string::npos || line.find("->") != std::string::npos)
            continue;
        long pid = 0;
        unsigned major = 0;
        unsigned minor = 0;
        std::uintmax_t inode = 0;
        const std::size_t at = line.find("WRITE");
        if (at == std::string::npos
            || std::sscanf(
                   line.c_str() + at, "WRITE %ld %x:%x:%" SCNuMAX, &pid, &major, &minor, &inode)
                != 4)
            continue;
        if (major == ::major(info.st_dev) && minor == ::minor(info.st_dev)
            && inode == static_cast<std::uintmax_t>(info.st_ino))
            return pid;
    }
    return 0;
}

std::string processName(long pid)
{
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(comm, name);
    return name;
}

} // namespace

RunLock::RunLock(const std::string& programDirectory)
{
    const int fd = ::open(programDirectory.empty() ? "." : programDirectory.c_str(),
        O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    struct stat info
    {
    };
    if (fd < 0 || ::fstat(fd, &info) != 0) {
        // No directory to lock: the run finds out itself what is wrong with it.
        if (fd >= 0)
            ::close(fd);
        m_held = true;
        return;
    }
    m_key = std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino);
    const std::lock_guard lock(registryMutex());
    Held& held = registry()[m_key];
    if (held.count > 0) {
        ::close(fd);
        ++held.count;
        m_held = true;
        return;
    }
    int result = 0;
    do
        result = ::flock(fd, LOCK_EX | LOCK_NB);
    while (result != 0 && errno == EINTR);
    if (result != 0 && errno != EWOULDBLOCK) {
        // A file system without flock: runs go on as they did before the lock existed.
        ::close(fd);
        registry().erase(m_key);
        m_key.clear();
        m_held = true;
        return;
    }
    if (result != 0) {
        ::close(fd);
        registry().erase(m_key);
        m_key.clear();
        m_refusal = "Another run is in progress in \"" + programDirectory + "\"";
        if (const long pid = lockHolder(info); pid > 0) {
            const std::string name = processName(pid);
            m_refusal
                += " (process " + std::to_string(pid) + (name.empty() ? "" : " " + name) + ")";
        }
        m_refusal += ": try again when it has ended";
        return;
    }
    held.fd = fd;
    held.count = 1;
    m_held = true;
}

RunLock::~RunLock()
{
    if (m_key.empty())
        return;
    const std::lock_guard lock(registryMutex());
    const auto it = registry().find(m_key);
    if (it == registry().end() || --it->second.count > 0)
        return;
    ::close(it->second.fd); // closing the last descriptor releases the flock
    registry().erase(it);
}

} // namespace zenkel
