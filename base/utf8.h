// ValidUtf8: text that may hold bytes from anywhere (a file name in a Latin-1
// folder, a database's own error message, a cell of the database) made safe
// for output that must be UTF-8, such as JSON or a console. Pure function.
#pragma once

#include <string>
#include <string_view>

namespace telo {

// `text` with every byte that doesn't belong to a well-formed UTF-8 sequence
// replaced by U+FFFD; valid text comes back unchanged.
std::string ValidUtf8(std::string_view text);

}  // namespace telo
