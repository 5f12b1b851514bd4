#include "app/window/OptionFiles.h"

#include <cstdlib>
#include <system_error>

#include "app/window/TextFile.h"

namespace orvane {
namespace {

std::filesystem::path homeFolder() {
  const char* home = std::getenv("HOME");
  if (home && *home) return home;
  return std::filesystem::temp_directory_path();
}

const char* envHome() {
  const char* value = std::getenv("ORVANE_HOME");
  return value && *value ? value : nullptr;
}

}  // namespace

std::filesystem::path SettingsRoot() {
  if (const char* home = envHome()) return home;
  return homeFolder() / ".orvane";
}

OptionFiles::OptionFiles(std::filesystem::path root) : m_root(std::move(root)) {}

OptionFiles OptionFiles::fromEnvironment() { return OptionFiles(SettingsRoot()); }

std::filesystem::path OptionFiles::path(OptionFile which) const {
  switch (which) {
    case OptionFile::SaveFolder: return m_root / "folder_path.txt";
    case OptionFile::Service: return m_root / "DBoption.txt";
    case OptionFile::Keep: return m_root / "option.txt";
    case OptionFile::FolderPerNumber: return m_root / "check.txt";
  }
  return {};
}

std::string OptionFiles::defaultSaveFolder() {
  if (const char* home = envHome()) return (std::filesystem::path(home) / "patent_file").string();
  return (homeFolder() / "patent_file").string();
}

std::string OptionFiles::defaultLine(OptionFile which) {
  return which == OptionFile::SaveFolder ? defaultSaveFolder() : "1";
}

bool OptionFiles::createMissing() const {
  std::error_code ec;
  std::filesystem::create_directories(m_root, ec);
  bool saveFolderExisted = std::filesystem::exists(path(OptionFile::SaveFolder), ec);
  for (OptionFile which : {OptionFile::Service, OptionFile::SaveFolder, OptionFile::Keep,
                           OptionFile::FolderPerNumber}) {
    if (!std::filesystem::exists(path(which), ec)) write(which, defaultLine(which));
  }
  return saveFolderExisted;
}

std::string OptionFiles::read(OptionFile which) const {
  auto line = ReadFirstLine(path(which));
  return line ? *line : defaultLine(which);
}

bool OptionFiles::write(OptionFile which, const std::string& line) const {
  return WriteTextFile(path(which), line + "\n");
}

bool OptionFiles::writeEmpty(OptionFile which) const { return WriteTextFile(path(which), ""); }

}  // namespace orvane
