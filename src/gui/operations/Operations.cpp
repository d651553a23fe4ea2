#include "gui/operations/Operations.h"

#include <utility>

#include "core/protocol/SensorLink.h"
#include "core/util/ObservableFlag.h"

namespace drq::gui {

std::string_view operationName(Operation operation) {
  switch (operation) {
    case Operation::Connect:
      return "connection";
    case Operation::Disconnect:
      return "disconnection";
    case Operation::ChangeBaudrate:
      return "baud rate change";
    case Operation::HardwareFile:
      return "hardware file";
    case Operation::SendParameters:
      return "parameter send";
    case Operation::GetParameters:
      return "parameter read";
    case Operation::SendParameterFile:
      return "parameter file write";
    case Operation::GetParameterFile:
      return "parameter file read";
    case Operation::Live:
      return "live acquisition";
    case Operation::Record:
      return "recording";
    case Operation::TriggeredRecord:
      return "triggered recording";
    case Operation::WhiteCalibration:
      return "white calibration";
    case Operation::SelfCalibration:
      return "self-calibration";
    case Operation::SendCalibration:
      return "calibration send";
    case Operation::GetCalibration:
      return "calibration read";
    case Operation::OffsetCalculation:
      return "offset calculation";
    case Operation::SendOffsets:
      return "offset send";
    case Operation::GetOffsets:
      return "offset read";
    case Operation::CycleTime:
      return "cycle time";
    case Operation::ScopeCapture:
      return "scope capture";
    case Operation::ScopeBreak:
      return "scope break";
    case Operation::MeanValueTeach:
      return "mean-value teach";
    case Operation::GraphTeach:
      return "graph teach";
  }
  return "operation";
}

// --- The guard ------------------------------------------------------------------

OperationGuard::OperationGuard(OperationGuard&& other) noexcept
    : owner_(std::exchange(other.owner_, nullptr)) {}

OperationGuard& OperationGuard::operator=(OperationGuard&& other) noexcept {
  if (this != &other) {
    release();
    owner_ = std::exchange(other.owner_, nullptr);
  }
  return *this;
}

void OperationGuard::keepDimmed() {
  if (owner_) owner_->keepDimmed_ = true;
}

void OperationGuard::release() {
  if (Operations* owner = std::exchange(owner_, nullptr)) owner->finish(owner->keepDimmed_);
}

// --- The owner ------------------------------------------------------------------

Operations::Operations(ObservableFlag& runFlag, SensorLink& link, QObject* parent)
    : QObject(parent), runFlag_(runFlag), link_(link) {}

OperationGuard Operations::start(Operation operation, Dimming dimming) {
  if (busy() || ending_) return {};
  depth_ = 1;
  current_ = operation;
  keepDimmed_ = false;
  dimmer_.SetButtonsDimmed(dimming == Dimming::KeepTransfer, true);
  return OperationGuard(this);
}

OperationGuard Operations::join(Operation operation) {
  if (!busy()) {
    // Called on its own (not from a running operation): a start of its own.
    return start(operation);
  }
  ++depth_;
  return OperationGuard(this);
}

OperationGuard Operations::startWithin(Operation host, Operation operation) {
  if (busy() && current_ == host) return join(operation);
  return start(operation);
}

void Operations::finish(bool keepDimmed) {
  if (depth_ <= 0) return;
  if (--depth_ > 0) return;
  keepDimmed_ = false;
  // The buttons stay as they are while the program ends: nothing may start.
  if (!keepDimmed && !ending_) dimmer_.SetButtonsDimmed(false, false);
  emit idle();
  if (ending_) emit programEnd();
}

void Operations::endProgram() {
  if (ending_) return;
  ending_ = true;
  runFlag_.clear();
  link_.setStopOrdersOnly(true);
  if (busy()) {
    emit endRequested();
  } else {
    emit programEnd();
  }
}

}  // namespace drq::gui
