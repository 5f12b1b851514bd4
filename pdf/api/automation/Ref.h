#pragma once
// An owning pointer to a reference-counted automation object (AddRef/Release).
#include <utility>

namespace folian::automation {

template <typename T>
class Ref {
 public:
  Ref() = default;
  Ref(std::nullptr_t) {}
  // Takes a new reference to `p`.
  explicit Ref(T* p) : p_(p) {
    if (p_) p_->AddRef();
  }
  // Adopts a reference the caller already holds.
  static Ref Adopt(T* p) {
    Ref r;
    r.p_ = p;
    return r;
  }
  Ref(const Ref& o) : Ref(o.p_) {}
  Ref(Ref&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  template <typename U>
  Ref(const Ref<U>& o) : Ref(static_cast<T*>(o.get())) {}
  Ref& operator=(Ref o) noexcept {
    std::swap(p_, o.p_);
    return *this;
  }
  ~Ref() {
    if (p_) p_->Release();
  }
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  T& operator*() const { return *p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // Hands the reference to the caller.
  T* Detach() { return std::exchange(p_, nullptr); }

 private:
  T* p_ = nullptr;
};

}  // namespace folian::automation
