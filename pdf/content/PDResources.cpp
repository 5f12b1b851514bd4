#include "pdf/content/PDResources.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "pdf/content/InputFonts.h"
#include "pdf/object/PDDict.h"
#include "pdf/reader/PDFInput.h"
#include "pdf/writer/PDFile.h"

namespace folian {
namespace {
const char* StripSlash(const char* name) { return name && *name == '/' ? name + 1 : name; }
}  // namespace

PDResources::PDResources(PDFile& file, char prefix, ResourceHost* host)
    : m_file(file), m_prefix(prefix), m_host(host) {}

PDFontRef* PDResources::FindFont(const char* baseFont) {
  const char* name = StripSlash(baseFont);
  if (!name) return nullptr;
  for (auto& font : m_fonts)
    if (std::strcmp(font->baseFont.c_str(), name) == 0) return font.get();
  return nullptr;
}

PDFontRef* PDResources::EnterFont(const char* baseFont) {
  const char* name = StripSlash(baseFont);
  if (!name || !*name) return nullptr;
  if (PDFontRef* held = FindFont(name)) return held;
  auto font = std::make_unique<PDFontRef>();
  font->baseFont = name;
  char resourceName[32];
  std::snprintf(resourceName, sizeof resourceName, "/%c%d", m_prefix, static_cast<int>(m_fonts.size()) + 1);
  font->resourceName = resourceName;
  font->standard = IsStandardFont(name);
  font->owner = this;
  m_fonts.push_back(std::move(font));
  return m_fonts.back().get();
}

bool PDResources::WriteStandardFont(PDFontRef& font) {
  int32_t id = m_file.NewObjectId();
  if (id == 0) return false;
  bool symbolic = font.baseFont == "Symbol" || font.baseFont == "ZapfDingbats";
  ByteString base = "/" + font.baseFont;
  bool ok = m_file.BeginObject(id) && m_file.WriteToken("<</Type /Font /Subtype /Type1") && m_file.WriteLineEnd() &&
            (symbolic || m_file.WriteToken("/Encoding /WinAnsiEncoding")) && m_file.WriteToken("/BaseFont") &&
            m_file.WriteToken(base) && m_file.WriteToken(">>") && m_file.EndObject();
  if (!ok) return false;
  font.objectId = id;
  return true;
}

bool PDResources::LoadFont(PDFontRef& font, PDResources* companion) {
  if (font.objectId != 0) return true;
  bool loaded = false;
  if (PDFontRef* shared = companion ? companion->FindFont(font.baseFont.c_str()) : nullptr;
      shared && shared->objectId != 0) {
    // The other set of the document already wrote this font: use the same object
    // under its resource name, so the font is written once per document.
    font.resourceName = shared->resourceName;
    font.objectId = shared->objectId;
    font.metrics = shared->metrics;
    loaded = true;
  } else if (font.standard) {
    font.metrics = m_metrics.Lookup(font.baseFont.c_str());
    loaded = WriteStandardFont(font);
  } else if (m_host) {
    PDFInput* input = nullptr;
    int32_t inputNumber = 0;
    int32_t id = m_host->CopyInputFont(font.baseFont.c_str(), input, inputNumber);
    if (id != 0 && input) {
      font.objectId = id;
      font.metrics = InputFontMetrics(*input, inputNumber, m_metrics);
      loaded = true;
    }
  }
  if (!loaded) {
    auto at = std::find_if(m_fonts.begin(), m_fonts.end(), [&](const auto& held) { return held.get() == &font; });
    if (at != m_fonts.end()) m_fonts.erase(at);
  }
  return loaded;
}

ByteString PDResources::EnterColor(const char* name) {
  const char* plain = StripSlash(name);
  if (!plain || !*plain) return {};
  auto held = m_colors.find(plain);
  if (held != m_colors.end()) return held->second.resourceName;
  int32_t id = m_host ? m_host->CopyInputColor(plain) : 0;
  if (id == 0) return {};
  char resourceName[32];
  std::snprintf(resourceName, sizeof resourceName, "/%ccs%d", m_prefix, static_cast<int>(m_colors.size()));
  m_colors[plain] = Named{resourceName, id};
  m_colorOrder.push_back(plain);
  return resourceName;
}

ByteString PDResources::EnterImage(int32_t image, int32_t objectId, bool color) {
  auto held = m_images.find(image);
  if (held != m_images.end()) return held->second.resourceName;
  char resourceName[32];
  std::snprintf(resourceName, sizeof resourceName, "/%cimg%d", m_prefix, static_cast<int>(m_images.size()));
  m_images[image] = Named{resourceName, objectId};
  AddProcSet(color ? "/ImageC" : "/ImageB");
  return resourceName;
}

std::set<std::string> PDResources::ProcSets() const {
  std::set<std::string> names = m_procSets;
  names.insert("/PDF");
  if (!m_fonts.empty()) names.insert("/Text");
  return names;
}

bool PDResources::WriteDictionary(int32_t id, const std::vector<std::pair<ByteString, int32_t>>& xobjects) {
  // Fonts are written when selected; one without an object here was never used.
  bool ok = m_file.BeginObject(id) && m_file.WriteToken("<<") && m_file.WriteToken("/ProcSet [");
  for (const std::string& name : ProcSets()) ok = ok && m_file.WriteToken(name.c_str());
  ok = ok && m_file.WriteToken("]") && m_file.WriteToken("/Font<<");
  for (const auto& font : m_fonts) {
    if (font->resourceName.empty()) break;
    if (font->objectId == 0) continue;
    ok = ok && m_file.WriteToken(font->resourceName) && m_file.WriteRef(font->objectId);
  }
  ok = ok && m_file.WriteToken(">>");
  if (!m_colors.empty()) {
    ok = ok && m_file.WriteToken("/ColorSpace <<");
    for (const std::string& name : m_colorOrder) {
      const Named& color = m_colors.at(name);
      ok = ok && m_file.WriteToken(color.resourceName) && m_file.WriteRef(color.objectId);
    }
    ok = ok && m_file.WriteToken(">>");
  }
  if (!m_images.empty() || !xobjects.empty()) {
    ok = ok && m_file.WriteToken("/XObject <<");
    for (const auto& [name, objectId] : xobjects) ok = ok && m_file.WriteToken(name) && m_file.WriteRef(objectId);
    for (const auto& [number, image] : m_images)
      ok = ok && m_file.WriteToken(image.resourceName) && m_file.WriteRef(image.objectId);
    ok = ok && m_file.WriteToken(">>");
  }
  return ok && m_file.WriteToken(">>") && m_file.EndObject();
}

namespace {
// The dictionary under `key` in `resources`, made when absent; none when the
// entry is something else (a reference to a shared dictionary is left alone).
PDDict* SubDict(PDDict& resources, const char* key) {
  PDValue* entry = resources.Find(key);
  if (!entry) {
    resources.SaveAttrVal(key, PDValue::MakeDict());
    entry = resources.Find(key);
  }
  return entry && entry->Is(PDKind::Dictionary) ? entry->Dict() : nullptr;
}
}  // namespace

void PDResources::EnterInto(PDDict& resources) const {
  if (!m_fonts.empty()) {
    if (PDDict* fonts = SubDict(resources, "/Font"))
      for (const auto& font : m_fonts)
        if (font->objectId != 0) fonts->SaveAttrVal(font->resourceName.c_str(), PDValue::MakeRef(font->objectId));
    PDValue* procSets = resources.Find("/ProcSet");
    if (procSets && procSets->Is(PDKind::Array)) {
      bool hasText = false;
      for (PDValue* el = procSets->GetFirstEl(); el; el = el->Next()) hasText = hasText || el->IsText("/Text");
      if (!hasText) procSets->AppendEl(PDValue::MakeText("/Text"));
    }
  }
  if (!m_colors.empty())
    if (PDDict* colors = SubDict(resources, "/ColorSpace"))
      for (const auto& [name, color] : m_colors)
        colors->SaveAttrVal(color.resourceName.c_str(), PDValue::MakeRef(color.objectId));
  if (!m_images.empty())
    if (PDDict* images = SubDict(resources, "/XObject"))
      for (const auto& [number, image] : m_images)
        images->SaveAttrVal(image.resourceName.c_str(), PDValue::MakeRef(image.objectId));
}

}  // namespace folian
