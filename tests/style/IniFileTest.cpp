/// Tests of IniFile: the Windows INI reading rules, in-place writes and safe saving.
#include "style/IniFile.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <optional>
#include <sys/stat.h>

namespace zenkel {
namespace {

using test::readBytes;
using test::TempDir;
using test::writeBytes;

IniFile iniFromText(const std::string& text)
{
    IniFile ini;
    ini.setText(text);
    return ini;
}

struct ValueCase
{
    const char* name;
    std::string stored;
    std::string expected;
};

TEST(IniFileTest, ReadsValuesWithoutBlanksAndOnePairOfQuotes)
{
    const std::string longText(3000, 'x');
    const ValueCase cases[] = {
        {"surrounding blanks go", "  plain value \t", "plain value"},
        {"double quotes go", "\"quoted\"", "quoted"},
        {"single quotes go", "'single'", "single"},
        {"blanks inside quotes stay", "  \" inner \"  ", " inner "},
        {"only one pair goes", "\"\"twice\"\"", "\"twice\""},
        {"a lone quote is not a pair", "\"", "\""},
        {"quotes that differ stay", "\"mixed'", "\"mixed'"},
        {"an empty value is empty, not the default", "", ""},
        {"a second '=' belongs to the value", "a=b", "a=b"},
        {"cut to 2047 characters", longText, longText.substr(0, 2047)},
        {"quotes go before the cut", "\"" + longText + "\"", longText.substr(0, 2047)},
    };
    for (const ValueCase& c : cases) {
        SCOPED_TRACE(c.name);
        const IniFile ini = iniFromText("[S]\nkey=" + c.stored + "\n");
        EXPECT_EQ(ini.readString("S", "key", "default"), c.expected);
    }
}

struct IntegerCase
{
    const char* text;
    std::optional<long long> expected;
};

TEST(IniFileTest, ParsesDecimalAndHexIntegersOnly)
{
    const IntegerCase cases[] = {
        {"12", 12},
        {"-3", -3},
        {"+7", 7},
        {" 42 ", 42},
        {"$64", 100},
        {"$ff", 255},
        {"0x64", 100},
        {"0X1F", 31},
        {"$FFFFFFFF", -1},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483648LL},
        {"2147483648", {}},
        {"0x100000000", {}},
        {"", {}},
        {"yes", {}},
        {"wide", {}},
        {"12abc", {}},
        {"$", {}},
        {"0x", {}},
        {"1.5", {}},
        {"$1G", {}},
        {"-", {}},
        {"-$10", {}},
    };
    for (const IntegerCase& c : cases) {
        SCOPED_TRACE(std::string("text: ") + c.text);
        long long value = 0;
        ASSERT_EQ(parseIniInteger(c.text, value), c.expected.has_value());
        const IniFile ini = iniFromText(std::string("[S]\nn=") + c.text + "\n");
        EXPECT_EQ(ini.readInteger("S", "n", 99), c.expected.value_or(99));
        if (c.expected) {
            EXPECT_EQ(value, *c.expected);
        }
    }
}

TEST(IniFileTest, ReadsBooleansAsIntegers)
{
    const struct
    {
        const char* text;
        bool whenDefaultTrue;
        bool whenDefaultFalse;
    } cases[] = {
        {"1", true, true},
        {"0", false, false},
        {"2", true, true},
        {"-1", true, true},
        {"'0'", false, false},
        {"yes", true, false},
        {"", true, false},
        {"$0", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("text: ") + c.text);
        const IniFile ini = iniFromText(std::string("[S]\nb=") + c.text + "\n");
        EXPECT_EQ(ini.readBool("S", "b", true), c.whenDefaultTrue);
        EXPECT_EQ(ini.readBool("S", "b", false), c.whenDefaultFalse);
    }
}

struct LookupCase
{
    const char* name;
    std::string text;
    const char* section;
    const char* key;
    std::optional<std::string> expected; ///< nothing: the key is not found
};

TEST(IniFileTest, FindsKeysInAwkwardFiles)
{
    const LookupCase cases[] = {
        {"names match without case", "[OpTiOnS]\nLINESIZE=5\n", "options", "LineSize", "5"},
        {"the first of two keys counts", "[S]\nk=first\nk=second\n", "S", "k", "first"},
        {"the first of two sections counts", "[S]\nk=first\n[T]\n[s]\nk=second\n", "S", "k",
            "first"},
        {"keys of a repeated section stay hidden", "[S]\n[T]\n[S]\nj=1\n", "S", "j", {}},
        {"leading blanks", "  [S]  \n   k = v  \n", "S", "k", "v"},
        {"comment lines are no keys", "[S]\n;k=commented\n", "S", "k", {}},
        {"a comment does not hide the key", "[S]\n ; k=x\nk=real\n", "S", "k", "real"},
        {"lines without '=' are skipped", "[S]\njunk\nk=v\n", "S", "k", "v"},
        {"CR LF line ends", "[S]\r\nk=v\r\nj=w\r\n", "S", "j", "w"},
        {"lone CR line ends", "[S]\rk=v\rj=w\r", "S", "k", "v"},
        {"no final line end", "[S]\nk=v", "S", "k", "v"},
        {"keys before any section belong to none", "k=v\n[S]\n", "S", "k", {}},
        {"tag texts as names", "[<TABLE>]\n</FONT>=1\n", "<table>", "</font>", "1"},
        {"a ']' inside a section name", "[<![endif]-->]\nk=v\n", "<![endif]-->", "k", "v"},
        {"missing section", "[S]\nk=v\n", "T", "k", {}},
    };
    for (const LookupCase& c : cases) {
        SCOPED_TRACE(c.name);
        const IniFile ini = iniFromText(c.text);
        EXPECT_EQ(ini.hasKey(c.section, c.key), c.expected.has_value());
        EXPECT_EQ(ini.readString(c.section, c.key, "<default>"), c.expected.value_or("<default>"));
    }
}

TEST(IniFileTest, ListsTheFirstOfEqualNamesInFileOrder)
{
    const IniFile ini = iniFromText("[B]\nx=1\n; y=0\nY\nz=2\nX=3\n[a]\n[b]\nw=4\n[C]\n");
    EXPECT_EQ(ini.sectionNames(), (std::vector<std::string> {"B", "a", "C"}));
    EXPECT_EQ(ini.keyNames("b"), (std::vector<std::string> {"x", "z"}));
    EXPECT_TRUE(ini.keyNames("missing").empty());
}

TEST(IniFileTest, WritesInPlaceAndAppendsAtTheEndOfTheSection)
{
    IniFile ini = iniFromText("; head\n[A]\nx=1\ncIndent=0\n\n[B]\ny=2\n");
    ini.writeString("a", "CIndent", "1");
    ini.writeString("A", "new", "n");
    ini.writeInteger("C", "z", -3);
    ini.writeBool("b", "Y", true);
    EXPECT_EQ(ini.text(),
        "; head\r\n[A]\r\nx=1\r\ncIndent=1\r\nnew=n\r\n\r\n[B]\r\ny=1\r\n"
        "[C]\r\nz=-3\r\n");
}

TEST(IniFileTest, WrittenValuesReadBackUnchanged)
{
    const ValueCase cases[] = {
        {"plain", "plain", "plain"},
        {"surrounding blanks", " blanks ", " blanks "},
        {"a quoted value", "\"quoted\"", "\"quoted\""},
        {"a single-quoted value", "'single'", "'single'"},
        {"a lone quote", "\"", "\""},
        {"empty", "", ""},
        {"an '=' inside", "a=b", "a=b"},
        {"line breaks cannot split the line", "one\r\ntwo", "one  two"},
    };
    TempDir dir;
    for (const ValueCase& c : cases) {
        SCOPED_TRACE(c.name);
        IniFile ini(dir.file("values.ini"));
        ini.writeString("S", "k", c.stored);
        ASSERT_TRUE(ini.save());
        EXPECT_EQ(IniFile(dir.file("values.ini")).readString("S", "k", "<default>"), c.expected);
        EXPECT_EQ(IniFile(dir.file("values.ini")).keyNames("S").size(), 1U);
    }
}

TEST(IniFileTest, EraseSectionRemovesEveryCopy)
{
    IniFile ini = iniFromText("[A]\nk=1\n[B]\nk=2\n[a]\nk=3\n");
    EXPECT_TRUE(ini.eraseSection("a"));
    EXPECT_EQ(ini.text(), "[B]\r\nk=2\r\n");
    EXPECT_FALSE(ini.hasSection("A"));
    EXPECT_FALSE(ini.eraseSection("A"));
}

TEST(IniFileTest, SaveCreatesAMissingFileWithCrLfLines)
{
    TempDir dir;
    IniFile ini(dir.file("new.ini"));
    ini.writeString("S", "k", "v");
    ASSERT_TRUE(ini.save());
    EXPECT_EQ(readBytes(dir.file("new.ini")), "[S]\r\nk=v\r\n");
    EXPECT_EQ(test::countEntries(dir.path()), 1U) << "no temporary file is left behind";
}

TEST(IniFileTest, SaveKeepsPermissionsAndSymbolicLinks)
{
    TempDir dir;
    writeBytes(dir.file("real.ini"), "[S]\nk=old\n");
    ASSERT_EQ(::chmod(dir.file("real.ini").c_str(), 0640), 0);
    std::filesystem::create_symlink("real.ini", dir.file("link.ini"));
    IniFile ini(dir.file("link.ini"));
    ini.writeString("S", "k", "new");
    ASSERT_TRUE(ini.save());
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.ini")));
    EXPECT_EQ(readBytes(dir.file("real.ini")), "[S]\r\nk=new\r\n");
    struct stat st = {};
    ASSERT_EQ(::stat(dir.file("real.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640U);
}

/// Saves a changed copy of an existing file and expects a refusal that names the file and
/// leaves its bytes as they were.
void expectRefusedSave(const std::string& path, const std::string& oldBytes)
{
    IniFile ini(path);
    ini.writeString("S", "k", "changed");
    std::string error;
    EXPECT_FALSE(ini.save(&error));
    EXPECT_NE(error.find(path), std::string::npos) << error;
    EXPECT_EQ(readBytes(path), oldBytes);
    EXPECT_EQ(ini.readString("S", "k", ""), "changed");
}

TEST(IniFileTest, SaveRefusesAReadOnlyFileEvenForRoot)
{
    TempDir dir;
    const std::string oldBytes = "[S]\nk=old\n";
    writeBytes(dir.file("locked.ini"), oldBytes);
    ASSERT_EQ(::chmod(dir.file("locked.ini").c_str(), 0444), 0);
    expectRefusedSave(dir.file("locked.ini"), oldBytes);
    EXPECT_EQ(test::countEntries(dir.path()), 1U);
}

TEST(IniFileTest, SaveRefusesAPathBelowARegularFile)
{
    TempDir dir;
    writeBytes(dir.file("plain"), "not a directory");
    IniFile ini(dir.file("plain/options.ini"));
    ini.writeString("S", "k", "v");
    std::string error;
    EXPECT_FALSE(ini.save(&error));
    EXPECT_NE(error.find(dir.file("plain/options.ini")), std::string::npos) << error;
    EXPECT_EQ(readBytes(dir.file("plain")), "not a directory");
}

TEST(IniFileTest, SaveRefusesADirectoryWithoutWritePermission)
{
    if (test::runningAsRoot())
        GTEST_SKIP() << "directory permissions do not stop root";
    TempDir dir;
    const std::string oldBytes = "[S]\nk=old\n";
    writeBytes(dir.file("a.ini"), oldBytes);
    ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
    expectRefusedSave(dir.file("a.ini"), oldBytes);
}

TEST(IniFileTest, SaveNeverOverwritesAFileItCouldNotRead)
{
    if (test::runningAsRoot())
        GTEST_SKIP() << "read permissions do not stop root";
    TempDir dir;
    const std::string oldBytes = "[S]\nk=old\nother=keep\n";
    writeBytes(dir.file("secret.ini"), oldBytes);
    ASSERT_EQ(::chmod(dir.file("secret.ini").c_str(), 0200), 0);
    IniFile ini(dir.file("secret.ini"));
    ini.writeString("S", "k", "changed");
    EXPECT_FALSE(ini.save());
    ASSERT_EQ(::chmod(dir.file("secret.ini").c_str(), 0600), 0);
    EXPECT_EQ(readBytes(dir.file("secret.ini")), oldBytes);
}

} // namespace
} // namespace zenkel
