#include "pdf/outline/PDDest.h"

#include "pdf/base/NumberFormat.h"

namespace folian {

PDDest PDDest::Copy() const {
  PDDest copy;
  copy.pageId = pageId;
  copy.box = box;
  if (view) copy.view = view->Copy();
  return copy;
}

namespace {

bool WriteFit(PDFile& file, const std::array<float, 4>& box) {
  float left = box[0], bottom = box[1], right = box[2], top = box[3];
  if (left == 0 && right == 0 && top == 0) {
    if (bottom != 0) return file.WriteToken("/FitH") && file.WriteToken(FormatNumber(bottom));
    return file.WriteToken("/XYZ null null null");
  }
  return file.WriteToken("/FitR") && file.WriteToken(FormatNumber(left)) && file.WriteToken(FormatNumber(bottom)) &&
         file.WriteToken(FormatNumber(right)) && file.WriteToken(FormatNumber(top));
}

bool IsViewToken(const PDValue* value) {
  if (value->Kind() == PDKind::Integer) return true;
  if (value->Kind() != PDKind::Text || value->Text().empty()) return false;
  char c = value->Text()[0];
  // Names, null and numbers; strings, booleans and anything else do not belong in a view.
  return c == '/' || value->IsText("null") || c == '-' || c == '+' || c == '.' || (c >= '0' && c <= '9');
}

}  // namespace

PDValuePtr CopyView(const PDValue* destArray) {
  auto view = PDValue::MakeArray();
  if (!destArray || destArray->Kind() != PDKind::Array) return view;
  const PDValue* first = destArray->GetFirstEl();
  if (!first) return view;
  bool fitName = false;
  for (const PDValue* el = first->Next(); el; el = el->Next()) {
    if (!IsViewToken(el)) return PDValue::MakeArray();
    if (el == first->Next()) fitName = el->Kind() == PDKind::Text && el->Text()[0] == '/';
    view->AppendEl(el->Copy());
  }
  if (!fitName) return PDValue::MakeArray();
  return view;
}

bool WriteDestArray(PDFile& file, const PDDest& dest) {
  if (!(file.WriteToken("[") && file.WriteRef(dest.pageId))) return false;
  if (dest.view && dest.view->Number() > 0) {
    for (const PDValue* el = dest.view->GetFirstEl(); el; el = el->Next())
      if (!file.WriteValue(el)) return false;
  } else if (dest.view) {
    if (!file.WriteToken("/XYZ null null null")) return false;
  } else if (!WriteFit(file, dest.box)) {
    return false;
  }
  return file.WriteToken("]");
}

}  // namespace folian
