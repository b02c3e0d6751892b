#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <random>

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

bool writeAtomic(const std::string& path, const Bytes& bytes) {
  if (path.empty()) return false;
  std::random_device rd;
  std::string tmp =
      path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(rd() % 100000);
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  bool ok = writeAll(fd, bytes) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (ok && ::rename(tmp.c_str(), path.c_str()) == 0) {
    // Make the rename itself durable.
    std::string folder = folderOf(path);
    int dfd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
      ::fsync(dfd);
      ::close(dfd);
    }
    return true;
  }
  ::unlink(tmp.c_str());
  return false;
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
