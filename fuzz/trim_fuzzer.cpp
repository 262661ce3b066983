/// Fuzz target: TrimHTML with a trim list taken from the input.
#include "FuzzSupport.h"

#include <cstddef>
#include <cstdint>

using namespace zenkel;
using namespace zenkel::fuzz;

namespace {

bool isWhitespace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

std::vector<std::string> trimmed(Engine& engine, const std::string& source)
{
    engine.setSourceText(source, "fuzz.htm");
    engine.TrimHTML();
    return engine.outputList().toVector();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const EngineInput input = decodeEngineInput(data, size);
    Engine engine;
    prepareEngine(engine, input);
    const std::vector<std::string> once = trimmed(engine, input.source);
    for (const std::string& line : once)
        check(line.find_first_of("\r\n") == std::string::npos, "a line holds no CR or LF", line);

    // The result is the source with some whitespace taken out, and nothing else changed.
    const std::string result = joinLines(once);
    std::size_t j = 0;
    for (char c : input.source) {
        if (j < result.size() && result[j] == c)
            ++j;
        else
            check(isWhitespace(c), "trimming removes whitespace only", result);
    }
    check(j == result.size(), "trimming adds nothing", result);

    bool anyEnabled = false;
    for (const std::string& entry : input.trimList)
        anyEnabled = anyEnabled || (entry.size() > 1 && entry[0] == '1');
    if (!anyEnabled)
        check(result == input.source, "without enabled entries the text stays as it was");

    // Saved and trimmed again, the file does not change any more.
    const std::vector<std::string> twice = trimmed(engine, sourceTextForm(result));
    check(twice == once, "trimming is idempotent", result);
    return 0;
}
