#include "settings/settings_file.h"

#include <QDir>
#include <gtest/gtest.h>

#include "qt_printers.h"
#include "settings_files.h"

namespace tabrix {
namespace {

// Sets an environment variable for the life of the object.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const QByteArray& value)
      : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name)) {
    qputenv(name, value);
  }
  ~ScopedEnvironment() {
    if (m_had)
      qputenv(m_name, m_old);
    else
      qunsetenv(m_name);
  }

 private:
  const char* m_name;
  bool m_had;
  QByteArray m_old;
};

TEST(SettingsFile, BesideTheProgramWhereItsFolderCanBeWritten) {
  SettingsFile file;
  EXPECT_EQ(settingsFilePath(file.folder()), QDir(file.folder()).filePath("tabrix.ini"));
}

TEST(SettingsFile, ElseInTheUsersConfigurationFolder) {
  const QString systemFolder = "/proc/no-such-folder";
  {
    ScopedEnvironment config("XDG_CONFIG_HOME", "/home/jan/.konfiguracja");
    EXPECT_EQ(settingsFilePath(systemFolder), "/home/jan/.konfiguracja/tabrix/tabrix.ini");
  }
  for (const QByteArray& unusable : {QByteArray(), QByteArray("relative/config")}) {
    ScopedEnvironment config("XDG_CONFIG_HOME", unusable);
    EXPECT_EQ(settingsFilePath(systemFolder), QDir::homePath() + "/.config/tabrix/tabrix.ini") << unusable.data();
  }
}

}  // namespace
}  // namespace tabrix
