/// Fuzz target: the editor's coloured RTF, written by BuildColoredRtf and read back by
/// ReadColoredRtf, and the reader alone on arbitrary input.
#include "editor/ColoredRtf.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

using namespace zenkel;

namespace {

void check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "rtf_fuzzer: %s\n", what);
        std::abort();
    }
}

/// The text as the RTF keeps it: every line end (CR LF, lone CR, lone LF) becomes CR LF.
std::string withCrLf(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            out += "\r\n";
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    // Whatever it is given, the reader returns without crashing.
    (void)ReadColoredRtf(input);

    ColorSet colors;
    const RtfContent content = ReadColoredRtf(BuildColoredRtf(input, colors));
    check(content.ok, "a written document reads as RTF");
    const std::string expected = withCrLf(input);
    check(content.text == expected, "the text comes back as written");
    check(content.classes.size() == content.text.size(), "one colour class per character");
    std::string classes;
    FillColorClasses(expected, classes);
    check(content.classes == classes, "every character keeps its colour class");
    return 0;
}
