#pragma once

#include <string>

namespace quillet::app {
class Program;
}

namespace quillet::help {

inline constexpr const char* kHelpWindowKey = "help";

// Opens the help and about window, not modal; a second call brings the open
// one forward instead of stacking another.
void showHelpWindow(app::Program& p);
void closeHelpWindow(app::Program& p);
void toggleGuidePanel(app::Program& p);
void toggleThanksPanel(app::Program& p);

// Caption of a panel toggle: a sign, 19 spaces and the word.
std::string toggleCaption(bool open, const std::string& word);

const std::string& guideText();
const std::string& thanksText();

}  // namespace quillet::help
