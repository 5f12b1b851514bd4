#pragma once
// The addresses of the patent-office services, read from "hosts.txt" in the
// settings root ($ORVANE_HOME when set, else ~/.orvane) at start-up.
//
// The file holds one "key=value" a line; blank lines and lines starting with
// '#' are skipped, CR LF and LF line ends are both accepted. Keys that are
// missing keep their built-in defaults, so a missing file gives the defaults.
// A line that is not "key=value", or an unknown key, is reported in
// Problems() and otherwise ignored: a bad line never stops the program.
//
// "connect_to=HOST:PORT" sends every request to that one address while the
// requests keep their host names (used with the office simulator).
#include <map>
#include <string>
#include <vector>

namespace orvane {

class Hosts {
 public:
  // Keys of the services' hosts. A value may carry a port ("host:8080").
  static constexpr const char* kEspacenet = "espacenet";
  static constexpr const char* kUsptoPatentSearch = "uspto_patent_search";
  static constexpr const char* kUsptoAppSearch = "uspto_app_search";
  static constexpr const char* kUsptoImageDomain = "uspto_image_domain";
  static constexpr const char* kIpdl = "ipdl";
  static constexpr const char* kPaj = "paj";
  static constexpr const char* kDelphion = "delphion";
  static constexpr const char* kKiprisSearch = "kipris_search";
  static constexpr const char* kKiprisLogin = "kipris_login";
  static constexpr const char* kConnectTo = "connect_to";
  // The EPO's Open Patent Services; the value may name its scheme
  // ("http://host:port"), else https is used.
  static constexpr const char* kOps = "ops";

  Hosts();  // the built-in defaults

  // Reads "hosts.txt" from the settings root; defaults for a missing file.
  static Hosts Load();
  // Reads the given file; defaults for a missing file.
  static Hosts LoadFile(const std::string& path);
  // Parses the text of a hosts file over the defaults.
  static Hosts Parse(const std::string& text);

  // The path of the hosts file in the settings root.
  static std::string FilePath();

  // The value of a key ("" for an unknown key).
  std::string Get(const std::string& key) const;
  void Set(const std::string& key, const std::string& value);

  // "http://" + the host of `key` + path.
  std::string Url(const std::string& key, const std::string& path) const;
  // The USPTO image address: label + image domain, then the path.
  std::string UsptoImageUrl(const std::string& label, const std::string& path) const;

  // "HOST:PORT" every request is sent to, or "" for ordinary name lookup.
  std::string ConnectTo() const { return Get(kConnectTo); }

  const std::vector<std::string>& Problems() const { return m_problems; }

 private:
  std::map<std::string, std::string> m_values;
  std::vector<std::string> m_problems;
};

}  // namespace orvane
