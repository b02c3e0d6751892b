#pragma once

#include <QtCore/QStringList>

#include <string>

namespace quillet::qtui {

// Turns "description|pattern|description|pattern" into Qt name filters such
// as "Pictures(*.jpg *.bmp)": Qt reads the patterns from the parentheses.
QStringList nameFilters(const std::string& filter);

}  // namespace quillet::qtui
