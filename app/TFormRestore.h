/// TFormRestore: asks whether to restore the editor's file from its backup, showing the backup.
#pragma once

#include <QDialog>

class QPlainTextEdit;

namespace zenkel {

class TFormRestore : public QDialog
{
    Q_OBJECT

public:
    /// Caption "Restore from: \"backup\" ?"; RERestore shows the backup's text.
    TFormRestore(const QString& backupFile, const QString& backupText, QWidget* parent = nullptr);
    /// Accepted or Rejected; a scripted answer (tests) is taken without showing the dialog.
    int run();

private:
    QPlainTextEdit* m_reRestore;
};

} // namespace zenkel
