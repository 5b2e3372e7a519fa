// Writes the crafted files of the hostile-file tests into a folder, for the
// fuzzer's seed corpus: overflow chains, long values with lying lengths,
// definitions with thousands of indexes. Run by make_corpus.
//
//   jet_crafted_files FIXTURES OUT

#include <cstdio>
#include <exception>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "crafted.h"
#include "file_bytes.h"
#include "long_value_format.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: jet_crafted_files FIXTURES OUT\n", stderr);
    return 2;
  }
  const std::filesystem::path fixtures = argv[1], out = argv[2];
  struct Shape {
    const char* name;
    const char* fixture;
    std::function<std::vector<std::byte>(std::vector<std::byte>)> make;
  };
  using namespace jettest;
  const Shape shapes[] = {
      {"overflow-chain-5", "V2000_numeric.mdb", [](auto f) { return overflowChain(std::move(f), "test", 5, 20); }},
      {"overflow-chain-64", "V2000_numeric.mdb", [](auto f) { return overflowChain(std::move(f), "test", 64, 20); }},
      {"overflow-chain-jet3", "V1997_test.mdb", [](auto f) { return overflowChain(std::move(f), "Table1", 16, 20); }},
      {"lying-long-value", "nwind.mdb",
       [](auto f) { return lyingLongValue(std::move(f), "Employees", "Photo", jet::lval::kLengthMask); }},
      {"lying-long-value-within-file", "nwind.mdb",
       [](auto f) { return lyingLongValue(std::move(f), "Employees", "Photo", 2'000'000); }},
      {"many-indexes", "jackcess/delColTestV2000.mdb", [](auto f) { return manyIndexes(std::move(f), "Table1", 3000); }},
      {"many-indexes-jet3", "V1997_test.mdb", [](auto f) { return manyIndexes(std::move(f), "Table1", 1000); }},
  };
  std::filesystem::create_directories(out);
  for (const Shape& s : shapes) {
    try {
      writeBytes(out / (std::string(s.name) + ".mdb"), s.make(readBytes(fixtures / s.fixture)));
    } catch (const std::exception& e) {
      std::fprintf(stderr, "jet_crafted_files: %s: %s\n", s.name, e.what());
      return 1;
    }
  }
  return 0;
}
