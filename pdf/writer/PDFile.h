#pragma once
// PDFile: a PDF file written in one forward pass, to disk or memory.
//
// Owns the output numbering (ids at or above 1000000 are output ids; lower numbers
// are object numbers of an input file, translated through a mapping table by
// RefNum), the token writer that all serialisation goes through, the page list and
// the registered kids of the balanced pages tree written at close, and the
// cross-reference table and trailer. Nothing written is ever rewritten.
//
// Failure: operations yield false (or 0 for ids) and record the code in the last
// error: an operating-system error number for file trouble, or one of the status
// codes of Status.h. The output document derives from this class; the input
// reader is a sibling that shares only PDDocumentBase.
#include <cstdint>
#include <cstring>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "pdf/base/ByteString.h"
#include "pdf/base/PDDocumentBase.h"
#include "pdf/io/OutputSink.h"
#include "pdf/base/PDArr.h"
#include "pdf/base/TextBuffer.h"
#include "pdf/object/PDObject.h"
#include "pdf/object/PDValue.h"

namespace folian {

class PDFile : public PDDocumentBase {
public:
  // A token that would run a line past this column starts a new line.
  static constexpr int32_t kLineLimit = 75;
  PDFile();
  ~PDFile() override;
  PDFile(const PDFile&) = delete;
  PDFile& operator=(const PDFile&) = delete;

  // Opens a disk file for writing ("wb"); false with the errno as last error.
  [[nodiscard]] bool OpenFile(const char* name);
  // Opens a growing memory buffer as the output.
  [[nodiscard]] bool OpenMemory();
  // Finishes the document, writes the pages tree, catalog, cross-reference table
  // and trailer, and closes the sink. Closing a file that is not open succeeds.
  [[nodiscard]] bool Close();

  const ByteString& FileName() const { return m_fileName; }
  // The memory output (valid after Close until destruction); none for disk output.
  const MemorySink* Memory() const { return m_memory; }

  // Numbering.
  [[nodiscard]] int32_t NewObjectId();
  [[nodiscard]] int32_t RefNum(int32_t number, int32_t table);
  [[nodiscard]] int32_t AddSourceTable();
  void ClearTable();
  // Frees the memory of a source table whose input is gone; the number stays taken.
  void ReleaseSourceTable(int32_t table);
  // Forgets the output number of one source object, so its next mention gets a new one.
  void ForgetRefNum(int32_t number, int32_t table);
  [[nodiscard]] int32_t CurrentTable() const { return m_currentTable; }
  void SetCurrentTable(int32_t table) { m_currentTable = table; }
  [[nodiscard]] int32_t ObjectCounter() const { return m_counter; }

  // Writes the file header "%PDF-1.3" once, before anything else. Files made
  // through the exported interface end it with a line feed, others with CR LF;
  // BeginObject writes it when nobody has yet.
  enum class HeaderEnd { kLineFeed, kCarriageReturnLineFeed };
  [[nodiscard]] bool WriteHeader(HeaderEnd end);

  // Token writer.
  [[nodiscard]] bool BeginObject(int32_t id, int32_t table = 0);
  [[nodiscard]] bool EndObject();
  [[nodiscard]] bool WriteToken(const char* text);
  [[nodiscard]] bool WriteToken(const ByteString& text) { return WriteToken(text.c_str(), text.length()); }
  [[nodiscard]] bool WriteToken(const char* text, int32_t length);
  [[nodiscard]] bool WriteLineEnd();
  [[nodiscard]] bool WriteInt(long value);
  [[nodiscard]] bool WriteRef(int32_t id, int32_t table = 0);
  [[nodiscard]] bool WriteString(const char* text);
  // Serialises a value; references are translated through the current table.
  [[nodiscard]] bool WriteValue(const PDValue* value);
  [[nodiscard]] bool WriteObject(PDObject& object);
  // Writes bytes as they are (stream data); the column is not touched.
  [[nodiscard]] bool WriteRaw(const char* data, size_t length);
  [[nodiscard]] int32_t Column() const { return m_column; }
  [[nodiscard]] int64_t Position() const { return m_sink ? m_sink->Position() : 0; }

  // Sharing identical objects. An object's body (what follows its "n 0 obj"
  // line) is made first; when the same bytes were written before as the body of
  // another object, that object's id serves for this one too and nothing is
  // written. Bytes are compared, never just hashes. On by default.
  struct Body {
    TextBuffer bytes;
    size_t hash = 0;
  };
  void SetSharing(bool on) { m_sharing = on; }
  [[nodiscard]] bool Sharing() const { return m_sharing; }
  // Serialises the object's value (and stream) as a body; references are
  // translated through the current table.
  [[nodiscard]] bool MakeBody(const PDValue* root, Body& body);
  // The id of an object written with this body, or 0.
  [[nodiscard]] int32_t FindWritten(const Body& body);
  // Writes the body as object `id` and remembers it for later look-ups.
  [[nodiscard]] bool WriteBody(int32_t id, const Body& body);
  // Enters `id` as the output number of source object `number` of `table`.
  void ShareRefNum(int32_t number, int32_t table, int32_t id);
  [[nodiscard]] int32_t PeekRefNum(int32_t number, int32_t table) const;
  [[nodiscard]] int64_t SharedObjects() const { return m_sharedObjects; }
  [[nodiscard]] int64_t SharedBytes() const { return m_sharedBytes; }

  // Pages.
  [[nodiscard]] int32_t RegisterPage(int32_t id, int32_t pageCount);
  void CountPage(int32_t id);
  [[nodiscard]] int32_t PageIdAt(int32_t index);
  [[nodiscard]] int32_t PagesRecorded() const { return m_pageCount; }
  [[nodiscard]] int32_t KidsRegistered() const { return m_kids.Count(); }

  // Catalog extras.
  [[nodiscard]] int32_t CreateOutlines();
  [[nodiscard]] int32_t OutlinesId() const { return m_outlinesId; }
  void SetViewerPreferencesId(int32_t id) { m_viewerPrefsId = id; }
  void SetThreads(std::vector<int32_t> threadIds) { m_threads = std::move(threadIds); }
  [[nodiscard]] int32_t InfoId() const { return m_infoId; }
  void SetInfoId(int32_t id) { m_infoId = id; }
  [[nodiscard]] int32_t RootId() const { return m_rootId; }

  const unsigned char* FileIdentifier() const { return m_fileId; }

  // Test hooks: a fixed clock for dates and a fixed seed for the file identifier,
  // so that whole files can be compared byte for byte.
  void SetFixedClock(std::time_t when) { m_fixedClock = when; }
  void SetFixedIdSeed(uint32_t seed) { m_fixedSeed = seed; }
  std::time_t Now() const { return m_fixedClock ? *m_fixedClock : std::time(nullptr); }

protected:
  // Called first at close: the output document ends its page and writes its own objects.
  [[nodiscard]] virtual bool FinishDocument() { return true; }
  // Writes the pages tree and the catalog.
  [[nodiscard]] virtual bool WriteContents();
  // Catalog entries beyond /Type and /Pages, each followed by a line end.
  [[nodiscard]] virtual bool WriteCatalogEntries();

  void InitialiseOutput();

  int32_t m_column = -1;

private:
  [[nodiscard]] bool WriteXrefAndTrailer();
  // The token writer's layout of a value, appended to `out`; false when a
  // reference cannot be numbered.
  [[nodiscard]] bool AppendValue(const PDValue* value, TextBuffer& out);
  void AppendInt(TextBuffer& out, long value);
  [[nodiscard]] bool AppendRef(TextBuffer& out, int32_t id, int32_t table);
  // Where tokens are laid out: the capture while one is set, else an emptied
  // buffer of the writer's own. Emit hands what was laid out to the output.
  TextBuffer& Scratch();
  [[nodiscard]] bool Emit(const TextBuffer& out);
  void AppendToken(TextBuffer& out, const char* text, int32_t length) {
    // A blank between tokens, a line end before a token that would run past the
    // line limit.
    char* start = out.Room(static_cast<size_t>(length) + 3);
    char* put = start;
    if (m_column > 0 && m_column + length > kLineLimit) {
      *put++ = '\r';
      *put++ = '\n';
      m_column = 0;
    }
    if (m_column > 0) {
      *put++ = ' ';
      ++m_column;
    }
    std::memcpy(put, text, static_cast<size_t>(length));
    m_column += length;
    out.Commit(static_cast<size_t>(put + length - start));
  }
  void AppendLineEnd(TextBuffer& out) {
    out.Append("\r\n", 2);
    m_column = 0;
  }
  [[nodiscard]] bool WritePagesNode(int32_t id, int32_t parentId, const std::vector<int32_t>& kidIds, bool leafKids,
                      int32_t count);
  void MakeFileIdentifier();
  void ReleaseNumbering();

  std::unique_ptr<OutputSink> m_sink;
  MemorySink* m_memory = nullptr;  // borrowed view of m_sink when writing to memory
  ByteString m_fileName;

  std::vector<int64_t> m_offsets;
  int32_t m_counter = 1;
  std::vector<std::vector<int32_t>> m_tables;
  int32_t m_currentTable = 0;

  PDArr<int32_t> m_pages{200};
  int32_t m_pageCount = 0;
  PDArr<PDPair> m_kids{20};
  std::vector<int32_t> m_leafParents;

  int32_t m_infoId = 0;
  int32_t m_rootId = 0;
  int32_t m_outlinesId = 0;
  int32_t m_viewerPrefsId = 0;
  std::vector<int32_t> m_threads;
  int32_t m_threadsId = 0;
  unsigned char m_fileId[16] = {};

  struct WrittenBody {
    int32_t id;
    int64_t offset;
    size_t length;
  };
  bool m_sharing = true;
  TextBuffer* m_capture = nullptr;  // while set, the token writer appends here
  TextBuffer m_valueText;           // tokens laid out before they are written
  std::unordered_multimap<size_t, WrittenBody> m_bodies;
  int64_t m_sharedObjects = 0;
  int64_t m_sharedBytes = 0;

  std::optional<std::time_t> m_fixedClock;
  std::optional<uint32_t> m_fixedSeed;
};

}  // namespace folian
