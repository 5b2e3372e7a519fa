#include "widgets/file_name_box.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include "completions.h"
#include "dialog_printers.h"
#include "scripted_dialogs.h"
#include "widgets/application_title.h"

namespace tabrix {
namespace {

const QString kBrowseFilter = QStringLiteral("Baza ACCES|*.mdb|Wszystkie pliki (*.*)|*.*");

// A shown, active window holding a file-name box and a second control to
// take the focus away from it; a temporary folder with a.mdb, "my base.mdb"
// and a folder sub/.
class FileNameBoxTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_folder.isValid());
    ASSERT_TRUE(QDir(m_folder.path()).mkdir("sub"));
    for (const char* name : {"a.mdb", "my base.mdb"}) {
      QFile file(path(name));
      ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    auto* layout = new QVBoxLayout(&m_window);
    m_box = new FileNameBox(&m_window);
    m_other = new QLineEdit(&m_window);
    layout->addWidget(m_box);
    layout->addWidget(m_other);
    m_window.show();
    m_window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_window));
    m_other->setFocus();
  }

  QString path(const char* name) const { return m_folder.filePath(QString::fromUtf8(name)); }
  QString folder() const { return m_folder.path() + '/'; }
  QLineEdit* edit() const { return m_box->findChild<QLineEdit*>(); }

  QTemporaryDir m_folder;
  QWidget m_window;
  FileNameBox* m_box = nullptr;
  QLineEdit* m_other = nullptr;
  ScriptedDialogs m_dialogs;
};

TEST_F(FileNameBoxTest, SettingQuotesANameWithABlank) {
  const struct {
    QString name;
    QString shown;
  } cases[] = {
      {"x.mdb", "x.mdb"},
      {"/data/My Base.mdb", "\"/data/My Base.mdb\""},
      {"\"/data/My Base.mdb\"", "\"/data/My Base.mdb\""},
      {"C:\\Bazy\\sklep.mdb", "C:\\Bazy\\sklep.mdb"},
      {"", ""},
  };
  for (const auto& c : cases) {
    m_box->setFileName(c.name);
    EXPECT_EQ(m_box->text(), c.shown) << c.name.toStdString();
  }
}

TEST_F(FileNameBoxTest, SettingRefusesCharactersNoFileNameHolds) {
  for (const QString name : {"a<b.mdb", "a>b.mdb", "a\"b.mdb", "what?.mdb", "*.mdb", "a|b.mdb", "\"a\"b.mdb\"",
                             "\"/data/one.mdb", "\"\"\""}) {
    m_box->setText("keep.mdb");
    try {
      m_box->setFileName(name);
      ADD_FAILURE() << "accepted " << name.toStdString();
    } catch (const InvalidFileName& error) {
      EXPECT_EQ(QString::fromUtf8(error.what()), "Invalid file name - " + name);
    }
    EXPECT_EQ(m_box->text(), "keep.mdb");
  }
}

TEST_F(FileNameBoxTest, ReadingTakesTheNameOutOfTheText) {
  const struct {
    QString text;
    QString fileName;
  } cases[] = {
      {path("my base.mdb"), path("my base.mdb")},
      {m_folder.path(), folder()},
      {path("sub"), path("sub") + '/'},
      {'"' + path("my base.mdb") + "\" reszta", path("my base.mdb")},
      {"\"/nie ma/x.mdb", "/nie ma/x.mdb"},
      {"/nie ma/x.mdb", "/nie"},
      {"x.mdb\tdalej", "x.mdb"},
      {"C:\\Bazy\\sklep.mdb", "C:\\Bazy\\sklep.mdb"},
      {"", ""},
  };
  for (const auto& c : cases) {
    m_box->setText(c.text);
    EXPECT_EQ(m_box->fileName(), c.fileName) << c.text.toStdString();
  }
}

TEST_F(FileNameBoxTest, BrowseStartsInTheFolderOfAValidNameAndTakesTheChoice) {
  m_box->setText(path("a.mdb"));
  m_dialogs.expectOpenFile([&](const FileDialogSetup& setup) {
    FileDialogSetup expected;
    expected.title = "Browse";
    expected.filter = kBrowseFilter;
    expected.folder = folder();
    expected.fileName = path("a.mdb");
    EXPECT_EQ(setup, expected);
    return path("my base.mdb");
  });
  m_box->findChild<QToolButton*>()->click();

  EXPECT_EQ(m_box->text(), '"' + path("my base.mdb") + '"');
  EXPECT_TRUE(m_box->hasFocus());
}

TEST_F(FileNameBoxTest, BrowseFillsNoNameForAFolderAndOnlyTheNameWhereTheFolderIsMissing) {
  m_box->setText(path("sub"));
  m_dialogs.expectOpenFile([&](const FileDialogSetup& setup) {
    EXPECT_EQ(setup.folder, path("sub") + '/');
    EXPECT_EQ(setup.fileName, "");
    return QString();
  });
  m_box->browse();

  m_box->setText(path("brak") + "/x.mdb");
  m_dialogs.expectOpenFile([&](const FileDialogSetup& setup) {
    EXPECT_EQ(setup.folder, "");
    EXPECT_EQ(setup.fileName, path("brak") + "/x.mdb");
    return QString();
  });
  m_box->browse();
  EXPECT_EQ(m_box->text(), path("brak") + "/x.mdb");
}

TEST_F(FileNameBoxTest, BrowseRemembersTheChosenFolderForAnInvalidName) {
  m_dialogs.expectOpenFile([&](const FileDialogSetup& setup) {
    EXPECT_EQ(setup.folder, "");
    EXPECT_EQ(setup.fileName, "");
    return path("sub") + "/nowa.mdb";
  });
  m_box->browse();
  EXPECT_EQ(m_box->text(), path("sub") + "/nowa.mdb");

  m_box->setText("");
  m_dialogs.expectOpenFile([&](const FileDialogSetup& setup) {
    EXPECT_EQ(setup.folder, path("sub") + '/');
    return QString();
  });
  m_box->browse();
  EXPECT_EQ(m_box->text(), "");
}

TEST_F(FileNameBoxTest, AltDownBrowsesAndCancelKeepsTheTextAndGivesTheFocusBack) {
  m_box->setFocus();
  m_box->setText("keep.mdb");
  m_dialogs.expectOpenFile([&](const FileDialogSetup&) {
    m_other->setFocus();
    return QString();
  });
  QTest::keyClick(edit(), Qt::Key_Down, Qt::AltModifier);

  EXPECT_EQ(m_box->text(), "keep.mdb");
  EXPECT_TRUE(m_box->hasFocus());
}

TEST_F(FileNameBoxTest, ARefusedChoiceGoesToTheDefaultErrorHandler) {
  m_box->setText("keep.mdb");
  m_dialogs.expectOpenFile([](const FileDialogSetup&) { return QStringLiteral("/tmp/co?.mdb"); });
  m_dialogs.expectMessage(
      {applicationTitle(), "Invalid file name - /tmp/co?.mdb.", MessageIcon::Error, {MessageButton::Ok}});
  m_box->findChild<QToolButton*>()->click();

  EXPECT_EQ(m_box->text(), "keep.mdb");
  EXPECT_TRUE(m_box->hasFocus());
}

TEST_F(FileNameBoxTest, TypingOffersNamesFromTheFileSystem) {
  m_box->setFocus();
  QCompleter* completer = edit()->completer();
  ASSERT_NE(completer, nullptr);
  auto* files = qobject_cast<QFileSystemModel*>(completer->model());
  ASSERT_NE(files, nullptr);

  // The folder is read in the background; offers follow the keys typed after.
  QTest::keyClicks(edit(), path("my"));
  EXPECT_TRUE(QTest::qWaitFor([&] { return files->rowCount(files->index(m_folder.path())) == 3; }));
  QTest::keyClicks(edit(), " ");
  EXPECT_TRUE(completer->popup()->isVisible());
  EXPECT_EQ(completer->currentCompletion(), path("my base.mdb"));
}

TEST_F(FileNameBoxTest, TheListClosesWhenTheNameIsComplete) {
  m_box->setFocus();
  QAbstractItemView* list = edit()->completer()->popup();
  typeWithCompletions(edit(), path("a.md"));
  QTest::keyClicks(edit(), "b");
  EXPECT_TRUE(QTest::qWaitFor([&] { return !list->isVisible(); }));
  EXPECT_EQ(m_box->text(), path("a.mdb"));
}

// Offscreen, the open list holds the activation; the window system hands it
// back to the window when the list goes.
void activate(QWidget& window) {
  window.activateWindow();
  EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
}

TEST_F(FileNameBoxTest, TheListClosesWhenTheFocusLeaves) {
  m_box->setFocus();
  QAbstractItemView* list = edit()->completer()->popup();
  typeWithCompletions(edit(), path("my"));
  // Through the window, as the window system delivers it.
  QTest::keyClick(m_window.windowHandle(), Qt::Key_Tab);
  EXPECT_FALSE(list->isVisible());
  activate(m_window);
  EXPECT_TRUE(m_other->hasFocus());

  m_box->setText("");
  typeWithCompletions(edit(), path("my "));
  QFocusEvent focusOut(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
  QCoreApplication::sendEvent(edit(), &focusOut);
  EXPECT_FALSE(list->isVisible());
}

TEST_F(FileNameBoxTest, AClickBesideTheOpenListActsAtOnce) {
  auto* button = new QPushButton("Dalej", &m_window);
  m_window.layout()->addWidget(button);
  QSignalSpy clicked(button, &QPushButton::clicked);
  m_box->setFocus();
  QAbstractItemView* list = edit()->completer()->popup();
  typeWithCompletions(edit(), path("my"));
  ASSERT_FALSE(list->geometry().contains(button->mapToGlobal(QPoint(5, 5))));

  QTest::mouseClick(m_window.windowHandle(), Qt::LeftButton, {}, button->mapTo(&m_window, QPoint(5, 5)));
  EXPECT_FALSE(list->isVisible());
  EXPECT_EQ(clicked.count(), 1);
  activate(m_window);
  EXPECT_TRUE(button->hasFocus());
  EXPECT_EQ(m_box->text(), path("my"));

  // The list opens again as the next name is typed.
  m_box->setFocus();
  m_box->setText("");
  typeWithCompletions(edit(), path("my"));
  EXPECT_TRUE(list->isVisible());
}

TEST_F(FileNameBoxTest, ALongNameSetShowsItsStart) {
  const QString name = "/" + QString("katalog/").repeated(20) + "baza.mdb";
  m_box->setFileName(name);
  EXPECT_EQ(edit()->cursorPosition(), 0);
  EXPECT_LT(edit()->inputMethodQuery(Qt::ImCursorRectangle).toRect().left(), 10);

  // Typing leaves the cursor where it types.
  m_box->setFocus();
  m_box->setText(name);
  EXPECT_EQ(edit()->cursorPosition(), name.size());
  EXPECT_GT(edit()->inputMethodQuery(Qt::ImCursorRectangle).toRect().left(), edit()->width() / 2);
}

void drop(QWidget* target, const QList<QUrl>& urls) {
  QMimeData data;
  data.setUrls(urls);
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(target, &enter);
  if (!enter.isAccepted()) return;
  QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(target, &dropped);
}

TEST_F(FileNameBoxTest, ADroppedFileReplacesTheTextFirstOneWins) {
  m_box->setText("keep.mdb");
  drop(m_box, {QUrl::fromLocalFile(path("my base.mdb")), QUrl::fromLocalFile(path("a.mdb"))});
  EXPECT_EQ(m_box->text(), '"' + path("my base.mdb") + '"');

  drop(m_box, {QUrl("https://example.com/a.mdb")});
  EXPECT_EQ(m_box->text(), '"' + path("my base.mdb") + '"');
}

}  // namespace
}  // namespace tabrix
