/// The main window as host of the file job and of the batch driver.
#include "app/MainHosts.h"

#include "app/TForm1.h"
#include "app/TFormMsg.h"
#include "widgets/Prompter.h"
#include "widgets/WidgetText.h"

#include <QApplication>

namespace zenkel {

namespace {

/// Pending events are handled at most this often during long work.
constexpr int PumpIntervalMs = 25;

} // namespace

MainWindowJobHost::MainWindowJobHost(TForm1& form)
    : m_form(form)
{
    m_sincePump.start();
}

void MainWindowJobHost::SetStatus(const std::string& text)
{
    m_form.showStatus(qs(text));
}

void MainWindowJobHost::AppendStatus(const std::string& text)
{
    m_form.showStatus(m_form.statusText() + " " + qs(text));
}

void MainWindowJobHost::SetProgressRange(int bar, long long maximum)
{
    m_form.setProgressRange(bar, maximum);
}

void MainWindowJobHost::SetProgressPosition(int bar, long long position)
{
    m_form.setProgressPosition(bar, position);
}

void MainWindowJobHost::handlePendingMessages()
{
    if (m_sincePump.elapsed() < PumpIntervalMs)
        return;
    m_sincePump.restart();
    QApplication::processEvents();
}

void MainWindowJobHost::fatalError(const std::string& message)
{
    Prompter::error(&m_form, "Zenkel HTML", qs(message));
    // Ends at once, without saving settings or the protocol.
    std::exit(2);
}

void MainWindowJobHost::setCaption(const std::string& caption)
{
    m_form.setWindowTitle(qs(caption));
}

bool MainWindowRunHost::confirmRun(Session&)
{
    return m_form.formMsg().run() == QDialog::Accepted;
}

bool MainWindowRunHost::confirmUserBreak()
{
    return Prompter::question(
               &m_form, "Zenkel HTML", "Zenkel HTML - USER BREAK:\r\n Stop processing files?")
        == Prompter::Yes;
}

void MainWindowRunHost::showMessage(const std::string& text)
{
    Prompter::information(&m_form, "Zenkel HTML", qs(text));
}

void MainWindowRunHost::showError(const std::string& text)
{
    Prompter::error(&m_form, "Zenkel HTML", qs(text));
}

} // namespace zenkel
