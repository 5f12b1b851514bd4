#pragma once
// Small text-file helpers in the manner of a scripting file-system object:
// write a file anew, read its first line, and read it back line by line.
// Line ends may be LF or CR LF. Failures are returned, never thrown.

#include <filesystem>
#include <istream>
#include <memory>
#include <optional>
#include <string>

namespace orvane {

// The first line of the file without its line end; nullopt when the file
// cannot be opened. An empty file gives an empty line.
std::optional<std::string> ReadFirstLine(const std::filesystem::path& path);

// Creates or replaces the file with exactly `text`. False when the file cannot
// be created or written completely.
bool WriteTextFile(const std::filesystem::path& path, const std::string& text);

// Reads a text file line by line; atEndOfLine is true at the end of the file
// and when the next character is a line end, so a reader loop stops at the
// first empty line as well as at the end.
class LineReader {
 public:
  explicit LineReader(const std::filesystem::path& path);
  // Reads from text held in memory instead of a file.
  static LineReader fromText(const std::string& text);
  bool isOpen() const { return m_in != nullptr; }
  bool atEndOfStream();
  bool atEndOfLine();
  std::string readLine();
  void close() { m_in.reset(); }

 private:
  LineReader() = default;
  std::unique_ptr<std::istream> m_in;
};

}  // namespace orvane
