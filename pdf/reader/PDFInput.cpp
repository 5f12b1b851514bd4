#include "pdf/reader/PDFInput.h"

#include <algorithm>
#include <cstring>

#include "pdf/base/CharClass.h"
#include "pdf/base/Diagnostics.h"
#include "pdf/object/PDDict.h"
#include "pdf/reader/PDXrefRepair.h"
#include "pdf/syntax/PDParser.h"
#include "pdf/base/Status.h"
#include "pdf/filter/StreamDecoder.h"
#include "pdf/base/StringCodec.h"

namespace folian {
namespace {

constexpr int64_t kTrailerScan = 2000;
constexpr char kStartXref[] = "startxref";
// Decoded object streams kept at once; past this the cache starts again.
constexpr size_t kObjectStreamCache = size_t{64} << 20;
// Files up to this size are read into memory when opened.
constexpr int64_t kWholeFileLimit = int64_t{16} << 20;

int32_t RefNumber(const PDValue* value) { return value && value->Is(PDKind::Reference) ? value->Number() : 0; }

}  // namespace

PDFInput::PDFInput() = default;

PDFInput::~PDFInput() { Close(); }

bool PDFInput::Open(const char* name, bool loadWhole) {
  DiagnosticScope diagnostics(m_diagnostics);
  Close();
  if (!name || !*name) return Fail(kParamValue);
  int32_t error = 0;
  std::unique_ptr<FileInput> file = FileInput::Open(name, error);
  if (!file) return Fail(error);
  m_name = name;
  // A small file costs less read in one go than window by window; a large one is
  // read on demand, so that memory stays flat however large the input is.
  if (loadWhole || file->Size() <= kWholeFileLimit) {
    // Not zero-filled first: every byte is read over at once.
    const auto size = static_cast<size_t>(file->Size());
    std::unique_ptr<char[]> bytes(new char[size]);
    if (file->ReadAt(0, bytes.get(), size) != size) {
      Diag("error reading trailer (%s)\n", name);
      return Fail(kBadTrailer);
    }
    m_source = std::make_unique<MemoryInput>(std::move(bytes), size);
  } else {
    m_source = std::move(file);
  }
  return ReadStructure();
}

bool PDFInput::OpenMemory(std::vector<char> bytes) {
  DiagnosticScope diagnostics(m_diagnostics);
  Close();
  m_source = std::make_unique<MemoryInput>(std::move(bytes));
  return ReadStructure();
}

bool PDFInput::OpenMemory(const char* bytes, size_t length) {
  return OpenMemory(std::vector<char>(bytes, bytes + (bytes ? length : 0)));
}

void PDFInput::Close() {
  m_cache.clear();
  m_unreadable.clear();
  m_added.clear();
  m_parents.clear();
  m_kidSpans.clear();
  m_pageNumbers.clear();
  m_walkPath.clear();
  m_walkVisits = 0;
  m_pagesComplete = false;
  m_trailer.reset();
  m_xref = PDXrefTable();
  m_source.reset();
  m_version.clear();
  m_ids[0].Clear();
  m_ids[1].Clear();
  m_rootNumber = m_infoNumber = m_pagesRoot = m_outlines = m_acroForm = m_threads = m_dests = m_viewerPrefs = 0;
  m_encrypted = false;
  m_decryptor.reset();
  m_encryptNumber = 0;
  m_repaired = false;
  m_usesXrefStreams = false;
  m_repairedObjectStreams.clear();
  m_objectStreams.clear();
  m_objectStreamBytes = 0;
  m_streamsLoading.clear();
  m_loads = 0;
  if (m_state == kReading) m_state = kClosed;
}

bool PDFInput::ReadStructure() {
  char head[8] = {};
  size_t got = m_source->ReadAt(0, head, sizeof head);
  if (got < 5 || std::memcmp(head, "%PDF-", 5) != 0) {
    Close();
    return Fail(kNotPdf);
  }
  m_version.assign(head + 5, std::min<size_t>(3, got - 5));
  int64_t startxref = FindStartXref();
  int32_t status = startxref > 0 ? m_xref.Read(*m_source, startxref) : LastError();
  m_usesXrefStreams = m_xref.FoundXrefStream();
  if (status == kOk) {
    m_trailer = m_xref.TakeTrailer();
    if (!m_trailer) status = kBadTrailer;
  }
  if (status == kOk && !ReadTrailerEntries()) status = LastError();
  if (status != kOk) {
    m_trailer.reset();
    if (!Repair(status)) return Fail(status);
  }
  if (m_encrypted) SetUpDecryption();
  IndexRepairedObjectStreams();

  TakeSerial();
  m_state = kReading;
  PDObject* catalog = GetObj(m_rootNumber);
  if ((!catalog || !catalog->Root()->Is(PDKind::Dictionary)) && !m_repaired) {
    // The table may point to the wrong places; the catalog a scan finds is
    // better than none.
    if (catalog) ReleaseObj(catalog);
    int32_t root = m_rootNumber;
    if (Repair(kBadTrailer)) {
      IndexRepairedObjectStreams();
      catalog = GetObj(root);
    }
  }
  if (!catalog || !catalog->Root()->Is(PDKind::Dictionary)) {
    Diag("cannot read catalog (%s)\n", m_name.c_str());
    m_state = kClosed;
    return Fail(kReadingObject);
  }
  ReadCatalogEntries(*catalog);
  return true;
}

int64_t PDFInput::FindStartXref() {
  int64_t size = m_source->Size();
  int64_t tail = std::min(kTrailerScan, size);
  std::vector<char> bytes(static_cast<size_t>(tail));
  if (m_source->ReadAt(size - tail, bytes.data(), bytes.size()) != bytes.size()) {
    Diag("error reading trailer (%s)\n", m_name.c_str());
    Fail(kBadTrailer);
    return -1;
  }
  std::string_view text(bytes.data(), bytes.size());
  size_t at = text.rfind(kStartXref);
  int64_t offset = 0;
  if (at != std::string_view::npos) {
    size_t i = at + sizeof kStartXref - 1;
    while (i < text.size() && (IsPdfWhite(static_cast<unsigned char>(text[i])) || text[i] < 32)) ++i;
    while (i < text.size() && IsPdfDigit(static_cast<unsigned char>(text[i])) && offset < size)
      offset = offset * 10 + (text[i++] - '0');
  }
  if (offset <= 0 || offset >= size) {
    Diag("error scanning xref position (%s)\n", m_name.c_str());
    Fail(kBadXref);
    return -1;
  }
  return offset;
}

bool PDFInput::ReadTrailerEntries() {
  PDDict* trailer = m_trailer->Dict();
  const PDValue* size = trailer->Find("/Size");
  const PDValue* root = trailer->Find("/Root");
  if (!size || !size->Is(PDKind::Integer) || !root || !root->Is(PDKind::Reference)) {
    Diag("could not scan trailer information (%s)\n", m_name.c_str());
    return Fail(kBadTrailer);
  }
  m_rootNumber = root->Number();
  m_infoNumber = RefNumber(trailer->Find("/Info"));
  m_encrypted = trailer->Find("/Encrypt") != nullptr;
  const PDValue* ids = trailer->Find("/ID");
  if (ids && ids->Is(PDKind::Array)) {
    int which = 0;
    for (const PDValue* id = ids->GetFirstEl(); id && which < 2; id = id->Next(), ++which)
      if (id->Is(PDKind::Text) && (id->Text().StartsWith("(") || id->Text().StartsWith("<")))
        m_ids[which] = DecodeString(id->Text());
  }
  return true;
}

void PDFInput::ReadCatalogEntries(PDObject& catalog) {
  PDDict* dict = catalog.Root()->Dict();
  m_pagesRoot = RefNumber(dict->Get(kKeyPages));
  if (m_pagesRoot == 0) Diag("pages root not found\n");
  m_outlines = RefNumber(dict->Get(kKeyOutlines));
  m_acroForm = RefNumber(dict->Find("/AcroForm"));
  m_threads = RefNumber(dict->Find("/Threads"));
  m_viewerPrefs = RefNumber(dict->Find("/ViewerPreferences"));
  PDValue* names = Resolve(dict->Find("/Names"));
  if (names && names->Dict()) m_dests = RefNumber(names->Dict()->Find("/Dests"));
}

PDValue* PDFInput::Info() {
  PDObject* info = GetObj(m_infoNumber);
  return info ? info->Root() : nullptr;
}

// ---- objects ---------------------------------------------------------------

PDObject* PDFInput::GetObj(int32_t number) {
  if (number <= 0 || number >= kOutputIdBase || !m_source) return nullptr;
  if (number >= Size()) {
    size_t added = static_cast<size_t>(number - Size());
    return added < m_added.size() ? m_added[added].get() : nullptr;
  }
  size_t slot = static_cast<size_t>(number);
  if (slot < m_cache.size() && m_cache[slot]) return m_cache[slot].get();
  if (slot < m_unreadable.size() && m_unreadable[slot]) return nullptr;
  // Only reading an object can say anything; a cached one is handed out as it is.
  DiagnosticScope diagnostics(m_diagnostics);
  return LoadObject(number);
}

PDObject* PDFInput::Cache(int32_t number, PDValuePtr root, int64_t offset, int32_t storedSize) {
  size_t slot = static_cast<size_t>(number);
  PDObjectClass objectClass = PDObject::ClassOf(root.get());
  auto object = std::make_unique<PDObject>(std::move(root));
  object->SetClass(objectClass);
  object->SetNumber(number);
  object->SetFilePlace(offset, storedSize);
  m_cache[slot] = std::move(object);
  return m_cache[slot].get();
}

PDObject* PDFInput::LoadObject(int32_t number) {
  PDXrefEntry entry = m_xref.Entry(number);
  if (entry.kind == PDXrefEntry::kFree) return nullptr;
  size_t slot = static_cast<size_t>(number);
  size_t grown = std::min<size_t>(slot + 100, static_cast<size_t>(Size()));
  if (m_cache.size() < grown) m_cache.resize(grown);
  if (m_unreadable.size() < grown) m_unreadable.resize(grown);
  if (entry.kind == PDXrefEntry::kInStream) return LoadCompressed(number, entry);

  int64_t offset = entry.where;
  ++m_loads;
  DiagnosticObjectScope place(number, offset);
  PDParser parser(*m_source, offset, [this](int32_t n) { return ReadLengthObject(n); });
  int32_t found = parser.ReadObject(m_headerOnly);
  if (found != number) {
    if (found != 0) {
      Diag("Read failed for id %ld\n", static_cast<long>(number));
      Diag("found %ld\n", static_cast<long>(found));
    }
    // An offset that does not lead to its object means the table is damaged:
    // rebuild it once and look again. Objects added since opening take numbers
    // after the table, which a rebuild could move, so it is not tried then.
    if (!m_repaired && m_added.empty() && Repair(kBadTrailer)) {
      IndexRepairedObjectStreams();
      if (m_xref.Entry(number).kind != PDXrefEntry::kFree) return LoadObject(number);
    }
    if (slot < m_unreadable.size()) m_unreadable[slot] = true;
    return nullptr;
  }
  PDValuePtr root = parser.TakeRoot();
  if (!Decrypt(*root, number, entry.index)) Diag("object %d cannot be decrypted\n", number);
  return Cache(number, std::move(root), offset, parser.StoredSize());
}

bool PDFInput::Decrypt(PDValue& root, int32_t number, int32_t generation) {
  if (!m_decryptor || number == m_encryptNumber) return true;
  bool ok = m_decryptor->DecryptStrings(root, number, generation);
  if (root.HasStream()) {
    std::vector<char> bytes = root.TakeStreamBytes();
    ok = m_decryptor->DecryptStream(root, bytes, number, generation) && ok;
    root.SetStreamBytes(std::move(bytes));
  }
  return ok;
}

PDObject* PDFInput::LoadCompressed(int32_t number, const PDXrefEntry& entry) {
  size_t slot = static_cast<size_t>(number);
  PDObjectStream* stream = ObjectStreamFor(static_cast<int32_t>(entry.where));
  PDValuePtr root = stream ? stream->ReadObject(entry.index, number) : nullptr;
  if (!root) {
    m_unreadable[slot] = true;
    return nullptr;
  }
  ++m_loads;
  return Cache(number, std::move(root), 0, 0);
}

PDObjectStream* PDFInput::ObjectStreamFor(int32_t number) {
  auto known = m_objectStreams.find(number);
  if (known != m_objectStreams.end()) return known->second.get();
  PDXrefEntry entry = m_xref.Entry(number);
  // An object stream must itself lie in the file: one listed inside another
  // stream (or inside itself) could only lead round in circles.
  if (entry.kind != PDXrefEntry::kInFile) {
    Diag("object stream %d is not an object of the file itself\n", number);
    return nullptr;
  }
  if (!m_streamsLoading.insert(number).second) return nullptr;
  DiagnosticObjectScope place(number, entry.where);
  PDParser parser(*m_source, entry.where, [this](int32_t n) { return ReadLengthObject(n); });
  std::unique_ptr<PDObjectStream> stream;
  if (parser.ReadObject(false) == number && parser.Root()->Dict() && parser.Root()->HasStream()) {
    PDValue& root = *parser.Root();
    const PDValue* type = root.Dict()->Get(kKeyType);
    ByteString decoded;
    if (!type || !type->IsText("/ObjStm")) {
      Diag("object %d is not an object stream\n", number);
    } else if (Decrypt(root, number, entry.index) && DecodeStream(root, decoded, m_decodeCeiling)) {
      stream = PDObjectStream::Parse(root, std::vector<char>(decoded.data(), decoded.data() + decoded.length()));
    } else {
      Diag("object stream %d cannot be decoded\n", number);
    }
  } else {
    Diag("object stream %d unreadable\n", number);
    // Its offset is wrong: the table is damaged, as for a plain object.
    m_streamsLoading.erase(number);
    if (!m_repaired && m_added.empty() && Repair(kBadTrailer)) {
      IndexRepairedObjectStreams();
      return ObjectStreamFor(number);
    }
  }
  m_streamsLoading.erase(number);
  if (stream) {
    if (m_objectStreamBytes + stream->DataSize() > kObjectStreamCache) {
      m_objectStreams.clear();
      m_objectStreamBytes = 0;
    }
    m_objectStreamBytes += stream->DataSize();
  }
  return (m_objectStreams[number] = std::move(stream)).get();
}

PDValuePtr PDFInput::ReadLengthObject(int32_t number) {
  if (number > 0 && static_cast<size_t>(number) < m_cache.size() && m_cache[static_cast<size_t>(number)])
    return PDValue::Copy(m_cache[static_cast<size_t>(number)]->Root());
  PDXrefEntry entry = m_xref.Entry(number);
  if (entry.kind == PDXrefEntry::kInStream) {
    PDObjectStream* stream = ObjectStreamFor(static_cast<int32_t>(entry.where));
    return stream ? stream->ReadObject(entry.index, number) : nullptr;
  }
  if (entry.kind != PDXrefEntry::kInFile) return nullptr;
  if (PDValuePtr plain = ReadPlainLength(number, entry.where)) return plain;
  // A nested parser without a length reader: a /Length that leads back to a
  // stream cannot start another nested read.
  PDParser nested(*m_source, entry.where);
  if (nested.ReadObject(true) != number) return nullptr;
  return nested.TakeRoot();
}

PDValuePtr PDFInput::ReadPlainLength(int32_t number, int64_t offset) {
  // "12 0 obj 345 endobj" in a file held in memory, read without a parser; any
  // other form (comments, a reference, a real) is left to the parser.
  const char* bytes = m_source->Bytes();
  const int64_t size = m_source->Size();
  if (!bytes || offset < 0 || offset >= size) return nullptr;
  const char* at = bytes + offset;
  const char* end = bytes + size;
  auto white = [&]() {
    const char* from = at;
    while (at < end && IsPdfWhite(static_cast<unsigned char>(*at))) ++at;
    return at > from;
  };
  auto digits = [&](int64_t& value) {
    const char* from = at;
    value = 0;
    for (; at < end && IsPdfDigit(static_cast<unsigned char>(*at)); ++at)
      if (value <= INT32_MAX) value = value * 10 + (*at - '0');
    return at > from;
  };
  auto word = [&](std::string_view expected) {
    if (end - at < static_cast<std::ptrdiff_t>(expected.size()) || std::string_view(at, expected.size()) != expected)
      return false;
    at += expected.size();
    return at == end || IsPdfWhite(static_cast<unsigned char>(*at)) || IsPdfDelimiter(static_cast<unsigned char>(*at));
  };
  int64_t found = 0;
  int64_t generation = 0;
  int64_t value = 0;
  white();
  if (!digits(found) || found != number || !white() || !digits(generation) || !white() || !word("obj")) return nullptr;
  white();
  if (!digits(value) || !white() || !word("endobj")) return nullptr;
  return PDValue::MakeInt(value > INT32_MAX ? INT32_MAX : static_cast<int32_t>(value));
}

// ---- repair and decryption -------------------------------------------------

bool PDFInput::Repair(int32_t cause) {
  if (m_repaired) return false;
  m_repaired = true;
  PDXrefTable old = std::move(m_xref);
  m_xref = PDXrefTable();
  if (!RebuildXref(*m_source, m_xref, m_repairedObjectStreams)) {
    m_xref = std::move(old);
    return false;
  }
  // Objects the old table placed in object streams stay there unless the scan
  // found them in the file itself.
  for (int32_t n = 1; n < old.Extent(); ++n) {
    PDXrefEntry entry = old.Entry(n);
    if (entry.kind == PDXrefEntry::kInStream && m_xref.Entry(n).kind == PDXrefEntry::kFree) m_xref.Set(n, entry);
  }
  PDValuePtr rebuilt = m_xref.TakeTrailer();
  if (!m_trailer) {
    m_trailer = std::move(rebuilt);
    if (!ReadTrailerEntries()) {
      m_trailer.reset();
      m_xref = std::move(old);
      return false;
    }
  }
  std::fill(m_unreadable.begin(), m_unreadable.end(), false);
  m_objectStreams.clear();
  m_objectStreamBytes = 0;
  DiagCode(cause, "file repaired: cross-reference data rebuilt by scanning the file (%s)\n",
           m_name.empty() ? "bytes in memory" : m_name.c_str());
  return true;
}

void PDFInput::IndexRepairedObjectStreams() {
  std::vector<int32_t> streams = std::move(m_repairedObjectStreams);
  m_repairedObjectStreams.clear();
  for (int32_t number : streams) {
    PDObjectStream* stream = ObjectStreamFor(number);
    for (int32_t i = 0; stream && i < stream->Count(); ++i) {
      int32_t member = stream->NumberAt(i);
      if (member != number && m_xref.Entry(member).kind == PDXrefEntry::kFree)
        m_xref.Set(member, {PDXrefEntry::kInStream, number, i});
    }
  }
}

void PDFInput::SetUpDecryption() {
  PDValue* encrypt = m_trailer->Dict()->Find("/Encrypt");
  m_encryptNumber = RefNumber(encrypt);
  encrypt = Resolve(encrypt);
  const PDValue* ids = m_trailer->Dict()->Find("/ID");
  const PDValue* first = ids && ids->Is(PDKind::Array) ? ids->GetFirstEl() : nullptr;
  std::string id = first && first->Is(PDKind::Text) ? DecodeStringBytes(first->Text()).str() : std::string();
  if (encrypt && encrypt->Dict()) m_decryptor = PDDecryptor::Open(*encrypt, id);
  if (m_decryptor) {
    m_encrypted = false;
    return;
  }
  Diag("encrypted file needs a password (%s)\n", m_name.c_str());
}

void PDFInput::ReleaseObj(PDObject* object, bool deep) {
  if (!object) return;
  int32_t number = object->Number();
  std::unique_ptr<PDObject>* slot = nullptr;
  if (number > 0 && number < Size() && static_cast<size_t>(number) < m_cache.size())
    slot = &m_cache[static_cast<size_t>(number)];
  else if (number >= Size() && static_cast<size_t>(number - Size()) < m_added.size())
    slot = &m_added[static_cast<size_t>(number - Size())];
  if (!slot || slot->get() != object) {
    Diag("PDFInput::ReleaseObj - wrong object\n");
    return;
  }
  if (!deep) {
    slot->reset();
    return;
  }
  std::vector<std::unique_ptr<PDObject>> released;
  released.push_back(std::move(*slot));
  // Walk with an explicit stack: reference chains in a file can be arbitrarily long.
  std::vector<const PDValue*> pending{released.back()->Root()};
  while (!pending.empty()) {
    const PDValue* value = pending.back();
    pending.pop_back();
    if (!value) continue;
    if (value->Is(PDKind::Reference)) {
      size_t target = static_cast<size_t>(value->Number());
      if (value->Number() <= 0 || target >= m_cache.size() || !m_cache[target]) continue;
      if (m_cache[target]->Class() != kClassOther) continue;
      released.push_back(std::move(m_cache[target]));
      pending.push_back(released.back()->Root());
    } else if (value->Is(PDKind::Array)) {
      for (const PDValue* el = value->GetFirstEl(); el; el = el->Next()) pending.push_back(el);
    } else if (value->Dict()) {
      PDValue* entry = nullptr;
      int32_t key = 0;
      for (int32_t i = 0; value->Dict()->EntryAt(i, entry, key); ++i) pending.push_back(entry);
    }
  }
}

void PDFInput::ReleasePageTreeNodes() {
  for (auto& object : m_cache)
    if (object && object->Class() != kClassOther) object.reset();
}

int32_t PDFInput::AddObject(PDValuePtr value) {
  int32_t number = Size() + static_cast<int32_t>(m_added.size());
  if (number >= kOutputIdBase) {
    SetLastError(kInternal);
    return 0;
  }
  PDObjectClass objectClass = PDObject::ClassOf(value.get());
  auto object = std::make_unique<PDObject>(std::move(value));
  object->SetClass(objectClass);
  object->SetNumber(number);
  m_added.push_back(std::move(object));
  return number;
}

PDValue* PDFInput::Resolve(PDValue* value) {
  if (!value || !value->Is(PDKind::Reference)) return value;
  PDObject* object = GetObj(value->Number());
  return object ? object->Root() : nullptr;
}

bool PDFInput::StreamData(PDObject* object, ByteString& out) {
  DiagnosticScope diagnostics(m_diagnostics);
  out.Clear();
  if (!object || !object->Root()) return Fail(kReadingObject);
  if (m_encrypted) return Fail(kEncrypted);
  PDValue* root = object->Root();
  if (!root->HasStream() && object->FileOffset() > 0) {
    // Loaded without its data (header-only) or a stream of length 0: read again.
    PDParser parser(*m_source, object->FileOffset(), [this](int32_t n) { return ReadLengthObject(n); });
    if (parser.ReadObject(false) == object->Number() && parser.Root()->HasStream()) {
      std::vector<char> bytes = parser.Root()->TakeStreamBytes();
      int32_t generation = m_xref.Entry(object->Number()).index;
      if (m_decryptor && object->Number() != m_encryptNumber &&
          !m_decryptor->DecryptStream(*root, bytes, object->Number(), generation))
        return Fail(kReadingObject);
      root->SetStreamBytes(std::move(bytes));
    }
  }
  if (!root->Dict()) return Fail(kReadingObject);
  if (!DecodeStream(*root, out, m_decodeCeiling)) return Fail(kReadingObject);
  return true;
}

}  // namespace folian
