#pragma once
// The one owner of "an operation is running". Every callback that talks to
// the sensor (or runs a loop that does) takes a guard from here:
//
//   OperationGuard guard = context().operations.start(Operation::GetCalibration);
//   if (!guard) return;  // another operation runs, or the window was closed
//
// The outermost guard dims the operation buttons when it is taken and
// undims them when it ends; guards taken inside a running operation
// (join) nest and change nothing on screen. While an operation runs, a second
// start by any route (a click, a function key, a mnemonic, an accessible
// action, a click queued meanwhile) is refused; STOP and BREAK do not start
// operations and stay live.
//
// Closing the window while busy (endProgram) clears RunFlag, lets the
// exchange in flight finish, lets through only the orders that stop the
// sensor's pushing, answers every popup with its safe default without
// showing it, and reports the program's end once the owner is idle.

#include <QObject>

#include <cstdint>
#include <string_view>

#include "gui/operations/ButtonDimmer.h"

namespace drq {
class SensorLink;
class ObservableFlag;
}  // namespace drq

namespace drq::gui {

// The operations of the tool that talk to the sensor.
enum class Operation : std::uint8_t {
  Connect,
  Disconnect,
  ChangeBaudrate,
  HardwareFile,
  SendParameters,
  GetParameters,
  SendParameterFile,
  GetParameterFile,
  Live,
  Record,
  TriggeredRecord,
  WhiteCalibration,
  SelfCalibration,
  SendCalibration,
  GetCalibration,
  OffsetCalculation,
  SendOffsets,
  GetOffsets,
  CycleTime,
  ScopeCapture,
  ScopeBreak,
  MeanValueTeach,
  GraphTeach,
};

// The operation's name as the connection log and the tests show it
// ("white calibration").
std::string_view operationName(Operation operation);

// What the outermost guard dims.
enum class Dimming : std::uint8_t {
  All,           // every operation button
  KeepTransfer,  // all but SEND, GET and the target selectors (live acquisition)
};

class Operations;

// Held for the length of an operation; move-only. An empty guard (false) was
// refused.
class OperationGuard {
 public:
  OperationGuard() = default;
  OperationGuard(OperationGuard&& other) noexcept;
  OperationGuard& operator=(OperationGuard&& other) noexcept;
  OperationGuard(const OperationGuard&) = delete;
  OperationGuard& operator=(const OperationGuard&) = delete;
  ~OperationGuard() { release(); }

  explicit operator bool() const { return owner_ != nullptr; }
  // The buttons stay dimmed when the operation ends (a connection that did
  // not come up: only a successful identification undims them).
  void keepDimmed();
  // Ends the operation now (the guard becomes empty).
  void release();

 private:
  friend class Operations;
  explicit OperationGuard(Operations* owner) : owner_(owner) {}
  Operations* owner_ = nullptr;
};

class Operations final : public QObject {
  Q_OBJECT
 public:
  Operations(ObservableFlag& runFlag, SensorLink& link, QObject* parent = nullptr);

  // The registry of operation buttons (pages register theirs once).
  ButtonDimmer& dimmer() { return dimmer_; }

  // An operation the operator started. Refused (empty guard) while another
  // operation runs or once the program is ending; otherwise dims by
  // `dimming` and returns the outermost guard.
  [[nodiscard]] OperationGuard start(Operation operation, Dimming dimming = Dimming::All);
  // A step of the running operation, from its own code (a Get after the
  // identification, the break of a running capture). Refused only when
  // nothing runs and the program is ending; nests without dimming.
  [[nodiscard]] OperationGuard join(Operation operation);
  // An operation that is also served inside a running `host` (a parameter
  // file transfer during live acquisition, BREAK during a scope capture):
  // joins while `host` is the running operation, else start().
  [[nodiscard]] OperationGuard startWithin(Operation host, Operation operation);

  bool busy() const { return depth_ > 0; }
  // True when start() would be granted now (a callback that asks the operator
  // first checks this before its question).
  bool canStart() const { return !busy() && !ending_; }
  // The outermost operation (meaningful while busy()).
  Operation current() const { return current_; }
  // True once endProgram() was called.
  bool ending() const { return ending_; }

  // The window was closed: RunFlag is cleared, the link lets only stop orders
  // through, endRequested() is emitted so that operations with a stop of
  // their own (the scope's break) send it, and programEnd() follows once
  // idle (at once when nothing runs). Called once; later calls do nothing.
  void endProgram();

 signals:
  // The outermost operation has ended.
  void idle();
  // endProgram() was called while an operation ran.
  void endRequested();
  // The program may end now: endProgram() was called and nothing runs.
  void programEnd();

 private:
  friend class OperationGuard;
  void finish(bool keepDimmed);

  ObservableFlag& runFlag_;
  SensorLink& link_;
  ButtonDimmer dimmer_;
  int depth_ = 0;
  Operation current_ = Operation::Connect;
  bool keepDimmed_ = false;
  bool ending_ = false;
};

}  // namespace drq::gui
