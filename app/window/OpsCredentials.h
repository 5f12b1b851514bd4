#pragma once
// The consumer key and secret a user registered for the EPO's Open Patent
// Services. They live in "ops_credentials.txt" in the settings root, two
// lines "key=..." and "secret=...", in a file only the user may read or
// write (mode 0600); headless runs may give them in ORVANE_OPS_KEY and
// ORVANE_OPS_SECRET instead. Neither value is ever printed.
#include <filesystem>
#include <optional>
#include <string>

namespace orvane {

struct OpsCredentials {
  std::string key;
  std::string secret;
  bool complete() const { return !key.empty() && !secret.empty(); }
};

class OpsCredentialFile {
 public:
  static constexpr const char* kFileName = "ops_credentials.txt";

  explicit OpsCredentialFile(std::filesystem::path root) : m_path(std::move(root) / kFileName) {}
  const std::filesystem::path& path() const { return m_path; }

  // The stored pair; empty values when the file is missing or unreadable.
  // A file others may read is made private again before it is read.
  OpsCredentials read() const;
  // Writes the pair, creating the file as 0600 (an existing file is made
  // 0600 first). A key or secret holding a line break is refused. False,
  // with the reason in `error`, when the file cannot be written.
  bool write(const OpsCredentials& credentials, std::string& error) const;

 private:
  std::filesystem::path m_path;
};

// ORVANE_OPS_KEY and ORVANE_OPS_SECRET when both are set, else the file.
OpsCredentials LoadOpsCredentials(const std::filesystem::path& root);

}  // namespace orvane
