/// TFormFile: the file dialog, in select mode (files to open or process) and in save mode
/// ("Save As").
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

#include <functional>
#include <utility>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zenkel {

class DirectoryListBox;
class FileListBox;
class PathLabel;
struct Session;

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
