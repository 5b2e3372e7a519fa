#include "settings/settings_store.h"

#include <QDir>
#include <filesystem>
#include <QFileInfo>
#include <QLocale>
#include <gtest/gtest.h>

#include "qt_printers.h"
#include "settings_files.h"

namespace tabrix {
namespace {

// The file after a run that read `before` and changed nothing.
QByteArray rewritten(const QByteArray& before) {
  SettingsFile file;
  file.write(before);
  {
    SettingsStore store(file.path());
    store.Reload();
  }
  return file.read();
}

TEST(SettingsStore, ARunRewritesTheFileAsSectionsOfEntriesAndBareLines) {
  const struct {
    const char* what;
    QByteArray before;
    QByteArray after;
  } cases[] = {
      {"every line ends with CR LF, an empty line after each section", "[A]\nx=1\n[B]\ry=2",
       crlf({"[A]", "x=1", "", "[B]", "y=2", ""})},
      {"comments, empty lines and lines before the first section go",
       "stray=1\n; note\n\n[A]\n  ; indented note\nx=1\n\n\n", crlf({"[A]", "x=1", ""})},
      {"blanks around names, values and headers go", "[ A ]\n\t x  =  a b \t\n", crlf({"[A]", "x=a b", ""})},
      {"a line without = stays as it is, trimmed", "[A]\n  just text  \nx=1\n", crlf({"[A]", "just text", "x=1", ""})},
      {"a value keeps every = after the first", "[A]\nx==a=b\n", crlf({"[A]", "x==a=b", ""})},
      {"a repeated section is written twice", "[A]\nx=1\n[a]\nx=2\n", crlf({"[A]", "x=1", "", "[a]", "x=2", ""})},
      {"an empty file stays empty", "", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(rewritten(c.before), c.after) << c.what;
}

TEST(SettingsStore, SectionsAndKeysAreFoundInAnyCaseFirstOneWins) {
  SettingsFile file;
  file.write(crlf({"[main]", "FN_FILENAME=/a.mdb", "fn_filename=/b.mdb", "[MAIN]", "ed_PassWord_Text=second"}));
  SettingsStore store(file.path());
  store.Reload();

  EXPECT_EQ(store.ReadString("MAIN\\fn_FileName", "default"), "/a.mdb");
  EXPECT_TRUE(store.ValueStored("Main\\Fn_FileName"));
  EXPECT_FALSE(store.ValueStored("MAIN\\ed_PassWord_Text"));
  EXPECT_EQ(store.ReadString("MAIN\\ed_PassWord_Text", "default"), "default");
  EXPECT_EQ(store.ReadString("Other\\fn_FileName", "default"), "default");
}

TEST(SettingsStore, APathsLastBackslashSeparatesSectionFromKey) {
  SettingsStore store;
  store.WriteString("\\\\Form_qvSQL\\\\\\SaveDialog_FileName", "a");
  store.WriteString("A\\B\\key", "b");
  EXPECT_EQ(store.ReadString("Form_qvSQL\\SaveDialog_FileName", {}), "a");
  EXPECT_EQ(store.ReadString("A\\\\B\\key", {}), "b");
  EXPECT_FALSE(store.ValueStored("B\\key"));
}

TEST(SettingsStore, WritesReplaceInPlaceAndAppendInTheOrderOfFirstWriting) {
  SettingsFile file;
  file.write(crlf({"[main]", "; gone", "FN_FILENAME=/old.mdb", "bare", "Other=1"}));
  {
    SettingsStore store(file.path());
    store.Reload();
    store.WriteString("MAIN\\fn_FileName", "/new.mdb");
    store.WriteString("Form_qvSQL\\FormVersion", "0");
    store.WriteInteger("MAIN\\ShowCmd", 3);
    store.WriteBoolean("Form_qvSQL\\CheckBox_NoPAD_Checked", true);
    store.WriteBoolean("Form_qvSQL\\CheckBox_NoNR_Checked", false);
    store.WriteInteger("Form_qvSQL\\FormVersion", -1);
  }
  EXPECT_EQ(file.read(), crlf({"[main]", "fn_FileName=/new.mdb", "bare", "Other=1", "ShowCmd=3", "", "[Form_qvSQL]",
                               "FormVersion=-1", "CheckBox_NoPAD_Checked=TRUE", "CheckBox_NoNR_Checked=FALSE", ""}));
}

TEST(SettingsStore, IntegersAreDecimalAndAnythingElseIsAnError) {
  const struct {
    const char* stored;
    std::optional<int> read;  // nothing: the error
  } cases[] = {
      {"12", 12},          {"-5", -5},   {"+7", 7},           {"", 0},           {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},  {"2147483648", {}},  {"1e3", {}},       {"0x10", {}},
      {"12 13", {}},       {"x", {}},    {"-", {}},
  };
  SettingsStore store;
  for (const auto& c : cases) {
    store.WriteString("S\\n", c.stored);
    if (c.read) {
      EXPECT_EQ(store.ReadInteger("S\\n", 99), *c.read) << c.stored;
      continue;
    }
    try {
      store.ReadInteger("S\\n", 99);
      ADD_FAILURE() << "read " << c.stored;
    } catch (const std::runtime_error& error) {
      EXPECT_EQ(std::string(error.what()), "'" + std::string(c.stored) + "' is not a valid integer value");
    }
  }
  EXPECT_EQ(store.ReadInteger("S\\missing", 99), 99);
}

TEST(SettingsStore, BooleansAreTheTrueAndFalseWordsOrIntegers) {
  const struct {
    const char* stored;
    bool read;
  } cases[] = {
      {"TRUE", true}, {"yes", true},   {"Y", true},  {"y", true},   {"1", true},  {"-3", true},
      {"false", false}, {"No", false}, {"n", false}, {"0", false}, {"", false},
  };
  SettingsStore store;
  for (const auto& c : cases) {
    store.WriteString("S\\b", c.stored);
    EXPECT_EQ(store.ReadBoolean("S\\b", !c.read), c.read) << c.stored;
  }
  store.WriteString("S\\b", "maybe");
  EXPECT_THROW(store.ReadBoolean("S\\b", true), std::runtime_error);
  EXPECT_TRUE(store.ReadBoolean("S\\missing", true));
}

class SettingsEncodingTest : public testing::Test {
 protected:
  // The ANSI code page follows the locale: Polish is windows-1250.
  void SetUp() override { QLocale::setDefault(QLocale(QLocale::Polish)); }
  void TearDown() override { QLocale::setDefault(QLocale::c()); }
};

TEST_F(SettingsEncodingTest, AFileIsWrittenBackInTheEncodingItWasReadIn) {
  const QByteArray polishAnsi = "\xA3\xF3\x64\x9F";  // Łódź
  const struct {
    const char* what;
    QByteArray mark;
    QByteArray name;
  } cases[] = {
      {"UTF-8 with its mark", "\xEF\xBB\xBF", "\xC5\x81\xC3\xB3\x64\xC5\xBA"},
      {"UTF-16 little-endian", "\xFF\xFE", QByteArray("\x41\x01\xF3\x00\x64\x00\x7A\x01", 8)},
      {"UTF-16 big-endian", "\xFE\xFF", QByteArray("\x01\x41\x00\xF3\x00\x64\x01\x7A", 8)},
      {"no mark: the ANSI code page", "", polishAnsi},
  };
  for (const auto& c : cases) {
    SettingsFile file;
    const bool utf16 = c.mark.startsWith('\xFF') || c.mark.startsWith('\xFE');
    auto encoded = [&](const QByteArray& ascii) {
      if (!utf16) return ascii;
      QByteArray wide;
      for (char ch : ascii) wide += c.mark.startsWith('\xFF') ? QByteArray(1, ch) + '\0' : '\0' + QByteArray(1, ch);
      return wide;
    };
    file.write(c.mark + encoded("[MAIN]\r\nfn_FileName=") + c.name + encoded("\r\n"));
    {
      SettingsStore store(file.path());
      store.Reload();
      EXPECT_EQ(store.ReadString("MAIN\\fn_FileName", {}), QString::fromUtf8("Łódź")) << c.what;
      store.WriteString("MAIN\\ed_PassWord_Text", "x");
    }
    EXPECT_EQ(file.read(), c.mark + encoded("[MAIN]\r\nfn_FileName=") + c.name +
                               encoded("\r\ned_PassWord_Text=x\r\n\r\n"))
        << c.what;
  }
}

TEST_F(SettingsEncodingTest, ANewFileIsInTheAnsiCodePageUnlessItLacksACharacter) {
  SettingsFile file;
  {
    SettingsStore store(file.path());
    store.Reload();
    store.WriteString("MAIN\\fn_FileName", QString::fromUtf8("/bazy/Łódź.mdb"));
  }
  EXPECT_EQ(file.read(), crlf({"[MAIN]", "fn_FileName=/bazy/\xA3\xF3\x64\x9F.mdb", ""}));

  // No Windows code page holds both Polish and Greek letters.
  const QString mixed = QString::fromUtf8("/bazy/Łódź-Ωμέγα.mdb");
  {
    SettingsStore store(file.path());
    store.Reload();
    store.WriteString("MAIN\\fn_FileName", mixed);
  }
  EXPECT_EQ(file.read(), "\xEF\xBB\xBF" + crlf({"[MAIN]", ("fn_FileName=" + mixed.toUtf8()).constData(), ""}));
  SettingsStore store(file.path());
  store.Reload();
  EXPECT_EQ(store.ReadString("MAIN\\fn_FileName", {}), mixed);
  EXPECT_EQ(store.encoding(), TextEncoding::Utf8);
}

TEST(SettingsStore, AReadOnlyFileIsReadAndNeverChanged) {
  SettingsFile file;
  const QByteArray before = crlf({"; kept", "[MAIN]", "fn_FileName=/a.mdb"});
  file.write(before);
  ASSERT_TRUE(QFile::setPermissions(file.path(), QFileDevice::ReadOwner | QFileDevice::ReadGroup));
  {
    SettingsStore store(file.path());
    store.Reload();
    EXPECT_TRUE(store.readOnly());
    EXPECT_EQ(store.ReadString("MAIN\\fn_FileName", {}), "/a.mdb");
    store.WriteString("MAIN\\fn_FileName", "/b.mdb");
    store.WriteBoolean("MAIN\\x", true);
    EXPECT_EQ(store.ReadString("MAIN\\fn_FileName", {}), "/a.mdb");
    EXPECT_FALSE(store.ValueStored("MAIN\\x"));
  }
  EXPECT_EQ(file.read(), before);
}

TEST(SettingsStore, AHandEditDuringTheRunIsOverwrittenAtTheEnd) {
  SettingsFile file;
  file.write(crlf({"[MAIN]", "fn_FileName=/a.mdb"}));
  {
    SettingsStore store(file.path());
    store.Reload();
    file.write(crlf({"[MAIN]", "fn_FileName=/edited.mdb", "[Hand]", "x=1"}));
    EXPECT_EQ(store.ReadString("MAIN\\fn_FileName", {}), "/a.mdb");
  }
  EXPECT_EQ(file.read(), crlf({"[MAIN]", "fn_FileName=/a.mdb", ""}));
}

TEST(SettingsStore, AFileThatCantBeReadIsReportedAndLeftAlone) {
  SettingsFile folder;
  ASSERT_TRUE(QDir().mkdir(folder.path()));
  SettingsStore store(folder.path());
  try {
    store.Reload();
    ADD_FAILURE() << "read a folder";
  } catch (const std::runtime_error& error) {
    EXPECT_TRUE(QString::fromUtf8(error.what()).startsWith("Cannot open file \"" + folder.path() + "\". "))
        << error.what();
  }
  EXPECT_TRUE(store.readOnly());
  store.Flush();
  EXPECT_TRUE(QFileInfo(folder.path()).isDir());

  SettingsFile huge;
  const QByteArray content = crlf({"[MAIN]", "fn_FileName=/a.mdb"}) + QByteArray(17 << 20, ';');
  huge.write(content);
  SettingsStore hugeStore(huge.path());
  EXPECT_THROW(hugeStore.Reload(), std::runtime_error);
  hugeStore.WriteString("MAIN\\fn_FileName", "/b.mdb");
  hugeStore.Flush();
  EXPECT_EQ(QFileInfo(huge.path()).size(), content.size());
}

TEST(SettingsStore, AFailedWriteIsIgnored) {
  SettingsStore store("/proc/no-such-folder/tabrix.ini");
  store.Reload();
  store.WriteString("MAIN\\fn_FileName", "/a.mdb");
  store.Flush();
  EXPECT_FALSE(QFile::exists("/proc/no-such-folder/tabrix.ini"));
}

TEST(SettingsStore, ANewFileIsItsOwnersOnlyAndAnOldOneKeepsItsPermissions) {
  namespace fs = std::filesystem;
  SettingsFile file;
  const fs::path path = file.path().toStdString();
  {
    SettingsStore store(file.path());
    store.Reload();
    store.WriteString("MAIN\\ed_PassWord_Text", "tajne");
  }
  EXPECT_EQ(fs::status(path).permissions(), fs::perms::owner_read | fs::perms::owner_write);

  const fs::perms shared = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read;
  fs::permissions(path, shared);
  {
    SettingsStore store(file.path());
    store.Reload();
    store.WriteString("MAIN\\ed_PassWord_Text", "inne");
  }
  EXPECT_EQ(fs::status(path).permissions(), shared);
  EXPECT_EQ(file.read(), crlf({"[MAIN]", "ed_PassWord_Text=inne", ""}));
}

TEST(SettingsStore, AStoreWithoutAFileWritesNothing) {
  SettingsStore store;
  store.Reload();
  store.WriteString("MAIN\\fn_FileName", "/a.mdb");
  EXPECT_EQ(store.ReadString("MAIN\\fn_FileName", {}), "/a.mdb");
  store.Flush();
}

}  // namespace
}  // namespace tabrix
