/// The main window as host of the file job and of the batch driver.
#pragma once

#include "batch/BatchRun.h"
#include "batch/FileJob.h"

#include <QElapsedTimer>

namespace zenkel {

class TForm1;

/// Status line (Label1), ProgressActFile (bar 0), ProgressAll (bar 1), the caption, fatal
/// errors; pending events are handled at most every few milliseconds.
class MainWindowJobHost : public FileJobHost
{
public:
    explicit MainWindowJobHost(TForm1& form);
    void SetStatus(const std::string& text) override;
    void AppendStatus(const std::string& text) override;
    void SetProgressRange(int bar, long long maximum) override;
    void SetProgressPosition(int bar, long long position) override;
    void handlePendingMessages() override;
    void fatalError(const std::string& message) override;
    void setCaption(const std::string& caption) override;

private:
    TForm1& m_form;
    QElapsedTimer m_sincePump;
};

/// The confirmation dialog, the break question and the message boxes of a run.
class MainWindowRunHost : public RunHost
{
public:
    explicit MainWindowRunHost(TForm1& form)
        : m_form(form)
    { }
    bool confirmRun(Session& session) override;
    bool confirmUserBreak() override;
    void showMessage(const std::string& text) override;
    void showError(const std::string& text) override;

private:
    TForm1& m_form;
};

} // namespace zenkel
