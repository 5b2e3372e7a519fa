#pragma once

// What the benchmarks of the data access component share: a clock, the
// process's memory figures, and a table of a database file reached through
// the built-in engine as a table window reaches it.

#include <QString>
#include <chrono>
#include <fstream>
#include <string>

#include "data/connection.h"
#include "data/table_dataset.h"

namespace bench {

using Clock = std::chrono::steady_clock;

inline double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A line of /proc/self/status in KiB ("VmRSS", "VmHWM").
inline long statusKiB(const std::string& key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(key + ":", 0) == 0) return std::stol(line.substr(key.size() + 1));
  return -1;
}

// Connects to the database file through the built-in engine and sets the
// dataset, not yet open, to one of its tables.
inline void attachTable(tabrix::Connection& connection, tabrix::TableDataset& dataset, const QString& file,
                        const QString& table) {
  connection.setConnectionString(
      QStringLiteral("Password=;User ID=admin;Extended Properties=\"DBQ=%1;Driver={Tabrix bench: the built-in "
                     "engine};\";")
          .arg(file));
  connection.open();
  dataset.setObjectName("ADOTable");
  dataset.setConnection(&connection);
  dataset.setTableName(table);
}

}  // namespace bench
