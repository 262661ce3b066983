/// IniFile: a small, self-contained reader and writer of Windows-style INI files.
#include "style/IniFile.h"

#include "base/Ascii.h"
#include "base/SafeFile.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zenkel {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view trimBlanks(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

/// The lookup form of a section or key name: blanks trimmed, ASCII letters lower-cased.
std::string foldName(std::string_view name)
{
    std::string folded(trimBlanks(name));
    for (char& c : folded)
        c = lowerAscii(c);
    return folded;
}

bool isQuote(char c)
{
    return c == '"' || c == '\'';
}

/// A value as the file holds it -> the value as read: blanks, one pair of quotes, 2047 chars.
std::string readValue(std::string_view raw)
{
    std::string_view value = trimBlanks(raw);
    if (value.size() >= 2 && isQuote(value.front()) && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value.substr(0, IniFile::MaxValueLength));
}

/// A value -> the text to store, chosen so that readValue() gives the value back.
std::string storedValue(std::string_view value)
{
    std::string text(value);
    for (char& c : text) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    const bool blankEdge = !text.empty() && (isBlank(text.front()) || isBlank(text.back()));
    const bool quoted = text.size() >= 2 && isQuote(text.front()) && text.back() == text.front();
    if (blankEdge || quoted)
        text = '"' + text + '"';
    return text;
}

/// A name to write into a header or before '=': no line breaks, no surrounding blanks.
std::string cleanName(std::string_view name)
{
    std::string text(trimBlanks(name));
    for (char& c : text) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    return text;
}

/// Splits text at CR LF, lone CR and lone LF; a final line end adds no empty line.
std::vector<std::string_view> splitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

/// The name of a section header line, or false when the line is none. The name ends at the
/// last ']' so that tag names such as "<![endif]-->" survive.
bool parseHeader(std::string_view line, std::string& name)
{
    const std::string_view text = trimBlanks(line);
    if (text.empty() || text.front() != '[')
        return false;
    std::string_view inner = text.substr(1);
    const std::size_t close = inner.rfind(']');
    if (close != std::string_view::npos)
        inner = inner.substr(0, close);
    name = std::string(trimBlanks(inner));
    return true;
}

/// The key of a "key=value" line; empty for comments, blank lines and lines without '='.
std::string parseKey(std::string_view line)
{
    const std::string_view text = trimBlanks(line);
    if (text.empty() || text.front() == ';')
        return {};
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos)
        return {};
    return std::string(trimBlanks(text.substr(0, equals)));
}

bool parseHexDigits(std::string_view digits, long long& value)
{
    if (digits.empty())
        return false;
    unsigned long long result = 0;
    for (char c : digits) {
        int digit = 0;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        result = result * 16 + static_cast<unsigned long long>(digit);
        if (result > 0xFFFFFFFFull)
            return false;
    }
    // All 32 bits may be used, as for colour values: "$FFFFFFFF" is -1.
    value = static_cast<long long>(static_cast<std::int32_t>(static_cast<std::uint32_t>(result)));
    return true;
}

bool parseDecimal(std::string_view text, long long& value)
{
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return false;
    long long result = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        result = result * 10 + (c - '0');
        if (result > static_cast<long long>(INT_MAX) + 1)
            return false;
    }
    result = negative ? -result : result;
    if (result > INT_MAX || result < INT_MIN)
        return false;
    value = result;
    return true;
}

bool fail(std::string* error, const std::string& message)
{
    if (error)
        *error = message;
    return false;
}

/// Creates a new file beside target; its name is returned in tempPath.
} // namespace

bool parseIniInteger(std::string_view text, long long& value)
{
    text = trimBlanks(text);
    if (!text.empty() && text.front() == '$')
        return parseHexDigits(text.substr(1), value);
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        return parseHexDigits(text.substr(2), value);
    return parseDecimal(text, value);
}

IniFile::IniFile(std::string path)
    : m_path(std::move(path))
{
    reload();
}

bool IniFile::reload()
{
    setText({});
    m_unreadable = false;
    m_readErrno = 0;
    const int fd = ::open(m_path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        m_readErrno = errno;
        m_unreadable = errno != ENOENT && errno != ENOTDIR && !m_path.empty();
        return false;
    }
    std::string content;
    if (!readAllFrom(fd, content, &m_readErrno)) {
        ::close(fd);
        m_unreadable = true;
        return false;
    }
    ::close(fd);
    setText(content);
    return true;
}

std::string IniFile::readError() const
{
    if (!m_unreadable)
        return {};
    return "Cannot read file \"" + m_path + "\": " + std::strerror(m_readErrno);
}

void IniFile::setText(std::string_view text)
{
    m_leadingLines.clear();
    m_sections.clear();
    for (std::string_view line : splitLines(text)) {
        std::string name;
        if (parseHeader(line, name)) {
            m_sections.push_back(Section {std::string(line), std::move(name), {}, {}});
            continue;
        }
        if (m_sections.empty())
            m_leadingLines.emplace_back(line);
        else
            m_sections.back().lines.push_back(Line {std::string(line), parseKey(line)});
    }
    for (Section& section : m_sections)
        section.rebuildKeyIndex();
    rebuildSectionIndex();
}

std::string IniFile::text() const
{
    std::string out;
    for (const std::string& line : m_leadingLines)
        out += line + "\r\n";
    for (const Section& section : m_sections) {
        out += section.header + "\r\n";
        for (const Line& line : section.lines)
            out += line.text + "\r\n";
    }
    return out;
}

void IniFile::Section::rebuildKeyIndex()
{
    keyIndex.clear();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!lines[i].key.empty())
            keyIndex.emplace(foldName(lines[i].key), i); // emplace keeps the first
    }
}

void IniFile::rebuildSectionIndex()
{
    m_sectionIndex.clear();
    for (std::size_t i = 0; i < m_sections.size(); ++i)
        m_sectionIndex.emplace(foldName(m_sections[i].name), i);
}

const IniFile::Section* IniFile::findSection(std::string_view name) const
{
    const auto it = m_sectionIndex.find(foldName(name));
    return it == m_sectionIndex.end() ? nullptr : &m_sections[it->second];
}

const IniFile::Line* IniFile::findKey(std::string_view section, std::string_view key) const
{
    const Section* found = findSection(section);
    if (!found)
        return nullptr;
    const auto it = found->keyIndex.find(foldName(key));
    return it == found->keyIndex.end() ? nullptr : &found->lines[it->second];
}

std::string IniFile::readString(
    std::string_view section, std::string_view key, std::string_view defaultValue) const
{
    const Line* line = findKey(section, key);
    if (!line)
        return std::string(defaultValue);
    return readValue(std::string_view(line->text).substr(line->text.find('=') + 1));
}

int IniFile::readInteger(std::string_view section, std::string_view key, int defaultValue) const
{
    if (!hasKey(section, key))
        return defaultValue;
    long long value = 0;
    if (!parseIniInteger(readString(section, key, {}), value))
        return defaultValue;
    return static_cast<int>(value);
}

bool IniFile::readBool(std::string_view section, std::string_view key, bool defaultValue) const
{
    return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

bool IniFile::hasSection(std::string_view section) const
{
    return findSection(section) != nullptr;
}

bool IniFile::hasKey(std::string_view section, std::string_view key) const
{
    return findKey(section, key) != nullptr;
}

std::vector<std::string> IniFile::sectionNames() const
{
    std::vector<std::string> names;
    for (std::size_t i = 0; i < m_sections.size(); ++i) {
        if (m_sectionIndex.at(foldName(m_sections[i].name)) == i)
            names.push_back(m_sections[i].name);
    }
    return names;
}

std::vector<std::string> IniFile::keyNames(std::string_view section) const
{
    std::vector<std::string> names;
    const Section* found = findSection(section);
    if (!found)
        return names;
    for (std::size_t i = 0; i < found->lines.size(); ++i) {
        const std::string& key = found->lines[i].key;
        if (!key.empty() && found->keyIndex.at(foldName(key)) == i)
            names.push_back(key);
    }
    return names;
}

void IniFile::writeString(std::string_view section, std::string_view key, std::string_view value)
{
    const std::string stored = storedValue(value);
    const auto sectionIt = m_sectionIndex.find(foldName(section));
    if (sectionIt == m_sectionIndex.end()) {
        const std::string name = cleanName(section);
        m_sections.push_back(Section {"[" + name + "]", name, {}, {}});
        m_sectionIndex.emplace(foldName(name), m_sections.size() - 1);
        const std::string keyName = cleanName(key);
        m_sections.back().lines.push_back(Line {keyName + "=" + stored, keyName});
        m_sections.back().rebuildKeyIndex();
        return;
    }
    Section& target = m_sections[sectionIt->second];
    const auto keyIt = target.keyIndex.find(foldName(key));
    if (keyIt != target.keyIndex.end()) {
        Line& line = target.lines[keyIt->second];
        line.text = line.key + "=" + stored;
        return;
    }
    // A new key goes after the section's last non-blank line, before blank separators.
    std::size_t position = target.lines.size();
    while (position > 0 && trimBlanks(target.lines[position - 1].text).empty())
        --position;
    const std::string keyName = cleanName(key);
    target.lines.insert(target.lines.begin() + static_cast<std::ptrdiff_t>(position),
        Line {keyName + "=" + stored, keyName});
    target.rebuildKeyIndex();
}

void IniFile::writeInteger(std::string_view section, std::string_view key, long long value)
{
    writeString(section, key, std::to_string(value));
}

void IniFile::writeBool(std::string_view section, std::string_view key, bool value)
{
    writeString(section, key, value ? "1" : "0");
}

bool IniFile::eraseSection(std::string_view section)
{
    // Every section of that name goes: erasing only the first would bring a later
    // duplicate to light, and the erased entry would seem to come back.
    const std::string folded = foldName(section);
    const auto oldSize = m_sections.size();
    std::erase_if(m_sections, [&](const Section& s) { return foldName(s.name) == folded; });
    if (m_sections.size() == oldSize)
        return false;
    rebuildSectionIndex();
    return true;
}

bool IniFile::save(std::string* error) const
{
    if (m_path.empty())
        return fail(error, "Cannot write an INI file without a file name");
    // Writing what we could not read would wipe the file's other contents.
    if (m_unreadable)
        return fail(error, "Cannot write \"" + m_path + "\": the file could not be read");
    return writeFileSafely(m_path, text(), error);
}

} // namespace zenkel
