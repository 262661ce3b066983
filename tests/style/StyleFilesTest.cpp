/// Tests of the style files: options.ini, tag.ini and trim.ini, key by key and as wholes.
#include "style/StyleFiles.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <functional>
#include <sys/stat.h>

namespace zenkel {
namespace {

using test::readBytes;
using test::TempDir;
using test::writeBytes;

// ---- field-by-field checks over the key tables -------------------------------------------

template <typename Record> std::string fieldText(const Record& record, const IniKey<Record>& key)
{
    return std::visit(detail::Overloaded {
                          [&](std::string Record::*f) { return record.*f; },
                          [&](int Record::*f) { return std::to_string(record.*f); },
                          [&](bool Record::*f) { return std::string(record.*f ? "1" : "0"); },
                      },
        key.member);
}

template <typename Record> std::string defaultText(const IniKey<Record>& key)
{
    return std::visit(detail::Overloaded {
                          [](std::string_view v) { return std::string(v); },
                          [](int v) { return std::to_string(v); },
                          [](bool v) { return std::string(v ? "1" : "0"); },
                      },
        key.defaultValue);
}

/// Puts a value different from the key's default into the field, within its capacity.
template <typename Record> void setOtherValue(Record& record, const IniKey<Record>& key)
{
    std::visit(
        detail::Overloaded {
            [&](std::string Record::*f) { record.*f = key.capacity == 1 ? "#" : "other 'text'"; },
            [&](int Record::*f) { record.*f = std::get<int>(key.defaultValue) + 7; },
            [&](bool Record::*f) { record.*f = !std::get<bool>(key.defaultValue); },
        },
        key.member);
}

constexpr const char* Default = "<default>"; ///< expected: the default (or the kept value)

struct KeyCase
{
    std::string stored;
    std::string expected;
};

std::vector<KeyCase> casesFor(const std::string& kind, std::size_t capacity)
{
    if (kind == "text") {
        const std::size_t limit = capacity == 0 ? IniFile::MaxValueLength : capacity;
        const std::string longText(limit + 10, 'w');
        return {{"  abc  ", std::string("abc").substr(0, limit)}, {"\"a\"", "a"}, {"'b'", "b"},
            {"", ""}, {longText, longText.substr(0, limit)}};
    }
    if (kind == "int")
        return {{"12", "12"}, {"0x64", "100"}, {"$64", "100"}, {"-5", "-5"}, {" \"7\" ", "7"},
            {"wide", Default}, {"", Default}};
    return {{"1", "1"}, {"0", "0"}, {"2", "1"}, {"'0'", "0"}, {"yes", Default}, {"", Default}};
}

template <typename Record> std::string kindOf(const IniKey<Record>& key)
{
    return std::visit(
        detail::Overloaded {[](std::string Record::*) { return "text"; },
            [](int Record::*) { return "int"; }, [](bool Record::*) { return "bool"; }},
        key.member);
}

/// For each key of a table: each stored form and a missing key give the expected field.
/// load(key, sectionBody, record) writes the file with the given key lines and loads it.
template <typename Record>
using LoadFunction = std::function<void(const IniKey<Record>&, const std::string&, Record&)>;

template <typename Record>
void checkKeysReadByTheirRules(
    std::span<const IniKey<Record>> keys, const LoadFunction<Record>& load)
{
    for (const IniKey<Record>& key : keys) {
        if (key.rule == ReadRule::WriteOnly)
            continue;
        std::vector<KeyCase> cases = casesFor(kindOf(key), key.capacity);
        cases.push_back({"<missing>", Default});
        for (const KeyCase& c : cases) {
            SCOPED_TRACE(std::string(key.name) + " stored as [" + c.stored.substr(0, 20) + "]");
            Record record;
            setOtherValue(record, key);
            const std::string kept = fieldText(record, key);
            const std::string line = std::string(key.readName) + "=" + c.stored + "\r\n";
            load(key, c.stored == "<missing>" ? "" : line, record);
            const std::string fallback
                = key.rule == ReadRule::KeepCurrentWhenMissing ? kept : defaultText(key);
            EXPECT_EQ(fieldText(record, key), c.expected == Default ? fallback : c.expected);
        }
    }
}

TEST(StyleFilesTest, OptionsKeysReadByTheirRules)
{
    TempDir dir;
    checkKeysReadByTheirRules<StyleOptions>(
        optionsIniKeys(), [&](const auto&, const std::string& body, StyleOptions& options) {
            writeBytes(dir.file("options.ini"), "[Options]\r\n" + body);
            LoadStyleOptions(options, dir.path());
        });
}

TEST(StyleFilesTest, TagKeysReadByTheirRules)
{
    TempDir dir;
    checkKeysReadByTheirRules<RecTAGInfo>(tagIniKeys(),
        [&](const IniKey<RecTAGInfo>& key, const std::string& body, RecTAGInfo& entry) {
            // 'As Text', so that line-break values of 0 are not raised.
            const bool asText = key.name != "TreatAsText";
            writeBytes(
                dir.file("tag.ini"), "[<T>]\r\n" + body + (asText ? "TreatAsText=1\r\n" : ""));
            TagTable table;
            LoadTagTable(table, dir.path());
            ASSERT_EQ(table.tagCount, 1);
            entry = table[1];
        });
}

template <typename Record>
void checkRoundTrip(
    std::span<const IniKey<Record>> keys, const std::function<Record(const Record&)>& saveAndLoad)
{
    for (const IniKey<Record>& key : keys) {
        SCOPED_TRACE(key.name);
        Record record;
        setOtherValue(record, key);
        const Record loaded = saveAndLoad(record);
        if (key.rule != ReadRule::WriteOnly) {
            EXPECT_EQ(fieldText(loaded, key), fieldText(record, key));
        }
    }
}

TEST(StyleFilesTest, EveryKeySurvivesASaveAndLoad)
{
    TempDir dir;
    checkRoundTrip<StyleOptions>(optionsIniKeys(), [&](const StyleOptions& options) {
        EXPECT_TRUE(SaveStyleOptions(options, dir.path()));
        StyleOptions loaded;
        LoadStyleOptions(loaded, dir.path());
        return loaded;
    });
    checkRoundTrip<RecTAGInfo>(tagIniKeys(), [&](const RecTAGInfo& entry) {
        TagTable table;
        table[1] = entry;
        table[1].tagName = "<T>";
        table.tagCount = 1;
        EXPECT_TRUE(SaveTagTable(table, dir.path()));
        LoadTagTable(table, dir.path());
        return table[1];
    });
}

TEST(StyleFilesTest, KeyDefaultsMatchTheRecordDefaults)
{
    const StyleOptions options;
    for (const auto& key : optionsIniKeys()) {
        SCOPED_TRACE(key.name);
        if (key.rule == ReadRule::UseDefault) {
            EXPECT_EQ(defaultText(key), fieldText(options, key));
        }
    }
    const RecTAGInfo entry;
    for (const auto& key : tagIniKeys()) {
        SCOPED_TRACE(key.name);
        // A missing symbol reads as empty, while the defaults entry holds "*".
        EXPECT_EQ(defaultText(key), key.name == "CommentSymbol" ? "" : fieldText(entry, key));
    }
}

// ---- whole files ----------------------------------------------------------------------------

TEST(StyleFilesTest, SavesOptionsInKeyOrderWithTheStyleName)
{
    TempDir dir;
    writeBytes(dir.file("options.ini"), "[OPTIONS]\r\nStyleName=other\r\n");
    StyleOptions options;
    options.StyleName = "mystyle";
    LoadStyleOptions(options, dir.path());
    EXPECT_EQ(options.StyleName, "mystyle");
    ASSERT_TRUE(SaveStyleOptions(options, dir.path() + "/"));
    EXPECT_EQ(readBytes(dir.file("options.ini")),
        "[OPTIONS]\r\nStyleName=mystyle\r\n"
        "StyleDescription=(Please enter your style decription here)\r\nLineSize=80\r\n"
        "Spacing=4\r\nDoDisableComments=0\r\nDoPurgeComments=1\r\nBreakExcluder=\"\r\n"
        "TagCase=1\r\nUserInfo=Unknown User\r\nDoIncludeUser=1\r\nDoIncludeVersion=1\r\n"
        "DoIncludeDate=1\r\nDoIncludeTime=1\r\nDoIncludeStyle=1\r\n"
        "UseWhileCompress=0\r\nUseWhileFormat=0\r\nIndentWithTabs=1\r\n");
    options.BreakExcluder = "<>";
    LoadStyleOptions(options, dir.path());
    EXPECT_EQ(options.BreakExcluder, "\"") << "a lone quote reads back as itself";
}

TEST(StyleFilesTest, UseWhileSwitchesCarryOverFromThePreviousStyle)
{
    TempDir first;
    TempDir second;
    writeBytes(first.file("options.ini"), "[OPTIONS]\r\nUseWhileFormat=1\r\n");
    writeBytes(second.file("options.ini"), "[OPTIONS]\r\nLineSize=100\r\n");
    StyleOptions options;
    LoadStyleOptions(options, first.path());
    LoadStyleOptions(options, second.path());
    EXPECT_TRUE(options.UseWhileFormat);
    EXPECT_FALSE(options.UseWhileCompress);
}

TEST(StyleFilesTest, WritesANewTagWithEveryKey)
{
    TempDir dir;
    TagTable table;
    InitTagTable(table);
    table[1].tagName = "<TABLE>";
    table[1].TagOpen = "<TABLE>";
    table[1].TagClose = "</TABLE>";
    table.tagCount = 1;
    ASSERT_TRUE(SaveTagTable(table, dir.path()));
    EXPECT_EQ(table[1].CRLFLeading, 1) << "the table itself is corrected";
    EXPECT_EQ(readBytes(dir.file("tag.ini")),
        "[<TABLE>]\r\nTagOpen=<TABLE>\r\nTagClose=</TABLE>\r\nisSelfIndent=0\r\n"
        "isContentIndent=0\r\nCRLFLeading=1\r\nCRLFFollowed=1\r\nDoGenerateSComment=0\r\n"
        "DoGenerateEComment=0\r\nStartComment=\r\nEndComment=\r\nCommentLength=40\r\n"
        "CommentSymbol=*\r\nTreatAsText=0\r\nEnableCounter=0\r\nCIndent=1\r\n"
        "KeepOnOneLine=0\r\n");
}

TEST(StyleFilesTest, LoadsTheFirstHundredSectionsAndLeavesTheRest)
{
    TempDir dir;
    std::string text;
    for (int i = 1; i <= 120; ++i)
        text += "[<T" + std::to_string(i) + ">]\r\nTagOpen=<T" + std::to_string(i) + ">\r\n";
    writeBytes(dir.file("tag.ini"), text);
    TagTable table;
    LoadTagTable(table, dir.path());
    ASSERT_EQ(table.tagCount, 100);
    EXPECT_EQ(table[1].tagName, "<T1>");
    EXPECT_EQ(table[100].TagOpen, "<T100>");
    EXPECT_EQ(table[100].index, 100);
    ASSERT_TRUE(SaveTagTable(table, dir.path()));
    const IniFile saved(dir.file("tag.ini"));
    EXPECT_EQ(saved.sectionNames().size(), 120U);
    EXPECT_EQ(saved.keyNames("<T101>"), std::vector<std::string> {"TagOpen"});
    EXPECT_EQ(saved.keyNames("<T100>").size(), 16U);
}

TEST(StyleFilesTest, KeepsStandAloneTagsOnTheirOwnLines)
{
    const struct
    {
        const char* name;
        const char* body;
        int leading;
        int followed;
    } cases[] = {
        {"stand-alone 0 becomes 1", "CRLFLeading=0\r\nCRLFFollowed=0\r\n", 1, 1},
        {"missing keys count as 0", "", 1, 1},
        {"other values stay", "CRLFLeading=3\r\nCRLFFollowed=2\r\n", 3, 2},
        {"'As Text' keeps 0", "TreatAsText=1\r\nCRLFLeading=0\r\n", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        writeBytes(dir.file("tag.ini"), std::string("[<B>]\r\n") + c.body);
        TagTable table;
        LoadTagTable(table, dir.path());
        EXPECT_EQ(table[1].CRLFLeading, c.leading);
        EXPECT_EQ(table[1].CRLFFollowed, c.followed);
        ASSERT_TRUE(SaveTagTable(table, dir.path()));
        const IniFile saved(dir.file("tag.ini"));
        EXPECT_EQ(saved.readInteger("<B>", "CRLFLeading", -1), c.leading);
    }
}

TEST(StyleFilesTest, ReadsCIndentInAnyCaseAndWritesItAsCIndent)
{
    const struct
    {
        const char* line;
        bool expected;
    } cases[] = {{"cindent=0", false}, {"CINDENT=0", false}, {"Cindent=0", false}, {"", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        TempDir dir;
        writeBytes(dir.file("tag.ini"), std::string("[<B>]\r\n") + c.line + "\r\n");
        TagTable table;
        LoadTagTable(table, dir.path());
        EXPECT_EQ(table[1].CIndent, c.expected);
        table[2] = table[1];
        table[2].tagName = "<NEW>";
        table.tagCount = 2;
        ASSERT_TRUE(SaveTagTable(table, dir.path()));
        const IniFile saved(dir.file("tag.ini"));
        const std::vector<std::string> keys = saved.keyNames("<NEW>");
        EXPECT_NE(std::find(keys.begin(), keys.end(), "CIndent"), keys.end());
        EXPECT_EQ(saved.readBool("<B>", "CIndent", !c.expected), c.expected);
    }
}

TEST(StyleFilesTest, CutsALongSectionNameAndSavesUnderTheShortName)
{
    TempDir dir;
    const std::string longName = "<ABCDEFGHIJKLMNOPQRSTUVW>"; // 25 characters
    writeBytes(dir.file("tag.ini"), "[" + longName + "]\r\nCommentSymbol=##\r\nTreatAsText=1\r\n");
    TagTable table;
    LoadTagTable(table, dir.path());
    EXPECT_EQ(table[1].tagName, longName.substr(0, 20));
    EXPECT_EQ(table[1].CommentSymbol, "#");
    EXPECT_TRUE(table[1].TreatAsText) << "keys come from the section with the full name";
    ASSERT_TRUE(SaveTagTable(table, dir.path()));
    EXPECT_EQ(IniFile(dir.file("tag.ini")).sectionNames(),
        (std::vector<std::string> {longName, longName.substr(0, 20)}));
}

TEST(StyleFilesTest, MissingOrEmptyFilesGiveDefaults)
{
    TempDir dir;
    TagTable table;
    table.tagCount = 5;
    LoadTagTable(table, dir.path());
    EXPECT_EQ(table.tagCount, 0);
    writeBytes(dir.file("tag.ini"), "; no sections\r\n");
    LoadTagTable(table, dir.path());
    EXPECT_EQ(table.tagCount, 0);
    StyleOptions options;
    options.LineSize = 1;
    LoadStyleOptions(options, dir.path());
    EXPECT_EQ(options.LineSize, 80);
    TrimList list {"1<A>"};
    LoadTrimList(list, dir.path());
    EXPECT_TRUE(list.empty());
}

TEST(StyleFilesTest, EraseTagEntryRemovesTheSectionOnly)
{
    TempDir dir;
    writeBytes(dir.file("tag.ini"), "[<A>]\r\nTagOpen=<A>\r\n[<B>]\r\nTagOpen=<B>\r\n");
    EXPECT_TRUE(EraseTagEntry(dir.path(), "<a>"));
    EXPECT_EQ(readBytes(dir.file("tag.ini")), "[<B>]\r\nTagOpen=<B>\r\n");
    EXPECT_TRUE(EraseTagEntry(dir.path(), "<C>"));
    TempDir empty;
    EXPECT_TRUE(EraseTagEntry(empty.path(), "<C>"));
    EXPECT_EQ(test::countEntries(empty.path()), 0U) << "no file is created";
}

TEST(StyleFilesTest, TrimListTakesTheFirstDigitOfEachValue)
{
    TempDir dir;
    writeBytes(dir.file("trim.ini"),
        "[TRIMTAGS]\r\n<A>=1\r\n</A>=0\r\n<B>=1\r\n<C>=2\r\n<D>=-1\r\n<E>=x\r\n<F>=10\r\n");
    TrimList list;
    LoadTrimList(list, dir.path());
    EXPECT_EQ(list, (TrimList {"1<A>", "0</A>", "1<B>", "2<C>", "-<D>", "0<E>", "1<F>"}));
    EXPECT_EQ(UpdateTrimHint(list), "<F7>: Trim specified tags and save file(s)\r\n<A><B><F>");

    list[1] = "1</A>";
    list.push_back("1<NEW>");
    ASSERT_TRUE(SaveTrimList(list, dir.path()));
    EXPECT_EQ(readBytes(dir.file("trim.ini")),
        "[TRIMTAGS]\r\n<A>=1\r\n</A>=1\r\n<B>=1\r\n<C>=2\r\n"
        "<D>=0\r\n<E>=0\r\n<F>=1\r\n<NEW>=1\r\n");
}

TEST(StyleFilesTest, RefusedSavesNameTheFileAndLeaveItAlone)
{
    const struct
    {
        const char* file;
        std::function<bool(const std::string&, std::string*)> save;
        bool writesWithoutAFile = true;
    } cases[] = {
        {"options.ini",
            [](const std::string& d, std::string* e) {
                return SaveStyleOptions(StyleOptions {}, d, e);
            }},
        {"tag.ini",
            [](const std::string& d, std::string* e) {
                TagTable table;
                table[1].tagName = "<A>";
                table.tagCount = 1;
                return SaveTagTable(table, d, e);
            }},
        {"tag.ini", [](const std::string& d, std::string* e) { return EraseTagEntry(d, "x", e); },
            false},
        {"trim.ini",
            [](const std::string& d, std::string* e) { return SaveTrimList({"1<A>"}, d, e); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        TempDir dir;
        const std::string path = dir.file(c.file);
        const std::string oldBytes = "[X]\nkeep=1\n";
        writeBytes(path, oldBytes);
        ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
        std::string error;
        EXPECT_FALSE(c.save(dir.path(), &error));
        EXPECT_NE(error.find(path), std::string::npos) << error;
        EXPECT_EQ(readBytes(path), oldBytes);

        if (!c.writesWithoutAFile)
            continue;
        writeBytes(dir.file("plain"), "");
        error.clear();
        EXPECT_FALSE(c.save(dir.file("plain"), &error)) << "a directory that is a file";
        EXPECT_NE(error.find(dir.file("plain")), std::string::npos) << error;
    }
}

TEST(StyleFilesTest, JoinPathPutsExactlyOneSlash)
{
    const struct
    {
        const char* dir;
        const char* name;
        const char* expected;
    } cases[] = {{"/a/b", "x.ini", "/a/b/x.ini"}, {"/a/b/", "x.ini", "/a/b/x.ini"},
        {"/a/b//", "/x.ini", "/a/b/x.ini"}, {"/", "x.ini", "/x.ini"}, {"", "x.ini", "x.ini"},
        {"rel", "x.ini", "rel/x.ini"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.dir) + " + " + c.name);
        EXPECT_EQ(joinPath(c.dir, c.name), c.expected);
    }
}

} // namespace
} // namespace zenkel
