// Room for plain values, taken from the C runtime where running out of
// memory can be reported: the run asks for its large buffers before the
// first tile, and a failure ends it with a message, never with an abort
// that could leave a tile emptied.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <new>
#include <utility>

template <class T>
class Buffer {
 public:
  Buffer() = default;
  ~Buffer() { std::free(data_); }
  Buffer(const Buffer&) = delete;
  Buffer& operator=(const Buffer&) = delete;

  // Room for at least `count` values; what the buffer held is kept only when
  // it had the room already. False when memory runs out.
  bool Reserve(std::size_t count) {
    if (count <= capacity_) return true;
    std::free(data_);
    data_ = static_cast<T*>(std::malloc(count * sizeof(T)));
    capacity_ = data_ != nullptr ? count : 0;
    return data_ != nullptr;
  }
  std::size_t capacity() const { return capacity_; }
  T* data() { return data_; }
  const T* data() const { return data_; }
  T& operator[](std::size_t i) { return data_[i]; }
  const T& operator[](std::size_t i) const { return data_[i]; }

 private:
  T* data_ = nullptr;
  std::size_t capacity_ = 0;
};

// An object in memory from the C runtime, null when there is none: the C++
// library's nothrow new throws and catches underneath, and where memory is
// short from the start it cannot even make the exception, and ends the
// program. Freed by FreeObject.
template <class T, class... Arguments>
T* NewObject(Arguments&&... arguments) {
  void* memory = std::malloc(sizeof(T));
  return memory != nullptr ? new (memory) T(std::forward<Arguments>(arguments)...) : nullptr;
}

struct FreeObject {
  template <class T>
  void operator()(T* object) const {
    object->~T();
    std::free(object);
  }
};
