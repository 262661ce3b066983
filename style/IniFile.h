/// IniFile: a small, self-contained reader and writer of Windows-style INI files.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zenkel {

/// Holds one INI file in memory, with the Windows rules: section and key names match
/// without regard to case (ASCII), values lose surrounding blanks and one pair of matching
/// quotes, values are read up to 2047 characters, the first of two equal sections or keys
/// counts. Lines starting with ';' are comments; lines without '=' are not keys.
/// Writes change the memory copy; save() replaces the file through a temporary sibling
/// and a rename, with CR LF line ends, so a failed save never leaves a half-written file.
class IniFile
{
public:
    static constexpr std::size_t MaxValueLength = 2047;

    IniFile() = default;
    /// Reads the file at path; a missing or unreadable file gives an empty IniFile.
    explicit IniFile(std::string path);

    const std::string& path() const { return m_path; }
    /// Reads the file again; false (and empty contents) when it cannot be read.
    bool reload();
    /// True when the file exists but could not be read (a missing file is not unreadable).
    bool unreadable() const { return m_unreadable; }
    /// "Cannot read file \"path\": reason" for an unreadable file; empty otherwise.
    std::string readError() const;
    /// Replaces the contents by the given INI text (any line ends).
    void setText(std::string_view text);
    /// The contents as save() writes them: every line ended by CR LF.
    std::string text() const;

    std::string readString(
        std::string_view section, std::string_view key, std::string_view defaultValue) const;
    /// Integers: decimal, "$hex", "0xhex"; anything else gives the default.
    int readInteger(std::string_view section, std::string_view key, int defaultValue) const;
    /// Booleans: read as an integer with 1 or 0 as default; non-zero is true.
    bool readBool(std::string_view section, std::string_view key, bool defaultValue) const;
    bool hasSection(std::string_view section) const;
    bool hasKey(std::string_view section, std::string_view key) const;

    /// All section names in file order (the first of equal names only).
    std::vector<std::string> sectionNames() const;
    /// All key names of a section in file order (the first of equal names only).
    std::vector<std::string> keyNames(std::string_view section) const;

    /// Replaces a key's value where it stands (the key keeps its spelling), or appends the
    /// key to its section (the section to the file). The value is written so that it reads
    /// back unchanged: it is put in quotes when it has surrounding blanks or is itself
    /// quoted, and line breaks inside it become blanks.
    void writeString(std::string_view section, std::string_view key, std::string_view value);
    void writeInteger(std::string_view section, std::string_view key, long long value);
    void writeBool(std::string_view section, std::string_view key, bool value);
    /// Removes every section of that name with all its lines; false when there was none.
    bool eraseSection(std::string_view section);

    /// Writes the file (temporary sibling + rename, permissions kept). A file without any
    /// write permission is refused, also for a user whom the system would let write it.
    /// On failure returns false and sets *error to a message that names the file; the file
    /// and the memory copy stay as they were.
    [[nodiscard]] bool save(std::string* error = nullptr) const;

private:
    struct Line
    {
        std::string text; ///< the raw line, without its line end
        std::string key; ///< the key as spelled in the line; empty when not a key line
    };
    struct Section
    {
        std::string header; ///< the raw header line
        std::string name; ///< the name between the brackets, as spelled in the file
        std::vector<Line> lines;
        std::unordered_map<std::string, std::size_t> keyIndex; ///< folded key -> first line
        void rebuildKeyIndex();
    };

    const Section* findSection(std::string_view name) const;
    const Line* findKey(std::string_view section, std::string_view key) const;
    void rebuildSectionIndex();

    std::string m_path;
    std::vector<std::string> m_leadingLines; ///< lines before the first section
    std::vector<Section> m_sections;
    std::unordered_map<std::string, std::size_t> m_sectionIndex; ///< folded name -> first
    bool m_unreadable = false; ///< the file exists but could not be read: never overwrite it
    int m_readErrno = 0; ///< why it could not be read
};

/// Parses an INI integer ("12", "-3", "$1F", "0x1f", surrounding blanks allowed); false when
/// it is not one. Decimal values must fit 32 bits signed; hexadecimal ones may use all 32 bits
/// ("$FFFFFFFF" is -1). The value always fits an int.
bool parseIniInteger(std::string_view text, long long& value);

} // namespace zenkel
