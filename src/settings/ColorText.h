// Colours as the settings file writes them: a toolkit colour name where the
// value has one, otherwise "$" and eight upper-case hexadecimal digits.
#pragma once

#include <optional>
#include <string>

#include "toolkit/Types.h"

namespace norva {

std::string ColorToString(tk::TColor color);
// A name (any letter case) or a number (decimal, "$" or "0x" hexadecimal).
// Anything else, or a number beyond 32 bits, gives no colour.
std::optional<tk::TColor> StringToColor(const std::string& text);

}  // namespace norva
