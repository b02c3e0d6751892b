#pragma once

#include <string>
#include <vector>

namespace quillet::app {

inline constexpr const char* kVersionText = "Quillet 2.14";

// What the words after the program's name ask for.
struct CommandLine {
  enum class Action { Run, Help, Version } action = Action::Run;
  // A picture to show instead of the remembered one, as a full path.
  std::string picture;
  // Why words were set aside; the program starts as usual all the same.
  std::vector<std::string> complaints;
};

// `words` are the arguments after the program's name. One picture file may
// be named; anything else is explained and the usual start goes on.
CommandLine readCommandLine(const std::vector<std::string>& words);

std::string helpText();

}  // namespace quillet::app
