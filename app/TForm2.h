/// TForm2: the found-files dialog of a tree selection. It searches the tree when it is first
/// shown and lets the user choose which of the valid files found to keep.
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

#include <string>
#include <vector>

class QListWidget;
class QPushButton;

namespace zenkel {

struct Session;

class TForm2 : public QDialog
{
    Q_OBJECT

public:
    /// treeDirectory: the tree to search (with or without a final '/').
    TForm2(Session& session, const QString& treeDirectory, QWidget* parent = nullptr);
    ~TForm2() override;

    /// Shows the dialog modally; it searches as soon as it is on screen. With a scripted
    /// answer from Prompter nothing is shown: the tree is searched at once, and Ok keeps
    /// every file found. QDialog::Accepted or Rejected.
    int run();

    /// Searches the tree (once) and fills the list with every file found, all selected. The
    /// window handles its events meanwhile; Esc or Cancel during the search stops it.
    void searchFiles();
    bool searched() const { return m_searched; }

    /// The files the user kept, in search order; empty after Cancel.
    QStringList keptFiles() const { return m_kept; }
    std::vector<std::string> keptFileList() const;

    void BOKClick();
    void BCancelClick();
    void BSelectAllClick();
    void BDeselectAllClick();

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void setButtonsEnabled(bool enabled);

    Session& m_session;
    QString m_treeDirectory;
    QStringList m_kept;
    bool m_searched = false;
    bool m_searching = false;
    bool m_stopSearch = false;

    QListWidget* m_list = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QPushButton* m_selectAllButton = nullptr;
    QPushButton* m_deselectAllButton = nullptr;
};

} // namespace zenkel
