// Trims the C++ runtime that the Windows program links statically. Its
// default handler for an uncaught exception prints the exception's demangled
// type name; its helpers that throw the library's exceptions (bad_alloc,
// length_error, out_of_range) bring the exception classes with a second
// string implementation; its report of a failed library check (the program
// is built with them on) prints through the C99 printf: together most of the
// program's size. Gridsaw throws no exception of its own; where the library
// would throw one or a check fails (memory exhausted, a size past the
// limits, an index out of range), a GUI program has nobody to tell and would
// end anyway, so these end it at once, as an uncaught exception would.
#include <cstdlib>

namespace __gnu_cxx {

void __verbose_terminate_handler() {
  std::abort();
}

}  // namespace __gnu_cxx

namespace std {

void __glibcxx_assert_fail(const char*, int, const char*, const char*) noexcept {
  std::abort();
}

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

// Memory comes from the C runtime; running out of it ends the program, as
// above, instead of throwing.
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
