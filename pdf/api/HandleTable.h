#pragma once
// HandleTable: the map from the 32-bit handles that callers hold to the library
// objects behind them.
//
// Handles are issued from a counter and never reused, so a released handle stays
// invalid. A lookup names the kind it expects; a handle that was never issued,
// was released, or belongs to another kind yields none. The table owns the
// objects: Release destroys one. Lookups lock briefly, so distinct handles may be
// used on different threads; one handle must be used by one thread at a time.
#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace folian {

enum class HandleKind { PDoc, IDoc, Content };

class ApiObject {
public:
  explicit ApiObject(HandleKind kind) : m_kind(kind) {}
  virtual ~ApiObject() = default;
  HandleKind Kind() const { return m_kind; }

private:
  HandleKind m_kind;
};

class HandleTable {
public:
  static HandleTable& Instance();

  // Takes ownership and returns the new handle (never 0).
  uint32_t Add(std::unique_ptr<ApiObject> object);
  // The object behind the handle if it is of that kind; borrowed until Release.
  ApiObject* Find(uint32_t handle, HandleKind kind);
  template <typename T>
  T* Get(uint32_t handle) {
    return static_cast<T*>(Find(handle, T::kKind));
  }
  // Removes the handle and hands the object back to be destroyed by the caller.
  std::unique_ptr<ApiObject> Take(uint32_t handle, HandleKind kind);

private:
  std::mutex m_mutex;
  std::unordered_map<uint32_t, std::unique_ptr<ApiObject>> m_objects;
  uint32_t m_next = 0x00A10001;  // far from small integers a caller might pass by mistake
};

}  // namespace folian
