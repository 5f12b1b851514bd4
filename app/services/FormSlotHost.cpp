#include "app/services/FormSlotHost.h"

#include "app/window/RetrievalForm.h"

namespace orvane {

std::string FormSlotHost::CurPatNum() const { return m_form.run().CurPatNum; }
int FormSlotHost::SeqNo() const { return m_form.run().SeqNo; }
int FormSlotHost::TotPages() const { return m_form.run().TotPages; }
std::string FormSlotHost::SaveFolder() const { return m_form.run().SaveFolder; }
bool FormSlotHost::FolderPerNumber() const { return m_form.setting().folderPerNumber(); }
bool FormSlotHost::BadPageMode() const { return m_form.badPageMode(); }
bool FormSlotHost::TempStop() const { return m_form.run().TempStop; }
bool FormSlotHost::AllStop() const { return m_form.run().AllStop; }
void FormSlotHost::SetAborted() { m_form.run().Aborted = true; }
void FormSlotHost::SetPageCount(int32_t count) { m_form.run().PageCount = count; }

int FormSlotHost::AddStatusLine(const std::string& text) {
  Control& list = m_form.ui().ListBox1;
  list.addLine(text);
  return list.listCount() - 1;
}

void FormSlotHost::ReplaceStatusLine(int index, const std::string& text) {
  m_form.ui().ListBox1.setLine(index, text);
}

void FormSlotHost::SetStatusLineSelected(int index, bool selected) {
  m_form.ui().ListBox1.setSelected(index, selected);
}

void FormSlotHost::SetLabel6(const std::string& text) { m_form.ui().Label6.setText(text); }
void FormSlotHost::SetTextBox(const std::string& text) { m_form.ui().TextBox.setText(text); }

void FormSlotHost::SetProgressMax(int max) {
  Control& bar = m_form.ui().ccrpProgressBar1;
  bar.setValue(0);
  bar.setMax(max);
  bar.setVisible(true);
}

void FormSlotHost::StepProgress() { m_form.progressBar(); }
void FormSlotHost::DoEvents() { m_form.doEvents(); }

}  // namespace orvane
