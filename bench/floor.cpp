// The I/O floor Gridsaw is measured against: read the source once, then
// create the same number of files of the same size with one write each.
//   floor SOURCE OUTPUT_FOLDER FILE_COUNT FILE_SIZE
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: floor SOURCE OUTPUT_FOLDER FILE_COUNT FILE_SIZE\n");
    return 2;
  }
  const long count = std::strtol(argv[3], nullptr, 10);
  const std::size_t size = std::strtoul(argv[4], nullptr, 10);

  const int source = open(argv[1], O_RDONLY);
  if (source < 0) return 1;
  std::vector<char> buffer(8 << 20);
  ssize_t got;
  while ((got = read(source, buffer.data(), buffer.size())) > 0) {
  }
  close(source);
  if (got < 0) return 1;

  std::vector<char> file(size, 1);
  for (long i = 0; i < count; ++i) {
    const std::string name = std::string(argv[2]) + "/floor " + std::to_string(i) + ".bmp";
    const int out = open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (out < 0 || write(out, file.data(), size) != static_cast<ssize_t>(size) || close(out) != 0) {
      std::perror(name.c_str());
      return 1;
    }
  }
  return 0;
}
