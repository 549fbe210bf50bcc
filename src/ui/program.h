// The program's start: the application title, then the six windows created once, in order, and
// kept until the end.
#pragma once

#include <memory>

#include "session/session.h"
#include "ui/port_opener.h"
#include "ui/user_dialogs.h"

namespace keldar::ui {

class TForm1;
class TForm2;
class TForm3;
class TForm4;
class TForm5;
class TForm6;

struct ProgramOptions {
  PortOpener openPort;                   // default: DefaultPortOpener on the session's memory
  std::unique_ptr<UserDialogs> dialogs;  // default: QtUserDialogs
};

class Program {
 public:
  // Needs a QApplication. The main window is shown once created.
  explicit Program(ProgramOptions options = {});
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  Session& session() { return *session_; }
  TForm1& form1() { return *form1_; }
  TForm2& form2() { return *form2_; }
  TForm3& form3() { return *form3_; }
  TForm4& form4() { return *form4_; }
  TForm5& form5() { return *form5_; }
  TForm6& form6() { return *form6_; }

 private:
  std::unique_ptr<Session> session_;  // outlives every window
  std::unique_ptr<TForm1> form1_;
  std::unique_ptr<TForm2> form2_;
  std::unique_ptr<TForm3> form3_;
  std::unique_ptr<TForm4> form4_;
  std::unique_ptr<TForm5> form5_;
  std::unique_ptr<TForm6> form6_;
};

}  // namespace keldar::ui
