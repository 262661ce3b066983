/// Prompter: every message box and modal confirmation of the program goes through here, so
/// tests can answer them and the unattended command line can take them as given.
#pragma once

#include <QString>

#include <functional>

class QDialog;
class QWidget;

namespace zenkel {

class Prompter
{
public:
    enum Answer
    {
        Ok,
        Cancel,
        Yes,
        No,
        Closed, ///< the box was closed with its window button or Esc
    };

    /// Yes/No question (Yes/No/Cancel with withCancel).
    static Answer question(
        QWidget* parent, const QString& title, const QString& text, bool withCancel = false);
    static void information(QWidget* parent, const QString& title, const QString& text);
    static void error(QWidget* parent, const QString& title, const QString& text);

    /// Tests: the next prompt returns this answer without showing anything. Answers queue up.
    static void setNextAnswer(Answer answer);
    /// Tests and unattended runs: every prompt without a queued answer returns this one
    /// (Ok for information and error boxes). Reset with clearAutoAnswer().
    static void setAutoAnswer(Answer answer);
    static void clearAutoAnswer();
    /// Unattended command-line runs: nothing is shown and nobody can answer, so information and
    /// errors go to standard error, questions count as dismissed and dialogs as cancelled.
    static void setUnattended(bool on);
    /// Whether an error was reported since the start (an unattended run's exit status).
    static bool errorReported();
    /// Takes a scripted answer if there is one; dialogs of our own use this too.
    static bool takeScriptedAnswer(Answer& answer);
    /// Texts of the prompts shown or answered so far (tests read them).
    static QStringList& log();
};

/// Shows the dialog modally, or, when Prompter has a scripted answer, shows nothing: Ok and
/// Yes call scriptedOk (which does what the OK button does and returns the dialog's result);
/// Cancel and No call scriptedCancel when one is given; other answers give Rejected.
/// Returns QDialog::Accepted or QDialog::Rejected.
int execOrScripted(QDialog& dialog, const std::function<int()>& scriptedOk,
    const std::function<int()>& scriptedCancel = {});

} // namespace zenkel
