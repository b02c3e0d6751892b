#include "platform/image/output_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>

namespace quillet::image {

namespace {

std::string temporaryBeside(const std::string& path) {
  std::random_device random;
  return path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(random() % 1000000);
}

void syncFolderOf(const std::filesystem::path& path) {
  const std::filesystem::path folder = path.parent_path();
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

OutputFile::OutputFile(const std::filesystem::path& path, std::uint64_t size, Durability durability)
    : path_(path.string()), size_(size), durability_(durability) {
  for (int attempt = 0; attempt < 8 && fd_ < 0; ++attempt) {
    temporary_ = temporaryBeside(path_);
    fd_ = ::open(temporary_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd_ < 0 && errno != EEXIST) break;
  }
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
  if (ok() && durability_ == Durability::Synced && ::fsync(fd_) != 0) fail(errno);
  if (fd_ >= 0 && ::close(fd_) != 0) fail(errno);
  fd_ = -1;
  if (ok() && ::rename(temporary_.c_str(), path_.c_str()) != 0) fail(errno);
  committed_ = ok();
  if (committed_ && durability_ == Durability::Synced) syncFolderOf(path_);
  return committed_;
}

}  // namespace quillet::image
