// The port test window: the physical lines by hand, whatever the line map says, and the four
// inputs from one status read.
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "hw/port.h"
#include "program_fixture.h"
#include "ui/Keldaru5.h"
#include "ui/Keldaru6.h"

namespace keldar::ui::testing {
namespace {

using sim::PortEvent;

constexpr InputLevels kNone{};
PortEvent Status(InputLevels inputs) {
  return sim::ReadEvent(inputs);
}

class PortTestWindowTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    Start();
    window = &program->form5();
  }
  sim::RecordingPort& OpenCom(const char* item) {
    Trigger(item);
    EXPECT_NE(ports.lastOpened, nullptr);
    ports.lastOpened->Clear();
    return *ports.lastOpened;
  }
  // The menu command, then the showing it asks for.
  void Open() {
    dialogs->AcceptNextModal();
    Trigger("Testduportserie");
    window->show();
  }
  QStringList ReadOuts() {
    return {window->txt_CTS->text(), window->txt_DSR->text(), window->txt_RI->text(),
            window->txt_DCD->text()};
  }

  TForm5* window = nullptr;
};

TEST_F(PortTestWindowTest, OpeningWithCom2NegatesTheThreeOutputsAndReadsOnce) {
  EXPECT_EQ(window->windowTitle(), QString::fromUtf8(" Test du port série :"));
  EXPECT_EQ(ReadOuts(), (QStringList{"CTS : [ ]", "DSR : [ ]", "RI  : [ ]", "DCD : [ ]"}));
  sim::RecordingPort& port = OpenCom("OptionCOM2");
  port.ScriptInputs({InputLevels::Of({InputLine::Cts, InputLine::Ring})});
  window->CC_DTR->setChecked(true);  // left checked by an earlier opening
  Open();
  EXPECT_EQ(window->windowTitle(), QString::fromUtf8("Test du port série COM2 :"));
  EXPECT_EQ(port.events(), (std::vector<PortEvent>{
                               Off(OutputLine::Dtr), Off(OutputLine::Rts), Off(OutputLine::Txd),
                               Status(InputLevels::Of({InputLine::Cts, InputLine::Ring}))}));
  EXPECT_FALSE(window->CC_TXD->isChecked());
  EXPECT_FALSE(window->CC_DTR->isChecked());
  EXPECT_FALSE(window->CC_RTS->isChecked());
  EXPECT_EQ(ReadOuts(), (QStringList{"CTS : [1]", "DSR : [0]", "RI  : [1]", "DCD : [0]"}));
  EXPECT_EQ(window->focusWidget(), window->BoutonTestPortP);
}

TEST_F(PortTestWindowTest, EachBoxDrivesItsLineAndReadsTheInputsOnce) {
  sim::RecordingPort& port = OpenCom("OptionCOM1");
  Open();
  port.Clear();
  port.ScriptInputs({InputLevels::Of({InputLine::Dsr}), kNone, InputLevels::Of({InputLine::Dcd}),
                     kNone, kNone, kNone});
  window->CC_TXD->click();
  EXPECT_EQ(port.events(), (std::vector<PortEvent>{On(OutputLine::Txd),
                                                   Status(InputLevels::Of({InputLine::Dsr}))}));
  EXPECT_EQ(ReadOuts(), (QStringList{"CTS : [0]", "DSR : [1]", "RI  : [0]", "DCD : [0]"}));
  window->CC_TXD->click();
  window->CC_DTR->click();
  window->CC_DTR->click();
  window->CC_RTS->click();
  window->CC_RTS->click();
  EXPECT_EQ(port.LineChanges(),
            (std::vector<sim::PortEvent>{On(OutputLine::Txd), Off(OutputLine::Txd),
                                         On(OutputLine::Dtr), Off(OutputLine::Dtr),
                                         On(OutputLine::Rts), Off(OutputLine::Rts)}));
  EXPECT_EQ(port.Count(PortEvent::Kind::Read), 6u);
  EXPECT_EQ(window->txt_DCD->text(), QStringLiteral("DCD : [0]"));
}

TEST_F(PortTestWindowTest, TheLineMapPlaysNoPart) {
  // The in-situ preset on arrangement 5, with the slowest access time.
  TForm6& config = program->form6();
  config.BoutonConfigISPClick();
  form->lineMap.SetOutputArrangement(5);
  form->lineMap.accessTime = 15;
  sim::RecordingPort& port = OpenCom("OptionCOM1");
  Open();
  EXPECT_EQ(port.LineChanges(),
            (std::vector<sim::PortEvent>{Off(OutputLine::Dtr), Off(OutputLine::Rts),
                                         Off(OutputLine::Txd)}));
  port.Clear();
  window->CC_DTR->click();
  EXPECT_EQ(port.events(), (std::vector<PortEvent>{On(OutputLine::Dtr), Status(kNone)}));
  // A set input line reads 1, though the map inverts SDA-in.
  port.SetSteadyInputs(InputLevels::Of({InputLine::Cts}));
  window->BoutonLireEntrees->click();
  EXPECT_EQ(window->txt_CTS->text(), QStringLiteral("CTS : [1]"));
}

TEST_F(PortTestWindowTest, TheReadButtonShowsAllFourFromOneWord) {
  sim::RecordingPort& port = OpenCom("OptionCOM4");
  Open();
  port.Clear();
  port.ScriptInputs(
      {InputLevels::Of({InputLine::Cts, InputLine::Dsr, InputLine::Ring, InputLine::Dcd}), kNone});
  window->BoutonLireEntrees->click();
  EXPECT_EQ(ReadOuts(), (QStringList{"CTS : [1]", "DSR : [1]", "RI  : [1]", "DCD : [1]"}));
  window->BoutonLireEntrees->click();
  EXPECT_EQ(ReadOuts(), (QStringList{"CTS : [0]", "DSR : [0]", "RI  : [0]", "DCD : [0]"}));
  EXPECT_EQ(port.events(),
            (std::vector<PortEvent>{Status(InputLevels::Of({InputLine::Cts, InputLine::Dsr,
                                                            InputLine::Ring, InputLine::Dcd})),
                                    Status(kNone)}));
}

TEST_F(PortTestWindowTest, LeavingRestoresNothing) {
  sim::RecordingPort& port = OpenCom("OptionCOM1");
  Open();
  window->CC_TXD->click();
  port.Clear();
  QTest::keyClick(window, Qt::Key_Escape);
  EXPECT_FALSE(window->isVisible());
  EXPECT_TRUE(port.events().empty());
  EXPECT_TRUE(window->CC_TXD->isChecked());
}

TEST_F(PortTestWindowTest, WithoutAnOpenPortTheWindowClosesAtOnce) {
  // Shown modally, as the program shows it: the modal loop must end by itself.
  bool rescued = false;
  QTimer::singleShot(10000, window, [&] {
    rescued = true;
    window->reject();
  });
  EXPECT_EQ(window->exec(), QDialog::Rejected);
  EXPECT_FALSE(rescued);
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(window->windowTitle(), QString::fromUtf8(" Test du port série :"));
  EXPECT_TRUE(ports.events.empty());
  EXPECT_FALSE(form->Testduportserie->isEnabled());
}

}  // namespace
}  // namespace keldar::ui::testing
