// Reads the form of the bytes (entries, field list, widget geometry), fills every
// field it lists, adds a field, deletes one, and copies the pages into a memory
// output twice, as filling and merging do.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "pdf/doc/PDOutDoc.h"
#include "pdf/forms/FormEdit.h"
#include "pdf/forms/FormRead.h"

// Results are dropped on purpose: hostile input may fail anywhere, and only
// crashes, hangs and leaks count as findings here.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace folian;
  auto input = std::make_shared<PDInputDoc>();
  input->Input().SetDecodeCeiling(size_t{8} << 20);
  if (!input->Input().OpenMemory(reinterpret_cast<const char*>(data), size)) return 0;
  PDFInput& in = input->Input();
  FormState& state = input->Forms();
  FieldData entry;
  for (int32_t i = 1; i <= 3; ++i) (void)ReadFieldData(in, state, i, entry);
  std::vector<FieldEntry> fields = ListFields(in, state);
  int n = 0;
  for (const FieldEntry& field : fields) {
    if (++n > 20) break;
    FieldBox box;
    (void)ReadFieldBox(in, state, field.fullName.c_str(), 1, box);
    (void)SetFieldValue(in, state, field.fullName.c_str(), n % 2 ? "Yes" : "two words\rand a line", -1, -1);
  }
  if (!fields.empty()) (void)DeleteField(in, state, fields.back().fullName.c_str());
  AddedField added;
  added.name = "fuzz";
  added.width = 100;
  added.height = 20;
  added.borderColor = 0;
  (void)AddTextField(in, state, added);
  PDOutDoc output;
  (void)output.OpenMemory();
  if (output.Attach(input)) {
    (void)output.InputCopyPages(1, 0);
    (void)output.InputCopyPages(1, 2);
  }
  (void)output.Close();
  return 0;
}
