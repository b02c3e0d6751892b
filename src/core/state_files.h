#pragma once

#include <string>

namespace quillet::core {

class Program;

// The picture path kept in "上次文件.txt"; empty when the record is empty.
std::string readLastFileRecord(Program& p);
// The note kept in "便签文本.txt"; false when there is no readable file.
bool readNote(Program& p, std::string& note);

void writeLastFileRecord(Program& p);
// Writes the note box's text to "便签文本.txt"; false when it could not.
bool writeNoteFile(Program& p);
// The same, and the note counts as saved once it is written; a note the file
// could not take stays marked, so the next save tries again.
void writeNote(Program& p);

// Writes "上次文件.txt" and, while the note has unsaved changes, the note.
void saveStateFiles(Program& p);

}  // namespace quillet::core
