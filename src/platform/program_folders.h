#pragma once

#include <functional>
#include <string>

// Where the program keeps what it writes, and where its shipped picture is.
namespace quillet::folders {

struct Layout {
  // State files, the "pic" folder of captures, the work BMP.
  std::string stateFolder;
  // The picture shown when there is no earlier state.
  std::string defaultPicture;
};

// Whether the current user may create files in `folder`.
bool writableFolder(const std::string& folder);

// `executableFolder` holds the running program; `override` is a folder the
// user named for everything (empty for none); `dataHome` is the user's data
// folder (see userDataHome). A program unpacked into a folder of its own,
// with its "pic" beside it, that the user may write (as `writable` says),
// keeps everything there. An installed one keeps its state in
// dataHome/quillet and shows the picture installed under share/quillet:
// nothing is written beside it.
Layout chooseLayout(const std::string& executableFolder, const std::string& override,
                    const std::string& dataHome,
                    const std::function<bool(const std::string&)>& writable = writableFolder);

// The user's own cache folder for the program, $XDG_CACHE_HOME/quillet (or
// ~/.cache/quillet), created readable by the user alone; empty when it cannot
// be had as a folder of the user's that nobody else may enter.
std::string privateCacheFolder();

// $XDG_DATA_HOME when it is an absolute path, else $HOME/.local/share.
std::string userDataHome();

// The folder and the folders above it, created as needed; false when it
// cannot be there as a folder.
bool createFolders(const std::string& folder);

}  // namespace quillet::folders
