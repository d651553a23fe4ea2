#pragma once
// drqctl publish: the live loop's frames on an MQTT broker, for the plant's
// quality system. Topics below PREFIX (default "drq/<serial number>"):
//
//   PREFIX/frame     one JSON message per good frame, QoS 0 or 1, not retained:
//                    {"seq": S, "time": "...Z", "RED": .., ..., "RAW BLUE": ..}
//   PREFIX/identity  retained, on every connection:
//                    {"identification": "<shown version>", "serial": N}
//   PREFIX/status    retained, QoS 1: "online" on every connection; "offline"
//                    on a clean end and as the last will; "failed: <text>"
//                    when the sensor link failed.
//
// The sensor link is never retried; the broker is, while the frames wait in a
// bounded queue (PublishQueue.h).

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/live/LiveFrame.h"

namespace drq::cli {

// Frame words published: the record file's columns and the three raw values.
inline constexpr std::size_t kPublishedWords = 14;

// Exit status when the broker cannot be reached or refuses the connection.
inline constexpr int kExitBrokerFailure = 4;

// "2026-12-08T22:00:00.123Z": UTC, milliseconds.
std::string utcTimestamp(std::chrono::system_clock::time_point t);

// One frame's message, in the C locale.
std::string frameMessage(std::uint64_t seq, std::string_view time, const LiveFrame& frame);

// The identity message.
std::string identityMessage(std::string_view identification, std::uint16_t serialNumber);

// A JSON string with its quotes: '"', '\\' and control characters escaped,
// bytes above 0x7F as \u00XX (Latin-1), so any sensor text is valid JSON.
std::string jsonString(std::string_view text);

// The status after a sensor link failure: "failed: " and the failure text with
// each line break (CR LF, LF or CR) replaced by one space.
std::string failedStatus(std::string_view linkFailureText);

}  // namespace drq::cli
