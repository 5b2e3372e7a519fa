#include "app/placeholder_windows.h"

#include <QComboBox>
#include <QVBoxLayout>

namespace tabrix {

SqlWindowPlaceholder::SqlWindowPlaceholder(QWidget* owner)
    : QWidget(owner, Qt::Window), cb_Tablice(new QComboBox(this)) {
  setWindowTitle(QStringLiteral("SQL"));
  cb_Tablice->setObjectName(QStringLiteral("cb_Tablice"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(cb_Tablice);
}

}  // namespace tabrix
