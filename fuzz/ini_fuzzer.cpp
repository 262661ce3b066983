/// Fuzz target: the INI layer. Reads a text, writes values into it, writes the text out and
/// reads it back: every value reads back as written, every other value stays as it was.
#include "FuzzSupport.h"

#include "style/IniFile.h"
#include "style/StyleFiles.h"

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <map>
#include <set>

using namespace zenkel;
using namespace zenkel::fuzz;

namespace {

std::string trimBlanks(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return std::string(text);
}

/// Names are matched without regard to ASCII case and surrounding blanks.
std::string fold(std::string_view name)
{
    std::string folded = trimBlanks(name);
    for (char& c : folded)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return folded;
}

/// What reading gives for a written value: line breaks become blanks (an INI value is one
/// line), and only the first 2047 characters are read.
std::string readBackForm(std::string_view value, std::size_t capacity = 0)
{
    std::string text(value);
    for (char& c : text) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    text = cutToCapacity(std::move(text), IniFile::MaxValueLength);
    return capacity == 0 ? text : cutToCapacity(std::move(text), capacity);
}

/// A text from the input: a length byte and that many bytes; lengths from 250 on give a
/// repeated pattern around the 2047-character read limit.
std::string readText(ByteReader& in)
{
    const std::uint8_t length = in.next();
    if (length < 250)
        return in.text(length);
    std::string pattern = in.text(1 + in.next() % 8);
    if (pattern.empty())
        pattern = "v";
    std::string text;
    const std::size_t target = 2000 + static_cast<std::size_t>(length - 250) * 20;
    while (text.size() < target)
        text += pattern;
    return text;
}

/// Section and key names that an INI line can hold: one line, not blank; a key holds no '='
/// and does not begin like a comment or a section header. Callers only ever use such names.
bool isUsableName(std::string_view name, bool isKey)
{
    const std::string trimmed = trimBlanks(name);
    if (trimmed.empty() || trimmed.find_first_of("\r\n") != std::string::npos)
        return false;
    return !isKey
        || (trimmed.find('=') == std::string::npos && trimmed[0] != ';' && trimmed[0] != '[');
}

int readInt(ByteReader& in)
{
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value = value << 8 | in.next();
    int result;
    std::memcpy(&result, &value, sizeof result);
    return result;
}

/// What the file should hold: per folded section name, whether it is there and its values.
struct SectionModel
{
    bool present = false;
    std::map<std::string, std::string> values; ///< folded key -> value as read
};
using Model = std::map<std::string, SectionModel>;

Model modelOf(const IniFile& ini)
{
    Model model;
    for (const std::string& section : ini.sectionNames()) {
        SectionModel& s = model[fold(section)];
        s.present = true;
        for (const std::string& key : ini.keyNames(section))
            s.values[fold(key)] = ini.readString(section, key, {});
    }
    return model;
}

void checkModel(const IniFile& ini, const Model& model, std::string_view when)
{
    std::set<std::string> present;
    for (const std::string& section : ini.sectionNames())
        present.insert(fold(section));
    for (const auto& [section, s] : model) {
        check(ini.hasSection(section) == s.present, "a section is there exactly when written",
            section);
        check(present.count(section) == (s.present ? 1u : 0u), "sectionNames lists the section",
            section);
        if (!s.present)
            continue;
        std::set<std::string> keys;
        for (const std::string& key : ini.keyNames(section))
            keys.insert(fold(key));
        check(keys.size() == s.values.size(), "a section holds the keys written", section);
        for (const auto& [key, value] : s.values) {
            check(keys.count(key) == 1, "keyNames lists the key", key);
            check(ini.readString(section, key, "\x01missing") == value,
                "a value reads back as written", when);
        }
    }
    std::size_t modelled = 0;
    for (const auto& [section, s] : model)
        modelled += s.present ? 1 : 0;
    check(present.size() == modelled, "no section appears from nowhere", when);
}

void applyOperations(ByteReader& in, IniFile& ini, Model& model)
{
    while (!in.atEnd()) {
        const std::uint8_t op = in.next();
        const std::string section = readText(in);
        if (!isUsableName(section, false))
            continue;
        SectionModel& s = model[fold(section)];
        if (op % 4 == 3) {
            check(ini.eraseSection(section) == s.present, "erasing reports whether it erased",
                section);
            s = SectionModel {};
            continue;
        }
        const std::string key = readText(in);
        if (!isUsableName(key, true))
            continue;
        std::string written;
        if (op % 4 == 0) {
            const std::string value = readText(in);
            ini.writeString(section, key, value);
            written = readBackForm(value);
        } else if (op % 4 == 1) {
            const int value = readInt(in);
            ini.writeInteger(section, key, value);
            check(ini.readInteger(section, key, value == 0 ? 1 : 0) == value,
                "an integer reads back as written", key);
            written = std::to_string(value);
        } else {
            const bool value = (in.next() & 1) != 0;
            ini.writeBool(section, key, value);
            check(ini.readBool(section, key, !value) == value, "a boolean reads back as written",
                key);
            written = value ? "1" : "0";
        }
        s.present = true;
        s.values[fold(key)] = written;
        check(ini.readString(section, key, "\x01missing") == written,
            "a value reads back right after writing", key);
    }
}

IniFile roundTrip(const IniFile& ini)
{
    IniFile copy;
    copy.setText(ini.text());
    check(copy.text() == ini.text(), "a written text reads back to the same text");
    return copy;
}

/// The style records go through the key tables as the style files do.
void checkRecordRoundTrip(ByteReader& in, IniFile& ini)
{
    StyleOptions options;
    options.StyleName = readText(in);
    options.StyleDescription = readText(in);
    options.LineSize = readInt(in);
    options.Spacing = readInt(in);
    options.BreakExcluder = readText(in);
    options.TagCase = readInt(in);
    options.UserInfo = readText(in);
    const std::uint8_t flags = in.next();
    options.DoDisableComments = flags & 1;
    options.DoPurgeComments = flags & 2;
    options.DoIncludeUser = flags & 4;
    options.DoIncludeVersion = flags & 8;
    options.DoIncludeDate = flags & 16;
    options.DoIncludeTime = flags & 32;
    options.UseWhileCompress = flags & 64;
    options.UseWhileFormat = flags & 128;
    options.IndentWithTabs = in.next() & 1;
    writeIniKeys(ini, OptionsSection, optionsIniKeys(), options);

    std::string tagSection = readText(in);
    if (!isUsableName(tagSection, false))
        tagSection = "<TABLE>";
    RecTAGInfo entry;
    entry.TagOpen = readText(in);
    entry.TagClose = readText(in);
    entry.isSelfIndent = readInt(in);
    entry.isContentIndent = readInt(in);
    entry.CRLFLeading = readInt(in);
    entry.CRLFFollowed = readInt(in);
    entry.StartComment = readText(in);
    entry.EndComment = readText(in);
    entry.CommentLength = readInt(in);
    entry.CommentSymbol = readText(in);
    const std::uint8_t tagFlags = in.next();
    entry.DoGenerateSComment = tagFlags & 1;
    entry.DoGenerateEComment = tagFlags & 2;
    entry.TreatAsText = tagFlags & 4;
    entry.EnableCounter = tagFlags & 8;
    entry.CIndent = tagFlags & 16;
    entry.KeepOnOneLine = tagFlags & 32;
    writeIniKeys(ini, tagSection, tagIniKeys(), entry);

    const IniFile copy = roundTrip(ini);
    StyleOptions readOptions;
    readOptions.UseWhileCompress = !options.UseWhileCompress;
    readOptions.UseWhileFormat = !options.UseWhileFormat;
    readIniKeys(copy, OptionsSection, optionsIniKeys(), readOptions);
    check(readOptions.StyleName == StyleOptions {}.StyleName, "the style name is never read");
    check(readOptions.StyleDescription == readBackForm(options.StyleDescription),
        "StyleDescription reads back");
    check(readOptions.LineSize == options.LineSize, "LineSize reads back");
    check(readOptions.Spacing == options.Spacing, "Spacing reads back");
    check(readOptions.BreakExcluder == readBackForm(options.BreakExcluder),
        "BreakExcluder reads back", options.BreakExcluder);
    check(readOptions.TagCase == options.TagCase, "TagCase reads back");
    check(readOptions.UserInfo == readBackForm(options.UserInfo), "UserInfo reads back");
    check(readOptions.DoDisableComments == options.DoDisableComments
            && readOptions.DoPurgeComments == options.DoPurgeComments
            && readOptions.DoIncludeUser == options.DoIncludeUser
            && readOptions.DoIncludeVersion == options.DoIncludeVersion
            && readOptions.DoIncludeDate == options.DoIncludeDate
            && readOptions.DoIncludeTime == options.DoIncludeTime
            && readOptions.UseWhileCompress == options.UseWhileCompress
            && readOptions.UseWhileFormat == options.UseWhileFormat
            && readOptions.IndentWithTabs == options.IndentWithTabs,
        "the option switches read back");

    RecTAGInfo readEntry;
    readIniKeys(copy, tagSection, tagIniKeys(), readEntry);
    check(readEntry.TagOpen == readBackForm(entry.TagOpen, TagTextCapacity), "TagOpen reads back");
    check(
        readEntry.TagClose == readBackForm(entry.TagClose, TagTextCapacity), "TagClose reads back");
    check(readEntry.StartComment == readBackForm(entry.StartComment, CommentTextCapacity),
        "StartComment reads back");
    check(readEntry.EndComment == readBackForm(entry.EndComment, CommentTextCapacity),
        "EndComment reads back");
    check(readEntry.CommentSymbol == readBackForm(entry.CommentSymbol, CommentSymbolCapacity),
        "CommentSymbol reads back", entry.CommentSymbol);
    check(readEntry.isSelfIndent == entry.isSelfIndent
            && readEntry.isContentIndent == entry.isContentIndent
            && readEntry.CRLFLeading == entry.CRLFLeading
            && readEntry.CRLFFollowed == entry.CRLFFollowed
            && readEntry.CommentLength == entry.CommentLength,
        "the tag numbers read back");
    check(readEntry.DoGenerateSComment == entry.DoGenerateSComment
            && readEntry.DoGenerateEComment == entry.DoGenerateEComment
            && readEntry.TreatAsText == entry.TreatAsText
            && readEntry.EnableCounter == entry.EnableCounter && readEntry.CIndent == entry.CIndent
            && readEntry.KeepOnOneLine == entry.KeepOnOneLine,
        "the tag switches read back");
}

} // namespace

/// Input: the INI text up to the first NUL byte, then write operations, then the style
/// records for the key tables.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const void* nul = std::memchr(data, 0, size);
    const std::size_t textSize
        = nul ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(nul) - data) : size;
    IniFile ini;
    ini.setText(std::string_view(reinterpret_cast<const char*>(data), textSize));
    Model model = modelOf(ini);
    checkModel(roundTrip(ini), model, "the text read back unchanged");

    const std::size_t opsStart = std::min(size, textSize + 1);
    // The first half of the rest writes values, the second half fills the style records.
    const std::size_t opsSize = (size - opsStart) / 2;
    ByteReader ops(data + opsStart, opsSize);
    applyOperations(ops, ini, model);
    checkModel(ini, model, "after writing");
    checkModel(roundTrip(ini), model, "after writing the text and reading it back");

    ByteReader records(data + opsStart + opsSize, size - opsStart - opsSize);
    checkRecordRoundTrip(records, ini);
    return 0;
}
