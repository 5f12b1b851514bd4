#include "pdf/api/HandleTable.h"

namespace folian {

HandleTable& HandleTable::Instance() {
  static HandleTable table;
  return table;
}

uint32_t HandleTable::Add(std::unique_ptr<ApiObject> object) {
  std::lock_guard lock(m_mutex);
  uint32_t handle = m_next++;
  if (m_next == 0) m_next = 1;
  m_objects.emplace(handle, std::move(object));
  return handle;
}

ApiObject* HandleTable::Find(uint32_t handle, HandleKind kind) {
  std::lock_guard lock(m_mutex);
  auto it = m_objects.find(handle);
  if (it == m_objects.end() || it->second->Kind() != kind) return nullptr;
  return it->second.get();
}

std::unique_ptr<ApiObject> HandleTable::Take(uint32_t handle, HandleKind kind) {
  std::lock_guard lock(m_mutex);
  auto it = m_objects.find(handle);
  if (it == m_objects.end() || it->second->Kind() != kind) return nullptr;
  std::unique_ptr<ApiObject> object = std::move(it->second);
  m_objects.erase(it);
  return object;
}

}  // namespace folian
