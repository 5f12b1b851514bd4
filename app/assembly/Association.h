#pragma once
// The program the desktop opens a file with: the file's type and its
// default application from xdg-mime, then the application's desktop file
// (under $XDG_DATA_HOME and $XDG_DATA_DIRS) and the program its Exec line
// starts. Stateless.
#include <string>

namespace orvane {

enum class AssociationStatus {
  FileNotFound,   // the file (or its folder) does not exist
  NoAssociation,  // no default application, or its program is not installed
  Found,
};

struct Association {
  AssociationStatus status = AssociationStatus::FileNotFound;
  std::string program;  // path of the associated program when Found
};

Association FindAssociation(const std::string& file);

// The program an Exec line of a desktop file starts ("" when none): its
// first word, quotes removed, looked up on PATH.
std::string ExecProgram(const std::string& execLine);

// The desktop file of a desktop id ("org.example.Viewer.desktop"), or "".
// A "-" in the id may stand for a sub-folder ("kde-viewer.desktop" is also
// looked for as kde/viewer.desktop).
std::string FindDesktopFile(const std::string& desktopId);

}  // namespace orvane
