#include "pdf/content/InputFonts.h"

#include <charconv>
#include <cmath>
#include <set>
#include <string>
#include <unordered_set>

#include "pdf/content/GlyphNames.h"
#include "pdf/base/Diagnostics.h"
#include "pdf/object/PDDict.h"
#include "pdf/reader/PDFInput.h"
#include "pdf/base/Status.h"

namespace folian {
namespace {

// Font dictionaries and page-tree walks are bounded: a hostile file may loop its
// /Kids or hold millions of fonts.
constexpr int32_t kMaxNodes = 200000;

PDDict* DictOf(PDFInput& input, PDValue* value) {
  PDValue* resolved = input.Resolve(value);
  return resolved && resolved->Is(PDKind::Dictionary) ? resolved->Dict() : nullptr;
}

bool IntegerOf(PDFInput& input, PDValue* value, int32_t& out) {
  PDValue* resolved = input.Resolve(value);
  if (!resolved || !resolved->Is(PDKind::Integer)) return false;
  out = resolved->Number();
  return true;
}

double RealOf(PDFInput& input, PDValue* value) {
  PDValue* resolved = input.Resolve(value);
  return resolved ? resolved->RealValue() : 0;
}

int16_t ClampWidth(double width) {
  if (width > 32767) return 32767;
  if (width < -32768) return -32768;
  return static_cast<int16_t>(std::lround(width));
}

// Walks a /Differences array into `map`; false when a code left 0..255.
void ApplyDifferences(PDFInput& input, PDValue* differences, unsigned char map[256]) {
  int32_t code = 0;
  for (PDValue* el = differences->GetFirstEl(); el; el = el->Next()) {
    PDValue* item = input.Resolve(el);
    if (!item) continue;
    if (item->Is(PDKind::Integer)) {
      code = item->Number();
      continue;
    }
    if (!item->Is(PDKind::Text) || !item->Text().StartsWith("/")) continue;
    if (code < 0 || code > 255) {
      Diag("Fond Encoding retrieval error\n");
      return;
    }
    int32_t glyph = GlyphCode(item->Text().c_str());
    map[code] = static_cast<unsigned char>(glyph > 0 && glyph <= 255 ? glyph : code);
    ++code;
  }
}

}  // namespace

ByteString PlainFontName(const ByteString& name) {
  std::string out;
  int32_t i = name.StartsWith("/") ? 1 : 0;
  for (; i < name.length(); ++i) {
    if (name[i] == '#') {
      out += ' ';
      i += 2;
    } else {
      out += name[i];
    }
  }
  return ByteString(out.data(), static_cast<int32_t>(out.size()));
}

FontMetrics* InputFontMetrics(PDFInput& input, int32_t number, FontMetricsStore& store) {
  PDObject* object = input.GetObj(number);
  return object ? InputFontMetrics(input, object->Root(), store) : nullptr;
}

FontMetrics* InputFontMetrics(PDFInput& input, PDValue* fontDict, FontMetricsStore& store) {
  PDDict* dict = DictOf(input, fontDict);
  if (!dict) return nullptr;
  ByteString baseFont = "<noname>";
  PDValue* base = input.Resolve(dict->Find("/BaseFont"));
  if (base && base->Is(PDKind::Text) && base->Text().length() > 1) {
    baseFont = base->Text().Mid(1);
    if (FontMetrics* held = store.Find(baseFont.c_str())) return held;
    if (BuiltinWidths(baseFont.c_str())) return store.Lookup(baseFont.c_str());
  }

  auto record = std::make_unique<FontMetrics>();
  record->baseFont = baseFont;
  PDValue* widths = input.Resolve(dict->Find("/Widths"));
  if (!widths || !widths->Is(PDKind::Array)) {
    record->widths.fill(450);
    return store.Add(std::move(record));
  }
  record->widths.fill(250);
  int32_t first = 0, last = 255;
  IntegerOf(input, dict->Find("/FirstChar"), first);
  IntegerOf(input, dict->Find("/LastChar"), last);
  unsigned char map[256];
  for (int i = 0; i < 256; ++i) map[i] = static_cast<unsigned char>(i);
  bool recoded = false;
  PDValue* encoding = dict->Find("/Encoding");
  PDValue* resolved = input.Resolve(encoding);
  if (resolved && resolved->IsText("/MacRomanEncoding")) {
    for (int i = 0; i < 256; ++i) map[i] = kMacRomanToWinAnsi[i];
    recoded = true;
  } else if (resolved && resolved->Is(PDKind::Dictionary)) {
    PDValue* differences = input.Resolve(resolved->Dict()->Find("/Differences"));
    if (differences && differences->Is(PDKind::Array)) {
      ApplyDifferences(input, differences, map);
      recoded = true;
    }
  }
  if (recoded) record->recode = ByteString(reinterpret_cast<const char*>(map), 256);
  record->firstCode = static_cast<int16_t>(first < 0 ? 0 : first > 255 ? 255 : first);
  PDValue* el = widths->GetFirstEl();
  for (int32_t c = first; c <= last && el; ++c, el = el->Next())
    if (c >= 0 && c <= 255) record->widths[map[c]] = ClampWidth(RealOf(input, el));
  return store.Add(std::move(record));
}

namespace {

// Calls `visit` with the /Font dictionary of every page and /Pages node that has
// resources of its own, descending into kids where a node has none.
template <typename Visit>
void WalkFontResources(PDFInput& input, int32_t start, Visit&& visit) {
  std::unordered_set<int32_t> seen;
  std::vector<int32_t> pending = {start};
  while (!pending.empty() && static_cast<int32_t>(seen.size()) < kMaxNodes) {
    int32_t number = pending.back();
    pending.pop_back();
    if (!seen.insert(number).second) continue;
    PDObject* node = input.GetObj(number);
    PDDict* dict = node && node->Root() ? node->Root()->Dict() : nullptr;
    if (!dict) continue;
    if (PDDict* resources = DictOf(input, dict->Get(kKeyResources))) {
      if (PDDict* fonts = DictOf(input, resources->Get(kKeyFont))) visit(*fonts);
      continue;
    }
    PDValue* kids = input.Resolve(dict->Get(kKeyKids));
    if (!kids || !kids->Is(PDKind::Array)) continue;
    std::vector<int32_t> list;
    for (PDValue* el = kids->GetFirstEl(); el; el = el->Next())
      if (el->Is(PDKind::Reference)) list.push_back(el->Number());
    pending.insert(pending.end(), list.rbegin(), list.rend());
  }
}

// The resource dictionary in force for a page: its own or the nearest ancestor's.
PDDict* InheritedResources(PDFInput& input, PDObject* page) {
  PDObject* node = page;
  for (int depth = 0; node && node->Root() && node->Root()->Dict() && depth < PDFInput::kMaxTreeDepth; ++depth) {
    PDDict* dict = node->Root()->Dict();
    if (PDDict* resources = DictOf(input, dict->Get(kKeyResources))) return resources;
    PDValue* parent = dict->Get(kKeyParent);
    if (!parent || !parent->Is(PDKind::Reference)) break;
    node = input.GetObj(parent->Number());
  }
  return nullptr;
}

ByteString BaseFontOf(PDFInput& input, PDValue* font) {
  PDDict* dict = DictOf(input, font);
  PDValue* base = dict ? input.Resolve(dict->Find("/BaseFont")) : nullptr;
  return base && base->Is(PDKind::Text) ? base->Text() : ByteString();
}

}  // namespace

int32_t FindInputFont(PDFInput& input, const char* baseFont) {
  if (!baseFont || !*baseFont) return 0;
  std::string wanted = baseFont[0] == '/' ? baseFont : std::string("/") + baseFont;
  if (!input.ReadPages()) return 0;
  std::vector<int32_t> pages = input.PageNumbers();
  for (int32_t page : pages) {
    PDDict* resources = InheritedResources(input, input.GetObj(page));
    PDDict* fonts = resources ? DictOf(input, resources->Get(kKeyFont)) : nullptr;
    PDValue* value = nullptr;
    int32_t key = 0;
    for (int32_t i = 0; fonts && fonts->EntryAt(i, value, key); ++i)
      if (value->Is(PDKind::Reference) && BaseFontOf(input, value).view() == wanted) return value->Number();
  }
  return 0;
}

ByteString InputFontList(PDFInput& input, int32_t page, int32_t& code) {
  code = kOk;
  int32_t start = input.PagesRootNumber();
  std::set<std::string> names;
  auto collect = [&](PDDict& fonts) {
    PDValue* value = nullptr;
    int32_t key = 0;
    for (int32_t i = 0; fonts.EntryAt(i, value, key); ++i) {
      ByteString base = BaseFontOf(input, value);
      if (!base.empty()) names.insert(PlainFontName(base).str());
    }
  };
  if (page > 0) {
    if (page > input.PageCount()) {
      code = kNoSuchPage;
      return {};
    }
    PDObject* object = input.FindPage(page - 1);
    if (!object) {
      code = kNoSuchPage;
      return {};
    }
    // A page that inherits its resources uses the fonts of its ancestor's.
    PDDict* resources = InheritedResources(input, object);
    if (PDDict* fonts = resources ? DictOf(input, resources->Get(kKeyFont)) : nullptr) collect(*fonts);
  } else {
    WalkFontResources(input, start, collect);
  }
  std::string joined;
  for (const std::string& name : names) {
    if (!joined.empty()) joined += '\r';
    joined += name;
  }
  return ByteString(joined.data(), static_cast<int32_t>(joined.size()));
}

ByteString FormFontName(PDFInput& input, int32_t fontId, int32_t& code) {
  const char* abbreviation = FormFontAbbreviation(fontId);
  if (!abbreviation) {
    code = kParamValue;
    return {};
  }
  code = kInputPart;
  PDObject* catalog = input.Catalog();
  PDDict* root = catalog && catalog->Root() ? catalog->Root()->Dict() : nullptr;
  PDDict* form = root ? DictOf(input, root->Find("/AcroForm")) : nullptr;
  PDDict* resources = form ? DictOf(input, form->Find("/DR")) : nullptr;
  if (!resources) return {};
  PDValue* fonts = input.Resolve(resources->Get(kKeyFont));
  if (!fonts) return {};
  if (!fonts->Is(PDKind::Dictionary)) {
    code = kInternal;
    return {};
  }
  PDValue* entry = fonts->Dict()->Find(abbreviation);
  ByteString base = entry ? BaseFontOf(input, entry) : ByteString();
  if (base.empty()) return {};
  code = kOk;
  return PlainFontName(base);
}

}  // namespace folian
