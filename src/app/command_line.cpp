#include "app/command_line.h"

#include "core/picture_files.h"
#include "platform/files.h"

namespace quillet::app {

namespace {

// Why `path` cannot be shown, or nothing when it can.
std::string troubleWith(const std::string& path) {
  if (!files::exists(path)) return path + ": no such file";
  if (!files::isRegularFile(path)) return path + ": not a file";
  if (!core::isPictureFile(path)) return path + ": not a JPEG or BMP picture";
  return {};
}

}  // namespace

CommandLine readCommandLine(const std::vector<std::string>& words) {
  CommandLine line;
  std::vector<std::string> names;
  for (const std::string& word : words) {
    if (word == "--help" || word == "-h") {
      line.action = CommandLine::Action::Help;
      return line;
    }
    if (word == "--version") {
      line.action = CommandLine::Action::Version;
      return line;
    }
    if (word.size() > 1 && word[0] == '-' && word != "--") {
      line.complaints.push_back(word + ": not an option of this program (see --help)");
      continue;
    }
    if (word != "--") names.push_back(word);
  }
  if (names.size() > 1) {
    line.complaints.push_back("one picture at a time; starting with the remembered one");
    return line;
  }
  if (names.empty()) return line;
  const std::string path = files::absolute(names.front());
  if (std::string trouble = troubleWith(path); !trouble.empty()) {
    line.complaints.push_back(trouble + "; starting with the remembered picture");
    return line;
  }
  line.picture = path;
  return line;
}

std::string helpText() {
  return "Usage: quillet [PICTURE]\n"
         "Shows a JPEG or BMP picture in a see-through window above the others, to trace\n"
         "from. Without PICTURE it shows the picture shown last.\n"
         "\n"
         "  --help     this text\n"
         "  --version  the program's name and version\n"
         "\n"
         "F1 over the picture shows the keys; F2 opens the help window.\n";
}

}  // namespace quillet::app
