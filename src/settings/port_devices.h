// Which device each of the ports COM1..COM4 names on this machine.
#pragma once

#include <QString>

namespace keldar {

// First match wins: the environment variable KELDAR_COMn; the string value COMn of the group
// Ports in the per-user store, an override kept beside the program's own settings values; the
// platform's default device (DefaultPortDevice). Empty values count as unset.
[[nodiscard]] QString ResolvePortDevice(int portNumber);

}  // namespace keldar
