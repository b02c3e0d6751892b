#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quillet::testing {

// A fresh folder under the system's temporary folder, removed with its
// content when the object goes.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& root() const { return root_; }
  std::string path(const std::string& relative) const { return root_ + "/" + relative; }
  // Creates the parent folders as needed.
  void write(const std::string& relative, const std::vector<std::uint8_t>& bytes) const;
  void write(const std::string& relative, const std::string& text) const;
  void makeFolder(const std::string& relative) const;

 private:
  std::string root_;
};

}  // namespace quillet::testing
