#include "cli/PublishCommand.h"

#include <QEventLoop>
#include <QTimer>

#include <signal.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <ctime>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

#include "cli/Commands.h"
#include "cli/MqttConnection.h"
#include "cli/Options.h"
#include "cli/ParaCommands.h"
#include "cli/PublishQueue.h"
#include "cli/StopOnSignal.h"
#include "cli/WatchCommand.h"
#include "core/connect/Identification.h"
#include "core/live/GetData.h"
#include "core/protocol/Frame.h"
#include "core/record/Recorder.h"

namespace drq::cli {

namespace {

constexpr std::uint32_t kMaxCount = 1000000000;
constexpr std::uint32_t kDefaultQueue = 100000;
constexpr std::uint32_t kMaxQueue = 10000000;
constexpr double kMaxInterval = 1.0e6;
constexpr std::size_t kMaxClientId = 65535;
// QoS 1 messages handed to the connection before their acknowledgements: a
// window that covers the sensor's fastest frame rate over a write batch and
// the broker's answer, so acknowledgements never hold the frames back.
constexpr std::size_t kWindow = 1024;
constexpr int kReconnectFirstSeconds = 1;
constexpr int kReconnectMaxSeconds = 30;
constexpr std::chrono::milliseconds kDrainTime{5000};
constexpr std::chrono::milliseconds kStatusTime{2000};
constexpr std::chrono::milliseconds kDisconnectTime{1000};

struct PublishOptions {
  BrokerOptions broker;
  std::string topic;  // empty: drq/<serial number>
  int qos = 1;
  double interval = 0;
  std::uint32_t count = 0;  // 0: no limit
  std::uint32_t queue = kDefaultQueue;
  std::string passwordFile;
};

// HOST[:PORT] or [IPv6]:PORT; the port defaults to `defaultPort`.
bool parseBroker(std::string_view text, int defaultPort, std::string& host, int& port) {
  const bool bracketed = text.starts_with('[');
  const bool portGiven = bracketed ? text.find("]:") != std::string_view::npos
                                   : std::count(text.begin(), text.end(), ':') == 1;
  if (!bracketed && std::count(text.begin(), text.end(), ':') > 1) {
    host.assign(text);  // a bare IPv6 address
    port = defaultPort;
    return true;
  }
  if (!parseTcpTarget(text, host, port)) return false;
  if (!portGiven) port = defaultPort;
  return true;
}

std::optional<std::string> parsePublishOptions(const std::vector<std::string>& args,
                                               PublishOptions& o, std::string& brokerText) {
  constexpr OptionSpec kOptions[] = {valueOption("--broker"),   valueOption("--topic"),
                                     valueOption("--qos"),      valueOption("--interval"),
                                     valueOption("--count"),    valueOption("--client-id"),
                                     valueOption("--username"), valueOption("--password-file"),
                                     valueOption("--cafile"),   valueOption("--queue")};
  bool brokerGiven = false;
  const ParsedOptions parsed = parseOptions(args, kOptions);
  for (const ParsedWord& word : parsed.words) {
    if (word.positional()) return "unexpected " + word.value;
    const std::string_view name = word.name;
    const std::string_view value = word.value;
    if (name == "--broker") {
      if (value.empty()) return "--broker needs HOST[:PORT]";
      brokerText.assign(value);
      brokerGiven = true;
    } else if (name == "--topic") {
      if (value.empty() ||
          value.find_first_of(std::string_view("+#\0", 3)) != std::string_view::npos)
        return "--topic must be a topic without + or #";
      o.topic.assign(value);
    } else if (name == "--qos") {
      if (value != "0" && value != "1") return "--qos must be 0 or 1";
      o.qos = value == "1" ? 1 : 0;
    } else if (name == "--interval") {
      const auto seconds = parseSeconds(value);
      if (!seconds || *seconds > kMaxInterval) return "--interval must be seconds, at most 1000000";
      o.interval = *seconds > 0 ? std::max(*seconds, kMinRecordInterval) : 0;
    } else if (name == "--count") {
      const auto n = parseUnsigned(value, kMaxCount);
      if (!n || *n == 0) return "--count must be 1..1000000000";
      o.count = *n;
    } else if (name == "--client-id") {
      if (value.empty() || value.size() > kMaxClientId)
        return "--client-id must be 1..65535 characters";
      o.broker.clientId.assign(value);
    } else if (name == "--username") {
      if (value.empty() || value.size() > 65535) return "--username must be 1..65535 characters";
      o.broker.username.assign(value);
    } else if (name == "--password-file") {
      if (value.empty()) return "--password-file needs a FILE";
      o.passwordFile.assign(value);
    } else if (name == "--cafile") {
      if (value.empty()) return "--cafile needs a FILE";
      o.broker.cafile.assign(value);
    } else if (name == "--queue") {
      const auto n = parseUnsigned(value, kMaxQueue);
      if (!n || *n == 0) return "--queue must be 1..10000000";
      o.queue = *n;
    }
  }
  if (parsed.error) return parsed.error;
  if (!brokerGiven) return "--broker HOST[:PORT] is required";
  if (!o.passwordFile.empty() && o.broker.username.empty())
    return "--password-file needs --username";
  const int defaultPort = o.broker.cafile.empty() ? kMqttPort : kMqttTlsPort;
  if (!parseBroker(brokerText, defaultPort, o.broker.host, o.broker.port))
    return "--broker needs HOST[:PORT] with a port 1..65535";
  return std::nullopt;
}

// The first line of the password file, without its line end; an error text.
std::optional<std::string> readPassword(const std::string& file, std::string& password) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::string(std::strerror(errno));
  errno = 0;
  std::getline(in, password);
  if (in.bad()) return std::string(errno != 0 ? std::strerror(errno) : "read error");
  if (!password.empty() && password.back() == '\r') password.pop_back();
  return std::nullopt;
}

std::optional<std::string> checkReadable(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::string(std::strerror(errno));
  char c = 0;
  errno = 0;
  in.read(&c, 1);
  if (in.bad()) return std::string(errno != 0 ? std::strerror(errno) : "read error");
  return std::nullopt;
}

// The broker side of a run: one connection at a time, reconnecting with a
// doubling delay, publishing the queue's frames in order.
class BrokerLink {
 public:
  // Without `identity` (the sensor was never identified) only the status is
  // published.
  BrokerLink(BrokerOptions options, std::string prefix, std::optional<std::string> identity,
             int qos, PublishQueue& queue, std::function<void()> changed)
      : options_(std::move(options)),
        frameTopic_(prefix + "/frame"),
        identityTopic_(prefix + "/identity"),
        statusTopic_(prefix + "/status"),
        identity_(std::move(identity)),
        qos_(qos),
        queue_(queue),
        changed_(std::move(changed)) {
    options_.willTopic = statusTopic_;
    options_.willPayload = "offline";
    options_.maxInFlight = static_cast<int>(kWindow);
    reconnect_.setSingleShot(true);
    QObject::connect(&reconnect_, &QTimer::timeout, &reconnect_, [this] { attempt(); });
    pumpSoon_.setSingleShot(true);
    pumpSoon_.setInterval(0);
    QObject::connect(&pumpSoon_, &QTimer::timeout, &pumpSoon_, [this] { pump(); });
  }

  // Starts the first connection attempt; false with the reason when it fails
  // at once.
  bool start() {
    if (attempt()) return true;
    return false;
  }

  bool connected() const { return conn_ && conn_->isConnected(); }
  bool everConnected() const { return everConnected_; }
  bool attempting() const { return conn_ != nullptr; }
  const std::string& lastReason() const { return lastReason_; }
  bool statusDelivered() const { return statusDelivered_; }
  bool ended() const { return closing_ && !conn_; }

  // Hands pending frames to the connection, up to the window at QoS 1.
  void pump() {
    if (pumping_) return;
    pumping_ = true;
    while (connected()) {
      const std::string* payload = queue_.nextPending();
      if (!payload) break;
      if (qos_ == 1 && queue_.inFlight() >= kWindow) break;
      const auto mid = conn_->publish(frameTopic_, *payload, qos_, false);
      if (!mid || !connected()) break;
      if (qos_ == 1) {
        queue_.handed(*mid);
      } else {
        queue_.sent();
      }
    }
    pumping_ = false;
  }

  // Pumps from the event loop's next turn: called between two sensor
  // requests, the broker's work then overlaps the wait for the next answer.
  void pumpSoon() {
    if (!pumpSoon_.isActive()) pumpSoon_.start();
  }

  // The sensor loop has ended: what is queued goes out without waiting for
  // more frames to join it, on this connection and any later one.
  void endOfFrames() {
    writeAtOnce_ = true;
    if (conn_) conn_->writeAtOnce();
  }

  // Publishes the final status (retained, QoS 1) when connected.
  void publishStatus(const std::string& status) {
    endOfFrames();
    finalStatus_ = status;
    statusDelivered_ = false;
    statusMid_.reset();
    if (connected()) statusMid_ = conn_->publish(statusTopic_, status, 1, true);
  }

  // Ends the connection with DISCONNECT (the will is discarded) and stops
  // reconnecting.
  void close() {
    closing_ = true;
    reconnect_.stop();
    if (conn_ && conn_->isConnected()) {
      conn_->disconnect();
    } else if (conn_) {
      retired_ = std::move(conn_);
    }
  }

 private:
  bool attempt() {
    retired_.reset();
    if (closing_) return false;
    MqttConnection::Events events;
    events.connected = [this] { onConnected(); };
    events.lost = [this](const std::string& reason) { onLost(reason); };
    events.delivered = [this](int mid) { onDelivered(mid); };
    conn_ = std::make_unique<MqttConnection>(options_, std::move(events));
    std::string reason;
    if (conn_->start(reason)) {
      if (writeAtOnce_) conn_->writeAtOnce();
      return true;
    }
    retired_ = std::move(conn_);
    lastReason_ = reason;
    scheduleReconnect();
    changed_();
    return false;
  }

  void scheduleReconnect() {
    if (closing_) return;
    reconnect_.start(std::chrono::seconds(delay_));
    delay_ = std::min(delay_ * 2, kReconnectMaxSeconds);
  }

  void onConnected() {
    everConnected_ = true;
    delay_ = kReconnectFirstSeconds;
    if (identity_) conn_->publish(identityTopic_, *identity_, 1, true);
    // Once the run is over, a new connection tells how it ended instead.
    if (finalStatus_) {
      statusMid_ = conn_->publish(statusTopic_, *finalStatus_, 1, true);
    } else {
      conn_->publish(statusTopic_, "online", 1, true);
    }
    pump();
    changed_();
  }

  void onLost(const std::string& reason) {
    lastReason_ = reason;
    retired_ = std::move(conn_);
    queue_.connectionLost();
    statusMid_.reset();
    scheduleReconnect();
    changed_();
  }

  void onDelivered(int mid) {
    if (queue_.acknowledged(mid)) {
      pump();
    } else if (statusMid_ && *statusMid_ == mid) {
      statusDelivered_ = true;
    }
    changed_();
  }

  BrokerOptions options_;
  std::string frameTopic_;
  std::string identityTopic_;
  std::string statusTopic_;
  std::optional<std::string> identity_;
  int qos_;
  PublishQueue& queue_;
  std::function<void()> changed_;
  std::unique_ptr<MqttConnection> conn_;
  std::unique_ptr<MqttConnection> retired_;  // kept until the next attempt
  QTimer reconnect_;
  QTimer pumpSoon_;
  int delay_ = kReconnectFirstSeconds;
  bool everConnected_ = false;
  bool closing_ = false;
  bool writeAtOnce_ = false;
  bool pumping_ = false;
  std::string lastReason_;
  std::optional<std::string> finalStatus_;
  std::optional<int> statusMid_;
  bool statusDelivered_ = false;
};

// While it exists, a write to a connection the broker has closed returns an
// error instead of ending the process (TLS writes do not ask the kernel to
// hold SIGPIPE back). A handler someone installed stays.
class IgnoreBrokenPipe {
 public:
  IgnoreBrokenPipe() {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGPIPE, nullptr, &old_);
    if (old_.sa_handler == SIG_DFL) {
      ::sigaction(SIGPIPE, &ignore, nullptr);
      changed_ = true;
    }
  }
  ~IgnoreBrokenPipe() {
    if (changed_) ::sigaction(SIGPIPE, &old_, nullptr);
  }
  IgnoreBrokenPipe(const IgnoreBrokenPipe&) = delete;
  IgnoreBrokenPipe& operator=(const IgnoreBrokenPipe&) = delete;

 private:
  struct sigaction old_ {};
  bool changed_ = false;
};

// Runs the event loop until `done` holds, `limit` has passed, or (with
// `stopOnSignal`) a signal arrived. `wake` is re-armed to re-test `done`.
class Waiter {
 public:
  void wake() {
    if (loop_ && done_ && done_()) loop_->quit();
  }
  void waitFor(std::function<bool()> done, std::chrono::milliseconds limit) {
    if (done()) return;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    deadline.start(limit);
    done_ = std::move(done);
    loop_ = &loop;
    loop.exec();
    loop_ = nullptr;
    done_ = nullptr;
  }

 private:
  QEventLoop* loop_ = nullptr;
  std::function<bool()> done_;
};

}  // namespace

namespace {

// Two decimal digits of 0..99.
char* twoDigits(char* out, int value) {
  *out++ = static_cast<char>('0' + value / 10);
  *out++ = static_cast<char>('0' + value % 10);
  return out;
}

}  // namespace

std::string utcTimestamp(std::chrono::system_clock::time_point t) {
  using namespace std::chrono;
  const auto ms = duration_cast<milliseconds>(t.time_since_epoch()).count();
  const std::time_t seconds = static_cast<std::time_t>(ms >= 0 ? ms / 1000 : (ms - 999) / 1000);
  const auto millis = static_cast<int>(ms - static_cast<long long>(seconds) * 1000);
  std::tm tm{};
  gmtime_r(&seconds, &tm);
  const int year = tm.tm_year + 1900;
  if (year < 0 || year > 9999) {
    char buf[40];
    const int n =
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", year, tm.tm_mon + 1,
                      tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, millis);
    return std::string(buf, static_cast<std::size_t>(std::clamp(n, 0, 39)));
  }
  // Written by hand: this runs once a frame.
  char buf[24];
  char* p = twoDigits(buf, year / 100);
  p = twoDigits(p, year % 100);
  *p++ = '-';
  p = twoDigits(p, tm.tm_mon + 1);
  *p++ = '-';
  p = twoDigits(p, tm.tm_mday);
  *p++ = 'T';
  p = twoDigits(p, tm.tm_hour);
  *p++ = ':';
  p = twoDigits(p, tm.tm_min);
  *p++ = ':';
  p = twoDigits(p, tm.tm_sec);
  *p++ = '.';
  *p++ = static_cast<char>('0' + millis / 100);
  p = twoDigits(p, millis % 100);
  *p++ = 'Z';
  return std::string(buf, p);
}

std::string frameMessage(std::uint64_t seq, std::string_view time, const LiveFrame& frame) {
  // Built in one buffer, one allocation for the result: this runs once a
  // frame. A time that needs escaping takes the general way.
  static constexpr std::string_view kSeq = "{\"seq\": ";
  static constexpr std::string_view kTime = ", \"time\": \"";
  constexpr std::size_t kNames = [] {
    std::size_t n = 0;
    for (std::size_t i = 0; i < kPublishedWords; ++i) n += kWatchColumns[i].size();
    return n;
  }();
  constexpr std::size_t kFixed = kSeq.size() + 20 + kTime.size() + 1 +
                                 kPublishedWords * (std::string_view(", \"\": ").size() + 6) +
                                 kNames + 1;
  const bool plainTime = std::all_of(time.begin(), time.end(), [](char c) {
    return c >= 0x20 && c < 0x7F && c != '"' && c != '\\';
  });
  if (!plainTime || time.size() > 64) {
    std::string m = std::string(kSeq) + std::to_string(seq) + ", \"time\": " + jsonString(time);
    for (std::size_t i = 0; i < kPublishedWords; ++i) {
      m += ", \"";
      m += kWatchColumns[i];
      m += "\": ";
      m += std::to_string(static_cast<int>(frame.words[i]));
    }
    m += '}';
    return m;
  }
  std::array<char, kFixed + 64> buf;
  char* p = buf.data();
  const auto put = [&p](std::string_view text) {
    std::memcpy(p, text.data(), text.size());
    p += text.size();
  };
  put(kSeq);
  p = std::to_chars(p, p + 20, seq).ptr;
  put(kTime);
  put(time);
  *p++ = '"';
  for (std::size_t i = 0; i < kPublishedWords; ++i) {
    put(", \"");
    put(kWatchColumns[i]);
    put("\": ");
    p = std::to_chars(p, p + 6, static_cast<int>(frame.words[i])).ptr;
  }
  *p++ = '}';
  return std::string(buf.data(), p);
}

std::string identityMessage(std::string_view identification, std::uint16_t serialNumber) {
  return "{\"identification\": " + jsonString(identification) +
         ", \"serial\": " + std::to_string(serialNumber) + "}";
}

std::string jsonString(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string s = "\"";
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      s += '\\';
      s += ch;
    } else if (c < 0x20 || c >= 0x7F) {
      s += "\\u00";
      s += kHex[c >> 4];
      s += kHex[c & 0x0F];
    } else {
      s += ch;
    }
  }
  s += '"';
  return s;
}

namespace {

// Passes every link failure on and keeps their texts, one per line, for the
// status: a closed connection is reported before the exchange it ended.
class FailureCollector final : public FailureReport {
 public:
  explicit FailureCollector(SensorLink& link) : link_(link), next_(link.failureReport()) {
    link_.setFailureReport(this);
  }
  ~FailureCollector() override { link_.setFailureReport(next_); }
  FailureCollector(const FailureCollector&) = delete;
  FailureCollector& operator=(const FailureCollector&) = delete;

  void linkFailed(std::string_view message) override {
    if (!text_.empty()) text_ += '\n';
    text_ += message;
    if (next_) next_->linkFailed(message);
  }
  const std::string& text() const { return text_; }

 private:
  SensorLink& link_;
  FailureReport* next_;
  std::string text_;
};

}  // namespace

std::string failedStatus(std::string_view linkFailureText) {
  std::string s = "failed: ";
  for (std::size_t i = 0; i < linkFailureText.size(); ++i) {
    const char c = linkFailureText[i];
    if (c == '\r' || c == '\n') {
      s += ' ';
      if (c == '\r' && i + 1 < linkFailureText.size() && linkFailureText[i + 1] == '\n') ++i;
    } else {
      s += c;
    }
  }
  return s;
}

int cmdPublish(CliContext& ctx) {
  PublishOptions options;
  std::string brokerText;
  if (const auto error = parsePublishOptions(ctx.args, options, brokerText))
    return ctx.usageError(*error);
  if (ctx.linkOptions.kind == LinkOptions::Kind::None)
    return ctx.usageError("no link given: use --tcp HOST[:PORT] or --serial DEVICE");
  if (!options.passwordFile.empty()) {
    std::string password;
    if (const auto error = readPassword(options.passwordFile, password)) {
      ctx.err << "drqctl publish: cannot read --password-file " << options.passwordFile << ": "
              << *error << '\n';
      return kExitUsage;
    }
    options.broker.password = std::move(password);
  }
  if (!options.broker.cafile.empty()) {
    if (const auto error = checkReadable(options.broker.cafile)) {
      ctx.err << "drqctl publish: cannot read --cafile " << options.broker.cafile << ": " << *error
              << '\n';
      return kExitUsage;
    }
  }

  Session& session = ctx.session;
  FailureCollector failures(session.link);
  PublishQueue queue(options.queue);
  std::unique_ptr<BrokerLink> broker;
  Waiter waiter;
  bool stopped = false;
  const IgnoreBrokenPipe ignoreBrokenPipe;
  // Every way out from here on ends with the summary line.
  const auto finish = [&](int status) {
    ctx.err << "published " << decimal(static_cast<long long>(queue.published()))
            << " frames, dropped " << decimal(static_cast<long long>(queue.dropped())) << '\n';
    ctx.err.flush();
    return status;
  };
  StopOnSignal stopOnSignal([&] {
    stopped = true;
    session.RunFlag.clear();
    waiter.wake();
  });
  const auto makeBroker = [&](const std::string& prefix, std::optional<std::string> identity) {
    broker = std::make_unique<BrokerLink>(options.broker, prefix, std::move(identity), options.qos,
                                          queue, [&waiter] { waiter.wake(); });
  };
  const auto waitForConnection = [&] {
    waiter.waitFor([&] { return stopped || broker->connected() || !broker->attempting(); },
                   std::chrono::hours(1));
  };
  // The last status (retained) delivered, then DISCONNECT, so that no will
  // replaces it.
  const auto closeAfterStatus = [&] {
    waiter.waitFor([&] { return broker->statusDelivered() || !broker->connected(); }, kStatusTime);
    broker->close();
    waiter.waitFor([&] { return broker->ended(); }, kDisconnectTime);
  };
  const auto linkFailureStatus = [&] {
    const std::string& text =
        failures.text().empty() ? session.link.state().errorText : failures.text();
    return failedStatus(text.empty() ? std::string_view("link failure") : text);
  };
  // Before the identification only a given prefix is known to report under.
  const auto failedBeforeBroker = [&](int status) {
    if (status == kExitLinkFailure && !options.topic.empty() && !stopped) {
      makeBroker(options.topic, std::nullopt);
      broker->publishStatus(linkFailureStatus());
      if (broker->start()) {
        waitForConnection();
        if (broker->connected()) closeAfterStatus();
      }
    }
    return finish(status);
  };

  if (const int rc = ctx.connect(&stopOnSignal.untilSignal()); rc != kExitOk && !stopped)
    return failedBeforeBroker(rc);
  if (stopped) return finish(kExitOk);
  Identification id;
  if (identifySensor(ctx.link(), id) != 1) return failedBeforeBroker(kExitLinkFailure);
  if (!id.matches) {
    ctx.err << id.mismatchText() << '\n';
    return finish(kExitFirmwareMismatch);
  }
  if (stopped) return finish(kExitOk);

  makeBroker(options.topic.empty() ? "drq/" + std::to_string(id.serialNumber) : options.topic,
             identityMessage(id.shownVersion, id.serialNumber));
  const auto brokerFailure = [&] {
    ctx.err << "drqctl publish: broker " << brokerText << ": " << broker->lastReason() << '\n';
    return finish(kExitBrokerFailure);
  };
  if (!broker->start()) return brokerFailure();
  waitForConnection();
  if (!broker->connected()) {
    if (stopped) return finish(kExitOk);
    return brokerFailure();
  }

  // The sensor loop: nothing in it waits for the broker.
  ObservableFlag& run = session.RunFlag;
  session.link.state().linkUp = true;
  bool linkFailed = false;
  std::uint64_t seq = 0;
  run.set(1);
  if (stopped) run.clear();
  while (run.isSet()) {
    const double stamp = session.clock.now();
    if (session.link.exchange(ORDER_GET_DATA, 0) != 1) {
      linkFailed = true;  // reported by the link already
      break;
    }
    acceptLiveFrame(session, session.link.responsePayload());
    queue.push(
        frameMessage(seq++, utcTimestamp(std::chrono::system_clock::now()), session.CurrentFrame));
    broker->pumpSoon();
    if (options.count != 0 && seq >= options.count) break;
    while (options.interval > 0 && run.isSet()) {
      const double elapsed = session.clock.now() - stamp;
      if (!(options.interval > elapsed)) break;
      if (session.link.waitIdle(options.interval - elapsed, run) == WaitResult::Closed) break;
    }
  }
  run.clear();

  // The end: the queue gets its time, what is left counts as dropped.
  broker->endOfFrames();
  waiter.waitFor([&] { return queue.empty(); }, kDrainTime);
  queue.dropAll();
  broker->publishStatus(linkFailed ? linkFailureStatus() : "offline");
  closeAfterStatus();
  return finish(linkFailed ? kExitLinkFailure : kExitOk);
}

}  // namespace drq::cli
