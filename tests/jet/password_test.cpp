// The database password and the user name.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "bytes.h"
#include "file_bytes.h"
#include "fixtures.h"
#include "header_format.h"
#include "jet/database.h"
#include "jet/error.h"

namespace {

jet::ErrorKind kindOfOpening(const std::vector<std::byte>& file, const jet::OpenOptions& options,
                             std::string* text = nullptr) {
  try {
    jettest::openBytes(file, options);
  } catch (const jet::Error& e) {
    if (text) *text = e.what();
    return e.kind();
  }
  return static_cast<jet::ErrorKind>(-1);
}

constexpr auto kOpened = static_cast<jet::ErrorKind>(-1);

jet::OpenOptions login(std::string password, std::string user = "admin") {
  jet::OpenOptions o;
  o.password = std::move(password);
  o.user = std::move(user);
  return o;
}

TEST(Password, ProtectedJet4FileNeedsItsPassword) {
  auto path = fixtures::mdb("V2000_with-password.mdb");
  REQUIRE_FIXTURE(path);
  auto file = jettest::readBytes(path);

  auto db = jettest::openBytes(file, login("password"));
  EXPECT_EQ(jettest::dumpTable(*db, "Table1").size(), 3u);

  std::string text;
  EXPECT_EQ(kindOfOpening(file, login(""), &text), jet::ErrorKind::Password);
  EXPECT_EQ(text, "The database is protected by a password, and none was given.");
  EXPECT_EQ(kindOfOpening(file, login("Password"), &text), jet::ErrorKind::Password);
  EXPECT_EQ(text, "The database password is not valid.");
  EXPECT_EQ(kindOfOpening(file, login("password", "bob"), &text), jet::ErrorKind::Password);
  EXPECT_NE(text.find("\"bob\""), std::string::npos) << text;
  EXPECT_EQ(kindOfOpening(file, login("password", "ADMIN")), kOpened);
}

TEST(Password, OpenFileTakesAnyPasswordButOnlyAdmin) {
  auto path = fixtures::mdb("V2000_test.mdb");
  REQUIRE_FIXTURE(path);
  auto file = jettest::readBytes(path);
  EXPECT_EQ(kindOfOpening(file, login("whatever")), kOpened);
  EXPECT_EQ(kindOfOpening(file, login("", "Admin")), kOpened);
  EXPECT_EQ(kindOfOpening(file, login("", "bob")), jet::ErrorKind::Password);
}

// Access 97 keeps the password in the database's code page, unmasked
// beyond the header's mask.
TEST(Password, Jet3PasswordWrittenIntoTheHeader) {
  auto path = fixtures::mdb("V1997_test.mdb");
  REQUIRE_FIXTURE(path);
  auto file = jettest::readBytes(path);
  jettest::toggleHeaderMask(file);
  const char password[] = "Sezam\xB9";  // "Sezam¹" in code page 1252
  std::memcpy(&file[jet::header::kPasswordOffset], password, std::strlen(password));
  jettest::toggleHeaderMask(file);

  EXPECT_EQ(kindOfOpening(file, login("")), jet::ErrorKind::Password);
  EXPECT_EQ(kindOfOpening(file, login("sezam\xC2\xB9")), jet::ErrorKind::Password);  // case counts
  EXPECT_EQ(kindOfOpening(file, login("Sezam\xC2\xB9")), kOpened);                    // UTF-8 of "Sezam¹"
}

// Access 2000 keeps it as UTF-16, masked with the whole days of the
// database's creation date.
TEST(Password, Jet4PasswordOutsideAscii) {
  auto path = fixtures::mdb("V2000_test.mdb");
  REQUIRE_FIXTURE(path);
  auto file = jettest::readBytes(path);
  jettest::toggleHeaderMask(file);
  const std::u16string password = u"hasło";
  const auto days = static_cast<std::uint32_t>(static_cast<std::int32_t>(
      std::trunc(jet::getF64(&file[jet::header::kCreationDateOffsetJet4]))));
  for (std::size_t i = 0; i < jet::header::kPasswordLengthJet4; ++i) {
    std::uint8_t plain = 0;
    if (i / 2 < password.size()) plain = static_cast<std::uint8_t>(password[i / 2] >> (8 * (i % 2)));
    file[jet::header::kPasswordOffset + i] = static_cast<std::byte>(plain ^ ((days >> (8 * (i % 4))) & 0xFF));
  }
  jettest::toggleHeaderMask(file);

  EXPECT_EQ(kindOfOpening(file, login("haslo")), jet::ErrorKind::Password);
  EXPECT_EQ(kindOfOpening(file, login("has\xC5\x82o")), kOpened);
}

}  // namespace
