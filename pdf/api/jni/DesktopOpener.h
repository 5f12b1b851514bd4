#pragma once
// Opening a file with the desktop's default application, the way a file
// manager does: the opener (xdg-open, or the command in FOLIAN_OPENER, split at
// blanks into the program and its first arguments) is started with the path
// appended and is not waited for. It runs detached from the calling process,
// which keeps no child to reap. Stateless; safe to call from any thread.
#include <string>
#include <vector>

namespace folian {

inline constexpr const char* kOpenerVariable = "FOLIAN_OPENER";

// The opener's words: FOLIAN_OPENER's, or "xdg-open" when it is unset or blank.
std::vector<std::string> OpenerCommand();

// True when the opener was found and started. A path that names no existing
// file (and is not an address such as "https://...") is refused.
bool OpenWithDesktop(const std::string& path);

}  // namespace folian
