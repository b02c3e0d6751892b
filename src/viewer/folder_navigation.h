#pragma once

namespace quillet::core {
class Program;
}

// Walking the pictures of the current folder.
namespace quillet::viewer {

// Page Up and Page Down: the previous or next entry of folderList, wrapping
// at either end, shown at the current display width. Nothing happens with
// fewer than two entries. A window squeezed too flat to be used is closed
// instead (and the program restarts when it ends).
void showPreviousPicture(core::Program& p);
void showNextPicture(core::Program& p);

}  // namespace quillet::viewer
