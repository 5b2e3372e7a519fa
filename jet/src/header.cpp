#include "header.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "bytes.h"
#include "code_pages.h"
#include "file.h"
#include "header_format.h"
#include "jet/error.h"
#include "rc4.h"
#include "text_codec.h"

namespace jet {
namespace {

bool hasMagic(const std::vector<std::byte>& page, std::string_view magic) {
  if (page.size() < header::kMagicOffset + magic.size()) return false;
  return std::equal(magic.begin(), magic.end(), page.begin() + header::kMagicOffset,
                    [](char c, std::byte b) { return static_cast<std::byte>(c) == b; });
}

bool isAceVersion(std::uint8_t version) {
  return version >= header::kVersionAceFirst && version <= header::kVersionAceLast;
}

// Jet 4 masks the stored password with the whole days of the creation date,
// repeated over its 40 bytes. Returns false when the date can't be one.
bool unmaskJet4Password(std::span<std::byte> password, const std::byte* page) {
  const double created = getF64(page + header::kCreationDateOffsetJet4);
  const bool plausible = std::isfinite(created) && created >= 0 && created <= header::kLastCreationDay;
  const std::uint32_t mask = plausible ? static_cast<std::uint32_t>(static_cast<std::int32_t>(created)) : 0;
  for (std::size_t i = 0; i < password.size(); ++i)
    password[i] ^= static_cast<std::byte>((mask >> (8 * (i % 4))) & 0xFF);
  return plausible;
}

// A password a user could have set: characters that can be typed, then
// nothing but zeros to the end of the field.
bool readablePassword(std::u16string_view stored) {
  const std::size_t end = std::min(stored.find(u'\0'), stored.size());
  for (std::size_t i = end; i < stored.size(); ++i)
    if (stored[i] != 0) return false;
  for (char16_t c : stored.substr(0, end))
    if (c < 0x20 || (c >= 0x7F && c < 0xA0) || (c >= 0xD800 && c <= 0xDFFF) || c >= 0xFFFE) return false;
  return true;
}

}  // namespace

Header readHeader(const File& file, const std::string& name) {
  const std::uint64_t size = file.size();
  std::vector<std::byte> page(static_cast<std::size_t>(std::min<std::uint64_t>(size, 4096)));
  file.read(0, page);

  const bool jet = hasMagic(page, header::kJetMagic);
  const std::uint8_t version = page.size() > header::kVersionOffset ? getU8(&page[header::kVersionOffset]) : 0;
  if (hasMagic(page, header::kAceMagic) || (jet && isAceVersion(version)))
    throw Error(ErrorKind::NotADatabase,
                name + " is an Access 2007 or later database (.accdb), which isn't supported: only .mdb files "
                       "(Access 97 to 2003) can be opened.");
  if (hasMagic(page, header::kMsisamMagic))
    throw Error(ErrorKind::NotADatabase, name + " is a Microsoft Works database, not an Access database.");
  if (!jet || getU8(&page[0]) != header::kPageType)
    throw Error(ErrorKind::NotADatabase, name + " is not an Access database.");

  Header h;
  if (version == header::kVersionJet3) {
    h.format = Format::Jet3;
    h.pageSize = 2048;
  } else if (version == header::kVersionJet4) {
    h.format = Format::Jet4;
    h.pageSize = 4096;
  } else {
    throw Error(ErrorKind::Corrupt, "its header gives the unknown format version " + std::to_string(version));
  }
  if (size < static_cast<std::uint64_t>(h.pageSize)) throw Error(ErrorKind::Corrupt, "it ends inside its first page");
  page.resize(static_cast<std::size_t>(h.pageSize));

  toggleHeaderMask(page, h.format);

  const std::byte* p = page.data();
  h.codePage = getU16(p + header::kCodePageOffset);
  h.sortOrder = getU16(p + (h.format == Format::Jet3 ? header::kSortOrderOffsetJet3 : header::kSortOrderOffsetJet4));
  h.encodingKey = getU32(p + header::kEncodingKeyOffset);
  // Jet 4 keeps its text in UTF-16 whatever the field says; a Jet 3 file's
  // text can only be read in the code page it names.
  if (h.format == Format::Jet3 && !isJetCodePage(h.codePage))
    throw Error(ErrorKind::Corrupt, "its header gives the unknown code page " + std::to_string(h.codePage));

  const int passwordLength = h.format == Format::Jet3 ? header::kPasswordLengthJet3 : header::kPasswordLengthJet4;
  std::vector<std::byte> password(p + header::kPasswordOffset, p + header::kPasswordOffset + passwordLength);
  const bool dated = h.format == Format::Jet3 || unmaskJet4Password(password, p);
  const std::u16string stored = TextCodec(h.format, h.codePage).decode(password);
  h.passwordReadable = dated && readablePassword(stored);
  h.password = stored.substr(0, std::min(stored.find(u'\0'), stored.size()));
  return h;
}

int pageSizeOf(const File& file) {
  if (file.size() <= header::kVersionOffset) return 0;
  std::byte version{};
  file.read(header::kVersionOffset, std::span(&version, 1));
  if (getU8(&version) == header::kVersionJet3) return 2048;
  if (getU8(&version) == header::kVersionJet4) return 4096;
  return 0;
}

void toggleHeaderMask(std::span<std::byte> page0, Format format) {
  const int length = format == Format::Jet3 ? header::kMaskedLengthJet3 : header::kMaskedLengthJet4;
  rc4(header::kMaskKey, page0.subspan(header::kMaskedOffset, static_cast<std::size_t>(length)));
}

void checkLogin(const Header& header, const OpenOptions& options) {
  // Without a workgroup file the one user is Admin; an empty name means him.
  if (!options.user.empty() && !equalNamesIgnoringCase(fromUtf8(options.user), u"admin"))
    throw Error(ErrorKind::Password, "The user name \"" + options.user +
                                         "\" is not valid: without a workgroup file only admin can open a database.");
  if (header.password.empty()) return;  // an open file lets any password in, as Access does
  if (fromUtf8(options.password) == header.password) return;
  // Damaged header bytes read as a password no one could have set; that is
  // damage, not a reason to ask for a password.
  if (!header.passwordReadable) throw Error(ErrorKind::Corrupt, "the database password in its header is unreadable");
  if (options.password.empty())
    throw Error(ErrorKind::Password, "The database is protected by a password, and none was given.");
  throw Error(ErrorKind::Password, "The database password is not valid.");
}

}  // namespace jet
