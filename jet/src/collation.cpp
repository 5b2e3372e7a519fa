#include "collation.h"

#include <algorithm>
#include <stdexcept>

#include "collation_tables.h"

namespace jet {
namespace {

using collation::CodeKind;

// The parts of a text key; see jet/doc/collation.md.
constexpr std::size_t kMaxIndexedUnits = 255;
constexpr std::uint8_t kEndOfText = 0x01;
constexpr std::uint8_t kEndOfKey = 0x00;
constexpr std::uint8_t kExtraPlaceholder = 0x02;
constexpr int kUnprintableOffsetStart = 7;
constexpr int kUnprintableOffsetStep = 4;
constexpr int kUnprintableOffsetMark = 0x8000;
constexpr std::uint8_t kUnprintableSeparator = 0x06;
constexpr std::uint8_t kFlagCodesByte = 0x80;  // three two-bit flag codes follow in each such byte
constexpr std::uint8_t kFlagCode1 = 2;
constexpr std::uint8_t kFlagCode2 = 3;
constexpr std::uint8_t kFlagCodesEnd[] = {0xFF, 0x02, 0x80, 0xFF, 0x80};
constexpr std::uint8_t kFlagCodesBeforeUnprintable = 0xFF;
constexpr std::uint8_t kSurrogateExtra = 0x3F;
// Jet 3: the extra nibbles are framed by a zero nibble; placeholders are 2,
// and every text byte is at least 0x10 (the generator checks both).
constexpr std::uint8_t kNibbleBound = 0x0;
constexpr std::uint8_t kNibblePlaceholder = 0x2;
constexpr std::uint8_t kLowestText97 = 0x10;

std::vector<std::uint8_t> fromBase64(std::string_view text) {
  auto digit = [](char c) -> int {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
  };
  std::vector<std::uint8_t> out;
  out.reserve(text.size() / 4 * 3);
  std::uint32_t bits = 0;
  int count = 0;
  for (char c : text) {
    const int d = digit(c);
    if (d < 0) break;  // the padding
    bits = bits << 6 | static_cast<std::uint32_t>(d);
    if (++count == 4) {
      out.push_back(static_cast<std::uint8_t>(bits >> 16));
      out.push_back(static_cast<std::uint8_t>(bits >> 8));
      out.push_back(static_cast<std::uint8_t>(bits));
      bits = 0;
      count = 0;
    }
  }
  if (count == 3) {
    out.push_back(static_cast<std::uint8_t>(bits >> 10));
    out.push_back(static_cast<std::uint8_t>(bits >> 2));
  } else if (count == 2) {
    out.push_back(static_cast<std::uint8_t>(bits >> 4));
  }
  return out;
}

// Reads the packed tables, which are part of the program: a fault here is a
// fault of the build, not of a file.
class PackedReader {
 public:
  explicit PackedReader(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
  bool done() const { return pos_ == bytes_.size(); }
  std::uint8_t byte() {
    if (pos_ >= bytes_.size()) throw std::logic_error("the collation tables are cut short");
    return bytes_[pos_++];
  }
  std::uint64_t varint() {
    std::uint64_t n = 0;
    for (int shift = 0;; shift += 7) {
      const std::uint8_t b = byte();
      n |= static_cast<std::uint64_t>(b & 0x7F) << shift;
      if (!(b & 0x80)) return n;
    }
  }

 private:
  std::vector<std::uint8_t> bytes_;
  std::size_t pos_ = 0;
};

void put(std::vector<std::byte>& out, std::uint8_t b) { out.push_back(static_cast<std::byte>(b)); }

// The extra codes of a General text: one entry (or a placeholder) per code
// unit that has text bytes, up to the last one that has extra bytes.
struct ExtraCodes {
  bool started = false;
  std::vector<std::uint8_t> bytes;
  std::size_t units = 0;         // code units the bytes account for
  std::size_t modifierOnly = 0;  // 1 when a modifier came before any extra byte

  void add(std::size_t unit, const std::uint8_t* extra, std::size_t length, std::uint8_t modifier) {
    started = true;
    if (units < unit) {
      bytes.insert(bytes.end(), unit - units, kExtraPlaceholder);
      units = unit;
    }
    if (length > 0) {
      bytes.insert(bytes.end(), extra, extra + length);
      ++units;
    } else if (!bytes.empty()) {
      bytes.back() = static_cast<std::uint8_t>(bytes.back() + modifier);
    } else {
      bytes.push_back(modifier);
      modifierOnly = 1;
    }
  }
};

// Jet 3's extra codes, a nibble at a time, high nibble first.
struct Nibbles {
  std::vector<std::uint8_t> bytes;
  bool high = true;
  void put(std::uint8_t nibble) {
    nibble &= 0x0F;
    if (high)
      bytes.push_back(static_cast<std::uint8_t>(nibble << 4));
    else
      bytes.back() = static_cast<std::uint8_t>(bytes.back() | nibble);
    high = !high;
  }
};

std::u16string_view indexedPart(std::u16string_view text) {
  text = text.substr(0, std::min(text.size(), kMaxIndexedUnits));
  while (!text.empty() && text.back() == u' ') text.remove_suffix(1);
  return text;
}

void flip(std::vector<std::byte>& out, std::size_t from) {
  for (std::size_t i = from; i < out.size(); ++i) out[i] = ~out[i];
}

std::uint8_t at(std::span<const std::byte> key, std::size_t i, bool ascending) {
  const std::uint8_t b = std::to_integer<std::uint8_t>(key[i]);
  return ascending ? b : static_cast<std::uint8_t>(~b);
}

}  // namespace

Collation::Collation(Family family, std::string_view packedRuns) : family_(family) {
  PackedReader in(fromBase64(packedRuns));
  std::uint32_t first = 0;
  while (!in.done()) {
    Run run;
    run.first = static_cast<char16_t>(first);
    run.count = static_cast<std::uint32_t>(in.varint());
    const std::uint8_t header = in.byte();
    run.code.kind = header & collation::kKindMask;
    run.code.flagCode1 = (header & collation::kFlagCode1) != 0;
    run.code.secondLength = header >> collation::kSecondCountShift & collation::kSecondCountMask;
    run.code.textLength = in.byte();
    if (run.code.textLength > collation::kMaxTextBytes) throw std::logic_error("the collation tables are malformed");
    if (header & collation::kHasStep) {
      const std::uint64_t zigzag = in.varint();
      run.step = static_cast<std::int64_t>(zigzag >> 1) ^ -static_cast<std::int64_t>(zigzag & 1);
    }
    for (int i = 0; i < run.code.textLength; ++i) run.text = run.text << 8 | in.byte();
    for (int i = 0; i < run.code.secondLength; ++i) run.code.second[i] = in.byte();
    runs_.push_back(run);
    first += run.count;
  }
}

const Collation* Collation::find(Format format, SortOrderId order) {
  constexpr std::uint16_t kGeneralLocale = 1033;
  constexpr std::uint8_t kLegacyVersion = 0;
  constexpr std::uint8_t kCurrentVersion = 1;
  static const Collation general(Family::General, collation::kGeneralRuns);
  static const Collation legacy(Family::General, collation::kGeneralLegacyRuns);
  static const Collation general97(Family::General97, collation::kGeneral97Runs);
  if (format == Format::Jet3) return order.locale == kGeneralLocale || order.locale == 0 ? &general97 : nullptr;
  if (order.locale == 0) return &legacy;
  if (order.locale != kGeneralLocale) return nullptr;
  if (order.version == kLegacyVersion) return &legacy;
  if (order.version == kCurrentVersion) return &general;
  return nullptr;
}

Collation::Code Collation::lookup(char16_t unit) const {
  if (family_ == Family::General97 && unit > 0xFF) {
    const auto& mappings = collation::kGeneral97Mappings;
    auto it = std::lower_bound(mappings.begin(), mappings.end(), unit,
                               [](const collation::Mapping& m, char16_t u) { return m.from < u; });
    if (it == mappings.end() || it->from != unit) return Code{};  // no byte of its own: ignored
    unit = it->to;
  }
  auto run = std::upper_bound(runs_.begin(), runs_.end(), unit, [](char16_t u, const Run& r) { return u < r.first; });
  --run;  // the first run starts at 0
  Code code = run->code;
  if (code.kind == static_cast<std::uint8_t>(CodeKind::Surrogate)) {
    // Computed from the code unit: a high surrogate from a fixed offset, a
    // low one from an offset that depends on where it lies in its block.
    int number;
    if (unit < 0xDC00) {
      number = unit - 10238;
    } else {
      const int inBlock = (unit - 0xDC00) % 1024;
      const int offset = inBlock < 8 ? 9992 : inBlock < 8 + 254 ? 9990 : inBlock < 8 + 2 * 254 ? 9988
                         : inBlock < 8 + 3 * 254 ? 9986 : 9984;
      number = unit - offset;
    }
    code.textLength = 2;
    code.text[0] = static_cast<std::uint8_t>(number >> 8);
    code.text[1] = static_cast<std::uint8_t>(number);
    code.secondLength = 1;
    code.second[0] = kSurrogateExtra;
    return code;
  }
  std::uint64_t text = run->text + static_cast<std::uint64_t>(run->step) * (unit - run->first);
  for (int i = code.textLength; i-- > 0; text >>= 8) code.text[i] = static_cast<std::uint8_t>(text);
  return code;
}

void Collation::appendKey(std::u16string_view text, bool ascending, std::vector<std::byte>& out) const {
  const std::size_t start = out.size();
  text = indexedPart(text);
  if (family_ == Family::General97) {
    appendGeneral97(text, out);
    if (!ascending) flip(out, start);
    return;
  }
  appendGeneral(text, out);
  if (!ascending) {
    // A descending key ends in its flipped terminator and a plain one.
    put(out, kEndOfKey);
    flip(out, start);
  }
  put(out, kEndOfKey);
}

void Collation::appendGeneral(std::u16string_view text, std::vector<std::byte>& out) const {
  ExtraCodes extra;
  std::vector<std::uint8_t> unprintable;
  std::vector<std::uint8_t> flagCodes;
  std::size_t written = 0;  // code units that put text bytes in the key
  for (char16_t unit : text) {
    const Code code = lookup(unit);
    const std::size_t position = written;
    if (code.textLength > 0) {
      for (int i = 0; i < code.textLength; ++i) put(out, code.text[i]);
      ++written;
    }
    const auto kind = static_cast<CodeKind>(code.kind);
    if (kind == CodeKind::Simple) continue;
    if (kind == CodeKind::ExtraModifier)
      extra.add(position, nullptr, 0, code.second[0]);
    else if (code.secondLength > 0 && kind != CodeKind::Unprintable)
      extra.add(position, code.second, code.secondLength, 0);
    if (kind == CodeKind::Unprintable) {
      // Where the character stood, counted in the extra codes as they will
      // be written, then its own bytes.
      std::size_t offset = position;
      if (extra.started) offset = extra.bytes.size() + (position - extra.units) - extra.modifierOnly;
      const int mark = (kUnprintableOffsetStart + kUnprintableOffsetStep * static_cast<int>(offset)) | kUnprintableOffsetMark;
      unprintable.push_back(static_cast<std::uint8_t>(mark >> 8));
      unprintable.push_back(static_cast<std::uint8_t>(mark));
      unprintable.push_back(kUnprintableSeparator);
      unprintable.insert(unprintable.end(), code.second, code.second + code.secondLength);
    }
    if (kind == CodeKind::Flagged) flagCodes.push_back(code.flagCode1 ? kFlagCode1 : kFlagCode2);
  }
  put(out, kEndOfText);

  // Placeholders (and zeros) at the end of the extra codes say nothing.
  while (!extra.bytes.empty() && extra.bytes.back() <= kExtraPlaceholder) extra.bytes.pop_back();
  for (std::uint8_t b : extra.bytes) put(out, b);
  if (flagCodes.empty() && unprintable.empty()) return;
  put(out, kEndOfText);
  put(out, kEndOfText);
  if (!flagCodes.empty()) {
    while (!flagCodes.empty() && flagCodes.back() == kFlagCode2) flagCodes.pop_back();
    for (std::size_t i = 0; i < flagCodes.size(); i += 3) {
      std::uint8_t b = kFlagCodesByte;
      for (std::size_t k = 0; k < 3 && i + k < flagCodes.size(); ++k)
        b = static_cast<std::uint8_t>(b | flagCodes[i + k] << (2 * (2 - k)));
      put(out, b);
    }
    for (std::uint8_t b : kFlagCodesEnd) put(out, b);
    if (!unprintable.empty()) put(out, kFlagCodesBeforeUnprintable);
  }
  if (!unprintable.empty()) {
    put(out, kEndOfText);
    for (std::uint8_t b : unprintable) put(out, b);
  }
}

void Collation::appendGeneral97(std::u16string_view text, std::vector<std::byte>& out) const {
  Nibbles nibbles;
  bool extra = false;
  std::size_t significant = 0;  // significant code units since the last extra code
  for (char16_t unit : text) {
    const Code code = lookup(unit);
    for (int i = 0; i < code.textLength; ++i) put(out, code.text[i]);
    const auto kind = static_cast<CodeKind>(code.kind);
    if (kind == CodeKind::Simple) continue;
    if (kind == CodeKind::Significant) {
      significant += code.textLength;  // a ligature counts as its letters
      continue;
    }
    if (code.secondLength == 0) continue;
    if (!extra) {
      nibbles.put(kNibbleBound);
      extra = true;
    }
    for (; significant > 0; --significant) nibbles.put(kNibblePlaceholder);
    nibbles.put(code.second[0]);
  }
  if (!extra) {
    put(out, kEndOfKey);
    return;
  }
  nibbles.put(kNibbleBound);
  for (std::uint8_t b : nibbles.bytes) put(out, b);
}

std::size_t Collation::keyLength(std::span<const std::byte> key, bool ascending, std::size_t after) const {
  if (family_ == Family::General) {
    // A key ends at a 0x00 (ascending), or at its flipped terminator and a
    // plain one (descending).
    for (std::size_t i = ascending || after == 0 ? after : after - 1; i < key.size(); ++i) {
      if (at(key, i, ascending) != kEndOfKey) continue;
      if (ascending) return i + 1;
      if (i + 1 < key.size() && std::to_integer<std::uint8_t>(key[i + 1]) == kEndOfKey) return i + 2;
    }
    return 0;
  }
  if (after > 0) return 0;
  std::size_t i = 0;
  while (i < key.size() && at(key, i, ascending) >= kLowestText97) ++i;
  if (i == key.size()) return 0;
  if (at(key, i, ascending) == kEndOfKey) return i + 1;
  // Extra nibbles: a zero nibble opens them (the high half of this byte) and
  // the next zero nibble closes them.
  for (std::size_t nibble = 1;; ++nibble) {
    const std::size_t byte = i + nibble / 2;
    if (byte >= key.size()) return 0;
    const std::uint8_t b = at(key, byte, ascending);
    if (((nibble % 2 ? b : b >> 4) & 0x0F) == kNibbleBound) return byte + 1;
  }
}

}  // namespace jet
