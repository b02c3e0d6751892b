#pragma once

#include <cstdint>
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
