// Files for the fuzz targets: each input goes into a real file, because the
// code under test reads through the operating system's file calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// A folder of the fuzzer's own, made once and reused for every input.
const std::string& FuzzFolder();

// Replaces the content of the file at `path` with `size` bytes.
void WriteFuzzFile(const std::string& path, const std::uint8_t* data, std::size_t size);
