// The program's application object: Qt's own texts in French, and an error that no handler
// expected shown in a message box while the program goes on.
#include <new>
#include <stdexcept>

#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "hw/port.h"
#include "program_fixture.h"

namespace keldar::ui::testing {
namespace {

TEST(QtTextsTest, StandardButtonsAndFileDialogsAreFrench) {
  QMessageBox box(QMessageBox::Warning, QString(), QString(),
                  QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Yes | QMessageBox::No);
  EXPECT_EQ(box.button(QMessageBox::Ok)->text(), QStringLiteral("OK"));
  EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), QStringLiteral("Annuler"));
  EXPECT_EQ(box.button(QMessageBox::Yes)->text(), QStringLiteral("&Oui"));
  EXPECT_EQ(box.button(QMessageBox::No)->text(), QStringLiteral("&Non"));
  QFileDialog dialog;
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  const auto* name = dialog.findChild<QLabel*>(QStringLiteral("fileNameLabel"));
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(name->text(), QStringLiteral("&Nom de fichier :"));
}

// A port whose status reads throw once armed, as a broken driver library might.
class ThrowingPort : public JournalPort {
 public:
  using JournalPort::JournalPort;
  bool GetCommModemStatus(uint32_t& status) override {
    if (armed) throw std::runtime_error("lecture impossible du port");
    return JournalPort::GetCommModemStatus(status);
  }
  bool armed = false;
};

class UnexpectedErrorTest : public ProgramTest {};

TEST_F(UnexpectedErrorTest, ACommandThatThrowsIsReportedAndTheWindowAndReaderComeToRest) {
  ThrowingPort* opened = nullptr;
  Start([this, &opened](int number) -> std::unique_ptr<ControlPort> {
    auto port = std::make_unique<ThrowingPort>(ports, number);
    opened = port.get();
    return port;
  });
  Trigger("OptionCOM1");
  ASSERT_NE(opened, nullptr);
  opened->armed = true;
  opened->Clear();
  dialogs->AnswerNextMessage(kIdOk);
  Trigger("OptionLire");

  ASSERT_EQ(dialogs->prompts().size(), 1u);
  EXPECT_EQ(dialogs->prompts()[0].text,
            QStringLiteral("Erreur inattendue : lecture impossible du port"));
  EXPECT_EQ(dialogs->prompts()[0].caption, kApplicationTitle);
  EXPECT_EQ(dialogs->prompts()[0].flags, kMbOk | kMbIconError);
  EXPECT_TRUE(form->StaticTextInfo->text().isEmpty());
  // The reader ends unpowered: Valim, SCL and SDA low, then the settling time.
  const std::vector<int32_t> codes = opened->EscapeCodes();
  ASSERT_GE(codes.size(), 3u);
  EXPECT_EQ(std::vector<int32_t>(codes.end() - 3, codes.end()),
            (std::vector<int32_t>{CLRBREAK, CLRRTS, CLRDTR}));
  EXPECT_EQ(opened->events().back(), (sim::PortEvent{sim::PortEvent::Kind::Sleep, 0, 0, 20}));
  // And the program goes on.
  opened->armed = false;
  dialogs->AnswerNextMessage(kIdOk);
  Trigger("OptionLire");
  EXPECT_EQ(dialogs->prompts().back().caption, QStringLiteral("Attention, erreur de lecture !"));
}

TEST_F(UnexpectedErrorTest, AnEventHandlerThatThrowsIsReportedToo) {
  Start();
  dialogs->AnswerNextMessage(kIdOk);
  QTimer::singleShot(0, form, [] { throw std::bad_alloc(); });
  QTRY_COMPARE(dialogs->prompts().size(), size_t{1});
  EXPECT_EQ(dialogs->prompts()[0].text,
            QString::fromUtf8("Mémoire insuffisante : l'opération n'a pas pu aboutir."));
  EXPECT_TRUE(form->isVisible());
}

}  // namespace
}  // namespace keldar::ui::testing
