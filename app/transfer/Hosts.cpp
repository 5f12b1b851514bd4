#include "app/transfer/Hosts.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/window/OptionFiles.h"

namespace orvane {
namespace {

// The defaults name hosts under the reserved ".test" domain: no real service
// answers the request forms the program uses any more, so nothing is sent
// anywhere until hosts.txt names the hosts or a connect_to address.
const std::map<std::string, std::string>& Defaults() {
  static const std::map<std::string, std::string> defaults = {
      {Hosts::kEspacenet, "espacenet.office.test"},
      {Hosts::kUsptoPatentSearch, "patft.office.test"},
      {Hosts::kUsptoAppSearch, "appft.office.test:8080"},
      {Hosts::kUsptoImageDomain, ".images.office.test"},
      {Hosts::kIpdl, "ipdl.office.test"},
      {Hosts::kPaj, "paj.office.test"},
      {Hosts::kDelphion, "delphion.office.test"},
      {Hosts::kKiprisSearch, "kipris.office.test:9005"},
      {Hosts::kKiprisLogin, "kipris.office.test:9002"},
      {Hosts::kConnectTo, ""},
      {Hosts::kOps, "https://ops.epo.org"},
  };
  return defaults;
}

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return "";
  size_t e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

}  // namespace

Hosts::Hosts() : m_values(Defaults()) {}

std::string Hosts::FilePath() {
  return (SettingsRoot() / "hosts.txt").string();
}

Hosts Hosts::Load() { return LoadFile(FilePath()); }

Hosts Hosts::LoadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return Hosts();
  std::ostringstream text;
  text << in.rdbuf();
  return Parse(text.str());
}

Hosts Hosts::Parse(const std::string& text) {
  Hosts hosts;
  std::istringstream in(text);
  std::string raw;
  int lineNo = 0;
  while (std::getline(in, raw)) {
    ++lineNo;
    std::string line = Trim(raw);
    if (line.empty() || line[0] == '#') continue;
    size_t eq = line.find('=');
    if (eq == std::string::npos) {
      hosts.m_problems.push_back("line " + std::to_string(lineNo) + ": no '=' in \"" + line + "\"");
      continue;
    }
    std::string key = Trim(line.substr(0, eq));
    std::string value = Trim(line.substr(eq + 1));
    if (!Defaults().count(key)) {
      hosts.m_problems.push_back("line " + std::to_string(lineNo) + ": unknown key \"" + key + "\"");
      continue;
    }
    if (key == kConnectTo && !value.empty()) {
      size_t colon = value.rfind(':');
      bool portOk = colon != std::string::npos && colon + 1 < value.size() &&
                    value.find_first_not_of("0123456789", colon + 1) == std::string::npos;
      if (!portOk || colon == 0) {
        hosts.m_problems.push_back("line " + std::to_string(lineNo) + ": connect_to needs HOST:PORT");
        continue;
      }
    }
    hosts.m_values[key] = value;
  }
  return hosts;
}

std::string Hosts::Get(const std::string& key) const {
  auto it = m_values.find(key);
  return it == m_values.end() ? std::string() : it->second;
}

void Hosts::Set(const std::string& key, const std::string& value) { m_values[key] = value; }

std::string Hosts::Url(const std::string& key, const std::string& path) const {
  return "http://" + Get(key) + path;
}

std::string Hosts::UsptoImageUrl(const std::string& label, const std::string& path) const {
  return "http://" + label + Get(kUsptoImageDomain) + path;
}

}  // namespace orvane
