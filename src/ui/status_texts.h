// Every text that the main window's three changing fields can show: the status line's running
// and closing texts and why a port was refused, the port messages and the selected byte's value.
// Each field's font is sized once for the widest of its texts, so that none is cut whichever shows
// up.
#pragma once

#include <chrono>

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

// The stop button while an operation runs, and once a stop waits for its safe point: at the
// end of the write in progress, or at once.
inline const QString kStopCaption = QStringLiteral("Arrêter");
inline const QString kStopAfterWrite = QStringLiteral("Arrêt après l'écriture en cours...");
inline const QString kStopping = QStringLiteral("Arrêt en cours...");

// The time an operation still needs, beside the progress bar: "reste 45 s", "reste 31 min",
// "reste 1 h 05".
QString TimeLeftText(std::chrono::seconds left);

// The question when the window is closed during an operation.
inline const QString kCloseDuringOperationTitle = QStringLiteral(" Quitter le programme...");
inline const QString kCloseDuringOperation = QStringLiteral(
    "Une opération sur la mémoire est en cours.\n\nL'arrêter et quitter le programme ?\n"
    "Une programmation s'arrête à la fin de l'écriture en cours.");

// The status line (StaticTextInfo).
QStringList StatusLineTexts();
// The port message field (EditMessPort), for the four ports.
QStringList PortMessageTexts();
// The value field (StaticText1): "$00 = 0" to "$FF = 255".
QStringList ValueTexts();
// The stop button (BoutonArreter) and the time left (StaticTextReste).
QStringList StopButtonTexts();
QStringList TimeLeftTexts();

}  // namespace keldar::ui
