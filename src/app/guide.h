#pragma once

#include <string>
#include <vector>

#include "app/actions.h"

namespace quillet::app {

// One numbered entry of the operation guide: what the mouse does, then the
// actions of the table that belong to it, then a closing remark.
struct GuideTopic {
  const char* heading;
  const char* gestures;
  std::vector<ActionId> actions;
  const char* remark;
};

const std::vector<GuideTopic>& guideTopics();

// The operation guide of the help window, written from the topics and the
// table: every menu path and key in it is the one that works.
const std::string& guideText();

// The overlay shown over the picture while F1 is held: a fixed text of its
// own, not written from the table.
const std::string& shortcutOverlayText();

// How the guide names an action's keys, e.g. "Ctrl+R", "0–9", "方向键".
std::string keyNames(const Action& a);

}  // namespace quillet::app
