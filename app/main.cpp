#include <QIcon>

#include "app/form_main.h"
#include "settings/settings_file.h"
#include "widgets/guarded_application.h"
#include "widgets/qt_dialogs.h"

int main(int argc, char** argv) {
  tabrix::GuardedApplication application(argc, argv);
  application.setWindowIcon(QIcon(QStringLiteral(":/tabrix.svg")));
  tabrix::QtDialogs qtDialogs;
  tabrix::installDialogs(&qtDialogs);

  tabrix::FormMain formMain(application.arguments().mid(1),
                           tabrix::settingsFilePath(QCoreApplication::applicationDirPath()));
  formMain.show();
  return application.exec();
}
