#include "widgets/qt_dialogs.h"

#include <QApplication>
#include <QFontDialog>
#include <QFile>
#include <functional>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "dialog_printers.h"

namespace tabrix {
namespace {

// Runs `answer` on the message box QtDialogs shows, then gives the button
// QtDialogs reported.
MessageButton answerMessage(const MessageBoxContent& setup, std::function<void(QMessageBox&)> answer) {
  QTimer::singleShot(0, [answer] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) {
      ADD_FAILURE() << "no message box is showing";
      return;
    }
    answer(*box);
  });
  return QtDialogs().message(setup);
}

TEST(QtDialogs, MessageBoxShowsItsContentAndBreaksLinesAtCarriageReturns) {
  const MessageButton pressed =
      answerMessage({"Tabrix", "Błąd otwarcia Bazy !\r<nie ma> pliku", MessageIcon::None, {MessageButton::Ok}},
                    [](QMessageBox& box) {
                      EXPECT_EQ(box.windowTitle(), "Tabrix");
                      EXPECT_EQ(box.text(), "Błąd otwarcia Bazy !\n<nie ma> pliku");
                      EXPECT_EQ(box.textFormat(), Qt::PlainText);
                      EXPECT_EQ(box.icon(), QMessageBox::NoIcon);
                      ASSERT_EQ(box.buttons().size(), 1);
                      EXPECT_EQ(box.buttons().constFirst()->text(), "OK");
                      box.buttons().constFirst()->click();
                    });
  EXPECT_EQ(pressed, MessageButton::Ok);
}

TEST(QtDialogs, ClosingAMessageBoxPressesItsLastButton) {
  const MessageBoxContent question{"Confirm", "Delete record?", MessageIcon::Question,
                                {MessageButton::Ok, MessageButton::Cancel}};
  EXPECT_EQ(answerMessage(question,
                          [](QMessageBox& box) {
                            EXPECT_EQ(box.icon(), QMessageBox::Question);
                            QTest::keyClick(&box, Qt::Key_Escape);
                          }),
            MessageButton::Cancel);
  EXPECT_EQ(answerMessage(question, [](QMessageBox& box) { box.button(QMessageBox::Ok)->click(); }),
            MessageButton::Ok);
  EXPECT_EQ(answerMessage({"Error", "x", MessageIcon::Error, {MessageButton::Ok}},
                          [](QMessageBox& box) {
                            EXPECT_EQ(box.icon(), QMessageBox::Critical);
                            QTest::keyClick(&box, Qt::Key_Escape);
                          }),
            MessageButton::Ok);
}

TEST(QtDialogs, FileDialogStartsAsSetUp) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());

  FileDialogSetup setup;
  setup.title = "Browse";
  setup.filter = "Baza ACCES|*.mdb|Wszystkie pliki (*.*)|*.*";
  setup.folder = folder.path() + '/';
  setup.fileName = folder.filePath("nowa.mdb");
  setup.defaultExtension = "mdb";
  QFileDialog open;
  setUpFileDialog(open, setup, QFileDialog::AcceptOpen);
  EXPECT_EQ(open.windowTitle(), "Browse");
  EXPECT_EQ(open.nameFilters(), QStringList({"Baza ACCES (*.mdb)", "Wszystkie pliki (*.*) (*)"}));
  EXPECT_EQ(open.selectedNameFilter(), "Baza ACCES");  // shown without its patterns
  EXPECT_EQ(open.directory().absolutePath(), folder.path());
  EXPECT_EQ(open.selectedFiles(), QStringList(folder.filePath("nowa.mdb")));
  EXPECT_EQ(open.fileMode(), QFileDialog::AnyFile);
  EXPECT_EQ(open.acceptMode(), QFileDialog::AcceptOpen);
  EXPECT_EQ(open.defaultSuffix(), "mdb");

  setup.fileMustExist = true;
  setup.overwritePrompt = true;
  QFileDialog save;
  setUpFileDialog(save, setup, QFileDialog::AcceptSave);
  EXPECT_EQ(save.fileMode(), QFileDialog::ExistingFile);
  EXPECT_EQ(save.acceptMode(), QFileDialog::AcceptSave);
  EXPECT_FALSE(save.testOption(QFileDialog::DontConfirmOverwrite));
  EXPECT_TRUE(open.testOption(QFileDialog::DontConfirmOverwrite));
  EXPECT_TRUE(open.testOption(QFileDialog::DontUseNativeDialog));
}

// Runs `answer` on the modal dialog of type D that `run` shows.
template <typename D, typename Run>
auto answerModal(Run run, std::function<void(D&)> answer) {
  QTimer::singleShot(0, [answer] {
    auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
    if (!dialog) {
      ADD_FAILURE() << "no such dialog is showing";
      if (QApplication::activeModalWidget()) QApplication::activeModalWidget()->close();
      return;
    }
    answer(*dialog);
  });
  return run();
}

TEST(QtDialogs, SaveDialogKeepsItselfOpenForANameInAFolderThatDoesNotExist) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  FileDialogSetup setup;
  setup.title = "Zapis";
  setup.folderMustExist = true;
  const QString missing = folder.filePath("nie ma/raport.txt");
  const QString good = folder.filePath("raport.txt");
  const QString chosen = answerModal<QFileDialog>([&] { return QtDialogs().saveFileName(setup); },
                                                  [&](QFileDialog& dialog) {
                                                    dialog.selectFile(missing);
                                                    QTimer::singleShot(0, [&] {
                                                      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                                                      ASSERT_NE(box, nullptr) << "no warning";
                                                      EXPECT_EQ(box->windowTitle(), "Zapis");
                                                      EXPECT_TRUE(box->text().contains("does not exist")) << box->text().toStdString();
                                                      box->accept();
                                                    });
                                                    static_cast<QDialog&>(dialog).accept();  // as OK does
                                                    EXPECT_TRUE(dialog.isVisible());
                                                    dialog.selectFile(good);
                                                    static_cast<QDialog&>(dialog).accept();
                                                  });
  EXPECT_EQ(chosen, good);

  // Without the flag the name goes back as typed.
  setup.folderMustExist = false;
  EXPECT_EQ(answerModal<QFileDialog>([&] { return QtDialogs().saveFileName(setup); },
                                     [&](QFileDialog& dialog) {
                                       dialog.selectFile(missing);
                                       static_cast<QDialog&>(dialog).accept();
                                     }),
            missing);
}

TEST(QtDialogs, FontDialogStartsAtTheFontAndOffersFixedPitchOnlyWhenAsked) {
  const QFont start("DejaVu Sans Mono", 11);
  for (bool fixedPitchOnly : {true, false}) {
    const std::optional<QFont> chosen = answerModal<QFontDialog>(
        [&] { return QtDialogs().font({start, fixedPitchOnly}); },
        [&](QFontDialog& dialog) {
          EXPECT_EQ(dialog.testOption(QFontDialog::MonospacedFonts), fixedPitchOnly);
          EXPECT_TRUE(dialog.testOption(QFontDialog::DontUseNativeDialog));
          EXPECT_EQ(dialog.currentFont().pointSize(), 11);
          QFont bigger = dialog.currentFont();
          bigger.setPointSize(14);
          dialog.setCurrentFont(bigger);
          dialog.accept();
        });
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(chosen->pointSize(), 14);
  }
  EXPECT_FALSE(answerModal<QFontDialog>([&] { return QtDialogs().font({start, true}); },
                                        [](QFontDialog& dialog) { dialog.reject(); }));
}

TEST(QtDialogs, PrintDialogSetsUpThePrinterItWasGiven) {
  QPrinter printer;
  EXPECT_TRUE(answerModal<QPrintDialog>([&] { return QtDialogs().print(printer); },
                                        [&](QPrintDialog& dialog) {
                                          EXPECT_EQ(dialog.printer(), &printer);
                                          dialog.accept();
                                        }));
  EXPECT_FALSE(answerModal<QPrintDialog>([&] { return QtDialogs().print(printer); },
                                         [](QPrintDialog& dialog) { dialog.reject(); }));
}

// Runs a save dialog set up to ask before it creates a file: types a name
// that doesn't exist, answers the question with `answer`, and cancels the
// file dialog if it comes back. Gives the name chosen and the questions.
std::pair<QString, QStringList> saveAskingToCreate(const QString& folder, QMessageBox::StandardButton answer) {
  FileDialogSetup setup;
  setup.title = "Gdzie zapisać ?";
  setup.filter = "Pliki tekstowe|*.txt|Dowolny plik|*.*";
  setup.folder = folder;
  setup.defaultExtension = "txt";
  setup.createPrompt = true;
  QStringList questions;
  int fileDialogs = 0;
  QObject steps;  // its going cancels the steps still waiting
  std::function<void()> step = [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* files = qobject_cast<QFileDialog*>(modal)) {
      if (fileDialogs++ > 0) {
        files->reject();
        return;
      }
      files->selectFile("notatka");
      QTimer::singleShot(0, &steps, step);
      QMetaObject::invokeMethod(files, "accept");
    } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      questions << box->text();
      QTimer::singleShot(0, &steps, step);
      box->button(answer)->click();
    } else {
      QTimer::singleShot(10, &steps, step);  // not shown yet
    }
  };
  QTimer::singleShot(0, &steps, step);
  return {QtDialogs().saveFileName(setup), questions};
}

TEST(QtDialogs, ASaveDialogCanAskBeforeItCreatesAFile) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const QString expected = folder.filePath("notatka.txt");
  const QString question = "notatka.txt does not exist.\nDo you want to create it?";

  EXPECT_EQ(saveAskingToCreate(folder.path(), QMessageBox::No), std::make_pair(QString(), QStringList(question)));
  EXPECT_EQ(saveAskingToCreate(folder.path(), QMessageBox::Yes), std::make_pair(expected, QStringList(question)));
  QFile(expected).open(QIODevice::WriteOnly);  // an existing file is taken without a question
  EXPECT_EQ(saveAskingToCreate(folder.path(), QMessageBox::No), std::make_pair(expected, QStringList()));
}

}  // namespace
}  // namespace tabrix
