#include "pdf/outline/PDNameTree.h"

#include "pdf/base/Diagnostics.h"
#include "pdf/base/StringCodec.h"

namespace folian {

bool PDNameTree::AddOnPage(const ByteString& name, int32_t page) {
  if (page < 0) return false;
  NamedDest named;
  named.page = page;
  named.dest.view = PDValue::MakeArray();
  std::string key = Key(name);
  if (key.empty() || m_names.size() >= kMaxNames || m_names.count(key)) return false;
  m_names.emplace(std::move(key), std::move(named));
  return true;
}

bool PDNameTree::Add(const ByteString& name, PDDest dest) {
  std::string key = Key(name);
  if (key.empty() || m_names.size() >= kMaxNames || m_names.count(key) || dest.pageId == 0) return false;
  NamedDest named;
  named.dest = std::move(dest);
  m_names.emplace(std::move(key), std::move(named));
  return true;
}

bool PDNameTree::Write(PDFile& file, const std::function<int32_t(int32_t)>& pageId, int32_t& treeId) {
  treeId = 0;
  m_written.clear();
  for (auto& [name, named] : m_names) {
    if (named.page >= 0) named.dest.pageId = pageId(named.page);
    if (named.dest.pageId == 0) {
      Diag("named destination %s names no page\n", name.c_str());
      continue;
    }
    int32_t id = file.NewObjectId();
    if (id == 0 || !file.BeginObject(id) || !file.WriteToken("<</D") || !WriteDestArray(file, named.dest) ||
        !file.WriteToken(">>") || !file.EndObject())
      return false;
    m_written.emplace_back(name, id);
  }
  if (m_written.empty()) return true;
  int32_t rootId = file.NewObjectId();
  if (rootId == 0) return false;
  auto count = static_cast<int32_t>(m_written.size());
  if (count <= kSingleLeafMax) {
    if (!WriteLeaf(file, rootId, 0, m_written.size())) return false;
    treeId = rootId;
    return true;
  }

  // count / 20 leaves share the names evenly, the last ones taking one more: 41
  // names give leaves of 20 and 21. Giving each leaf 20 and only some of them 21
  // would leave names out when the remainder exceeds the number of leaves (43).
  int32_t leaves = count / kLeafSize;
  int32_t base = count / leaves;
  int32_t larger = count % leaves;
  std::vector<int32_t> leafIds;
  for (int32_t i = 0; i < leaves; ++i) {
    int32_t id = file.NewObjectId();
    if (id == 0) return false;
    leafIds.push_back(id);
  }
  if (!(file.BeginObject(rootId) && file.WriteToken("<< /Kids [")))
    return false;
  for (int32_t id : leafIds)
    if (!file.WriteRef(id)) return false;
  if (!(file.WriteToken("] >>") && file.EndObject())) return false;
  size_t from = 0;
  for (int32_t i = 0; i < leaves; ++i) {
    size_t size = static_cast<size_t>(base + (i >= leaves - larger ? 1 : 0));
    if (!WriteLeaf(file, leafIds[static_cast<size_t>(i)], from, from + size)) return false;
    from += size;
  }
  treeId = rootId;
  return true;
}

bool PDNameTree::WriteLeaf(PDFile& file, int32_t id, size_t from, size_t to) {
  auto literal = [](const std::string& name) {
    return EncodeString(name.data(), static_cast<int32_t>(name.size()), StringMode::Literal);
  };
  if (!(file.BeginObject(id) && file.WriteToken("<< /Limits [") && file.WriteToken(literal(m_written[from].first)) &&
        file.WriteToken(literal(m_written[to - 1].first)) && file.WriteToken("]") && file.WriteLineEnd() &&
        file.WriteToken("/Names [")))
    return false;
  for (size_t i = from; i < to; ++i)
    if (!(file.WriteToken(literal(m_written[i].first)) && file.WriteRef(m_written[i].second))) return false;
  return file.WriteToken("] >>") && file.EndObject();
}

}  // namespace folian
