#pragma once
// A main window stand-in for the slot tests: records every status-list
// change, every Label6 text and every progress step.
#include <functional>
#include <string>
#include <vector>

#include "app/transfer/SlotHost.h"
#include "app/transfer/TransferSlots.h"

namespace orvane::test {

class FakeSlotHost : public SlotHost {
 public:
  struct Line {
    std::vector<std::string> texts;  // first text, then every replacement
    bool selected = false;
    const std::string& Text() const { return texts.back(); }
  };

  std::string number = "EP1033882A1";
  int seqNo = 1;
  int totPages = 12;
  std::string saveFolder;
  bool folderPerNumber = true;
  bool badPageMode = false;
  bool tempStop = false;
  bool allStop = false;
  bool aborted = false;
  int32_t pageCount = -1;
  std::vector<Line> lines;
  std::vector<std::string> label6;
  std::string textBox;
  bool textBoxSet = false;
  int progressMax = -1;
  int progress = 0;
  TransferSlots* slots = nullptr;
  std::function<void()> onEvents;  // runs inside every DoEvents

  std::string CurPatNum() const override { return number; }
  int SeqNo() const override { return seqNo; }
  int TotPages() const override { return totPages; }
  std::string SaveFolder() const override { return saveFolder; }
  bool FolderPerNumber() const override { return folderPerNumber; }
  bool BadPageMode() const override { return badPageMode; }
  bool TempStop() const override { return tempStop; }
  bool AllStop() const override { return allStop; }
  void SetAborted() override { aborted = true; }
  void SetPageCount(int32_t count) override { pageCount = count; }
  int AddStatusLine(const std::string& text) override {
    lines.push_back({{text}, false});
    return static_cast<int>(lines.size()) - 1;
  }
  void ReplaceStatusLine(int index, const std::string& text) override { lines.at(index).texts.push_back(text); }
  void SetStatusLineSelected(int index, bool selected) override { lines.at(index).selected = selected; }
  void SetLabel6(const std::string& text) override { label6.push_back(text); }
  void SetTextBox(const std::string& text) override {
    textBox = text;
    textBoxSet = true;
  }
  void SetProgressMax(int max) override { progressMax = max; }
  void StepProgress() override { ++progress; }
  void DoEvents() override {
    if (onEvents) onEvents();
    if (slots) slots->Engine().Poll(0);
  }

  // Skip as the window does it: cancel the transfers, then set the flag.
  void Skip() {
    slots->CancelAll();
    tempStop = true;
  }

  int Count(const std::vector<std::string>& texts, const std::string& text) const {
    int n = 0;
    for (const auto& t : texts) n += t == text;
    return n;
  }
};

}  // namespace orvane::test
