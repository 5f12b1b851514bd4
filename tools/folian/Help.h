#pragma once
// The help texts of folian: one per command, the overview, and the version.
#include <cstdio>
#include <string>

namespace folian::cli {

// Prints the help of `command` to `out`; false when there is no such command.
bool PrintCommandHelp(const std::string& command, std::FILE* out);
// Every command's synopsis and the exit statuses.
void PrintOverview(std::FILE* out);
void PrintVersion(std::FILE* out);

}  // namespace folian::cli
