#include "pdf/object/PDObject.h"

#include "pdf/base/NodePool.h"
#include "pdf/object/PDDict.h"

namespace folian {

void* PDObject::operator new(size_t size) { return NodePool<sizeof(PDObject)>::Allocate(size); }

void PDObject::operator delete(void* memory, size_t size) noexcept { NodePool<sizeof(PDObject)>::Release(memory, size); }

PDObject::PDObject(PDValuePtr root, int32_t number) : m_number(number), m_root(std::move(root)) {}

PDObject::~PDObject() = default;

PDObjectClass PDObject::ClassOf(const PDValue* root) {
  if (!root || !root->Dict()) return kClassOther;
  const PDValue* type = root->Dict()->Get(kKeyType);
  if (!type) return kClassOther;
  if (type->IsText("/Pages")) return kClassPages;
  if (type->IsText("/Page")) return kClassPage;
  return kClassOther;
}


}  // namespace folian
