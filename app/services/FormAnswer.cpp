#include "app/services/FormAnswer.h"

#include "app/services/JpoPages.h"
#include "app/transfer/Transfer.h"
#include "app/window/RetrievalForm.h"
#include "app/window/TextFile.h"

namespace orvane {

FormAnswer::FormAnswer(RetrievalForm& form, Transfer& inet0, std::filesystem::path file)
    : m_form(form), m_inet0(inet0), m_file(std::move(file)) {}

bool FormAnswer::Post(const std::string& url, const std::string& body) {
  return Send(url, "POST", body, kFormHeader);
}

bool FormAnswer::Get(const std::string& url) { return Send(url, "GET", "", ""); }

bool FormAnswer::Send(const std::string& url, const std::string& verb, const std::string& body,
                      const std::string& headers) {
  Control& textBox = m_form.ui().TextBox;
  textBox.setText("");
  m_text.clear();
  bool answered = false;
  if (m_inet0.Execute(url, verb, body, headers)) {
    const auto result = m_form.waitFor([this] { return !m_inet0.StillExecuting(); });
    if (result != EventPump::WaitResult::Done) {
      m_inet0.Cancel();
    } else {
      // The channel's completion handling fills TextBox only for a 2xx answer.
      answered = m_inet0.ErrorCode() == 0 && m_inet0.ResponseStatus() >= 200 && m_inet0.ResponseStatus() <= 299;
      if (answered) m_text = textBox.text();
    }
  }
  m_written = WriteTextFile(m_file, m_text);
  return answered;
}

std::vector<std::string> FormAnswer::Lines(int maxLines) const {
  // Read back from the scratch file when it holds this answer; from memory
  // when the settings root could not be written.
  LineReader reader = m_written ? LineReader(m_file) : LineReader::fromText(m_text);
  if (!reader.isOpen()) reader = LineReader::fromText(m_text);
  std::vector<std::string> lines;
  while (static_cast<int>(lines.size()) < maxLines && !reader.atEndOfStream()) lines.push_back(reader.readLine());
  return lines;
}

}  // namespace orvane
