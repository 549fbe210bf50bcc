#include "settings/port_devices.h"

#include <QSettings>
#include <QVariant>

#include "hw/open_port.h"

namespace keldar {

QString ResolvePortDevice(int portNumber) {
  const QString name = QStringLiteral("COM%1").arg(portNumber);
  const QString fromEnvironment = qEnvironmentVariable(("KELDAR_" + name).toLatin1().constData());
  if (!fromEnvironment.isEmpty()) return fromEnvironment;

  const QSettings store(QStringLiteral("ZEMBRAX"), QStringLiteral("KELDAR"));
  const QVariant stored = store.value(QStringLiteral("Ports/") + name);
  // A value of another type (a number in the registry) reads as absent.
  if (stored.typeId() == QMetaType::QString && !stored.toString().isEmpty()) {
    return stored.toString();
  }
  return QString::fromStdString(DefaultPortDevice(portNumber));
}

}  // namespace keldar
