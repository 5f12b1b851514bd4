#pragma once
// PDFInput: an existing PDF file opened for reading.
//
// Opened from a disk file (read on demand, or loaded whole into memory) or from a
// caller's bytes. Opening reads the header, the "startxref" position, the chain of
// cross-reference sections (tables or streams) with the newest trailer, and the
// catalog; every other object is loaded on first request, from the file or from an
// object stream, and cached by number until released. A file whose cross-reference
// data is missing, unreadable or points to the wrong places is repaired by scanning
// it for objects, and the repair is reported to the diagnostics. A file encrypted
// by the standard handler that opens with the empty user password is decrypted as
// it is read; one that needs a password opens but refuses its data. Pages are
// found by descending the pages tree by its /Count entries, so finding one page of
// a large document loads only the nodes on its path.
//
// Ownership: the input owns its source bytes, its tables and every cached object;
// the PDObject and PDValue pointers it hands out stay valid until the object is
// released (ReleaseObj, ReleasePageTreeNodes) or the input is closed or destroyed.
// Failure: operations yield false or none and record a status code as the last
// error (1001 not a PDF file, 1002 trailer or cross-reference unreadable and not
// repairable, 1003 "startxref" missing and the file not repairable, 1005 empty
// file name, 1006 object unreadable, 1010 unexpected page-tree structure, 1018
// data of a file that needs a password requested, or the errno of a failed open).
// Diagnostics go to the document's sink.
#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "pdf/base/ByteString.h"
#include "pdf/io/InputSource.h"
#include "pdf/base/PDDocumentBase.h"
#include "pdf/object/PDObject.h"
#include "pdf/reader/PDDecryptor.h"
#include "pdf/reader/PDObjectStream.h"
#include "pdf/reader/PDXrefTable.h"
#include "pdf/filter/StreamDecoder.h"

namespace folian {

// A page rectangle: left, bottom, right, top in points.
using PDBox = std::array<double, 4>;
// The box readers assume for a page without a usable media box.
constexpr PDBox kLetterBox{0, 0, 612, 792};

class PDFInput : public PDDocumentBase {
public:
  // Pages trees deeper than this are treated as damaged.
  static constexpr int kMaxTreeDepth = 1000;

  PDFInput();
  ~PDFInput() override;

  // Opens a disk file; with loadWhole (or when the file is small) it is read into
  // memory at once, else read on demand.
  [[nodiscard]] bool Open(const char* name, bool loadWhole = false);
  // Opens bytes held in memory; the input takes the buffer.
  [[nodiscard]] bool OpenMemory(std::vector<char> bytes);
  [[nodiscard]] bool OpenMemory(const char* bytes, size_t length);
  // Releases the tables, the cache and the source; state 0. Opening again closes first.
  void Close();
  [[nodiscard]] bool IsOpen() const { return m_state == kReading; }

  // Objects are read without their stream data while this is on.
  void SetHeaderOnly(bool on) { m_headerOnly = on; }

  const std::string& Version() const { return m_version; }
  // Entry count of the offset table: object numbers below it may exist in the file;
  // objects added after reading take the numbers from here on.
  [[nodiscard]] int32_t Size() const { return m_xref.Extent(); }
  PDValue* Trailer() const { return m_trailer.get(); }
  [[nodiscard]] int32_t CatalogNumber() const { return m_rootNumber; }
  [[nodiscard]] int32_t InfoNumber() const { return m_infoNumber; }
  // True for an encrypted file whose data cannot be read: it needs a password or
  // a security handler not read here. Such a file is refused with 1018.
  [[nodiscard]] bool IsEncrypted() const { return m_encrypted; }
  // True for an encrypted file that opened with the empty password and is decrypted as read.
  [[nodiscard]] bool IsDecrypted() const { return m_decryptor != nullptr; }
  // True when the file has cross-reference streams.
  [[nodiscard]] bool UsesXrefStreams() const { return m_usesXrefStreams; }
  // True when the cross-reference table was rebuilt by scanning the file.
  [[nodiscard]] bool WasRepaired() const { return m_repaired; }
  // The two strings of the trailer's /ID, decoded; empty when absent.
  const ByteString& FileIdentifier(int which) const { return m_ids[which ? 1 : 0]; }

  [[nodiscard]] int32_t PagesRootNumber() const { return m_pagesRoot; }
  [[nodiscard]] int32_t OutlinesNumber() const { return m_outlines; }
  [[nodiscard]] int32_t AcroFormNumber() const { return m_acroForm; }
  [[nodiscard]] int32_t ThreadsNumber() const { return m_threads; }
  [[nodiscard]] int32_t DestsNumber() const { return m_dests; }
  [[nodiscard]] int32_t ViewerPreferencesNumber() const { return m_viewerPrefs; }

  PDObject* Catalog() { return GetObj(m_rootNumber); }
  // The root value of the information dictionary, or none.
  PDValue* Info();

  // The object with that number, loaded on first request; none when it is absent
  // or unreadable (an unreadable object is not retried).
  PDObject* GetObj(int32_t number);
  // Removes the object from the cache and destroys it. With deep, the objects it
  // references that are not page-tree nodes are released first.
  void ReleaseObj(PDObject* object, bool deep = false);
  // Destroys every cached /Pages and /Page object.
  void ReleasePageTreeNodes();
  // Adds an object made after reading; yields its number (Size(), Size() + 1, ...).
  [[nodiscard]] int32_t AddObject(PDValuePtr value);
  // A Reference resolved to the root value of its object; other values as they are.
  PDValue* Resolve(PDValue* value);
  // Objects loaded from the file since opening (a measure of laziness).
  [[nodiscard]] int64_t ObjectsLoaded() const { return m_loads; }
  // One more than the highest number an object of this input can have (the
  // cross-reference entries and the added objects); markers are sized by it.
  [[nodiscard]] int32_t ObjectLimit() const { return Size() + static_cast<int32_t>(m_added.size()); }
  // How many pages-tree entries one walk of the tree may visit: a tree that lists
  // nodes more than once could otherwise grow without bound.
  [[nodiscard]] int64_t TreeVisitLimit() const { return std::max<int64_t>(2 * int64_t{ObjectLimit()}, 1000); }

  // A page (class /Page, or an untyped node with /Parent and without /Kids) and a
  // /Pages node (class /Pages, or an untyped node with /Kids).
  [[nodiscard]] bool IsPage(PDObject& object) const;
  [[nodiscard]] bool IsPagesNode(const PDObject& object) const;

  // The /Count of the pages root; 0 when there is none.
  [[nodiscard]] int32_t PageCount();
  // The page at a 0-based index, or none (last error 1010 for a damaged tree).
  // Follows the /Count entries; when they do not lead to the page (or claim fewer
  // pages than there are), the pages the tree really holds are read and used.
  PDObject* FindPage(int32_t index);
  // The number of pages the tree really holds (reads the whole tree once).
  int32_t PagesHeld();
  PDObject* ParentOf(PDObject* object);
  // Boxes and rotation, inherited from the nearest ancestor that has them. The
  // visible box is the crop box clipped to the media box, else the media box. A
  // page without a usable media box gets US Letter (0 0 612 792), with a warning.
  PDBox MediaBox(PDObject* page);
  // The four numbers of a box value (a reference is resolved); false when it is no
  // array of at least four numbers enclosing an area.
  bool UsableBox(PDValue* value, PDBox& box);
  PDBox VisibleBox(PDObject* page);
  [[nodiscard]] int32_t Rotation(PDObject* page);

  // Reads the whole pages tree below `number` (the pages root when 0), recording
  // every page in order; yields false when the tree is damaged.
  [[nodiscard]] virtual bool ReadPages(int32_t number = 0);
  const std::vector<int32_t>& PageNumbers() const { return m_pageNumbers; }

  // The decoded data of a stream object; false when it has none that can be
  // decoded (last error 1018 for an encrypted file, 1006 when the object is
  // missing or its filters fail).
  [[nodiscard]] bool StreamData(PDObject* object, ByteString& out);
  [[nodiscard]] bool StreamData(int32_t number, ByteString& out) { return StreamData(GetObj(number), out); }
  // The largest decoded stream StreamData accepts (kDefaultDecodeCeiling unless set).
  void SetDecodeCeiling(size_t bytes) { m_decodeCeiling = bytes; }

protected:
  // Reads the kids of a /Pages node during ReadPages.
  virtual void ReadKids(PDObject& node);
  // Called for every page ReadPages meets, after it is recorded; false stops the walk.
  [[nodiscard]] virtual bool OnPage(PDObject& page);

private:
  [[nodiscard]] bool ReadStructure();
  [[nodiscard]] bool Repair(int32_t cause);
  void IndexRepairedObjectStreams();
  void SetUpDecryption();
  PDObject* LoadCompressed(int32_t number, const PDXrefEntry& entry);
  PDObjectStream* ObjectStreamFor(int32_t number);
  PDObject* Cache(int32_t number, PDValuePtr root, int64_t offset, int32_t storedSize);
  [[nodiscard]] bool Decrypt(PDValue& root, int32_t number, int32_t generation);
  [[nodiscard]] bool ReadTrailerEntries();
  void ReadCatalogEntries(PDObject& catalog);
  [[nodiscard]] int64_t FindStartXref();
  PDObject* LoadObject(int32_t number);
  PDValuePtr ReadLengthObject(int32_t number);
  // The same for the usual form of such an object, read straight from memory;
  // none when the source is not in memory or the object has another form.
  PDValuePtr ReadPlainLength(int32_t number, int64_t offset);
  [[nodiscard]] bool EnterKid(int32_t parent, int32_t kid);
  // Only numbers the file can hold are remembered: no other can be read.
  void RememberParent(int32_t kid, int32_t parent);
  [[nodiscard]] bool CountOf(PDObject& node, int32_t& count);
  PDValue* Inherited(PDObject* page, const char* key);
  // A kid of a /Pages node with the running page total up to and including it.
  struct KidSpan {
    int64_t end;
    int32_t count;
    int32_t number;
  };
  // The kids of node `node` that hold pages, with running totals; made once per node.
  const std::vector<KidSpan>& KidSpans(int32_t node, PDValue& kids);
  [[nodiscard]] bool ReadBox(PDValue* value, PDBox& box);

  std::unique_ptr<InputSource> m_source;
  std::string m_name;  // the path opened, for messages
  PDXrefTable m_xref;
  PDValuePtr m_trailer;
  bool m_headerOnly = false;
  size_t m_decodeCeiling = kDefaultDecodeCeiling;
  std::string m_version;
  ByteString m_ids[2];
  int32_t m_rootNumber = 0;
  int32_t m_infoNumber = 0;
  bool m_encrypted = false;
  std::unique_ptr<PDDecryptor> m_decryptor;
  int32_t m_encryptNumber = 0;
  bool m_usesXrefStreams = false;
  bool m_repaired = false;  // a rebuild was tried (once per opening)
  std::vector<int32_t> m_repairedObjectStreams;
  // Object streams decoded so far by number (none for one that cannot be read),
  // the bytes they hold, and the ones being decoded (a stream's /Length may not
  // lead back into itself).
  std::unordered_map<int32_t, std::unique_ptr<PDObjectStream>> m_objectStreams;
  size_t m_objectStreamBytes = 0;
  std::unordered_set<int32_t> m_streamsLoading;
  int32_t m_pagesRoot = 0;
  int32_t m_outlines = 0;
  int32_t m_acroForm = 0;
  int32_t m_threads = 0;
  int32_t m_dests = 0;
  int32_t m_viewerPrefs = 0;

  std::vector<std::unique_ptr<PDObject>> m_cache;
  std::vector<bool> m_unreadable;
  std::vector<std::unique_ptr<PDObject>> m_added;
  int64_t m_loads = 0;

  std::unordered_map<int32_t, std::vector<KidSpan>> m_kidSpans;
  std::vector<int32_t> m_parents;  // remembered parent of a page-tree node, by number; 0 for none
  std::vector<int32_t> m_pageNumbers;
  std::vector<int32_t> m_walkPath;           // ancestors of the node ReadPages is in
  int64_t m_walkVisits = 0;                  // entries ReadPages has entered in this walk
  bool m_walkStopped = false;
  bool m_pagesComplete = false;              // m_pageNumbers holds the whole tree
};

}  // namespace folian
