// orvane: the window program, or with --headless the same window model and
// run driver without a display.
#include <iostream>
#include <string>
#include <vector>

#include "app/assembly/Program.h"
#include "app/qt/QtProgram.h"
#include "app/window/CommandLine.h"
#include "app/window/HeadlessRun.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  const orvane::CommandLine commandLine = orvane::CommandLine::parse(args);
  if (commandLine.help) {
    std::cout << orvane::CommandLine::usage();
    return 0;
  }
  if (!commandLine.error.empty()) {
    std::cerr << "orvane: " << commandLine.error << "\n" << orvane::CommandLine::usage();
    return 2;
  }
  auto attach = [](orvane::RetrievalForm& form) { orvane::AttachProgram(form); };
  if (commandLine.headless) return orvane::RunHeadless(commandLine, std::cin, std::cout, std::cerr, attach);
  // Qt reads its own options (-platform, -style) from the arguments.
  return orvane::RunWindowProgram(argc, argv, attach);
}
