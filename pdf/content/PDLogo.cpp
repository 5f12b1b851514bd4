#include "pdf/content/PDLogo.h"

#include <cstdio>
#include <cstring>
#include <string_view>

#include "pdf/base/Diagnostics.h"
#include "pdf/base/NumberFormat.h"
#include "pdf/base/Status.h"
#include "pdf/filter/ContentCompression.h"
#include "pdf/object/PDDict.h"
#include "pdf/writer/PDFile.h"

namespace folian {

ByteString PDLogo::PartName(size_t k) const {
  if (k == 0) return name;
  char part[40];
  std::snprintf(part, sizeof part, "%.15s%d", name.c_str(), static_cast<int>(k));
  return part;
}

ByteString PDLogo::PaintText() const {
  ByteString text = name + " Do";
  for (size_t k = 1; k < objectIds.size(); ++k) text += " " + PartName(k) + " Do";
  return text;
}

ByteString LogoName(int32_t fileIndex, int32_t logoIndex) {
  std::string name = "/X";
  for (int32_t n = fileIndex; n > 0; n /= 26) name += static_cast<char>('A' + n % 26);
  for (int32_t n = logoIndex; n > 0; n /= 26) name += static_cast<char>('a' + n % 26);
  return ByteString(std::string_view(name));
}

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\0'; }
bool IsDelimiter(char c) { return std::strchr("()<>[]{}/%", c) != nullptr; }

bool IsGraphicsStateOp(std::string_view op) {
  static const char* const kOps[] = {"q", "Q", "cm", "gs", "w", "J", "j", "M", "i", "ri", "g", "G",
                                     "k", "K", "rg", "RG", "cs", "CS", "sc", "SC", "scn", "SCN"};
  for (const char* known : kOps)
    if (op == known) return true;
  return false;
}

}  // namespace

ByteString CutWhiteBackground(const ByteString& content) {
  std::string_view text = content.view();
  const size_t n = text.size();
  size_t pos = 0;
  std::vector<std::string_view> operands;
  size_t operandStart = 0;
  bool white = false;
  size_t rectStart = std::string_view::npos;
  while (pos < n) {
    while (pos < n && IsSpace(text[pos])) ++pos;
    if (pos >= n) break;
    // Strings, arrays, dictionaries and comments do not belong to the operators
    // scanned for here: the page's own drawing has begun.
    if (text[pos] != '/' && IsDelimiter(text[pos])) break;
    size_t start = pos++;
    while (pos < n && !IsSpace(text[pos]) && !IsDelimiter(text[pos])) ++pos;
    std::string_view token = text.substr(start, pos - start);
    char first = token[0];
    if (first == '/' || first == '+' || first == '-' || first == '.' || (first >= '0' && first <= '9')) {
      if (operands.empty()) operandStart = start;
      operands.push_back(token);
      continue;
    }
    if (rectStart != std::string_view::npos) {
      if (token != "f" && token != "f*") break;
      std::string cut(text.substr(0, rectStart));
      cut += text.substr(pos);
      return ByteString(std::string_view(cut));
    }
    if (token == "re") {
      if (operands.size() != 4 || !white) break;
      rectStart = operandStart;
    } else if (token == "g") {
      white = operands.size() == 1 && operands[0][0] == '1';
    } else if (token == "rg") {
      white = operands.size() == 3 && operands[0][0] == '1' && operands[1][0] == '1' && operands[2][0] == '1';
    } else if (IsGraphicsStateOp(token)) {
      if (token == "k" || token == "sc" || token == "scn" || token == "cs") white = false;
    } else {
      break;
    }
    operands.clear();
  }
  return content;
}

namespace {

// The page's resources: its own or the nearest ancestor's.
PDValue* PageResources(PDFInput& input, PDObject* page) {
  PDObject* node = page;
  for (int depth = 0; node && node->Root() && node->Root()->Dict() && depth < PDFInput::kMaxTreeDepth; ++depth) {
    if (PDValue* resources = input.Resolve(node->Root()->Dict()->Get(kKeyResources))) return resources;
    node = input.ParentOf(node);
  }
  return nullptr;
}

// The page's content streams decoded and joined in order; false when a stream
// cannot be decoded.
bool JoinedContent(PDFInput& input, PDObject* page, std::string& out) {
  PDValue* contents = page->Root()->Dict()->Get(kKeyContents);
  std::vector<PDValue*> parts;
  if (contents && contents->Is(PDKind::Reference)) {
    PDObject* object = input.GetObj(contents->Number());
    PDValue* root = object ? object->Root() : nullptr;
    if (root && root->Is(PDKind::Array))
      contents = root;
  }
  if (contents && contents->Is(PDKind::Array))
    for (PDValue* el = contents->GetFirstEl(); el; el = el->Next()) parts.push_back(el);
  else if (contents)
    parts.push_back(contents);
  for (PDValue* part : parts) {
    PDObject* object = part->Is(PDKind::Reference) ? input.GetObj(part->Number()) : nullptr;
    if (!object || !object->Root() || !object->Root()->HasStream()) {
      Diag("unexpected type of content encountered\n");
      break;
    }
    ByteString data;
    if (!input.StreamData(object, data)) return false;
    if (!out.empty()) {
      char last = out.back();
      if (last != ' ' && last != '\n' && last != '\r') out += '\n';
    }
    out.append(data.data(), static_cast<size_t>(data.length()));
  }
  return true;
}

// Copies every object the value refers to into the output and points the
// references at the copies; a reference that cannot be copied (a page, an
// object the file lacks) becomes null.
void CopyReferenced(PDValue* value, PDImport& import, int depth = 0) {
  if (!value || depth > 100) return;
  if (value->Is(PDKind::Reference)) {
    int32_t id = import.CopyObject(value->Number());
    if (id == 0)
      value->SetNull();
    else
      value->SetNumber(id);
  } else if (value->Is(PDKind::Array)) {
    for (PDValue* el = value->GetFirstEl(); el; el = el->Next()) CopyReferenced(el, import, depth + 1);
  } else if (value->Dict()) {
    PDValue* entry = nullptr;
    int32_t key = 0;
    for (int32_t i = 0; value->Dict()->EntryAt(i, entry, key); ++i) CopyReferenced(entry, import, depth + 1);
  }
}

}  // namespace

int32_t WriteLogoForm(PDFInput& input, ImportState& state, PDFile& output, ImportHooks* hooks, int32_t pageIndex,
                      const ByteString& name, const char* bbox, PDLogo& logo) {
  if (pageIndex < 0 || pageIndex >= input.PagesHeld()) return kParamValue;
  PDObject* page = input.FindPage(pageIndex);
  if (!page || !page->Root() || !page->Root()->Dict()) return kInternal;

  ByteString box;
  if (bbox) {
    box = bbox;
  } else {
    PDBox visible = input.VisibleBox(page);
    box = "[";
    for (double edge : visible) box += " " + FormatNumber(static_cast<float>(edge));
    box += " ]";
  }

  std::string joined;
  if (!JoinedContent(input, page, joined)) return input.LastError() != 0 ? input.LastError() : kReadingObject;
  ByteString content = CutWhiteBackground(ByteString(std::string_view(joined)));
  joined.clear();

  PDValuePtr resources = PDValue::Copy(PageResources(input, page));
  if (!resources || !resources->Dict()) resources = PDValue::MakeDict();
  {
    PDImport import(input, state, output, hooks);
    CopyReferenced(resources.get(), import);
  }
  logo.procSets.clear();
  if (PDValue* procSets = resources->Dict()->Find("/ProcSet"); procSets && procSets->Is(PDKind::Array))
    for (PDValue* el = procSets->GetFirstEl(); el; el = el->Next())
      if (el->Is(PDKind::Text) && el->Text().length() > 1 && el->Text()[0] == '/') logo.procSets.push_back(el->Text().str());

  ByteString packed = CompressContent(content.data(), content.length());
  const ByteString& body = packed.empty() ? content : packed;
  int32_t id = output.NewObjectId();
  bool ok = id != 0 && output.BeginObject(id) && output.WriteToken("<< /Type /XObject /Subtype /Form") &&
            output.WriteLineEnd() && output.WriteToken("/Name") && output.WriteToken(name) &&
            output.WriteToken("/FormType 1") && output.WriteToken("/BBox") && output.WriteToken(box) &&
            output.WriteLineEnd() && output.WriteToken("/Matrix [ 1 0 0 1 0 0 ]") && output.WriteLineEnd() &&
            output.WriteToken("/Resources") && output.WriteValue(resources.get()) && output.WriteLineEnd() &&
            output.WriteToken("/Length") && output.WriteInt(body.length()) &&
            (packed.empty() || output.WriteToken("/Filter /FlateDecode")) && output.WriteToken(">>") &&
            output.WriteLineEnd() && output.WriteToken("stream") && output.WriteLineEnd() &&
            output.WriteRaw(body.data(), static_cast<size_t>(body.length()));
  if (ok && (body.empty() || body[body.length() - 1] != '\n')) ok = output.WriteLineEnd();
  ok = ok && output.WriteToken("endstream") && output.EndObject();
  if (!ok) return output.LastError() != 0 ? output.LastError() : kFailed;
  logo.name = name;
  logo.objectIds = {id};
  return kOk;
}

PDLogo* LogoFile::Logo(int32_t number, int32_t fileIndex, PDFile& output, ImportHooks* hooks) {
  if (number < 1) {
    m_status = kParamValue;
    return nullptr;
  }
  auto slot = static_cast<size_t>(number - 1);
  if (slot < m_logos.size() && m_logos[slot]) return m_logos[slot].get();
  if (number > m_input.PagesHeld()) {
    m_status = kParamValue;
    return nullptr;
  }
  auto logo = std::make_unique<PDLogo>();
  m_status = WriteLogoForm(m_input, m_import, output, hooks, number - 1, LogoName(fileIndex, number - 1), nullptr,
                           *logo);
  m_input.ReleasePageTreeNodes();
  if (m_status != kOk) return nullptr;
  if (m_logos.size() <= slot) m_logos.resize(slot + 1);
  m_logos[slot] = std::move(logo);
  return m_logos[slot].get();
}

}  // namespace folian
