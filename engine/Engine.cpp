/// The processing engine: shared plumbing of scanner, formatter, compressor and trimmer.
#include "engine/Engine.h"

#include "engine/SafeFile.h"

namespace zenkel
{

Engine::Engine(ProgressSink& progress)
    : m_progress(&progress)
    , m_clock(systemClockNow)
    , m_timeSeparator(systemTimeSeparator())
{
    InitTagTable(m_style.tags);
}

void Engine::setSourceText(std::string lfText, std::string fileName)
{
    m_sourceText = std::move(lfText);
    m_fileName = std::move(fileName);
}

void Engine::setSelectionProcessing(bool on, std::string prefix)
{
    m_selection = on;
    m_selectionPrefix = on ? std::move(prefix) : std::string{};
}

ProgressSink& Engine::progress() const
{
    // Preview mode leaves the window's status line and progress bars alone.
    return m_preview ? nullProgressSink() : *m_progress;
}

void Engine::pumpMessages()
{
    progress().handlePendingMessages();
}

std::string Engine::MakeDokuLine() const
{
    // The clock is read once for the date and once for the time.
    const LocalDateTime date = m_clock();
    const LocalDateTime time = m_clock();
    return zenkel::MakeDokuLine(m_style.options, date, time, m_timeSeparator);
}

void Engine::emitLine(std::string_view line)
{
    if (m_preview)
        m_preview->addLine(line);
    else
        m_outputList.add(line);
}

bool Engine::writeDiagnosticFiles(const std::string& dir, std::string* error) const
{
    auto listBytes = [](const TextList& list) {
        std::string bytes;
        for (std::size_t i = 0; i < list.size(); ++i) {
            bytes += list[i];
            bytes += "\r\n";
        }
        return bytes;
    };
    std::string tokens;
    for (std::size_t i = 0; i < m_tokens.size(); ++i) {
        tokens += m_tokens[i];
        tokens += "\r\n";
    }
    const std::string base = dir.empty() || dir.back() == '/' ? dir : dir + '/';
    return writeFileSafely(base + "0tmp_htm.htm", tokens, error)
        && writeFileSafely(base + "0tmp_nftags.htm", listBytes(m_blocks.lines()), error);
}

} // namespace zenkel
