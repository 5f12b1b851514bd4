#pragma once
// Named destinations of an output document and the name tree that lists them.
//
// Each name maps to a destination object "<< /D [page view] >>". Names are unique:
// a second destination under a name already taken is refused (the first one
// stays), since a name tree with a repeated key has no defined meaning. At close
// the names are sorted in byte order and written as one leaf for up to 40 names,
// above that as a root over count / 20 leaves that share the names evenly (41
// names: 20 and 21).
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "pdf/outline/PDDest.h"
#include "pdf/writer/PDFile.h"

namespace folian {

struct NamedDest {
  int32_t page = -1;  // 0-based output page, resolved at close; or -1 when dest.pageId is set
  PDDest dest;
};

class PDNameTree {
public:
  static constexpr int32_t kSingleLeafMax = 40;
  static constexpr int32_t kLeafSize = 20;
  // A hostile input cannot make the tree grow without bound.
  static constexpr size_t kMaxNames = 1000000;

  // Records a destination on a 0-based page of the output; false when the name is
  // empty, already taken, or there are too many.
  [[nodiscard]] bool AddOnPage(const ByteString& name, int32_t page);
  // Records a destination whose page id is known (carried over from an input).
  [[nodiscard]] bool Add(const ByteString& name, PDDest dest);
  [[nodiscard]] bool Has(const ByteString& name) const { return m_names.count(Key(name)) != 0; }
  [[nodiscard]] size_t Count() const { return m_names.size(); }

  // Writes the destination objects and the tree and sets `rootId` to the tree's
  // root (0 when no name has a page). False when writing failed.
  [[nodiscard]] bool Write(PDFile& file, const std::function<int32_t(int32_t)>& pageId, int32_t& rootId);

private:
  static std::string Key(const ByteString& name) { return std::string(name.data(), name.length()); }
  [[nodiscard]] bool WriteLeaf(PDFile& file, int32_t id, size_t from, size_t to);

  std::map<std::string, NamedDest> m_names;  // byte order
  std::vector<std::pair<std::string, int32_t>> m_written;  // name and destination object id
};

}  // namespace folian
