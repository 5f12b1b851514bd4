#include "pdf/base/NodePool.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace folian {
namespace {

using Pool = NodePool<48>;

TEST(NodePool, freedNodesAreHandedOutAgainUpToALimit) {
  std::vector<void*> nodes;
  for (size_t i = 0; i < Pool::kMaxFree + 100; ++i) nodes.push_back(Pool::Allocate(48));
  const size_t before = Pool::Kept();
  for (void* node : nodes) Pool::Release(node, 48);
  if (!FOLIAN_NODE_POOL) {
    EXPECT_EQ(Pool::Kept(), 0u) << "the sanitizers see every allocation";
    return;
  }
  EXPECT_EQ(Pool::Kept(), Pool::kMaxFree) << "the rest went back to the allocator";
  EXPECT_GE(Pool::kMaxFree, before);
  void* last = nodes[Pool::kMaxFree - 1 - before];
  EXPECT_EQ(Pool::Allocate(48), last) << "the node freed last comes first";
  Pool::Release(last, 48);
  // Other sizes never enter the list.
  void* other = Pool::Allocate(64);
  Pool::Release(other, 64);
  EXPECT_EQ(Pool::Kept(), Pool::kMaxFree);
}

TEST(NodePool, nodesMayBeFreedOnAnotherThreadAndThreadsEndCleanly) {
  std::vector<void*> nodes;
  std::thread maker([&nodes] {
    for (int i = 0; i < 1000; ++i) nodes.push_back(Pool::Allocate(48));
    // Freed here, then taken again by this thread: its list starts empty.
    Pool::Release(Pool::Allocate(48), 48);
    EXPECT_LE(Pool::Kept(), 1u);
  });
  maker.join();
  for (void* node : nodes) Pool::Release(node, 48);
  std::thread ender([] {
    void* node = Pool::Allocate(48);
    Pool::Release(node, 48);
  });
  ender.join();
}

}  // namespace
}  // namespace folian
