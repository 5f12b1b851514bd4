#pragma once
// What the transfer slots need from the main window: the run state they read
// and set, the status list, the one-line status label, the text box that
// receives scraped pages, the progress bar, and one turn of the event pump.
//
// The main window implements it; the slots hold a reference for their whole
// life. Every call comes from the window thread.
#include <cstdint>
#include <string>

namespace orvane {

class SlotHost {
 public:
  virtual ~SlotHost() = default;

  // Run state (read).
  virtual std::string CurPatNum() const = 0;
  virtual int SeqNo() const = 0;
  virtual int TotPages() const = 0;
  virtual std::string SaveFolder() const = 0;
  virtual bool FolderPerNumber() const = 0;  // the settings' folder-per-number option
  virtual bool BadPageMode() const = 0;      // mnuBad checked
  virtual bool TempStop() const = 0;
  virtual bool AllStop() const = 0;
  // Run state (set).
  virtual void SetAborted() = 0;
  virtual void SetPageCount(int32_t count) = 0;

  // ListBox1. A replaced line keeps its selection state.
  virtual int AddStatusLine(const std::string& text) = 0;  // index of the new line
  virtual void ReplaceStatusLine(int index, const std::string& text) = 0;
  virtual void SetStatusLineSelected(int index, bool selected) = 0;

  virtual void SetLabel6(const std::string& text) = 0;
  virtual void SetTextBox(const std::string& text) = 0;  // the hidden TextBox
  virtual void SetProgressMax(int max) = 0;
  virtual void StepProgress() = 0;  // progressBar: one step

  // Lets pending events run once without blocking: the transfers (through
  // TransferEngine::Poll(0)), and in the GUI the window's own events.
  virtual void DoEvents() = 0;
};

}  // namespace orvane
