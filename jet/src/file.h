#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace jet {

// Random-access reading of a database file. The engine reads through this
// seam only, so tests and the fuzzer can hand it bytes held in memory.
class File {
 public:
  virtual ~File() = default;

  virtual std::uint64_t size() const = 0;

  // Fills `out` from `offset`. Throws Error(Io) when the bytes can't be read;
  // callers never ask for bytes past size().
  virtual void read(std::uint64_t offset, std::span<std::byte> out) const = 0;
};

// Opens a file on disk for reading. Throws Error(Io).
std::unique_ptr<File> openFile(const std::string& path);

// A file whose bytes are held in memory.
std::unique_ptr<File> memoryFile(std::vector<std::byte> bytes);

}  // namespace jet
