// ASCII text rules for names matched the way Windows and Jet match them:
// letters compared without case, the C locale never consulted (a Qt program
// adopts the user's). Pure functions.
#pragma once

#include <string>
#include <string_view>

namespace telo {

char LowerAscii(char c);
std::string LowerAscii(std::string_view text);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix);

}  // namespace telo
