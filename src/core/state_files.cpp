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

}  // namespace quillet::core
