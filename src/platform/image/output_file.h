#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/image/picture.h"

namespace quillet::image {

// The name a temporary file beside `path` is tried under first; later tries
// add a random number to it.
std::string temporaryName(const std::string& path);

// Creates a temporary file beside `path` for reading and writing, for this
// user alone until finishFile: always a new file, never one already there
// nor one a link planted under its name leads to. The descriptor, with its
// name in `name`; -1 with errno set when none could be made.
int createTemporary(const std::string& path, std::string& name);

// Gives a file made by createTemporary the permissions of a finished file:
// readable by everyone, writable by its owner, as far as the umask allows.
void finishFile(int fd);

// A file of known size written by position, from one thread or two, under a
// temporary name beside its place (see createTemporary) and renamed there
// once whole, so that no reader ever sees half a picture; one never
// committed is removed.
class OutputFile {
 public:
  // Synced waits for the disk before the rename, as files::writeAtomic does;
  // Scratch does not, for files the program can make again.
  enum class Durability { Scratch, Synced };

  OutputFile(const std::filesystem::path& path, std::uint64_t size, Durability durability);
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // False once anything failed; failure() says why.
  bool ok() const { return error_.load() == 0; }
  std::string failure() const;

  bool writeAt(std::uint64_t offset, ByteView bytes);
  // The whole file as memory to write into, or nullptr. Its space is
  // reserved on the disk first, so no write through it can fail later (a
  // full disk would otherwise end the process at some random store).
  std::uint8_t* map();
  // Puts the file in its place; false (see failure()) when it could not.
  bool commit();

 private:
  void fail(int error);

  std::string path_;
  std::string temporary_;
  std::uint64_t size_;
  Durability durability_;
  int fd_ = -1;
  std::uint8_t* mapped_ = nullptr;
  std::atomic<int> error_{0};
  bool committed_ = false;
};

}  // namespace quillet::image
