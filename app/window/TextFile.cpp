#include "app/window/TextFile.h"

#include <fstream>
#include <sstream>

namespace orvane {

std::optional<std::string> ReadFirstLine(const std::filesystem::path& path) {
  LineReader reader(path);
  if (!reader.isOpen()) return std::nullopt;
  return reader.readLine();
}

bool WriteTextFile(const std::filesystem::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.close();
  return !out.fail();
}

LineReader::LineReader(const std::filesystem::path& path) {
  auto in = std::make_unique<std::ifstream>(path, std::ios::binary);
  if (in->is_open()) m_in = std::move(in);
}

LineReader LineReader::fromText(const std::string& text) {
  LineReader reader;
  reader.m_in = std::make_unique<std::istringstream>(text);
  return reader;
}

bool LineReader::atEndOfStream() {
  return !m_in || m_in->peek() == std::char_traits<char>::eof();
}

bool LineReader::atEndOfLine() {
  if (atEndOfStream()) return true;
  int c = m_in->peek();
  return c == '\n' || c == '\r';
}

std::string LineReader::readLine() {
  std::string line;
  if (!m_in) return line;
  std::getline(*m_in, line);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

}  // namespace orvane
