#pragma once
// One joined PDF made through folian32's automation layer, as the program has
// always driven the library: a PDoc object created by its class identifier
// through the class registry, called late-bound by name: "New" with the joined
// path, "Merge" once per page file (the whole file), "Close". When the class is
// not registered (or its entry leads nowhere), the library this program ships
// with registers itself and the creation is tried again; when even that fails,
// the object comes straight from the loaded library, so joining still works.
// A missing or broken page file makes Merge fail; the pages of the other files
// are still joined. The destructor closes and releases the object.
#include <cstdint>
#include <string>

struct FLDispatch;

namespace orvane {

// The number of pages of an existing PDF, read through the library's input
// document functions; 0 when the file is missing or cannot be read.
int PdfPageCount(const std::string& path);

class PdfJoin {
 public:
  // How the PDF class was reached.
  enum class Registration {
    kFound,        // registered already
    kRegistered,   // registered by this join
    kUnregistered  // could not be registered; made from the loaded library
  };

  explicit PdfJoin(const std::string& path);  // creates or replaces the file
  ~PdfJoin();
  PdfJoin(const PdfJoin&) = delete;
  PdfJoin& operator=(const PdfJoin&) = delete;

  bool Opened() const { return m_doc != nullptr && m_open; }
  Registration HowReached() const { return m_registration; }
  // Appends every page of the page file; false with LastError() set when
  // the file is missing or the library refused it.
  bool Merge(const std::string& pageFile);
  // Appends pages first..last (1-based) of another PDF; false with
  // LastError() set when the file or the pages cannot be used.
  bool MergePages(const std::string& file, int first, int last);
  // Files merged so far.
  int Merged() const { return m_merged; }
  // Writes the rest of the file and releases the object; false when the
  // library could not complete it.
  bool Close();
  int32_t LastError() const { return m_error; }

 private:
  bool MergeRange(const std::string& file, int first, int last, bool whole);

  FLDispatch* m_doc = nullptr;
  bool m_open = false;
  Registration m_registration = Registration::kFound;
  int m_merged = 0;
  int32_t m_error = 0;
};

}  // namespace orvane
