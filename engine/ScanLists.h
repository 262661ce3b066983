/// The scanned form of one text: the token list and the block store.
#pragma once

#include "engine/TagTable.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iterator>
#include <limits>
#include <new>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace zenkel {

/// A growing array of plain values (characters, offsets) in one block from malloc. Growth
/// goes through realloc, which moves a large block by remapping its pages: no copy and no
/// second block in memory, where a std::string or std::vector would copy into a new block
/// twice the size and keep both while it copies.
template <typename T> class GrowArray
{
    static_assert(std::is_trivially_copyable_v<T>);

public:
    GrowArray() = default;
    GrowArray(const GrowArray& other) { append(other.data(), other.size()); }
    GrowArray(GrowArray&& other) noexcept
        : m_data(std::exchange(other.m_data, nullptr))
        , m_size(std::exchange(other.m_size, 0))
        , m_capacity(std::exchange(other.m_capacity, 0))
    { }
    GrowArray& operator=(GrowArray other) noexcept
    {
        std::swap(m_data, other.m_data);
        std::swap(m_size, other.m_size);
        std::swap(m_capacity, other.m_capacity);
        return *this;
    }
    ~GrowArray() { std::free(m_data); }

    T* data() { return m_data; }
    const T* data() const { return m_data; }
    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    T& operator[](std::size_t i) { return m_data[i]; }
    const T& operator[](std::size_t i) const { return m_data[i]; }
    T& back() { return m_data[m_size - 1]; }
    const T& back() const { return m_data[m_size - 1]; }
    void clear() { m_size = 0; }
    void reserve(std::size_t capacity)
    {
        if (capacity > m_capacity)
            reallocate(capacity);
    }
    /// Room for n more values at the end, uninitialised; setSize() takes in what was written.
    T* space(std::size_t n)
    {
        if (n > m_capacity - m_size)
            reallocate(std::max(m_size + n, m_capacity + m_capacity / 2 + 16));
        return m_data + m_size;
    }
    /// A size up to the room that space() made.
    void setSize(std::size_t n) { m_size = n; }
    void push_back(T value)
    {
        *space(1) = value;
        ++m_size;
    }
    void pop_back() { --m_size; }
    /// Appends n values, which may lie in this array itself.
    void append(const T* values, std::size_t n)
    {
        if (n == 0)
            return;
        if (n > m_capacity - m_size && contains(values)) {
            const std::size_t offset = static_cast<std::size_t>(values - m_data);
            space(n);
            values = m_data + offset;
        }
        std::memcpy(space(n), values, n * sizeof(T));
        m_size += n;
    }
    /// True when p points into the values held.
    bool contains(const T* p) const
    {
        const std::less_equal<const T*> notAfter;
        return m_data && notAfter(m_data, p) && !notAfter(m_data + m_size, p);
    }

private:
    void reallocate(std::size_t capacity)
    {
        if (capacity > std::numeric_limits<std::size_t>::max() / sizeof(T))
            throw std::bad_alloc();
        void* grown = std::realloc(m_data, capacity * sizeof(T));
        if (!grown)
            throw std::bad_alloc();
        m_data = static_cast<T*>(grown);
        m_capacity = capacity;
    }

    T* m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
};

/// Many short texts kept in one buffer, so that filling the list allocates rarely.
/// A list may also keep a line end after each entry in the buffer (setLineEnd): the buffer
/// is then the bytes of a file of those lines, written out in one piece with no copy.
class TextList
{
public:
    void clear()
    {
        m_chars.clear();
        m_ends.clear();
    }
    /// Clears the list; from now on each entry is followed by lineEnd (at most two
    /// characters; empty: nothing) in the buffer.
    void setLineEnd(std::string_view lineEnd)
    {
        clear();
        m_lineEndSize = static_cast<unsigned char>(std::min(lineEnd.size(), sizeof m_lineEnd));
        std::memcpy(m_lineEnd, lineEnd.data(), m_lineEndSize);
    }
    std::string_view lineEnd() const { return std::string_view(m_lineEnd, m_lineEndSize); }
    /// Every entry followed by the line end, as the buffer holds them (an open entry left out).
    std::string_view joined() const { return std::string_view(m_chars.data(), openBegin()); }
    /// Hands every entry, each followed by lineEnd, to put (which returns false to stop): the
    /// buffer in one piece when the list keeps that line end, else entry by entry. False when
    /// put stopped.
    template <typename Put> bool putLines(std::string_view lineEnd, Put&& put) const
    {
        if (lineEnd == this->lineEnd())
            return put(joined());
        for (std::size_t i = 0; i < size(); ++i)
            if (!put((*this)[i]) || !put(lineEnd))
                return false;
        return true;
    }
    void add(std::string_view text)
    {
        m_chars.append(text.data(), text.size());
        closeEntry();
    }
    std::size_t size() const { return m_ends.size(); }
    bool empty() const { return m_ends.empty(); }
    std::string_view operator[](std::size_t i) const
    {
        const std::size_t begin = i == 0 ? 0 : m_ends[i - 1] + m_lineEndSize;
        return std::string_view(m_chars.data() + begin, m_ends[i] - begin);
    }
    void push_back(std::string_view text) { add(text); }
    std::string_view front() const { return (*this)[0]; }
    std::string_view back() const { return (*this)[size() - 1]; }
    void reserve(std::size_t entries, std::size_t chars)
    {
        m_ends.reserve(entries);
        m_chars.reserve(chars);
    }
    /// Total characters of all entries (line ends not counted).
    std::size_t characterCount() const { return m_chars.size() - m_ends.size() * m_lineEndSize; }

    /// Building one entry in place, so that a long entry is not gathered elsewhere and then
    /// copied in: appendToOpen adds a piece to the open entry (the characters after the last
    /// entry; the first piece opens it), closeEntry ends it, truncateOpen shortens it. The piece
    /// may lie in the list itself.
    void appendToOpen(std::string_view piece) { m_chars.append(piece.data(), piece.size()); }
    /// Adds n copies of c to the open entry.
    void appendToOpen(std::size_t n, char c)
    {
        std::memset(m_chars.space(n), c, n);
        m_chars.setSize(m_chars.size() + n);
    }
    std::size_t openLength() const { return m_chars.size() - openBegin(); }
    /// The open entry; valid until the list next grows.
    std::string_view openEntry() const
    {
        return std::string_view(m_chars.data() + openBegin(), openLength());
    }
    void closeEntry()
    {
        m_ends.push_back(m_chars.size());
        if (m_lineEndSize > 0)
            m_chars.append(m_lineEnd, m_lineEndSize);
    }
    /// Keeps the first length characters of the open entry.
    void truncateOpen(std::size_t length = 0) { m_chars.setSize(openBegin() + length); }

    /// Building the list from a text in pieces: appendLines adds a piece, each LF in it
    /// ending an entry, and closeLines ends the entry that the last piece left open, unless it
    /// is empty (a line end at the very end starts no new line). The pieces are copied once,
    /// straight into the list.
    void appendLines(std::string_view piece)
    {
        if (piece.empty())
            return;
        if (m_chars.contains(piece.data())) {
            appendLines(std::string(piece)); // the list may move while the piece is copied
            return;
        }
        const char* from = piece.data();
        const char* const end = from + piece.size();
        while (const void* lf = std::memchr(from, '\n', static_cast<std::size_t>(end - from))) {
            const std::size_t n = static_cast<std::size_t>(static_cast<const char*>(lf) - from);
            // Room for the line and its line end, which may be longer than the LF.
            char* const to = m_chars.space(n + 2);
            std::memcpy(to, from, n);
            std::memcpy(to + n, m_lineEnd, 2);
            m_ends.push_back(m_chars.size() + n);
            m_chars.setSize(m_chars.size() + n + m_lineEndSize);
            from += n + 1;
        }
        m_chars.append(from, static_cast<std::size_t>(end - from));
    }
    void closeLines()
    {
        if (openLength() > 0)
            closeEntry();
    }
    /// Takes back, from the end of what appendLines added, every character for which
    /// isBlank holds and every LF before them.
    template <typename IsBlank> void dropTrailingBlanks(IsBlank isBlank)
    {
        for (;;) {
            if (openLength() > 0) {
                if (!isBlank(m_chars.back()))
                    return;
                m_chars.pop_back();
            } else if (!m_ends.empty()) {
                // The line end: the entry before is open again.
                m_chars.setSize(m_ends.back());
                m_ends.pop_back();
            } else {
                return;
            }
        }
    }

    class const_iterator
    {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = std::string_view;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = std::string_view;
        const_iterator(const TextList* list, std::size_t i)
            : m_list(list)
            , m_i(i)
        { }
        std::string_view operator*() const { return (*m_list)[m_i]; }
        const_iterator& operator++()
        {
            ++m_i;
            return *this;
        }
        const_iterator operator++(int)
        {
            const_iterator old = *this;
            ++m_i;
            return old;
        }
        bool operator==(const const_iterator& other) const { return m_i == other.m_i; }

    private:
        const TextList* m_list;
        std::size_t m_i;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }
    /// The entries as separate strings (for tests and small lists).
    std::vector<std::string> toVector() const { return {begin(), end()}; }

private:
    std::size_t openBegin() const { return m_ends.empty() ? 0 : m_ends.back() + m_lineEndSize; }

    GrowArray<char> m_chars;
    GrowArray<std::size_t> m_ends; ///< where each entry ends in m_chars
    char m_lineEnd[2] = {};
    unsigned char m_lineEndSize = 0;
};

/// The token list: text tokens, tag tokens and marker lines. A marker line knows its block;
/// a text token that happens to begin with "###" is not a marker.
class TokenList
{
public:
    static constexpr int NoBlock = -1;

    /// The texts are kept as the diagnostic file holds them: each followed by CR LF.
    TokenList() { m_texts.setLineEnd("\r\n"); }

    void clear()
    {
        m_texts.clear();
        m_blocks.clear();
    }
    void reserve(std::size_t tokens, std::size_t chars)
    {
        m_texts.reserve(tokens, chars);
        m_blocks.reserve(tokens);
    }
    void addToken(std::string_view text)
    {
        m_texts.add(text == " " ? std::string_view {} : text);
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
    /// Every token's text in order.
    const TextList& texts() const { return m_texts; }

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
        std::size_t markerLine; ///< index of the marker line in lines()
        std::size_t lineCount; ///< number of content lines after it
    };

    /// The lines are kept as the diagnostic file holds them: each followed by CR LF.
    BlockStore() { m_lines.setLineEnd("\r\n"); }

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
        // An entry that is exactly one blank is stored as an empty entry.
        m_lines.add(line == " " ? std::string_view {} : line);
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
