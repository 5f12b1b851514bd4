#include "app/assembly/DocumentNames.h"

namespace orvane {
namespace {

std::string Join(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

}  // namespace

std::string DocumentSuffix(int BoxNumFile, int startNum, bool badPageMode) {
  if (badPageMode) return "_TOT";
  switch (BoxNumFile) {
    case kPageList: return "_PG" + std::to_string(startNum);
    case kClaims: return "_CLA";
    case kDescription: return "_SPE";
    case kDrawings: return "_DRA";
    default: return "_TOT";
  }
}

std::string DocumentEntry(const DocumentPlace& place, const std::string& suffix) { return place.number + suffix; }

std::string JoinedDocumentPath(const DocumentPlace& place, const std::string& suffix, const std::string& ext) {
  const std::string folder = place.folderPerNumber ? place.downfolder : place.saveFolder;
  return Join(folder, place.number + suffix + ext);
}

std::string PageFolder(const DocumentPlace& place) {
  if (place.folderPerNumber) return place.downfolder;
  if (!place.badPageMode) return place.imsifolder;
  return KeptPagesFolder(place);
}

std::string PageFilePath(const DocumentPlace& place, int page, const std::string& ext) {
  return Join(PageFolder(place), place.number + std::to_string(page) + ext);
}

std::string KeptPagesFolder(const DocumentPlace& place) { return Join(place.saveFolder, place.number); }

}  // namespace orvane
