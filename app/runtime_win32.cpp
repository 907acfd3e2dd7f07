// Trims the C++ runtime that the Windows program links statically.
//
// Memory comes straight from the C runtime: running out of it ends the
// program, as an uncaught exception would, where nothing can report it (the
// large buffers are allocated where a failure is reported).
//
// The library's helpers that throw its exceptions (bad_alloc, length_error,
// out_of_range) would bring in the exception classes, a second string
// implementation and their printing: without these replacements the program
// passes 96 KiB. Gridsaw throws nothing, and where the library would throw
// (a size past its limits), these end the program instead. Checked with
// MinGW-w64's GCC 12.2 (Debian 12), i686 and x86_64; the size test in
// tests/process/test_process.py guards them.
#include <cstdlib>
#include <new>

namespace std {

void __throw_bad_alloc() {
  std::abort();
}
void __throw_bad_array_new_length() {
  std::abort();
}
void __throw_length_error(const char*) {
  std::abort();
}
void __throw_logic_error(const char*) {
  std::abort();
}
void __throw_out_of_range(const char*) {
  std::abort();
}
void __throw_out_of_range_fmt(const char*, ...) {
  std::abort();
}
void __throw_invalid_argument(const char*) {
  std::abort();
}

}  // namespace std

void* operator new(std::size_t size) {
  if (void* memory = std::malloc(size != 0 ? size : 1)) return memory;
  std::abort();
}

void operator delete(void* memory) noexcept {
  std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept {
  std::free(memory);
}
