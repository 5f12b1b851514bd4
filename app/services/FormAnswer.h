#pragma once
// An answer page asked for on the text channel Inet0 with an asynchronous
// request (a form post with its header line, or a get): the hidden TextBox is
// emptied, the request sent, the window's events run until the answer is in,
// and the text the channel put into TextBox is written to a scratch file in
// the settings root and read back line by line (LF or CR LF).
//
// An attempt without an answer (error, time-out, a status other than 2xx)
// leaves an empty page, never the previous answer. A Skip or stop-all
// cancels the request and ends the wait at once. Borrows the window and the
// transfer, which must outlive it; window thread only.
#include <filesystem>
#include <string>
#include <vector>

namespace orvane {

class RetrievalForm;
class Transfer;

class FormAnswer {
 public:
  FormAnswer(RetrievalForm& form, Transfer& inet0, std::filesystem::path file);

  // Posts the form body to the address; false when no answer came or a stop
  // ended the wait.
  bool Post(const std::string& url, const std::string& body);
  bool Get(const std::string& url);

  // Lines 1 to maxLines of the last answer (fewer when it is shorter).
  std::vector<std::string> Lines(int maxLines) const;
  const std::string& Text() const { return m_text; }

 private:
  bool Send(const std::string& url, const std::string& verb, const std::string& body, const std::string& headers);

  RetrievalForm& m_form;
  Transfer& m_inet0;
  std::filesystem::path m_file;
  std::string m_text;
  bool m_written = false;
};

}  // namespace orvane
