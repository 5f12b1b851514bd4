#include "app/services/NumberFolders.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "app/services/PageList.h"
#include "app/transfer/SlotState.h"
#include "app/window/RetrievalForm.h"

namespace orvane {
namespace {

namespace fs = std::filesystem;

// Whether a file can be made in the folder: the page files go there.
bool Writable(const std::string& folder) {
  if (folder.empty()) return false;
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) return false;
  const fs::path probe = fs::path(folder) / ".orvane-write-test";
  bool ok = static_cast<bool>(std::ofstream(probe, std::ios::binary | std::ios::trunc));
  fs::remove(probe, ec);
  return ok;
}

}  // namespace

void CreateFolder(const std::string& folder) {
  std::error_code ec;
  if (!folder.empty()) fs::create_directories(folder, ec);
}

bool PrepareNumberFolders(RetrievalForm& form, SlotState& state, const std::string& number, std::int16_t seq) {
  RunState& run = form.run();
  CreateFolder(run.SaveFolder);
  std::string pages;
  if (form.setting().folderPerNumber()) {
    state.downfolder = run.SaveFolder + "/" + number;
    CreateFolder(state.downfolder);
    pages = state.downfolder;
  } else {
    state.imsifolder = run.SaveFolder + "/temp";
    CreateFolder(state.imsifolder);
    pages = state.imsifolder;
    // Bad-page mode writes beside the pages an earlier run kept.
    if (form.badPageMode()) {
      pages = run.SaveFolder + "/" + number;
      CreateFolder(pages);
    }
  }
  if (Writable(pages)) return true;
  form.ui().ListBox1.addLine(UnwritableFolderText(seq, number, pages));
  form.ui().Label6.setText(UnwritableFolderText(seq, number, pages));
  return false;
}

void RunPageListEntries(RetrievalForm& form, int pageCount, const std::string& number, std::int16_t seq,
                        const std::function<bool()>& stopped, const std::function<void(int page)>& fetch,
                        const std::function<void()>& finish) {
  RunState& run = form.run();
  const bool badPageMode = form.badPageMode();
  const std::vector<std::string> entries = SplitPageList(form.ui().TextBox3.text());
  bool lastFetched = false;
  for (size_t i = 0; i < entries.size() && !stopped(); ++i) {
    run.TotPages = static_cast<std::int16_t>(pageCount);
    const bool last = i + 1 == entries.size();
    if (last && badPageMode) run.LastBadPage = true;
    const int page = PageNumber(entries[i]);
    if (page < 1 || page > run.TotPages) {
      form.ui().ListBox1.addLine(StatusLinePrefix(seq, number, entries[i]) + " Page  없음 !");
      continue;
    }
    fetch(page);
    lastFetched = last;
  }
  if (badPageMode && run.LastBadPage && !lastFetched && !stopped()) finish();
}

std::string StatusLinePrefix(std::int16_t seq, const std::string& number, const std::string& page) {
  return std::to_string(seq) + ". " + number + " :  " + page;
}

std::string UnwritableFolderText(std::int16_t seq, const std::string& number, const std::string& folder) {
  return StatusLinePrefix(seq, number, "") + "저장 폴더에 쓸 수 없습니다: " + folder;
}

}  // namespace orvane
