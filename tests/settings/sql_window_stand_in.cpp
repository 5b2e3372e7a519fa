#include "sql_window_stand_in.h"

#include <QGuiApplication>
#include <QScreen>

#include "settings/window_name.h"

namespace tabrix {

namespace {

QCheckBox* checkBox(const QString& name, const QString& caption, int top, QWidget* parent) {
  auto* box = new QCheckBox(caption, parent);
  box->setObjectName(name);
  box->move(8, top);
  return box;
}

}  // namespace

DialogMemory::DialogMemory(const QString& name, QObject* parent) : QObject(parent) { setObjectName(name); }

SqlWindowStandIn::SqlWindowStandIn(SettingsStore* store, QWidget* owner)
    : QWidget(owner, Qt::Window),
      CheckBox_Clean(checkBox("CheckBox_Clean", "No banner,summary", 8, this)),
      CheckBox_FSEP(checkBox("CheckBox_FSEP", "</> field separator", 32, this)),
      CheckBox_NoNR(checkBox("CheckBox_NoNR", "No Numer", 56, this)),
      CheckBox_NoPAD(checkBox("CheckBox_NoPAD", "No PAD", 80, this)),
      SaveDialog(new DialogMemory("SaveDialog", this)),
      SaveDialog1(new DialogMemory("SaveDialog1", this)),
      OpenDialog1(new DialogMemory("OpenDialog1", this)) {
  setObjectName(uniqueWindowName("Form_qvSQL"));
  setWindowTitle("SQL");
  resize(680, 420);
  move(QGuiApplication::primaryScreen()->geometry().center() - rect().center());

  FormStorage = std::make_unique<tabrix::WindowStorage>(*this, store, QSize(647, 367));
  FormStorage->setAppStoragePath("%FORM_NAME%\\");
  FormStorage->setStoredProps({"CheckBox_Clean.Checked", "CheckBox_FSEP.Checked", "CheckBox_NoNR.Checked",
                               "CheckBox_NoPAD.Checked", "SaveDialog.FileName", "SaveDialog1.FileName",
                               "OpenDialog1.FileName"});
}

}  // namespace tabrix
