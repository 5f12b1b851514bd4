#include "app/services/ScratchPage.h"

#include <fstream>
#include <iterator>

#include "app/transfer/Transfer.h"
#include "app/window/RetrievalForm.h"
#include "app/window/TextFile.h"

namespace orvane {

ScratchPage::ScratchPage(RetrievalForm& form, Transfer& inet0, std::filesystem::path file)
    : m_form(form), m_inet0(inet0), m_file(std::move(file)) {}

bool ScratchPage::Fetch(const std::string& url) {
  std::string text;
  const bool ok = m_inet0.FetchText(url, text);
  m_text = ok ? text : std::string();
  m_form.ui().TextBox.setText(m_text);
  m_written = WriteTextFile(m_file, m_text);
  return ok;
}

std::vector<std::string> ScratchPage::Lines(int maxLines) const {
  // The scratch file is what the lookups read. When the settings root is not
  // writable, or the file no longer holds what this lookup wrote (another
  // program changed it), the page this lookup fetched is read from memory.
  std::string onDisk;
  if (m_written) {
    std::ifstream in(m_file, std::ios::binary);
    onDisk.assign(std::istreambuf_iterator<char>(in), {});
  }
  LineReader reader = m_written && onDisk == m_text ? LineReader(m_file) : LineReader::fromText(m_text);
  if (!reader.isOpen()) reader = LineReader::fromText(m_text);
  std::vector<std::string> lines;
  while (static_cast<int>(lines.size()) < maxLines && !reader.atEndOfStream()) lines.push_back(reader.readLine());
  return lines;
}

}  // namespace orvane
