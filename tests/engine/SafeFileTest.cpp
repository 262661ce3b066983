#include "base/SafeFile.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace zenkel::test {
namespace {

namespace fs = std::filesystem;

class SafeFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = fs::path(::testing::TempDir()) / ("safefile-" + std::to_string(::getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::permissions(m_dir / "ro.htm", fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(m_dir, ec);
    }
    fs::path m_dir;
};

TEST_F(SafeFileTest, ReplacesAFileAndKeepsItsMode)
{
    const fs::path file = m_dir / "a.htm";
    ASSERT_TRUE(writeFileSafely(file.string(), "old"));
    ::chmod(file.c_str(), 0640);
    ASSERT_TRUE(writeFileSafely(file.string(), "new"));
    EXPECT_EQ(readBytes(file), "new");
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
        fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 1);
}

TEST_F(SafeFileTest, RefusesAReadOnlyFileEvenForRoot)
{
    const fs::path file = m_dir / "ro.htm";
    ASSERT_TRUE(writeFileSafely(file.string(), "old"));
    ::chmod(file.c_str(), 0444);
    std::string error;
    EXPECT_FALSE(writeFileSafely(file.string(), "new", &error));
    EXPECT_NE(error.find(file.string()), std::string::npos) << error;
    EXPECT_NE(error.find("read-only"), std::string::npos) << error;
    EXPECT_EQ(readBytes(file), "old");
}

TEST_F(SafeFileTest, WritesThroughASymbolicLink)
{
    // A page kept elsewhere and linked into the site must stay linked after a run.
    const fs::path real = m_dir / "real.htm";
    const fs::path link = m_dir / "link.htm";
    ASSERT_TRUE(writeFileSafely(real.string(), "old"));
    fs::create_symlink(real, link);
    ASSERT_TRUE(writeFileSafely(link.string(), "new"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(readBytes(real), "new");
}

} // namespace
} // namespace zenkel::test
