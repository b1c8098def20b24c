#pragma once

#include <cstdint>

namespace tessvik_private {

// Intrusive, non-atomic reference counting: every holder lives under the
// dictionary owner's lock.
class RefCountObj {
 public:
  RefCountObj() = default;
  RefCountObj(const RefCountObj&) = delete;
  RefCountObj& operator=(const RefCountObj&) = delete;
  virtual ~RefCountObj() = default;

  void AddRef() { ++count_; }
  void Release() {
    if (count_-- == 1) delete this;
  }
  bool IsShared() const { return count_ > 1; }

 private:
  std::uint32_t count_ = 0;
};

template <typename T>
class RefCountPtr {
 public:
  RefCountPtr() = default;
  explicit RefCountPtr(T* object) { Reset(object); }
  RefCountPtr(const RefCountPtr& other) { Reset(other.object_); }
  RefCountPtr& operator=(const RefCountPtr& other) {
    Reset(other.object_);
    return *this;
  }
  ~RefCountPtr() { Reset(nullptr); }

  void Reset(T* object) {
    if (object == object_) return;
    if (object != nullptr) object->AddRef();
    T* old = object_;
    object_ = object;
    if (old != nullptr) old->Release();
  }

  T* Get() const { return object_; }
  T* operator->() const { return object_; }
  T& operator*() const { return *object_; }
  explicit operator bool() const { return object_ != nullptr; }

 private:
  T* object_ = nullptr;
};

}  // namespace tessvik_private
