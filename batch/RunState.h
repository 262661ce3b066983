/// The run state that the main window (or the command-line tool) keeps for all runs.
#pragma once

#include "engine/Operation.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zenkel {

/// What the main window works on; the numbers are also the results of the file selection.
enum class SelectionMode
{
    None = 0,
    SingleFile = 10,
    FileList = 20,
    Tree = 30,
};

/// How the program was started: no command-line run, a file to open, or switch A (no dialogs).
enum class CommandLineMode
{
    None = 0,
    File = 1,
    Unattended = 2,
};

/// Fixed file names, all in the program directory.
inline constexpr const char* TokenListFileName = "0tmp_htm.htm";
inline constexpr const char* BlockStoreFileName = "0tmp_nftags.htm";
inline constexpr const char* SnapshotFileName = "$tmp.htm";

/// All directories end in '/'. Sizes and totals are 64-bit.
struct RunState
{
    /// Where the program writes (settings, report, diagnostic files, styles, trim list).
    std::string programDirectory;
    /// The shipped data (styles, samples, pictures, help, tag syntax); mostly the same.
    std::string dataDirectory;
    std::string currentFile;
    std::string sourceDirectory;
    std::string backupDirectory;
    std::string backupFile;
    std::string snapshotFile;
    std::vector<std::string> fileList;
    zenkel::SelectionMode SelectionMode = zenkel::SelectionMode::None;
    zenkel::Operation Operation = zenkel::Operation::None;
    bool userBreak = false;
    std::int64_t sizeBeforeTotal = 0;
    std::int64_t sizeAfterTotal = 0;
    int treeFileType = 0; ///< 0..5, index of the tree dialog's file-type choice
    zenkel::CommandLineMode CommandLineMode = zenkel::CommandLineMode::None;
};

} // namespace zenkel
