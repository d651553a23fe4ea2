#include "cli/MqttConnection.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>

#include <QSocketNotifier>
#include <QTimer>

#include <mosquitto.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace drq::cli {

namespace {

// Why a socket that is still being connected can no longer be used: its
// pending error ("refused (...)" for a refused connection), or a hang-up
// without one. nullopt while it is usable.
std::optional<std::string> deadSocketReason(int fd) {
  if (fd < 0) return std::nullopt;
  int error = 0;
  socklen_t length = sizeof error;
  if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error != 0) {
    if (error == ECONNREFUSED) return "refused (" + std::string(std::strerror(error)) + ")";
    return "not reachable (" + std::string(std::strerror(error)) + ")";
  }
  pollfd probe{fd, POLLIN, 0};
  if (::poll(&probe, 1, 0) == 1 && (probe.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
    return std::string("refused (the broker closed the connection)");
  }
  return std::nullopt;
}

// A broker that holds a small packet back until its previous one is
// acknowledged (Nagle's algorithm) meets this side's delayed acknowledgement:
// the last acknowledgements of a run, and the final status's, came 40 ms late.
// Acknowledging what arrived at once costs one call per read.
void acknowledgeAtOnce(int fd) {
#ifdef TCP_QUICKACK
  const int on = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
#else
  (void)fd;
#endif
}

constexpr int kMiscIntervalMs = 1000;
// Messages published within this time go out in one pass of writes, and the
// broker's acknowledgements of them come back together: one wake-up of each
// side per batch instead of per message.
constexpr int kWriteCoalesceMs = 5;

void initLibrary() {
  // The library's own start-up (OpenSSL among it), once per process.
  static const int rc = mosquitto_lib_init();
  (void)rc;
}

// The CONNACK return codes of MQTT 3.1.1 in the operator's words.
std::string refusalText(int rc) {
  switch (rc) {
    case 4:
    case 5:
      return "not authorised (" + std::string(mosquitto_connack_string(rc)) + ")";
    default:
      return "refused (" + std::string(mosquitto_connack_string(rc)) + ")";
  }
}

}  // namespace

MqttConnection::MqttConnection(BrokerOptions options, Events events)
    : options_(std::move(options)), events_(std::move(events)) {
  initLibrary();
}

MqttConnection::~MqttConnection() {
  readNotifier_.reset();
  writeNotifier_.reset();
  if (mosq_) mosquitto_destroy(mosq_);
}

bool MqttConnection::start(std::string& reason) {
  mosq_ = mosquitto_new(options_.clientId.empty() ? nullptr : options_.clientId.c_str(),
                        options_.cleanSession, this);
  if (!mosq_) {
    reason = "cannot create the MQTT client: " + std::string(std::strerror(errno));
    return false;
  }
  mosquitto_int_option(mosq_, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
  mosquitto_int_option(mosq_, MOSQ_OPT_SEND_MAXIMUM, std::clamp(options_.maxInFlight, 1, 65535));
  // The library writes nothing by itself: every write happens when the write
  // notifier finds the socket ready (publishes after the coalescing delay).
  mosquitto_threaded_set(mosq_, true);
  mosquitto_connect_callback_set(mosq_, &MqttConnection::onConnect);
  mosquitto_disconnect_callback_set(mosq_, &MqttConnection::onDisconnect);
  mosquitto_publish_callback_set(mosq_, &MqttConnection::onPublish);
  mosquitto_subscribe_callback_set(mosq_, &MqttConnection::onSubscribe);
  mosquitto_message_callback_set(mosq_, &MqttConnection::onMessage);
  mosquitto_log_callback_set(mosq_, &MqttConnection::onLog);
  int rc = MOSQ_ERR_SUCCESS;
  if (!options_.willTopic.empty()) {
    rc = mosquitto_will_set(mosq_, options_.willTopic.c_str(),
                            static_cast<int>(options_.willPayload.size()),
                            options_.willPayload.data(), 1, true);
  }
  if (rc == MOSQ_ERR_SUCCESS && !options_.username.empty()) {
    rc = mosquitto_username_pw_set(mosq_, options_.username.c_str(),
                                   options_.password ? options_.password->c_str() : nullptr);
  }
  if (rc == MOSQ_ERR_SUCCESS && !options_.cafile.empty()) {
    rc = mosquitto_tls_set(mosq_, options_.cafile.c_str(), nullptr, nullptr, nullptr, nullptr);
    if (rc == MOSQ_ERR_SUCCESS) rc = mosquitto_tls_insecure_set(mosq_, false);
    if (rc != MOSQ_ERR_SUCCESS) {
      reason = "TLS failure (" + reasonFor(rc) + ")";
      return false;
    }
  }
  if (rc != MOSQ_ERR_SUCCESS) {
    reason = reasonFor(rc);
    return false;
  }
  rc = mosquitto_connect_async(mosq_, options_.host.c_str(), options_.port,
                               options_.keepAliveSeconds);
  if (rc != MOSQ_ERR_SUCCESS) {
    if (rc == MOSQ_ERR_TLS) {
      reason = "TLS failure (" + reasonFor(rc) + ")";
    } else if (rc == MOSQ_ERR_ERRNO && errno == ECONNREFUSED) {
      reason = "refused (" + std::string(std::strerror(ECONNREFUSED)) + ")";
    } else {
      reason = "not reachable (" + reasonFor(rc) + ")";
    }
    return false;
  }
  misc_ = std::make_unique<QTimer>();
  misc_->setInterval(kMiscIntervalMs);
  QObject::connect(misc_.get(), &QTimer::timeout, &context_, [this] {
    if (ended_) return;
    checkLoopResult(mosquitto_loop_misc(mosq_));
    afterCall();
  });
  misc_->start();
  connectDeadline_ = std::make_unique<QTimer>();
  connectDeadline_->setSingleShot(true);
  QObject::connect(connectDeadline_.get(), &QTimer::timeout, &context_, [this] {
    if (!connected_ && !ended_) {
      fail("not reachable (no answer within " +
           std::to_string(options_.connectTimeout.count() / 1000) + " s)");
      afterCall();
    }
  });
  connectDeadline_->start(options_.connectTimeout);
  coalesce_ = std::make_unique<QTimer>();
  coalesce_->setSingleShot(true);
  coalesce_->setTimerType(Qt::PreciseTimer);
  QObject::connect(coalesce_.get(), &QTimer::timeout, &context_, [this] { afterCall(); });
  afterCall();
  return true;
}

std::optional<int> MqttConnection::publish(const std::string& topic, std::string_view payload,
                                           int qos, bool retain) {
  if (!connected_ || ended_) return std::nullopt;
  int mid = 0;
  const int rc = mosquitto_publish(mosq_, &mid, topic.c_str(), static_cast<int>(payload.size()),
                                   payload.data(), qos, retain);
  std::optional<int> result;
  if (rc == MOSQ_ERR_SUCCESS) {
    result = mid;
    if (!coalesce_->isActive()) coalesce_->start(kWriteCoalesceMs);
  } else if (rc == MOSQ_ERR_NO_CONN || rc == MOSQ_ERR_CONN_LOST || rc == MOSQ_ERR_ERRNO) {
    fail("connection lost (" + reasonFor(rc) + ")");
  }
  afterCall();
  return result;
}

bool MqttConnection::subscribe(std::string_view topic, int qos) {
  if (!connected_ || ended_) return false;
  flushNow_ = true;
  const std::string topicText(topic);
  const int rc = mosquitto_subscribe(mosq_, nullptr, topicText.c_str(), qos);
  afterCall();
  return rc == MOSQ_ERR_SUCCESS;
}

void MqttConnection::disconnect() {
  if (ended_ || !mosq_) return;
  flushNow_ = true;  // what is queued, then DISCONNECT
  if (mosquitto_disconnect(mosq_) != MOSQ_ERR_SUCCESS) fail("disconnected");
  afterCall();
}

void MqttConnection::writeAtOnce() {
  flushNow_ = true;
  if (!ended_ && mosq_) afterCall();
}

void MqttConnection::onConnect(mosquitto*, void* self, int rc) {
  auto* c = static_cast<MqttConnection*>(self);
  if (rc == 0) {
    // The library formats a log line for every packet while a log handler is
    // set; the handler is wanted for the set-up's failures (TLS details) only.
    mosquitto_log_callback_set(c->mosq_, nullptr);
    c->connected_ = true;
    c->pending_.emplace_back(EventKind::Connected);
  } else {
    c->refusal_ = refusalText(rc);
  }
}

void MqttConnection::onDisconnect(mosquitto*, void* self, int rc) {
  auto* c = static_cast<MqttConnection*>(self);
  std::string reason;
  if (!c->refusal_.empty()) {
    reason = c->refusal_;
  } else if (rc == MOSQ_ERR_SUCCESS) {
    reason = "disconnected";
  } else if (rc == MOSQ_ERR_TLS) {
    reason = "TLS failure (" + c->reasonFor(rc) + ")";
  } else if (!c->connected_ && rc == MOSQ_ERR_ERRNO && errno == ECONNREFUSED) {
    reason = "refused (" + std::string(std::strerror(ECONNREFUSED)) + ")";
  } else if (!c->connected_) {
    reason = "not reachable (" + c->reasonFor(rc) + ")";
  } else {
    reason = "connection lost (" + c->reasonFor(rc) + ")";
  }
  c->fail(std::move(reason));
}

void MqttConnection::onPublish(mosquitto*, void* self, int mid) {
  auto* c = static_cast<MqttConnection*>(self);
  c->pending_.emplace_back(EventKind::Delivered, mid);
}

void MqttConnection::onSubscribe(mosquitto*, void* self, int, int, const int*) {
  static_cast<MqttConnection*>(self)->pending_.emplace_back(EventKind::Subscribed);
}

void MqttConnection::onMessage(mosquitto*, void* self, const mosquitto_message* message) {
  auto* c = static_cast<MqttConnection*>(self);
  Event e(EventKind::Message);
  e.text = message->topic ? message->topic : "";
  if (message->payload && message->payloadlen > 0)
    e.payload.assign(static_cast<const char*>(message->payload),
                     static_cast<std::size_t>(message->payloadlen));
  e.retained = message->retain;
  c->pending_.push_back(std::move(e));
}

void MqttConnection::onLog(mosquitto*, void* self, int level, const char* text) {
  if (level == MOSQ_LOG_ERR && text) static_cast<MqttConnection*>(self)->lastError_ = text;
}

std::string MqttConnection::reasonFor(int rc) const {
  // A TLS failure's own words are in the library's error log line.
  if (rc == MOSQ_ERR_TLS && !lastError_.empty()) return lastError_;
  return rc == MOSQ_ERR_ERRNO ? std::strerror(errno) : mosquitto_strerror(rc);
}

void MqttConnection::checkLoopResult(int rc) {
  // Most failures arrive through onDisconnect; some (a failed TLS handshake
  // on a connection still being set up) only as the result.
  if (rc == MOSQ_ERR_SUCCESS || ended_) return;
  if (rc == MOSQ_ERR_TLS) {
    fail("TLS failure (" + reasonFor(rc) + ")");
  } else if (rc == MOSQ_ERR_NO_CONN && !connected_) {
    // Not yet connected: nothing to service, unless the socket itself has
    // failed or hung up (a refused or dropped connection while the TLS
    // handshake is pending). Its notifier would otherwise fire again at
    // once, for as long as the connect deadline allows.
    if (const std::optional<std::string> dead = deadSocketReason(mosquitto_socket(mosq_))) {
      fail(*dead);
    }
  } else {
    onDisconnect(mosq_, this, rc);
  }
}

void MqttConnection::fail(std::string reason) {
  if (ended_) return;
  ended_ = true;
  connected_ = false;
  pending_.emplace_back(EventKind::Lost, 0, std::move(reason));
}

bool MqttConnection::failedWhileConnecting() {
  if (connected_) return false;
  const std::optional<std::string> dead = deadSocketReason(mosquitto_socket(mosq_));
  if (!dead) return false;
  fail(*dead);
  afterCall();
  return true;
}

void MqttConnection::watchSocket() {
  const int fd = ended_ ? -1 : mosquitto_socket(mosq_);
  if (fd != watchedSocket_) {
    readNotifier_.reset();
    writeNotifier_.reset();
    watchedSocket_ = fd;
    if (fd >= 0) {
      readNotifier_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
      QObject::connect(readNotifier_.get(), &QSocketNotifier::activated, &context_, [this] {
        if (ended_ || failedWhileConnecting()) return;
        acknowledgeAtOnce(watchedSocket_);
        checkLoopResult(mosquitto_loop_read(mosq_, 1));
        afterCall();
      });
      writeNotifier_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Write);
      QObject::connect(writeNotifier_.get(), &QSocketNotifier::activated, &context_, [this] {
        if (ended_ || failedWhileConnecting()) return;
        checkLoopResult(mosquitto_loop_write(mosq_, 1));
        afterCall();
      });
    }
  }
  // Changing a notifier costs a system call: only when it changes.
  const bool wantWrite =
      mosquitto_want_write(mosq_) && !(coalesce_ && coalesce_->isActive() && !flushNow_);
  if (writeNotifier_ && writeNotifier_->isEnabled() != wantWrite)
    writeNotifier_->setEnabled(wantWrite);
}

void MqttConnection::afterCall() {
  if (ended_) {
    if (misc_) misc_->stop();
    if (connectDeadline_) connectDeadline_->stop();
    if (coalesce_) coalesce_->stop();
    if (readNotifier_) readNotifier_->setEnabled(false);
    if (writeNotifier_) writeNotifier_->setEnabled(false);
  } else {
    if (connected_ && connectDeadline_) connectDeadline_->stop();
    watchSocket();
  }
  // Handlers may call back into publish(): the outer call tells the rest.
  if (dispatching_) return;
  dispatching_ = true;
  while (!pending_.empty()) {
    Event e = std::move(pending_.front());
    pending_.erase(pending_.begin());
    switch (e.kind) {
      case EventKind::Connected:
        if (events_.connected) events_.connected();
        break;
      case EventKind::Lost:
        if (events_.lost) events_.lost(e.text);
        // The owner may have let go of this object: touch nothing more.
        return;
      case EventKind::Delivered:
        if (events_.delivered) events_.delivered(e.mid);
        break;
      case EventKind::Subscribed:
        if (events_.subscribed) events_.subscribed();
        break;
      case EventKind::Message:
        if (events_.message) events_.message(e.text, e.payload, e.retained);
        break;
    }
  }
  dispatching_ = false;
}

}  // namespace drq::cli
