/// Prompter: every message box and modal confirmation of the program goes through here.
#include "widgets/Prompter.h"

#include <QDialog>
#include <QMessageBox>
#include <QStringList>

#include <deque>
#include <iostream>
#include <optional>

namespace zenkel {

namespace {

std::deque<Prompter::Answer>& queued()
{
    static std::deque<Prompter::Answer> answers;
    return answers;
}

std::optional<Prompter::Answer>& autoAnswer()
{
    static std::optional<Prompter::Answer> answer;
    return answer;
}

Prompter::Answer fromButton(int button)
{
    switch (button) {
    case QMessageBox::Yes:
        return Prompter::Yes;
    case QMessageBox::No:
        return Prompter::No;
    case QMessageBox::Cancel:
        return Prompter::Cancel;
    case QMessageBox::Ok:
        return Prompter::Ok;
    default:
        return Prompter::Closed;
    }
}

/// File names, tag names and the user's text are shown as they are: a box never reads them
/// as rich text, where «<TABLE>» would vanish.
Prompter::Answer showBox(QWidget* parent, QMessageBox::Icon icon, const QString& title,
    const QString& text, QMessageBox::StandardButtons buttons, QMessageBox::StandardButton escape)
{
    QMessageBox box(icon, title, text, buttons, parent);
    box.setTextFormat(Qt::PlainText);
    box.setEscapeButton(escape);
    return fromButton(box.exec());
}

bool& unattended()
{
    static bool on = false;
    return on;
}

bool& anyError()
{
    static bool reported = false;
    return reported;
}

void printUnattended(const QString& text)
{
    QString line = text;
    line.replace("\r\n", "\n");
    std::cerr << "zenkel-html: " << line.toStdString() << std::endl;
}

} // namespace

void Prompter::setUnattended(bool on)
{
    unattended() = on;
}

bool Prompter::errorReported()
{
    return anyError();
}

bool Prompter::takeScriptedAnswer(Answer& answer)
{
    if (!queued().empty()) {
        answer = queued().front();
        queued().pop_front();
        return true;
    }
    if (autoAnswer()) {
        answer = *autoAnswer();
        return true;
    }
    return false;
}

QStringList& Prompter::log()
{
    static QStringList texts;
    return texts;
}

void Prompter::setNextAnswer(Answer answer)
{
    queued().push_back(answer);
}

void Prompter::setAutoAnswer(Answer answer)
{
    autoAnswer() = answer;
}

void Prompter::clearAutoAnswer()
{
    autoAnswer().reset();
    queued().clear();
}

Prompter::Answer Prompter::question(
    QWidget* parent, const QString& title, const QString& text, bool withCancel)
{
    log().append(text);
    Answer answer;
    if (takeScriptedAnswer(answer))
        return answer;
    if (unattended()) {
        printUnattended(text);
        return Closed;
    }
    return showBox(parent, QMessageBox::Question, title, text,
        withCancel ? QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel
                   : QMessageBox::Yes | QMessageBox::No,
        withCancel ? QMessageBox::Cancel : QMessageBox::No);
}

namespace {

/// An information or error box: logged, answered by a script, printed when unattended, or shown.
void tell(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text)
{
    Prompter::log().append(text);
    Prompter::Answer answer;
    if (Prompter::takeScriptedAnswer(answer))
        return;
    if (unattended()) {
        printUnattended(text);
        return;
    }
    showBox(parent, icon, title, text, QMessageBox::Ok, QMessageBox::Ok);
}

} // namespace

void Prompter::information(QWidget* parent, const QString& title, const QString& text)
{
    tell(parent, QMessageBox::Information, title, text);
}

void Prompter::error(QWidget* parent, const QString& title, const QString& text)
{
    anyError() = true;
    tell(parent, QMessageBox::Critical, title, text);
}

int execOrScripted(QDialog& dialog, const std::function<int()>& scriptedOk,
    const std::function<int()>& scriptedCancel)
{
    Prompter::Answer answer;
    if (!Prompter::takeScriptedAnswer(answer)) {
        if (!unattended())
            return dialog.exec();
        printUnattended(dialog.windowTitle() + ": cancelled (unattended run)");
        answer = Prompter::Cancel;
    }
    if (answer == Prompter::Ok || answer == Prompter::Yes)
        return scriptedOk();
    if ((answer == Prompter::Cancel || answer == Prompter::No) && scriptedCancel)
        return scriptedCancel();
    dialog.setResult(QDialog::Rejected);
    return QDialog::Rejected;
}

} // namespace zenkel
