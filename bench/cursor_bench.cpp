// Walks every row of a table and decodes every value, writing nothing: what
// a dataset pays to read a table, without the export's formatting.
//
//   jet_cursor_bench DATABASE TABLE

#include <cstdio>
#include <exception>

#include "jet/database.h"
#include "jet/error.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: jet_cursor_bench DATABASE TABLE\n", stderr);
    return 2;
  }
  try {
    auto db = jet::Database::open(argv[1]);
    auto rows = db->rows(argv[2]);
    const std::size_t columns = rows->table().columns.size();
    std::size_t count = 0, nulls = 0;
    while (rows->next()) {
      ++count;
      for (std::size_t i = 0; i < columns; ++i) nulls += rows->value(i).null;
    }
    std::printf("%zu rows, %zu nulls\n", count, nulls);
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "jet_cursor_bench: %s\n", e.what());
    return 1;
  }
}
