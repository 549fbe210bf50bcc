// A started program whose main window is shown and active, with recorded dialogs and journal
// ports. Commands are run as a user runs them: through their actions (which must be enabled),
// buttons and keys.
#pragma once

#include <memory>

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "recording_dialogs.h"
#include "test_ports.h"
#include "ui/Keldaru1.h"
#include "ui/grid/entry_field.h"
#include "ui/grid/hex_grid_view.h"
#include "ui/program.h"

namespace keldar::ui::testing {

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto recorder = std::make_unique<RecordingDialogs>();
    dialogs = recorder.get();
    program = std::make_unique<Program>(ProgramOptions{JournalOpener(ports), std::move(recorder)});
    form = &program->form1();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
  }
  void TearDown() override { program.reset(); }

  template <typename T = QWidget>
  T* Find(const char* name) {
    T* child = form->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
  }
  QAction* Action(const char* name) { return Find<QAction>(name); }

  // Runs a menu command; fails when it is unavailable.
  void Trigger(const char* name) {
    QAction* action = Action(name);
    ASSERT_NE(action, nullptr);
    ASSERT_TRUE(action->isEnabled()) << name << " is unavailable";
    action->trigger();
  }

  // Presses a key where the keyboard focus is, as the user would.
  void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = QApplication::focusWidget();
    ASSERT_NE(target, nullptr);
    QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
  }
  void Type(const QString& text) {
    QWidget* target = QApplication::focusWidget();
    ASSERT_NE(target, nullptr);
    for (QChar c : text) {
      QTest::sendKeyEvent(QTest::Click, target, static_cast<Qt::Key>(c.toUpper().unicode()),
                          QString(c), Qt::NoModifier);
    }
  }

  PortJournal ports;
  RecordingDialogs* dialogs = nullptr;
  std::unique_ptr<Program> program;
  TForm1* form = nullptr;
};

}  // namespace keldar::ui::testing
