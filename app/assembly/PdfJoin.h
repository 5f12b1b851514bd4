#pragma once
// One joined PDF made through folian32's exported output-document functions,
// as any program linking the library uses them: New with the joined path,
// Merge once per page file (the whole file), Close, Release. The library
// answers a missing or broken page file with a non-zero code; Merge reports
// it, and the pages of the other files are still joined. Owns the handle; the
// destructor closes and releases it.
#include <cstdint>
#include <string>

namespace orvane {

// The number of pages of an existing PDF, read through the library's input
// document functions; 0 when the file is missing or cannot be read.
int PdfPageCount(const std::string& path);

class PdfJoin {
 public:
  explicit PdfJoin(const std::string& path);  // creates or replaces the file
  ~PdfJoin();
  PdfJoin(const PdfJoin&) = delete;
  PdfJoin& operator=(const PdfJoin&) = delete;

  bool Opened() const { return m_doc != 0; }
  // Appends every page of the page file; false with LastError() set when
  // the file is missing or the library refused it.
  bool Merge(const std::string& pageFile);
  // Appends pages first..last (1-based) of another PDF; false with
  // LastError() set when the file or the pages cannot be used.
  bool MergePages(const std::string& file, int first, int last);
  // Files merged so far.
  int Merged() const { return m_merged; }
  // Writes the rest of the file and releases the handle; false when the
  // library could not complete it.
  bool Close();
  int32_t LastError() const { return m_error; }

 private:
  uint32_t m_doc = 0;
  int m_merged = 0;
  int32_t m_error = 0;
};

}  // namespace orvane
