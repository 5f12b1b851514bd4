// Exported functions of text extraction and the separation colours of a page.
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_set>

#include "pdf/api/ApiObjects.h"
#include "pdf/api/ByteBuffer.h"
#include "pdf/api/folian32.h"
#include "pdf/text/PageSeparations.h"

using namespace folian;

namespace {

// Edge arrays handed out in token records. A record that was never prepared
// may hold any pointer: only arrays the library made are freed.
std::mutex g_edgeMutex;
std::unordered_set<float*>& LiveEdges() {
  static std::unordered_set<float*> live;
  return live;
}

void FreeEdges(float* edges) {
  if (!edges) return;
  {
    std::lock_guard lock(g_edgeMutex);
    if (LiveEdges().erase(edges) == 0) return;
  }
  std::free(edges);
}

float* NewEdges(const std::vector<float>& edges) {
  if (edges.empty()) return nullptr;
  auto* block = static_cast<float*>(std::malloc(edges.size() * sizeof(float)));
  if (!block) throw std::bad_alloc();
  std::memcpy(block, edges.data(), edges.size() * sizeof(float));
  std::lock_guard lock(g_edgeMutex);
  LiveEdges().insert(block);
  return block;
}

void ClearRecord(TextTokenRecord& record) {
  record.x = record.y = record.width = record.height = 0;
  record.page = 0;
  record.orientation = 0;
  record.charRightPos = nullptr;
  record.charCount = 0;
}

int32_t ReadToken(FLHANDLE handle, FLVBSTR* text, TextTokenRecord* record, FLVBSTR* font, bool unicode) {
  if (text) *text = nullptr;
  if (font) *font = nullptr;
  return Guarded<IDocObject>(handle, int32_t{kMissingHandle}, int32_t{kFailed}, [&](IDocObject& object) {
    PDInputDoc& doc = *object.input;
    PDFInput& input = doc.Input();
    if (!record) {
      input.SetLastError(kParamValue);
      return int32_t{kParamValue};
    }
    FreeEdges(record->charRightPos);
    ClearRecord(*record);
    if (input.IsEncrypted()) {
      input.SetLastError(kEncrypted);
      return int32_t{kEncrypted};
    }
    if (!object.text) object.text = std::make_unique<TextExtractor>(input);
    TextExtractor& extractor = *object.text;
    // A page made current since the last read (IDocAcquirePage) is read from its start.
    if (doc.CurrentPage() >= 0 && doc.PageSelections() != object.textSelections) extractor.GoPage(doc.CurrentPage());
    extractor.SetUnicode(unicode);
    TextToken& token = object.token;
    TextExtractor::Step step = extractor.Read(token);
    if (step != TextExtractor::Step::End && extractor.Page() != doc.CurrentPage()) doc.SetCurrentPage(extractor.Page());
    object.textSelections = doc.PageSelections();

    record->x = static_cast<float>(token.x);
    record->y = static_cast<float>(token.y);
    record->width = static_cast<float>(token.width);
    record->height = static_cast<float>(token.height);
    record->page = token.page;
    record->orientation = token.orientation;
    record->charRightPos = NewEdges(token.rightEdges);
    record->charCount = static_cast<int32_t>(token.rightEdges.size());
    if (text) *text = NewByteBuffer(token.text.data(), static_cast<int32_t>(token.text.size()));
    if (font) *font = NewByteBuffer(token.font.data(), static_cast<int32_t>(token.font.size()));
    if (step == TextExtractor::Step::End) {
      input.SetLastError(kNoSuchPage);
      return int32_t{kNoSuchPage};
    }
    return int32_t{kOk};
  });
}

}  // namespace

void FLInitToken(TextTokenRecord* token) {
  if (token) ClearRecord(*token);
}

void FLFreeToken(TextTokenRecord* token) {
  if (!token) return;
  FreeEdges(token->charRightPos);
  ClearRecord(*token);
}

int32_t IDocReadText(FLHANDLE handle, FLVBSTR* text, TextTokenRecord* token, FLVBSTR* font) {
  return ReadToken(handle, text, token, font, false);
}

int32_t IDocReadTextUTF8(FLHANDLE handle, FLVBSTR* text, TextTokenRecord* token, FLVBSTR* font) {
  return ReadToken(handle, text, token, font, true);
}

int16_t IDocNumColorSpaces(FLHANDLE handle) {
  return Guarded<IDocObject>(handle, int16_t{-1}, int16_t{-1}, [&](IDocObject& object) {
    PDInputDoc& doc = *object.input;
    if (doc.CurrentPage() < 0 || doc.Input().IsEncrypted()) return int16_t{-1};
    PDObject* page = doc.Input().FindPage(doc.CurrentPage());
    if (!page) return int16_t{-1};
    size_t count = PageSeparations(doc.Input(), page).size();
    return static_cast<int16_t>(count > 32767 ? 32767 : count);
  });
}

FLVBSTR IDocGetSeparation(FLHANDLE handle, int16_t index) {
  return Guarded<IDocObject>(handle, FLVBSTR{nullptr}, FLVBSTR{nullptr}, [&](IDocObject& object) {
    PDInputDoc& doc = *object.input;
    if (doc.CurrentPage() < 0 || doc.Input().IsEncrypted() || index < 1) return FLVBSTR{nullptr};
    PDObject* page = doc.Input().FindPage(doc.CurrentPage());
    if (!page) return FLVBSTR{nullptr};
    std::vector<std::string> names = PageSeparations(doc.Input(), page);
    if (static_cast<size_t>(index) > names.size()) return FLVBSTR{nullptr};
    const std::string& name = names[static_cast<size_t>(index) - 1];
    return NewByteBuffer(name.data(), static_cast<int32_t>(name.size()));
  });
}
