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
// codes of Status.h. The input reader derives from this class for reading
// (state 1); the output document derives from it for writing (state 2).
#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <vector>

#include "pdf/core/ByteString.h"
#include "pdf/core/OutputSink.h"
#include "pdf/core/PDArr.h"
#include "pdf/core/PDObject.h"
#include "pdf/core/PDValue.h"

namespace folian {

constexpr int32_t kOutputIdBase = 1000000;

class PDFile {
public:
  enum State : int32_t { kClosed = 0, kReading = 1, kWriting = 2 };

  PDFile();
  virtual ~PDFile();
  PDFile(const PDFile&) = delete;
  PDFile& operator=(const PDFile&) = delete;

  // Opens a disk file for writing ("wb"); false with the errno as last error.
  bool OpenFile(const char* name);
  // Opens a growing memory buffer as the output.
  bool OpenMemory();
  // Finishes the document, writes the pages tree, catalog, cross-reference table
  // and trailer, and closes the sink. Closing a file that is not open succeeds.
  bool Close();

  int32_t State() const { return m_state; }
  // This document's value of the process-wide serial counter, taken when it was set up.
  uint32_t Serial() const { return m_serial; }
  int32_t LastError() const { return m_lastError; }
  void SetLastError(int32_t code) { m_lastError = code; }
  const ByteString& FileName() const { return m_fileName; }
  // The memory output (valid after Close until destruction); none for disk output.
  const MemorySink* Memory() const { return m_memory; }

  // Numbering.
  int32_t NewObjectId();
  int32_t RefNum(int32_t number, int32_t table);
  int32_t AddSourceTable();
  void ClearTable();
  // Frees the memory of a source table whose input is gone; the number stays taken.
  void ReleaseSourceTable(int32_t table);
  // Forgets the output number of one source object, so its next mention gets a new one.
  void ForgetRefNum(int32_t number, int32_t table);
  int32_t CurrentTable() const { return m_currentTable; }
  void SetCurrentTable(int32_t table) { m_currentTable = table; }
  int32_t ObjectCounter() const { return m_counter; }

  // Token writer.
  bool BeginObject(int32_t id, int32_t table = 0);
  bool EndObject();
  bool WriteToken(const char* text);
  bool WriteToken(const ByteString& text) { return WriteToken(text.c_str(), text.length()); }
  bool WriteToken(const char* text, int32_t length);
  bool WriteLineEnd();
  bool WriteInt(long value);
  bool WriteRef(int32_t id, int32_t table = 0);
  bool WriteString(const char* text);
  // Serialises a value; references are translated through the current table.
  bool WriteValue(const PDValue* value);
  bool WriteObject(PDObject& object);
  // Writes bytes as they are (stream data); the column is not touched.
  bool WriteRaw(const char* data, size_t length);
  int32_t Column() const { return m_column; }
  int64_t Position() const { return m_sink ? m_sink->Position() : 0; }

  // Pages.
  int32_t RegisterPage(int32_t id, int32_t pageCount);
  void CountPage(int32_t id);
  int32_t PageIdAt(int32_t index);
  int32_t PagesRecorded() const { return m_pageCount; }
  int32_t KidsRegistered() const { return m_kids.Count(); }

  // Catalog extras.
  int32_t CreateOutlines();
  int32_t OutlinesId() const { return m_outlinesId; }
  void SetViewerPreferencesId(int32_t id) { m_viewerPrefsId = id; }
  void SetThreads(std::vector<int32_t> threadIds) { m_threads = std::move(threadIds); }
  int32_t InfoId() const { return m_infoId; }
  void SetInfoId(int32_t id) { m_infoId = id; }
  int32_t RootId() const { return m_rootId; }

  const unsigned char* FileIdentifier() const { return m_fileId; }

  // Test hooks: a fixed clock for dates and a fixed seed for the file identifier,
  // so that whole files can be compared byte for byte.
  void SetFixedClock(std::time_t when) { m_fixedClock = when; }
  void SetFixedIdSeed(uint32_t seed) { m_fixedSeed = seed; }
  std::time_t Now() const { return m_fixedClock ? *m_fixedClock : std::time(nullptr); }

protected:
  virtual std::unique_ptr<PDObject> CreateObject(PDValuePtr root, PDObjectClass objectClass);
  // Called first at close: the output document ends its page and writes its own objects.
  virtual bool FinishDocument() { return true; }
  // Writes the pages tree and the catalog.
  virtual bool WriteContents();
  // Catalog entries beyond /Type and /Pages, each followed by a line end.
  virtual void WriteCatalogEntries();

  void InitialiseOutput();
  bool Fail(int32_t code) {
    m_lastError = code;
    return false;
  }

  int32_t m_state = kClosed;
  int32_t m_column = -1;
  int32_t m_lastError = 0;
  uint32_t m_serial = 0;  // this document's value of the process-wide serial counter

private:
  bool WriteXrefAndTrailer();
  bool WritePagesNode(int32_t id, int32_t parentId, const std::vector<int32_t>& kidIds, bool leafKids,
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

  std::optional<std::time_t> m_fixedClock;
  std::optional<uint32_t> m_fixedSeed;
};

// The process-wide document serial counter, incremented for every output or input
// document that is set up. The only global state of the library.
uint32_t NextDocumentSerial();

}  // namespace folian
