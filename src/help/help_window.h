#pragma once

#include <string>

namespace quillet::core {
class Program;
}

namespace quillet::help {

inline constexpr const char* kHelpWindowKey = "help";

// Opens the help and about window, not modal, with `guide` in its operation
// guide panel; a second call brings the open one forward instead of stacking
// another.
void showHelpWindow(core::Program& p, const std::string& guide);
void closeHelpWindow(core::Program& p);
void toggleGuidePanel(core::Program& p);
void toggleThanksPanel(core::Program& p);

// Caption of a panel toggle: a sign, 19 spaces and the word.
std::string toggleCaption(bool open, const std::string& word);

const std::string& thanksText();

}  // namespace quillet::help
