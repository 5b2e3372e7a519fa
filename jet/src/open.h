#pragma once

#include <memory>
#include <string>

#include "jet/database.h"

namespace jet {

class File;

// Opens a database from any File: what Database::open does after opening
// the path, for tests and the fuzzer that hold the bytes in memory. `name`
// names the file in error texts.
std::unique_ptr<Database> openDatabase(std::unique_ptr<File> file, const std::string& name,
                                       const OpenOptions& options = {});

}  // namespace jet
