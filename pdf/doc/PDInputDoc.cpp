#include "pdf/doc/PDInputDoc.h"

#include "pdf/object/PDDict.h"

namespace folian {

PDValuePtr PDInputDoc::ResolvedInfo() {
  PDValue* info = m_input.Info();
  if (!info || !info->Dict()) return nullptr;
  auto copy = PDValue::MakeDict();
  PDValue* value = nullptr;
  int32_t key = 0;
  for (int32_t i = 0; info->Dict()->EntryAt(i, value, key); ++i) {
    // Entries are strings, names and dates; a reference is replaced by the value it
    // points to, and one that points to a structure is left out.
    PDValue* resolved = m_input.Resolve(value);
    if (!resolved || resolved->Kind() == PDKind::Reference || resolved->Kind() == PDKind::Dictionary ||
        resolved->Kind() == PDKind::Array)
      continue;
    copy->Dict()->SaveAttrVal(info->Dict()->KeyAt(key), resolved->Copy());
  }
  return copy;
}

}  // namespace folian
