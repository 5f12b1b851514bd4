#pragma once
// A multi-page TIFF written page by page: each Append copies the first page
// of a page file (any strip or tile layout; bilevel pages keep their fax
// compression) as the next page of the joined file. A page that cannot be
// read is refused before anything of it is written, so the joined file stays
// valid. Owns the open output; the destructor closes it.
#include <string>

typedef struct tiff TIFF;

namespace orvane {

class TiffJoin {
 public:
  explicit TiffJoin(const std::string& path);  // creates or replaces the file
  ~TiffJoin();
  TiffJoin(const TiffJoin&) = delete;
  TiffJoin& operator=(const TiffJoin&) = delete;

  bool Opened() const { return m_out != nullptr; }
  // Appends the page file's first page; false when the file is missing,
  // not a TIFF, or broken, or when writing failed.
  bool Append(const std::string& pageFile);
  int Pages() const { return m_pages; }
  // Completes the file; false when it could not be written.
  bool Close();
  // The last problem libtiff reported (for the status list).
  const std::string& LastError() const { return m_error; }

 private:
  TIFF* m_out = nullptr;
  int m_pages = 0;
  bool m_failed = false;
  std::string m_error;
};

// Number of pages (directories) of a TIFF file; 0 when it cannot be read.
int TiffPageCount(const std::string& path);

}  // namespace orvane
