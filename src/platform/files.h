#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// Files as the behaviour uses them: whole reads, atomic whole writes, and a
// directory listing in the order the file system returns it.
namespace quillet::files {

using Bytes = std::vector<std::uint8_t>;

inline constexpr char kSeparator = '/';

// The folder holding the running executable, without a trailing separator.
std::string executableFolder();
// The running executable's own file name.
std::string executableName();

bool exists(const std::string& path);
bool isRegularFile(const std::string& path);
// Size in bytes; -1 when the file is missing or not a regular file.
std::int64_t size(const std::string& path);
std::optional<Bytes> read(const std::string& path);
// At most the first `limit` bytes of a regular file; empty when it cannot be read.
Bytes readPrefix(const std::string& path, std::size_t limit);
// Writes through a temporary file in the same folder and a rename, so a crash
// leaves either the old content or the new one.
bool writeAtomic(const std::string& path, const Bytes& bytes);

// Where writeNew put the bytes: the path, or empty with the error number.
struct NewFile {
  std::string path;
  int error = 0;
};
// Writes `bytes` as a new file, never in place of another: whole into a
// temporary file beside `path` first (see temporaryName), which then takes
// the name only if nothing has it yet. When something has, `nextPath` names
// another place in the same folder to try, once each time; an empty name
// gives up. Nothing is left behind when it fails.
NewFile writeNew(const std::string& path, const Bytes& bytes,
                 const std::function<std::string()>& nextPath);
// The name under which a write to `path` first keeps its bytes until whole.
std::string temporaryName(const std::string& path);

// Gives the file `from` the name `to` unless something has that name (false,
// errno EEXIST): in one step where the file system can, else as linkNew.
bool renameNew(const std::string& from, const std::string& to);
// The same through a second link and the removal of the first, for file
// systems that cannot rename without replacing.
bool linkNew(const std::string& from, const std::string& to);

bool remove(const std::string& path);
bool createFolder(const std::string& path);
// Names of the entries of `folder`, in directory order, without "." and "..".
std::vector<std::string> list(const std::string& folder);

// `path` made absolute against the current folder; unchanged when it is.
std::string absolute(const std::string& path);
// `path` up to and including its last separator; empty when there is none.
std::string folderOf(const std::string& path);
// The last `n` bytes of `text` (all of it when shorter).
std::string lastChars(const std::string& text, std::size_t n);

}  // namespace quillet::files
