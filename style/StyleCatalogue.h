/// Style catalogue: the installed styles below the program directory, activation by name,
/// new styles on disk and the sample files of the preview.
#pragma once

#include "engine/Style.h"

#include <string>
#include <string_view>
#include <vector>

namespace zenkel {

constexpr std::string_view DefaultStyleName = "_default";
constexpr std::string_view NoStyleMessage
    = "No valid Formatting-Style found!\r\nPlease reinstall ZENKEL HTML.\r\nProgram terminated...";

/// What the catalogue asks of the program around it. The window shows a fatal message and
/// asks the application to quit (it ends once control returns to its message loop); the
/// command-line tool prints it and exits with status 2. The defaults do nothing.
class StyleHost
{
public:
    virtual ~StyleHost() = default;
    /// Tells the user why the program ends and asks it to end; returns to the caller.
    virtual void fatalError(const std::string& /*message*/) { }
    /// Sets the main window's caption.
    virtual void setCaption(const std::string& /*caption*/) { }
};

/// A host that ignores everything.
StyleHost& nullStyleHost();

/// A directory path made absolute, with any run of trailing '/' cut and exactly one appended.
/// Case and symbolic links are kept as given.
std::string NormalizeDirectory(const std::string& dir);

/// Directories below the program directory; all end in '/'.
std::string StylesDirectory(const std::string& programDir);
std::string PreviewDirectory(const std::string& programDir);
std::string StyleDirectory(const std::string& programDir, const std::string& styleName);

/// True when the directory holds both options.ini and tag.ini as files.
bool IsValidStyle(const std::string& styleDir);

/// Fills styleList with the names of the usable styles (as the file system spells them),
/// sorted without regard to case. With none, tells the host NoStyleMessage. Returns the count.
int ListStyles(const std::string& stylesDir, std::vector<std::string>& styleList, StyleHost& host);
/// The same over several styles directories: a name found in more than one is listed once.
int ListStyles(const std::vector<std::string>& stylesDirs, std::vector<std::string>& styleList,
    StyleHost& host);

/// The main window's caption for an active style.
std::string StyleCaption(const std::string& styleName);

/// The sample files the options window previews: the "*.htm" files of the preview directory,
/// or of the program directory when there is no preview directory.
struct PreviewFileList
{
    std::string directory; ///< ends in '/'
    std::vector<std::string> names; ///< file names, sorted without regard to case
};
PreviewFileList ListPreviewFiles(const std::string& programDir);

/// The installed styles and the active one. The styles of the program directory come first;
/// with a separate shipped-data directory, its styles are found too, under the names the
/// program directory does not hold as usable styles. New styles go into the program directory.
class StyleCatalogue
{
public:
    explicit StyleCatalogue(std::string programDir, StyleHost& host = nullStyleHost());
    /// dataDir: the shipped data; empty or the program directory when there is none apart.
    StyleCatalogue(std::string programDir, std::string dataDir, StyleHost& host);

    const std::string& programDirectory() const { return m_programDir; }
    const std::string& dataDirectory() const { return m_dataDir; }
    /// The styles directory of the program directory, where new styles are created.
    std::string stylesDirectory() const { return StylesDirectory(m_programDir); }
    /// The styles directories in the order they are searched (one or two).
    std::vector<std::string> stylesDirectories() const;
    /// The directory of the named style: the first usable one in stylesDirectories(), else
    /// where it would be in the program directory.
    std::string styleDirectory(const std::string& name) const;
    /// The usable styles as of the last activation.
    const std::vector<std::string>& styleList() const { return m_styleList; }
    /// Empty until the first activation.
    const std::string& activeStyleDirectory() const { return m_activeDir; }

    /// Lists the styles again and loads the named one into style (options.ini, then tag.ini);
    /// an unusable name falls back to the first listed style without a message. Sets
    /// style.options.StyleName to the name really loaded and the host's caption. False (and
    /// nothing loaded) when there is no usable style; the host has then been told. False
    /// with *error (naming the file) when a file of the chosen style exists but cannot be
    /// read: the active style then stays as it was.
    bool ActivateStyle(const std::string& name, Style& style, std::string* error = nullptr);

    /// Saves style under a new name as a new style directory and activates it from there.
    /// The name must be non-empty without blank, '/', '\\' or '.'. On failure returns false,
    /// sets *error and leaves the active style and its name as they were.
    [[nodiscard]] bool CreateStyle(
        const std::string& name, Style& style, std::string* error = nullptr);

private:
    std::string m_programDir;
    std::string m_dataDir;
    StyleHost* m_host;
    std::vector<std::string> m_styleList;
    std::string m_activeDir;
};

} // namespace zenkel
