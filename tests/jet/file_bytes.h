#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "jet/database.h"

namespace jettest {

std::vector<std::byte> readBytes(const std::filesystem::path& path);
void writeBytes(const std::filesystem::path& path, const std::vector<std::byte>& bytes);

// Opens a database held in memory.
std::unique_ptr<jet::Database> openBytes(std::vector<std::byte> bytes, const jet::OpenOptions& options = {});

// Every row of a table as one line of text, every value exact (doubles by
// their bits), for comparing two readings of the same data.
std::vector<std::string> dumpTable(const jet::Database& db, const std::string& table);

// Opens the database and reads everything in it: the catalogue, every
// table's definition and every value of every row. Throws what the engine
// throws.
void readEverything(std::vector<std::byte> bytes, const jet::OpenOptions& options = {});

// Page 0's masked stretch, unmasked or masked again (the mask is its own
// inverse), so a test can edit the header's fields.
void toggleHeaderMask(std::vector<std::byte>& file);

// The file as an encoded database: every page but the header RC4-encoded
// with `key` xor the page number, the key in the header.
std::vector<std::byte> encodeDatabase(std::vector<std::byte> file, std::uint32_t key);
// One page of such a file, encoded or decoded (the cipher is its own
// inverse).
void togglePageCipher(std::span<std::byte> page, std::uint32_t key, std::uint32_t number);

// Stores a 32-bit little-endian number.
void putU32(std::vector<std::byte>& bytes, std::size_t offset, std::uint32_t value);
void putU16(std::vector<std::byte>& bytes, std::size_t offset, std::uint16_t value);

}  // namespace jettest
