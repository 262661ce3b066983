/// The scanned form of one text: the token list and the block store.
#pragma once

#include "engine/TagTable.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zenkel
{

/// Many short texts kept in one buffer, so that filling the list allocates rarely.
/// An entry that is exactly one blank is stored as an empty entry.
class TextList
{
public:
    void clear()
    {
        m_chars.clear();
        m_spans.clear();
    }
    void add(std::string_view text)
    {
        if (text == " ")
            text = {};
        m_spans.push_back({m_chars.size(), text.size()});
        m_chars.append(text);
    }
    std::size_t size() const { return m_spans.size(); }
    bool empty() const { return m_spans.empty(); }
    std::string_view operator[](std::size_t i) const
    {
        return std::string_view(m_chars).substr(m_spans[i].offset, m_spans[i].length);
    }
    void reserve(std::size_t entries, std::size_t chars)
    {
        m_spans.reserve(entries);
        m_chars.reserve(chars);
    }

private:
    struct Span
    {
        std::size_t offset;
        std::size_t length;
    };
    std::string m_chars;
    std::vector<Span> m_spans;
};

/// The token list: text tokens, tag tokens and marker lines. A marker line knows its block;
/// a text token that happens to begin with "###" is not a marker.
class TokenList
{
public:
    static constexpr int NoBlock = -1;

    void clear()
    {
        m_texts.clear();
        m_blocks.clear();
    }
    void addToken(std::string_view text)
    {
        m_texts.add(text);
        m_blocks.push_back(NoBlock);
    }
    void addMarker(std::string_view text, int block)
    {
        m_texts.add(text);
        m_blocks.push_back(block);
    }
    std::size_t size() const { return m_texts.size(); }
    bool empty() const { return m_texts.empty(); }
    std::string_view operator[](std::size_t i) const { return m_texts[i]; }
    bool isMarker(std::size_t i) const { return m_blocks[i] != NoBlock; }
    /// The block of a marker line (index into the block store), NoBlock for other tokens.
    int blockOf(std::size_t i) const { return m_blocks[i]; }

private:
    TextList m_texts;
    std::vector<int> m_blocks;
};

/// The block store: each block's marker line followed by its content lines. Each block
/// records its extent, so a content line that begins with "###" still belongs to it.
class BlockStore
{
public:
    struct Block
    {
        BlockKind kind;
        std::size_t markerLine;  ///< index of the marker line in lines()
        std::size_t lineCount;   ///< number of content lines after it
    };

    void clear()
    {
        m_lines.clear();
        m_blocks.clear();
    }
    /// Starts a block with its marker line; returns the block's index.
    int beginBlock(BlockKind kind, std::string_view markerLine)
    {
        m_blocks.push_back({kind, m_lines.size(), 0});
        m_lines.add(markerLine);
        return static_cast<int>(m_blocks.size() - 1);
    }
    void addContentLine(std::string_view line)
    {
        m_lines.add(line);
        ++m_blocks.back().lineCount;
    }

    std::size_t blockCount() const { return m_blocks.size(); }
    const Block& block(std::size_t i) const { return m_blocks[i]; }
    std::string_view contentLine(const Block& b, std::size_t n) const
    {
        return m_lines[b.markerLine + 1 + n];
    }
    /// Every line in order: marker lines and content lines.
    const TextList& lines() const { return m_lines; }

private:
    TextList m_lines;
    std::vector<Block> m_blocks;
};

} // namespace zenkel
