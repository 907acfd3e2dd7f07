// Preloaded into the Linux program (LD_PRELOAD), makes every allocation fail
// from the moment it creates its first tile: the first open that creates a
// file whose name holds " tile " arms it. The C library's own allocator
// serves everything before.

// Both open and open64 are caught, so the headers must not rename one as the
// other, as they do for the program.
#undef _FILE_OFFSET_BITS
#include <dlfcn.h>
#include <fcntl.h>

#include <cerrno>
#include <cstdarg>
#include <cstddef>
#include <cstring>

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* memory, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
}

namespace {

bool armed = false;

using Open = int (*)(const char*, int, ...);

int OpenAndArm(const char* name, const char* path, int flags, std::va_list rest) {
  const mode_t mode = (flags & O_CREAT) != 0 ? va_arg(rest, mode_t) : 0;
  if ((flags & O_CREAT) != 0 && std::strstr(path, " tile ") != nullptr) armed = true;
  return reinterpret_cast<Open>(dlsym(RTLD_NEXT, name))(path, flags, mode);
}

}  // namespace

extern "C" {

void* malloc(std::size_t size) {
  return armed ? nullptr : __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size) {
  return armed ? nullptr : __libc_calloc(count, size);
}
void* realloc(void* memory, std::size_t size) {
  return armed ? nullptr : __libc_realloc(memory, size);
}
void* memalign(std::size_t alignment, std::size_t size) {
  return armed ? nullptr : __libc_memalign(alignment, size);
}
void* aligned_alloc(std::size_t alignment, std::size_t size) {
  return memalign(alignment, size);
}
int posix_memalign(void** memory, std::size_t alignment, std::size_t size) {
  *memory = memalign(alignment, size);
  return *memory != nullptr ? 0 : ENOMEM;
}

int open(const char* path, int flags, ...) {
  std::va_list rest;
  va_start(rest, flags);
  const int fd = OpenAndArm("open", path, flags, rest);
  va_end(rest);
  return fd;
}
int open64(const char* path, int flags, ...) {
  std::va_list rest;
  va_start(rest, flags);
  const int fd = OpenAndArm("open64", path, flags, rest);
  va_end(rest);
  return fd;
}

}  // extern "C"
