#include "app/window/CommandLine.h"

#include <algorithm>
#include <map>
#include <sstream>

namespace orvane {
namespace {

std::optional<Service> parseService(const std::string& text) {
  static const std::map<std::string, Service> names = {
      {"1", Service::Espacenet}, {"espacenet", Service::Espacenet}, {"esp@cenet", Service::Espacenet},
      {"2", Service::Uspto},     {"uspto", Service::Uspto},         {"3", Service::Ipdl},
      {"ipdl", Service::Ipdl},   {"4", Service::Delphion},          {"delphion", Service::Delphion},
      {"5", Service::Kipris},    {"kipris", Service::Kipris},
      {"6", Service::Ops},       {"ops", Service::Ops}};
  std::string lower;
  for (char c : text) lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  auto it = names.find(lower);
  if (it == names.end()) return std::nullopt;
  return it->second;
}

std::optional<std::string> parseRange(const std::string& word) {
  static const std::map<std::string, std::string> boxes = {{"full", "CheckBox4"},
                                                           {"pages", "CheckBox5"},
                                                           {"claims", "CheckBox6"},
                                                           {"description", "CheckBox7"},
                                                           {"drawings", "CheckBox8"}};
  auto it = boxes.find(word);
  if (it == boxes.end()) return std::nullopt;
  return it->second;
}

std::optional<std::string> parseKind(const std::string& text) {
  static const std::map<std::string, std::string> kinds = {
      {"patent-publication", "특허공개"}, {"utility-publication", "실용공개"}, {"patent-gazette", "특허공보"},
      {"utility-registration", "실용등록"}, {"paj", "PAJ"}, {"PAJ", "PAJ"}, {"특허공개", "특허공개"},
      {"실용공개", "실용공개"}, {"특허공보", "특허공보"}, {"실용등록", "실용등록"}};
  auto it = kinds.find(text);
  if (it == kinds.end()) return std::nullopt;
  return it->second;
}

// The save range groups: Full Pages, Page, and Claims with Description and
// Drawings; a run keeps one group, as the window's check boxes do.
bool rangesCompatible(const std::vector<std::string>& boxes) {
  int groups = 0;
  bool full = false, page = false, sections = false;
  for (const auto& b : boxes) {
    full = full || b == "CheckBox4";
    page = page || b == "CheckBox5";
    sections = sections || (b != "CheckBox4" && b != "CheckBox5");
  }
  groups = int(full) + int(page) + int(sections);
  return groups <= 1;
}

}  // namespace

CommandLine CommandLine::parse(const std::vector<std::string>& args) {
  CommandLine cl;
  auto fail = [&cl](const std::string& message) {
    if (cl.error.empty()) cl.error = message;
  };
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](const char* option) -> std::optional<std::string> {
      if (i + 1 >= args.size()) {
        fail(std::string(option) + " needs a value");
        return std::nullopt;
      }
      return args[++i];
    };
    if (a == "--headless") {
      cl.headless = true;
    } else if (a == "--help" || a == "-h") {
      cl.help = true;
    } else if (a == "--numbers") {
      if (auto v = value("--numbers")) cl.numbersFile = *v;
    } else if (a == "--service") {
      if (auto v = value("--service")) {
        cl.service = parseService(*v);
        if (!cl.service) fail("unknown service: " + *v);
      }
    } else if (a == "--range") {
      if (auto v = value("--range")) {
        std::stringstream words(*v);
        std::string word;
        while (std::getline(words, word, ',')) {
          if (auto box = parseRange(word))
            cl.ranges.push_back(*box);
          else
            fail("unknown save range: " + word);
        }
      }
    } else if (a == "--pages") {
      if (auto v = value("--pages")) cl.pages = *v;
    } else if (a == "--bad-pages") {
      if (auto v = value("--bad-pages")) {
        cl.pages = *v;
        cl.badPages = true;
      }
    } else if (a == "--kind") {
      if (auto v = value("--kind")) {
        cl.ipdlKind = parseKind(*v);
        if (!cl.ipdlKind) fail("unknown IPDL kind: " + *v);
      }
    } else if (a == "--print") {
      cl.print = true;
    } else if (a == "--kipris-user") {
      if (auto v = value("--kipris-user")) cl.kiprisUser = *v;
    } else if (a == "--kipris-password" || a.rfind("--kipris-password=", 0) == 0) {
      // A password on the command line would show in the process list.
      fail("the KIPRIS password is read from ORVANE_KIPRIS_PASSWORD or the terminal, not the command line");
    } else {
      cl.toolkitArgs.push_back(a);
    }
  }
  // Without --headless the toolkit reads its own options (-platform, -style).
  if (cl.headless && !cl.toolkitArgs.empty()) fail("unknown argument: " + cl.toolkitArgs.front());
  if (cl.pages && std::find(cl.ranges.begin(), cl.ranges.end(), "CheckBox5") == cl.ranges.end())
    cl.ranges.push_back("CheckBox5");
  if (!rangesCompatible(cl.ranges)) fail("--range: full, pages and claims/description/drawings exclude each other");
  if (cl.badPages && cl.ranges != std::vector<std::string>{"CheckBox5"}) fail("--bad-pages takes no other --range");
  if (!cl.headless && (cl.numbersFile || cl.service || !cl.ranges.empty() || cl.pages || cl.ipdlKind || cl.print))
    fail("--numbers, --service, --range, --pages, --bad-pages, --kind and --print need --headless");
  if (!cl.headless && cl.kiprisUser) fail("--kipris-user needs --headless");
  return cl;
}

std::string CommandLine::usage() {
  return "usage: orvane [--headless [--numbers FILE] [--service NAME] [--range LIST] [--pages LIST]\n"
         "                         [--bad-pages LIST] [--kind KIND] [--print] [--kipris-user ID]]\n"
         "  --headless       run without a window; numbers come from FILE or standard input\n"
         "  --service NAME   espacenet, uspto, ipdl, delphion, kipris or ops (or 1 to 6), for this run only\n"
         "  --range LIST     full | pages | claims,description,drawings (any of these three)\n"
         "  --pages LIST     page numbers for 'pages', such as 1,3 (implies --range pages)\n"
         "  --bad-pages LIST fetch these pages again and join each number's whole document\n"
         "                   from them and the pages kept from an earlier run (bad-page mode)\n"
         "  --kind KIND      IPDL kind: patent-publication, utility-publication, patent-gazette,\n"
         "                   utility-registration or paj\n"
         "  --print          tick 'To Printer'\n"
         "  --kipris-user ID log in to KIPRIS as ID; the password is taken from the environment\n"
         "                   variable ORVANE_KIPRIS_PASSWORD or asked for on the terminal\n"
         "  (ops)            the EPO OPS consumer key and secret come from ORVANE_OPS_KEY and\n"
         "                   ORVANE_OPS_SECRET, else from ops_credentials.txt in the settings root\n"
         "exit status (headless): 0 every number found and complete, 1 some failed, 2 bad usage,\n"
         "                        3 another run is using the same settings root\n";
}

}  // namespace orvane
