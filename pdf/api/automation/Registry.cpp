// The class registry file, and the registration entry points that write the four
// classes, the ProgIDs and the type library into it and take them out again.
#include "pdf/api/automation/Registry.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fstream>
#include <sstream>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "pdf/api/automation/Dispatch.h"
#include "pdf/base/Diagnostics.h"

namespace folian::automation {

namespace {

constexpr const char* kHeader = "folian32 class registry 1";

std::string Escape(const std::string& s) {
  std::string out;
  for (char c : s) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default: out += c;
    }
  }
  return out;
}

bool Unescape(const std::string& s, std::string& out) {
  out.clear();
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\') {
      out += s[i];
      continue;
    }
    if (++i == s.size()) return false;
    switch (s[i]) {
      case '\\': out += '\\'; break;
      case 't': out += '\t'; break;
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      default: return false;
    }
  }
  return true;
}

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    size_t tab = line.find('\t', start);
    parts.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) break;
    start = tab + 1;
  }
  return parts;
}

bool MakeDirs(const std::string& dir) {
  if (dir.empty()) return true;
  struct stat st{};
  if (stat(dir.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
  size_t slash = dir.find_last_of('/');
  if (slash != std::string::npos && slash > 0 && !MakeDirs(dir.substr(0, slash))) return false;
  return mkdir(dir.c_str(), 0755) == 0 || errno == EEXIST;
}

bool StartsWithNoCase(const std::string& s, const std::string& prefix) {
  return s.size() >= prefix.size() && strncasecmp(s.c_str(), prefix.c_str(), prefix.size()) == 0;
}

}  // namespace

bool NoCaseLess::operator()(const std::string& a, const std::string& b) const {
  return strcasecmp(a.c_str(), b.c_str()) < 0;
}

std::string Registry::DefaultPath() {
  const char* over = std::getenv("FOLIAN_REGISTRY");
  if (over && *over) return over;
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data && *data == '/') return std::string(data) + "/folian32/registry";
  const char* home = std::getenv("HOME");
  if (home && *home) return std::string(home) + "/.local/share/folian32/registry";
  return {};
}

Registry::Load Registry::Read(const std::string& path, std::string& error) {
  keys_.clear();
  struct stat st{};
  if (stat(path.c_str(), &st) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) return Load::kMissing;
    error = "cannot read the class registry " + path + ": " + std::strerror(errno);
    return Load::kUnreadable;
  }
  std::ifstream in(path, std::ios::binary);
  if (!S_ISREG(st.st_mode) || !in) {
    error = "cannot read the class registry " + path + (S_ISREG(st.st_mode) ? "" : ": not a file");
    return Load::kUnreadable;
  }
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) {
    error = "cannot read the class registry " + path;
    return Load::kUnreadable;
  }
  return Parse(text.str(), path, error);
}

Registry::Load Registry::Parse(const std::string& text, const std::string& origin, std::string& error) {
  keys_.clear();
  std::istringstream in(text);
  std::string line;
  size_t number = 0;
  auto corrupt = [&](const char* why) {
    keys_.clear();
    error = "the class registry " + origin + " is damaged (line " + std::to_string(number) + ": " + why + ")";
    return Load::kCorrupt;
  };
  while (std::getline(in, line)) {
    ++number;
    if (number == 1) {
      if (line != kHeader) return corrupt("not a class registry");
      continue;
    }
    if (line.empty()) continue;
    std::vector<std::string> f = SplitTabs(line);
    std::string key, name, value;
    if (f[0] == "K" && f.size() == 2) {
      if (!Unescape(f[1], key) || key.empty()) return corrupt("bad key");
      AddKey(key);
    } else if (f[0] == "V" && f.size() == 4) {
      if (!Unescape(f[1], key) || !Unescape(f[2], name) || !Unescape(f[3], value) || key.empty() || name.empty())
        return corrupt("bad value");
      Set(key, name, value);
    } else {
      return corrupt("unknown entry");
    }
  }
  if (number == 0) return corrupt("empty file");
  return Load::kOk;
}

std::string Registry::Text() const {
  std::ostringstream text;
  text << kHeader << '\n';
  for (const auto& [key, values] : keys_) {
    text << "K\t" << Escape(key) << '\n';
    for (const auto& [name, value] : values)
      text << "V\t" << Escape(key) << '\t' << Escape(name) << '\t' << Escape(value) << '\n';
  }
  return text.str();
}

bool Registry::Write(const std::string& path, std::string& error) const {
  size_t slash = path.find_last_of('/');
  if (slash != std::string::npos && !MakeDirs(path.substr(0, slash))) {
    error = "cannot create the folder of the class registry " + path + ": " + std::strerror(errno);
    return false;
  }
  std::string temp = path + ".new." + std::to_string(getpid());
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (out) out << Text();
    out.flush();
    if (!out) {
      error = "cannot write the class registry " + path + ": " + std::strerror(errno);
      out.close();
      std::remove(temp.c_str());
      return false;
    }
  }
  if (std::rename(temp.c_str(), path.c_str()) != 0) {
    error = "cannot replace the class registry " + path + ": " + std::strerror(errno);
    std::remove(temp.c_str());
    return false;
  }
  return true;
}

std::optional<std::string> Registry::Get(const std::string& key, const std::string& name) const {
  auto k = keys_.find(key);
  if (k == keys_.end()) return std::nullopt;
  auto v = k->second.find(name);
  if (v == k->second.end()) return std::nullopt;
  return v->second;
}

void Registry::AddKey(const std::string& key) { keys_[key]; }

void Registry::Set(const std::string& key, const std::string& name, const std::string& value) {
  keys_[key][name] = value;
}

void Registry::RemoveTree(const std::string& key) {
  const std::string below = key + "\\";
  for (auto it = keys_.begin(); it != keys_.end();) {
    if (strcasecmp(it->first.c_str(), key.c_str()) == 0 || StartsWithNoCase(it->first, below))
      it = keys_.erase(it);
    else
      ++it;
  }
}

std::optional<std::string> ClassIdOfProgId(const Registry& registry, const std::string& progId) {
  if (auto id = registry.Get(progId + "\\CLSID")) return id;
  if (auto current = registry.Get(progId + "\\CurVer")) return registry.Get(*current + "\\CLSID");
  return std::nullopt;
}

namespace {

// This module's file, for the InprocServer32 entries.
std::string ModulePath() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&DllRegisterServer), &info) == 0 || !info.dli_fname) return {};
  char resolved[PATH_MAX];
  if (realpath(info.dli_fname, resolved)) return resolved;
  return info.dli_fname;
}

void RemoveEntries(Registry& registry) {
  const TypeLibrary& lib = Library();
  for (const ClassInfo& c : lib.classes) {
    registry.RemoveTree(c.progId);
    registry.RemoveTree(c.viProgId);
    registry.RemoveTree("CLSID\\" + c.clsid.ToString());
  }
  registry.RemoveTree("TypeLib\\" + lib.libid.ToString());
}

void AddEntries(Registry& registry, const std::string& module) {
  const TypeLibrary& lib = Library();
  const std::string libid = lib.libid.ToString();
  const std::string version = std::to_string(lib.major) + "." + std::to_string(lib.minor);
  for (const ClassInfo& c : lib.classes) {
    const std::string clsid = c.clsid.ToString();
    registry.Set(c.progId, "@", c.description);
    registry.Set(std::string(c.progId) + "\\CLSID", "@", clsid);
    registry.Set(c.viProgId, "@", c.description);
    registry.Set(std::string(c.viProgId) + "\\CLSID", "@", clsid);
    if (c.programmable) registry.Set(std::string(c.viProgId) + "\\CurVer", "@", c.progId);
    const std::string key = "CLSID\\" + clsid;
    registry.Set(key, "@", c.description);
    registry.Set(key + "\\ProgID", "@", c.progId);
    registry.Set(key + "\\VersionIndependentProgID", "@", c.viProgId);
    registry.Set(key + "\\InprocServer32", "@", module);
    registry.Set(key + "\\InprocServer32", "ThreadingModel", c.threading);
    if (c.programmable) {
      registry.AddKey(key + "\\Programmable");
      registry.Set(key + "\\TypeLib", "@", libid);
    }
  }
  const std::string tlb = "TypeLib\\" + libid + "\\" + version;
  registry.Set(tlb, "@", lib.help);
  registry.Set(tlb + "\\" + std::to_string(lib.lcid) + "\\linux", "@", module);
}

// Reads the registry for a change; a damaged or unreadable file is left as it is.
HRESULT ReadForChange(Registry& registry, std::string& path) {
  path = Registry::DefaultPath();
  if (path.empty()) {
    Diag("folian32: no place for the class registry (neither XDG_DATA_HOME nor HOME is set)\n");
    return FL_REGDB_E_WRITEREGDB;
  }
  std::string error;
  Registry::Load load = registry.Read(path, error);
  if (load == Registry::Load::kCorrupt || load == Registry::Load::kUnreadable) {
    Diag("folian32: %s\n", error.c_str());
    return FL_REGDB_E_READREGDB;
  }
  return S_OK;
}

}  // namespace

}  // namespace folian::automation

using namespace folian::automation;

int32_t DllRegisterServer(void) {
  try {
    Registry registry;
    std::string path;
    HRESULT hr = ReadForChange(registry, path);
    if (hr != S_OK) return hr;
    std::string module = ModulePath();
    if (module.empty()) return FL_SELFREG_E_CLASS;
    RemoveEntries(registry);
    AddEntries(registry, module);
    std::string error;
    if (!registry.Write(path, error)) {
      folian::Diag("folian32: %s\n", error.c_str());
      return FL_REGDB_E_WRITEREGDB;
    }
    return S_OK;
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

int32_t DllUnregisterServer(void) {
  try {
    Registry registry;
    std::string path;
    HRESULT hr = ReadForChange(registry, path);
    if (hr != S_OK) return hr;
    if (access(path.c_str(), F_OK) != 0) return S_OK;  // nothing registered
    RemoveEntries(registry);
    std::string error;
    if (!registry.Write(path, error)) {
      folian::Diag("folian32: %s\n", error.c_str());
      return FL_REGDB_E_WRITEREGDB;
    }
    return S_OK;
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}
