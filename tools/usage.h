#pragma once

#include <exception>

namespace tabrix::cli {

// The command line doesn't fit the usage: the program prints it and exits
// with status 2.
class UsageError : public std::exception {};

}  // namespace tabrix::cli
