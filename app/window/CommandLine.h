#pragma once
// The program's command line: `orvane` opens the window; `orvane --headless`
// runs the same window model and run driver without a display. Options pick
// the service, the save range and the IPDL kind for one run without touching
// the option files. Parsing never exits; errors come back in `error`.

#include <optional>
#include <string>
#include <vector>

#include "app/window/RetrievalService.h"

namespace orvane {

struct CommandLine {
  bool headless = false;
  bool help = false;
  std::optional<std::string> numbersFile;  // else standard input
  std::optional<Service> service;
  std::vector<std::string> ranges;  // check boxes to tick: CheckBox4 .. CheckBox8
  std::optional<std::string> pages; // page list for "Page"
  bool badPages = false;            // bad-page mode: the page list completes earlier documents
  std::optional<std::string> ipdlKind;
  bool print = false;
  // KIPRIS identifier; its password comes from ORVANE_KIPRIS_PASSWORD or a
  // prompt on the terminal, never from the command line.
  std::optional<std::string> kiprisUser;
  std::vector<std::string> toolkitArgs;  // left for the window toolkit
  std::string error;                     // empty when the command line is valid

  static CommandLine parse(const std::vector<std::string>& args);
  static std::string usage();
};

}  // namespace orvane
