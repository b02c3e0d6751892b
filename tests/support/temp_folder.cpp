#include "support/temp_folder.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace quillet::testing {

TempFolder::TempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "quillet-test-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  root_ = pattern;
}

TempFolder::~TempFolder() {
  std::error_code ec;
  std::filesystem::permissions(root_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(root_, ec);
}

void TempFolder::makeFolder(const std::string& relative) const {
  std::filesystem::create_directories(path(relative));
}

void TempFolder::write(const std::string& relative, const std::vector<std::uint8_t>& bytes) const {
  std::filesystem::path full = path(relative);
  std::filesystem::create_directories(full.parent_path());
  std::ofstream out(full, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

void TempFolder::write(const std::string& relative, const std::string& text) const {
  write(relative, std::vector<std::uint8_t>(text.begin(), text.end()));
}

}  // namespace quillet::testing
