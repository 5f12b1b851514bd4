#pragma once
// Names and folders of joined documents and of the page files they are made
// from, for every combination of the per-number folder setting and bad-page
// mode. Pure functions over a DocumentPlace; paths are joined with "/".
#include <string>

#include "app/services/SectionAssembly.h"  // SectionCode

namespace orvane {

struct DocumentPlace {
  std::string number;      // CurPatNum
  std::string saveFolder;  // SaveFolder
  std::string downfolder;  // SaveFolder/number (per-number folder on)
  std::string imsifolder;  // SaveFolder/temp (per-number folder off)
  bool folderPerNumber = false;
  bool badPageMode = false;
};

// "_TOT", "_PG" + startNum, "_CLA", "_SPE" or "_DRA"; bad-page mode always
// joins the whole document ("_TOT"). An unknown code gives "_TOT".
std::string DocumentSuffix(int BoxNumFile, int startNum, bool badPageMode);

// The Combo1 entry of a joined document: number + suffix.
std::string DocumentEntry(const DocumentPlace& place, const std::string& suffix);

// The joined document: downfolder/number+suffix+ext with the per-number
// folder, else SaveFolder/number+suffix+ext ("_TOT" in bad-page mode).
std::string JoinedDocumentPath(const DocumentPlace& place, const std::string& suffix, const std::string& ext);

// The folder the page files of the section are in: downfolder, imsifolder,
// or SaveFolder/number in bad-page mode without the per-number folder.
std::string PageFolder(const DocumentPlace& place);
// PageFolder/number + page + ext.
std::string PageFilePath(const DocumentPlace& place, int page, const std::string& ext);

// SaveFolder/number: where a stopped run keeps its pages for a bad-page run.
std::string KeptPagesFolder(const DocumentPlace& place);

}  // namespace orvane
