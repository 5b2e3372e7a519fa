#pragma once

#include <QAbstractItemView>
#include <QCompleter>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

// Types `name` into a box that completes file names: all but its last
// character, then, once the folder has been read, the last one, and waits
// for the list of completions to open.
inline void typeWithCompletions(QLineEdit* edit, const QString& name) {
  auto* files = qobject_cast<QFileSystemModel*>(edit->completer()->model());
  ASSERT_NE(files, nullptr);
  QTest::keyClicks(edit, name.chopped(1));
  ASSERT_TRUE(QTest::qWaitFor([&] { return files->rowCount(files->index(QFileInfo(name).path())) > 0; }));
  QTest::keyClicks(edit, name.right(1));
  ASSERT_TRUE(QTest::qWaitFor([&] { return edit->completer()->popup()->isVisible(); }));
}
