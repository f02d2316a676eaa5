// Ref<T>: an owning pointer to an intrusively reference-counted object (AddRef/Release).
#pragma once
#include <cstddef>
#include <utility>

namespace qz {

template <class T>
class Ref {
 public:
  Ref() = default;
  Ref(std::nullptr_t) {}                                      // NOLINT
  Ref(T* p) : p_(p) { if (p_) p_->AddRef(); }                 // NOLINT
  Ref(const Ref& o) : p_(o.p_) { if (p_) p_->AddRef(); }
  Ref(Ref&& o) noexcept : p_(o.p_) { o.p_ = nullptr; }
  template <class U>
  Ref(const Ref<U>& o) : p_(o.get()) { if (p_) p_->AddRef(); } // NOLINT
  ~Ref() { if (p_) p_->Release(); }
  Ref& operator=(Ref o) noexcept { std::swap(p_, o.p_); return *this; }

  T* get() const { return p_; }
  T* operator->() const { return p_; }
  T& operator*() const { return *p_; }
  explicit operator bool() const { return p_ != nullptr; }
  T* detach() { T* p = p_; p_ = nullptr; return p; }
  friend bool operator==(const Ref& a, const Ref& b) { return a.p_ == b.p_; }

 private:
  T* p_ = nullptr;
};

template <class T, class... A>
Ref<T> make_ref(A&&... a) { return Ref<T>(new T(std::forward<A>(a)...)); }

}  // namespace qz
