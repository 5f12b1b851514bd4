#pragma once
// The file-backed class registry: keys (backslash-separated paths, compared without
// regard to case) holding named string values, "@" being a key's default value.
// The file is text: a first line "folian32 class registry 1", then one line per key
// ("K<TAB>path") or value ("V<TAB>path<TAB>name<TAB>value"), with backslash, tab
// and line breaks escaped in fields. It is replaced as a whole (written beside it,
// then renamed), so a failed write never leaves a half-written registry.
#include <map>
#include <optional>
#include <string>

namespace folian::automation {

struct NoCaseLess {
  bool operator()(const std::string& a, const std::string& b) const;
};

class Registry {
 public:
  enum class Load { kOk, kMissing, kCorrupt, kUnreadable };

  // $FOLIAN_REGISTRY, else $XDG_DATA_HOME/folian32/registry, else
  // $HOME/.local/share/folian32/registry; empty without any of them.
  static std::string DefaultPath();

  // kMissing leaves an empty registry. `error` receives a sentence for the others.
  Load Read(const std::string& path, std::string& error);
  // The file's text, as Read takes it (`origin` names it in errors) and Write makes it.
  Load Parse(const std::string& text, const std::string& origin, std::string& error);
  std::string Text() const;
  // Creates the folder when needed. False with a sentence in `error`.
  bool Write(const std::string& path, std::string& error) const;

  std::optional<std::string> Get(const std::string& key, const std::string& name = "@") const;
  bool HasKey(const std::string& key) const { return keys_.count(key) != 0; }
  void AddKey(const std::string& key);
  void Set(const std::string& key, const std::string& name, const std::string& value);
  // Removes the key and every key below it.
  void RemoveTree(const std::string& key);

 private:
  std::map<std::string, std::map<std::string, std::string, NoCaseLess>, NoCaseLess> keys_;
};

// The class identifier a ProgID names in the registry (following CurVer), or none.
std::optional<std::string> ClassIdOfProgId(const Registry& registry, const std::string& progId);

}  // namespace folian::automation
