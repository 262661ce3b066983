/// File encodings: detection, conversion both ways, and bytes kept through load and save.
#include "text/TextEncoding.h"

#include <gtest/gtest.h>

namespace zenkel {
namespace {

struct DetectCase
{
    const char* name;
    std::string bytes;
    TextEncoding expected;
};

TEST(TextEncodingTest, DetectsUtf8OnlyWithValidNonAsciiBytes)
{
    const TextEncoding cp1252 {FileEncoding::Windows1252, false};
    const DetectCase cases[] = {
        {"empty", "", cp1252},
        {"pure ASCII", "<p>abc</p>\r\n", cp1252},
        {"UTF-8 umlaut",
            "Gr\xC3\xB6\xC3\x9F"
            "e",
            {FileEncoding::Utf8, false}},
        {"UTF-8 with byte order mark", "\xEF\xBB\xBFx", {FileEncoding::Utf8, true}},
        {"four-byte character", "\xF0\x9F\x98\x80", {FileEncoding::Utf8, false}},
        {"Windows-1252 umlaut",
            "Gr\xF6\xDF"
            "e",
            cp1252},
        {"overlong slash", "\xC0\xAF", cp1252},
        {"encoded surrogate", "\xED\xA0\x80", cp1252},
        {"above U+10FFFF", "\xF4\x90\x80\x80", cp1252},
        {"cut-off sequence", "ab\xC3", cp1252},
        {"UTF-8 then one stray byte", "\xC3\xA4 \xE4", cp1252},
    };
    for (const DetectCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DetectTextEncoding(c.bytes), c.expected);
    }
}

TEST(TextEncodingTest, EveryWindows1252ByteSurvivesLoadAndSave)
{
    std::string all;
    for (int b = 1; b < 256; ++b)
        if (b != '\r' && b != '\n')
            all += static_cast<char>(b);
    all += "\r\n";
    TextEncoding encoding;
    const std::string editorText = EditorTextFromFileBytes(all, &encoding);
    ASSERT_EQ(encoding.kind, FileEncoding::Windows1252);
    EXPECT_TRUE(IsValidUtf8(editorText));
    EXPECT_EQ(FileBytesFromEditorText(editorText, encoding), all);
}

TEST(TextEncodingTest, Windows1252MapsTheHighControlRange)
{
    EXPECT_EQ(Windows1252ToUnicode(0x80), U'\u20AC');
    EXPECT_EQ(Windows1252ToUnicode(0x9F), U'\u0178');
    EXPECT_EQ(Windows1252ToUnicode(0x81), U'\u0081'); // undefined: kept as its control character
    EXPECT_EQ(Windows1252ToUnicode(0xE4), U'\u00E4');
    EXPECT_EQ(UnicodeToWindows1252(U'\u2122'), 0x99);
    EXPECT_EQ(UnicodeToWindows1252(U'\u0080'), -1);
    EXPECT_EQ(UnicodeToWindows1252(U'\u0100'), -1);
}

TEST(TextEncodingTest, Utf8FileKeepsItsBytesAndItsByteOrderMark)
{
    const std::string file = "\xEF\xBB\xBF<p>Gr\xC3\xB6\xC3\x9F"
                             "e \xE2\x82\xAC \xF0\x9F\x98\x80</p>\r\n";
    TextEncoding encoding;
    const std::string editorText = EditorTextFromFileBytes(file, &encoding);
    EXPECT_EQ(editorText.substr(0, 3), "<p>"); // the mark is not part of the text
    EXPECT_EQ(FileBytesFromEditorText(editorText, encoding), file);
}

TEST(TextEncodingTest, LineEndsBecomeCrLf)
{
    TextEncoding encoding;
    EXPECT_EQ(EditorTextFromFileBytes("a\nb\rc\r\nd\n\re", &encoding), "a\r\nb\r\nc\r\nd\r\n\r\ne");
    EXPECT_EQ(EditorTextFromFileBytes("\xE4\r\xE4\n", &encoding), "\xC3\xA4\r\n\xC3\xA4\r\n");
    EXPECT_EQ(FileBytesFromEditorText("a\nb", encoding), "a\r\nb");
    // Nothing is added after a last line without a line end.
    EXPECT_EQ(FileBytesFromEditorText("a", encoding), "a");
}

TEST(TextEncodingTest, CharacterOutsideWindows1252IsWrittenAsReference)
{
    const TextEncoding cp1252;
    EXPECT_EQ(FileBytesFromEditorText("\xE2\x82\xAC \xC4\x80 \xF0\x9F\x98\x80 \xC3\xA4", cp1252),
        "\x80 &#256; &#128512; \xE4");
}

} // namespace
} // namespace zenkel
