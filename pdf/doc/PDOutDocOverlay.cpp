// What the output document lays onto every page it copies: the background logo
// beneath the page's own content, the running header and the page number above.
#include <cmath>
#include <string>

#include "pdf/base/NumberFormat.h"
#include "pdf/base/Status.h"
#include "pdf/base/StringCodec.h"
#include "pdf/doc/PDOutDoc.h"
#include "pdf/object/PDDict.h"
#include "pdf/writer/ContentStreamWriter.h"

namespace folian {
namespace {

ByteString Num(double value) { return FormatNumber(static_cast<float>(value)); }

// "%p" becomes the page number, "%%" one percent sign; any other "%" stays with
// the character after it.
std::string ExpandPageNumber(std::string_view text, int32_t page) {
  std::string out;
  out.reserve(text.size() + 8);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size()) {
      if (text[i + 1] == 'p') {
        out += std::to_string(page);
        ++i;
        continue;
      }
      if (text[i + 1] == '%') {
        out += '%';
        ++i;
        continue;
      }
      out += text[i];
      out += text[++i];
      continue;
    }
    out += text[i];
  }
  return out;
}

}  // namespace

int32_t PDOutDoc::PutPageNumbers(double x, double y, const char* format, int32_t start, int32_t orientation) {
  if (!format || !std::isfinite(x) || !std::isfinite(y)) return kParamValue;
  // Only the last definition counts; one that is refused leaves no numbering.
  m_pageNumbers.reset();
  const char* matrix = nullptr;
  switch (orientation) {
    case 0: matrix = "1 0 0 1"; break;
    case 90: matrix = "0 -1 1 0"; break;
    case 270:
    case -90: matrix = "0 1 -1 0"; break;
    // Upside down, not a quarter turn.
    case 180: matrix = "-1 0 0 -1"; break;
    default: return kParamValue;
  }
  auto stream = std::make_unique<PDPgStream>(m_headerResources, &m_pageResources);
  if (stream->TextOp((ByteString(matrix) + " " + Num(x) + " " + Num(y) + " Tm\n").c_str()) != kOk ||
      stream->TextOp((EncodeString(ByteString(format), StringMode::Literal) + " Tj\n").c_str()) != kOk)
    return kFailed;
  m_pageNumbers = std::move(stream);
  m_pageCounter = start;
  return kOk;
}

int32_t PDOutDoc::WritePageNumber() {
  // The number is drawn in the font the header selected last; without one it
  // takes Helvetica, so that the text never lacks a font.
  const PDFontRef* font = nullptr;
  double size = 10;
  if (m_header && m_header->Font() && m_header->FontSize() > 0) {
    font = m_header->Font();
    size = m_header->FontSize();
  } else if (PDFontRef* fallback = m_headerResources.EnterFont("Helvetica")) {
    if (fallback->objectId != 0 || m_headerResources.LoadFont(*fallback, &m_pageResources)) font = fallback;
  }
  std::string_view text = m_pageNumbers->Text().view();
  std::string out = "0 g ";
  if (text.substr(0, 3) == "BT\n") {
    out += "BT\n";
    text.remove_prefix(3);
  }
  if (font) out += (font->resourceName + " " + Num(size) + " Tf\n").str();
  out += ExpandPageNumber(text, m_pageCounter);
  out += "ET\n";
  int32_t id = WriteContentStream(*this, ByteString(std::string_view(out)), 0, m_compress);
  ++m_pageCounter;
  return id;
}

bool PDOutDoc::WriteHeaderOverlay() {
  if (!m_header || m_header->Empty() || m_header->ObjectId() != 0) return true;
  return m_header->WriteObject(*this, m_compress);
}

void PDOutDoc::OverlayPage(PDFInput& input, PDObject& page) {
  PDDict* dict = page.Root() ? page.Root()->Dict() : nullptr;
  if (!dict) return;
  const int32_t backgroundId = m_background ? m_background->ObjectId() : 0;
  const int32_t headerId = m_header ? m_header->ObjectId() : 0;
  const int32_t numberId = m_pageNumbers ? WritePageNumber() : 0;
  const bool above = headerId != 0 || numberId != 0;
  if (above && m_saveStateId == 0) {
    m_saveStateId = WriteContentStream(*this, "q\n", 0, false);
    m_restoreStateId = WriteContentStream(*this, "Q\n", 0, false);
  }
  const bool wrap = above && m_saveStateId != 0 && m_restoreStateId != 0;
  if (backgroundId != 0 || above) {
    PDValuePtr contents = PDValue::MakeArray();
    if (backgroundId != 0) contents->AppendEl(PDValue::MakeRef(backgroundId));
    if (wrap) contents->AppendEl(PDValue::MakeRef(m_saveStateId));
    PDValue* own = dict->Get(kKeyContents);
    if (own && own->Is(PDKind::Reference) && own->Number() < kOutputIdBase) {
      // A reference to an array of streams is taken apart: the page now needs
      // an array of its own.
      PDObject* object = input.GetObj(own->Number());
      PDValue* root = object ? object->Root() : nullptr;
      if (root && root->Is(PDKind::Array)) {
        for (PDValue* el = root->GetFirstEl(); el; el = el->Next()) {
          if (!el->Is(PDKind::Reference)) continue;
          PDObject* part = input.GetObj(el->Number());
          if (part && part->Root() && part->Root()->HasStream()) contents->AppendEl(PDValue::MakeRef(el->Number()));
        }
      } else if (root && root->HasStream()) {
        contents->AppendEl(PDValue::MakeRef(own->Number()));
      }
    } else if (own && own->Is(PDKind::Array)) {
      for (PDValue* el = own->GetFirstEl(); el; el = el->Next())
        if (el->Is(PDKind::Reference)) contents->AppendEl(PDValue::MakeRef(el->Number()));
    }
    if (wrap) contents->AppendEl(PDValue::MakeRef(m_restoreStateId));
    if (headerId != 0) contents->AppendEl(PDValue::MakeRef(headerId));
    if (numberId != 0) contents->AppendEl(PDValue::MakeRef(numberId));
    dict->SaveAttrVal(kKeyContents, std::move(contents));
  }
  bool logos = (m_header && !m_header->Logos().empty()) || (m_background && !m_background->Logos().empty());
  if (!m_headerResources.Empty() || logos) EnterHeaderResources(input, page);
}

}  // namespace folian
