#include "pdf/content/FontStore.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "pdf/base/Diagnostics.h"
#include "pdf/base/NumberFormat.h"
#include "pdf/object/PDDict.h"
#include "pdf/reader/PDFInput.h"
#include "pdf/writer/PDFile.h"

namespace folian {
namespace {

int32_t IntOf(const PDValue* value, int32_t fallback) {
  return value && value->Is(PDKind::Integer) ? value->Number() : fallback;
}

}  // namespace

std::string FontStore::KeyOf(const ByteString& baseFont) {
  if (baseFont.length() > 7 && baseFont[7] == '+') return "/" + baseFont.Mid(8).str();
  return baseFont.str();
}

bool FontStore::IsStorable(PDFInput& input, PDValue* root) {
  PDDict* dict = root && root->Is(PDKind::Dictionary) ? root->Dict() : nullptr;
  if (!dict || root->HasStream()) return false;
  PDValue* type = dict->Get(kKeyType);
  if (!type || !type->IsText("/Font")) return false;  // most objects, told apart at once
  PDValue* base = dict->Find("/BaseFont");
  int32_t widthsKey = dict->FindKey("/Widths");
  if (!base || !base->Is(PDKind::Text) || widthsKey < 0) return false;
  PDValue* widths = dict->Get(widthsKey);
  if (widths && widths->Is(PDKind::Reference)) {
    PDValue* array = input.Resolve(widths);
    if (!array || !array->Is(PDKind::Array)) return false;
    dict->SaveAttrVal(widthsKey, array->Copy());
  }
  return dict->Get(widthsKey) && dict->Get(widthsKey)->Is(PDKind::Array);
}

bool FontStore::StoreFont(int32_t outputId, PDValuePtr font) {
  PDDict* dict = font && font->Dict() ? font->Dict() : nullptr;
  PDValue* base = dict ? dict->Find("/BaseFont") : nullptr;
  if (!base || !base->Is(PDKind::Text)) {
    Diag("StoreFont - error 1\n");
    return false;
  }
  std::vector<Stored>& fonts = m_fonts[KeyOf(base->Text())];
  for (const Stored& stored : fonts) {
    if (stored.id == outputId) {
      Diag("StoreFont\n");
      return true;
    }
  }
  fonts.push_back(Stored{outputId, std::move(font)});
  return true;
}

int32_t FontStore::Count() const {
  int32_t count = 0;
  for (const auto& [key, fonts] : m_fonts) count += static_cast<int32_t>(fonts.size());
  return count;
}

bool FontStore::WriteAll(PDFile& file) {
  bool allWritten = true;
  for (auto& [key, fonts] : m_fonts) {
    double merged[256] = {};
    int32_t widest = -1;
    std::vector<int32_t> ranges;
    for (const Stored& stored : fonts) {
      PDDict& dict = *stored.font->Dict();
      int32_t first = IntOf(dict.Find("/FirstChar"), 0);
      PDValue* widths = dict.Find("/Widths");
      int32_t count = widths && widths->Is(PDKind::Array) ? widths->Number() : 0;
      int32_t last = IntOf(dict.Find("/LastChar"), first + count - 1);
      ranges.push_back(last - first);
      if (last - first > widest) widest = last - first;
      int32_t code = first;
      for (PDValue* el = widths ? widths->GetFirstEl() : nullptr; el; el = el->Next(), ++code)
        if (code >= 0 && code < 256 && el->RealValue() != 0) merged[code] = el->RealValue();
    }
    for (size_t i = 0; i < fonts.size(); ++i) {
      PDDict& dict = *fonts[i].font->Dict();
      int32_t first = IntOf(dict.Find("/FirstChar"), 0);
      PDValue* widths = dict.Find("/Widths");
      int32_t code = first;
      for (PDValue* el = widths ? widths->GetFirstEl() : nullptr; el; el = el->Next(), ++code) {
        if (code < 0 || code >= 256 || el->RealValue() != 0 || merged[code] == 0) continue;
        if (el->Is(PDKind::Integer))
          el->SetNumber(static_cast<int32_t>(std::lround(merged[code])));
        else
          el->SetText(FormatNumber(static_cast<float>(merged[code])));
      }
      if (ranges[i] != widest) {
        char tag[16];
        std::snprintf(tag, sizeof tag, "/A%x+", static_cast<unsigned>(fonts[i].id % kOutputIdBase));
        dict.SaveAttrVal("/BaseFont", PDValue::MakeText(ByteString(std::string(tag) + (key.c_str() + 1))));
      }
      PDObject object(std::move(fonts[i].font), fonts[i].id);
      if (!file.WriteObject(object)) {
        Diag("Write stored font - error\n");
        allWritten = false;
      }
    }
    fonts.clear();
  }
  m_fonts.clear();
  return allWritten;
}

}  // namespace folian
