/// Computing the results of a file list ahead of their turn, on worker threads.
#pragma once

#include "batch/RunState.h"
#include "engine/Style.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zenkel {

class Engine;

/// What tells one state of a file's content from another: device, inode, size and the
/// modification and change times.
struct FileStamp
{
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = -1;
    std::int64_t modified = 0; ///< nanoseconds
    std::int64_t changed = 0; ///< nanoseconds
    bool operator==(const FileStamp&) const = default;
};

/// The stamp of a regular file now; none (size -1) when there is none.
FileStamp fileStampOf(const std::string& path);

/// One file's result, computed ahead of its turn on an engine of an OutputPool.
struct PrecomputedFile
{
    bool computed = false; ///< false: the file could not be read or processed
    std::string error; ///< why not; names the file
    FileStamp stamp; ///< the content that was read
    std::string sourceBytes; ///< the bytes read, when the pool keeps them
    std::string resultBytes; ///< the output lines, each followed by the pool's line end
    std::string tokenFileBytes; ///< the diagnostic files of the scan, when the pool makes
    std::string blockFileBytes; ///< them (see Engine::writeDiagnosticFiles)
    Engine* engine = nullptr; ///< holds the scan and the output list of this file
};

/// What an OutputPool computes besides the output list.
struct OutputPoolSettings
{
    std::string lineEnd = "\r\n";
    bool keepSourceBytes = false;
    bool diagnosticFiles = false;
};

/// The memory an OutputPool may hold ahead of the consumer (unless 4 files of the largest
/// size need more), counting EngineBytesPerFileByte for each byte of a slot's file.
constexpr std::uint64_t WorkAheadBytes = 256ull << 20;
constexpr std::uint64_t EngineBytesPerFileByte = 16;

/// Computes the results of a file list on worker threads, each slot with its own engine
/// (a copy of the style, the shared trim list, no status or progress), at most two slots
/// per worker ahead of the consumer and no more than WorkAheadBytes allows for the largest
/// file (at least 4), so memory stays bounded whatever the list's length and the number of
/// workers asked for.
/// The consumer takes the files strictly in list order and releases each one after use.
class OutputPool
{
public:
    OutputPool(std::vector<std::string> files, Operation operation, const Style& style,
        const TrimList& trimList, int workers, OutputPoolSettings settings = {});
    ~OutputPool();
    OutputPool(const OutputPool&) = delete;
    OutputPool& operator=(const OutputPool&) = delete;

    /// Waits for file i (0-based, taken in order), calling whileWaiting every 50 ms or so.
    /// The result stays valid until release(i).
    PrecomputedFile& take(std::size_t i, const std::function<void()>& whileWaiting = {});
    /// Ends the use of file i (waiting for it first if it was never taken); its slot goes on
    /// with a later file.
    void release(std::size_t i);

private:
    struct Slot;
    void work();
    void compute(Slot& slot, const std::string& path);
    bool isReady(std::size_t i) const;

    const std::vector<std::string> m_files;
    const Operation m_operation;
    const TrimList m_trimList;
    const OutputPoolSettings m_settings;
    std::vector<std::unique_ptr<Slot>> m_slots;
    std::mutex m_mutex;
    std::condition_variable m_workAvailable;
    std::condition_variable m_fileReady;
    std::size_t m_nextToClaim = 0;
    std::size_t m_released = 0; ///< files before this index are done with
    bool m_stopping = false;
    std::vector<std::thread> m_workers;
};

} // namespace zenkel
