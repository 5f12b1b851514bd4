// The output document's side of page import: its current input and merging.
#include <algorithm>

#include "pdf/base/Diagnostics.h"
#include "pdf/base/Status.h"
#include "pdf/doc/PDOutDoc.h"

namespace folian {

std::shared_ptr<PDInputDoc> PDOutDoc::OpenInput(const char* name, int32_t& error) {
  auto input = std::make_shared<PDInputDoc>();
  if (!input->Input().Open(name)) {
    error = input->Input().LastError() != 0 ? input->Input().LastError() : kFailed;
    return nullptr;
  }
  if (input->Input().IsEncrypted()) {
    error = kEncrypted;
    return nullptr;
  }
  return input;
}

void PDOutDoc::ReleaseInput() {
  if (m_input) m_input->SetAttached(false);
  m_input.reset();
}

bool PDOutDoc::InputOpen(const char* name) {
  ReleaseInput();
  if (!name || !*name) return Fail(kParamValue);
  int32_t error = 0;
  std::shared_ptr<PDInputDoc> input = OpenInput(name, error);
  if (!input) return Fail(error);
  input->SetAttached(true);
  m_input = std::move(input);
  return true;
}

bool PDOutDoc::Attach(std::shared_ptr<PDInputDoc> input) {
  if (!input) return Fail(kMissingHandle);
  if (input == m_input) return true;
  if (input->Attached()) return Fail(kBadCallingSequence);
  if (input->Input().IsEncrypted()) return Fail(kEncrypted);
  ReleaseInput();
  input->SetAttached(true);
  m_input = std::move(input);
  return true;
}

bool PDOutDoc::CopyRange(PDInputDoc& input, int32_t first, int32_t last) {
  if (m_state != kWriting) return Fail(kBadCallingSequence);
  if (!EndPage()) return false;
  // The header is written once, before the first page that shows it.
  if (!WriteHeaderOverlay()) return false;
  // What the import says concerns the input file, so it is recorded there.
  DiagnosticScope diagnostics(input.Input().Diagnostics());
  // The range is clamped by the pages the tree really holds, not by its /Count.
  // Links whose targets stay behind are taken out, and the input's named
  // destinations on the copied pages come along.
  input.Carry().Prepare(input.Input(), *this);
  // The carry needs the range as it will be copied: clamped to the pages held.
  const int32_t held = input.Input().PagesHeld();
  const int32_t carryFirst = std::max(first, 1);
  const int32_t carryLast = last < 1 || last > held ? held : last;
  CarryHooks carry(input.Input(), input.Carry(), carryFirst, carryLast);
  ImportHooksPair hooks(m_hooks, carry);
  // Form fields of the copied pages come along, with the values and fields the
  // caller set on the input.
  FormCarry forms(input.Input(), input.Forms(), m_form, input.Import());
  forms.Prepare();
  ImportHooksPair allHooks(hooks, forms);
  PDImport import(input.Input(), input.Import(), *this, &allHooks);
  bool copied = import.CopyPageRange(first, last);
  CarryNamedDests(input.Carry(), m_names);
  forms.Finish(input.Import(), *this, &m_hooks);
  if (!copied) return Fail(import.Error());
  return true;
}

bool PDOutDoc::InputCopyPages(int32_t first, int32_t last) {
  if (!m_input) return Fail(kBadCallingSequence);
  if (m_input->Input().IsEncrypted()) return Fail(kEncrypted);
  return CopyRange(*m_input, first, last);
}

bool PDOutDoc::InputCopyColor(const char* name) {
  if (!name || !*name) return Fail(kParamValue);
  if (!m_input) return Fail(kBadCallingSequence);
  if (m_input->Input().IsEncrypted()) return Fail(kEncrypted);
  if (m_state != kWriting) return Fail(kBadCallingSequence);
  if (m_host.CopyInputColor(name) == 0) return Fail(kInputPart);
  return true;
}

bool PDOutDoc::Merge(const char* name, int32_t first, int32_t last) {
  if (!name || !*name) return Fail(kParamValue);
  if (m_state != kWriting) return Fail(kBadCallingSequence);
  int32_t error = 0;
  std::shared_ptr<PDInputDoc> input = OpenInput(name, error);
  if (!input) return Fail(error);
  // While the merge runs, a document without a current input uses this one.
  bool borrowed = !m_input;
  if (borrowed) m_input = input;
  bool ok = CopyRange(*input, first, last);
  if (borrowed) m_input.reset();
  // The file is dropped: its numbering table is not needed again.
  ReleaseSourceTable(input->Import().table);
  return ok;
}

}  // namespace folian
