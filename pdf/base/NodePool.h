#pragma once
// NodePool: recycles the memory of small nodes of one size, per thread.
//
// Value trees are made and dropped by the ten thousand when files are read and
// merged; the general allocator keeps only a few freed blocks of a size at hand and
// spends much of that time sorting the rest back into its bins. A pool keeps every
// freed node of its size on a list of its own thread, ready for the next one. The
// list is reached without a call into the dynamic loader (initial-exec TLS: a few
// bytes of the static TLS room that is kept for libraries loaded later). It keeps
// at most kMaxFree nodes, so a thread that once held a huge tree does not keep
// its memory; the rest goes back to the allocator when the thread ends. Under the address and
// thread sanitizers the pool is off, so that they still see every allocation.
#include <cstddef>
#include <new>

#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define FOLIAN_NODE_POOL 0
#else
#define FOLIAN_NODE_POOL 1
#endif

namespace folian {

template <size_t kSize>
class NodePool {
public:
  static void* Allocate(size_t size) {
#if FOLIAN_NODE_POOL
    if (size == kSize && t_head) {
      Block* block = t_head;
      t_head = block->next;
      --t_count;
      return block;
    }
#endif
    return ::operator new(size);
  }

  static void Release(void* memory, size_t size) noexcept {
#if FOLIAN_NODE_POOL
    if (memory && size == kSize && t_state != State::kClosed && t_count < kMaxFree) {
      if (t_state == State::kUnused) Arm();
      auto* block = static_cast<Block*>(memory);
      block->next = t_head;
      t_head = block;
      ++t_count;
      return;
    }
#endif
    ::operator delete(memory);
  }

  static constexpr size_t kMaxFree = size_t{1} << 16;
  // Nodes this thread keeps ready.
  static size_t Kept() { return t_count; }

private:
  struct Block {
    Block* next;
  };
  static_assert(kSize >= sizeof(Block));
  enum class State : unsigned char { kUnused, kArmed, kClosed };

  // Frees the thread's list when the thread ends; nodes freed after that go
  // straight back to the allocator. The main thread's list is left as it is: its
  // thread-local objects end only when the process exits, which returns all of
  // its memory at once, while walking tens of thousands of cold nodes would cost
  // a good part of a short run.
  struct Reaper {
    ~Reaper() {
      t_state = State::kClosed;
      if (::gettid() == ::getpid()) return;
      while (t_head) {
        Block* next = t_head->next;
        ::operator delete(t_head);
        t_head = next;
        --t_count;
      }
    }
  };
  static void Arm() noexcept {
    thread_local Reaper reaper;
    (void)reaper;
    t_state = State::kArmed;
  }

  __attribute__((tls_model("initial-exec"))) static inline thread_local Block* t_head = nullptr;
  __attribute__((tls_model("initial-exec"))) static inline thread_local size_t t_count = 0;
  __attribute__((tls_model("initial-exec"))) static inline thread_local State t_state = State::kUnused;
};

// An allocator for containers that mostly hold kCount elements: storage for
// exactly that many comes from the pool of its size, any other from the heap.
template <typename T, size_t kCount>
struct PooledAllocator {
  using value_type = T;
  PooledAllocator() = default;
  template <typename U>
  explicit PooledAllocator(const PooledAllocator<U, kCount>&) noexcept {}
  template <typename U>
  struct rebind {
    using other = PooledAllocator<U, kCount>;
  };
  T* allocate(size_t n) {
    if (n == kCount) return static_cast<T*>(NodePool<kCount * sizeof(T)>::Allocate(kCount * sizeof(T)));
    return static_cast<T*>(::operator new(n * sizeof(T)));
  }
  void deallocate(T* memory, size_t n) noexcept {
    if (n == kCount)
      NodePool<kCount * sizeof(T)>::Release(memory, kCount * sizeof(T));
    else
      ::operator delete(memory);
  }
  friend bool operator==(const PooledAllocator&, const PooledAllocator&) { return true; }
  friend bool operator!=(const PooledAllocator&, const PooledAllocator&) { return false; }
};

}  // namespace folian
