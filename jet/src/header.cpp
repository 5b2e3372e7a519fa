#include "header.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "bytes.h"
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

// Jet 4 masks the stored password with the whole days of the creation date,
// repeated over its 40 bytes.
void unmaskJet4Password(std::span<std::byte> password, const std::byte* page) {
  double created = getF64(page + header::kCreationDateOffsetJet4);
  std::int32_t days = 0;
  if (std::isfinite(created) && created > -2147483648.0 && created < 2147483648.0) days = static_cast<std::int32_t>(created);
  std::uint32_t mask = static_cast<std::uint32_t>(days);
  for (std::size_t i = 0; i < password.size(); ++i)
    password[i] ^= static_cast<std::byte>((mask >> (8 * (i % 4))) & 0xFF);
}

}  // namespace

Header readHeader(const File& file, const std::string& name) {
  const std::uint64_t size = file.size();
  std::vector<std::byte> page(static_cast<std::size_t>(std::min<std::uint64_t>(size, 4096)));
  file.read(0, page);

  if (hasMagic(page, header::kAceMagic) ||
      (hasMagic(page, header::kJetMagic) && page.size() > header::kVersionOffset &&
       getU8(&page[header::kVersionOffset]) > header::kVersionJet4))
    throw Error(ErrorKind::NotADatabase,
                name + " is an Access 2007 or later database (.accdb), which isn't supported: only .mdb files "
                       "(Access 97 to 2003) can be opened");
  if (hasMagic(page, header::kMsisamMagic))
    throw Error(ErrorKind::NotADatabase, name + " is a Microsoft Works database, not an Access database");
  if (!hasMagic(page, header::kJetMagic) || getU8(&page[0]) != header::kPageType)
    throw Error(ErrorKind::NotADatabase, name + " is not an Access database");

  Header h;
  std::uint8_t version = page.size() > header::kVersionOffset ? getU8(&page[header::kVersionOffset]) : 0xFF;
  if (version == header::kVersionJet3) {
    h.format = Format::Jet3;
    h.pageSize = 2048;
  } else {
    h.format = Format::Jet4;
    h.pageSize = 4096;
  }
  if (size < static_cast<std::uint64_t>(h.pageSize))
    throw Error(ErrorKind::Corrupt, name + " is truncated: it ends inside its first page");
  page.resize(static_cast<std::size_t>(h.pageSize));

  toggleHeaderMask(page, h.format);

  const std::byte* p = page.data();
  h.codePage = getU16(p + header::kCodePageOffset);
  h.sortOrder = getU16(p + (h.format == Format::Jet3 ? header::kSortOrderOffsetJet3 : header::kSortOrderOffsetJet4));
  h.encodingKey = getU32(p + header::kEncodingKeyOffset);

  const int passwordLength = h.format == Format::Jet3 ? header::kPasswordLengthJet3 : header::kPasswordLengthJet4;
  std::vector<std::byte> password(p + header::kPasswordOffset, p + header::kPasswordOffset + passwordLength);
  if (h.format == Format::Jet4) unmaskJet4Password(password, p);
  TextCodec codec(h.format, h.codePage);
  if (h.format == Format::Jet3) {
    auto end = std::find(password.begin(), password.end(), std::byte{0});
    h.password = codec.decode(std::span(password.begin(), end));
  } else {
    h.password = codec.decode(password);
    h.password.erase(std::find(h.password.begin(), h.password.end(), u'\0'), h.password.end());
  }
  return h;
}

void toggleHeaderMask(std::span<std::byte> page0, Format format) {
  const int length = format == Format::Jet3 ? header::kMaskedLengthJet3 : header::kMaskedLengthJet4;
  rc4(header::kMaskKey, page0.subspan(header::kMaskedOffset, static_cast<std::size_t>(length)));
}

void checkLogin(const Header& header, const OpenOptions& options) {
  // Without a workgroup file the one user is Admin; an empty name means him.
  if (!options.user.empty() && !equalNamesIgnoringCase(fromUtf8(options.user), u"admin"))
    throw Error(ErrorKind::Password, "not a valid account name or password: user \"" + options.user +
                                         "\" is unknown (only admin can open a database without a workgroup file)");
  if (header.password.empty()) return;  // an open file lets any password in, as Access does
  if (options.password.empty())
    throw Error(ErrorKind::Password, "the database is protected by a password and none was given");
  if (fromUtf8(options.password) != header.password) throw Error(ErrorKind::Password, "not a valid password");
}

}  // namespace jet
