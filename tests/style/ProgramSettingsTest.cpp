/// Tests of the program settings in prg.ini.
#include "style/ProgramSettings.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace zenkel {
namespace {

using test::readBytes;
using test::TempDir;
using test::writeBytes;

constexpr ScreenSize Screen1024 {1024, 768};

ProgramSettings loadFromText(const std::string& text, ScreenSize screen = Screen1024)
{
    IniFile ini;
    ini.setText(text);
    ProgramSettings settings;
    LoadProgramSettings(settings, ini, screen);
    return settings;
}

std::string fieldText(const ProgramSettings& s, const IniKey<ProgramSettings>& key)
{
    return std::visit(detail::Overloaded {
                          [&](std::string ProgramSettings::*f) { return s.*f; },
                          [&](int ProgramSettings::*f) { return std::to_string(s.*f); },
                          [&](bool ProgramSettings::*f) { return std::string(s.*f ? "1" : "0"); },
                      },
        key.member);
}

std::string defaultText(const IniKey<ProgramSettings>& key)
{
    return std::visit(detail::Overloaded {
                          [](std::string_view v) { return std::string(v); },
                          [](int v) { return std::to_string(v); },
                          [](bool v) { return std::string(v ? "1" : "0"); },
                      },
        key.defaultValue);
}

struct Section
{
    std::string_view name;
    std::span<const IniKey<ProgramSettings>> keys;
};

std::vector<Section> allSections()
{
    return {{SettingsOptionsSection, settingsOptionsKeys()},
        {PositionSection, settingsPositionKeys()}, {ColorsSection, settingsColorKeys()}};
}

TEST(ProgramSettingsTest, FirstStartWithoutFileGivesDefaults)
{
    TempDir home;
    IniFile ini;
    ASSERT_TRUE(OpenProgramSettings(ini, home.path()));
    ProgramSettings s;
    LoadProgramSettings(s, ini, Screen1024);
    EXPECT_EQ(s.Left, 50);
    EXPECT_EQ(s.Top, 50);
    EXPECT_EQ(s.Width, 819);
    EXPECT_EQ(s.Height, 614);
    EXPECT_EQ(s.StyleName, "_default");
    EXPECT_EQ(s.PopUpStyleName, "_default");
    EXPECT_EQ(s.BackupExt, ".zbak");
    EXPECT_TRUE(s.DoCreateBackUps);
    EXPECT_FALSE(s.DoValidate);
    EXPECT_TRUE(s.DoLoadWallPapers);
    EXPECT_EQ(s.TagCol, 16711680);
    EXPECT_EQ(s.QuotedCol, 255);
    EXPECT_EQ(s.CommentCol, 8421376);
    EXPECT_TRUE(s.DoColorTags);
}

TEST(ProgramSettingsTest, EveryKeyReadsItsValueOrItsDefault)
{
    for (const Section& section : allSections()) {
        for (const IniKey<ProgramSettings>& key : section.keys) {
            SCOPED_TRACE(std::string(key.name));
            // Built piece by piece: GCC 12 warns falsely (-Wrestrict) on the chained form.
            std::string head = "[";
            head += section.name;
            head += "]\r\n";
            head += key.name;
            EXPECT_EQ(fieldText(loadFromText(""), key), defaultText(key));
            if (std::holds_alternative<bool ProgramSettings::*>(key.member)) {
                EXPECT_EQ(fieldText(loadFromText(head + "=0"), key), "0");
                EXPECT_EQ(fieldText(loadFromText(head + "=1"), key), "1");
                EXPECT_EQ(fieldText(loadFromText(head + "=7"), key), "1");
                EXPECT_EQ(fieldText(loadFromText(head + "=yes"), key), defaultText(key));
            } else if (std::holds_alternative<int ProgramSettings::*>(key.member)) {
                EXPECT_EQ(fieldText(loadFromText(head + "= 123 "), key), "123");
                EXPECT_EQ(fieldText(loadFromText(head + "=wide"), key), defaultText(key));
            } else if (key.name == "LineEnds") {
                // A key of two values: anything else reads as the default.
                EXPECT_EQ(fieldText(loadFromText(head + "= \"lf\" "), key), "lf");
                EXPECT_EQ(fieldText(loadFromText(head + "= \"ab\" "), key), defaultText(key));
            } else {
                EXPECT_EQ(fieldText(loadFromText(head + "= \"ab\" "), key), "ab");
            }
        }
    }
}

TEST(ProgramSettingsTest, BackupExtIsCutToFiveCharacters)
{
    EXPECT_EQ(loadFromText("[OPTIONS]\r\nBackupExt=.backup").BackupExt, ".back");
    // No other cleaning on reading.
    EXPECT_EQ(loadFromText("[options]\r\nbackupext=ab").BackupExt, "ab");
}

TEST(ProgramSettingsTest, LineEndsReadAsCrLfUnlessLf)
{
    struct Row
    {
        const char* text;
        const char* lineEnds;
    };
    const Row rows[]
        = {{"", "crlf"}, {"[OPTIONS]\r\nLineEnds=lf", "lf"}, {"[options]\r\nlineends= LF ", "lf"},
            {"[OPTIONS]\r\nLineEnds=crlf", "crlf"}, {"[OPTIONS]\r\nLineEnds=cr", "crlf"},
            {"[OPTIONS]\r\nLineEnds=", "crlf"}, {"[OPTIONS]\r\nLineEnds=lf lf", "crlf"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(loadFromText(row.text).LineEnds, row.lineEnds);
    }

    TempDir home;
    IniFile ini(ProgramSettingsPath(home.path()));
    ProgramSettings s;
    s.LineEnds = std::string(LineEndsLf);
    ASSERT_TRUE(SaveProgramSettings(s, ini, Screen1024));
    EXPECT_EQ(loadFromText(readBytes(ProgramSettingsPath(home.path()))).LineEnds, "lf");
}

TEST(ProgramSettingsTest, SizeDefaultsFollowTheScreen)
{
    const ProgramSettings s = loadFromText("[POSITION_MAIN]\r\nTop=-20\r\n", {1920, 1080});
    EXPECT_EQ(s.Top, -20); // applied as read, even off the screen
    EXPECT_EQ(s.Width, 1536);
    EXPECT_EQ(s.Height, 864);
    EXPECT_EQ(loadFromText("[POSITION_MAIN]\r\nWidth=640\r\nHeight=x").Height, 614);
}

TEST(ProgramSettingsTest, StoredSizeIsLimitedToTheScreenLessThirty)
{
    struct Row
    {
        int width, height, storedWidth, storedHeight;
    };
    const Row rows[] = {{1200, 900, 994, 738}, {700, 500, 700, 500}, {994, 738, 994, 738}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.width);
        IniFile ini;
        ProgramSettings s;
        s.Width = row.width;
        s.Height = row.height;
        TempDir home;
        ini = IniFile(ProgramSettingsPath(home.path()));
        ASSERT_TRUE(SaveProgramSettings(s, ini, Screen1024));
        EXPECT_EQ(ini.readInteger(PositionSection, "Width", 0), row.storedWidth);
        EXPECT_EQ(ini.readInteger(PositionSection, "Height", 0), row.storedHeight);
    }
}

TEST(ProgramSettingsTest, ColoursAreStoredAsColourModeOne)
{
    TempDir home;
    writeBytes(ProgramSettingsPath(home.path()),
        "[COLORS]\r\nTextCol=1\r\nTagCol=255\r\nQuotedCol=2\r\nCommentCol=3\r\nDoColorTags=0\r\n");
    IniFile ini;
    ASSERT_TRUE(OpenProgramSettings(ini, home.path()));
    ProgramSettings s;
    LoadProgramSettings(s, ini, Screen1024);
    EXPECT_EQ(s.TagCol, 255); // in force for this run
    ASSERT_TRUE(SaveProgramSettings(s, ini, Screen1024));

    const IniFile saved(ProgramSettingsPath(home.path()));
    EXPECT_EQ(saved.readInteger(ColorsSection, "TextCol", -1), 0);
    EXPECT_EQ(saved.readInteger(ColorsSection, "TagCol", -1), 16711680);
    EXPECT_EQ(saved.readInteger(ColorsSection, "QuotedCol", -1), 255);
    EXPECT_EQ(saved.readInteger(ColorsSection, "CommentCol", -1), 8421376);
    EXPECT_FALSE(saved.readBool(ColorsSection, "DoColorTags", true));
}

TEST(ProgramSettingsTest, SaveWritesTheSectionsInOrderAndReadsBack)
{
    TempDir home;
    writeBytes(ProgramSettingsPath(home.path()), "[PATHS]\r\nTree=/web/site/\r\n");
    IniFile ini;
    ASSERT_TRUE(OpenProgramSettings(ini, home.path()));
    ProgramSettings s;
    LoadProgramSettings(s, ini, Screen1024);
    s.StyleName = "classic";
    s.DoValidate = true;
    s.LastSearch = " padded ";
    s.Left = 7;
    ASSERT_TRUE(SaveProgramSettings(s, ini, Screen1024));
    s.DoValidate = false; // switched off later in the run
    ASSERT_TRUE(SaveProgramSettings(s, ini, Screen1024));

    const IniFile saved(ProgramSettingsPath(home.path()));
    EXPECT_EQ(saved.sectionNames(),
        (std::vector<std::string> {"PATHS", "OPTIONS", "POSITION_MAIN", "COLORS"}));
    EXPECT_EQ(saved.keyNames("OPTIONS"),
        (std::vector<std::string> {"StyleName", "PopUpStyleName", "BackupExt", "DoCreateBackUps",
            "DoValidate", "LastSearch", "LastReplace", "DoLoadWallPapers", "LineEnds"}));
    EXPECT_EQ(saved.keyNames("POSITION_MAIN"),
        (std::vector<std::string> {"Top", "Left", "Width", "Height"}));
    EXPECT_EQ(saved.readString("OPTIONS", "DoValidate", ""), "0");
    EXPECT_EQ(ReadSettingsPath(saved, "Tree", home.path()), "/web/site/");

    ProgramSettings again;
    LoadProgramSettings(again, saved, Screen1024);
    EXPECT_EQ(again.StyleName, "classic");
    EXPECT_EQ(again.LastSearch, " padded ");
    EXPECT_EQ(again.Left, 7);
    EXPECT_FALSE(again.DoValidate);
}

TEST(ProgramSettingsTest, PathsAreReadAndWrittenOneAtATime)
{
    TempDir home;
    IniFile ini;
    ASSERT_TRUE(OpenProgramSettings(ini, home.path()));
    EXPECT_EQ(ReadSettingsPath(ini, "Multi", home.path() + "/"), home.path() + "/");
    ASSERT_TRUE(WriteSettingsPath(ini, "Save", "/docs/"));
    const IniFile saved(ProgramSettingsPath(home.path()));
    EXPECT_EQ(ReadSettingsPath(saved, "save", home.path()), "/docs/");
    EXPECT_FALSE(saved.hasSection(SettingsOptionsSection));
}

TEST(ProgramSettingsTest, UnreadableFileIsReported)
{
    TempDir home;
    std::filesystem::create_directory(ProgramSettingsPath(home.path()));
    IniFile ini;
    std::string error;
    EXPECT_FALSE(OpenProgramSettings(ini, home.path(), &error));
    EXPECT_NE(error.find(ProgramSettingsPath(home.path())), std::string::npos);
}

TEST(ProgramSettingsTest, RefusedSaveLeavesTheFileWhole)
{
    TempDir home;
    const std::string path = ProgramSettingsPath(home.path());
    const std::string before = "[OPTIONS]\r\nStyleName=kept\r\n";
    writeBytes(path, before);
    ::chmod(path.c_str(), 0444);
    IniFile ini;
    ASSERT_TRUE(OpenProgramSettings(ini, home.path()));
    ProgramSettings s;
    s.StyleName = "changed";
    std::string error;
    EXPECT_FALSE(SaveProgramSettings(s, ini, Screen1024, &error));
    EXPECT_NE(error.find(path), std::string::npos);
    EXPECT_EQ(readBytes(path), before);
}

} // namespace
} // namespace zenkel
