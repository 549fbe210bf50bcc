#include "app/stop_signals.h"

// Windows ends a program with windows through its session manager, which closes them.
namespace keldar {

StopSignals::StopSignals(std::function<void()> onSignal, QObject* parent)
    : QObject(parent), onSignal_(std::move(onSignal)) {}

StopSignals::~StopSignals() = default;

}  // namespace keldar
