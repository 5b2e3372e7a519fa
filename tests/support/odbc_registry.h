#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "fixtures.h"

// Registers ODBC drivers under any name for the life of a Registry, in a
// temporary odbcinst.ini that ODBCSYSINI points at.
//
// unixODBC reads ODBCSYSINI once, at its first call, so the folder is set up
// for the whole test process before main() runs and each Registry rewrites
// the file in it. The driver manager also caches the library it found for a
// driver name for a while, so within one process a name must always stand for
// the same library: registering it with another one throws.
namespace odbc_registry {

enum class Library {
  Mdbtools,  // mdbtools' read-only driver for .mdb files
  Sqlite,    // Debian's SQLite 3 driver, reads and writes
};

inline std::string libraryPath(Library library) {
  const char* dir = "/usr/lib/x86_64-linux-gnu/odbc/";
  return std::string(dir) + (library == Library::Mdbtools ? "libmdbodbc.so" : "libsqlite3odbc.so");
}

namespace detail {

class Folder {
 public:
  Folder() {
    std::ofstream(path() / "odbcinst.ini").flush();
    std::ofstream(path() / "odbc.ini").flush();
    ::setenv("ODBCSYSINI", path().c_str(), 1);
    ::setenv("ODBCINSTINI", "odbcinst.ini", 1);
    ::setenv("ODBCINI", (path() / "odbc.ini").c_str(), 1);
  }
  const std::filesystem::path& path() const { return dir_.path(); }

 private:
  fixtures::TempDir dir_;
};

inline Folder& folder() {
  static Folder instance;
  return instance;
}

// Set before main(), ahead of any ODBC call of the process.
inline const bool kFolderReady = (folder(), true);

inline std::map<std::string, Library>& namesUsed() {
  static std::map<std::string, Library> names;
  return names;
}

}  // namespace detail

class Registry {
 public:
  Registry() { write(); }
  Registry(std::initializer_list<std::pair<std::string, Library>> drivers) {
    for (const auto& [name, library] : drivers) remember(name, library);
    drivers_.assign(drivers.begin(), drivers.end());
    write();
  }
  ~Registry() {
    drivers_.clear();
    write();
  }
  Registry(const Registry&) = delete;
  Registry& operator=(const Registry&) = delete;

  Registry& add(const std::string& name, Library library) {
    remember(name, library);
    drivers_.emplace_back(name, library);
    write();
    return *this;
  }

  static std::filesystem::path file() { return detail::folder().path() / "odbcinst.ini"; }

 private:
  static void remember(const std::string& name, Library library) {
    auto [it, added] = detail::namesUsed().emplace(name, library);
    if (!added && it->second != library)
      throw std::logic_error("ODBC driver name \"" + name + "\" was registered with another library in this process");
  }

  void write() const {
    std::ofstream out(file(), std::ios::trunc);
    for (const auto& [name, library] : drivers_)
      out << '[' << name << "]\nDriver=" << libraryPath(library) << "\n\n";
  }

  std::vector<std::pair<std::string, Library>> drivers_;
};

}  // namespace odbc_registry
