/// Style catalogue: the installed styles below the program directory, activation by name,
/// new styles on disk and the sample files of the preview.
#include "style/StyleCatalogue.h"

#include "base/Ascii.h"
#include "base/Paths.h"
#include "engine/DocLine.h"
#include "style/StyleFiles.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <system_error>
#include <utility>

namespace zenkel {

namespace {

namespace fs = std::filesystem;

/// Alphabetical without regard to case; names equal but for case keep a fixed order.
bool lessIgnoringCase(const std::string& a, const std::string& b)
{
    const bool less = std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
        [](char x, char y) { return lowerAscii(x) < lowerAscii(y); });
    const bool greater = std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(),
        [](char x, char y) { return lowerAscii(x) < lowerAscii(y); });
    return less || (!greater && a < b);
}

bool endsWithHtmIgnoringCase(const std::string& name)
{
    constexpr std::string_view ext = ".htm";
    if (name.size() <= ext.size())
        return false;
    const std::string_view tail = std::string_view(name).substr(name.size() - ext.size());
    return std::equal(
        tail.begin(), tail.end(), ext.begin(), [](char a, char b) { return lowerAscii(a) == b; });
}

/// A name that stays inside the styles directory.
bool isPlainName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

} // namespace

StyleHost& nullStyleHost()
{
    static StyleHost host;
    return host;
}

std::string NormalizeDirectory(const std::string& dir)
{
    std::string path = dir;
    if (!path.empty() && path.front() != '/') {
        std::error_code ec;
        // Relative to the working directory; "." and ".." are resolved by name only.
        const fs::path absolute = fs::absolute(path, ec);
        if (!ec)
            path = absolute.lexically_normal().string();
    }
    while (!path.empty() && path.back() == '/')
        path.pop_back();
    return path + '/';
}

std::string StylesDirectory(const std::string& programDir)
{
    return joinPath(programDir, "styles/");
}

std::string PreviewDirectory(const std::string& programDir)
{
    return joinPath(programDir, "preview/");
}

std::string StyleDirectory(const std::string& programDir, const std::string& styleName)
{
    return joinPath(StylesDirectory(programDir), styleName + '/');
}

bool IsValidStyle(const std::string& styleDir)
{
    return isRegularFile(joinPath(styleDir, std::string(OptionsFileName)))
        && isRegularFile(joinPath(styleDir, std::string(TagFileName)));
}

int ListStyles(const std::string& stylesDir, std::vector<std::string>& styleList, StyleHost& host)
{
    return ListStyles(std::vector<std::string> {stylesDir}, styleList, host);
}

int ListStyles(const std::vector<std::string>& stylesDirs, std::vector<std::string>& styleList,
    StyleHost& host)
{
    styleList.clear();
    for (const std::string& stylesDir : stylesDirs) {
        std::error_code ec;
        for (fs::directory_iterator it(stylesDir, ec), end; !ec && it != end; it.increment(ec)) {
            std::error_code typeError;
            if (!it->is_directory(typeError))
                continue;
            const std::string name = it->path().filename().string();
            if (IsValidStyle(joinPath(stylesDir, name + '/'))
                && std::find(styleList.begin(), styleList.end(), name) == styleList.end())
                styleList.push_back(name);
        }
    }
    std::sort(styleList.begin(), styleList.end(), lessIgnoringCase);
    if (styleList.empty())
        host.fatalError(std::string(NoStyleMessage));
    return static_cast<int>(styleList.size());
}

std::string StyleCaption(const std::string& styleName)
{
    // The title text carries a trailing blank, hence two blanks before the dash.
    return std::string(ProgramTitle) + " " + " - Style: " + styleName;
}

PreviewFileList ListPreviewFiles(const std::string& programDir)
{
    PreviewFileList list;
    std::error_code ec;
    list.directory = PreviewDirectory(programDir);
    if (!fs::is_directory(list.directory, ec))
        list.directory = NormalizeDirectory(programDir);
    for (fs::directory_iterator it(list.directory, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        const std::string name = it->path().filename().string();
        if (it->is_regular_file(typeError) && endsWithHtmIgnoringCase(name))
            list.names.push_back(name);
    }
    std::sort(list.names.begin(), list.names.end(), lessIgnoringCase);
    return list;
}

StyleCatalogue::StyleCatalogue(std::string programDir, StyleHost& host)
    : StyleCatalogue(std::move(programDir), {}, host)
{ }

StyleCatalogue::StyleCatalogue(std::string programDir, std::string dataDir, StyleHost& host)
    : m_programDir(NormalizeDirectory(programDir))
    , m_dataDir(dataDir.empty() ? m_programDir : NormalizeDirectory(dataDir))
    , m_host(&host)
{ }

std::vector<std::string> StyleCatalogue::stylesDirectories() const
{
    std::vector<std::string> dirs {StylesDirectory(m_programDir)};
    if (m_dataDir != m_programDir)
        dirs.push_back(StylesDirectory(m_dataDir));
    return dirs;
}

std::string StyleCatalogue::styleDirectory(const std::string& name) const
{
    for (const std::string& stylesDir : stylesDirectories()) {
        const std::string dir = joinPath(stylesDir, name + '/');
        if (IsValidStyle(dir))
            return dir;
    }
    return StyleDirectory(m_programDir, name);
}

bool StyleCatalogue::ActivateStyle(const std::string& name, Style& style, std::string* error)
{
    ListStyles(stylesDirectories(), m_styleList, *m_host);
    std::string chosen = name;
    if (!isPlainName(chosen) || !IsValidStyle(styleDirectory(chosen))) {
        if (m_styleList.empty())
            return false;
        chosen = m_styleList.front();
    }
    const std::string dir = styleDirectory(chosen);
    // Loaded aside first: a style file that cannot be read must not leave half a style.
    StyleOptions options = style.options;
    auto tags = std::make_unique<TagTable>();
    if (!LoadStyleOptions(options, dir, error) || !LoadTagTable(*tags, dir, error))
        return false;
    style.options = std::move(options);
    style.tags = std::move(*tags);
    m_activeDir = dir;
    style.options.StyleName = chosen;
    m_host->setCaption(StyleCaption(chosen));
    return true;
}

bool StyleCatalogue::CreateStyle(const std::string& name, Style& style, std::string* error)
{
    auto fail = [error](const std::string& message) {
        if (error)
            *error = message;
        return false;
    };
    if (!isPlainName(name) || name.find_first_of(" \\.") != std::string::npos)
        return fail("Invalid style name \"" + name + "\"");

    const std::string dir = StyleDirectory(m_programDir, name);
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec)
        return fail("Cannot create directory \"" + dir + "\": " + ec.message());
    // The new name goes into options.ini; the style in memory takes it only once the
    // files are written, so a failure leaves the active style as it was.
    StyleOptions options = style.options;
    options.StyleName = name;
    if (!SaveTagTable(style.tags, dir, error) || !SaveStyleOptions(options, dir, error))
        return false;
    return ActivateStyle(name, style);
}

} // namespace zenkel
