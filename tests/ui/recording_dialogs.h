// The user dialogs of a test: every prompt is recorded, and each is answered from the test's
// script. A prompt with no scripted answer fails the test and gets the harmless answer
// (Cancel, no file) instead of blocking.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

#include <QString>

#include "ui/user_dialogs.h"

namespace keldar::ui::testing {

struct Prompt {
  enum class Kind { Message, OpenFile, SaveFile, Beep, Modal };
  Kind kind;
  QString text;        // message text; file dialogs: the proposed name; modal: the window's name
  QString caption;     // message title; file dialogs: the filter
  uint32_t flags = 0;  // message flags; file dialogs: the filter index; beep: its type
};

class RecordingDialogs : public UserDialogs {
 public:
  void AnswerNextMessage(int answer) { messageAnswers_.push_back(answer); }
  void AnswerNextOpenFile(std::optional<FileDialogAnswer> answer) {
    openAnswers_.push_back(std::move(answer));
  }
  void AnswerNextSaveFile(std::optional<FileDialogAnswer> answer) {
    saveAnswers_.push_back(std::move(answer));
  }
  // The next modal window is recorded as shown and closed at once.
  void AcceptNextModal() { ++modalAnswers_; }

  const std::vector<Prompt>& prompts() const { return prompts_; }
  void Clear() { prompts_.clear(); }

  int ShowMessage(const QString& text, const QString& caption, uint32_t flags) override;
  std::optional<FileDialogAnswer> ChooseOpenFile(const FileDialogRequest& request) override;
  std::optional<FileDialogAnswer> ChooseSaveFile(const FileDialogRequest& request) override;
  void Beep(uint32_t type) override;
  void ShowModal(QDialog& window) override;

 private:
  std::vector<Prompt> prompts_;
  std::deque<int> messageAnswers_;
  std::deque<std::optional<FileDialogAnswer>> openAnswers_;
  std::deque<std::optional<FileDialogAnswer>> saveAnswers_;
  int modalAnswers_ = 0;
};

}  // namespace keldar::ui::testing
