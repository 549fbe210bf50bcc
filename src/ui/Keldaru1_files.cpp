// Loading the buffer from a file and saving it. The filter chosen in the dialog decides the format
// (raw binary image or Intel HEX), never the file's extension.
#include "ui/Keldaru1.h"

#include <algorithm>
#include <filesystem>
#include <string_view>

#include <QDir>
#include <QToolButton>

#include "data/binary_image.h"
#include "data/intelhex.h"
#include "messages/file_messages.h"
#include "messages/system_errors.h"
#include "ui/grid/byte_texts.h"
#include "ui/grid/hex_grid_view.h"
#include "ui/status_texts.h"

namespace keldar::ui {
namespace {

// Filter entries 3 and 4 are the Intel HEX ones; 1 and 2 are binary images.
bool IsIntelHexFilter(int filterIndex) {
  return filterIndex == 3 || filterIndex == 4;
}

std::filesystem::path ToPath(const QString& fileName) {
  return std::filesystem::path(fileName.toStdU16String());
}

QString BinaryLoadedText(uint32_t count, uint32_t capacity) {
  return QString::number(count) + QStringLiteral(" octets lus.") +
         QStringLiteral("\nLe buffer va être actualisé de l'adresse $0000 à $") +
         LineAddressText(count - 1) + QStringLiteral(".\nAvec cette mémoire de ") +
         QString::number(capacity) + QStringLiteral(" octets, les adresses") +
         QStringLiteral("\naccessibles vont de $0000 à $") + LineAddressText(capacity - 1) +
         QStringLiteral("...");
}

// The box's text, and in a second paragraph why the file could not be had, when the system said.
QString WithReason(const QString& text, const FileError& error) {
  if (error.problem == FileProblem::None) return text;
  return text + QStringLiteral("\n\n") +
         QString::fromStdString(messages::Sentence(messages::FileErrorText(error)));
}

}  // namespace

void TForm1::OuvrirFichier(QObject* Sender) {
  emit commandStarted(QStringLiteral("OuvrirFichier"), Sender);
  BoutonOuvrir->repaint();
  SetBusyStatus(kFileOpenRunning);
  OpenDialog1.fileName = FileName();
  if (const auto chosen = dialogs_->ChooseOpenFile(OpenDialog1)) {
    // Remembered before the file is touched, so a failed load still names it next time.
    SetFileName(chosen->fileName);
    OpenDialog1.filterIndex = chosen->filterIndex;
    SaveDialog1.filterIndex = chosen->filterIndex;
    const std::filesystem::path path = ToPath(FileName());
    const auto showEmptyFile = [this](const FileError& error) {
      dialogs_->ShowMessage(
          WithReason(QStringLiteral("Le fichier ne contient aucun octet ! "), error),
          QStringLiteral("Erreur d'ouverture..."), kMbOk);
    };

    if (IsIntelHexFilter(chosen->filterIndex)) {
      const IntelHexResult result = ReadIntelHex(path, buffer, kBufferBytes);
      if (!result.opened()) {
        // Nothing was read: the caption keeps naming the previous file. A missing file needs
        // no second word.
        const QString text = QStringLiteral("Le fichier ") + QDir::toNativeSeparators(FileName()) +
                             QStringLiteral(" est introuvable !");
        dialogs_->ShowMessage(
            result.file.problem == FileProblem::Missing ? text : WithReason(text, result.file),
            QStringLiteral("Attention..."), kMbOk | kMbIconExclamation);
      } else if (result.code == IntelHexCode::Ok && !result.copied) {
        // A clean file without a single data byte is as empty as an empty binary image, and is
        // told the same way: the buffer holds nothing of it, so the caption does not name it.
        showEmptyFile({});
      } else {
        UpdateCaption();
        if (result.loadedBytes > 0) RefreshGrid(buffer, currentMemory.capacity);
        if (result.code != IntelHexCode::Ok) {
          const std::string_view message = IntelHexMessage(result.code);
          dialogs_->ShowMessage(
              QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size())),
              QStringLiteral("Attention..."), kMbOk | kMbIconExclamation);
        }
      }
    } else {
      const BinaryLoad load = LoadBinaryImage(path, buffer);
      const uint32_t count = load.count;
      if (count < 1) {
        showEmptyFile(load.error);
      } else {
        UpdateCaption();
        RefreshGrid(buffer, currentMemory.capacity);
        dialogs_->ShowMessage(BinaryLoadedText(count, currentMemory.capacity),
                              QStringLiteral("Ouverture du fichier :"), kMbOk);
      }
    }
  }
  ClearBusyStatus();
  StringGrid1->setFocus();
}

void TForm1::SauverFichier(QObject* Sender) {
  emit commandStarted(QStringLiteral("SauverFichier"), Sender);
  BoutonSauver->repaint();
  SetBusyStatus(kFileSaveRunning);
  SaveDialog1.fileName = FileName();
  if (const auto chosen = dialogs_->ChooseSaveFile(SaveDialog1)) {
    SetFileName(chosen->fileName);
    SaveDialog1.filterIndex = chosen->filterIndex;
    OpenDialog1.filterIndex = chosen->filterIndex;
    const std::filesystem::path path = ToPath(FileName());

    // Both formats write beside the target and replace it only once complete: a failed save
    // leaves the old file as it was.
    const SaveOutcome result =
        IsIntelHexFilter(chosen->filterIndex)
            ? WriteIntelHex(path, buffer, currentMemory.capacity, kIntelHexRecordBytes)
            : SaveBinaryImage(path, buffer, currentMemory.capacity);
    if (result != SaveResult::Ok) {
      dialogs_->ShowMessage(
          WithReason(QStringLiteral("L'enregistrement n'a pas pu être effectué"), result.error),
          QStringLiteral("Erreur d'enregistrement..."), kMbOk);
    } else {
      UpdateCaption();
    }
  }
  ClearBusyStatus();
  StringGrid1->setFocus();
}

void TForm1::UpdateCaption() {
  // The file part follows the last separator; a name that ends with one is shown whole. "/" is
  // a separator too, as Qt's dialogs give paths with it on every platform.
  const QString name = FileName();
  const qsizetype separator =
      std::max(name.lastIndexOf(QLatin1Char('\\')), name.lastIndexOf(QLatin1Char('/')));
  const bool hasFilePart = separator >= 0 && separator < name.size() - 1;
  setWindowTitle(QStringLiteral(" Programmateur d'eeproms I2C sur port série : fichier ") +
                 (hasFilePart ? name.mid(separator + 1) : name));
}

}  // namespace keldar::ui
