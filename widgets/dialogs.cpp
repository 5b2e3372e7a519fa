#include "widgets/dialogs.h"

#include "widgets/qt_dialogs.h"

namespace tabrix {

namespace {
Dialogs* installed = nullptr;
}

Dialogs& dialogs() {
  if (installed) return *installed;
  static QtDialogs qtDialogs;
  return qtDialogs;
}

Dialogs* installDialogs(Dialogs* dialogs) {
  Dialogs* previous = installed;
  installed = dialogs;
  return previous;
}

}  // namespace tabrix
