/// TFormFile: the file dialog, in select mode (files to open or process) and in save mode
/// ("Save As"); also the pieces it shares with the tree, found-files and confirmation dialogs.
#pragma once

#include <QColor>
#include <QDialog>
#include <QLabel>
#include <QList>
#include <QListWidget>
#include <QPixmap>
#include <QString>
#include <QStringList>

#include <functional>
#include <utility>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace zenkel {

struct Session;

// ---- pieces shared by the dialogs ------------------------------------------------------

/// The two highlight colours of the dialogs, as 0x00BBGGRR colour values: a light cream
/// (the lists' background) and a light pink (the selection).
constexpr int HighlightCream = 15137791;
constexpr int HighlightPink = 13816575;
/// Gives a list the dialogs' colours: cream background, pink selection with black text.
void applyHighlightColours(QWidget& list);

/// One choice of the filter box: its description and its masks ("*.htm").
struct FileTypeChoice
{
    QString description;
    QStringList masks;
};
/// The six choices of the file-type list, in order (their index is the tree file type).
QList<FileTypeChoice> fileTypeChoices();

/// Wildcard match of a file name against one mask, in any letter case. As with short file
/// names, a mask ending in a dot and three plain letters ("*.htm") also admits longer
/// extensions that begin with them ("a.html").
bool matchesFileMask(const QString& name, const QString& mask);
bool matchesAnyFileMask(const QString& name, const QStringList& masks);

/// A directory path without a final '/' (the root stays "/").
QString withoutFinalSlash(const QString& dir);
/// A directory path with exactly one final '/'.
QString withFinalSlash(const QString& dir);
/// dir when it exists as a directory, else fallback: a remembered directory may be gone.
QString existingDirectoryOr(const QString& dir, const QString& fallback);

/// The "drives" of the drive box: the root, the home directory and volumes mounted below
/// /media, /mnt and /run/media.
QStringList driveChoices();
/// The index of the drive whose path is the longest prefix of dir (0, the root, at least).
int driveIndexFor(const QStringList& drives, const QString& dir);

/// The directory list: the path from the root down to the open directory, then the open
/// directory's sub-directories (hidden ones left out). A single click (or Space) opens the
/// clicked directory.
class DirectoryListBox : public QListWidget
{
    Q_OBJECT

public:
    explicit DirectoryListBox(QWidget* parent = nullptr);
    /// Opens dir, or its nearest existing parent when dir does not exist.
    void setDirectory(const QString& dir);
    /// The open directory, without a final '/' (the root is "/").
    QString directory() const { return m_directory; }
    /// Reads the open directory again from the disk.
    void refresh();

signals:
    void directoryChanged(const QString& dir);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void openItem(QListWidgetItem* item);
    QString m_directory;
};

/// Shows a directory path, shortened at its left end to the width the label has, so a long
/// path never widens its dialog. The full path is the tool tip.
class PathLabel : public QLabel
{
    Q_OBJECT

public:
    explicit PathLabel(QWidget* parent = nullptr);
    void setPath(const QString& path);
    QString path() const { return m_path; }
    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void showElided();
    QString m_path;
};

/// The file list: plain files of one directory that match the masks, in three columns.
class FileListBox : public QListWidget
{
    Q_OBJECT

public:
    explicit FileListBox(QWidget* parent = nullptr);
    /// Lists directory's ordinary files (no hidden ones, no devices) that match masks.
    void showFiles(const QString& directory, const QStringList& masks);
    /// Names of the selected files in list order.
    QStringList selectedNames() const;
    /// Selects the files of these names (others are deselected); false when one is missing.
    bool selectNames(const QStringList& names);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void fitColumns();
};

// ---- the file dialog -------------------------------------------------------------------

/// "Invalid file: \"\r\n" + path + "\r\n\"No <HTML> Tag inside!"
QString invalidFileMessage(const QString& path);
/// "File exists:\r\n" + path + "\r\n\r\nOverwrite? \r\n"
QString overwriteQuestion(const QString& path);
/// "Invalid Filename: " + path
QString invalidFilenameMessage(const QString& path);
/// The path that save mode writes: directory + '/' + the name without blanks at its ends.
QString saveTargetPath(const QString& directory, const QString& name);
/// "Save file as: \"" + directory + '/' + name + "\"" with every doubled '/' made single.
QString saveDialogCaption(const QString& directory, const QString& name);

class TFormFile : public QDialog
{
    Q_OBJECT

public:
    enum class Mode
    {
        Select, ///< choose one or more files (caption "File Selection", button "OK")
        Save, ///< choose a name to save the editor's text under (button "SAVE")
    };
    /// Writes the editor's text (and the snapshot file) to path; false when it could not.
    using SaveHandler = std::function<bool(const QString& path)>;

    explicit TFormFile(Session& session, QWidget* parent = nullptr);
    ~TFormFile() override;

    void setSaveHandler(SaveHandler handler) { m_saveHandler = std::move(handler); }

    /// The steps on show: mode, start directory from PATHS ("Multi" or "Save", else the
    /// program directory), name edit and selection mode of the list. The filter is kept.
    void prepare(Mode mode);
    /// prepare(mode), then shows the dialog modally. With a scripted answer from Prompter
    /// nothing is shown: Ok performs OK on the preset selection (see presetSelection), and
    /// its prompts take the next scripted answers. QDialog::Accepted or Rejected.
    /// Select mode accepted: directory() and selectedNames() hold the choice.
    /// Save mode accepted: the file is written, savedPath() names it, the run state's current
    /// file and source directory follow it and PATHS "Save" holds its directory.
    int run(Mode mode);

    /// Tests and scripted runs: after the next prepare, open directory and select names
    /// (save mode: the first name goes into the name edit).
    void presetSelection(const QString& directory, const QStringList& names);

    Mode mode() const { return m_mode; }
    /// The open directory with a final '/'.
    QString directory() const;
    void setDirectory(const QString& dir);
    QStringList selectedNames() const;
    QString savedPath() const { return m_savedPath; }

    /// OK (or SAVE): checks the choice and closes with OK, or tells why not and stays open.
    void BOKClick();

private:
    void buildControls();
    void connectControls();
    void applyPreset();
    void directoryChanged();
    void filterChanged();
    void selectionChanged();
    void nameEdited();
    void updateOkButton();
    void updateSaveCaption();
    void acceptSelection();
    void acceptSave();

    Session& m_session;
    Mode m_mode = Mode::Select;
    SaveHandler m_saveHandler;
    QString m_savedPath;
    QString m_presetDirectory;
    QStringList m_presetNames;
    bool m_hasPreset = false;

    QLabel* m_label = nullptr;
    PathLabel* m_directoryLabel = nullptr;
    QComboBox* m_driveBox = nullptr;
    DirectoryListBox* m_directoryList = nullptr;
    QComboBox* m_filterBox = nullptr;
    FileListBox* m_fileList = nullptr;
    QLabel* m_nameLabel = nullptr;
    QLineEdit* m_nameEdit = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QStringList m_drives;
};

} // namespace zenkel
