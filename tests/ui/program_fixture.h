// A program started on a settings store of its own: an empty temporary folder for each test,
// where the test can leave values before the start (as an earlier run would have) and read what
// the close wrote. Ports come from the journal opener unless the test hands in its own.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "recording_dialogs.h"
#include "settings/settings_store.h"
#include "settings/settings_table.h"
#include "test_ports.h"
#include "ui/Keldaru1.h"
#include "ui/program.h"

namespace keldar::ui::testing {

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(settingsDir.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
  }
  void TearDown() override { program.reset(); }

  // Starts the program as a user does, its main window shown and active.
  void Start(PortOpener opener = {}) {
    auto recorder = std::make_unique<RecordingDialogs>();
    dialogs = recorder.get();
    program = std::make_unique<Program>(
        ProgramOptions{opener ? std::move(opener) : JournalOpener(ports), std::move(recorder)});
    form = &program->form1();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
  }
  // The process ends without the window's close (which alone writes the settings), then a new
  // one starts.
  void Restart() {
    program.reset();
    ports.events.clear();
    Start();
  }

  // The store as the program sees it, outside any run.
  static QSettings Raw() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, kOrganisation, kApplication);
  }
  static void Store(const char* name, const QVariant& value) {
    Raw().setValue(QString::fromLatin1(name), value);
  }
  // What a value reads as, in the store's own representation (text in a settings file).
  static std::optional<QString> Stored(const char* name) {
    const QVariant value = Raw().value(QString::fromLatin1(name));
    if (!value.isValid()) return std::nullopt;
    return value.toString();
  }
  // The sixteen values, by name.
  static std::map<std::string, QString> StoredValues() {
    std::map<std::string, QString> values;
    for (const SettingDef& def : kSettings) {
      if (const std::optional<QString> value = Stored(def.name)) values[def.name] = *value;
    }
    return values;
  }

  void Trigger(const char* name) {
    auto* action = form->findChild<QAction*>(QString::fromLatin1(name));
    ASSERT_NE(action, nullptr) << name;
    ASSERT_TRUE(action->isEnabled()) << name << " is unavailable";
    action->trigger();
  }

  QTemporaryDir settingsDir;
  PortJournal ports;
  RecordingDialogs* dialogs = nullptr;
  std::unique_ptr<Program> program;
  TForm1* form = nullptr;
};

}  // namespace keldar::ui::testing
