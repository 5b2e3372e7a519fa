#include "widgets/message_boxes.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <stdexcept>

#include "dialog_printers.h"
#include "scripted_dialogs.h"
#include "widgets/application_title.h"
#include "widgets/handler_guard.h"

namespace tabrix {
namespace {

struct TextCase {
  const char* error;
  const char* shown;
};

class UncaughtErrorTextTest : public testing::TestWithParam<TextCase> {};

TEST_P(UncaughtErrorTextTest, FullStopAfterACharacterAboveIt) {
  EXPECT_EQ(uncaughtErrorText(QString::fromUtf8(GetParam().error)), QString::fromUtf8(GetParam().shown));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, UncaughtErrorTextTest,
    testing::Values(TextCase{"Table not found", "Table not found."}, TextCase{"Done.", "Done."},
                    TextCase{"Stop!", "Stop!"}, TextCase{"Why?", "Why?."}, TextCase{"a-", "a-"},
                    TextCase{"a/", "a/."}, TextCase{"(x)", "(x)"}, TextCase{"1", "1."},
                    TextCase{"line\r", "line\r"}, TextCase{"Błąd", "Błąd."}, TextCase{"", ""}));

TEST(MessageBoxes, EachKindShowsItsCaptionIconAndOneOk) {
  ScriptedDialogs dialogs;
  dialogs.expectMessage({applicationTitle(), "Zapisano", MessageIcon::None, {MessageButton::Ok}});
  dialogs.expectMessage({"Error", "Brak pliku", MessageIcon::Error, {MessageButton::Ok}});
  dialogs.expectMessage({applicationTitle(), "Disk full.", MessageIcon::Error, {MessageButton::Ok}});

  showMessage("Zapisano");
  showErrorMessage("Brak pliku");
  showUncaughtError(std::runtime_error("Disk full"));
}

TEST(MessageBoxes, ApplicationTitleIsThisExecutables) {
  EXPECT_EQ(applicationTitle(), "widgets_tests");
}

TEST(HandlerGuard, AnEscapedErrorGoesToTheDefaultHandlerAndTheProgramGoesOn) {
  ScriptedDialogs dialogs;
  dialogs.expectMessage({applicationTitle(), "Nie ma takiej tablicy.", MessageIcon::Error, {MessageButton::Ok}});

  struct Window : QObject {
    int clicks = 0;
    void click() {
      ++clicks;
      throw std::runtime_error("Nie ma takiej tablicy");
    }
  } window;
  QPushButton button;
  connectHandler(&button, &QPushButton::clicked, &window, &Window::click);

  button.click();
  EXPECT_EQ(window.clicks, 1);
}

// A widget whose handling of one event fails, as a handler that forgot to
// catch would.
class FailingWidget : public QWidget {
 public:
  static inline const auto kFailing = static_cast<QEvent::Type>(QEvent::User + 1);

 protected:
  bool event(QEvent* event) override {
    if (event->type() == kFailing) throw std::runtime_error("Zepsute zdarzenie");
    return QWidget::event(event);
  }
};

TEST(GuardedApplication, AnErrorEscapingAnEventReachesTheDefaultHandler) {
  ScriptedDialogs dialogs;
  dialogs.expectMessage({applicationTitle(), "Zepsute zdarzenie.", MessageIcon::Error, {MessageButton::Ok}});

  FailingWidget widget;
  QEvent failing(FailingWidget::kFailing);
  QCoreApplication::sendEvent(&widget, &failing);
  dialogs.verify();

  // Posted events fail the same way, and the loop keeps running.
  dialogs.expectMessage({applicationTitle(), "Zepsute zdarzenie.", MessageIcon::Error, {MessageButton::Ok}});
  QCoreApplication::postEvent(&widget, new QEvent(FailingWidget::kFailing));
  QCoreApplication::processEvents();
}

}  // namespace
}  // namespace tabrix
