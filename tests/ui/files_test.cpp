// Loading and saving the buffer through the file dialogs, answered with paths in a temporary
// folder: the filter decides the format, the messages, the caption and the remembered name and
// filter.
#include <algorithm>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QToolButton>

#include "main_window_fixture.h"
#include "ui/grid/byte_texts.h"

namespace keldar::ui::testing {
namespace {

const QString kFilter = QString::fromUtf8(
    "fichier binaire BIN (*.bin)|*.bin|tout fichier binaire (*.*)|*.*|fichier Intel HEXA "
    "(*.hex)|*.hex|tout fichier au format Intel HEXA (*.*)|*.*");
const QString kCaptionPrefix =
    QString::fromUtf8(" Programmateur d'eeproms I2C sur port série : fichier ");
const QString kEmptyFileText = QStringLiteral("Le fichier ne contient aucun octet ! ");
const QString kSaveFailedText = QString::fromUtf8("L'enregistrement n'a pas pu être effectué");

enum Filter { kBinBin = 1, kBinAny = 2, kHexHex = 3, kHexAny = 4 };

// A content unlike the start-up $FF and unlike another salt's.
QByteArray Pattern(qsizetype size, int salt) {
  QByteArray bytes(size, '\0');
  for (qsizetype i = 0; i < size; ++i)
    bytes[i] = static_cast<char>((i * 13 + salt + (i >> 8)));
  return bytes;
}

class FilesTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    ASSERT_TRUE(folder.isValid());
  }

  QString PathOf(const QString& name) const { return folder.filePath(name); }
  QString Write(const QString& name, const QByteArray& content) {
    QFile file(PathOf(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    EXPECT_EQ(file.write(content), content.size());
    return file.fileName();
  }
  QByteArray Read(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
  }

  // Runs the load command with the dialog answered; a message, when expected, is answered OK.
  void Open(const QString& path, int filter, bool message, const char* source = nullptr) {
    dialogs->Clear();
    dialogs->AnswerNextOpenFile(FileDialogAnswer{path, filter});
    if (message) dialogs->AnswerNextMessage(kIdOk);
    if (source != nullptr) {
      Find<QToolButton>(source)->click();
    } else {
      Trigger("OptionOuvrirFichier");
    }
    ExpectClosed(message);
  }
  void Save(const QString& path, int filter, bool message, const char* source = nullptr) {
    dialogs->Clear();
    dialogs->AnswerNextSaveFile(FileDialogAnswer{path, filter});
    if (message) dialogs->AnswerNextMessage(kIdOk);
    if (source != nullptr) {
      Find<QToolButton>(source)->click();
    } else {
      Trigger("OptionSauverFichier");
    }
    ExpectClosed(message);
  }
  void ExpectClosed(bool message) {
    ASSERT_EQ(dialogs->prompts().size(), message ? 2u : 1u);
    EXPECT_TRUE(form->StaticTextInfo->text().isEmpty());
    EXPECT_EQ(form->StaticTextInfo->palette().color(QPalette::Window),
              form->StaticTextInfo->palette().color(QPalette::Button));
    EXPECT_EQ(QApplication::focusWidget(), form->StringGrid1);
  }
  const Prompt& Dialog() const { return dialogs->prompts().front(); }
  const Prompt& Message() const { return dialogs->prompts().back(); }

  QString HexCell(uint32_t address) {
    return form->StringGrid1->model()
        ->index(static_cast<int>(address / 16), 1 + static_cast<int>(address % 16))
        .data()
        .toString();
  }
  void SeedBuffer() {
    const QByteArray seed = Pattern(kBufferBytes, 5);
    std::copy(seed.begin(), seed.end(), form->buffer.begin());
    form->RefreshGrid(form->buffer, form->currentMemory.capacity);
  }

  QTemporaryDir folder;
};

TEST_F(FilesTest, FirstRunBothDialogsProposeBinWithTheFirstFilterAndCancelChangesNothing) {
  const Buffer before = form->buffer;
  dialogs->AnswerNextOpenFile(std::nullopt);
  Trigger("OptionOuvrirFichier");
  ExpectClosed(false);
  EXPECT_EQ(Dialog().kind, Prompt::Kind::OpenFile);
  EXPECT_EQ(Dialog().text, QStringLiteral("*.bin"));
  EXPECT_EQ(Dialog().caption, kFilter);
  EXPECT_EQ(Dialog().flags, 1u);

  dialogs->Clear();
  dialogs->AnswerNextSaveFile(std::nullopt);
  Find<QToolButton>("BoutonSauver")->click();
  ExpectClosed(false);
  EXPECT_EQ(Dialog().kind, Prompt::Kind::SaveFile);
  EXPECT_EQ(Dialog().text, QStringLiteral("*.bin"));
  EXPECT_EQ(Dialog().caption, kFilter);
  EXPECT_EQ(Dialog().flags, 1u);

  EXPECT_EQ(form->windowTitle(), kMainCaption);
  EXPECT_EQ(form->FileName(), QStringLiteral("*.bin"));
  EXPECT_EQ(form->buffer, before);
  EXPECT_TRUE(QDir(folder.path()).isEmpty());
}

TEST_F(FilesTest, ABinaryLoadFillsTheBufferFromZeroAndNamesTheFileInTheCaption) {
  SeedBuffer();
  const Buffer before = form->buffer;
  const QByteArray content = Pattern(1024, 77);
  const QString path = Write(QStringLiteral("dump.bin"), content);
  Open(path, kBinBin, true, "BoutonOuvrir");

  EXPECT_EQ(Message().kind, Prompt::Kind::Message);
  EXPECT_EQ(Message().caption, QStringLiteral("Ouverture du fichier :"));
  EXPECT_EQ(Message().flags, static_cast<uint32_t>(kMbOk));
  EXPECT_EQ(Message().text,
            QString::fromUtf8("1024 octets lus.\nLe buffer va être actualisé de l'adresse $0000 "
                              "à $03FF.\nAvec cette mémoire de 2048 octets, les adresses\n"
                              "accessibles vont de $0000 à $07FF..."));
  EXPECT_TRUE(std::equal(content.begin(), content.end(), form->buffer.begin(),
                         [](char a, uint8_t b) { return static_cast<uint8_t>(a) == b; }));
  EXPECT_TRUE(std::equal(before.begin() + 1024, before.end(), form->buffer.begin() + 1024));
  EXPECT_EQ(HexCell(0x3FF), HexText(static_cast<uint8_t>(content[0x3FF])));
  EXPECT_EQ(HexCell(0x400), HexText(before[0x400]));
  EXPECT_EQ(form->windowTitle(), kCaptionPrefix + QStringLiteral("dump.bin"));
  EXPECT_EQ(form->FileName(), path);
}

TEST_F(FilesTest, ABinaryFileLongerThan256KiBFillsTheWholeBufferAboveTheCapacityToo) {
  const QByteArray content = Pattern(300000, 3);
  Open(Write(QStringLiteral("big.bin"), content), kBinAny, true);
  EXPECT_EQ(Message().text,
            QString::fromUtf8("262144 octets lus.\nLe buffer va être actualisé de l'adresse $0000 "
                              "à $3FFFF.\nAvec cette mémoire de 2048 octets, les adresses\n"
                              "accessibles vont de $0000 à $07FF..."));
  EXPECT_TRUE(std::equal(form->buffer.begin(), form->buffer.end(), content.begin(),
                         [](uint8_t a, char b) { return a == static_cast<uint8_t>(b); }));
  EXPECT_EQ(form->StringGrid1->model()->rowCount(), 128);
  Trigger("Option24M02");
  EXPECT_EQ(HexCell(0x3FFFF), HexText(static_cast<uint8_t>(content[0x3FFFF])));
}

TEST_F(FilesTest, AnEmptyOrMissingFileLoadsNothingAndKeepsTheCaption) {
  SeedBuffer();
  const Buffer before = form->buffer;
  // Intel HEX files without a data byte are told the same way: nothing, an end record only, a
  // start address and a record type the reader does not know.
  const std::pair<QString, int> files[] = {
      {Write(QStringLiteral("empty.bin"), {}), kBinBin},
      {PathOf(QStringLiteral("gone.bin")), kBinBin},
      {Write(QStringLiteral("empty.hex"), {}), kHexHex},
      {Write(QStringLiteral("end.hex"), ":00000001FF\n"), kHexAny},
      {Write(QStringLiteral("start.hex"), ":0400000500001234B1\n:00000001FF\n"), kHexHex},
      {Write(QStringLiteral("unknown.hex"), ":00000006FA\n"), kHexHex},
  };
  for (const auto& [path, filter] : files) {
    Open(path, filter, true);
    // A file that could not be read says why in a second paragraph.
    EXPECT_EQ(Message().text.section(QStringLiteral("\n\n"), 0, 0), kEmptyFileText);
    EXPECT_EQ(Message().caption, QStringLiteral("Erreur d'ouverture..."));
    EXPECT_EQ(Message().flags, static_cast<uint32_t>(kMbOk));
    EXPECT_EQ(form->windowTitle(), kMainCaption);
    EXPECT_EQ(form->buffer, before);
    // Remembered all the same: the next dialog offers it.
    EXPECT_EQ(form->FileName(), path);
  }
}

TEST_F(FilesTest, TheFilterDecidesTheFormatWhateverTheExtension) {
  Open(Write(QStringLiteral("image.txt"), ":0300300002337A1E\n:00000001FF\n"), kHexAny, false);
  EXPECT_EQ(form->buffer[0x30], 0x02);
  EXPECT_EQ(form->buffer[0x31], 0x33);
  EXPECT_EQ(form->buffer[0x32], 0x7A);
  EXPECT_EQ(form->buffer[0x2F], 0xFF);
  EXPECT_EQ(form->buffer[0x33], 0xFF);
  EXPECT_EQ(HexCell(0x31), QStringLiteral("33"));
  EXPECT_EQ(form->windowTitle(), kCaptionPrefix + QStringLiteral("image.txt"));

  // The same text under a binary filter is loaded byte for byte, even named .hex.
  const QByteArray text(":0300300002337A1E\n");
  Open(Write(QStringLiteral("text.hex"), text), kBinBin, true);
  EXPECT_EQ(form->buffer[0], ':');
  EXPECT_EQ(form->buffer[1], '0');
  EXPECT_EQ(form->buffer[17], '\n');
  EXPECT_EQ(form->windowTitle(), kCaptionPrefix + QStringLiteral("text.hex"));
}

TEST_F(FilesTest, AFaultyIntelHexFileKeepsTheRecordsBeforeTheFaultAndNamesTheFile) {
  Open(Write(QStringLiteral("faulty.hex"), ":0300300002337A1E\r\n:0300400002337A00\r\n"), kHexHex,
       true);
  EXPECT_EQ(Message().text,
            QString::fromUtf8("Erreur : mauvaise valeur de la somme de contrôle !"));
  EXPECT_EQ(Message().caption, QStringLiteral("Attention..."));
  EXPECT_EQ(Message().flags, static_cast<uint32_t>(kMbOk | kMbIconExclamation));
  EXPECT_EQ(form->buffer[0x30], 0x02);
  EXPECT_EQ(form->buffer[0x40], 0xFF);  // decoded but not copied
  EXPECT_EQ(HexCell(0x32), QStringLiteral("7A"));
  EXPECT_EQ(form->windowTitle(), kCaptionPrefix + QStringLiteral("faulty.hex"));
}

TEST_F(FilesTest, AMissingIntelHexFileIsReportedAndTheCaptionStays) {
  const QString path = PathOf(QStringLiteral("vanished.hex"));
  Open(path, kHexHex, true);
  EXPECT_EQ(Message().text, QStringLiteral("Le fichier ") + QDir::toNativeSeparators(path) +
                                QStringLiteral(" est introuvable !"));
  EXPECT_EQ(Message().caption, QStringLiteral("Attention..."));
  EXPECT_EQ(Message().flags, static_cast<uint32_t>(kMbOk | kMbIconExclamation));
  EXPECT_EQ(form->windowTitle(), kMainCaption);
  EXPECT_EQ(form->FileName(), path);
}

TEST_F(FilesTest, SavingWithTheThirdFilterWritesIntelHexUnderTheNameAsGiven) {
  Trigger("OptionBufferIncremente");
  const QString path = PathOf(QStringLiteral("dump"));
  Save(path, kHexHex, false, "BoutonSauver");
  EXPECT_FALSE(QFile::exists(path + QStringLiteral(".hex")));
  const QList<QByteArray> lines = Read(path).split('\n');
  ASSERT_EQ(lines.size(), 2048 / 16 + 2);  // the records, the end record, then nothing
  EXPECT_EQ(lines[1], QByteArray(":10001000101112131415161718191A1B1C1D1E1F68\r"));
  EXPECT_EQ(lines[127], QByteArray(":1007F000F0F1F2F3F4F5F6F7F8F9FAFBFCFDFEFF81\r"));
  EXPECT_EQ(lines[128], QByteArray(":00000001FF\r"));
  EXPECT_TRUE(lines[129].isEmpty());
  EXPECT_EQ(form->windowTitle(), kCaptionPrefix + QStringLiteral("dump"));
  EXPECT_EQ(form->FileName(), path);
}

TEST_F(FilesTest, A24C00SaveWritesItsSixteenBytesOnly) {
  SeedBuffer();
  Trigger("Option24C00");
  const QString binary = PathOf(QStringLiteral("small.bin"));
  Save(binary, kBinBin, false);
  const QByteArray saved = Read(binary);
  ASSERT_EQ(saved.size(), 16);
  for (int i = 0; i < 16; ++i)
    EXPECT_EQ(static_cast<uint8_t>(saved[i]), form->buffer[i]) << i;

  Trigger("OptionBufferFF");
  const QString hex = PathOf(QStringLiteral("small.hex"));
  Save(hex, kHexHex, false);
  EXPECT_EQ(Read(hex),
            QByteArray(":10000000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF00\r\n:00000001FF\r\n"));
  EXPECT_EQ(form->windowTitle(), kCaptionPrefix + QStringLiteral("small.hex"));
}

TEST_F(FilesTest, AFailedSaveIsReportedAndKeepsTheOldFileAndTheCaption) {
  const QString kept = PathOf(QStringLiteral("kept.bin"));
  Save(kept, kBinBin, false);
  const QString caption = form->windowTitle();
  ASSERT_EQ(caption, kCaptionPrefix + QStringLiteral("kept.bin"));

  const QString nowhere = PathOf(QStringLiteral("no-such-folder/dump.bin"));
  const QString readOnly = Write(QStringLiteral("locked.hex"), "old content");
  ASSERT_TRUE(QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadGroup));
  Trigger("OptionBufferIncremente");
  for (const auto& [path, filter] : {std::pair{nowhere, kBinBin}, std::pair{readOnly, kHexAny}}) {
    Save(path, filter, true);
    EXPECT_TRUE(Message().text.startsWith(kSaveFailedText + QStringLiteral("\n\n")));
    EXPECT_EQ(Message().caption, QStringLiteral("Erreur d'enregistrement..."));
    EXPECT_EQ(Message().flags, static_cast<uint32_t>(kMbOk));
    EXPECT_EQ(form->windowTitle(), caption);
    EXPECT_EQ(form->FileName(), path);
  }
  EXPECT_FALSE(QFile::exists(nowhere));
  EXPECT_EQ(Read(readOnly), QByteArray("old content"));
  // No temporary file is left behind.
  EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
  EXPECT_EQ(Read(kept), QByteArray(2048, '\xFF'));
}

TEST_F(FilesTest, TheLastNameAndFilterAreOfferedByBothDialogs) {
  const QString hex = Write(QStringLiteral("image.hex"), ":0300300002337A1E\n:00000001FF\n");
  Open(hex, kHexHex, false);
  Save(PathOf(QStringLiteral("copy.bin")), kBinAny, false);
  EXPECT_EQ(Dialog().kind, Prompt::Kind::SaveFile);
  EXPECT_EQ(Dialog().text, hex);
  EXPECT_EQ(Dialog().flags, static_cast<uint32_t>(kHexHex));
  EXPECT_EQ(form->SaveDialog1.filterIndex, kBinAny);

  Open(PathOf(QStringLiteral("copy.bin")), kBinBin, true);
  EXPECT_EQ(Dialog().kind, Prompt::Kind::OpenFile);
  EXPECT_EQ(Dialog().text, PathOf(QStringLiteral("copy.bin")));
  EXPECT_EQ(Dialog().flags, static_cast<uint32_t>(kBinAny));
  EXPECT_EQ(form->SaveDialog1.filterIndex, kBinBin);
}

TEST_F(FilesTest, TheCaptionShowsTheTextAfterTheLastBackslashOrSlash) {
  // A backslash is an ordinary character in a Linux file name: the caption still cuts there.
  if (QDir::separator() == QLatin1Char('\\')) GTEST_SKIP() << "not a file name on Windows";
  const QString path = Write(QString::fromUtf8("C:\\données\\dump été.bin"), "x");
  Open(path, kBinBin, true);
  EXPECT_EQ(form->windowTitle(), kCaptionPrefix + QString::fromUtf8("dump été.bin"));
  EXPECT_EQ(form->buffer[0], 'x');

  // Saved and loaded under its accented name, through the folder's "/".
  const QString saved = PathOf(QString::fromUtf8("copie é.hex"));
  Save(saved, kHexHex, false);
  EXPECT_TRUE(QFile::exists(saved));
  EXPECT_EQ(form->windowTitle(), kCaptionPrefix + QString::fromUtf8("copie é.hex"));
}

}  // namespace
}  // namespace keldar::ui::testing
