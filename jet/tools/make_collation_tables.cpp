// Writes jet/src/collation_tables.cpp from the index code tables of the
// Jackcess project (Apache License 2.0): the text files index_codes_*.txt and
// index_mappings_ext_gen_97.txt, kept in ../shared/reference/index-codes.
//
//   make_collation_tables DIR > jet/src/collation_tables.cpp
//
// Each line of a code file describes one UTF-16 code unit (surrogates are
// left out): a letter for its kind, then comma-separated hexadecimal byte
// strings (an odd count of digits has a leading zero dropped). The tool packs
// the lines into runs (see collation_tables.h), checks that every code unit
// unpacks to exactly its line, checks what the key reader relies on, and
// prints the C++ source.

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "collation_tables.h"

namespace {

using jet::collation::CodeKind;
namespace c = jet::collation;

struct Code {
  CodeKind kind = CodeKind::Ignored;
  std::vector<std::uint8_t> text;
  std::vector<std::uint8_t> second;
  bool flagCode1 = false;

  bool operator==(const Code&) const = default;
};

[[noreturn]] void fail(const std::string& what) { throw std::runtime_error(what); }

std::vector<std::uint8_t> hexBytes(std::string digits, const std::string& line) {
  if (digits.size() % 2) digits.insert(digits.begin(), '0');
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i < digits.size(); i += 2) {
    std::size_t used = 0;
    unsigned long b = std::stoul(digits.substr(i, 2), &used, 16);
    if (used != 2) fail("bad hexadecimal digits in line \"" + line + "\"");
    bytes.push_back(static_cast<std::uint8_t>(b));
  }
  return bytes;
}

std::vector<std::string> split(const std::string& s) {
  std::vector<std::string> parts;
  std::stringstream in(s);
  std::string part;
  while (std::getline(in, part, ',')) parts.push_back(part);
  if (!s.empty() && s.back() == ',') parts.emplace_back();
  return parts;
}

Code parseLine(const std::string& line) {
  if (line.empty()) fail("an empty line");
  const std::vector<std::string> parts = split(line.substr(1));
  auto expect = [&](std::size_t n) {
    if (parts.size() != n) fail("line \"" + line + "\" has " + std::to_string(parts.size()) + " fields");
  };
  auto required = [&](std::size_t i) {
    if (parts[i].empty()) fail("line \"" + line + "\" lacks its bytes");
    return hexBytes(parts[i], line);
  };
  Code code;
  switch (line[0]) {
    case 'X': code.kind = CodeKind::Ignored; break;
    case 'S': expect(1); code.kind = CodeKind::Simple; code.text = required(0); break;
    case 'G': expect(1); code.kind = CodeKind::Significant; code.text = required(0); break;
    case 'U': expect(1); code.kind = CodeKind::Unprintable; code.second = required(0); break;
    case 'P':
      expect(1);
      code.kind = CodeKind::ExtraModifier;
      code.second = required(0);
      if (code.second.size() != 1) fail("line \"" + line + "\" modifies by more than a byte");
      break;
    case 'I':
      expect(2);
      code.kind = CodeKind::International;
      code.text = required(0);
      code.second = required(1);
      break;
    case 'Z':
      expect(3);
      code.kind = CodeKind::Flagged;
      code.text = required(0);
      if (!parts[1].empty()) code.second = hexBytes(parts[1], line);
      code.flagCode1 = parts[2] == "1";
      break;
    default: fail("line \"" + line + "\" is of unknown kind");
  }
  if (code.text.size() > c::kMaxTextBytes || code.second.size() > c::kMaxSecondBytes)
    fail("line \"" + line + "\" has more bytes than the packing holds");
  return code;
}

std::vector<std::string> readLines(const std::string& path) {
  std::ifstream in(path);
  if (!in) fail("can't read " + path);
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

bool isSurrogate(unsigned unit) { return unit >= 0xD800 && unit <= 0xDFFF; }

// The codes of `count` code units from 0: the first 256 from `base`, the
// rest (surrogates excepted) from `extended`.
std::vector<Code> readCodes(const std::string& dir, const std::string& base, const std::string& extended,
                            unsigned count) {
  const std::vector<std::string> first = readLines(dir + "/" + base);
  const std::vector<std::string> rest = extended.empty() ? std::vector<std::string>{} : readLines(dir + "/" + extended);
  std::vector<Code> codes;
  std::size_t next = 0;
  for (unsigned unit = 0; unit < count; ++unit) {
    if (unit < 0x100) {
      if (unit >= first.size()) fail(base + " ends early");
      codes.push_back(parseLine(first[unit]));
    } else if (isSurrogate(unit)) {
      codes.push_back({CodeKind::Surrogate, {}, {}, false});
    } else {
      if (next >= rest.size()) fail(extended + " ends early");
      codes.push_back(parseLine(rest[next++]));
    }
  }
  for (std::size_t i = next; i < rest.size(); ++i)
    if (!rest[i].empty()) fail(extended + " has more lines than code units");
  return codes;
}

std::uint64_t asNumber(const std::vector<std::uint8_t>& bytes) {
  std::uint64_t n = 0;
  for (std::uint8_t b : bytes) n = n << 8 | b;
  return n;
}

std::vector<std::uint8_t> asBytes(std::uint64_t n, std::size_t size) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = size; i-- > 0; n >>= 8) bytes[i] = static_cast<std::uint8_t>(n);
  if (size < 8 && n != 0) fail("a run's step carries past its bytes");
  return bytes;
}

struct Run {
  std::uint32_t count = 1;
  Code first;
  std::int64_t step = 0;
};

bool sameShape(const Code& a, const Code& b) {
  return a.kind == b.kind && a.second == b.second && a.flagCode1 == b.flagCode1 && a.text.size() == b.text.size();
}

std::vector<Run> makeRuns(const std::vector<Code>& codes) {
  std::vector<Run> runs;
  for (std::size_t i = 0; i < codes.size(); ++i) {
    if (!runs.empty() && sameShape(runs.back().first, codes[i])) {
      Run& run = runs.back();
      const std::int64_t step = static_cast<std::int64_t>(asNumber(codes[i].text) - asNumber(codes[i - 1].text));
      if (run.count == 1) run.step = step;
      if (run.step == step) {
        ++run.count;
        continue;
      }
    }
    runs.push_back({1, codes[i], 0});
  }
  return runs;
}

void putVarint(std::vector<std::uint8_t>& out, std::uint64_t n) {
  do {
    std::uint8_t b = n & 0x7F;
    n >>= 7;
    out.push_back(n ? b | 0x80 : b);
  } while (n);
}

std::vector<std::uint8_t> pack(const std::vector<Run>& runs) {
  std::vector<std::uint8_t> out;
  for (const Run& run : runs) {
    putVarint(out, run.count);
    std::uint8_t header = static_cast<std::uint8_t>(run.first.kind) |
                          static_cast<std::uint8_t>(run.first.second.size() << c::kSecondCountShift);
    if (run.first.flagCode1) header |= c::kFlagCode1;
    if (run.step != 0) header |= c::kHasStep;
    out.push_back(header);
    out.push_back(static_cast<std::uint8_t>(run.first.text.size()));
    if (run.step != 0) putVarint(out, static_cast<std::uint64_t>((run.step << 1) ^ (run.step >> 63)));
    out.insert(out.end(), run.first.text.begin(), run.first.text.end());
    out.insert(out.end(), run.first.second.begin(), run.first.second.end());
  }
  return out;
}

// Unpacks the runs the way the engine does and compares every code unit.
void verify(const std::vector<Run>& runs, const std::vector<Code>& codes) {
  std::size_t unit = 0;
  for (const Run& run : runs)
    for (std::uint32_t k = 0; k < run.count; ++k, ++unit) {
      Code code = run.first;
      code.text = asBytes(asNumber(run.first.text) + static_cast<std::uint64_t>(run.step * k), run.first.text.size());
      if (unit >= codes.size() || !(code == codes[unit])) fail("the runs don't reproduce code unit " + std::to_string(unit));
    }
  if (unit != codes.size()) fail("the runs cover the wrong number of code units");
}

// Where files Access wrote show Jet 3's order differently from the
// reference tables: nwind.mdb's MSysModules2 (Index1) encodes the text
// "Lock\0" with 0x10 for the NUL character, as for the other control
// characters; and its Suppliers (CompanyName) counts the "ss" of 'ß' as two
// significant letters before the 'ä' of "Lebensmittelgroßmärkte". A code
// whose bytes are all those of significant letters (the ligatures ß, æ and
// œ) is taken as that many significant letters.
void correctGeneral97(std::vector<Code>& codes) {
  codes[0] = {CodeKind::Simple, {0x10}, {}, false};
  std::vector<bool> significantByte(256);
  for (const Code& code : codes)
    if (code.kind == CodeKind::Significant)
      for (std::uint8_t b : code.text) significantByte[b] = true;
  for (Code& code : codes) {
    if (code.kind != CodeKind::Simple || code.text.size() < 2) continue;
    bool all = true;
    for (std::uint8_t b : code.text) all = all && significantByte[b];
    if (all) code.kind = CodeKind::Significant;
  }
}

// A key reader looks for the end of a text at its terminator, 0x00: no
// table code holds one (only the computed codes of surrogates can). Jet 3's
// takes the first byte below 0x10 as the start of the extra nibbles, and a
// zero nibble as their end.
void checkTerminators(const std::vector<Code>& codes, bool jet3, const std::string& name) {
  for (std::size_t unit = 0; unit < codes.size(); ++unit) {
    for (std::uint8_t b : codes[unit].text)
      if (b == 0 || (jet3 && b < 0x10)) fail(name + ": code unit " + std::to_string(unit) + " has text byte " + std::to_string(b));
    if (jet3 && !codes[unit].second.empty() && (codes[unit].second[0] & 0x0F) == 0)
      fail(name + ": code unit " + std::to_string(unit) + " has a zero extra nibble");
  }
}

std::string base64(const std::vector<std::uint8_t>& bytes) {
  static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    std::uint32_t n = static_cast<std::uint32_t>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) n |= static_cast<std::uint32_t>(bytes[i + 1]) << 8;
    if (i + 2 < bytes.size()) n |= bytes[i + 2];
    out += kDigits[n >> 18 & 63];
    out += kDigits[n >> 12 & 63];
    out += i + 1 < bytes.size() ? kDigits[n >> 6 & 63] : '=';
    out += i + 2 < bytes.size() ? kDigits[n & 63] : '=';
  }
  return out;
}

void printTable(std::ostream& out, const std::string& name, const std::string& what, const std::vector<Code>& codes,
                bool jet3) {
  checkTerminators(codes, jet3, name);
  const std::vector<Run> runs = makeRuns(codes);
  verify(runs, codes);
  const std::string text = base64(pack(runs));
  out << "\n// " << what << ": " << runs.size() << " runs.\nextern const std::string_view " << name << " =";
  constexpr std::size_t kLine = 96;
  for (std::size_t i = 0; i < text.size(); i += kLine) out << "\n    \"" << text.substr(i, kLine) << '"';
  out << ";\n";
}

void printMappings(std::ostream& out, const std::string& dir) {
  std::map<unsigned, unsigned> mappings;
  for (const std::string& line : readLines(dir + "/index_mappings_ext_gen_97.txt")) {
    if (line.empty()) continue;
    const std::vector<std::string> parts = split(line);
    if (parts.size() != 2) fail("mapping \"" + line + "\" has " + std::to_string(parts.size()) + " fields");
    const unsigned from = static_cast<unsigned>(std::stoul(parts[0]));
    const unsigned to = static_cast<unsigned>(std::stoul(parts[1]));
    if (from < 0x100 || from > 0xFFFF || to > 0xFF) fail("mapping \"" + line + "\" is out of range");
    mappings[from] = to;
  }
  out << "\nnamespace {\nconstexpr Mapping kMappings[] = {";
  int n = 0;
  for (const auto& [from, to] : mappings) out << (n++ % 6 ? " " : "\n    ") << "{" << from << ", " << to << "},";
  out << "\n};\n}  // namespace\n\nextern const std::span<const Mapping> kGeneral97Mappings = kMappings;\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: " << argv[0] << " DIR > collation_tables.cpp\n";
    return 2;
  }
  const std::string dir = argv[1];
  try {
    std::ostringstream out;
    out << "// Generated by jet/tools/make_collation_tables.cpp; do not edit.\n"
           "//\n"
           "// Derived from the index code tables of the Jackcess project\n"
           "// (https://jackcess.sourceforge.io), Apache License 2.0: index_codes_gen.txt,\n"
           "// index_codes_ext_gen.txt, index_codes_genleg.txt, index_codes_ext_genleg.txt,\n"
           "// index_codes_gen_97.txt and index_mappings_ext_gen_97.txt, with the\n"
           "// corrections to Jet 3's order the generator explains. The packing is\n"
           "// described in collation_tables.h.\n\n"
           "#include \"collation_tables.h\"\n\nnamespace jet::collation {\n";
    printTable(out, "kGeneralRuns", "Jet 4 \"General\"",
               readCodes(dir, "index_codes_gen.txt", "index_codes_ext_gen.txt", 0x10000), false);
    printTable(out, "kGeneralLegacyRuns", "\"General Legacy\"",
               readCodes(dir, "index_codes_genleg.txt", "index_codes_ext_genleg.txt", 0x10000), false);
    std::vector<Code> general97 = readCodes(dir, "index_codes_gen_97.txt", "", 0x100);
    correctGeneral97(general97);
    printTable(out, "kGeneral97Runs", "Jet 3's general order", general97, true);
    printMappings(out, dir);
    out << "\n}  // namespace jet::collation\n";
    std::cout << out.str();
  } catch (const std::exception& e) {
    std::cerr << argv[0] << ": " << e.what() << "\n";
    return 1;
  }
  return 0;
}
