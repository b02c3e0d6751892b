#include "platform/image/output_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

namespace quillet::image {

namespace {

constexpr int kTemporaryTries = 8;

// The umask, read without changing it: setting it to read it back would
// give a file another thread creates meanwhile the wrong permissions.
mode_t currentUmask() {
  mode_t mask = 022;
  std::FILE* status = std::fopen("/proc/self/status", "re");
  if (status == nullptr) return mask;
  char line[256];
  while (std::fgets(line, sizeof line, status) != nullptr) {
    unsigned int value = 0;
    if (std::sscanf(line, "Umask: %o", &value) == 1) {
      mask = static_cast<mode_t>(value);
      break;
    }
  }
  std::fclose(status);
  return mask;
}

void syncFolderOf(const std::filesystem::path& path) {
  const std::filesystem::path folder = path.parent_path();
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

std::string temporaryName(const std::string& path) {
  return path + ".tmp-" + std::to_string(::getpid());
}

int createTemporary(const std::string& path, std::string& name) {
  std::random_device random;
  int fd = -1;
  for (int attempt = 0; attempt < kTemporaryTries && fd < 0; ++attempt) {
    name = temporaryName(path);
    if (attempt > 0) name += "-" + std::to_string(random() % 1000000);
    // Exclusive creation refuses a link in the name's place as it refuses a
    // file; the next try takes another name.
    fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0 && errno != EEXIST && errno != ELOOP) break;
  }
  if (fd < 0) name.clear();
  return fd;
}

void finishFile(int fd) {
  // The umask as the first finished file found it: programs set it, if at
  // all, before they write anything.
  static const mode_t mode = 0644 & ~currentUmask();
  // A file system without permissions refuses; the file is as whole then.
  ::fchmod(fd, mode);
}

OutputFile::OutputFile(const std::filesystem::path& path, std::uint64_t size, Durability durability)
    : path_(path.string()), size_(size), durability_(durability) {
  fd_ = createTemporary(path_, temporary_);
  if (fd_ < 0) {
    fail(errno);
    return;
  }
  if (::ftruncate(fd_, static_cast<off_t>(size_)) != 0) fail(errno);
}

OutputFile::~OutputFile() {
  if (mapped_ != nullptr) ::munmap(mapped_, size_);
  if (fd_ >= 0) ::close(fd_);
  if (!committed_ && !temporary_.empty()) ::unlink(temporary_.c_str());
}

void OutputFile::fail(int error) {
  int none = 0;
  error_.compare_exchange_strong(none, error != 0 ? error : EIO);
}

std::string OutputFile::failure() const {
  const int error = error_.load();
  return error == 0 ? std::string() : std::strerror(error);
}

bool OutputFile::writeAt(std::uint64_t offset, ByteView bytes) {
  if (offset > size_ || bytes.size() > size_ - offset) {
    fail(EINVAL);
    return false;
  }
  std::size_t at = 0;
  while (ok() && at < bytes.size()) {
    const ssize_t n =
        ::pwrite(fd_, bytes.data() + at, bytes.size() - at, static_cast<off_t>(offset + at));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      fail(n < 0 ? errno : EIO);
      break;
    }
    at += static_cast<std::size_t>(n);
  }
  return ok();
}

std::uint8_t* OutputFile::map() {
  if (!ok() || size_ == 0) return nullptr;
  if (mapped_ != nullptr) return mapped_;
  if (::fallocate(fd_, 0, 0, static_cast<off_t>(size_)) != 0) return nullptr;
  void* at = ::mmap(nullptr, size_, PROT_READ | PROT_WRITE, MAP_SHARED, fd_, 0);
  if (at == MAP_FAILED) return nullptr;
  mapped_ = static_cast<std::uint8_t*>(at);
  return mapped_;
}

bool OutputFile::commit() {
  if (mapped_ != nullptr && ::munmap(mapped_, size_) != 0) fail(errno);
  mapped_ = nullptr;
  if (ok() && fd_ >= 0) finishFile(fd_);
  if (ok() && durability_ == Durability::Synced && ::fsync(fd_) != 0) fail(errno);
  if (fd_ >= 0 && ::close(fd_) != 0) fail(errno);
  fd_ = -1;
  if (ok() && ::rename(temporary_.c_str(), path_.c_str()) != 0) fail(errno);
  committed_ = ok();
  if (committed_ && durability_ == Durability::Synced) syncFolderOf(path_);
  return committed_;
}

}  // namespace quillet::image
