#pragma once
// Files that tools nobody here wrote make out of one source PDF at test time:
// object streams and cross-reference streams (qpdf, with and without
// linearization), files encrypted with an empty user password (RC4 40 and 128,
// AES-128 with and without encrypted metadata, AES-256), a file whose offsets are all shifted, cairo's output, and the
// PDFs found under /usr/share/doc. A tool that is missing leaves its files out.
#include <filesystem>
#include <string>
#include <vector>

#include "pdf/PdfScan.h"

namespace folian::test {

struct ToolFile {
  std::string path;
  bool damaged = false;  // the reader must repair it
  // The undamaged file it was made from, for the oracles to read when they cannot
  // mend the damage themselves; empty when they read `path`.
  std::string original;
  const std::string& Oracle() const { return original.empty() ? path : original; }
};

inline std::vector<ToolFile> MakeModernCorpus(const std::string& dir, const std::string& source, bool systemDocs = true) {
  namespace fs = std::filesystem;
  std::vector<ToolFile> files;
  auto made = [&](const std::string& name, const std::string& command, bool damaged = false) {
    std::string out = dir + "/" + name;
    RunCommand(command + " >/dev/null 2>&1");
    if (fs::exists(out) && fs::file_size(out) > 0) files.push_back({out, damaged});
  };
  std::string in = "'" + source + "'";
  std::string qpdf = "qpdf --allow-weak-crypto ";
  made("qpdf-objstm.pdf", qpdf + "--object-streams=generate " + in + " " + dir + "/qpdf-objstm.pdf");
  made("qpdf-objstm-linearized.pdf",
       qpdf + "--object-streams=generate --linearize " + in + " " + dir + "/qpdf-objstm-linearized.pdf");
  made("qpdf-rc4-40.pdf", qpdf + "--encrypt '' owner 40 -- " + in + " " + dir + "/qpdf-rc4-40.pdf");
  made("qpdf-rc4-128.pdf", qpdf + "--encrypt '' owner 128 --use-aes=n -- " + in + " " + dir + "/qpdf-rc4-128.pdf");
  made("qpdf-aes-128.pdf", qpdf + "--object-streams=generate --encrypt '' owner 128 --use-aes=y -- " + in + " " + dir +
                               "/qpdf-aes-128.pdf");
  made("qpdf-aes-256.pdf",
       qpdf + "--object-streams=generate --encrypt '' owner 256 -- " + in + " " + dir + "/qpdf-aes-256.pdf");
  made("qpdf-aes-128-clear-metadata.pdf", qpdf + "--encrypt '' owner 128 --use-aes=y --cleartext-metadata -- " + in +
                                              " " + dir + "/qpdf-aes-128-clear-metadata.pdf");
  made("cairo.pdf", "pdftocairo -pdf " + in + " " + dir + "/cairo.pdf");

  // Every offset of a classic table a few bytes off, as when a file passes
  // through a tool that rewrites its header line.
  // The same for a file with object streams, whose cross-reference stream is lost.
  std::string plain = dir + "/classic-for-shift.pdf";
  RunCommand(qpdf + "--object-streams=disable " + in + " " + plain + " >/dev/null 2>&1");
  for (const auto& [from, to] : {std::pair<std::string, std::string>{plain, "shifted.damaged"},
                                 {dir + "/qpdf-objstm.pdf", "shifted-objstm.damaged"}}) {
    std::string bytes = ReadFile(from);
    if (bytes.empty()) continue;
    bytes.insert(bytes.find('\n') + 1, "%shifted\n");
    WriteFile(dir + "/" + to, bytes);
    files.push_back({dir + "/" + to, true, from});
  }

  if (systemDocs && fs::exists("/usr/share/doc")) {
    int taken = 0;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator("/usr/share/doc", fs::directory_options::skip_permission_denied, error);
         it != fs::recursive_directory_iterator() && taken < 4; it.increment(error)) {
      if (error) break;
      const fs::path& path = it->path();
      if (path.extension() != ".pdf" || !it->is_regular_file(error) || it->file_size(error) > (8u << 20)) continue;
      files.push_back({path.string(), false});
      ++taken;
    }
  }
  return files;
}

// Every "N G R" outside stream data names an object that the file's table lists:
// a check for references that qpdf --check lets pass. `objects` maps numbers to
// object texts (ObjectsByXref).
inline std::vector<int> DanglingReferences(const std::map<int, std::string>& objects) {
  std::vector<int> dangling;
  std::regex ref(R"((\d+) \d+ R\b)");
  for (const auto& [number, text] : objects) {
    std::string head = text;
    size_t stream = head.find("stream\r\n");
    if (stream == std::string::npos) stream = head.find("stream\n");
    if (stream != std::string::npos) head.resize(stream);
    for (std::sregex_iterator it(head.begin(), head.end(), ref), end; it != end; ++it) {
      int target = std::stoi((*it)[1]);
      if (!objects.count(target)) dangling.push_back(target);
    }
  }
  return dangling;
}

}  // namespace folian::test
