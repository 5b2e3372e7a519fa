#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Files shaped to cost a reader the most, built from a fixture's bytes by
// adding pages or rewriting one structure. The hostile-file tests read them,
// and the fuzzer's corpus starts from them. The fixture must not be encoded.
namespace jettest {

// The table's rows replaced by `pages` added data pages of `rowsPerPage`
// rows each: every row of an added page is an overflowed row pointing at the
// same row of the next page, and the last page holds copies of the table's
// first row. The table's page map lists only the added pages, so a row of
// the first page lies `pages` - 1 pointers away from its data.
std::vector<std::byte> overflowChain(std::vector<std::byte> file, const std::string& table, int pages,
                                     int rowsPerPage);

// The first value of a long-value column kept as a chain of parts, with its
// declared length replaced.
std::vector<std::byte> lyingLongValue(std::vector<std::byte> file, const std::string& table,
                                      const std::string& column, std::uint32_t length);

// The table's definition with `count` indexes added, index i over the
// table's columns from column i on (up to ten of them, by column number),
// named "x<i>"; the definition grows into pages added at the end.
std::vector<std::byte> manyIndexes(std::vector<std::byte> file, const std::string& table, int count);

}  // namespace jettest
