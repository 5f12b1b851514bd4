#include "app/assembly/Association.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "app/assembly/ExternalPrograms.h"

namespace orvane {
namespace {

namespace fs = std::filesystem;

std::string FirstLine(const std::string& text) {
  std::string line = text.substr(0, text.find('\n'));
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.pop_back();
  size_t start = line.find_first_not_of(" \t");
  return start == std::string::npos ? std::string() : line.substr(start);
}

std::vector<fs::path> ApplicationFolders() {
  std::vector<fs::path> folders;
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  const char* home = std::getenv("HOME");
  if (dataHome && *dataHome) {
    folders.push_back(fs::path(dataHome) / "applications");
  } else if (home && *home) {
    folders.push_back(fs::path(home) / ".local/share/applications");
  }
  const char* dataDirs = std::getenv("XDG_DATA_DIRS");
  std::istringstream dirs(dataDirs && *dataDirs ? dataDirs : "/usr/local/share:/usr/share");
  for (std::string dir; std::getline(dirs, dir, ':');) {
    if (!dir.empty()) folders.push_back(fs::path(dir) / "applications");
  }
  return folders;
}

// The Exec value of the [Desktop Entry] group.
std::string ExecLineOf(const std::string& desktopFile) {
  std::ifstream in(desktopFile);
  bool inEntry = false;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] == '[') {
      inEntry = line == "[Desktop Entry]";
      continue;
    }
    if (inEntry && line.rfind("Exec", 0) == 0) {
      size_t eq = line.find('=');
      if (eq != std::string::npos && line.find_first_not_of(" \t", 4) == eq) return line.substr(eq + 1);
    }
  }
  return "";
}

}  // namespace

std::string ExecProgram(const std::string& execLine) {
  size_t start = execLine.find_first_not_of(" \t");
  if (start == std::string::npos) return "";
  std::string word;
  if (execLine[start] == '"') {
    size_t end = execLine.find('"', start + 1);
    word = execLine.substr(start + 1, end == std::string::npos ? std::string::npos : end - start - 1);
  } else {
    size_t end = execLine.find_first_of(" \t", start);
    word = execLine.substr(start, end == std::string::npos ? std::string::npos : end - start);
  }
  return FindProgram(word);
}

std::string FindDesktopFile(const std::string& desktopId) {
  if (desktopId.empty() || desktopId.find('/') != std::string::npos) return "";
  std::vector<std::string> names = {desktopId};
  for (size_t dash = desktopId.find('-'); dash != std::string::npos; dash = desktopId.find('-', dash + 1)) {
    std::string nested = desktopId;
    nested[dash] = '/';
    names.push_back(nested);
  }
  std::error_code ec;
  for (const fs::path& folder : ApplicationFolders()) {
    for (const std::string& name : names) {
      const fs::path candidate = folder / name;
      if (fs::is_regular_file(candidate, ec)) return candidate.string();
    }
  }
  return "";
}

Association FindAssociation(const std::string& file) {
  Association result;
  std::error_code ec;
  if (file.empty() || !fs::exists(file, ec)) return result;
  result.status = AssociationStatus::NoAssociation;
  Command mime = CommandFromEnvironment(kMimeVariable, "xdg-mime");
  Command filetype = mime;
  filetype.insert(filetype.end(), {"query", "filetype", file});
  const std::string type = FirstLine(RunForOutput(filetype).value_or(""));
  if (type.empty()) return result;
  Command query = mime;
  query.insert(query.end(), {"query", "default", type});
  std::string desktopId = FirstLine(RunForOutput(query).value_or(""));
  desktopId = desktopId.substr(0, desktopId.find(';'));
  const std::string desktopFile = FindDesktopFile(desktopId);
  if (desktopFile.empty()) return result;
  result.program = ExecProgram(ExecLineOf(desktopFile));
  if (!result.program.empty()) result.status = AssociationStatus::Found;
  return result;
}

}  // namespace orvane
