#include "ui/status_texts.h"

#include <string_view>
#include <vector>

#include "messages/identify_messages.h"
#include "messages/operation_messages.h"
#include "messages/port_messages.h"
#include "ui/grid/byte_texts.h"

namespace keldar::ui {

QString PortUnavailableText(int port) {
  return QStringLiteral(" Le COM%1 est indisponible !").arg(port);
}

QStringList StatusLineTexts() {
  QStringList texts{kRefreshRunning, kFileOpenRunning, kFileSaveRunning};
  std::vector<std::string_view> others{messages::kReadRunning,    messages::kProgramRunning,
                                       messages::kProgramDone,    messages::kVerifyRunning,
                                       messages::kCompareRunning, messages::kCompareDone,
                                       messages::kIdentifyRunning};
  for (std::string_view refusal : messages::PortRefusalSummaries())
    others.push_back(refusal);
  for (std::string_view text : others)
    texts << QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  return texts;
}

QStringList PortMessageTexts() {
  QStringList texts{kPortPrompt, kPortDeselected};
  for (int port = 1; port <= 4; ++port)
    texts << PortUnavailableText(port);
  return texts;
}

QStringList ValueTexts() {
  QStringList texts;
  for (int value = 0; value <= 0xFF; ++value)
    texts << ValueText(static_cast<uint8_t>(value));
  return texts;
}

QString TimeLeftText(std::chrono::seconds left) {
  const auto seconds = static_cast<int>(left.count());
  if (seconds < 60) return QStringLiteral("reste %1 s").arg(seconds);
  // Minutes rounded up: "reste 0 min" would be a lie, and the seconds no longer matter.
  const int minutes = (seconds + 59) / 60;
  if (minutes < 60) return QStringLiteral("reste %1 min").arg(minutes);
  return QStringLiteral("reste %1 h %2")
      .arg(minutes / 60)
      .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QStringList StopButtonTexts() {
  return {kStopCaption, kStopAfterWrite, kStopping};
}

QStringList TimeLeftTexts() {
  using std::chrono::seconds;
  return {TimeLeftText(seconds(59)), TimeLeftText(seconds(59 * 60)),
          TimeLeftText(seconds(23 * 3600 + 59 * 60))};
}

}  // namespace keldar::ui
