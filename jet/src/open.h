#pragma once

#include <memory>
#include <string>

#include "jet/database.h"

namespace jet {

class File;
class FileSystem;

// Opens the database at `path` among `files`: what Database::open does on
// the system's files, for tests that hand it files held in memory.
std::unique_ptr<Database> openDatabase(FileSystem& files, const std::string& path, const OpenOptions& options = {});

// Opens a database from a file no other program can reach (bytes held in
// memory, for tests and the fuzzer): no lock file, no journal, no changes.
// `name` names the file in error texts.
std::unique_ptr<Database> openDatabase(std::unique_ptr<File> file, const std::string& name,
                                       const OpenOptions& options = {});

}  // namespace jet
