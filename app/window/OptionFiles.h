#pragma once
// The settings root and the four one-line option files kept in it (save
// folder, service, what to keep, folder per number), plus the number list
// file. The root is $ORVANE_HOME when set, else ~/.orvane. Reading a missing
// or unreadable option file gives its default line; writing reports failure
// by its result. Cheap to copy; holds only paths.

#include <filesystem>
#include <string>

namespace orvane {

enum class OptionFile { SaveFolder, Service, Keep, FolderPerNumber };

// The settings root: $ORVANE_HOME when set, else ~/.orvane. Every file the
// program keeps there (option files, hosts.txt, scratch pages) is found from it.
std::filesystem::path SettingsRoot();

class OptionFiles {
 public:
  explicit OptionFiles(std::filesystem::path root);
  // The root from the environment ($ORVANE_HOME, else ~/.orvane).
  static OptionFiles fromEnvironment();

  const std::filesystem::path& root() const { return m_root; }
  std::filesystem::path path(OptionFile which) const;
  std::filesystem::path numberListFile() const { return m_root / "patnum_int.txt"; }

  // `patent_file` under $ORVANE_HOME when set, else under the home folder.
  static std::string defaultSaveFolder();
  static std::string defaultLine(OptionFile which);

  // Creates the root folder and each missing option file with its default
  // line. Returns whether the save-folder file existed already.
  bool createMissing() const;

  // The file's first line; its default line when the file cannot be read.
  std::string read(OptionFile which) const;
  // Replaces the file by `line` and a line end.
  bool write(OptionFile which, const std::string& line) const;
  // Replaces the file by an empty one (no choice made).
  bool writeEmpty(OptionFile which) const;

 private:
  std::filesystem::path m_root;
};

}  // namespace orvane
