#include "platform/program_folders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/files.h"

namespace quillet::folders {

namespace {

std::string joined(std::string folder, const std::string& name) {
  while (folder.size() > 1 && folder.back() == files::kSeparator) folder.pop_back();
  return folder + files::kSeparator + name;
}

std::string parentOf(const std::string& folder) {
  std::string f = folder;
  while (f.size() > 1 && f.back() == files::kSeparator) f.pop_back();
  const auto cut = f.rfind(files::kSeparator);
  if (cut == std::string::npos) return ".";
  return cut == 0 ? std::string(1, files::kSeparator) : f.substr(0, cut);
}

bool isFolder(const std::string& path) {
  return files::exists(path) && !files::isRegularFile(path);
}

}  // namespace

Layout chooseLayout(const std::string& executableFolder, const std::string& override,
                    const std::string& dataHome,
                    const std::function<bool(const std::string&)>& writable) {
  if (!override.empty()) return {override, joined(override, "pic/1.jpg")};
  const std::string ownPictures = joined(executableFolder, "pic");
  if (isFolder(ownPictures) && writable(executableFolder)) {
    return {executableFolder, joined(ownPictures, "1.jpg")};
  }
  const std::string installed = joined(parentOf(executableFolder), "share/quillet/pic/1.jpg");
  return {joined(dataHome, "quillet"),
          files::exists(installed) ? installed : joined(ownPictures, "1.jpg")};
}

namespace {

std::string homeFolder() {
  const char* home = std::getenv("HOME");
  if (home && *home) return home;
  if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir && *user->pw_dir) {
    return user->pw_dir;
  }
  return {};
}

}  // namespace

std::string privateCacheFolder() {
  std::string base;
  const char* xdg = std::getenv("XDG_CACHE_HOME");
  if (xdg && xdg[0] == files::kSeparator) {
    base = xdg;
  } else if (std::string home = homeFolder(); !home.empty()) {
    base = joined(home, ".cache");
  } else {
    return {};
  }
  if (!createFolders(base)) return {};
  const std::string folder = joined(base, "quillet");
  ::mkdir(folder.c_str(), 0700);
  // Ours alone, and a real folder rather than a link someone left there.
  struct stat info {};
  if (::lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::getuid()) {
    return {};
  }
  if ((info.st_mode & 077) != 0 && ::chmod(folder.c_str(), 0700) != 0) return {};
  return folder;
}

std::string userDataHome() {
  const char* xdg = std::getenv("XDG_DATA_HOME");
  if (xdg && xdg[0] == files::kSeparator) return xdg;
  const char* home = std::getenv("HOME");
  if (home && *home) return joined(home, ".local/share");
  // Never a shared folder such as /tmp: another user could own what is there.
  if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir && *user->pw_dir) {
    return joined(user->pw_dir, ".local/share");
  }
  return joined(".", ".local/share");
}

bool createFolders(const std::string& folder) {
  if (folder.empty()) return false;
  if (isFolder(folder)) return true;
  const std::string parent = parentOf(folder);
  if (parent != folder && !isFolder(parent) && !createFolders(parent)) return false;
  return files::createFolder(folder);
}

bool writableFolder(const std::string& folder) {
  return isFolder(folder) && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

}  // namespace quillet::folders
