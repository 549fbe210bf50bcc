// Every text that the main window's three changing fields can show: the status line's running
// and closing texts and why a port was refused, the port messages and the selected byte's value.
// Each field's font is sized once for the widest of its texts, so that none is cut whichever shows
// up.
#pragma once

#include <QString>
#include <QStringList>

namespace keldar::ui {

inline const QString kRefreshRunning = QStringLiteral("Mise à jour du buffer");
inline const QString kFileOpenRunning = QStringLiteral("Ouvrir un fichier");
inline const QString kFileSaveRunning = QStringLiteral("Enregistrer le buffer");

inline const QString kPortPrompt = QStringLiteral(" Choisissez le port série...");
inline const QString kPortDeselected = QStringLiteral(" Port série désélectionné...");
// " Le COM1 est indisponible !"
QString PortUnavailableText(int port);

// The status line (StaticTextInfo).
QStringList StatusLineTexts();
// The port message field (EditMessPort), for the four ports.
QStringList PortMessageTexts();
// The value field (StaticText1): "$00 = 0" to "$FF = 255".
QStringList ValueTexts();

}  // namespace keldar::ui
