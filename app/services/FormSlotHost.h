#pragma once
// The transfer slots' view of the main window: run state from RetrievalForm's
// RunState, the status list ListBox1, Label6, the hidden TextBox, the
// progress bar and one turn of the window's event pump. Holds a reference to
// the window, which must outlive it (the window owns it through its session).
#include "app/transfer/SlotHost.h"

namespace orvane {

class RetrievalForm;

class FormSlotHost : public SlotHost {
 public:
  explicit FormSlotHost(RetrievalForm& form) : m_form(form) {}

  std::string CurPatNum() const override;
  int SeqNo() const override;
  int TotPages() const override;
  std::string SaveFolder() const override;
  bool FolderPerNumber() const override;
  bool BadPageMode() const override;
  bool TempStop() const override;
  bool AllStop() const override;
  void SetAborted() override;
  void SetPageCount(int32_t count) override;

  int AddStatusLine(const std::string& text) override;
  void ReplaceStatusLine(int index, const std::string& text) override;
  void SetStatusLineSelected(int index, bool selected) override;

  void SetLabel6(const std::string& text) override;
  void SetTextBox(const std::string& text) override;
  // Also resets the bar and shows it: a new range starts from nothing.
  void SetProgressMax(int max) override;
  void StepProgress() override;
  void DoEvents() override;

 private:
  RetrievalForm& m_form;
};

}  // namespace orvane
