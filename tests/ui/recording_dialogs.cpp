#include "recording_dialogs.h"

#include <gtest/gtest.h>
#include <QDialog>

namespace keldar::ui::testing {

int RecordingDialogs::ShowMessage(const QString& text, const QString& caption, uint32_t flags) {
  prompts_.push_back({Prompt::Kind::Message, text, caption, flags});
  if (messageAnswers_.empty()) {
    ADD_FAILURE() << "unexpected message box \"" << caption.toStdString()
                  << "\": " << text.toStdString();
    return kIdCancel;
  }
  const int answer = messageAnswers_.front();
  messageAnswers_.pop_front();
  return answer;
}

std::optional<FileDialogAnswer> RecordingDialogs::ChooseOpenFile(const FileDialogRequest& request) {
  prompts_.push_back({Prompt::Kind::OpenFile, request.fileName, request.filter,
                      static_cast<uint32_t>(request.filterIndex)});
  if (openAnswers_.empty()) {
    ADD_FAILURE() << "unexpected open dialog for " << request.fileName.toStdString();
    return std::nullopt;
  }
  auto answer = openAnswers_.front();
  openAnswers_.pop_front();
  return answer;
}

std::optional<FileDialogAnswer> RecordingDialogs::ChooseSaveFile(const FileDialogRequest& request) {
  prompts_.push_back({Prompt::Kind::SaveFile, request.fileName, request.filter,
                      static_cast<uint32_t>(request.filterIndex)});
  if (saveAnswers_.empty()) {
    ADD_FAILURE() << "unexpected save dialog for " << request.fileName.toStdString();
    return std::nullopt;
  }
  auto answer = saveAnswers_.front();
  saveAnswers_.pop_front();
  return answer;
}

void RecordingDialogs::Beep(uint32_t type) {
  prompts_.push_back({Prompt::Kind::Beep, {}, {}, type});
}

void RecordingDialogs::ShowModal(QDialog& window) {
  prompts_.push_back(
      {Prompt::Kind::Modal, window.objectName(), window.windowTitle(), window.isModal() ? 1u : 0u});
  if (modalAnswers_ == 0) {
    ADD_FAILURE() << "unexpected modal window " << window.objectName().toStdString();
    return;
  }
  --modalAnswers_;
}

}  // namespace keldar::ui::testing
