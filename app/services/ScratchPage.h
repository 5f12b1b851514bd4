#pragma once
// An answer page fetched for a lookup: the text channel Inet0 fetches the
// address and waits for the whole body, the text goes into the window's
// hidden TextBox and into a scratch file in the settings root, and the
// scrapers read it back line by line (LF or CR LF).
//
// A fetch that fails leaves an empty page, never the previous lookup's text,
// so a failed lookup cannot be read as the answer of an earlier number.
// Borrows the window and the transfer, which must outlive it.
#include <filesystem>
#include <string>
#include <vector>

namespace orvane {

class RetrievalForm;
class Transfer;

class ScratchPage {
 public:
  ScratchPage(RetrievalForm& form, Transfer& inet0, std::filesystem::path file);

  // Fetches the address; false when no page came (error, time-out, a
  // status other than 2xx, or the fetch was cancelled by Skip or stop all).
  bool Fetch(const std::string& url);
  // Lines 1 to maxLines of the page last fetched (fewer when it is shorter).
  std::vector<std::string> Lines(int maxLines) const;

  const std::filesystem::path& File() const { return m_file; }

 private:
  RetrievalForm& m_form;
  Transfer& m_inet0;
  std::filesystem::path m_file;
  std::string m_text;  // kept for reading when the scratch file cannot be written
  bool m_written = false;
};

}  // namespace orvane
