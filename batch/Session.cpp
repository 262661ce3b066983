/// Session: the long-lived objects of one program run.
#include "batch/Session.h"

#include "base/Paths.h"
#include "style/StyleFiles.h"

#include <algorithm>

namespace zenkel {

Session::Session(const std::string& programDirectory, FileJobHost& sessionHost)
    : Session(ProgramDirectories {programDirectory, programDirectory}, sessionHost)
{ }

Session::Session(const ProgramDirectories& directories, FileJobHost& sessionHost)
    : host(sessionHost)
    , engine(sessionHost)
    , catalogue(directories.program, directories.data, sessionHost)
{
    runState.programDirectory = catalogue.programDirectory();
    runState.dataDirectory = catalogue.dataDirectory();
    runState.snapshotFile = runState.programDirectory + SnapshotFileName;
    engine.setTrimList(&trimList);
}

bool Session::ActivateStyle(const std::string& name, std::string* error)
{
    if (!catalogue.ActivateStyle(name, engine.style(), error))
        return false;
    settings.StyleName = engine.style().options.StyleName;
    return true;
}

bool Session::loadSettings(ScreenSize screen, std::string* error)
{
    if (!OpenProgramSettings(settingsFile, runState.programDirectory, error))
        return false;
    LoadProgramSettings(settings, settingsFile, screen);
    return true;
}

bool Session::saveSettings(ScreenSize screen, std::string* error)
{
    return SaveProgramSettings(settings, settingsFile, screen, error);
}

void Session::noteScratchError(const std::string& message)
{
    if (std::find(scratchErrors.begin(), scratchErrors.end(), message) == scratchErrors.end())
        scratchErrors.push_back(message);
}

bool Session::loadTrimList(std::string* error)
{
    const bool own = isRegularFile(joinPath(runState.programDirectory, std::string(TrimFileName)));
    return LoadTrimList(trimList, own ? runState.programDirectory : runState.dataDirectory, error);
}

} // namespace zenkel
