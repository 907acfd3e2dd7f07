// Trims the C++ runtime that the Windows program links statically.
//
// Every allocation of the program is a checked one, from malloc: running out
// of memory before the first tile ends the run with its message, and after
// it nothing is allocated. Nothing of it uses operator new; should anything,
// the nothrow forms return null without the exception machinery that the
// library's own wrap them in (which cannot run where memory is short), and
// the throwing form ends the program. With no library code left that throws,
// none of that machinery is linked.
#include <cstdlib>
#include <new>

void* operator new(std::size_t size) {
  if (void* memory = std::malloc(size != 0 ? size : 1)) return memory;
  std::abort();
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return std::malloc(size != 0 ? size : 1);
}

void operator delete(void* memory) noexcept {
  std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept {
  std::free(memory);
}

void operator delete(void* memory, const std::nothrow_t&) noexcept {
  std::free(memory);
}
