#include "settings/window_storage.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>
#include <memory>

#include "dialog_printers.h"
#include "scripted_dialogs.h"
#include "settings/settings_store.h"
#include "settings/window_name.h"
#include "sql_window_stand_in.h"
#include "widgets/application_title.h"

namespace tabrix {
namespace {

// A window with one control of each kind a storage keeps, bound to its
// section of `store`, with the minimum size of the SQL window.
class StoredWindow : public QWidget {
 public:
  StoredWindow(SettingsStore* store, QWidget* parent = nullptr,
               const QStringList& storedProps = {"CheckBox_NoPAD.Checked", "ed_Text.Text", "SaveDialog.FileName"})
      : QWidget(parent, Qt::Window),
        CheckBox_NoPAD(new QCheckBox(this)),
        ed_Text(new QLineEdit(this)),
        SaveDialog(new DialogMemory("SaveDialog", this)) {
    setObjectName(uniqueWindowName("Form_qvSQL"));
    CheckBox_NoPAD->setObjectName("CheckBox_NoPAD");
    ed_Text->setObjectName("ed_Text");
    ed_Text->move(0, 30);
    resize(700, 400);
    storage = std::make_unique<WindowStorage>(*this, store, QSize(647, 367));
    storage->setAppStoragePath("%FORM_NAME%");
    storage->setStoredProps(storedProps);
    storage->setAfterRestorePlacement([this] { ++afterRestore; });
  }

  void showAndWait() {
    show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(this));
  }

  QCheckBox* CheckBox_NoPAD;
  QLineEdit* ed_Text;
  DialogMemory* SaveDialog;
  std::unique_ptr<WindowStorage> storage;
  int afterRestore = 0;
};

MessageBoxContent uncaught(const QString& text) {
  return {applicationTitle(), text, MessageIcon::Error, {MessageButton::Ok}};
}

class WindowStorageTest : public testing::Test {
 protected:
  void store(const QString& key, const QString& value) { m_store.WriteString("Form_qvSQL\\" + key, value); }
  QString stored(const QString& key) { return m_store.ReadString("Form_qvSQL\\" + key, "<none>"); }

  SettingsStore m_store;
  ScriptedDialogs m_dialogs;
};

TEST_F(WindowStorageTest, EntriesNameAComponentAndOneOfItsProperties) {
  StoredWindow window(&m_store, nullptr,
                      {"CheckBox_NoPAD.Checked", " ed_Text . text ", "SaveDialog.FileName", "Missing.Text", ".Checked",
                       "CheckBox_NoPAD.", "CheckBox_NoPAD.NoSuchThing", "CheckBox_NoPAD.Font", "NoDot"});
  EXPECT_EQ(window.storage->StoredProps(), QStringList({"CheckBox_NoPAD_Checked", "ed_Text_text", "SaveDialog_FileName"}));
  EXPECT_EQ(window.storage->AppStoragePath(), "Form_qvSQL\\");
  EXPECT_EQ(window.storage->MinTrackWidth(), 647);
  EXPECT_EQ(window.storage->MinTrackHeight(), 367);
}

TEST_F(WindowStorageTest, TheFirstShowingRestoresPlacementAndValuesThenRunsTheCallback) {
  store("FormVersion", "0");
  store("NormPos", "100,50,800,450");
  store("CheckBox_NoPAD_Checked", "Y");
  store("ED_TEXT_TEXT", "abc");
  store("SaveDialog_FileName", "/raporty/wynik.txt");
  StoredWindow window(&m_store);
  window.showAndWait();

  EXPECT_EQ(window.frameGeometry(), QRect(100, 50, 700, 400));
  EXPECT_TRUE(window.CheckBox_NoPAD->isChecked());
  EXPECT_EQ(window.ed_Text->text(), "abc");
  EXPECT_EQ(window.SaveDialog->fileName, "/raporty/wynik.txt");
  EXPECT_EQ(window.afterRestore, 1);
  EXPECT_TRUE(window.storage->restored());

  window.hide();
  window.ed_Text->setText("typed");
  window.showAndWait();
  EXPECT_EQ(window.ed_Text->text(), "typed");
  EXPECT_EQ(window.afterRestore, 1);
}

TEST_F(WindowStorageTest, AValueThatDoesntFitIsSkippedWithoutAMessage) {
  store("CheckBox_NoPAD_Checked", "maybe");
  store("ed_Text_Text", "abc");
  StoredWindow window(&m_store);
  window.CheckBox_NoPAD->setChecked(true);
  window.showAndWait();
  EXPECT_TRUE(window.CheckBox_NoPAD->isChecked());
  EXPECT_EQ(window.ed_Text->text(), "abc");
  EXPECT_EQ(window.afterRestore, 1);
}

TEST_F(WindowStorageTest, AMissingKeyLeavesItsControlAlone) {
  store("ed_Text_Text", "");
  StoredWindow window(&m_store);
  window.CheckBox_NoPAD->setChecked(true);
  window.ed_Text->setText("designed");
  window.showAndWait();
  EXPECT_TRUE(window.CheckBox_NoPAD->isChecked());
  EXPECT_EQ(window.ed_Text->text(), "");
}

TEST_F(WindowStorageTest, ANegativeVersionRestoresNothingAndTheNextSaveWritesItAll) {
  store("FormVersion", "-1");
  store("NormPos", "100,50,800,450");
  store("ed_Text_Text", "abc");
  StoredWindow window(&m_store);
  window.showAndWait();
  EXPECT_NE(window.frameGeometry(), QRect(100, 50, 700, 400));
  EXPECT_EQ(window.ed_Text->text(), "");
  EXPECT_EQ(window.afterRestore, 0);
  EXPECT_TRUE(window.storage->restored());

  window.ed_Text->setText("typed");
  window.close();
  EXPECT_EQ(stored("FormVersion"), "0");
  EXPECT_EQ(stored("ed_Text_Text"), "typed");
  EXPECT_EQ(stored("ShowCmd"), "1");
}

TEST_F(WindowStorageTest, ABadShowCmdStopsTheRestoreAfterTheRectangleAndStaysAsItIs) {
  store("FormVersion", "0");
  store("ShowCmd", "x");
  store("NormPos", "100,50,800,450");
  store("ed_Text_Text", "abc");
  for (int run = 0; run < 2; ++run) {
    m_dialogs.expectMessage(uncaught("'x' is not a valid integer value."));
    StoredWindow window(&m_store);
    window.showAndWait();
    m_dialogs.verify();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.frameGeometry(), QRect(100, 50, 700, 400));
    EXPECT_EQ(window.ed_Text->text(), "");
    EXPECT_EQ(window.afterRestore, 0);
    EXPECT_FALSE(window.storage->restored());
    window.ed_Text->setText("typed");
    window.close();
    EXPECT_EQ(stored("ShowCmd"), "x");
    EXPECT_EQ(stored("ed_Text_Text"), "abc");
  }
}

TEST_F(WindowStorageTest, ABadVersionIsReportedAndWrittenAnewAsZero) {
  store("FormVersion", "one");
  store("ed_Text_Text", "abc");
  m_dialogs.expectMessage(uncaught("'one' is not a valid integer value."));
  {
    StoredWindow window(&m_store);
    window.showAndWait();
    EXPECT_EQ(window.ed_Text->text(), "");
  }
  EXPECT_EQ(stored("FormVersion"), "0");
  EXPECT_EQ(stored("ed_Text_Text"), "abc");
}

TEST_F(WindowStorageTest, SavedOnCloseAndOnDestructionOnlyWhenNotSavedBefore) {
  {
    StoredWindow window(&m_store);
    window.showAndWait();
    window.ed_Text->setText("at close");
    window.CheckBox_NoPAD->setChecked(true);
    window.close();
    EXPECT_TRUE(window.storage->saved());
    EXPECT_EQ(stored("ed_Text_Text"), "at close");
    EXPECT_EQ(stored("CheckBox_NoPAD_Checked"), "TRUE");
    EXPECT_EQ(stored("SaveDialog_FileName"), "");
    window.ed_Text->setText("after close");
  }
  EXPECT_EQ(stored("ed_Text_Text"), "at close");

  {
    StoredWindow window(&m_store);
    window.showAndWait();
    window.ed_Text->setText("at destruction");
  }
  EXPECT_EQ(stored("ed_Text_Text"), "at destruction");
}

TEST_F(WindowStorageTest, ANeverShownWindowSavesOnlyItsVersion) {
  { StoredWindow window(&m_store); }
  EXPECT_EQ(stored("FormVersion"), "0");
  EXPECT_EQ(stored("NormPos"), "<none>");
  EXPECT_EQ(stored("ed_Text_Text"), "<none>");
}

TEST_F(WindowStorageTest, WithoutAStoreNothingIsReadOrWrittenButTheMinimumSizeHolds) {
  store("ed_Text_Text", "abc");
  StoredWindow window(nullptr);
  window.showAndWait();
  EXPECT_EQ(window.ed_Text->text(), "");
  EXPECT_EQ(window.afterRestore, 0);
  window.resize(10, 10);
  EXPECT_EQ(window.frameGeometry().size(), QSize(647, 367));
  window.close();
  EXPECT_EQ(stored("FormVersion"), "<none>");
}

TEST_F(WindowStorageTest, AMaximizedWindowOpensMaximizedOverItsNormalRectangle) {
  store("ShowCmd", "3");
  store("NormPos", "100,50,800,450");
  StoredWindow window(&m_store);
  window.showAndWait();
  EXPECT_TRUE(window.isMaximized());
  window.close();
  EXPECT_EQ(stored("ShowCmd"), "3");
  EXPECT_EQ(stored("NormPos"), "100,50,800,450");
}

TEST_F(WindowStorageTest, AMinimizedWindowOpensMinimizedAndTheApplicationWindowJustAfter) {
  store("ShowCmd", "2");
  {
    QWidget owner;
    StoredWindow window(&m_store, &owner);
    window.show();
    EXPECT_TRUE(window.isMinimized());
    window.close();
    EXPECT_EQ(stored("ShowCmd"), "2");
  }

  StoredWindow application(&m_store);
  application.show();
  EXPECT_FALSE(application.isMinimized());
  EXPECT_TRUE(QTest::qWaitFor([&] { return application.isMinimized(); }));
}

TEST_F(WindowStorageTest, EachNewWindowTakesTheFirstNameNoWindowBears) {
  auto first = std::make_unique<StoredWindow>(&m_store);
  StoredWindow second(&m_store);
  StoredWindow third(&m_store);
  EXPECT_EQ(first->objectName(), "Form_qvSQL");
  EXPECT_EQ(second.objectName(), "Form_qvSQL_1");
  EXPECT_EQ(third.storage->AppStoragePath(), "Form_qvSQL_2\\");

  first.reset();
  EXPECT_EQ(StoredWindow(&m_store).objectName(), "Form_qvSQL");
  QWidget other;
  other.setObjectName("FORM_QVSQL");
  EXPECT_EQ(uniqueWindowName("Form_qvSQL"), "Form_qvSQL_3");
}

}  // namespace
}  // namespace tabrix
