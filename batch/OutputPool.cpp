/// Computing the results of a file list ahead of their turn, on worker threads.
#include "batch/OutputPool.h"

#include "base/SafeFile.h"
#include "batch/FileJob.h"
#include "engine/Engine.h"

#include <cerrno>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace zenkel {

namespace {

FileStamp stampOf(const struct stat& info)
{
    FileStamp stamp;
    stamp.device = static_cast<std::uint64_t>(info.st_dev);
    stamp.inode = static_cast<std::uint64_t>(info.st_ino);
    stamp.size = static_cast<std::int64_t>(info.st_size);
    stamp.modified
        = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    stamp.changed
        = static_cast<std::int64_t>(info.st_ctim.tv_sec) * 1000000000 + info.st_ctim.tv_nsec;
    return stamp;
}

/// Reads a whole regular file together with the stamp of what was read. Opened without
/// blocking, so a file replaced by a pipe cannot hold a worker.
bool readStampedFile(
    const std::string& path, std::string& bytes, FileStamp& stamp, std::string& error)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        error = "Cannot read file \"" + path + "\": " + std::strerror(errno);
        return false;
    }
    struct stat info
    {
    };
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const int err = S_ISREG(info.st_mode) ? errno : EINVAL;
        ::close(fd);
        error = "Cannot read file \"" + path + "\": " + std::strerror(err);
        return false;
    }
    stamp = stampOf(info);
    int err = 0;
    const bool ok = readAllFrom(fd, bytes, &err);
    ::close(fd);
    if (!ok)
        error = "Cannot read file \"" + path + "\": " + std::strerror(err);
    return ok;
}

} // namespace

FileStamp fileStampOf(const std::string& path)
{
    struct stat info
    {
    };
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return {};
    return stampOf(info);
}

struct OutputPool::Slot
{
    Engine engine;
    PrecomputedFile result;
    std::size_t file = static_cast<std::size_t>(-1); ///< the file whose result is here
};

OutputPool::OutputPool(std::vector<std::string> files, Operation operation, const Style& style,
    const TrimList& trimList, int workers, OutputPoolSettings settings)
    : m_files(std::move(files))
    , m_operation(operation)
    , m_trimList(trimList)
    , m_settings(std::move(settings))
{
    const std::size_t count = std::max<std::size_t>(1, m_files.size());
    std::size_t threads = std::min(static_cast<std::size_t>(std::max(1, workers)), count);
    // Work ahead is bounded by bytes as well: a slot holds the engine's working memory for
    // its file, about 14 x the file's size as measured, so the slots together hold no more
    // than WorkAheadBytes, or 4 files of the largest size when that is more, however many
    // workers were asked for.
    std::uint64_t largest = 0;
    for (const std::string& file : m_files)
        largest = std::max(
            largest, static_cast<std::uint64_t>(std::max<std::int64_t>(0, fileStampOf(file).size)));
    const std::uint64_t perSlot = std::max<std::uint64_t>(1, largest * EngineBytesPerFileByte);
    const std::size_t bySize = static_cast<std::size_t>(
        std::min<std::uint64_t>(count, std::max<std::uint64_t>(4, WorkAheadBytes / perSlot)));
    const std::size_t slots = std::max<std::size_t>(1, std::min({2 * threads, count, bySize}));
    threads = std::min(threads, slots);
    for (std::size_t i = 0; i < slots; ++i) {
        auto slot = std::make_unique<Slot>();
        slot->engine.style() = style;
        slot->engine.setTrimList(&m_trimList);
        slot->result.engine = &slot->engine;
        m_slots.push_back(std::move(slot));
    }
    for (std::size_t i = 0; i < threads; ++i) {
        try {
            m_workers.emplace_back([this] { work(); });
        } catch (const std::exception&) {
            break; // fewer threads; with none at all, take() computes each file itself
        }
    }
}

OutputPool::~OutputPool()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_workAvailable.notify_all();
    for (std::thread& worker : m_workers)
        worker.join();
}

bool OutputPool::isReady(std::size_t i) const
{
    return m_slots[i % m_slots.size()]->file == i;
}

PrecomputedFile& OutputPool::take(std::size_t i, const std::function<void()>& whileWaiting)
{
    Slot& slot = *m_slots[i % m_slots.size()];
    if (m_workers.empty()) {
        if (slot.file != i) {
            compute(slot, m_files[i]);
            slot.file = i;
        }
        return slot.result;
    }
    std::unique_lock lock(m_mutex);
    while (!isReady(i)) {
        if (!whileWaiting) {
            m_fileReady.wait(lock);
            continue;
        }
        if (m_fileReady.wait_for(lock, std::chrono::milliseconds(50), [&] { return isReady(i); }))
            break;
        lock.unlock();
        whileWaiting();
        lock.lock();
    }
    return slot.result;
}

void OutputPool::release(std::size_t i)
{
    if (m_workers.empty())
        return;
    // A slot is handed on only once its worker is done with it.
    (void)take(i);
    {
        const std::lock_guard lock(m_mutex);
        m_released = std::max(m_released, i + 1);
    }
    m_workAvailable.notify_all();
}

void OutputPool::work()
{
    for (;;) {
        std::unique_lock lock(m_mutex);
        m_workAvailable.wait(lock, [this] {
            return m_stopping || m_nextToClaim >= m_files.size()
                || m_nextToClaim < m_released + m_slots.size();
        });
        if (m_stopping || m_nextToClaim >= m_files.size())
            return;
        const std::size_t i = m_nextToClaim++;
        Slot& slot = *m_slots[i % m_slots.size()];
        lock.unlock();
        compute(slot, m_files[i]);
        lock.lock();
        slot.file = i;
        m_fileReady.notify_all();
    }
}

void OutputPool::compute(Slot& slot, const std::string& path)
{
    PrecomputedFile& result = slot.result;
    result.computed = false;
    result.error.clear();
    result.sourceBytes.clear();
    result.resultBytes.clear();
    result.tokenFileBytes.clear();
    result.blockFileBytes.clear();
    result.stamp = {};
    std::string bytes;
    if (!readStampedFile(path, bytes, result.stamp, result.error))
        return;
    try {
        // The result lines are kept with their line end: the bytes are then one copy.
        slot.engine.outputList().setLineEnd(m_settings.lineEnd);
        slot.engine.setKeepSourceText(false);
        if (m_settings.keepSourceBytes) {
            slot.engine.setSourceText(SourceTextFromBytes(bytes), path);
        } else {
            // The file's bytes are needed no more: they become the source text in place.
            SourceTextInPlace(bytes);
            slot.engine.setSourceText(std::move(bytes), path);
        }
        slot.engine.runOperation(m_operation);
        result.resultBytes = slot.engine.outputList().joined();
        if (m_settings.diagnosticFiles) {
            result.tokenFileBytes = slot.engine.tokenListFileBytes();
            result.blockFileBytes = slot.engine.blockStoreFileBytes();
        }
        result.computed = true;
    } catch (const std::bad_alloc&) {
        // A file too large for the memory left: the consumer runs the job itself (and reports
        // it), or a check names it.
        result.error = path + ": not enough memory to process the file";
    } catch (const std::exception& e) {
        result.error = path + ": " + e.what();
    }
    if (m_settings.keepSourceBytes)
        result.sourceBytes = std::move(bytes);
}

} // namespace zenkel
