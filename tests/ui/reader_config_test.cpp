// The reader configuration window: its controls, the map it edits in place, and what each
// change issues on an open port.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

#include <string>
#include <vector>

#include "hw/port.h"
#include "program_fixture.h"
#include "sim/sim_port.h"
#include "ui/Keldaru6.h"

namespace keldar::ui::testing {
namespace {

using sim::PortEvent;

PortEvent Rest() {
  return sim::SleepEvent(20);
}

class ReaderConfigTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    Start();
    config = &program->form6();
    config->show();
  }
  void OpenCom1() {
    Trigger("OptionCOM1");
    ASSERT_NE(ports.lastOpened, nullptr);
    ports.lastOpened->Clear();
  }
  const std::vector<PortEvent>& Calls() { return ports.lastOpened->events(); }
  QRadioButton* Output(int index) {
    return config->findChild<QRadioButton*>(QStringLiteral("RadioGroup1_%1").arg(index));
  }
  QRadioButton* Input(int index) {
    return config->findChild<QRadioButton*>(QStringLiteral("RadioGroup2_%1").arg(index));
  }
  std::vector<bool> Boxes() {
    return {config->CBcompVALIMout->isChecked(), config->CBcompSCLout->isChecked(),
            config->CBcompSDAout->isChecked(), config->CBcompSDAin->isChecked()};
  }

  TForm6* config = nullptr;
};

TEST_F(ReaderConfigTest, AFirstRunShowsTheStandardReaderWithItsTexts) {
  EXPECT_EQ(config->windowTitle(),
            QString::fromUtf8(" Configuration du lecteur sur le port série :"));
  EXPECT_EQ(config->minimumSize(), config->maximumSize());
  EXPECT_EQ(config->focusWidget(), config->BoutonRetourConfig);
  const char* const outputs[] = {
      "Valim = TxD  /  SCL = RTS  /  SDA = DTR", "Valim = TxD  /  SCL = DTR  /  SDA = RTS",
      "Valim = RTS  /  SCL = TxD  /  SDA = DTR", "Valim = RTS  /  SCL = DTR  /  SDA = TxD",
      "Valim = DTR  /  SCL = TxD  /  SDA = RTS", "Valim = DTR  /  SCL = RTS  /  SDA = TxD"};
  for (int index = 0; index < 6; ++index) {
    ASSERT_NE(Output(index), nullptr);
    EXPECT_EQ(Output(index)->text(), QString::fromLatin1(outputs[index]));
    EXPECT_EQ(Output(index)->isChecked(), index == 0);
  }
  const char* const inputs[] = {"CTS", "DSR", "RING", "DCD"};
  for (int index = 0; index < 4; ++index) {
    ASSERT_NE(Input(index), nullptr);
    EXPECT_EQ(Input(index)->text(), QString::fromLatin1(inputs[index]));
    EXPECT_EQ(Input(index)->isChecked(), index == 0);
  }
  EXPECT_EQ(config->RadioGroup1->title(), QString::fromUtf8(" Répartition des &sorties : "));
  EXPECT_EQ(config->RadioGroup2->title(), QString::fromUtf8(" Choix de l'&entrée SDA : "));
  EXPECT_EQ(config->CBcompVALIMout->text(), QString::fromUtf8("Complémenter la sortie &Valim"));
  EXPECT_EQ(config->CBcompSCLout->text(), QString::fromUtf8("Complémenter la sortie S&CL"));
  EXPECT_EQ(config->CBcompSDAout->text(), QString::fromUtf8("Complémenter la sortie S&DA"));
  EXPECT_EQ(config->CBcompSDAin->text(), QString::fromUtf8("Complémenter l'entrée SD&A"));
  EXPECT_EQ(Boxes(), std::vector<bool>(4, false));
  EXPECT_EQ(config->TrackBar1->value(), 0);
  EXPECT_EQ(config->TrackBar1->maximum(), 15);
  EXPECT_EQ(config->StaticTextTA->text(), QStringLiteral("0"));
  EXPECT_EQ(config->BoutonInitConfig->toolTip(),
            QString::fromUtf8("Paramètres par défaut :\n- sortie Valim => TxD\n- sortie SCL => "
                              "RTS\n- sortie SDA => DTR\n- entrée SDA <= CTS"));
  EXPECT_EQ(config->BoutonConfigISP->text(),
            QStringLiteral("Paramètres pour une programmation 'In Situ'"));
}

TEST_F(ReaderConfigTest, Arrangement3WithCom1OpenRestsTheReaderUnderTheNewMap) {
  OpenCom1();
  Output(3)->click();
  // Valim on RTS, SCL on DTR, SDA on TxD, each low, then the 20 ms rest.
  EXPECT_EQ(Calls(), (std::vector<PortEvent>{Off(OutputLine::Rts), Off(OutputLine::Dtr),
                                             Off(OutputLine::Txd), Rest()}));
  EXPECT_EQ(form->lineMap.outputArrangement, 3);
  EXPECT_EQ(form->lineMap.Arrangement().valim, OutputLine::Rts);

  // The item already selected changes nothing.
  ports.lastOpened->Clear();
  Output(3)->click();
  EXPECT_TRUE(Calls().empty());
}

TEST_F(ReaderConfigTest, ChoosingTheInputIssuesNothingAndSetsTheInputLine) {
  OpenCom1();
  Input(1)->click();
  EXPECT_TRUE(Calls().empty());
  EXPECT_EQ(form->lineMap.sdaInput, 1);
  EXPECT_EQ(form->lineMap.SdaInputLine(), InputLine::Dsr);
  Input(3)->click();
  EXPECT_EQ(form->lineMap.SdaInputLine(), InputLine::Dcd);
  EXPECT_TRUE(Calls().empty());
}

TEST_F(ReaderConfigTest, ComplementingSclDrivesItsAssertedLevelForLow) {
  OpenCom1();
  config->CBcompSCLout->click();
  EXPECT_TRUE(form->lineMap.complementScl);
  // SCL low through the inverter is RTS set.
  EXPECT_EQ(Calls(), (std::vector<PortEvent>{Off(OutputLine::Txd), On(OutputLine::Rts),
                                             Off(OutputLine::Dtr), Rest()}));
  ports.lastOpened->Clear();
  config->CBcompSDAin->click();
  EXPECT_TRUE(form->lineMap.complementSdaIn);
  EXPECT_EQ(Calls().size(), 4u);  // every box change rests the reader again
}

TEST_F(ReaderConfigTest, TheInSituPresetChecksSclSdaAndSdaInAndLeavesTheSlider) {
  config->TrackBar1->setValue(7);
  Output(4)->click();
  Input(2)->click();
  OpenCom1();
  config->BoutonConfigISP->click();
  EXPECT_EQ(Boxes(), (std::vector<bool>{false, true, true, true}));
  EXPECT_TRUE(Output(0)->isChecked());
  EXPECT_TRUE(Input(0)->isChecked());
  EXPECT_EQ(config->TrackBar1->value(), 7);
  const LineMap& map = form->lineMap;
  EXPECT_EQ(map.outputArrangement, 0);
  EXPECT_EQ(map.SdaInputLine(), InputLine::Cts);
  EXPECT_TRUE(map.complementScl && map.complementSdaOut && map.complementSdaIn);
  EXPECT_FALSE(map.complementValim);
  EXPECT_EQ(map.accessTime, 7);
  // One power-off under the in-situ map, each change followed by its seven status reads.
  EXPECT_EQ(ports.lastOpened->LineChanges(),
            (std::vector<sim::PortEvent>{Off(OutputLine::Txd), On(OutputLine::Rts),
                                         On(OutputLine::Dtr)}));
  EXPECT_EQ(ports.lastOpened->Count(PortEvent::Kind::Read), 21u);
  EXPECT_EQ(Calls().back(), Rest());

  ports.lastOpened->Clear();
  config->BoutonInitConfig->click();
  EXPECT_EQ(Boxes(), std::vector<bool>(4, false));
  EXPECT_FALSE(map.complementScl || map.complementSdaOut || map.complementSdaIn);
  EXPECT_EQ(ports.lastOpened->LineChanges(),
            (std::vector<sim::PortEvent>{Off(OutputLine::Txd), Off(OutputLine::Rts),
                                         Off(OutputLine::Dtr)}));
  EXPECT_EQ(config->StaticTextTA->text(), QStringLiteral("7"));
}

TEST_F(ReaderConfigTest, TheSliderAt15AddsFifteenStatusReadsToEveryOutputChange) {
  config->TrackBar1->setFocus();
  QTest::keyClick(config->TrackBar1, Qt::Key_End);
  EXPECT_EQ(config->StaticTextTA->text(), QStringLiteral("15"));
  EXPECT_EQ(form->lineMap.accessTime, 15);

  OpenCom1();
  ports.lastOpened->Clear();
  QTest::keyClick(config->TrackBar1, Qt::Key_Home);  // moving the slider issues nothing
  QTest::keyClick(config->TrackBar1, Qt::Key_End);
  EXPECT_TRUE(Calls().empty());
  Output(1)->click();
  std::vector<PortEvent> expected;
  for (const OutputLine line : {OutputLine::Txd, OutputLine::Dtr, OutputLine::Rts}) {
    expected.push_back(Off(line));
    expected.insert(expected.end(), 15, sim::ReadEvent({}));
  }
  expected.push_back(Rest());
  EXPECT_EQ(Calls(), expected);
}

TEST_F(ReaderConfigTest, WithoutAPortEveryControlStillEditsTheMap) {
  Output(5)->click();
  config->CBcompVALIMout->click();
  EXPECT_EQ(form->lineMap.Arrangement().valim, OutputLine::Dtr);
  EXPECT_TRUE(form->lineMap.complementValim);
  EXPECT_TRUE(ports.events.empty());
}

TEST_F(ReaderConfigTest, TheInformationButtonExplainsTheAccessTime) {
  dialogs->AnswerNextMessage(kIdOk);
  config->BoutonInfoTA->click();
  ASSERT_EQ(dialogs->prompts().size(), 1u);
  const Prompt& message = dialogs->prompts()[0];
  EXPECT_EQ(message.caption, QString::fromUtf8(" Temps d'accès de la mémoire :"));
  EXPECT_EQ(message.flags, kMbOk | kMbIconInformation);
  EXPECT_EQ(message.text,
            QString::fromUtf8(
                "Les chronogrammes d'accès à la mémoire imposent de respecter une durée minimale "
                "de largeur des impulsions ; le réglage proposé permet de ralentir la vitesse des "
                "échanges, ce qui peut s'avérer utile avec les PC rapides ; l'idéal consiste à "
                "trouver la valeur minimale pour laquelle le fonctionnement reste à la fois "
                "parfait (pas d'erreur de lecture ou d'écriture) et rapide. La valeur par défaut "
                "est '0' ; augmentez-là si vous rencontrez ce genre de problème. "));
}

TEST_F(ReaderConfigTest, ClosingTheWindowKeepsEveryChange) {
  Output(2)->click();
  config->CBcompSDAout->click();
  config->close();
  EXPECT_FALSE(config->isVisible());
  EXPECT_EQ(form->lineMap.outputArrangement, 2);
  EXPECT_TRUE(form->lineMap.complementSdaOut);
  dialogs->AcceptNextModal();
  Trigger("TypeLecteur");
  EXPECT_TRUE(Output(2)->isChecked());
  EXPECT_TRUE(config->CBcompSDAout->isChecked());
  config->BoutonRetourConfig->click();
  EXPECT_FALSE(config->isVisible());
}

// The simulated in-situ module inverts SCL and SDA both ways, as its transistors do: the
// in-situ preset reads and programs it, the standard one cannot, and says so.
class InSituReaderTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    Start([this](int number) -> std::unique_ptr<ControlPort> {
      if (number != 1) return nullptr;
      std::string error;
      auto port = sim::OpenSimulatedPort("sim:24C02,wiring=insitu", error);
      EXPECT_NE(port, nullptr) << error;
      reader = port.get();
      return port;
    });
    Trigger("Option24C02");
    Trigger("OptionCOM1");
    ASSERT_EQ(form->portNumber, 1);
    config = &program->form6();
  }
  std::vector<uint8_t> Memory() {
    const auto cells = reader->memory();
    return {cells.begin(), cells.end()};
  }
  std::vector<uint8_t> Buffer256() { return {form->buffer.begin(), form->buffer.begin() + 256}; }
  // Runs a memory command that ends with a message box, and returns that box.
  Prompt Run(const char* action) {
    dialogs->AnswerNextMessage(kIdOk);
    const size_t before = dialogs->prompts().size();
    Trigger(action);
    EXPECT_EQ(dialogs->prompts().size(), before + 1) << action;
    return dialogs->prompts().empty() ? Prompt{} : dialogs->prompts().back();
  }

  sim::SimulatedReader* reader = nullptr;
  TForm6* config = nullptr;
};

TEST_F(InSituReaderTest, TheInSituPresetReadsAndProgramsTheModule) {
  config->BoutonConfigISP->click();
  for (size_t i = 0; i < 256; ++i)
    reader->memory()[i] = static_cast<uint8_t>(i * 13 + 5);
  Trigger("OptionLire");  // a read that succeeds shows no box
  EXPECT_TRUE(dialogs->prompts().empty());
  EXPECT_EQ(Buffer256(), Memory());

  Trigger("OptionBufferDecremente");
  EXPECT_EQ(Run("OptionProgramMem").text,
            QString::fromUtf8("La programmation s'est correctement déroulée..."));
  EXPECT_EQ(Memory(), Buffer256());
  EXPECT_EQ(Memory()[0], 0xFF);
}

TEST_F(InSituReaderTest, TheStandardPresetFailsOnTheModuleAndClaimsNothing) {
  config->BoutonInitConfig->click();
  for (size_t i = 0; i < 256; ++i)
    reader->memory()[i] = static_cast<uint8_t>(i ^ 0x5A);
  const std::vector<uint8_t> contents = Memory();
  const std::vector<uint8_t> buffer = Buffer256();
  EXPECT_EQ(Run("OptionLire").caption, QStringLiteral("Attention, erreur de lecture !"));
  EXPECT_EQ(Buffer256(), buffer);

  Trigger("OptionBuffer00");
  EXPECT_NE(Run("OptionProgramMem").text,
            QString::fromUtf8("La programmation s'est correctement déroulée..."));
  EXPECT_EQ(Memory(), contents);
}

}  // namespace
}  // namespace keldar::ui::testing
