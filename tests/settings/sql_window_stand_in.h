#pragma once

#include <QCheckBox>
#include <QObject>
#include <QString>
#include <QWidget>
#include <memory>

#include "settings/window_storage.h"

namespace tabrix {

class SettingsStore;

// What a window keeps of one of its file dialogs between two uses: the file
// name, as the property a stored property names.
class DialogMemory : public QObject {
  Q_OBJECT
  Q_PROPERTY(QString fileName MEMBER fileName)

 public:
  DialogMemory(const QString& name, QObject* parent);

  QString fileName;
};

// The SQL window as the settings see it: named "Form_qvSQL", "Form_qvSQL_1",
// … as it is made, centred on the screen until its placement is restored,
// its storage bound to the section of its name, with the SQL window's
// minimum size and its seven stored properties, the check boxes of the four
// report options and the file names of its three file dialogs.
class SqlWindowStandIn : public QWidget {
  Q_OBJECT

 public:
  explicit SqlWindowStandIn(SettingsStore* store, QWidget* owner = nullptr);

  QCheckBox* CheckBox_Clean;
  QCheckBox* CheckBox_FSEP;
  QCheckBox* CheckBox_NoNR;
  QCheckBox* CheckBox_NoPAD;
  DialogMemory* SaveDialog;
  DialogMemory* SaveDialog1;
  DialogMemory* OpenDialog1;
  std::unique_ptr<WindowStorage> FormStorage;
};

}  // namespace tabrix
