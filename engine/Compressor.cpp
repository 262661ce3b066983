/// Compressor: joins the tokens into as few lines as the special blocks allow.
#include "engine/Engine.h"
#include "engine/TextOps.h"

namespace zenkel {

namespace {

constexpr std::size_t ProgressStep = 100;
constexpr std::size_t PumpStep = 256;

} // namespace

bool Engine::isInstructionComment(const BlockStore::Block& block) const
{
    // Server-side include directives and conditional comments look like comments but tell a
    // server or a browser what to do; dropping them would break the page.
    if (block.lineCount == 0)
        return false;
    const std::string_view text = m_blocks.contentLine(block, 0);
    return text.starts_with("<!--#") || findNoCase(text.substr(0, 7), "<!--[if", 0) == 0
        || findNoCase(text.substr(0, 13), "<!--<![endif]", 0) == 0;
}

void Engine::CompressHTML()
{
    ProgressSink& sink = progress();
    sink.SetProgressRange(0, static_cast<long long>(m_tokens.size()));
    // The joined lines are built in place at the end of the output list, and for a page
    // without special blocks that line is the whole output: the room is made once.
    m_outputList.reserve(0, m_sourceText.size());
    releaseSourceText();
    if (!m_selection) {
        sink.SetStatus("Compressing: " + m_fileName);
        if (m_style.options.UseWhileCompress)
            emitLine(MakeDokuLine());
    }
    for (std::size_t i = 0; i < m_tokens.size(); ++i) {
        if (i % PumpStep == 0)
            pumpMessages();
        if (i % ProgressStep == 0)
            sink.SetProgressPosition(0, static_cast<long long>(i));
        if (!m_tokens.isMarker(i)) {
            appendToLine(m_tokens[i]);
            continue;
        }
        const BlockStore::Block& block
            = m_blocks.block(static_cast<std::size_t>(m_tokens.blockOf(i)));
        if (block.kind == BlockKind::Comment) {
            if (m_style.options.DoPurgeComments && !isInstructionComment(block))
                continue;
            // The comment stays in place inside the line, with its own line breaks.
            for (std::size_t n = 0; n < block.lineCount; ++n) {
                if (n > 0)
                    appendToLine("\r\n");
                appendToLine(m_blocks.contentLine(block, n));
            }
            continue;
        }
        endLine();
        for (std::size_t n = 0; n < block.lineCount; ++n)
            emitLine(m_blocks.contentLine(block, n));
    }
    endLine();
    sink.SetProgressPosition(0, static_cast<long long>(m_tokens.size()));
    sink.SetProgressPosition(0, 0);
    if (!m_selection)
        sink.SetStatus("Compressed and saved: " + m_fileName);
}

} // namespace zenkel
