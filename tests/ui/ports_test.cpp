// Opening, switching and releasing the port from the port menu, the command states and the
// port message with its timer.
#include <QLineEdit>
#include <QTimer>
#include <QTimerEvent>
#include <QToolButton>

#include "hw/port.h"
#include "main_window_fixture.h"

namespace keldar::ui::testing {
namespace {

using Events = std::vector<std::string>;

class PortsTest : public MainWindowTest {
 protected:
  // Lets the message timer run out without waiting for it.
  void ExpireTimer() {
    QTimer* timer = form->Timer1;
    ASSERT_TRUE(timer->isActive());
    QTimerEvent expiry(timer->timerId());
    QCoreApplication::sendEvent(timer, &expiry);
  }
  void ExpectPortState(int open) {
    EXPECT_EQ(form->portNumber, open);
    const char* items[] = {"OptionNoCOM", "OptionCOM1", "OptionCOM2", "OptionCOM3", "OptionCOM4"};
    for (int n = 0; n <= 4; ++n) {
      EXPECT_EQ(Action(items[n])->isChecked(), n == open) << items[n];
    }
    for (const char* name : {"MenuActionTitre", "OptionLire", "OptionProgramOctet",
                             "OptionProgramMem", "Comparer1", "Testduportserie"}) {
      EXPECT_EQ(Action(name)->isEnabled(), open != 0) << name;
    }
    for (const char* name : {"BoutonLire", "BoutonProgOctet", "BoutonProgMem", "BoutonComparer"}) {
      EXPECT_EQ(Find<QToolButton>(name)->isVisible(), open != 0) << name;
    }
    EXPECT_EQ(form->EditMessPort->isVisible(), open == 0);
    EXPECT_TRUE(Action("TypeLecteur")->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), form->StringGrid1);
  }
  QString Message() const { return form->EditMessPort->text(); }
};

TEST_F(PortsTest, OpeningCom1PowersTheReaderOffOnceAndShowsTheMemoryCommands) {
  Trigger("OptionCOM1");
  ASSERT_EQ(ports.events, (Events{"open 1"}));
  ExpectPortState(1);
  ASSERT_NE(ports.lastOpened, nullptr);
  // Valim, SCL, SDA low under the standard map, then the 20 ms rest.
  EXPECT_EQ(ports.lastOpened->LineChanges(),
            (std::vector<sim::PortEvent>{Off(OutputLine::Txd), Off(OutputLine::Rts),
                                         Off(OutputLine::Dtr)}));
  ASSERT_EQ(ports.lastOpened->Count(sim::PortEvent::Kind::Sleep), 1u);
  EXPECT_EQ(ports.lastOpened->events().back().milliseconds, 20u);
  EXPECT_FALSE(form->Timer1->isActive());

  // The same port again changes nothing and calls nothing.
  ports.lastOpened->Clear();
  Trigger("OptionCOM1");
  EXPECT_EQ(ports.events, (Events{"open 1"}));
  EXPECT_TRUE(ports.lastOpened->events().empty());
  ExpectPortState(1);
}

TEST_F(PortsTest, PowerOffFollowsTheLineMapInForceWhenThePortOpens) {
  form->lineMap.SetOutputArrangement(5);  // Valim on DTR, SCL on RTS, SDA on TxD
  form->lineMap.complementScl = true;
  Trigger("OptionCOM2");
  ASSERT_NE(ports.lastOpened, nullptr);
  EXPECT_EQ(ports.lastOpened->LineChanges(),
            (std::vector<sim::PortEvent>{Off(OutputLine::Dtr), On(OutputLine::Rts),
                                         Off(OutputLine::Txd)}));
}

TEST_F(PortsTest, SwitchingClosesTheOldPortBeforeOpeningTheNewOne) {
  Trigger("OptionCOM1");
  Trigger("OptionCOM2");
  EXPECT_EQ(ports.events, (Events{"open 1", "close 1", "open 2"}));
  ExpectPortState(2);
  EXPECT_EQ(form->port(), ports.lastOpened);

  // A failed switch leaves no port at all.
  Trigger("OptionCOM3");
  EXPECT_EQ(ports.events, (Events{"open 1", "close 1", "open 2", "close 2", "refused 3"}));
  ExpectPortState(0);
  EXPECT_EQ(form->port(), nullptr);
}

TEST_F(PortsTest, AMissingPortIsReportedAndThePromptReturnsWhenTheTimerRunsOut) {
  Trigger("OptionCOM3");
  ExpectPortState(0);
  EXPECT_EQ(Message(), QString::fromUtf8(" Le COM3 est indisponible !"));
  EXPECT_TRUE(form->Timer1->isActive());
  EXPECT_TRUE(form->Timer1->isSingleShot());
  EXPECT_EQ(form->Timer1->interval(), 2500);
  ExpireTimer();
  EXPECT_EQ(Message(), QString::fromUtf8(" Choisissez le port série..."));
  EXPECT_FALSE(form->Timer1->isActive());
  EXPECT_TRUE(dialogs->prompts().empty());
}

TEST_F(PortsTest, AucunPortClosesThePortAndASecondTimeChangesNothing) {
  Trigger("OptionCOM4");
  ExpectPortState(4);
  Trigger("OptionNoCOM");
  EXPECT_EQ(ports.events, (Events{"open 4", "close 4"}));
  ExpectPortState(0);
  EXPECT_EQ(Message(), QString::fromUtf8(" Port série désélectionné..."));
  EXPECT_TRUE(form->Timer1->isActive());
  const int timerId = form->Timer1->timerId();

  // The second choice neither restarts nor stops the timer.
  Trigger("OptionNoCOM");
  EXPECT_EQ(ports.events, (Events{"open 4", "close 4"}));
  EXPECT_TRUE(form->Timer1->isActive());
  EXPECT_EQ(form->Timer1->timerId(), timerId);
  EXPECT_EQ(Message(), QString::fromUtf8(" Port série désélectionné..."));
  ExpectPortState(0);
  ExpireTimer();
  EXPECT_EQ(Message(), QString::fromUtf8(" Choisissez le port série..."));
}

TEST_F(PortsTest, OpeningAPortStopsAPendingMessageTimer) {
  Trigger("OptionCOM3");
  ASSERT_TRUE(form->Timer1->isActive());
  Trigger("OptionCOM1");
  EXPECT_FALSE(form->Timer1->isActive());
  ExpectPortState(1);
}

TEST_F(PortsTest, PortNumbersOutsideOneToFourOpenNothing) {
  for (int port : {-1, 5, 100})
    form->ChangerPort(port);
  EXPECT_TRUE(ports.events.empty());
  ExpectPortState(0);
  EXPECT_EQ(Message(), QString::fromUtf8(" Choisissez le port série..."));
}

TEST_F(PortsTest, TheDefaultOpenerFindsNoDeviceBehindANonexistentPath) {
  // The test environment names a path that does not exist for every port.
  const PortOpener opener = DefaultPortOpener(form->currentMemory);
  for (int port = 1; port <= 4; ++port)
    EXPECT_FALSE(opener(port).device.IsOpen()) << port;
}

TEST_F(PortsTest, TheReaderConfigurationIsReachableWithAndWithoutAPort) {
  dialogs->AcceptNextModal();
  Trigger("TypeLecteur");
  Trigger("OptionCOM1");
  dialogs->AcceptNextModal();
  Trigger("Testduportserie");
  ASSERT_EQ(dialogs->prompts().size(), 2u);
  EXPECT_EQ(dialogs->prompts()[1].text, QStringLiteral("Form5"));
  EXPECT_EQ(dialogs->prompts()[1].caption, QString::fromUtf8(" Test du port série :"));
}

}  // namespace
}  // namespace keldar::ui::testing
