#pragma once
// One connection to an MQTT broker (libmosquitto, MQTT 3.1.1), driven from the
// Qt event loop of the calling thread: the socket sits on a read notifier and,
// while the library has bytes to send, a write notifier; a one-second timer
// runs the keep-alive. Nothing blocks on the broker but the host name lookup:
// the TCP connect and the TLS handshake advance as the socket becomes ready,
// inside whatever event loop the thread waits in (the sensor link's waits
// included). Publishes are written in batches: the first one of a batch
// waits 5 ms for others to join it, so the broker and this side each wake once
// per batch, not once per message.
//
// A connection is used once. Reconnecting means a new object, so the library
// never resends anything of an old connection behind the owner's back: the
// owner keeps what was not acknowledged and publishes it again.

#include <QObject>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct mosquitto;
struct mosquitto_message;
class QSocketNotifier;
class QTimer;

namespace drq::cli {

inline constexpr int kMqttPort = 1883;
inline constexpr int kMqttTlsPort = 8883;

struct BrokerOptions {
  std::string host;
  int port = kMqttPort;
  std::string clientId;                 // empty: the library makes one up
  std::string username;                 // empty: none
  std::optional<std::string> password;  // only with a user name
  std::string cafile;                   // non-empty: TLS, certificate and host name checked
  int keepAliveSeconds = 60;
  bool cleanSession = true;
  // The last will, sent retained at QoS 1 by the broker when the connection
  // ends without a DISCONNECT. No will when the topic is empty.
  std::string willTopic;
  std::string willPayload;
  // QoS 1 messages the library keeps unacknowledged on the wire (1..65535);
  // beyond it the library holds them back until acknowledgements come.
  int maxInFlight = 20;
  // How long the TCP connect, the TLS handshake and the CONNACK may take.
  std::chrono::milliseconds connectTimeout{10000};
};

class MqttConnection {
 public:
  struct Events {
    // The broker accepted the connection.
    std::function<void()> connected;
    // The connection ended (refused, failed, dropped, timed out, or after
    // disconnect()): told once, with the reason in words. The object may be
    // destroyed only after the handler has returned (keep it until the next
    // event-loop turn).
    std::function<void(const std::string& reason)> lost;
    // A QoS 1 message was acknowledged (PUBACK), or a QoS 0 message written.
    std::function<void(int mid)> delivered;
    // The broker acknowledged a subscription (SUBACK).
    std::function<void()> subscribed;
    // A message arrived on a subscription.
    std::function<void(const std::string& topic, const std::string& payload, bool retained)>
        message;
  };

  MqttConnection(BrokerOptions options, Events events);
  ~MqttConnection();
  MqttConnection(const MqttConnection&) = delete;
  MqttConnection& operator=(const MqttConnection&) = delete;

  // Starts connecting. False when the attempt failed at once (the TLS files,
  // the host name, a refused TCP connect); `lost` is not told then.
  bool start(std::string& reason);

  bool isConnected() const { return connected_; }

  // Hands a message to the connection; its message id, or nothing when the
  // connection is not up or took no more.
  std::optional<int> publish(const std::string& topic, std::string_view payload, int qos,
                             bool retain);
  bool subscribe(std::string_view topic, int qos);

  // Sends DISCONNECT: the broker discards the will. `lost` follows.
  void disconnect();

  // From now on every write goes out at once, without waiting for more
  // publishes to join it (nothing more will come: the run is ending).
  void writeAtOnce();

 private:
  enum class EventKind { Connected, Lost, Delivered, Subscribed, Message };
  struct Event {
    explicit Event(EventKind k, int m = 0, std::string t = {})
        : kind(k), mid(m), text(std::move(t)) {}
    EventKind kind;
    int mid = 0;
    std::string text;  // reason, or the topic
    std::string payload;
    bool retained = false;
  };

  static void onConnect(mosquitto*, void* self, int rc);
  static void onDisconnect(mosquitto*, void* self, int rc);
  static void onPublish(mosquitto*, void* self, int mid);
  static void onSubscribe(mosquitto*, void* self, int mid, int count, const int* granted);
  static void onMessage(mosquitto*, void* self, const mosquitto_message* message);
  static void onLog(mosquitto*, void* self, int level, const char* text);

  // Runs after every library call: watches the current socket, enables the
  // write notifier while there is something to write, and tells the owner
  // what happened (outside the library's callbacks, in order, once).
  void afterCall();
  // Before the broker has accepted: a socket that failed or hung up (a
  // refused or dropped connection while the TLS handshake is pending) ends
  // the attempt with its reason; true then. Its notifier would otherwise
  // fire again at once until the connect deadline.
  bool failedWhileConnecting();
  void watchSocket();
  void checkLoopResult(int rc);
  void fail(std::string reason);
  std::string reasonFor(int rc) const;

  BrokerOptions options_;
  Events events_;
  mosquitto* mosq_ = nullptr;
  QObject context_;
  std::unique_ptr<QSocketNotifier> readNotifier_;
  std::unique_ptr<QSocketNotifier> writeNotifier_;
  std::unique_ptr<QTimer> misc_;
  std::unique_ptr<QTimer> connectDeadline_;
  std::unique_ptr<QTimer> coalesce_;  // running: publishes wait for more to join them
  bool flushNow_ = false;  // a SUBSCRIBE or DISCONNECT waits, or the run ends: no coalescing
  int watchedSocket_ = -1;
  bool connected_ = false;
  bool ended_ = false;
  bool dispatching_ = false;
  std::string refusal_;    // the CONNACK's reason
  std::string lastError_;  // the library's last error log line before CONNACK (TLS details)
  std::vector<Event> pending_;
};

}  // namespace drq::cli
