// The UI tests' main: the program's own application object, offscreen, ports that cannot exist,
// and a settings store in a temporary folder, so that no test touches a real device or the
// user's settings.
#include <cstring>
#include <memory>

#include <gtest/gtest.h>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "ui/application.h"

namespace {

// Closing the main window writes the settings: each test starts on an empty store of its own,
// never on what an earlier test left.
class FreshSettingsStore : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo&) override {
    folder_ = std::make_unique<QTemporaryDir>();
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder_->path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder_->path());
  }
  void OnTestEnd(const ::testing::TestInfo&) override { folder_.reset(); }

  std::unique_ptr<QTemporaryDir> folder_;
};

}  // namespace

int main(int argc, char* argv[]) {
  ::testing::InitGoogleTest(&argc, argv);
  // Listing the tests needs no display.
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--gtest_list_tests") == 0) return RUN_ALL_TESTS();
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
#ifdef KELDAR_TEST_SCALE_FACTOR
  qputenv("QT_SCALE_FACTOR", KELDAR_TEST_SCALE_FACTOR);
#endif
  for (const char* name : {"KELDAR_COM1", "KELDAR_COM2", "KELDAR_COM3", "KELDAR_COM4"}) {
    qputenv(name, "/nonexistent/keldar-test-port");
  }
  QStandardPaths::setTestModeEnabled(true);
  keldar::ui::Application app(argc, argv);
  QTemporaryDir settings;
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
  ::testing::UnitTest::GetInstance()->listeners().Append(new FreshSettingsStore);
  return RUN_ALL_TESTS();
}
