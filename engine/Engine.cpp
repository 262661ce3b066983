/// The processing engine: shared plumbing of scanner, formatter, compressor and trimmer.
#include "engine/Engine.h"

#include "base/SafeFile.h"
#include "text/TextEncoding.h"

#include <cassert>

namespace zenkel {

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
    m_selectionPrefix = on ? std::move(prefix) : std::string {};
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

void Engine::releaseSourceText()
{
    if (!m_keepSourceText)
        std::string().swap(m_sourceText);
}

bool Engine::runOperation(Operation operation)
{
    if (operation != Operation::Format && operation != Operation::Compress
        && operation != Operation::Trim)
        return false;
    // The mark would otherwise become a text token on a line of its own, and an XML
    // declaration after it would no longer open the file.
    const bool bom = m_sourceText.starts_with(Utf8Bom);
    if (bom)
        m_sourceText.erase(0, Utf8Bom.size());
    m_firstLinePrefix = bom ? Utf8Bom : std::string_view {};
    if (operation == Operation::Trim) {
        TrimHTML();
    } else {
        ParseHTML();
        if (operation == Operation::Format)
            FormatHTML();
        else
            CompressHTML();
    }
    if (bom) {
        // A text of nothing but the mark keeps it, on a line of its own.
        if (!m_firstLinePrefix.empty())
            emitLine({});
        if (m_keepSourceText || operation == Operation::Trim)
            m_sourceText.insert(0, Utf8Bom);
    }
    return true;
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
    assert(m_outputList.openLength() == 0); // a line built in place is ended first
    if (!m_firstLinePrefix.empty()) [[unlikely]] {
        std::string first(m_firstLinePrefix);
        first += line;
        m_firstLinePrefix = {};
        emitLine(first);
        return;
    }
    if (m_preview)
        m_preview->addLine(line);
    else
        m_outputList.add(line);
}

TextList& Engine::lineInPlace()
{
    if (!m_firstLinePrefix.empty() && m_outputList.openLength() == 0) [[unlikely]] {
        m_outputList.appendToOpen(m_firstLinePrefix);
        m_firstLinePrefix = {};
    }
    return m_outputList;
}

void Engine::appendToLine(std::string_view piece)
{
    // With the first character only, so a line that stays empty takes no prefix.
    if (!piece.empty())
        lineInPlace().appendToOpen(piece);
}

void Engine::endLine()
{
    if (m_outputList.openLength() > 0)
        closeLine();
}

void Engine::endOutputLine()
{
    std::string_view line = m_outputList.openEntry();
    while (!line.empty() && line.back() == ' ')
        line.remove_suffix(1);
    m_outputList.truncateOpen(line.size());
    closeLine();
}

void Engine::closeLine()
{
    if (m_preview) {
        m_preview->addLine(m_outputList.openEntry());
        m_outputList.truncateOpen();
    } else {
        m_outputList.closeEntry();
    }
}

std::string Engine::tokenListFileBytes() const
{
    return std::string(m_tokens.texts().joined());
}

std::string Engine::blockStoreFileBytes() const
{
    return std::string(m_blocks.lines().joined());
}

bool Engine::writeDiagnosticFiles(const std::string& dir, std::string* error) const
{
    const std::string base = dir.empty() || dir.back() == '/' ? dir : dir + '/';
    // Written straight from the lists, which hold the lines with their CR LF; both are
    // written (or cleared) even when the first fails, and *error tells the first failure.
    std::string second;
    const bool tokens = writeScratchFile(base + "0tmp_htm.htm", m_tokens.texts().joined(), error);
    const bool blocks = writeScratchFile(
        base + "0tmp_nftags.htm", m_blocks.lines().joined(), tokens ? error : &second);
    return tokens && blocks;
}

} // namespace zenkel
