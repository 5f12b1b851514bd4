#pragma once
// PDInputDoc: an input document as the interfaces see it (the object behind an
// IDoc handle, and a PDoc's current input): the reader, the import state that
// repeated imports share, the current page, and whether an output document has
// it attached. Shared between the handle and the output document that uses it.
#include <cstdint>
#include <memory>

#include "pdf/reader/PDFInput.h"
#include "pdf/import/PDImport.h"
#include "pdf/outline/InputCarry.h"
#include "pdf/forms/FormState.h"

namespace folian {

class PDInputDoc {
public:
  PDFInput& Input() { return m_input; }
  ImportState& Import() { return m_import; }
  // Which input pages became which output pages, and the input's destinations.
  CarryState& Carry() { return m_carry; }
  // The caller's edits of the input's form, applied when its pages are copied.
  FormState& Forms() { return m_forms; }

  // 0-based index of the current page, or -1 before any was acquired.
  [[nodiscard]] int32_t CurrentPage() const { return m_currentPage; }
  void SetCurrentPage(int32_t index) {
    m_currentPage = index;
    ++m_pageSelections;
  }
  // Counts SetCurrentPage calls, so a reader can tell that a page was selected
  // again even when it is the page it was on.
  [[nodiscard]] uint32_t PageSelections() const { return m_pageSelections; }

  [[nodiscard]] bool Attached() const { return m_attached; }
  void SetAttached(bool attached) { m_attached = attached; }

  // A copy of the information dictionary with references resolved, so that it can
  // be written into another file without the objects it pointed to; none when the
  // input has none.
  PDValuePtr ResolvedInfo();

private:
  PDFInput m_input;
  ImportState m_import;
  CarryState m_carry;
  FormState m_forms;
  int32_t m_currentPage = -1;
  uint32_t m_pageSelections = 0;
  bool m_attached = false;
};

}  // namespace folian
