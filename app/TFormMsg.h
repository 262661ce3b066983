/// TFormMsg: the confirmation dialog shown before a run; it says what will be overwritten and
/// where the backups go, and switches the backups on or off.
#pragma once

#include <QDialog>
#include <QString>

#include <string>

class QCheckBox;
class QPushButton;
class QTextEdit;

namespace zenkel {

struct Session;

/// The confirmation text as the dialog shows it: CR LF line breaks become '\n'.
QString confirmationDisplayText(const std::string& crLfText);

class TFormMsg : public QDialog
{
    Q_OBJECT

public:
    explicit TFormMsg(Session& session, QWidget* parent = nullptr);
    ~TFormMsg() override;

    /// The steps on show: CBBackup takes DoCreateBackUps, then the caption and text are built
    /// from the run state (Operation, SelectionMode, file list, backups on disk).
    void prepare();
    /// prepare(), then shows the dialog modally; with a scripted answer from Prompter nothing
    /// is shown (Ok and Yes accept). QDialog::Accepted (OK) or QDialog::Rejected (Cancel).
    int run();

    /// Builds caption and text again from the run state and the backup setting.
    void MakeMsg();
    /// The backup box was clicked: the setting follows it and the text is rebuilt.
    void CBBackupClick(bool checked);

private:
    Session& m_session;
    QTextEdit* m_memo = nullptr;
    QCheckBox* m_backupBox = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
};

} // namespace zenkel
