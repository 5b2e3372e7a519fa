// Walks every entry of an index, then seeks the keys of every thousandth row
// (each to its first entry): the time of each and the process's peak memory,
// which must not grow with the index.
//
//   jet_index_bench DATABASE TABLE INDEX

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "jet/database.h"
#include "jet/error.h"

namespace {

double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

long peakKiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// A row's key values, owning their text.
struct Key {
  std::vector<jet::Value> values;
  std::vector<std::u16string> texts;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fputs("usage: jet_index_bench DATABASE TABLE INDEX\n", stderr);
    return 2;
  }
  try {
    auto db = jet::Database::open(argv[1]);
    auto cursor = db->index(argv[2], argv[3]);
    const jet::Index index = cursor->index();

    auto start = std::chrono::steady_clock::now();
    std::size_t entries = 0;
    std::uint64_t sum = 0;
    while (cursor->next()) {
      ++entries;
      sum += cursor->bookmark();
    }
    const double walk = secondsSince(start);
    const long afterWalk = peakKiB();

    std::vector<Key> keys;
    auto rows = db->rows(argv[2]);
    for (std::size_t n = 0; rows->next(); ++n) {
      if (n % 1000 != 0) continue;
      Key& key = keys.emplace_back();
      key.texts.reserve(index.columns.size());
      for (const jet::IndexColumn& c : index.columns) {
        jet::Value v = rows->value(static_cast<std::size_t>(c.column));
        key.texts.emplace_back(v.text);
        key.values.push_back(v);
      }
      for (std::size_t i = 0; i < key.values.size(); ++i) key.values[i].text = key.texts[i];
    }
    start = std::chrono::steady_clock::now();
    std::size_t found = 0;
    for (const Key& key : keys) {
      cursor->seek(key.values);
      cursor->stopAt(key.values);
      found += cursor->next();
    }
    const double seeks = secondsSince(start);

    std::printf("%s.%s: %zu entries walked in %.3f s (peak %ld KiB); %zu seeks in %.3f s, %.1f us each, %zu found; "
                "peak %ld KiB (checksum %llu)\n",
                argv[2], argv[3], entries, walk, afterWalk, keys.size(), seeks,
                keys.empty() ? 0.0 : seeks * 1e6 / static_cast<double>(keys.size()), found, peakKiB(),
                static_cast<unsigned long long>(sum));
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "jet_index_bench: %s\n", e.what());
    return 1;
  }
}
