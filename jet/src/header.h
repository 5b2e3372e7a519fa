#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "jet/database.h"

namespace jet {

class File;

// What page 0 says about the file, unmasked.
struct Header {
  Format format = Format::Jet4;
  int pageSize = 4096;
  int codePage = 1252;
  int sortOrder = 0;
  std::uint32_t encodingKey = 0;  // pages are RC4-encoded with it (xor the page number) when not 0
  std::u16string password;        // the database password; empty when the file has none
  bool passwordReadable = true;   // false when the stored bytes can't be a password anyone set
};

// Reads page 0. `name` names the file in the texts of NotADatabase errors
// (also for .accdb); Corrupt errors give the detail only. Throws Error:
// NotADatabase, Corrupt, Io.
Header readHeader(const File& file, const std::string& name);

// The page size the version byte of page 0 gives, or 0 when the file is too
// short to have one or the version is none this engine reads.
int pageSizeOf(const File& file);

// Masks or unmasks (the mask is its own inverse) the stretch of page 0 that
// Jet keeps masked under a fixed key.
void toggleHeaderMask(std::span<std::byte> page0, Format format);

// Refuses a user other than admin and a password that doesn't match.
// Throws Error(Password), or Error(Corrupt) when a refused password is one
// the header's damage made up.
void checkLogin(const Header& header, const OpenOptions& options);

}  // namespace jet
