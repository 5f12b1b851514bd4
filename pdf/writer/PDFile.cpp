#include "pdf/writer/PDFile.h"

#include <atomic>
#include <charconv>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <string_view>

#include "pdf/base/Diagnostics.h"
#include "pdf/object/PDDict.h"
#include "pdf/base/Status.h"
#include "pdf/base/StringCodec.h"

namespace folian {
namespace {

constexpr size_t kInitialOffsets = 1000;
constexpr size_t kTableSlack = 100;
constexpr int kMaxKids = 6;

}  // namespace

PDFile::PDFile() = default;

PDFile::~PDFile() = default;

bool PDFile::OpenFile(const char* name) {
  if (!name) return Fail(kParamValue);
  m_memory = nullptr;
  m_sink.reset();
  int32_t error = 0;
  auto sink = FileSink::Open(name, error);
  if (!sink) return Fail(error);
  m_sink = std::move(sink);
  m_fileName = name;
  InitialiseOutput();
  return true;
}

bool PDFile::OpenMemory() {
  m_sink.reset();
  m_fileName.Clear();
  auto memory = std::make_unique<MemorySink>();
  m_memory = memory.get();
  m_sink = std::move(memory);
  InitialiseOutput();
  return true;
}

void PDFile::InitialiseOutput() {
  TakeSerial();
  MakeFileIdentifier();
  m_offsets.assign(kInitialOffsets, 0);
  m_pages.Clear();
  m_pageCount = 0;
  m_kids.Clear();
  m_leafParents.clear();
  m_leafParents.reserve(200);
  m_counter = 1;
  m_tables.assign(1, {});
  m_currentTable = 0;
  m_infoId = m_rootId = m_outlinesId = 0;
  m_state = kWriting;
  m_column = -1;
  m_lastError = 0;
  m_bodies.clear();
  m_sharedObjects = m_sharedBytes = 0;
}

void PDFile::MakeFileIdentifier() {
  // The seed mixes the time with this document's serial number, so that two
  // documents made in the same second still get different identifiers.
  uint32_t seed = m_fixedSeed ? *m_fixedSeed : static_cast<uint32_t>(std::time(nullptr)) + m_serial * 2654435761u;
  std::minstd_rand generator(seed ? seed : 1);
  for (int i = 0; i < 8; ++i) {
    uint32_t word = generator() % 32768;
    m_fileId[2 * i] = static_cast<unsigned char>(word & 0xFF);
    m_fileId[2 * i + 1] = static_cast<unsigned char>(word >> 8);
  }
  for (int32_t i = 0; i < m_fileName.length(); ++i) m_fileId[i % 16] ^= static_cast<unsigned char>(m_fileName[i]);
}

// ---- numbering -------------------------------------------------------------

int32_t PDFile::NewObjectId() {
  if (m_counter >= kOutputIdBase) {
    // Output numbers are written modulo 1000000; one more would collide.
    Diag("PDFile: too many objects\n");
    m_lastError = kInternal;
    return 0;
  }
  return kOutputIdBase + m_counter++;
}

int32_t PDFile::RefNum(int32_t number, int32_t table) {
  switch (m_state) {
    case kReading: return number;
    case kClosed: return number + kOutputIdBase;
    default: break;
  }
  if (number >= kOutputIdBase) return number;
  if (number < 0 || table < 0 || table >= static_cast<int32_t>(m_tables.size())) {
    m_lastError = kInternal;
    return 0;
  }
  std::vector<int32_t>& map = m_tables[static_cast<size_t>(table)];
  if (static_cast<size_t>(number) >= map.size()) map.resize(static_cast<size_t>(number) + kTableSlack, 0);
  int32_t& entry = map[static_cast<size_t>(number)];
  if (entry == 0) entry = NewObjectId();
  return entry;
}

int32_t PDFile::AddSourceTable() {
  m_tables.emplace_back();
  m_tables.back().reserve(kTableSlack);
  return static_cast<int32_t>(m_tables.size()) - 1;
}

void PDFile::ForgetRefNum(int32_t number, int32_t table) {
  if (table < 0 || table >= static_cast<int32_t>(m_tables.size())) return;
  std::vector<int32_t>& map = m_tables[static_cast<size_t>(table)];
  if (number >= 0 && static_cast<size_t>(number) < map.size()) map[static_cast<size_t>(number)] = 0;
}

void PDFile::ReleaseSourceTable(int32_t table) {
  if (table <= 0 || table >= static_cast<int32_t>(m_tables.size())) return;
  std::vector<int32_t>().swap(m_tables[static_cast<size_t>(table)]);
}

void PDFile::ClearTable() {
  if (!m_tables.empty()) m_tables[0].clear();
}

// ---- token writer ----------------------------------------------------------

bool PDFile::WriteRaw(const char* data, size_t length) {
  if (m_capture) {
    m_capture->Append(data, length);
    return true;
  }
  if (!m_sink) return Fail(kInputOutput);
  if (length == 0) return true;
  int32_t error = 0;
  if (!m_sink->Append(data, length, error)) return Fail(error);
  return true;
}

bool PDFile::WriteToken(const char* text) {
  if (!text) return Fail(kInternal);
  return WriteToken(text, static_cast<int32_t>(std::strlen(text)));
}

bool PDFile::WriteToken(const char* text, int32_t length) {
  if (!text || length < 0) return Fail(kInternal);
  TextBuffer& out = Scratch();
  AppendToken(out, text, length);
  return Emit(out);
}

bool PDFile::WriteLineEnd() {
  m_column = 0;
  return WriteRaw("\r\n", 2);
}

bool PDFile::WriteInt(long value) {
  TextBuffer& out = Scratch();
  AppendInt(out, value);
  return Emit(out);
}

bool PDFile::WriteRef(int32_t id, int32_t table) {
  TextBuffer& out = Scratch();
  if (!AppendRef(out, id, table)) return Fail(kInternal);
  return Emit(out);
}

TextBuffer& PDFile::Scratch() {
  if (m_capture) return *m_capture;
  m_valueText.clear();
  return m_valueText;
}

bool PDFile::Emit(const TextBuffer& out) {
  return &out == m_capture || WriteRaw(out.data(), out.size());
}

void PDFile::AppendInt(TextBuffer& out, long value) {
  char text[24];
  char* end = std::to_chars(text, text + sizeof text, value).ptr;
  AppendToken(out, text, static_cast<int32_t>(end - text));
}

bool PDFile::AppendRef(TextBuffer& out, int32_t id, int32_t table) {
  int32_t number = RefNum(id, table);
  if (number == 0) return false;
  char text[32];
  char* end = std::to_chars(text, text + sizeof text, number % kOutputIdBase).ptr;
  std::memcpy(end, " 0 R", 4);
  AppendToken(out, text, static_cast<int32_t>(end + 4 - text));
  return true;
}

bool PDFile::WriteString(const char* text) {
  if (!text) return Fail(kInternal);
  return WriteToken(EncodeString(text, static_cast<int32_t>(std::strlen(text)), StringMode::Literal));
}

bool PDFile::WriteValue(const PDValue* value) {
  if (!value) return Fail(kInternal);
  // The whole value is laid out first and handed on in one piece: a call per
  // token was most of the cost of writing a copied object.
  TextBuffer& out = Scratch();
  if (!AppendValue(value, out)) return Fail(kInternal);
  return Emit(out);
}

bool PDFile::AppendValue(const PDValue* value, TextBuffer& out) {
  switch (value->Kind()) {
    case PDKind::Integer:
      AppendInt(out, value->Number());
      return true;
    case PDKind::Reference:
      return AppendRef(out, value->Number(), m_currentTable);
    case PDKind::Array:
      AppendToken(out, "[", 1);
      for (const PDValue* el = value->GetFirstEl(); el; el = el->Next())
        if (!AppendValue(el, out)) return false;
      AppendToken(out, "]", 1);
      return true;
    case PDKind::Dictionary: {
      // A dictionary that starts a line is written one entry per line.
      const bool lines = m_column == 0;
      AppendToken(out, "<<", 2);
      if (lines) AppendLineEnd(out);
      PDValue* entry = nullptr;
      int32_t key = 0;
      for (int32_t i = 0; value->Dict()->EntryAt(i, entry, key); ++i) {
        const std::string_view name = value->Dict()->KeyViewAt(key);
        AppendToken(out, name.data(), static_cast<int32_t>(name.size()));
        if (!AppendValue(entry, out)) return false;
        if (lines) AppendLineEnd(out);
      }
      AppendToken(out, ">>", 2);
      return true;
    }
    default: {
      const ByteString& text = value->Text();
      if (!text.c_str()) return false;
      AppendToken(out, text.c_str(), text.length());
      return true;
    }
  }
}


bool PDFile::WriteHeader(HeaderEnd end) {
  if (m_state != kWriting || !m_sink) return Fail(kInputOutput);
  if (m_column != -1) return true;
  const bool ok = end == HeaderEnd::kLineFeed ? WriteRaw("%PDF-1.3\n", 9) : WriteRaw("%PDF-1.3\r\n", 10);
  if (ok) m_column = 0;
  return ok;
}

bool PDFile::BeginObject(int32_t id, int32_t table) {
  if (m_state != kWriting || !m_sink) return Fail(kInputOutput);
  if (m_column == -1 && !WriteHeader(HeaderEnd::kCarriageReturnLineFeed)) return false;
  m_column = 0;
  int32_t number = (id < kOutputIdBase ? RefNum(id, table) : id) % kOutputIdBase;
  if (number <= 0) return Fail(kInternal);
  if (static_cast<size_t>(number) >= m_offsets.size()) m_offsets.resize(static_cast<size_t>(number) + kTableSlack, 0);
  if (m_offsets[static_cast<size_t>(number)] != 0) return Fail(kAlreadyWritten);
  m_offsets[static_cast<size_t>(number)] = Position();
  char header[32];
  char* end = std::to_chars(header, header + sizeof header, number).ptr;
  std::memcpy(end, " 0 obj", 6);
  if (!WriteToken(header, static_cast<int32_t>(end + 6 - header))) return false;
  return WriteLineEnd();
}

bool PDFile::EndObject() {
  if (m_column != 0 && !WriteLineEnd()) return false;
  if (!WriteToken("endobj", 6)) return false;
  return WriteLineEnd();
}

bool PDFile::MakeBody(const PDValue* root, Body& body) {
  if (!root || m_state != kWriting || !m_sink) return Fail(kInternal);
  body.bytes.clear();
  // A body starts on a fresh line, as it does after "n 0 obj".
  const int32_t savedColumn = m_column;
  m_column = 0;
  m_capture = &body.bytes;
  bool ok = WriteValue(root);
  if (ok && root->HasStream()) {
    const std::vector<char>& bytes = root->StreamBytes();
    ok = WriteLineEnd() && WriteToken("stream", 6) && WriteLineEnd() && WriteRaw(bytes.data(), bytes.size()) &&
         WriteLineEnd() && WriteToken("endstream", 9);
  }
  ok = ok && EndObject();
  m_capture = nullptr;
  m_column = savedColumn;
  body.hash = std::hash<std::string_view>{}(body.bytes.view());
  return ok;
}

int32_t PDFile::FindWritten(const Body& body) {
  auto [first, last] = m_bodies.equal_range(body.hash);
  for (auto it = first; it != last; ++it) {
    const WrittenBody& written = it->second;
    if (written.length != body.bytes.size()) continue;
    if (!m_sink->Matches(written.offset, body.bytes.data(), body.bytes.size())) continue;
    ++m_sharedObjects;
    m_sharedBytes += static_cast<int64_t>(body.bytes.size());
    return written.id;
  }
  return 0;
}

bool PDFile::WriteBody(int32_t id, const Body& body) {
  if (!BeginObject(id)) return false;
  const int64_t offset = Position();
  if (!WriteRaw(body.bytes.data(), body.bytes.size())) return false;
  m_column = 0;
  m_bodies.emplace(body.hash, WrittenBody{id, offset, body.bytes.size()});
  return true;
}

void PDFile::ShareRefNum(int32_t number, int32_t table, int32_t id) {
  if (number < 0 || table < 0 || table >= static_cast<int32_t>(m_tables.size())) return;
  std::vector<int32_t>& map = m_tables[static_cast<size_t>(table)];
  if (static_cast<size_t>(number) >= map.size()) map.resize(static_cast<size_t>(number) + kTableSlack, 0);
  map[static_cast<size_t>(number)] = id;
}

int32_t PDFile::PeekRefNum(int32_t number, int32_t table) const {
  if (number < 0 || table < 0 || table >= static_cast<int32_t>(m_tables.size())) return 0;
  const std::vector<int32_t>& map = m_tables[static_cast<size_t>(table)];
  return static_cast<size_t>(number) < map.size() ? map[static_cast<size_t>(number)] : 0;
}

bool PDFile::WriteObject(PDObject& object) {
  if (!object.Root()) return Fail(kInternal);
  if (object.Number() == 0) {
    int32_t id = NewObjectId();
    if (id == 0) return false;
    object.SetNumber(id);
  }
  if (!BeginObject(object.Number(), m_currentTable) || !WriteValue(object.Root())) return false;
  if (object.Root()->HasStream()) {
    const std::vector<char>& bytes = object.Root()->StreamBytes();
    if (!WriteLineEnd() || !WriteToken("stream", 6) || !WriteLineEnd()) return false;
    if (!WriteRaw(bytes.data(), bytes.size()) || !WriteLineEnd() || !WriteToken("endstream", 9)) return false;
  }
  return EndObject();
}


// ---- pages -----------------------------------------------------------------

int32_t PDFile::RegisterPage(int32_t id, int32_t pageCount) {
  size_t leaf = static_cast<size_t>(m_kids.Count() / kMaxKids);
  if (leaf > m_leafParents.size()) {
    Diag("parent id allocation error\n");
    m_lastError = kInternal;
    return 0;
  }
  if (leaf == m_leafParents.size()) {
    int32_t parent = NewObjectId();
    if (parent == 0) return 0;
    m_leafParents.push_back(parent);
  }
  if (m_state == kWriting) {
    int32_t number = (id < kOutputIdBase ? RefNum(id, m_currentTable) : id) % kOutputIdBase;
    m_kids.Append(PDPair{number, pageCount});
  }
  return m_leafParents[leaf];
}

void PDFile::CountPage(int32_t id) {
  int32_t number = (id < kOutputIdBase ? RefNum(id, m_currentTable) : id) % kOutputIdBase;
  if (m_pageCount < m_pages.Count()) {
    int32_t recorded = 0;
    if (!m_pages.Get(m_pageCount, recorded) || recorded != number) Diag("PDFile::CountPage - assertion failed\n");
  } else {
    m_pages.Append(number);
  }
  ++m_pageCount;
}

int32_t PDFile::PageIdAt(int32_t index) {
  int32_t number = 0;
  if (!m_pages.Get(index, number)) {
    m_lastError = kParamValue;
    return 0;
  }
  return number;
}

int32_t PDFile::CreateOutlines() {
  if (m_outlinesId != 0) {
    Diag("CreateOutlines called more than once\n");
    m_lastError = kBadCallingSequence;
    return 0;
  }
  m_outlinesId = NewObjectId();
  return m_outlinesId;
}

bool PDFile::WritePagesNode(int32_t id, int32_t parentId, const std::vector<int32_t>& kidIds, bool leafKids,
                            int32_t count) {
  if (!BeginObject(id) || !WriteToken("<<", 2) || !WriteLineEnd()) return false;
  if (!WriteToken("/Type /Pages") || !WriteLineEnd() || !WriteToken("/Kids [")) return false;
  for (int32_t kid : kidIds) {
    // Leaf kids are already output numbers; higher kids are ids.
    bool ok = leafKids ? WriteInt(kid) && WriteToken("0 R", 3) : WriteRef(kid);
    if (!ok) return false;
  }
  if (!WriteToken("]", 1) || !WriteLineEnd() || !WriteToken("/Count") || !WriteInt(count) || !WriteLineEnd())
    return false;
  if (parentId != 0 && (!WriteToken("/Parent") || !WriteRef(parentId) || !WriteLineEnd())) return false;
  if (!WriteToken(">>", 2)) return false;
  return EndObject();
}

bool PDFile::WriteContents() {
  const std::vector<PDPair>& kids = m_kids.Items();
  size_t leaves = (kids.size() + kMaxKids - 1) / kMaxKids;
  if (leaves != m_leafParents.size()) Diag("assertion failed in PDFile::WriteContents\n");
  leaves = std::min(leaves, m_leafParents.size());

  // The kids of leaf i, as output numbers, with their summed page count.
  auto leafKids = [&](size_t i, int32_t& count) {
    std::vector<int32_t> ids;
    count = 0;
    for (size_t k = i * kMaxKids; k < std::min(kids.size(), (i + 1) * kMaxKids); ++k) {
      ids.push_back(kids[k].first);
      count += kids[k].second;
    }
    return ids;
  };

  int32_t rootId = 0;
  if (leaves <= 1) {
    // One leaf (or none): the root is leaf 0 and holds the registered kids itself.
    rootId = m_leafParents.empty() ? NewObjectId() : m_leafParents[0];
    if (rootId == 0) return false;
    int32_t count = 0;
    std::vector<int32_t> ids = leafKids(0, count);
    if (!WritePagesNode(rootId, 0, ids, true, count)) return false;
  } else {
    struct Node {
      int32_t id;
      int32_t count;
      std::vector<int32_t> kids;
    };
    // The leaves are written under parents allocated one per six leaves.
    std::vector<Node> level;
    for (size_t i = 0; i < leaves; ++i) {
      if (i % kMaxKids == 0) {
        int32_t id = NewObjectId();
        if (id == 0) return false;
        level.push_back({id, 0, {}});
      }
      int32_t count = 0;
      std::vector<int32_t> ids = leafKids(i, count);
      level.back().count += count;
      level.back().kids.push_back(m_leafParents[i]);
      if (!WritePagesNode(m_leafParents[i], level.back().id, ids, true, count)) return false;
    }
    // While a level has more than one node, its nodes are written under new
    // parents, six at most each; the single node left is the root.
    while (level.size() > 1) {
      std::vector<Node> above;
      for (size_t i = 0; i < level.size(); ++i) {
        if (i % kMaxKids == 0) {
          int32_t id = NewObjectId();
          if (id == 0) return false;
          above.push_back({id, 0, {}});
        }
        above.back().count += level[i].count;
        above.back().kids.push_back(level[i].id);
        if (!WritePagesNode(level[i].id, above.back().id, level[i].kids, false, level[i].count)) return false;
      }
      level = std::move(above);
    }
    rootId = level[0].id;
    if (!WritePagesNode(rootId, 0, level[0].kids, false, level[0].count)) return false;
  }

  int32_t threadsId = 0;
  if (!m_threads.empty()) {
    threadsId = NewObjectId();
    if (threadsId == 0 || !BeginObject(threadsId) || !WriteToken("[", 1)) return false;
    for (int32_t thread : m_threads)
      if (thread != 0 && !WriteRef(thread)) return false;
    if (!WriteToken("]", 1) || !EndObject()) return false;
  }
  m_threadsId = threadsId;

  m_rootId = NewObjectId();
  if (m_rootId == 0 || !BeginObject(m_rootId) || !WriteToken("<<", 2) || !WriteLineEnd()) return false;
  if (!WriteToken("/Type /Catalog") || !WriteLineEnd()) return false;
  if (!WriteToken("/Pages") || !WriteRef(rootId) || !WriteLineEnd()) return false;
  if (!WriteCatalogEntries() || !WriteToken(">>", 2)) return false;
  return EndObject();
}

bool PDFile::WriteCatalogEntries() {
  if (m_outlinesId != 0 && !(WriteToken("/Outlines") && WriteRef(m_outlinesId) &&
                             WriteToken("/PageMode /UseOutlines") && WriteLineEnd()))
    return false;
  if (m_viewerPrefsId != 0 && !(WriteToken("/ViewerPreferences") && WriteRef(m_viewerPrefsId) && WriteLineEnd()))
    return false;
  if (m_threadsId != 0 && !(WriteToken("/Threads") && WriteRef(m_threadsId) && WriteLineEnd())) return false;
  return true;
}

// ---- close -----------------------------------------------------------------

bool PDFile::Close() {
  DiagnosticScope diagnostics(m_diagnostics);
  if (m_state != kWriting || !m_sink) {
    // Nothing open (or a reader): nothing to write.
    if (m_state == kWriting) m_state = kClosed;
    return true;
  }
  bool ok = FinishDocument();
  if (m_sharedObjects > 0)
    m_diagnostics.Note("shared " + std::to_string(m_sharedObjects) + " objects identical to ones already written (" +
                       std::to_string(m_sharedBytes) + " bytes not written again)\n");
  ok = ok && WriteContents();
  ok = ok && WriteXrefAndTrailer();
  ReleaseNumbering();
  m_state = kClosed;
  int32_t error = 0;
  if (!m_sink->Close(error)) {
    m_lastError = error;
    ok = false;
  }
  if (!m_memory) m_sink.reset();
  return ok;
}

void PDFile::ReleaseNumbering() {
  m_tables.clear();
  m_tables.shrink_to_fit();
  m_offsets.clear();
  m_offsets.shrink_to_fit();
  m_bodies.clear();
  m_leafParents.clear();
  m_threads.clear();
}

bool PDFile::WriteXrefAndTrailer() {
  if (m_column != 0 && !WriteLineEnd()) return false;
  int64_t xrefOffset = Position();
  int32_t size = m_counter;
  char line[64];
  int length = std::snprintf(line, sizeof line, "xref\r\n0 %ld\r\n", static_cast<long>(size));
  if (!WriteRaw(line, static_cast<size_t>(length))) return false;

  auto written = [&](int32_t n) {
    return static_cast<size_t>(n) < m_offsets.size() && m_offsets[static_cast<size_t>(n)] != 0;
  };
  // Free entries chain to the next higher unwritten number; the last one points at 0.
  TextBuffer table;
  table.Reserve(static_cast<size_t>(size) * 20);
  int32_t nextFree = 0;
  std::vector<int32_t> nextFreeOf(static_cast<size_t>(size), 0);
  for (int32_t n = size - 1; n >= 0; --n) {
    nextFreeOf[static_cast<size_t>(n)] = nextFree;
    if (n == 0 || !written(n)) nextFree = n;
  }
  // Each entry is "oooooooooo ggggg n\r\n": numbers zero-padded to at least ten
  // and five digits, written from the right into their places.
  auto padded = [&table](int64_t value, int width) {
    char digits[24];
    char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    const auto count = static_cast<int>(end - digits);
    char* put = table.Room(static_cast<size_t>(std::max(count, width)));
    if (count < width) std::memset(put, '0', static_cast<size_t>(width - count));
    std::memcpy(put + std::max(width - count, 0), digits, static_cast<size_t>(count));
    table.Commit(static_cast<size_t>(std::max(count, width)));
  };
  constexpr int64_t kTenDigits = 10000000000;
  for (int32_t n = 0; n < size; ++n) {
    const bool inUse = n != 0 && written(n);
    int64_t offset = inUse ? m_offsets[static_cast<size_t>(n)] : nextFreeOf[static_cast<size_t>(n)];
    int32_t generation = inUse ? 0 : (n == 0 ? 65535 : 0);
    if (offset < 0 || offset >= kTenDigits) {
      padded(offset, 10);
      table.Append(" ", 1);
      padded(generation, 5);
      table.Append(inUse ? " n\r\n" : " f\r\n", 4);
      continue;
    }
    char* entry = table.Room(20);
    for (int i = 9; i >= 0; --i, offset /= 10) entry[i] = static_cast<char>('0' + offset % 10);
    entry[10] = ' ';
    for (int i = 15; i >= 11; --i, generation /= 10) entry[i] = static_cast<char>('0' + generation % 10);
    std::memcpy(entry + 16, inUse ? " n\r\n" : " f\r\n", 4);
    table.Commit(20);
  }
  if (!WriteRaw(table.data(), table.size())) return false;

  m_column = 0;
  if (!WriteToken("trailer") || !WriteLineEnd() || !WriteToken("<<", 2) || !WriteLineEnd()) return false;
  if (!WriteToken("/Size") || !WriteInt(size) || !WriteLineEnd()) return false;
  if (m_infoId != 0 && (!WriteToken("/Info") || !WriteRef(m_infoId) || !WriteLineEnd())) return false;
  if (!WriteToken("/Root") || !WriteRef(m_rootId) || !WriteLineEnd()) return false;
  ByteString id = EncodeString(reinterpret_cast<const char*>(m_fileId), 16, StringMode::Hex);
  ByteString ids = ByteString("/ID [") + id + id + ByteString("]");
  if (!WriteToken(ids) || !WriteLineEnd() || !WriteToken(">>", 2) || !WriteLineEnd()) return false;
  if (!WriteToken("startxref") || !WriteLineEnd() || !WriteInt(static_cast<long>(xrefOffset)) || !WriteLineEnd())
    return false;
  return WriteToken("%%EOF") && WriteLineEnd();
}

}  // namespace folian
