#include "text_codec.h"

#include <cerrno>
#include <iconv.h>

#include "bytes.h"
#include "code_pages.h"
#include "jet/error.h"
#include "jet/value.h"

namespace jet {

// Code pages without a table of ours (the East Asian double-byte ones, DOS
// code pages) go through the C library's converter.
class TextCodec::Converter {
 public:
  explicit Converter(int codePage) {
    std::string name = "CP" + std::to_string(codePage);
    cd_ = ::iconv_open("UTF-16LE", name.c_str());
    if (cd_ == reinterpret_cast<iconv_t>(-1))
      throw Error(ErrorKind::Unsupported, "The database keeps its text in code page " + std::to_string(codePage) +
                                              ", which this system can't decode.");
  }
  ~Converter() { ::iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  void decode(std::span<const std::byte> stored, std::u16string& out) const {
    out.clear();
    ::iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    std::string buffer(stored.size() * 4 + 4, '\0');
    char* in = const_cast<char*>(reinterpret_cast<const char*>(stored.data()));
    std::size_t inLeft = stored.size();
    char* outPtr = buffer.data();
    std::size_t outLeft = buffer.size();
    while (inLeft > 0) {
      if (::iconv(cd_, &in, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1)) break;
      if (errno == EILSEQ || errno == EINVAL) {
        // An undecodable byte stands for one replacement character.
        ++in;
        --inLeft;
        if (outLeft < 2) break;
        *outPtr++ = static_cast<char>(0xFD);
        *outPtr++ = static_cast<char>(0xFF);
        outLeft -= 2;
      } else {
        break;
      }
    }
    std::size_t produced = buffer.size() - outLeft;
    auto bytes = asBytes(buffer.data(), produced);
    out.reserve(produced / 2);
    for (std::size_t i = 0; i + 1 < produced; i += 2) out.push_back(static_cast<char16_t>(getU16(&bytes[i])));
  }

 private:
  iconv_t cd_;
};

TextCodec::TextCodec(Format format, int codePage) : format_(format) {
  if (format_ != Format::Jet3) return;
  if (codePage == 0) codePage = 1252;  // files that don't say are Western European
  highHalf_ = codePageHighHalf(codePage);
  if (!highHalf_) converter_ = std::make_unique<Converter>(codePage);
}

TextCodec::~TextCodec() = default;
TextCodec::TextCodec(TextCodec&&) noexcept = default;
TextCodec& TextCodec::operator=(TextCodec&&) noexcept = default;

void TextCodec::decode(std::span<const std::byte> stored, std::u16string& out) const {
  const std::byte* p = stored.data();
  std::size_t n = stored.size();
  if (format_ == Format::Jet3) {
    if (converter_) {
      converter_->decode(stored, out);
      return;
    }
    out.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
      std::uint8_t b = getU8(p + i);
      out[i] = b < 0x80 ? char16_t(b) : highHalf_[b - 0x80];
    }
    return;
  }
  if (n >= 2 && getU8(p) == 0xFF && getU8(p + 1) == 0xFE) {
    // Compressed: starts with one-byte characters; a 0x00 switches between
    // one-byte and two-byte runs.
    out.resize(n - 2);
    std::size_t length = 0;
    bool oneByte = true;
    std::size_t i = 2;
    while (i < n) {
      std::uint8_t b = getU8(p + i);
      if (b == 0) {
        oneByte = !oneByte;
        ++i;
      } else if (oneByte) {
        out[length++] = b;
        ++i;
      } else {
        if (i + 1 >= n) break;  // a dangling half character
        out[length++] = static_cast<char16_t>(getU16(p + i));
        i += 2;
      }
    }
    out.resize(length);
    return;
  }
  out.resize(n / 2);
  for (std::size_t i = 0; i < n / 2; ++i) out[i] = static_cast<char16_t>(getU16(p + 2 * i));
}

std::u16string fromUtf8(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  std::size_t i = 0;
  auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(text[k]); };
  while (i < text.size()) {
    std::uint8_t b = byte(i);
    char32_t cp;
    int extra;
    if (b < 0x80) {
      cp = b;
      extra = 0;
    } else if ((b & 0xE0) == 0xC0) {
      cp = b & 0x1F;
      extra = 1;
    } else if ((b & 0xF0) == 0xE0) {
      cp = b & 0x0F;
      extra = 2;
    } else if ((b & 0xF8) == 0xF0) {
      cp = b & 0x07;
      extra = 3;
    } else {
      out.push_back(u'\uFFFD');
      ++i;
      continue;
    }
    bool ok = true;
    for (int k = 1; k <= extra; ++k) {
      if (i + k >= text.size() || (byte(i + k) & 0xC0) != 0x80) {
        ok = false;
        break;
      }
      cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
    if (!ok || cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      out.push_back(u'\uFFFD');
      ++i;
      continue;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
    i += static_cast<std::size_t>(extra) + 1;
  }
  return out;
}

char* toUtf8(std::u16string_view text, char* out) {
  const std::size_t n = text.size();
  for (std::size_t i = 0; i < n; ++i) {
    char32_t cp = text[i];
    if (cp < 0x80) {
      *out++ = static_cast<char>(cp);
      continue;
    }
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < n && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;  // half of a pair
    }
    if (cp < 0x800) {
      *out++ = static_cast<char>(0xC0 | (cp >> 6));
      *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      *out++ = static_cast<char>(0xE0 | (cp >> 12));
      *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      *out++ = static_cast<char>(0xF0 | (cp >> 18));
      *out++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

std::string toUtf8(std::u16string_view text) {
  std::string out(3 * text.size(), '\0');
  out.resize(static_cast<std::size_t>(toUtf8(text, out.data()) - out.data()));
  return out;
}

char16_t foldCase(char16_t c) {
  if (c < 0x80) return (c >= u'A' && c <= u'Z') ? char16_t(c + 0x20) : c;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return char16_t(c + 0x20);
  if (c >= 0x100 && c <= 0x17F) {
    if (c == 0x178) return 0xFF;
    bool evenUpper = (c <= 0x137) || (c >= 0x14A && c <= 0x177);
    bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if (evenUpper && c % 2 == 0) return char16_t(c + 1);
    if (oddUpper && c % 2 == 1) return char16_t(c + 1);
    return c;
  }
  if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return char16_t(c + 0x20);
  if (c >= 0x410 && c <= 0x42F) return char16_t(c + 0x20);
  if (c >= 0x400 && c <= 0x40F) return char16_t(c + 0x50);
  return c;
}

int compareNames(std::u16string_view a, std::u16string_view b) {
  std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    char16_t x = foldCase(a[i]);
    char16_t y = foldCase(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return 0;
}

bool equalNamesIgnoringCase(std::u16string_view a, std::u16string_view b) { return compareNames(a, b) == 0; }

}  // namespace jet
