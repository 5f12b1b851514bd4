#pragma once
// `orvane --headless`: builds the main window model without a display, applies
// the command line's one-run choices, fills the number box from the numbers
// file or the input stream and runs the driver. Returns the exit status: 0
// when every number was found and complete, 1 when some failed or the run did
// not start, 2 for bad usage, 3 when another run holds the settings root.

#include <functional>
#include <iosfwd>

#include "app/window/CommandLine.h"

namespace orvane {

class RetrievalForm;

inline constexpr int kExitSettingsInUse = 3;

// `setup` runs after the window has loaded and before the run starts; the
// program uses it to register the service procedures and transfers.
int RunHeadless(const CommandLine& commandLine, std::istream& in, std::ostream& out, std::ostream& err,
                const std::function<void(RetrievalForm&)>& setup = {});

}  // namespace orvane
