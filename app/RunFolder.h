#pragma once

#include <filesystem>
#include <functional>

// The folder the program runs in: its current directory at start, the folder
// the file dialogs first show, and where the mining export writes. Normally
// the program's own folder; an installed program's folder (/usr/bin) is not
// writable, so it then runs in the user's documents folder instead.
namespace mofeng::app {

using FolderWritableCheck = std::function<bool(const std::filesystem::path&)>;

struct RunFolder {
    std::filesystem::path path;
    bool inDocuments = false;  // true: the program's folder was not writable
};

// The subfolder of the documents folder used when the program's folder is
// not writable: "墨枫".
std::filesystem::path DocumentsSubfolderName();

// programDir when isWritable(programDir) holds, else documentsDir / "墨枫",
// created when missing (a creation failure leaves the path as it is: writes
// there then fail like any other). An empty documentsDir keeps programDir.
RunFolder ChooseRunFolder(const std::filesystem::path& programDir,
                          const std::filesystem::path& documentsDir,
                          const FolderWritableCheck& isWritable);

// True when a new file can really be created in folder: it creates and
// removes a probe file, because permission bits say nothing for root or on a
// read-only mount.
bool IsFolderWritable(const std::filesystem::path& folder);

}  // namespace mofeng::app
