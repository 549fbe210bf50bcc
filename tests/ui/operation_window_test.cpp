// The window while an operation runs on its worker thread: the event loop goes on, every command
// that could touch the session waits, the stop button and Échap stop at a safe point, and closing
// asks first.
#include <QPushButton>
#include <QSemaphore>
#include <QSettings>

#include "settings/settings_access.h"
#include "sim_window_fixture.h"

namespace keldar::ui::testing {
namespace {

const QString kReadStopped =
    QString::fromUtf8("Lecture interrompue : le buffer n'a pas été modifié.");

class OperationWindowTest : public SimWindowTest {
 protected:
  // Once the reader has made `calls` more calls, runs `onWindow` on the window's thread and lets
  // the operation go on only after it: a click or a key lands at a chosen point of the bus.
  void AtCall(uint64_t calls, std::function<void()> onWindow) {
    const uint64_t call = reader->calls() + calls;
    AfterEachCall([this, call, onWindow, done = false]() mutable {
      if (done || reader->calls() < call) return;
      done = true;
      QSemaphore handled;
      QMetaObject::invokeMethod(
          form,
          [&] {
            onWindow();
            handled.release();
          },
          Qt::QueuedConnection);
      handled.acquire();
    });
  }
  // How many bytes the memory holds from the buffer, in whole pages; the rest must hold what it
  // held before.
  uint32_t ExpectWholePages(uint32_t page, const std::vector<uint8_t>& before) {
    const std::vector<uint8_t> cells = Memory();
    uint32_t written = 0;
    while (written < cells.size() && cells[written] == form->buffer[written])
      ++written;
    written -= written % page;  // the next page's first data may equal what was there by chance
    EXPECT_TRUE(std::equal(cells.begin() + written, cells.end(), before.begin() + written));
    return written;
  }
  // The commands an operation must keep the user from, as they stand now.
  std::vector<bool> CommandStates() {
    std::vector<bool> states;
    for (const char* name :
         {"OptionOuvrirFichier", "OptionSauverFichier", "OptionLire", "OptionProgramOctet",
          "OptionProgramMem", "Comparer1", "OptionBuffer00", "OptionBufferRandom",
          "OptionBufferOctet", "Option24C16", "OptionModePageOui", "MenuAdrBase3", "OptionCOM2",
          "OptionNoCOM", "Testduportserie", "TypeLecteur", "MenuPurgerRegistre"}) {
      states.push_back(Action(name)->isEnabled());
    }
    for (QWidget* widget : std::initializer_list<QWidget*>{
             form->BoutonOuvrir, form->BoutonSauver, form->BoutonLire, form->BoutonProgMem,
             form->BoutonBuffer1, form->BoutonBuffer8, form->ComboBox, form->Edit1, form->Edit2}) {
      states.push_back(widget->isEnabled());
    }
    return states;
  }
};

TEST_F(OperationWindowTest, TheWindowLivesWhileAnOperationRunsAndTheCommandsWait) {
  // About 0.3 s of real time for a whole read.
  Fit("sim:24C02,cycle=0,cost=40000,pace=real");
  Choose(2);
  const std::vector<bool> idle = CommandStates();
  for (uint8_t& cell : reader->memory())
    cell = 0x5A;
  struct {
    bool fired = false;
    bool running = false;
    std::vector<bool> commands;
    bool quitAvailable = false;
    bool stopShown = false;
    int paintsWhileRunning = 0;
  } seen;
  struct Paints : QObject {
    std::function<void()> onPaint;
    bool eventFilter(QObject*, QEvent* event) override {
      if (event->type() == QEvent::Paint && onPaint) onPaint();
      return false;
    }
  } paints;
  paints.onPaint = [&] { seen.paintsWhileRunning += form->OperationRunning() ? 1 : 0; };
  form->StringGrid1->viewport()->installEventFilter(&paints);
  QTimer::singleShot(50, form, [&] {
    seen.fired = true;
    seen.running = form->OperationRunning();
    seen.commands = CommandStates();
    seen.quitAvailable = Action("OptionQuitter")->isEnabled() && form->BitBtn1->isEnabled();
    seen.stopShown = form->BoutonArreter->isVisible() && form->BoutonArreter->isEnabled();
    form->StringGrid1->viewport()->update();
    form->StringGrid1->setFocus();
    Type(QStringLiteral("1"));  // a byte typed in the grid meanwhile changes nothing
  });
  ReadWithoutMessage();
  ASSERT_TRUE(seen.fired) << "the timer never fired during the read";
  EXPECT_TRUE(seen.running);
  EXPECT_GT(seen.paintsWhileRunning, 0);
  EXPECT_EQ(seen.commands, std::vector<bool>(idle.size(), false));
  EXPECT_TRUE(seen.quitAvailable);
  EXPECT_TRUE(seen.stopShown);
  EXPECT_EQ(CommandStates(), idle);
  EXPECT_FALSE(form->BoutonArreter->isVisible());
  EXPECT_EQ(form->buffer[0], 0x5A) << "the read still lands in the buffer";
  ExpectIdle();
}

TEST_F(OperationWindowTest, AReadStoppedByTheButtonLeavesTheBufferAndSaysSo) {
  Fit("sim:24C16");
  Choose(5);
  const Buffer before = form->buffer;
  AtCall(20'000, [this] { form->BoutonArreter->click(); });
  const Prompt box = Run("OptionLire");
  EXPECT_EQ(box.text, kReadStopped);
  EXPECT_EQ(box.caption, QString::fromUtf8("Lecture de la mémoire :"));
  EXPECT_EQ(form->buffer, before);
  ExpectIdle();
}

TEST_F(OperationWindowTest, AProgrammingStoppedByEscapeLeavesWholePagesAndNamesTheLastAddress) {
  Fit("sim:24C16");
  Choose(5);
  FillBuffer(2048, 3);
  const std::vector<uint8_t> blank = Memory();
  QString stopCaption;
  AtCall(30'000, [&] {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    stopCaption = form->BoutonArreter->text();
  });
  const Prompt box = Run("OptionProgramMem");
  EXPECT_EQ(stopCaption, QString::fromUtf8("Arrêt après l'écriture en cours..."));
  const uint32_t written = ExpectWholePages(16, blank);
  ASSERT_GT(written, 0u);
  EXPECT_EQ(box.text, QString::fromUtf8("Programmation interrompue : les octets $0000 à ") +
                          QString::asprintf("$%04X", written - 1) +
                          QString::fromUtf8(" sont programmés, le reste de la mémoire n'a pas "
                                            "été modifié."));
  ExpectIdle();
}

TEST_F(OperationWindowTest, ClosingDuringAnOperationAsksThenStopsItAndSavesTheSettings) {
  Fit("sim:24C16");
  Choose(5);
  FillBuffer(2048, 4);
  // "No": the programming goes on to its end and reports it.
  dialogs->AnswerNextMessage(kIdNo);
  dialogs->AnswerNextMessage(kIdOk);
  AtCall(30'000, [this] { form->close(); });
  Trigger("OptionProgramMem");
  ASSERT_GE(dialogs->prompts().size(), 2u);
  const Prompt question = dialogs->prompts()[dialogs->prompts().size() - 2];
  EXPECT_EQ(question.caption, QString::fromUtf8(" Quitter le programme..."));
  EXPECT_EQ(question.flags, kMbYesNo | kMbIconQuestion);
  EXPECT_EQ(dialogs->prompts().back().text,
            QString::fromUtf8("La programmation s'est correctement déroulée..."));
  ASSERT_TRUE(form->isVisible());

  // "Yes": stopped at its safe point, no report, the window closes and the settings are written.
  const std::vector<uint8_t> programmed = Memory();
  FillBuffer(2048, 5);
  dialogs->AnswerNextMessage(kIdYes);
  AtCall(30'000, [this] { form->close(); });
  const size_t prompts = dialogs->prompts().size();
  Trigger("OptionProgramMem");
  QTest::qWait(50);  // the close follows the handler
  EXPECT_EQ(dialogs->prompts().size(), prompts + 1) << "the question only";
  EXPECT_FALSE(form->isVisible());
  EXPECT_FALSE(reader->valim());
  EXPECT_EQ(QSettings(QSettings::NativeFormat, QSettings::UserScope, kOrganisation, kApplication)
                .value(QStringLiteral("Type_Memoire"))
                .toString(),
            QStringLiteral("5"));
  EXPECT_GT(ExpectWholePages(16, programmed), 0u);
}

}  // namespace
}  // namespace keldar::ui::testing
