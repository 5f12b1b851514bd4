#pragma once
// Test helpers that look at written PDF bytes without the library's own reader:
// objects are found through the cross-reference table, so a wrong offset shows.
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace folian::test {

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

inline std::string OutputPath(const std::string& name) { return std::string(FOLIAN_TEST_OUTPUT) + "/" + name; }

// Object number -> object text (from "N 0 obj" to "endobj"), located by the xref table.
inline std::map<int, std::string> ObjectsByXref(const std::string& pdf) {
  std::map<int, std::string> objects;
  size_t sx = pdf.rfind("startxref\r\n");
  if (sx == std::string::npos) return objects;
  size_t xref = std::stoul(pdf.substr(sx + 11));
  if (pdf.compare(xref, 6, "xref\r\n") != 0) return objects;
  size_t line = pdf.find("\r\n", xref + 6) + 2;
  int count = std::stoi(pdf.substr(pdf.find(' ', xref + 6) + 1));
  for (int n = 0; n < count; ++n) {
    std::string entry = pdf.substr(line + 20 * static_cast<size_t>(n), 20);
    if (entry[17] != 'n') continue;
    size_t at = std::stoul(entry.substr(0, 10));
    size_t end = pdf.find("endobj", at);
    objects[n] = pdf.substr(at, end == std::string::npos ? std::string::npos : end + 6 - at);
  }
  return objects;
}

// "object N refers to M" for every reference (outside strings and stream data) to an
// object the cross-reference table does not list, and for the trailer's references.
inline std::vector<std::string> DanglingRefs(const std::string& pdf) {
  std::map<int, std::string> objects = ObjectsByXref(pdf);
  std::vector<std::string> dangling;
  auto scan = [&](const std::string& who, std::string text) {
    size_t stream = text.find("stream\r\n");
    if (stream != std::string::npos) text.resize(stream);
    std::string plain;
    int depth = 0;
    for (size_t i = 0; i < text.size(); ++i) {
      char c = text[i];
      if (depth > 0) {
        if (c == '\\') ++i;
        else if (c == '(') ++depth;
        else if (c == ')') --depth;
        continue;
      }
      if (c == '(') {
        depth = 1;
        plain += ' ';
        continue;
      }
      plain += c;
    }
    std::regex ref(R"((\d+) (\d+) R\b)");
    for (std::sregex_iterator it(plain.begin(), plain.end(), ref), end; it != end; ++it) {
      int target = std::stoi((*it)[1]);
      if (!objects.count(target)) dangling.push_back(who + " refers to " + std::to_string(target));
    }
  };
  for (const auto& [number, text] : objects) scan("object " + std::to_string(number), text.substr(text.find("obj")));
  size_t trailer = pdf.rfind("trailer");
  if (trailer != std::string::npos) scan("trailer", pdf.substr(trailer));
  return dangling;
}

// "node N: /Count C, holds H" for every written /Pages node whose /Count is not
// the number of pages below it.
inline std::vector<std::string> CountMismatches(const std::string& pdf) {
  std::map<int, std::string> objects = ObjectsByXref(pdf);
  std::vector<std::string> wrong;
  std::map<int, int> held;
  std::function<int(int, int)> pagesBelow = [&](int number, int depth) -> int {
    auto object = objects.find(number);
    if (object == objects.end() || depth > 100) return 0;
    if (object->second.find("/Type /Pages") == std::string::npos) return 1;
    if (held.count(number)) return held[number];
    int sum = 0;
    size_t kidsAt = object->second.find("/Kids [");
    std::string list = object->second.substr(kidsAt + 7, object->second.find(']', kidsAt) - kidsAt - 7);
    std::regex ref(R"((\d+) 0 R)");
    for (std::sregex_iterator it(list.begin(), list.end(), ref), end; it != end; ++it)
      sum += pagesBelow(std::stoi((*it)[1]), depth + 1);
    held[number] = sum;
    size_t countAt = object->second.find("/Count ");
    int count = countAt == std::string::npos ? -1 : std::stoi(object->second.substr(countAt + 7));
    if (count != sum)
      wrong.push_back("node " + std::to_string(number) + ": /Count " + std::to_string(count) + ", holds " +
                      std::to_string(sum));
    return sum;
  };
  for (const auto& [number, text] : objects)
    if (text.find("/Type /Pages") != std::string::npos) pagesBelow(number, 0);
  return wrong;
}

// The numbers referenced in the /Kids array of an object's text.
inline std::vector<int> KidsOf(const std::string& object) {
  std::vector<int> kids;
  size_t at = object.find("/Kids [");
  if (at == std::string::npos) return kids;
  std::string list = object.substr(at + 7, object.find(']', at) - at - 7);
  std::regex ref(R"((\d+) 0 R)");
  for (std::sregex_iterator it(list.begin(), list.end(), ref), end; it != end; ++it)
    kids.push_back(std::stoi((*it)[1]));
  return kids;
}

inline int IntAfter(const std::string& object, const std::string& key) {
  size_t at = object.find(key + " ");
  return at == std::string::npos ? -1 : std::stoi(object.substr(at + key.size() + 1));
}

// Runs a shell command, returning its exit status and standard output.
inline int RunCommand(const std::string& command, std::string* output = nullptr) {
  std::FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return -1;
  std::string text;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
  int status = pclose(pipe);
  if (output) *output = text;
  return status;
}

// Index of the first differing byte, or -1 when equal (length included).
inline long FirstDifference(const std::string& a, const std::string& b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i)
    if (a[i] != b[i]) return static_cast<long>(i);
  return a.size() == b.size() ? -1 : static_cast<long>(n);
}

}  // namespace folian::test
