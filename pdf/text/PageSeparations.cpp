#include "pdf/text/PageSeparations.h"

#include "pdf/object/PDDict.h"
#include "pdf/reader/PDFInput.h"

namespace folian {
namespace {

std::string DecodedName(const ByteString& name) {
  std::string out;
  for (int32_t i = name.StartsWith("/") ? 1 : 0; i < name.length(); ++i) {
    auto hex = [](char c) {
      return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
    };
    if (name[i] == '#' && i + 2 < name.length() && hex(name[i + 1]) >= 0 && hex(name[i + 2]) >= 0) {
      out += static_cast<char>(hex(name[i + 1]) * 16 + hex(name[i + 2]));
      i += 2;
    } else {
      out += name[i];
    }
  }
  return out;
}

}  // namespace

std::vector<std::string> PageSeparations(PDFInput& input, PDObject* page) {
  std::vector<std::string> names;
  PDObject* node = page;
  PDDict* resources = nullptr;
  for (int depth = 0; node && node->Root() && node->Root()->Dict() && depth < PDFInput::kMaxTreeDepth; ++depth) {
    PDDict* dict = node->Root()->Dict();
    PDValue* own = input.Resolve(dict->Get(kKeyResources));
    if (own && own->Is(PDKind::Dictionary)) {
      resources = own->Dict();
      break;
    }
    PDValue* parent = dict->Get(kKeyParent);
    if (!parent || !parent->Is(PDKind::Reference)) break;
    node = input.GetObj(parent->Number());
  }
  PDValue* spaces = resources ? input.Resolve(resources->Find("/ColorSpace")) : nullptr;
  if (!spaces || !spaces->Is(PDKind::Dictionary)) return names;
  PDValue* value = nullptr;
  int32_t key = 0;
  for (int32_t i = 0; spaces->Dict()->EntryAt(i, value, key); ++i) {
    PDValue* array = input.Resolve(value);
    if (!array || !array->Is(PDKind::Array)) continue;
    PDValue* family = input.Resolve(array->GetFirstEl());
    PDValue* colorant = array->GetFirstEl() ? input.Resolve(array->GetFirstEl()->Next()) : nullptr;
    if (!family || !family->IsText("/Separation") || !colorant || !colorant->Is(PDKind::Text)) continue;
    names.push_back(DecodedName(colorant->Text()));
  }
  return names;
}

}  // namespace folian
