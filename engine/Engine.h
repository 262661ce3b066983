/// The processing engine: scanner, formatter, compressor and trimmer over one text.
#pragma once

#include "engine/DocLine.h"
#include "engine/Operation.h"
#include "engine/ProgressSink.h"
#include "engine/ScanLists.h"
#include "engine/Style.h"
#include "engine/TagTable.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zenkel {

/// Receives output lines in preview mode instead of the output list.
class LineSink
{
public:
    virtual ~LineSink() = default;
    virtual void addLine(std::string_view line) = 0;
};

/// One engine object holds the active style, the source text and the scanned and produced
/// lists. One operation at a time; separate objects are independent of each other.
class Engine
{
public:
    explicit Engine(ProgressSink& progress = nullProgressSink());

    Style& style() { return m_style; }
    const Style& style() const { return m_style; }
    void setProgressSink(ProgressSink& progress) { m_progress = &progress; }

    /// The text to work on, with LF as its only line end, and the file name for status lines.
    void setSourceText(std::string lfText, std::string fileName = {});
    const std::string& sourceText() const { return m_sourceText; }
    /// Whether the source text stays after a format or compress (the default). A run that
    /// only writes its result lets the text go once it is scanned, so that the text, its scan
    /// and the result are never all held at once; sourceText() is then empty after the run.
    void setKeepSourceText(bool keep) { m_keepSourceText = keep; }
    const std::string& fileName() const { return m_fileName; }

    /// The program-wide trim list used by TrimHTML (not owned; may be null: nothing trimmed).
    void setTrimList(const TrimList* trimList) { m_trimList = trimList; }

    /// Selection processing: no status lines, no documentation line, no progress range, and
    /// the prefix in front of every indented output line.
    void setSelectionProcessing(bool on, std::string prefix = {});
    bool selectionProcessing() const { return m_selection; }

    /// Preview mode: each output line goes to sink instead of the output list, and status
    /// and progress are left untouched. Null ends preview mode.
    void setPreviewSink(LineSink* sink) { m_preview = sink; }

    /// The clock and time separator of the documentation line (tests fix them).
    void setClock(std::function<LocalDateTime()> clock) { m_clock = std::move(clock); }
    void setTimeSeparator(char separator) { m_timeSeparator = separator; }
    std::string MakeDokuLine() const;

    void ParseHTML(); ///< source text -> token list + block store; clears the output list
    void FormatHTML(); ///< token list -> formatted lines
    void CompressHTML(); ///< token list -> compressed lines
    void TrimHTML(); ///< source text -> trimmed lines

    /// Runs Format, Compress or Trim on the source text: the scan (not for Trim), then the
    /// operation, with the result in the output list (or the preview sink). A UTF-8 byte
    /// order mark at the start of the text is no content: it is kept out of the scan and the
    /// trim and put back in front of the first output line. False, and nothing done, for any
    /// other operation.
    bool runOperation(Operation operation);

    const TokenList& tokenList() const { return m_tokens; }
    const BlockStore& blockStore() const { return m_blocks; }
    /// The result lines of the last format, compress or trim.
    const TextList& outputList() const { return m_outputList; }
    TextList& outputList() { return m_outputList; }

    /// The bytes of the two diagnostic files: one entry per line, each followed by CR LF.
    std::string tokenListFileBytes() const;
    std::string blockStoreFileBytes() const;
    /// Writes the token list as "0tmp_htm.htm" and the block store as "0tmp_nftags.htm" into
    /// dir, one entry per line, each followed by CR LF.
    [[nodiscard]] bool writeDiagnosticFiles(
        const std::string& dir, std::string* error = nullptr) const;

private:
    ProgressSink& progress() const;
    void pumpMessages();
    void releaseSourceText(); ///< unless it is to be kept: the scan is all that is needed
    bool isInstructionComment(const BlockStore::Block& block) const;

    // Scanner (Scanner.cpp)
    void emitPending();
    void appendPending(std::string_view text);
    std::size_t handleOwnToken(
        std::size_t start, std::size_t rawEnd, const TagIndex::KeyInfo& keyInfo);
    std::size_t handleTextTag(
        std::size_t start, std::size_t rawEnd, const TagIndex::KeyInfo& keyInfo);
    /// Finishes the copy of a tag that runs from text[from] to the end of text; true when
    /// tidying left it as the raw tag had it, so that both have the same key.
    bool finishTagCopy(
        std::string& text, std::size_t from, std::size_t& next, bool layoutTag) const;
    /// What the formatter's lookup of a tag gives, in the form kept per token.
    static std::uint8_t tagLookupCode(const TagIndex::KeyInfo& keyInfo, std::string_view raw);
    /// The index's facts about the raw tag that runs from start to rawEnd.
    const TagIndex::KeyInfo& lookUpRawTag(std::size_t start, std::size_t rawEnd);
    std::size_t handleBlock(BlockKind kind, std::size_t start);
    std::size_t blockEnd(BlockKind kind, std::size_t start);
    bool isSimpleCell(std::size_t start, std::size_t cellEnd);
    void handleSimpleCell(std::size_t start, std::size_t cellEnd);
    void addMarker(BlockKind kind);

    // Formatter (Formatter.cpp)
    std::size_t formatToken(std::size_t i); ///< gives the last token it wrote
    bool addsLinesAt(const RecTAGInfo& entry, bool start) const;
    bool isOneLineContent(std::size_t i) const; ///< for token i
    std::size_t shortElementEnd(std::size_t start, const RecTAGInfo& entry);
    void formatShortElement(std::size_t start, std::size_t end, const RecTAGInfo& entry);
    void formatRunStart(std::string_view token, const RecTAGInfo& entry);
    void formatStartTag(std::string_view token, const RecTAGInfo& entry);
    void formatEndTag(std::string_view token, const RecTAGInfo& entry);
    void IndentLine(std::string_view line);
    void WrapText(std::string_view token);
    void AutoComment(bool start, const RecTAGInfo& entry);
    void WriteBlock(std::size_t block);
    void lineBreaks(int count);
    void addOutputLine(std::string_view line); ///< formatter lines: trailing blanks removed
    void emitLine(std::string_view line); ///< to the preview sink or the output list
    /// The output list, for a line built in place at its end; a first-line prefix goes in
    /// front of the line now.
    TextList& lineInPlace();
    /// Adds a piece to the line built in place (the prefix only with a first character).
    void appendToLine(std::string_view piece);
    /// Emits the line built in place, unless it is empty.
    void endLine();
    /// Emits the line built in place, trailing blanks removed, even when empty.
    void endOutputLine();
    void closeLine(); ///< emits the line built in place as it is
    void raiseIndent(int steps);
    void lowerIndent(int steps);
    const RecTAGInfo& lookUpTag(std::string_view tag, int& direction) const;
    /// The same for a tag whose key is known.
    const RecTAGInfo& lookUpTag(std::string_view tag, std::string_view key, int& direction) const;
    /// The same for the first tag of token i, from what the scan found where it can.
    const RecTAGInfo& lookUpToken(std::size_t i, int& direction) const;
    /// The keys of the tag table as the scan used them, and whether they still hold.
    std::vector<std::string> tableKeys() const;

    ProgressSink* m_progress;
    Style m_style;
    const TrimList* m_trimList = nullptr;
    std::string m_sourceText;
    bool m_keepSourceText = true;
    std::string m_fileName;
    TokenList m_tokens;
    BlockStore m_blocks;
    TextList m_outputList;

    bool m_selection = false;
    std::string m_selectionPrefix;
    LineSink* m_preview = nullptr;
    std::function<LocalDateTime()> m_clock;
    char m_timeSeparator;

    // Working state of one run.
    TagIndex m_index;
    std::string m_pending;
    bool m_pendingHasText = false;
    /// Per token, the table entry and direction of its first tag as the scan looked it up
    /// (entry * 2, plus 1 for an end tag), or UnknownTag: the formatter then looks the tag up
    /// itself. Saves the formatter computing and looking up the key of nearly every tag again.
    static constexpr std::uint8_t UnknownTag = 255;
    static_assert(MaxTagEntries * 2 + 1 < UnknownTag);
    std::vector<std::uint8_t> m_tokenTags;
    std::uint8_t m_pendingTag = UnknownTag; ///< for the pending text
    std::vector<std::string> m_scanTableKeys; ///< tableKeys() at the scan
    /// Short raw tags met in this scan, by their bytes, with what the index knows of them.
    struct ShortTag
    {
        std::uint64_t bytes = 0;
        std::size_t length = 0; ///< 0: no tag kept here
        const TagIndex::KeyInfo* info = nullptr;
    };
    std::array<ShortTag, 64> m_shortTags {};
    bool m_useTokenTags = false; ///< the table has the same keys as at the scan
    std::string m_work;
    std::string m_tagWork;
    std::string m_key;
    std::string m_elementLine; ///< a short element joined on one line
    std::string_view m_firstLinePrefix; ///< goes in front of the next line emitted
    bool m_countCodePoints = false; ///< the text is UTF-8: wrapping counts characters
    long long m_markerCounter = 0;
    long long m_indentLevel = 0;
    struct SearchMemo
    {
        std::size_t from = std::string::npos; ///< where the last search started
        std::size_t found = std::string::npos; ///< its result
    };
    std::array<SearchMemo, 9> m_endMarkerMemo {};
    struct CellScanMemo
    {
        bool valid = false;
        std::size_t start = 0;
        std::size_t pos = 0; ///< next position to scan
        bool inside = false;
        bool failed = false;
        std::size_t failPos = 0;
    } m_cellScan;
};

} // namespace zenkel
