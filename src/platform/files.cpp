#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>

#include "platform/image/output_file.h"

namespace quillet::files {

namespace {

std::string selfPath() {
  std::string buf(PATH_MAX, '\0');
  ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
  if (n <= 0) return {};
  buf.resize(static_cast<std::size_t>(n));
  return buf;
}

bool writeAll(int fd, const Bytes& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

std::string executableFolder() {
  std::string path = selfPath();
  auto cut = path.rfind(kSeparator);
  if (cut == std::string::npos) return ".";
  return cut == 0 ? std::string(1, kSeparator) : path.substr(0, cut);
}

std::string executableName() {
  std::string path = selfPath();
  auto cut = path.rfind(kSeparator);
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

bool exists(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

bool isRegularFile(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::int64_t size(const std::string& path) {
  struct stat st {};
  if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  return static_cast<std::int64_t>(st.st_size);
}

std::optional<Bytes> read(const std::string& path) {
  if (!isRegularFile(path)) return std::nullopt;
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  Bytes out;
  struct stat st {};
  if (::fstat(fd, &st) == 0 && st.st_size > 0) out.reserve(static_cast<std::size_t>(st.st_size));
  std::uint8_t chunk[1 << 16];
  for (;;) {
    ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    out.insert(out.end(), chunk, chunk + n);
  }
  ::close(fd);
  return out;
}

Bytes readPrefix(const std::string& path, std::size_t limit) {
  Bytes out;
  if (!isRegularFile(path)) return out;
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return out;
  out.resize(limit);
  std::size_t got = 0;
  while (got < limit) {
    ssize_t n = ::read(fd, out.data() + got, limit - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  ::close(fd);
  out.resize(got);
  return out;
}

namespace {

// Makes a rename or a link in the folder of `path` itself durable.
void syncFolderOf(const std::string& path) {
  const std::string folder = folderOf(path);
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// `bytes`, whole and on the disk, in a fresh temporary file beside `path`;
// its name, or empty (errno set) with nothing left behind.
std::string writeTemporary(const std::string& path, const Bytes& bytes) {
  std::string name;
  const int fd = image::createTemporary(path, name);
  if (fd < 0) return {};
  bool ok = writeAll(fd, bytes);
  if (ok) image::finishFile(fd);
  ok = ok && ::fsync(fd) == 0;
  int error = ok ? 0 : errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (ok) return name;
  ::unlink(name.c_str());
  errno = error;
  return {};
}

}  // namespace

bool writeAtomic(const std::string& path, const Bytes& bytes) {
  if (path.empty()) return false;
  const std::string tmp = writeTemporary(path, bytes);
  if (tmp.empty()) return false;
  if (::rename(tmp.c_str(), path.c_str()) != 0) {
    ::unlink(tmp.c_str());
    return false;
  }
  syncFolderOf(path);
  return true;
}

std::string temporaryName(const std::string& path) { return image::temporaryName(path); }

bool linkNew(const std::string& from, const std::string& to) {
  if (::link(from.c_str(), to.c_str()) != 0) return false;
  // Both names lead to the file now; losing the temporary one is all that
  // is left, and a failure there leaves the file in its place anyway.
  ::unlink(from.c_str());
  return true;
}

bool renameNew(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
    return true;
  }
  // Older kernels and some file systems (network ones, FUSE) do not know the flag.
  if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return false;
  return linkNew(from, to);
}

NewFile writeNew(const std::string& path, const Bytes& bytes,
                 const std::function<std::string()>& nextPath) {
  if (path.empty()) return {{}, EINVAL};
  const std::string tmp = writeTemporary(path, bytes);
  if (tmp.empty()) return {{}, errno};
  std::string target = path;
  while (!renameNew(tmp, target)) {
    const int error = errno;
    target = error == EEXIST && nextPath ? nextPath() : std::string();
    if (target.empty()) {
      ::unlink(tmp.c_str());
      return {{}, error};
    }
  }
  syncFolderOf(target);
  return {target, 0};
}

bool remove(const std::string& path) { return !path.empty() && ::unlink(path.c_str()) == 0; }

bool createFolder(const std::string& path) {
  if (path.empty()) return false;
  if (::mkdir(path.c_str(), 0755) == 0) return true;
  struct stat st {};
  return errno == EEXIST && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::vector<std::string> list(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return names;
  while (dirent* entry = ::readdir(dir)) {
    std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    names.push_back(std::move(name));
  }
  ::closedir(dir);
  return names;
}

std::string absolute(const std::string& path) {
  if (path.empty() || path.front() == kSeparator) return path;
  std::string here(PATH_MAX, '\0');
  if (!::getcwd(here.data(), here.size())) return path;
  here.resize(std::char_traits<char>::length(here.c_str()));
  std::string rest = path;
  while (rest.rfind("./", 0) == 0) rest.erase(0, 2);
  return here == "/" ? "/" + rest : here + kSeparator + rest;
}

std::string folderOf(const std::string& path) {
  auto cut = path.rfind(kSeparator);
  return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

std::string lastChars(const std::string& text, std::size_t n) {
  return text.size() <= n ? text : text.substr(text.size() - n);
}

}  // namespace quillet::files
