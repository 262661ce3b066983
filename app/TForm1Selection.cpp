/// TForm1: choosing what to work on (one file, several files, a tree).
#include "app/TForm1.h"

#include "app/TForm2.h"
#include "app/TFormFile.h"
#include "app/TFormTree.h"
#include "batch/FileSelection.h"
#include "style/ProgramSettings.h"
#include "widgets/Prompter.h"
#include "widgets/TiledPanel.h"
#include "widgets/WaitCursor.h"
#include "widgets/WidgetText.h"

#include <QApplication>

namespace zenkel {

namespace {

/// The last directory of a dialog is a convenience: a refused write loses only that.
void rememberDirectory(IniFile& settings, std::string_view key, const std::string& directory)
{
    (void)WriteSettingsPath(settings, key, directory);
}

} // namespace

int TForm1::ShowFileSelection(int kind)
{
    RunState& state = m_session.runState;
    std::string single;
    std::vector<std::string> files;
    std::string directory;
    bool tree = false;
    if (kind == -1) {
        single = m_commandLine.file;
    } else if (kind == -3) {
        single = m_droppedFile;
    } else if (kind == 30) {
        if (!chooseTree(directory, files))
            return 0;
        tree = true;
    } else {
        if (!chooseFiles(files, directory))
            return 0;
        if (files.size() < 2) {
            single = files.empty() ? std::string() : files.front();
            files.clear();
        }
    }
    if (single.empty() && files.empty() && !tree)
        return 0;

    m_session.protocol.clear();
    m_session.protocol.appendLines(ResetProtocol(state));
    if (!single.empty()) {
        if (!LoadSingleFile(single))
            return 0;
        rememberDirectory(m_session.settingsFile, "Multi", state.sourceDirectory);
        return 10;
    }

    showProtocolPage();
    PanelState(false);
    SelectionOutcome outcome;
    if (tree) {
        outcome = finishTreeSelection(state, directory, files);
    } else {
        // The tree's found-files dialog is interactive; only the check of a list waits.
        WaitCursor wait;
        showStatus("Checking HTML-Files: please wait ...");
        std::vector<std::string> names;
        for (const std::string& file : files)
            names.push_back(file.substr(file.find_last_of('/') + 1));
        const FileValidator valid = [this](const std::string& path) {
            return IsValidHtmlFile(
                path, m_session.settings.DoValidate, m_session.runState.CommandLineMode);
        };
        outcome = selectFileList(state, directory, names, m_session.settings.BackupExt, valid);
    }
    PanelState(true);
    m_session.protocol.appendLines(outcome.protocolLines);
    showStatus(qs(outcome.status));
    if (outcome.result == SelectionMode::None) {
        BadFilesMode();
        return 0;
    }
    if (!tree)
        rememberDirectory(m_session.settingsFile, "Multi", state.sourceDirectory);
    SetButtonState();
    return static_cast<int>(outcome.result);
}

bool TForm1::chooseFiles(std::vector<std::string>& files, std::string& directory)
{
    if (m_formFile->run(TFormFile::Mode::Select) != QDialog::Accepted)
        return false;
    directory = m_formFile->directory().toStdString();
    for (const QString& name : m_formFile->selectedNames())
        files.push_back(directory + name.toStdString());
    return !files.empty();
}

bool TForm1::chooseTree(std::string& directory, std::vector<std::string>& files)
{
    if (m_formTree->run() != QDialog::Accepted)
        return false;
    directory = m_formTree->directory().toStdString();
    showProtocolPage();
    showStatus("Searching for HTML-Files: please wait ...");
    PanelState(false);
    TForm2 found(m_session, QString::fromStdString(directory), this);
    TiledPanel::tileWindow(found, m_mainTile);
    found.run();
    PanelState(true);
    files = found.keptFileList();
    return true;
}

} // namespace zenkel
