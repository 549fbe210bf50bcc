// Read, program and compare from the main window against simulated readers: what reaches the
// memory and the buffer, the progress bar, the status line and the message boxes.
#include <algorithm>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include <QAbstractItemModel>

#include "sim_window_fixture.h"

namespace keldar::ui::testing {
namespace {

const QString kProgramSucceeded =
    QString::fromUtf8("La programmation s'est correctement déroulée...");
const QString kProgramImpossible = QString::fromUtf8(
    "Programmation impossible ou erronée: \nla mémoire EEPROM est absente, défectueuse ou mal "
    "insérée...\n\nSi le problème surgit en cours de programmation, vérifiez que\nle type de "
    "mémoire sélectionné correspond bien à l'EEPROM\nprésente physiquement...");
const QString kProgramInterrupted = QString::fromUtf8(
    "Programmation interrompue : \nproblème de communication avec la mémoire EEPROM...");
const QString kProgramMemoryTitle = QString::fromUtf8("Programmation de la mémoire :");
const QString kProgramByteTitle = QString::fromUtf8("Programmation d'un octet :");
const QString kReadFailed = QString::fromUtf8(
    "Lecture impossible :\nVérifiez que l'insertion de la mémoire est correcte.\n");
const QString kReadFailedTitle = QString::fromUtf8("Attention, erreur de lecture !");
const QString kCompareTitle = QString::fromUtf8("Comparaison Buffer / Mémoire :");
const QString kCompareSame = QString::fromUtf8("Aucune différence entre le buffer et l'EEPROM...");
const QString kCompareError = QString::fromUtf8("Erreur de communication avec la mémoire...");

QString Differences(int count, int total) {
  return QString::fromUtf8("Attention : %1 octet(s) différent(s) sur un total de %2 !")
      .arg(count)
      .arg(total);
}

std::vector<int> Points(int first, int step, int last) {
  std::vector<int> points;
  for (int value = first; value <= last; value += step)
    points.push_back(value);
  return points;
}

// A programming's bar, then the read back's: back to 0, the read's points (every total / 32
// bytes), then full and idle.
std::vector<int> ThenVerified(std::vector<int> bar, int total) {
  const int step = total >= 32 ? total / 32 : 1;
  bar.push_back(0);
  for (int value = step - 1; value < total; value += step)
    if (value > 0) bar.push_back(value);
  bar.insert(bar.end(), {total, 0});
  return bar;
}

void ExpectBox(const Prompt& box, const QString& text, const QString& title) {
  EXPECT_EQ(box.kind, Prompt::Kind::Message);
  EXPECT_EQ(box.text, text);
  EXPECT_EQ(box.caption, title);
  EXPECT_EQ(box.flags, kMbOk);  // OK, no icon
}

class MemoryOperationsTest : public SimWindowTest {
 protected:
  // Counts the grid's redraws from the buffer.
  int Redraws() {
    auto* model = form->StringGrid1->model();
    if (!resetCounted_) {
      QObject::connect(model, &QAbstractItemModel::modelReset, [this] { ++redraws_; });
      resetCounted_ = true;
    }
    return redraws_;
  }
  // Applies `fault` to the simulated memory once `pages` pages are written, each acknowledged
  // by its first poll (cycle=0), before the next page's start.
  void AfterPages(uint64_t pages, std::function<void(sim::SimFaults&)> fault) {
    AfterEachCall([this, pages, fault, applied = false]() mutable {
      const sim::EepromCounters& seen = reader->counters();
      if (applied || seen.writeCyclesStarted != pages || seen.addressed != 2 * pages) return;
      fault(reader->faults());
      applied = true;
    });
  }

 private:
  bool resetCounted_ = false;
  int redraws_ = 0;
};

// Every type: whole-memory programming in page mode and byte by byte (the three largest types
// are asked for byte mode and must still write pages), a read into a buffer full of other
// bytes, and a compare before and after one byte changes.
class EveryTypeTest : public MemoryOperationsTest, public ::testing::WithParamInterface<int32_t> {};

TEST_P(EveryTypeTest, ProgramReadAndCompareAgreeWithTheMemoryByteForByte) {
  const MemoryType& type = kMemoryTypes[static_cast<size_t>(GetParam())];
  const uint32_t capacity = type.capacity;
  const int total = static_cast<int>(capacity);
  Fit("sim:" + std::string(type.name) + ",cycle=0");
  const auto& cycles = reader->counters().writeCyclesStarted;

  if (type.byteModeAllowed) {
    Choose(type.typeIndex);
    FillBuffer(capacity, 1);
    ExpectBox(Run("OptionProgramMem"), kProgramSucceeded, kProgramMemoryTitle);
    EXPECT_EQ(Memory(), BufferStart(capacity));
    EXPECT_EQ(cycles, capacity / type.pageSize);
    ExpectIdle();

    Trigger("OptionModePageNon");
    FillBuffer(capacity, 2);
    const uint64_t before = cycles;
    dialogs->AnswerNextMessage(kIdOk);
    form->BoutonProgMem->click();
    ExpectBox(dialogs->prompts().back(), kProgramSucceeded, kProgramMemoryTitle);
    EXPECT_EQ(Memory(), BufferStart(capacity));
    EXPECT_EQ(cycles - before, capacity);
  } else {
    // Byte mode chosen on a smaller type, kept while the large one is selected.
    Choose(2);
    Trigger("OptionModePageNon");
    Choose(type.typeIndex);
    ASSERT_FALSE(form->currentMemory.pageMode);
    FillBuffer(capacity, 3);
    ExpectBox(Run("OptionProgramMem"), kProgramSucceeded, kProgramMemoryTitle);
    EXPECT_EQ(Memory(), BufferStart(capacity));
    EXPECT_EQ(cycles, capacity / type.pageSize);
    // The bar stood on each page's start, then followed the read back, then full.
    std::vector<int> expected =
        Points(static_cast<int>(type.pageSize), static_cast<int>(type.pageSize), total - 1);
    EXPECT_EQ(bar, ThenVerified(expected, total));
  }
  ASSERT_EQ(looks.size(), dialogs->prompts().size());
  EXPECT_EQ(looks.back().barValue, total);
  EXPECT_EQ(looks.back().barMaximum, total);
  EXPECT_EQ(looks.back().status, QString::fromUtf8("Programmation terminée"));
  EXPECT_EQ(looks.back().statusBackground, kNavy);
  EXPECT_FALSE(looks.back().powered);
  ExpectIdle();

  // Read over other bytes; what lies above the active window stays as it was.
  const int redraws = Redraws();
  std::fill(form->buffer.begin(), form->buffer.begin() + capacity, uint8_t{0x00});
  std::fill(form->buffer.begin() + capacity, form->buffer.end(), uint8_t{0x5A});
  ReadWithoutMessage();
  EXPECT_EQ(BufferStart(capacity), Memory());
  EXPECT_TRUE(std::all_of(form->buffer.begin() + capacity, form->buffer.end(),
                          [](uint8_t b) { return b == 0x5A; }));
  EXPECT_EQ(Redraws(), redraws + 1);
  const uint8_t selected = form->buffer[form->currentMemory.cursorAddress];
  EXPECT_EQ(form->Edit1->text(), QStringLiteral("%1").arg(selected, 2, 16, QChar('0')).toUpper());
  ExpectIdle();

  dialogs->AnswerNextMessage(kIdOk);
  form->BoutonComparer->click();
  ExpectBox(dialogs->prompts().back(), kCompareSame, kCompareTitle);
  form->buffer[capacity - 1] ^= 0x80;
  ExpectBox(Run("Comparer1"), Differences(1, total), kCompareTitle);
  EXPECT_EQ(looks.back().status, QString::fromUtf8("Comparaison terminée"));
  EXPECT_EQ(looks.back().barValue, total - 1);
  ExpectIdle();
}

INSTANTIATE_TEST_SUITE_P(AllTypes, EveryTypeTest, ::testing::Range(0, 12),
                         [](const ::testing::TestParamInfo<int32_t>& info) {
                           return std::string(kMemoryTypes[static_cast<size_t>(info.param)].name);
                         });

// A 24C08 whose reads wrap at each block reads right; a 24C02 read as a 24C04 is read, with a
// word on its repetition.
TEST_F(MemoryOperationsTest, ABlockWrappingPartReadsRightAndARepeatingReadIsPointedOut) {
  Fit("sim:24C08,rollover=block");
  Choose(4);
  for (uint32_t i = 0; i < 1024; ++i)
    reader->memory()[i] = static_cast<uint8_t>(i * 29 + (i >> 8));
  ReadWithoutMessage();
  EXPECT_EQ(BufferStart(1024), Memory());

  Trigger("OptionNoCOM");
  Fit("sim:24C02");
  Choose(3);
  for (uint32_t i = 0; i < 256; ++i)
    reader->memory()[i] = static_cast<uint8_t>(i * 31 + 1);
  const Prompt note = Run("OptionLire");
  EXPECT_EQ(note.text, QString::fromUtf8("La mémoire lue se répète tous les 256 octets : le type "
                                         "choisi est peut-être plus grand que la mémoire."));
  EXPECT_EQ(note.flags, kMbOk | kMbIconInformation);
  EXPECT_EQ(form->buffer[0x100], form->buffer[0]);
  ExpectIdle();
}

TEST_F(MemoryOperationsTest, EveryOperationShowsItsRunningTextOnANavyLineThenGoesIdle) {
  Fit("sim:24C02,cycle=0");
  Choose(2);
  struct Seen {
    QString text;
    QColor background;
    int maximum;
  };
  std::vector<Seen> seen;
  QObject::connect(form->ProgressBar, &QProgressBar::valueChanged, [this, &seen](int) {
    seen.push_back({form->StaticTextInfo->text(),
                    form->StaticTextInfo->palette().color(QPalette::Window),
                    form->ProgressBar->maximum()});
  });
  const struct {
    const char* action;
    const char* running;
    int maximum;
  } operations[] = {
      {"OptionLire", "Lecture de la mémoire...", 255},
      {"OptionProgramMem", "Programmation en cours", 256},
      {"Comparer1", "Comparaison en cours...", 255},
  };
  for (const auto& operation : operations) {
    form->Edit1->setFocus();
    seen.clear();
    if (std::string(operation.action) == "OptionLire") {
      ReadWithoutMessage();
    } else {
      Run(operation.action);
    }
    ASSERT_FALSE(seen.empty()) << operation.action;
    EXPECT_EQ(seen.front().text, QString::fromUtf8(operation.running)) << operation.action;
    EXPECT_EQ(seen.front().background, kNavy) << operation.action;
    EXPECT_EQ(seen.front().maximum, operation.maximum) << operation.action;
    if (std::string(operation.action) == "OptionProgramMem") {  // then the read back's own
      EXPECT_TRUE(std::any_of(seen.begin(), seen.end(), [](const Seen& look) {
        return look.text == QString::fromUtf8("Vérification en cours...") && look.maximum == 255;
      }));
    }
    ExpectIdle();
  }
}

TEST_F(MemoryOperationsTest, AMemoryThatAcknowledgesButWritesNothingFailsTheReadBack) {
  // Microchip's write protection: every byte acknowledged, no write cycle.
  Fit("sim:24C16,wp=ack");
  Choose(5);
  std::fill(form->buffer.begin(), form->buffer.begin() + 2048, uint8_t{0xFF});
  form->buffer[0x2A0] = 0x00;
  form->buffer[0x7FF] = 0x12;
  ExpectBox(Run("OptionProgramMem"),
            QString::fromUtf8(
                "Programmation erronée : \nla mémoire relue diffère du buffer sur 2 octet(s)\nsur "
                "un total de 2048, le premier à l'adresse $02A0 !\n\nLa mémoire est peut-être "
                "protégée en écriture (broche WP),\nou ses pages sont plus petites que celles du "
                "type choisi :\nessayez alors l'écriture octet par octet..."),
            kProgramMemoryTitle);
  EXPECT_EQ(reader->counters().writesInhibited, 2048u / 16);
  EXPECT_EQ(Memory(), std::vector<uint8_t>(2048, 0xFF));
  ExpectIdle();
}

TEST_F(MemoryOperationsTest, The24C00MovesTheBarAtEveryByteAndProgramsOneBytePages) {
  Fit("sim:24C00,cycle=0");
  Choose(0);
  ExpectBox(Run("Comparer1"), kCompareSame, kCompareTitle);
  std::vector<int> expected = Points(1, 1, 15);
  expected.push_back(0);
  EXPECT_EQ(bar, expected);
  EXPECT_EQ(looks.back().barValue, 15);
  EXPECT_EQ(looks.back().barMaximum, 15);

  FillBuffer(16, 4);
  ExpectBox(Run("OptionProgramMem"), kProgramSucceeded, kProgramMemoryTitle);
  EXPECT_EQ(bar, ThenVerified(Points(1, 1, 15), 16));
  EXPECT_EQ(reader->counters().writeCyclesStarted, 16u);
  EXPECT_EQ(Memory(), BufferStart(16));
}

TEST_F(MemoryOperationsTest, ByteModeOnA24C02MovesTheBarEveryFourthAddress) {
  Fit("sim:24C02,cycle=0");
  Choose(2);
  Trigger("OptionModePageNon");
  FillBuffer(256, 5);
  ExpectBox(Run("OptionProgramMem"), kProgramSucceeded, kProgramMemoryTitle);
  EXPECT_EQ(bar, ThenVerified(Points(3, 4, 255), 256));
  EXPECT_EQ(reader->counters().writeCyclesStarted, 256u);
}

TEST_F(MemoryOperationsTest, A24C02InPlaceOfA24C04KeepsItsFirst256BytesAndIsReportedImpossible) {
  // The 24C02 answers device byte 0xA0 but not 0xA2, which carries address bit 8.
  Fit("sim:24C02,cycle=0");
  Choose(3);
  Trigger("OptionModePageNon");
  FillBuffer(512, 6);
  ExpectBox(Run("OptionProgramMem"), kProgramImpossible, kProgramMemoryTitle);
  EXPECT_EQ(Memory(), BufferStart(256));
  EXPECT_EQ(reader->counters().writeCyclesStarted, 256u);
  EXPECT_EQ(looks.back().barValue, 255);  // the last progress point before address 256
  ExpectIdle();
}

// The tenth page of a 24C32 (address 288) meets a fault; what the box says depends on the byte
// refused.
struct TenthPageCase {
  const char* name;
  std::function<void(sim::SimFaults&)> fault;
  bool impossible;
  // Test names show the case, not the bytes of the function object.
  friend void PrintTo(const TenthPageCase& c, std::ostream* os) { *os << c.name; }
};

class TenthPageTest : public MemoryOperationsTest,
                      public ::testing::WithParamInterface<TenthPageCase> {};

TEST_P(TenthPageTest, StopsThereWithTheBarOnThatPage) {
  Fit("sim:24C32,cycle=0");
  Choose(6);
  const std::vector<uint8_t> before = Memory();
  FillBuffer(4096, 7);
  AfterPages(9, GetParam().fault);
  const Prompt box = Run("OptionProgramMem");
  ExpectBox(box, GetParam().impossible ? kProgramImpossible : kProgramInterrupted,
            kProgramMemoryTitle);
  ASSERT_EQ(looks.size(), 1u);
  EXPECT_EQ(looks[0].barValue, 288);
  EXPECT_FALSE(looks[0].powered);
  const std::vector<uint8_t> after = Memory();
  EXPECT_TRUE(std::equal(after.begin(), after.begin() + 288, form->buffer.begin()));
  EXPECT_TRUE(std::equal(after.begin() + 320, after.end(), before.begin() + 320))
      << "pages after the tenth were written";
  ExpectIdle();
}

INSTANTIATE_TEST_SUITE_P(
    Faults, TenthPageTest,
    ::testing::Values(
        TenthPageCase{"DeviceByte", [](sim::SimFaults& f) { f.refusedByte = 1; }, true},
        TenthPageCase{"HighAddressByte", [](sim::SimFaults& f) { f.refusedByte = 2; }, false},
        TenthPageCase{"LowAddressByte", [](sim::SimFaults& f) { f.refusedByte = 3; }, false},
        TenthPageCase{"DataByte", [](sim::SimFaults& f) { f.refusedAddress = 300; }, false},
        TenthPageCase{"EndlessWriteCycle", [](sim::SimFaults& f) { f.endlessWriteCycle = true; },
                      false}),
    [](const ::testing::TestParamInfo<TenthPageCase>& info) { return info.param.name; });

TEST_F(MemoryOperationsTest, CompareOnA24C08CountsOneThenEveryDifferingByte) {
  Fit("sim:24C08");
  Choose(4);
  FillBuffer(1024, 8);
  std::copy(form->buffer.begin(), form->buffer.begin() + 1024, reader->memory().begin());
  form->buffer[0x155] ^= 0x01;
  ExpectBox(Run("Comparer1"), Differences(1, 1024), kCompareTitle);
  for (uint32_t i = 0; i < 1024; ++i)
    form->buffer[i] = static_cast<uint8_t>(~form->buffer[i]);
  ExpectBox(Run("Comparer1"), Differences(1024, 1024), kCompareTitle);
}

TEST_F(MemoryOperationsTest, ProgrammingTheSelectedByteWritesThatByteAlone) {
  Fit("sim:24C02,cycle=0");
  Choose(2);
  // The cursor to address $1F: fifteen steps right, one line down.
  form->StringGrid1->setFocus();
  for (int i = 0; i < 15; ++i)
    Press(Qt::Key_Right);
  Press(Qt::Key_Down);
  ASSERT_EQ(form->currentMemory.cursorAddress, 0x1Fu);
  FillBuffer(256, 9);
  const std::vector<uint8_t> before = Memory();

  dialogs->AnswerNextMessage(kIdOk);
  form->BoutonProgOctet->click();
  ExpectBox(dialogs->prompts().back(), kProgramSucceeded, kProgramByteTitle);
  std::vector<uint8_t> expected = before;
  expected[0x1F] = form->buffer[0x1F];
  EXPECT_EQ(Memory(), expected);
  EXPECT_EQ(reader->counters().writeCyclesStarted, 1u);
  EXPECT_EQ(looks.back().barValue, 256);
  EXPECT_EQ(looks.back().status, QString::fromUtf8("Programmation terminée"));
  ExpectIdle();
}

TEST_F(MemoryOperationsTest, ACursorOutsideTheCapacityIsNeverReportedAsProgrammed) {
  Fit("sim:24C02,cycle=0");
  Choose(2);
  form->currentMemory.cursorAddress = 0x100;
  const auto starts = reader->counters().starts;
  ExpectBox(Run("OptionProgramOctet"), kProgramInterrupted, kProgramByteTitle);
  EXPECT_EQ(reader->counters().starts, starts);
  EXPECT_EQ(reader->counters().writeCyclesStarted, 0u);
  ExpectIdle();
}

TEST_F(MemoryOperationsTest, AFailedReadLeavesTheBufferAndTheGridAsTheyWere) {
  // The word address is refused: the read ends before its data phase.
  Fit("sim:24C16,nack=2");
  FillBuffer(65536, 10);
  const Buffer before = form->buffer;
  const int redraws = Redraws();
  const QString cell = form->Edit1->text();
  ExpectBox(Run("OptionLire"), kReadFailed, kReadFailedTitle);
  EXPECT_EQ(form->buffer, before);
  EXPECT_EQ(Redraws(), redraws);
  EXPECT_EQ(form->Edit1->text(), cell);
  ExpectIdle();
}

TEST_F(MemoryOperationsTest,
       ALargerTypeSelectedThanFittedIsImpossibleToProgramAndComparesRolledOver) {
  Fit("sim:24C02,cycle=0");
  ASSERT_EQ(form->currentMemory.typeIndex, 5);  // 24C16
  FillBuffer(2048, 11);
  ExpectBox(Run("OptionProgramMem"), kProgramImpossible, kProgramMemoryTitle);
  EXPECT_EQ(looks.back().barValue, 256);  // the first page of block 1
  // Sixteen-byte pages wrapped inside the 24C02's four-byte pages: each kept its last four.
  const std::vector<uint8_t> cells = Memory();
  for (uint32_t a = 0; a < 256; ++a) {
    const uint8_t expected = (a & 15u) < 4 ? form->buffer[(a & ~15u) + 12 + (a & 3u)] : 0xFF;
    ASSERT_EQ(cells[a], expected) << a;
  }

  // The read rolls over inside the 256 bytes fitted: 24C16 address i reads cell i % 256.
  int differing = 0;
  for (uint32_t i = 0; i < 2048; ++i)
    differing += form->buffer[i] != cells[i % 256];
  ASSERT_GT(differing, 0);
  ExpectBox(Run("Comparer1"), Differences(differing, 2048), kCompareTitle);
}

TEST_F(MemoryOperationsTest, NoMemoryFittedFailsEveryOperationAndTouchesNoByte) {
  Fit("sim:24C16,absent");
  FillBuffer(2048, 12);
  const Buffer before = form->buffer;
  ExpectBox(Run("OptionLire"), kReadFailed, kReadFailedTitle);
  ExpectBox(Run("OptionProgramMem"), kProgramImpossible, kProgramMemoryTitle);
  EXPECT_EQ(looks.back().barValue, 0);
  ExpectBox(Run("OptionProgramOctet"), kProgramImpossible, kProgramByteTitle);
  ExpectBox(Run("Comparer1"), kCompareError, kCompareTitle);
  EXPECT_EQ(form->buffer, before);
  ExpectIdle();
}

TEST_F(MemoryOperationsTest, NoReaderFailsTheLineCheckOfEveryOperation) {
  Fit("sim:24C16,noreader");
  FillBuffer(2048, 13);
  const Buffer before = form->buffer;
  ExpectBox(Run("OptionLire"), kReadFailed, kReadFailedTitle);
  ExpectBox(Run("OptionProgramMem"), kProgramInterrupted, kProgramMemoryTitle);
  ExpectBox(Run("OptionProgramOctet"), kProgramInterrupted, kProgramByteTitle);
  ExpectBox(Run("Comparer1"), kCompareError, kCompareTitle);
  EXPECT_EQ(form->buffer, before);
  for (const WindowLook& look : looks) {
    EXPECT_EQ(look.barValue, 0);
    EXPECT_FALSE(look.powered);
  }
  ExpectIdle();
}

// An adapter pulled out mid-operation: every port call from then on fails. The operation ends at
// the next block with its communication failure and claims nothing.
TEST_F(MemoryOperationsTest, AnAdapterPulledOutMidReadLeavesTheBufferIntact) {
  Fit("sim:24C16,pullout=20000");
  FillBuffer(65536, 14);
  const Buffer before = form->buffer;
  const int redraws = Redraws();
  ExpectBox(Run("OptionLire"), kReadFailed, kReadFailedTitle);
  EXPECT_GT(reader->calls(), 20000u);
  EXPECT_EQ(form->buffer, before);
  EXPECT_EQ(Redraws(), redraws);
}

TEST_F(MemoryOperationsTest, AnAdapterPulledOutMidProgramIsReportedInterrupted) {
  Fit("sim:24C16,cycle=0,pullout=40000");
  FillBuffer(2048, 15);
  const Buffer before = form->buffer;
  ExpectBox(Run("OptionProgramMem"), kProgramInterrupted, kProgramMemoryTitle);
  ASSERT_EQ(looks.size(), 1u);
  EXPECT_GT(looks[0].barValue, 0);
  EXPECT_LT(looks[0].barValue, 2048);
  // Some pages were written before the failure, none after it.
  const std::vector<uint8_t> cells = Memory();
  EXPECT_NE(cells, BufferStart(2048));
  EXPECT_TRUE(std::equal(cells.begin(), cells.begin() + 16, form->buffer.begin()));
  EXPECT_EQ(cells[2047], 0xFF);
  EXPECT_EQ(form->buffer, before);
}

TEST_F(MemoryOperationsTest, AnAdapterPulledOutMidCompareIsACommunicationError) {
  // The memory holds the buffer's bytes: a compare that went on would find no difference.
  Fit("sim:24C16,pullout=20000");
  FillBuffer(2048, 16);
  std::copy(form->buffer.begin(), form->buffer.begin() + 2048, reader->memory().begin());
  const Buffer before = form->buffer;
  ExpectBox(Run("Comparer1"), kCompareError, kCompareTitle);
  EXPECT_EQ(form->buffer, before);
}

TEST_F(MemoryOperationsTest, CompareWithoutAScratchAreaOnlyBeeps) {
  Fit("sim:24C16");
  form->allocateScratch = [](uint32_t) { return std::unique_ptr<uint8_t[]>(); };
  form->Edit1->setFocus();
  const uint64_t calls = reader->calls();
  bar.clear();
  Trigger("Comparer1");
  ASSERT_EQ(dialogs->prompts().size(), 1u);
  EXPECT_EQ(dialogs->prompts()[0].kind, Prompt::Kind::Beep);
  EXPECT_EQ(dialogs->prompts()[0].flags, kSimpleBeep);
  EXPECT_EQ(reader->calls(), calls);  // not even powered
  EXPECT_TRUE(bar.empty());
  ExpectIdle();
}

TEST_F(MemoryOperationsTest, IdentifyingOffersTheTypeFoundAndYesSelectsItAsTheMenuDoes) {
  Fit("sim:24C512");
  Choose(2);
  for (size_t i = 0; i < reader->memory().size(); ++i)
    reader->memory()[i] = static_cast<uint8_t>((i * 2654435761u) >> 13);
  dialogs->AnswerNextMessage(kIdYes);
  Trigger("OptionIdentifier");
  ASSERT_EQ(dialogs->prompts().size(), 1u);
  const Prompt& box = dialogs->prompts().back();
  EXPECT_EQ(box.flags, kMbYesNo | kMbIconQuestion);
  EXPECT_TRUE(box.text.endsWith(QString::fromUtf8("Sélectionner le type 24C512 ?")))
      << box.text.toStdString();
  EXPECT_EQ(form->currentMemory.typeIndex, 10);
  EXPECT_TRUE(Action("Option24C512")->isChecked());
  EXPECT_EQ(form->ComboBox->currentIndex(), 10);
  ExpectIdle();
}

}  // namespace
}  // namespace keldar::ui::testing
