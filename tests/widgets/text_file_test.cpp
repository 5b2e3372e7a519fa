// Text files read into memos and written from them: byte-order marks, the
// system's encoding, line breaks, and failures that leave the file alone.
#include "widgets/text_file.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <gtest/gtest.h>

#include "fixtures.h"
#include "qt_printers.h"
#include "widgets/memo_file.h"
#include "widgets/memo_text.h"

namespace tabrix {

inline void PrintTo(const TextEncoding& encoding, std::ostream* out) {
  *out << encoding.name.constData() << (encoding.byteOrderMark ? " with a mark" : " without a mark");
}

namespace {

// Files in a temporary folder, and the default locale set to Polish for the
// test (the Windows code page of files from Windows follows it).
class TextFileTest : public testing::Test {
 protected:
  TextFileTest() { QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland)); }
  ~TextFileTest() override { QLocale::setDefault(QLocale::c()); }

  QString path(const char* name) const { return QString::fromStdString((m_dir.path() / name).string()); }
  QString file(const char* name, const QByteArray& bytes) const {
    QFile out(path(name));
    EXPECT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(bytes);
    return path(name);
  }
  QByteArray bytes(const QString& name) const {
    QFile in(name);
    EXPECT_TRUE(in.open(QIODevice::ReadOnly)) << name.toStdString();
    return in.readAll();
  }
  static QString errorOf(const std::function<void()>& action) {
    try {
      action();
    } catch (const TextFileError& error) {
      return QString::fromUtf8(error.what());
    }
    return QStringLiteral("<no error>");
  }

  fixtures::TempDir m_dir;
};

const TextEncoding kUtf8{"UTF-8", true};
const TextEncoding kUtf16Le{"UTF-16LE", true};
const TextEncoding kUtf16Be{"UTF-16BE", true};

TEST_F(TextFileTest, AMarkSelectsTheEncodingAndEveryLineBreakBecomesCrLf) {
  const struct Case {
    const char* name;
    QByteArray bytes;
    QString text;
    TextEncoding encoding;
  } cases[] = {
      {"utf8", QByteArray("\xEF\xBB\xBF") + QString::fromUtf8("Zażółć\r\ngość\njaź\rnią").toUtf8(),
       QString::fromUtf8("Zażółć\r\ngość\r\njaź\r\nnią"), kUtf8},
      {"utf16le", QByteArray("\xFF\xFE" "a\0\x05\x01\n\0\r\0b\0", 12), QString::fromUtf8("aą\r\n\r\nb"), kUtf16Le},
      {"utf16be", QByteArray("\xFE\xFF\0a\x01\x05\0\r\0\n", 10), QString::fromUtf8("aą\r\n"), kUtf16Be},
      {"empty", QByteArray(), QString(), TextEncoding::system()},
      {"only a mark", QByteArray("\xEF\xBB\xBF"), QString(), kUtf8},
      {"lone breaks", QByteArray("\n\r\r\n\n\r"), QStringLiteral("\r\n\r\n\r\n\r\n\r\n"), TextEncoding::system()},
  };
  for (const Case& c : cases) {
    const TextFileContents read = readTextFile(file(c.name, c.bytes));
    EXPECT_EQ(read.text, c.text) << c.name;
    EXPECT_EQ(read.encoding, c.encoding) << c.name;
  }
}

TEST_F(TextFileTest, WithoutAMarkTheSystemsEncodingOrTheWindowsCodePageOfFilesFromWindows) {
  const TextEncoding system = TextEncoding::system();
  if (system.name != "UTF-8") GTEST_SKIP() << "the locale's character set is " << system.name.constData();
  const TextFileContents utf8 = readTextFile(file("utf8.txt", "\xC5\x81\xC3\xB3\x64\xC5\xBA\n"));
  EXPECT_EQ(utf8.text, QString::fromUtf8("Łódź\r\n"));
  EXPECT_EQ(utf8.encoding, system);

  // Not UTF-8: a file written on Windows in its Polish code page.
  const TextFileContents windows = readTextFile(file("cp1250.txt", "\xA3\xF3\x64\x9F\r\n"));
  EXPECT_EQ(windows.text, QString::fromUtf8("Łódź\r\n"));
  EXPECT_EQ(windows.encoding, (TextEncoding{"windows-1250", false}));
}

TEST_F(TextFileTest, ReadFailuresNameTheFileAndTheReason) {
  const QString missing = path("nie ma.txt");
  EXPECT_EQ(errorOf([&] { readTextFile(missing); }),
            QStringLiteral("Cannot open file \"%1\". No such file or directory").arg(QDir::toNativeSeparators(missing)));
  EXPECT_TRUE(errorOf([&] { readTextFile(QString::fromStdString(m_dir.path().string())); })
                  .startsWith(QStringLiteral("Cannot open file \"%1\". ").arg(QString::fromStdString(m_dir.path().string()))));
  // Half a UTF-16 character, and bytes that are no UTF-8 after its mark.
  EXPECT_EQ(errorOf([&] { readTextFile(file("odd.txt", QByteArray("\xFF\xFE" "a\0b", 5))); }),
            QStringLiteral("Cannot open file \"%1\". It is not text in UTF-16LE").arg(path("odd.txt")));
  EXPECT_EQ(errorOf([&] { readTextFile(file("bad.txt", "\xEF\xBB\xBF" "a\xFF")); }),
            QStringLiteral("Cannot open file \"%1\". It is not text in UTF-8").arg(path("bad.txt")));
}

TEST_F(TextFileTest, WritesTheTextUnchangedWithTheMarkOfItsEncoding) {
  const QString text = QString::fromUtf8("Łódź\r\nnowa linia\r\n\r\nkoniec");
  const struct Case {
    TextEncoding encoding;
    QByteArray mark;
  } cases[] = {{kUtf8, "\xEF\xBB\xBF"}, {kUtf16Le, "\xFF\xFE"}, {kUtf16Be, "\xFE\xFF"},
               {{"windows-1250", false}, ""}, {TextEncoding::system(), ""}};
  for (const Case& c : cases) {
    const QString name = path("out.txt");
    writeTextFile(name, text, c.encoding);
    EXPECT_TRUE(bytes(name).startsWith(c.mark)) << c.encoding.name.constData();
    const TextFileContents back = readTextFile(name);
    EXPECT_EQ(back.text, text) << c.encoding.name.constData();
  }
  writeTextFile(path("cp.txt"), QString::fromUtf8("Łódź"), {"windows-1250", false});
  EXPECT_EQ(bytes(path("cp.txt")), QByteArray("\xA3\xF3\x64\x9F"));
  writeTextFile(path("le.txt"), QStringLiteral("ab"), kUtf16Le);
  EXPECT_EQ(bytes(path("le.txt")), QByteArray("\xFF\xFE" "a\0b\0", 6));
}

TEST_F(TextFileTest, AFailedWriteLeavesTheFileAsItWas) {
  const QString kept = file("cp.txt", "stare");
  EXPECT_EQ(errorOf([&] { writeTextFile(kept, QString::fromUtf8("€ i 漢"), {"windows-1250", false}); }),
            QStringLiteral("Cannot create file \"%1\". The text has characters that windows-1250 cannot hold").arg(kept));
  EXPECT_EQ(bytes(kept), "stare");

  const QString noFolder = path("nie ma/plik.txt");
  EXPECT_TRUE(errorOf([&] { writeTextFile(noFolder, QStringLiteral("x"), kUtf8); })
                  .startsWith(QStringLiteral("Cannot create file \"%1\". ").arg(noFolder)));

  const QString readOnly = file("tylko.txt", "stare");
  QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
  EXPECT_EQ(errorOf([&] { writeTextFile(readOnly, QStringLiteral("nowe"), kUtf8); }),
            QStringLiteral("Cannot create file \"%1\". Permission denied").arg(readOnly));
  EXPECT_EQ(bytes(readOnly), "stare");
}

TEST_F(TextFileTest, AMemoRemembersTheEncodingOfTheLastFileReadIntoIt) {
  QPlainTextEdit memo;
  MemoFile memoFile(memo);
  EXPECT_EQ(memoFile.encoding(), TextEncoding::system());

  memoFile.load(file("in.txt", QByteArray("\xEF\xBB\xBF" "jeden\ndwa\xC2\xA0trzy")));
  EXPECT_EQ(memoText(memo), QString::fromUtf8("jeden\r\ndwa\u00A0trzy"));  // a no-break space stays one
  EXPECT_TRUE(memo.document()->isModified());
  EXPECT_EQ(memoFile.encoding(), kUtf8);

  memo.clear();  // emptying it forgets nothing
  memo.setPlainText(QStringLiteral("a\nb"));
  memoFile.save(path("out.txt"));
  EXPECT_EQ(bytes(path("out.txt")), QByteArray("\xEF\xBB\xBF" "a\r\nb"));

  // A file that can't be read leaves the memo and its encoding alone.
  EXPECT_THROW(memoFile.load(file("odd.txt", QByteArray("\xFF\xFE" "a", 3))), TextFileError);
  EXPECT_EQ(memoText(memo), QStringLiteral("a\r\nb"));
  EXPECT_EQ(memoFile.encoding(), kUtf8);
}

TEST(MemoTextTest, LinesAreSeparatedByCrLfWithNoBreakAfterTheLast) {
  QPlainTextEdit memo;
  setMemoText(memo, QStringLiteral("a\r\nb\rc\nd"));
  EXPECT_EQ(memo.blockCount(), 4);
  EXPECT_EQ(memoText(memo), QStringLiteral("a\r\nb\r\nc\r\nd"));
  setMemoText(memo, QStringLiteral("koniec\r\n"));
  EXPECT_EQ(memoText(memo), QStringLiteral("koniec\r\n"));
  setMemoText(memo, QString());
  EXPECT_EQ(memoText(memo), QString());
}

}  // namespace
}  // namespace tabrix
