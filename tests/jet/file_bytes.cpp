#include "file_bytes.h"

#include <array>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

#include "file.h"
#include "header_format.h"
#include "open.h"
#include "header.h"
#include "rc4.h"

namespace jettest {

std::vector<std::byte> readBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> chars((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::byte> bytes(chars.size());
  std::memcpy(bytes.data(), chars.data(), chars.size());
  return bytes;
}

void writeBytes(const std::filesystem::path& path, const std::vector<std::byte>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::unique_ptr<jet::Database> openBytes(std::vector<std::byte> bytes, const jet::OpenOptions& options) {
  return jet::openDatabase(jet::memoryFile(std::move(bytes)), "test.mdb", options);
}

std::vector<std::string> dumpTable(const jet::Database& db, const std::string& table) {
  std::vector<std::string> lines;
  auto rows = db.rows(table);
  const std::size_t n = rows->table().columns.size();
  while (rows->next()) {
    std::ostringstream line;
    for (std::size_t i = 0; i < n; ++i) {
      const jet::Value& v = rows->value(i);
      line << '|';
      if (v.null) {
        line << "null";
        continue;
      }
      switch (v.type) {
        case jet::ColumnType::Boolean: line << v.boolean; break;
        case jet::ColumnType::Byte:
        case jet::ColumnType::Integer:
        case jet::ColumnType::Long:
        case jet::ColumnType::Currency: line << v.integer; break;
        case jet::ColumnType::Single:
        case jet::ColumnType::Double:
        case jet::ColumnType::DateTime: {
          std::uint64_t bits;
          std::memcpy(&bits, &v.real, sizeof bits);
          line << std::hex << bits << std::dec;
          break;
        }
        case jet::ColumnType::Text:
        case jet::ColumnType::Memo: line << jet::toUtf8(v.text); break;
        case jet::ColumnType::Binary:
        case jet::ColumnType::OLE:
          for (std::byte b : v.bytes) line << std::hex << std::to_integer<int>(b) << std::dec << ' ';
          break;
        case jet::ColumnType::Guid:
          for (std::uint8_t b : v.guid) line << std::hex << int(b) << std::dec << ' ';
          break;
        case jet::ColumnType::Numeric: line << v.decimal.toString(); break;
      }
    }
    lines.push_back(line.str());
  }
  return lines;
}

void readEverything(std::vector<std::byte> bytes, const jet::OpenOptions& options) {
  auto db = openBytes(std::move(bytes), options);
  for (const jet::CatalogueEntry& e : db->catalogue()) {
    if (e.kind == jet::ObjectKind::View) continue;
    db->table(e.name);
    dumpTable(*db, e.name);
  }
}

void toggleHeaderMask(std::vector<std::byte>& file) {
  const bool jet3 = std::to_integer<int>(file[jet::header::kVersionOffset]) == jet::header::kVersionJet3;
  jet::toggleHeaderMask(file, jet3 ? jet::Format::Jet3 : jet::Format::Jet4);
}

void togglePageCipher(std::span<std::byte> page, std::uint32_t key, std::uint32_t number) {
  const std::uint32_t k = key ^ number;
  const std::array<std::uint8_t, 4> pageKey = {static_cast<std::uint8_t>(k), static_cast<std::uint8_t>(k >> 8),
                                               static_cast<std::uint8_t>(k >> 16), static_cast<std::uint8_t>(k >> 24)};
  jet::rc4(pageKey, page);
}

std::vector<std::byte> encodeDatabase(std::vector<std::byte> file, std::uint32_t key) {
  const std::size_t pageSize = std::to_integer<int>(file[jet::header::kVersionOffset]) == jet::header::kVersionJet3 ? 2048 : 4096;
  toggleHeaderMask(file);
  putU32(file, jet::header::kEncodingKeyOffset, key);
  toggleHeaderMask(file);
  for (std::size_t page = 1; (page + 1) * pageSize <= file.size(); ++page)
    togglePageCipher(std::span(file).subspan(page * pageSize, pageSize), key, static_cast<std::uint32_t>(page));
  return file;
}

void putU32(std::vector<std::byte>& bytes, std::size_t offset, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes.at(offset + static_cast<std::size_t>(i)) = static_cast<std::byte>(value >> (8 * i));
}

void putU16(std::vector<std::byte>& bytes, std::size_t offset, std::uint16_t value) {
  for (int i = 0; i < 2; ++i) bytes.at(offset + static_cast<std::size_t>(i)) = static_cast<std::byte>(value >> (8 * i));
}

}  // namespace jettest
