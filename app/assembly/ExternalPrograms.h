#pragma once
// The outside programs the assembly starts: the viewer (xdg-open), the print
// command (lp, to the default printer) and the association lookup
// (xdg-mime). Each command may be replaced through an environment variable,
// whose value is split at blanks into the program and its first arguments:
//   ORVANE_OPEN      viewer          (default "xdg-open")
//   ORVANE_LP        print command   (default "lp")
//   ORVANE_XDG_MIME  mime lookup     (default "xdg-mime")
// Installations without CUPS and the tests put their own commands there.
// Stateless; failures come back as results, nothing throws.
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace orvane {

using Command = std::vector<std::string>;

inline constexpr const char* kOpenVariable = "ORVANE_OPEN";
inline constexpr const char* kPrintVariable = "ORVANE_LP";
inline constexpr const char* kMimeVariable = "ORVANE_XDG_MIME";

// The command named by the variable, or the fallback when it is unset or blank.
Command CommandFromEnvironment(const char* variable, const char* fallback);

// The program's path: a name with "/" as it is (when executable), else the
// first executable match on PATH; "" when there is none.
std::string FindProgram(const std::string& name);

// Starts the command with the arguments appended and does not wait for it
// (the program keeps running after this returns; no zombie is left). False
// when the program cannot be found or started.
bool StartDetached(const Command& command);

// Runs the command and waits for it: its exit status, or -1 when it could
// not start, ended by a signal, or ran longer than timeoutMs (it is then
// killed). What it writes on its standard output goes to `out` when given.
int RunCommand(const Command& command, int timeoutMs, std::string* out = nullptr);

// RunCommand for a caller that must stay responsive: `whileWaiting` is
// called over and over while the command runs (the window pumps its events
// there, for some milliseconds each time). When it returns false the command
// is killed and the result is -1.
int RunCommandWhile(const Command& command, int timeoutMs, const std::function<bool()>& whileWaiting);

// What the command wrote on its standard output, or nothing when it did not
// end with status 0 within timeoutMs.
std::optional<std::string> RunForOutput(const Command& command, int timeoutMs = 5000);

// The command as one line for people to read; words with blanks or quotes
// are put in single quotes.
std::string CommandText(const Command& command);

}  // namespace orvane
