#pragma once
// Puts one SensorModel on byte channels (TCP connections, a pseudo-terminal):
// drives the model's time, hands it the requests the channels assemble, applies
// fault injection to the answers and pushed frames, and sends pushed frames to
// the channel that started the stream. Lives on one thread (the GUI thread in
// the operator tool), like its channels and servers.
//
// Destroy the servers (and so their channels) before the host.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <cstdint>
#include <span>
#include <vector>

#include "sim/FaultRule.h"
#include "sim/SensorModel.h"

namespace drq::sim {

class SensorChannel;

class SensorHost : public QObject {
  Q_OBJECT

 public:
  // WallClock: model time follows the real time since the host was made.
  // Manual: model time moves only through advance() (tests).
  enum class ClockMode { WallClock, Manual };

  explicit SensorHost(SensorModel& model, QObject* parent = nullptr);
  ~SensorHost() override;

  SensorModel& model() { return model_; }

  // Replaces the fault rules and restarts their counters (request index 1 is
  // the next request).
  void setFaultRules(std::vector<FaultRule> rules);
  const FaultInjector& faults() const { return faults_; }

  // Wire pacing at the model's baud rate (10 bits per byte): an answer arrives
  // when its request's last byte would have reached the sensor on a real line
  // plus the answer's own wire time; a pushed frame after its own wire time;
  // each direction of the line carries one frame after the other.
  void setPacing(bool on) { pacing_ = on; }
  bool pacing() const { return pacing_; }

  void setClockMode(ClockMode mode);
  ClockMode clockMode() const { return clockMode_; }
  // Manual clock: moves model time on by `micros` and sends what became due.
  void advance(std::uint64_t micros);

  // Monotonic microseconds of this host (real time, whatever the clock mode);
  // the channels time their framing and pacing with it.
  std::uint64_t wallMicros() const;

  // ---- Used by the channels ----
  void attach(SensorChannel* channel);
  void detach(SensorChannel* channel);
  void deliverRequest(SensorChannel& from, std::span<const std::uint8_t> frame);
  void deliverCorrupt(SensorChannel& from);

 signals:
  // After each well-formed request (handled or refused); the record is the
  // last entry of the model's request log.
  void requestLogged(const drq::sim::RequestRecord& record);

 private:
  void syncClock();
  void dispatchPushes();
  void scheduleNextPush();
  void onPushTimer();

  SensorModel& model_;
  FaultInjector faults_;
  bool pacing_ = false;
  ClockMode clockMode_ = ClockMode::WallClock;
  QElapsedTimer wall_;
  std::uint64_t wallBase_ = 0;  // wall time that corresponds to modelBase_
  std::uint64_t modelBase_ = 0;
  QTimer pushTimer_;
  std::vector<SensorChannel*> channels_;
  SensorChannel* streamOwner_ = nullptr;
};

}  // namespace drq::sim
