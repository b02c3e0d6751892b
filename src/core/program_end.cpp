#include "core/program_end.h"

#include "core/names.h"
#include "core/program.h"
#include "core/state_files.h"
#include "platform/files.h"

namespace quillet::core {

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

}  // namespace quillet::core
