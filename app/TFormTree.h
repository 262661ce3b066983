/// TFormTree: the tree dialog, which chooses the directory tree of a tree run and the file
/// type its search looks for.
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

class QComboBox;
class QLabel;
class QPushButton;

namespace zenkel {

struct Session;
class DirectoryListBox;
class PathLabel;

/// Whether dir is the root of a mounted file system (the root "/" included).
bool isMountPointRoot(const QString& dir);
/// A tree must lie below the root of its file system: the root has no place beside it for
/// the tree's backup directories.
bool isChoosableTree(const QString& dir);

class TFormTree : public QDialog
{
    Q_OBJECT

public:
    explicit TFormTree(Session& session, QWidget* parent = nullptr);
    ~TFormTree() override;

    /// The steps on show: the directory list opens PATHS "Tree" (else the program
    /// directory); the filter shows the run state's tree file type.
    void prepare();
    /// prepare(), then shows the dialog modally; with a scripted answer from Prompter nothing
    /// is shown and Ok performs OK on the open (or preset) directory. Accepted: directory()
    /// is the tree, PATHS "Tree" holds it. QDialog::Accepted or Rejected.
    int run();
    /// Tests and scripted runs: the directory to open after the next prepare.
    void presetDirectory(const QString& dir);

    /// The open directory with a final '/'.
    QString directory() const;
    void setDirectory(const QString& dir);

    /// OK: only for a choosable tree; remembers it as PATHS "Tree" and closes with OK.
    void BOKClick();

private:
    void buildControls();
    void connectControls();
    void directoryChanged();

    Session& m_session;
    QString m_presetDirectory;
    QStringList m_drives;

    QLabel* m_label = nullptr;
    PathLabel* m_directoryLabel = nullptr;
    QComboBox* m_driveBox = nullptr;
    DirectoryListBox* m_directoryList = nullptr;
    QComboBox* m_filterBox = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
};

} // namespace zenkel
