// The real message box stands over the window the user is in, even while the main window is
// hidden (the diagram window's copy confirmation).
#include "ui/qt_user_dialogs.h"

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

namespace keldar::ui {
namespace {

TEST(QtUserDialogsTest, AMessageStandsOverTheActiveWindowNotTheHiddenMainWindow) {
  QWidget mainWindow;
  mainWindow.setGeometry(0, 0, 618, 403);
  QWidget diagrams;
  diagrams.setGeometry(300, 200, 538, 417);
  diagrams.show();
  diagrams.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&diagrams));
  QtUserDialogs dialogs(&mainWindow);

  QWidget* owner = nullptr;
  QRect shown;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    owner = box->parentWidget();
    shown = box->frameGeometry();
    box->button(QMessageBox::Ok)->click();
  });
  EXPECT_EQ(dialogs.ShowMessage(QStringLiteral("copié"), QStringLiteral("Schéma électrique..."),
                                kMbOk | kMbIconInformation),
            kIdOk);
  EXPECT_EQ(owner, &diagrams);
  EXPECT_LE((shown.center() - diagrams.frameGeometry().center()).manhattanLength(), 2);
}

}  // namespace
}  // namespace keldar::ui
