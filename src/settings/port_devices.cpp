#include "settings/port_devices.h"

#include <QSettings>
#include <QVariant>

#include "hw/serial_port.h"

namespace keldar {

ResolvedPortDevice ResolvePortDeviceWithSource(int portNumber) {
  const QString name = QStringLiteral("COM%1").arg(portNumber);
  const QString fromEnvironment = qEnvironmentVariable(("KELDAR_" + name).toLatin1().constData());
  if (!fromEnvironment.isEmpty()) return {fromEnvironment, PortDeviceSource::Environment};

  const QSettings store(QStringLiteral("ZEMBRAX"), QStringLiteral("KELDAR"));
  const QVariant stored = store.value(QStringLiteral("Ports/") + name);
  // A value of another type (a number in the registry) reads as absent.
  if (stored.typeId() == QMetaType::QString && !stored.toString().isEmpty()) {
    return {stored.toString(), PortDeviceSource::Settings};
  }
  return {QString::fromStdString(DefaultPortDevice(portNumber)), PortDeviceSource::Default};
}

QString ResolvePortDevice(int portNumber) {
  return ResolvePortDeviceWithSource(portNumber).device;
}

}  // namespace keldar
