// The memo editor over a table window on a writable database: its design,
// loading and saving text files, and how its memo shares the row's edit with
// the table window.
#include "table/form_memo.h"

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QToolButton>
#include <gtest/gtest.h>

#include "data/data_source.h"
#include "data/field.h"
#include "data/table_dataset.h"
#include "dialog_printers.h"
#include "expected_messages.h"
#include "fixtures.h"
#include "scripted_dialogs.h"
#include "table_windows.h"
#include "typing.h"
#include "widgets/data_memo.h"
#include "widgets/data_navigator.h"
#include "widgets/designed_controls.h"
#include "widgets/memo_text.h"
#include "writable_database.h"

namespace tabrix {
namespace {

// A memo editor as a test drives it, inside its modal run.
struct MemoEditor {
  QDialog& dialog;

  DataMemo* memo() const { return control<DataMemo>(&dialog, "DBMemo"); }
  QString text() const { return memoText(*memo()); }
  void click(const char* button) const { QTest::mouseClick(control<QPushButton>(&dialog, button), Qt::LeftButton); }
  QToolButton* navigator(NavigatorButton which) const {
    return control<DataNavigator>(&dialog, "DBNavigatorMemo")->button(which);
  }
  void clickNavigator(NavigatorButton which) const { QTest::mouseClick(navigator(which), Qt::LeftButton); }
};

class MemoEditorTest : public testing::TestWithParam<DatabaseKind> {
 protected:
  void SetUp() override {
    m_window = m_windows.open("Employees");
    ASSERT_NE(m_window, nullptr);
  }
  // Saving makes the file's folder the current one.
  void TearDown() override { QDir::setCurrent(m_currentFolder); }

  // The memo editor that opens next: `inside` runs while it is shown, and
  // "zamknij" closes it if `inside` did not. Expect it before the file
  // dialogs it shows.
  void expectMemo(const std::function<void(MemoEditor&)>& inside) {
    m_dialogs.expectExec([inside](QDialog& dialog) {
      activate(dialog);
      MemoEditor editor{dialog};
      inside(editor);
      if (dialog.isVisible()) editor.click("bb_zamknij");
    });
  }
  // Opens the memo editor on a column of the current row, as "Edit MEMO"
  // does, and waits until it has closed.
  void openMemo(const char* column, TFormTablica* window = nullptr) {
    window = window ? window : m_window;
    window->OpenMemoEditor(window->table().fieldByName(column), true);
    m_dialogs.verify();
    activate(*window);
  }
  static void activate(QWidget& window) {
    window.activateWindow();
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &window; }));
  }

  QString file(const char* name, const QByteArray& bytes) {
    const QString path = QString::fromStdString((m_files.path() / name).string());
    QFile out(path);
    EXPECT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(bytes);
    return path;
  }
  QByteArray bytes(const QString& path) {
    QFile in(path);
    EXPECT_TRUE(in.open(QIODevice::ReadOnly)) << path.toStdString();
    return in.readAll();
  }
  // The open dialog answered with `path`, its setup checked.
  void expectLoad(const QString& path, const QString& offered = {}) {
    m_dialogs.expectOpenFile([=](const FileDialogSetup& setup) {
      EXPECT_EQ(setup.title, "Co odczytać ?");
      EXPECT_EQ(setup.filter, "Pliki tekstowe|*.txt|Wszystkie pliki|*.*");
      EXPECT_TRUE(setup.fileMustExist);
      EXPECT_EQ(setup.fileName, offered);
      return path;
    });
  }
  void expectSave(const QString& path, const QString& offered = {}) {
    m_dialogs.expectSaveFile([=](const FileDialogSetup& setup) {
      EXPECT_EQ(setup.title, "Gdzie zapisać ?");
      EXPECT_EQ(setup.filter, "Pliki tekstowe|*.txt|Dowolny plik|*.*");
      EXPECT_EQ(setup.defaultExtension, "txt");
      EXPECT_TRUE(setup.createPrompt);
      EXPECT_FALSE(setup.overwritePrompt);
      EXPECT_EQ(setup.fileName, offered);
      return path;
    });
  }
  DatasetState state() const { return m_window->table().state(); }

  std::unique_ptr<WritableDatabase> m_database = GetParam().make();
  ScriptedDialogs m_dialogs;
  TableWindows m_windows{m_database->connectionString()};
  TFormTablica* m_window = nullptr;
  fixtures::TempDir m_files;
  const QString m_currentFolder = QDir::currentPath();
};

TEST_P(MemoEditorTest, DesignedEditor) {
  m_window->table().setRecNo(3);
  expectMemo([&](MemoEditor& editor) {
    QDialog& dialog = editor.dialog;
    EXPECT_EQ(dialog.windowTitle(), "memo: Employees [ Notes ]");
    EXPECT_EQ(dialog.font(), windowFont());
    EXPECT_EQ(dialog.minimumSize(), QSize(397, 166) - (dialog.frameGeometry().size() - dialog.size()));
    EXPECT_TRUE(dialog.isModal());
    EXPECT_EQ(control<QWidget>(&dialog, "PanelSter")->geometry(), QRect(0, 0, dialog.width(), 41));
    const struct Expected {
      const char* name;
      const char* text;
      QRect geometry;
    } buttons[] = {{"bb_Load", "czytaj", {8, 8, 75, 25}},
                   {"bb_Save", "zapisz", {200, 8, 75, 25}},
                   {"bb_zamknij", "zamknij", {304, 8, 75, 25}}};
    for (const Expected& e : buttons) {
      auto* button = control<QPushButton>(&dialog, e.name);
      EXPECT_EQ(button->text(), e.text);
      EXPECT_EQ(button->geometry(), e.geometry) << e.name;
      EXPECT_FALSE(button->icon().isNull()) << e.name;
    }
    EXPECT_EQ(control<QWidget>(&dialog, "DBNavigatorMemo")->geometry(), QRect(88, 8, 87, 25));
    EXPECT_EQ(editor.navigator(NavigatorButton::First), nullptr);
    EXPECT_TRUE(editor.navigator(NavigatorButton::Edit)->isEnabled());
    EXPECT_FALSE(editor.navigator(NavigatorButton::Post)->isEnabled());
    EXPECT_EQ(editor.memo()->geometry(), QRect(6, 6, dialog.width() - 12, dialog.height() - 41 - 12));
    EXPECT_EQ(editor.memo()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(editor.memo()->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_EQ(editor.text(), m_window->table().fieldByName("Notes").text());  // the third row's

    QStringList order;
    for (int i = 0; i < 5; ++i) {
      order << QApplication::focusWidget()->objectName();
      pressKey(Qt::Key_Tab);
    }
    EXPECT_EQ(order, QStringList({"bb_Load", "bb_Save", "bb_zamknij", "DBMemo", "bb_Load"}));
  });
  openMemo("Notes");
  EXPECT_EQ(state(), DatasetState::Browse);
}

TEST_P(MemoEditorTest, AFileLoadedWhileEditingIsPostedAndSavedBackWithItsMark) {
  const QString in = file("notatka.txt", QByteArray("\xEF\xBB\xBF") + QString::fromUtf8("Pierwsza linia\nDruga: zażółć").toUtf8());
  const QString out = QString::fromStdString((m_files.path() / "kopia.txt").string());
  expectMemo([&](MemoEditor& editor) {
    editor.clickNavigator(NavigatorButton::Edit);
    editor.click("bb_Load");
    EXPECT_EQ(editor.text(), QString::fromUtf8("Pierwsza linia\r\nDruga: zażółć"));
    editor.clickNavigator(NavigatorButton::Post);
    EXPECT_EQ(state(), DatasetState::Browse);
    editor.click("bb_Save");
  });
  expectLoad(in);
  expectSave(out);
  openMemo("Notes");
  EXPECT_EQ(QString::fromStdString(m_database->value("Notes", 1)), QString::fromUtf8("Pierwsza linia\r\nDruga: zażółć"));
  EXPECT_EQ(bytes(out), QByteArray("\xEF\xBB\xBF") + QString::fromUtf8("Pierwsza linia\r\nDruga: zażółć").toUtf8());
  EXPECT_EQ(QDir::currentPath(), QString::fromStdString(m_files.path().string()));  // the saved file's folder
  const GridModel& model = control<DataGrid>(m_window, "DBGrid")->gridModel();
  EXPECT_EQ(model.data(model.index(0, m_window->table().fieldByName("Notes").index())).toString(), "(MEMO)");

  expectMemo([&](MemoEditor& editor) {
    EXPECT_EQ(editor.text(), QString::fromUtf8("Pierwsza linia\r\nDruga: zażółć"));
  });
  openMemo("Notes");
}

TEST_P(MemoEditorTest, AFileLoadedWithoutEditIsDroppedByEdit) {
  const QString stored = m_window->table().fieldByName("Notes").text();
  expectMemo([&](MemoEditor& editor) {
    editor.click("bb_Load");
    EXPECT_EQ(editor.text(), "z pliku");
    EXPECT_EQ(state(), DatasetState::Browse);  // loading starts no edit
    editor.clickNavigator(NavigatorButton::Edit);
    EXPECT_EQ(editor.text(), stored);
    editor.clickNavigator(NavigatorButton::Post);
  });
  expectLoad(file("notatka.txt", "z pliku"));
  openMemo("Notes");
  EXPECT_EQ(QString::fromStdString(m_database->value("Notes", 1)), stored);
}

TEST_P(MemoEditorTest, TypingStartsEditModeEscRestoresAndClosingPostsNothing) {
  const QString stored = m_window->table().fieldByName("Notes").text();
  expectMemo([&](MemoEditor& editor) {
    editor.memo()->setFocus();
    pressKey(Qt::Key_End, Qt::ControlModifier);
    typeText(" Więcej.");
    EXPECT_EQ(state(), DatasetState::Edit);
    EXPECT_TRUE(control<DataNavigator>(m_window, "DBNavigator1")->button(NavigatorButton::Post)->isEnabled());
    EXPECT_TRUE(editor.navigator(NavigatorButton::Cancel)->isEnabled());
    pressKey(Qt::Key_Escape);
    EXPECT_EQ(editor.text(), stored);
    EXPECT_EQ(state(), DatasetState::Edit);  // the row stays in edit mode
    typeText("Nowe");
  });
  openMemo("Notes");
  // "zamknij" took the focus from the memo, which wrote its text into the
  // row; the row's edit goes on in the table window, nothing posted.
  EXPECT_EQ(state(), DatasetState::Edit);
  EXPECT_EQ(m_window->table().fieldByName("Notes").text(), "Nowe" + stored);
  EXPECT_EQ(QString::fromStdString(m_database->value("Notes", 1)), stored);
}

TEST_P(MemoEditorTest, ChangedTextLeavingTheMemoWhileNotEditingIsAnError) {
  expectMemo([&](MemoEditor& editor) {
    editor.click("bb_Load");
    editor.memo()->setFocus();
    pressKey(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), editor.memo());
    EXPECT_EQ(editor.text(), "z pliku");
    editor.dialog.reject();  // the title-bar close
  });
  expectLoad(file("notatka.txt", "z pliku"));
  m_dialogs.expectMessage(uncaughtError("ADOTable: Dataset not in edit or insert mode"));
  openMemo("Notes");
  EXPECT_EQ(state(), DatasetState::Browse);
}

TEST_P(MemoEditorTest, TheDialogsOfferTheLastNameOnlyWithinOneEditorAndFailuresAreSilent) {
  const QString first = file("a.txt", "a");
  expectMemo([&](MemoEditor& editor) {
    editor.click("bb_Load");
    editor.click("bb_Load");
    editor.click("bb_Load");
    EXPECT_EQ(editor.text(), "a");
    editor.click("bb_Save");
  });
  expectLoad(first);
  m_dialogs.expectOpenFile([](const FileDialogSetup&) { return QString(); });  // cancelled: nothing happens
  expectLoad(file("odd.txt", QByteArray("\xFF\xFE" "x", 3)), first);  // no text: the memo keeps its own
  expectSave(QString::fromStdString((m_files.path() / "nie ma" / "b.txt").string()));  // can't be created
  openMemo("Notes");
  expectMemo([&](MemoEditor& editor) { editor.click("bb_Load"); });
  expectLoad(first);  // a new editor offers nothing
  openMemo("Notes");
}

TEST_P(MemoEditorTest, ALongBinaryColumnOpensAsText) {
  expectMemo([&](MemoEditor& editor) {
    EXPECT_EQ(editor.dialog.windowTitle(), "memo: Employees [ Photo ]");
    EXPECT_EQ(editor.text(), m_window->table().fieldByName("Photo").text());
  });
  openMemo("Photo");
}

TEST_P(MemoEditorTest, OnAnEmptyTableEditStartsANewRowAndPostInsertsItWithTheMemosText) {
  while (!m_window->table().isEmpty()) m_window->table().remove();
  expectMemo([&](MemoEditor& editor) {
    EXPECT_EQ(editor.text(), "");
    editor.clickNavigator(NavigatorButton::Edit);
    EXPECT_EQ(state(), DatasetState::Insert);
    editor.memo()->setFocus();
    typeText("Pierwsza notatka");
    m_window->table().fieldByName("LastName").setText("Nowak");  // required, typed in the grid before
    editor.clickNavigator(NavigatorButton::Post);
  });
  openMemo("Notes");
  EXPECT_EQ(m_database->rowCount(), 1);
  EXPECT_EQ(m_window->table().fieldByName("Notes").text(), "Pierwsza notatka");
}

TEST_P(MemoEditorTest, EachTableWindowsEditorWorksOnItsOwnRow) {
  TFormTablica* second = m_windows.open("Employees");
  ASSERT_NE(second, nullptr);
  second->table().setRecNo(2);
  expectMemo([&](MemoEditor& editor) {
    EXPECT_EQ(editor.text(), second->table().fieldByName("Notes").text());
    editor.memo()->setFocus();
    pressKey(Qt::Key_A, Qt::ControlModifier);
    typeText("Dla drugiego");
    editor.clickNavigator(NavigatorButton::Post);
  });
  openMemo("Notes", second);
  EXPECT_EQ(m_database->value("Notes", 2), "Dla drugiego");
  EXPECT_EQ(m_window->table().recNo(), 1);
  EXPECT_EQ(m_window->table().state(), DatasetState::Browse);
  EXPECT_NE(m_window->table().fieldByName("Notes").text(), "Dla drugiego");
}

INSTANTIATE_TEST_SUITE_P(Databases, MemoEditorTest, testing::ValuesIn(writableDatabases()), databaseKindName);

}  // namespace
}  // namespace tabrix
