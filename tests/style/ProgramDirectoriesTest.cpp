/// Tests of where the program finds its data and where it writes, and of the first-start copy
/// into the user's configuration directory.
#include "style/ProgramDirectories.h"

#include "style/StyleCatalogue.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

namespace zenkel {
namespace {

using test::readBytes;
using test::TempDir;
namespace fs = std::filesystem;

/// Sets or clears an environment variable for the lifetime of the object.
class ScopedEnv
{
public:
    ScopedEnv(const char* name, std::optional<std::string> value)
        : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        set(value);
    }
    ~ScopedEnv() { set(m_old); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    void set(const std::optional<std::string>& value)
    {
        if (value)
            ::setenv(m_name, value->c_str(), 1);
        else
            ::unsetenv(m_name);
    }
    const char* m_name;
    std::optional<std::string> m_old;
};

void makeStyle(const TempDir& root, const std::string& dir, const std::string& lineSize = "80")
{
    root.write(dir + "/options.ini", "[OPTIONS]\r\nLineSize=" + lineSize + "\r\n");
    root.write(dir + "/tag.ini", "[<P>]\r\nTagOpen=<P>\r\n");
}

TEST(ProgramDirectoriesTest, DataAndProgramDirectoryByLayout)
{
    TempDir t;
    makeStyle(t, "build/bin/styles/_default");
    makeStyle(t, "usr/share/zenkel-html/styles/_default");
    t.makeDir("usr/bin");
    t.makeDir("bare/bin");
    const std::string p = t.path() + "/";
    const std::string config = p + "cfg/zenkel-html/";
    struct Row
    {
        const char* name;
        std::string home; ///< --home
        std::optional<std::string> zenkelHome;
        std::optional<std::string> xdgConfig;
        std::string exe;
        std::string program;
        std::string data;
    };
    const Row rows[] = {
        {"build tree", "", {}, p + "cfg", p + "build/bin", p + "build/bin/", p + "build/bin/"},
        {"installed copy", "", {}, p + "cfg", p + "usr/bin", config, p + "usr/share/zenkel-html/"},
        {"installed, relative XDG_CONFIG_HOME", "", {}, "cfg", p + "usr/bin",
            p + "home/.config/zenkel-html/", p + "usr/share/zenkel-html/"},
        {"no data anywhere", "", {}, p + "cfg", p + "bare/bin", p + "bare/bin/", p + "bare/bin/"},
        {"ZENKEL_HOME", "", p + "z", p + "cfg", p + "usr/bin", p + "z/", p + "z/"},
        {"--home before ZENKEL_HOME", p + "h//", p + "z", p + "cfg", p + "usr/bin", p + "h/",
            p + "h/"},
    };
    const ScopedEnv home("HOME", p + "home");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const ScopedEnv zenkelHome("ZENKEL_HOME", row.zenkelHome);
        const ScopedEnv xdg("XDG_CONFIG_HOME", row.xdgConfig);
        const ProgramDirectories dirs = FindProgramDirectories(row.home, row.exe);
        EXPECT_EQ(dirs.program, row.program);
        EXPECT_EQ(dirs.data, row.data);
    }
}

TEST(ProgramDirectoriesTest, FirstStartCopiesWhatTheUserHasNot)
{
    TempDir t;
    makeStyle(t, "data/styles/_default", "70");
    makeStyle(t, "data/styles/classic", "60");
    makeStyle(t, "data/styles/Mine", "50");
    t.write("data/styles/half/options.ini", "[OPTIONS]\r\n");
    t.write("data/trim.ini", "[TRIMTAGS]\r\n<P>=1\r\n");
    fs::permissions(
        t.file("data/styles/classic/tag.ini"), fs::perms::owner_read, fs::perm_options::replace);
    makeStyle(t, "user/styles/Mine", "40"); // the user's own version stays
    const ProgramDirectories dirs {t.file("user/"), t.file("data/")};

    std::string error;
    ASSERT_TRUE(PrepareProgramDirectory(dirs, &error)) << error;
    EXPECT_EQ(readBytes(t.file("user/styles/_default/options.ini")),
        readBytes(t.file("data/styles/_default/options.ini")));
    EXPECT_NE(readBytes(t.file("user/styles/Mine/options.ini")).find("40"), std::string::npos);
    EXPECT_FALSE(fs::exists(t.file("user/styles/half")));
    EXPECT_EQ(readBytes(t.file("user/trim.ini")), "[TRIMTAGS]\r\n<P>=1\r\n");
    // A shipped read-only file becomes a copy the options window can save.
    EXPECT_NE(
        fs::status(t.file("user/styles/classic/tag.ini")).permissions() & fs::perms::owner_write,
        fs::perms::none);
    // No scratch directory is left, and a second start changes nothing.
    EXPECT_EQ(test::countEntries(t.file("user")), 2u);
    t.write("user/trim.ini", "[TRIMTAGS]\r\n");
    ASSERT_TRUE(PrepareProgramDirectory(dirs, &error)) << error;
    EXPECT_EQ(readBytes(t.file("user/trim.ini")), "[TRIMTAGS]\r\n");

    // Styles are found in the program directory first, then in the shipped data.
    makeStyle(t, "data/styles/Later", "30");
    StyleCatalogue catalogue(dirs.program, dirs.data, nullStyleHost());
    Style style;
    ASSERT_TRUE(catalogue.ActivateStyle("Mine", style));
    EXPECT_EQ(style.options.LineSize, 40);
    ASSERT_TRUE(catalogue.ActivateStyle("Later", style));
    EXPECT_EQ(catalogue.activeStyleDirectory(), t.file("data/styles/Later/"));
    EXPECT_EQ(
        catalogue.styleList(), (std::vector<std::string> {"_default", "classic", "Later", "Mine"}));
    ASSERT_TRUE(catalogue.CreateStyle("Fresh", style, &error)) << error;
    EXPECT_EQ(catalogue.activeStyleDirectory(), t.file("user/styles/Fresh/"));
}

TEST(ProgramDirectoriesTest, FailedPreparationNamesTheDirectory)
{
    TempDir t;
    makeStyle(t, "data/styles/_default");
    t.write("blocked", "a plain file where the directory would go");
    std::string error;
    EXPECT_FALSE(
        PrepareProgramDirectory({t.file("blocked/zenkel-html/"), t.file("data/")}, &error));
    EXPECT_NE(error.find(t.file("blocked/zenkel-html/")), std::string::npos) << error;
    EXPECT_TRUE(PrepareProgramDirectory({t.file("data/"), t.file("data/")}, &error));
}

} // namespace
} // namespace zenkel
