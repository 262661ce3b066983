/// Golden files: each case directory under tests/data/<operation>/ holds input.htm, the style
/// (options.ini, tag.ini; trim.ini for trim cases) and expected.htm. ZENKEL_UPDATE_GOLDEN=1
/// rewrites the expectations; review them in the diff.
#include "EngineTestUtil.h"

#include "base/SafeFile.h"
#include "style/StyleFiles.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace zenkel::test {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> caseDirs(const std::string& operation)
{
    std::vector<fs::path> dirs;
    const fs::path root = fs::path(ZENKEL_TEST_DATA) / operation;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(root, ec)) {
        if (entry.is_directory())
            dirs.push_back(entry.path());
    }
    std::sort(dirs.begin(), dirs.end());
    return dirs;
}

std::string run(const std::string& operation, const fs::path& dir)
{
    Engine engine;
    engine.setClock(fixedClock);
    engine.setTimeSeparator(':');
    LoadStyleOptions(engine.style().options, dir.string());
    engine.style().options.StyleName = dir.filename().string();
    LoadTagTable(engine.style().tags, dir.string());
    TrimList trimList;
    LoadTrimList(trimList, dir.string());
    engine.setTrimList(&trimList);
    engine.setSourceText(crlfToLf(readBytes(dir / "input.htm")), "input.htm");
    engine.runOperation(operation == "trim" ? Operation::Trim
            : operation == "format"         ? Operation::Format
                                            : Operation::Compress);
    return joinCrLf(engine.outputList().toVector());
}

void checkGolden(const std::string& operation)
{
    const auto dirs = caseDirs(operation);
    ASSERT_FALSE(dirs.empty()) << "no golden cases for " << operation;
    const bool update = std::getenv("ZENKEL_UPDATE_GOLDEN") != nullptr;
    for (const fs::path& dir : dirs) {
        SCOPED_TRACE(dir.string());
        const std::string actual = run(operation, dir);
        if (update) {
            ASSERT_TRUE(writeFileSafely((dir / "expected.htm").string(), actual));
            continue;
        }
        EXPECT_EQ(actual, readBytes(dir / "expected.htm"));
    }
}

TEST(GoldenTest, Format)
{
    checkGolden("format");
}
TEST(GoldenTest, Compress)
{
    checkGolden("compress");
}
TEST(GoldenTest, Trim)
{
    checkGolden("trim");
}

} // namespace
} // namespace zenkel::test
