#include "core/state_files.h"

#include "core/main_controls.h"
#include "core/names.h"
#include "core/program.h"
#include "platform/files.h"
#include "platform/text.h"

namespace quillet::core {

namespace {

std::string withoutLineEnd(std::string path) {
  // A record touched by a text editor gains a line end that no path has.
  while (!path.empty() && (path.back() == '\n' || path.back() == '\r')) path.pop_back();
  return path;
}

bool writeText(Program& p, const char* name, const std::string& content) {
  const std::string path = p.programPath(name);
  if (files::writeAtomic(path, text::toStateFile(content))) return true;
  if (p.g().stateSaveReported == 0) {
    p.g().stateSaveReported = 1;
    p.backend().report("cannot save " + path + "; what it keeps will not be there next time");
  }
  return false;
}

}  // namespace

std::string readLastFileRecord(Program& p) {
  auto bytes = files::read(p.programPath(kLastFileRecord));
  if (!bytes) return {};
  std::string path = withoutLineEnd(text::fromStateFile(*bytes));
  // Many UTF-8 byte strings are also valid GB18030; a record written by hand
  // in UTF-8 is recognised by naming a file that exists.
  if (!files::exists(path)) {
    std::string utf8 = withoutLineEnd(text::fromUtf8(*bytes));
    if (files::exists(utf8)) return utf8;
  }
  return path;
}

bool readNote(Program& p, std::string& note) {
  auto bytes = files::read(p.programPath(kNoteFile));
  if (!bytes) return false;
  note = text::fromStateFile(*bytes);
  return true;
}

void writeLastFileRecord(Program& p) { writeText(p, kLastFileRecord, p.g().currentPicturePath); }

bool writeNoteFile(Program& p) { return p.main() && writeText(p, kNoteFile, noteBox(p).text()); }

void writeNote(Program& p) {
  if (writeNoteFile(p)) p.g().textNoteMode = 0;
}

void saveStateFiles(Program& p) {
  writeLastFileRecord(p);
  if (p.g().textNoteMode == 1 && p.main()) writeText(p, kNoteFile, noteBox(p).text());
}

void closeProgram(Program& p) {
  GlobalState& g = p.g();
  writeLastFileRecord(p);
  // Written once here; a note the file refused is tried again as the
  // window goes.
  if (g.textNoteMode == 1) writeNote(p);
  std::string work = p.programPath(kWorkBitmapFile);
  if (files::exists(work)) files::remove(work);
  p.endProcess(0);
}

void leaveTextNote(Program& p) {
  GlobalState& g = p.g();
  ui::Window& w = *p.main();
  w.setBorder(ui::Window::Border::None);
  if (g.textNoteMode == 1) writeNote(p);
  noteBox(p).setVisible(false);
  w.setFocus();
  if (g.aspectRatio > 0.0f) {
    w.setWidth(
        static_cast<int>(static_cast<double>(w.height()) / static_cast<double>(g.aspectRatio)));
  }
}

}  // namespace quillet::core
