#include <gtest/gtest.h>

#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "core/protocol/Crc8.h"
#include "core/protocol/Frame.h"
#include "core/protocol/LinkSettings.h"
#include "core/protocol/SensorLink.h"
#include "support/FakeTransport.h"
#include "support/RecordingReport.h"

namespace drq {
namespace {

using test::FakeClock;
using test::FakeTransport;
using test::PeerScript;
using Bytes = std::vector<std::uint8_t>;

using test::RecordingReport;

Bytes counting(std::size_t n, std::uint8_t first = 1) {
  Bytes b(n);
  std::iota(b.begin(), b.end(), first);
  return b;
}

Bytes concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Bytes headerOnly(const FrameHeader& f) {
  const HeaderBytes h = encodeHeaderFields(f);
  return Bytes(h.begin(), h.end());
}

// One link on a fake transport of a fixed kind, for the tests that need only
// one kind.
template <TransportKind Kind>
class LinkOnFake : public ::testing::Test {
 protected:
  LinkOnFake() : flag(1), link(flag, clock) {
    link.setFailureReport(&report);
    auto owned = std::make_unique<FakeTransport>(clock, Kind);
    fake = owned.get();
    link.setTransport(std::move(owned));
  }

  FakeClock clock;
  ObservableFlag flag;
  SensorLink link;
  RecordingReport report;
  FakeTransport* fake = nullptr;
};
using SerialLinkOnFake = LinkOnFake<TransportKind::Serial>;
using TcpLinkOnFake = LinkOnFake<TransportKind::Tcp>;

class LinkTest : public ::testing::TestWithParam<TransportKind> {
 protected:
  LinkTest() : link(runFlag, clock) {
    auto t = std::make_unique<FakeTransport>(clock, GetParam());
    fake = t.get();
    link.setTransport(std::move(t));
    link.setFailureReport(&report);
    link.state().linkUp = true;
    runFlag.set(1);
  }
  bool tcp() const { return GetParam() == TransportKind::Tcp; }

  FakeClock clock;
  ObservableFlag runFlag;
  SensorLink link;
  RecordingReport report;
  FakeTransport* fake = nullptr;
};

INSTANTIATE_TEST_SUITE_P(BothTransports, LinkTest,
                         ::testing::Values(TransportKind::Tcp, TransportKind::Serial),
                         [](const auto& param) {
                           return param.param == TransportKind::Tcp ? "Tcp" : "Serial";
                         });

// --- Request side -------------------------------------------------------------

TEST(FillTxBuf, BuildsHeaderAndCopiesPayload) {
  FakeClock clock;
  ObservableFlag flag;
  SensorLink link(flag, clock);
  link.FillTxBuf(ORDER_IDENTIFY, 0, 0);
  EXPECT_EQ(Bytes(link.transmitBuffer().begin(), link.transmitBuffer().begin() + 8),
            (Bytes{0x55, 0x07, 0x00, 0x00, 0x00, 0x00, 0xAA, 0x52}));

  // Order is taken as its low 8 bits, argument as 16 bits; the payload CRC
  // covers the payload area.
  const Bytes payload = counting(34);
  std::copy(payload.begin(), payload.end(), link.payloadArea().begin());
  link.FillTxBuf(0x100 + ORDER_WRITE_PARA, 0x10001, 34);
  const Bytes expected = buildFrame(ORDER_WRITE_PARA, 1, payload);
  EXPECT_EQ(Bytes(link.transmitBuffer().begin(), link.transmitBuffer().begin() + 42), expected);

  // A length beyond the payload area is cut to 512 instead of reading past it.
  link.FillTxBuf(ORDER_WRITE_PARA, 4, 600);
  EXPECT_EQ(readLe16(link.transmitBuffer(), 4), 512);
  EXPECT_GE(link.transmitBuffer().size(), 520u);
}

// --- One exchange ---------------------------------------------------------------

TEST_P(LinkTest, ExchangeSendsOneWriteAndStoresTheResponse) {
  const Bytes text = counting(72, 0x30);
  fake->answerNext().send(buildFrame(ORDER_IDENTIFY, 65535, text));
  const Bytes payload{0x01, 0x02, 0x03};
  ASSERT_EQ(link.exchange(ORDER_WRITE_PARA, 4, payload), 1);
  ASSERT_EQ(fake->written().size(), 1u);
  EXPECT_EQ(fake->written()[0], buildFrame(ORDER_WRITE_PARA, 4, payload));
  EXPECT_EQ(fake->flushCount(), 1);
  EXPECT_EQ(link.responseOrder(), ORDER_IDENTIFY);
  EXPECT_EQ(link.responseArgument(), 65535);
  EXPECT_EQ(link.responseLength(), 72);
  EXPECT_EQ(link.responsePayloadCrc(), crc8(text));
  EXPECT_EQ(Bytes(link.responsePayload().begin(), link.responsePayload().end()), text);
  EXPECT_EQ(link.receiveBuffer()[0], kStartByte);
  EXPECT_TRUE(report.messages.empty());
  EXPECT_TRUE(link.state().linkUp);
  EXPECT_EQ(runFlag.value(), 1);
}

TEST_P(LinkTest, ResponseInOneBytePiecesIsAssembledInOrder) {
  const Bytes frame = buildFrame(ORDER_GET_DATA, 0, counting(40));
  fake->answerNext().sendInPieces(frame, 1, 0.01);
  ASSERT_EQ(link.exchange(ORDER_GET_DATA, 0), 1);
  EXPECT_EQ(Bytes(link.receiveBuffer().begin(), link.receiveBuffer().begin() + 48), frame);
}

TEST_P(LinkTest, EmptyPayloadEndsTheExchangeAfterTheHeader) {
  // Bytes after an empty response are not taken as a payload.
  fake->answerNext().send(concat(buildFrame(ORDER_STORE_EEPROM, 0, {}), Bytes{9, 9, 9}));
  ASSERT_EQ(link.exchange(ORDER_STORE_EEPROM, 0), 1);
  EXPECT_EQ(link.responseLength(), 0);
  EXPECT_EQ(link.receiveBuffer()[8], 0);
  EXPECT_TRUE(report.messages.empty());
}

TEST_P(LinkTest, ErrorReportsFailOnlyForArgumentsOneAndTwo) {
  fake->answerNext().send(buildFrame(kErrorReportOrder, 1, {}));
  fake->answerNext().send(buildFrame(kErrorReportOrder, 2, {}));
  fake->answerNext().send(buildFrame(kErrorReportOrder, 0, {}));
  fake->answerNext().send(buildFrame(kErrorReportOrder, 3, Bytes{7, 8}));
  EXPECT_EQ(link.exchange(ORDER_READ_PARA, 0), -1);
  EXPECT_EQ(link.exchange(ORDER_READ_PARA, 0), -1);
  EXPECT_EQ(report.messages, (std::vector<std::string>{std::string(kMsgInvalidOrder),
                                                       std::string(kMsgCommunicationError)}));
  EXPECT_EQ(link.exchange(ORDER_READ_PARA, 0), 1);
  EXPECT_EQ(link.exchange(ORDER_READ_PARA, 0), 1);  // a normal answer: its payload is read
  EXPECT_EQ(Bytes(link.responsePayload().begin(), link.responsePayload().end()), (Bytes{7, 8}));
  EXPECT_EQ(report.messages.size(), 2u);
}

TEST_P(LinkTest, BadHeaderIsRejectedAndKeepsThePreviousResponseFields) {
  fake->answerNext().send(buildFrame(ORDER_LOAD_EEPROM, 17, counting(5)));
  ASSERT_EQ(link.exchange(ORDER_LOAD_EEPROM, 0), 1);
  const Bytes good = buildFrame(ORDER_READ_PARA, 99, counting(34));
  for (int bit = 0; bit < 8; ++bit) {
    Bytes bad = good;
    bad[7] ^= static_cast<std::uint8_t>(1u << bit);
    fake->answerNext().send(bad);
  }
  FrameHeader f = decodeHeader(std::span<const std::uint8_t, 8>(good.data(), 8));
  const HeaderBytes wrongStart = encodeHeaderFields(f, 0x54);  // CRC right, start byte wrong
  fake->answerNext().send(Bytes(wrongStart.begin(), wrongStart.end()));
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(link.exchange(ORDER_READ_PARA, 2), -1) << i;
    EXPECT_EQ(report.messages.back(), kMsgHeaderIncorrect);
  }
  EXPECT_EQ(report.messages.size(), 9u);
  EXPECT_EQ(link.responseOrder(), ORDER_LOAD_EEPROM);
  EXPECT_EQ(link.responseArgument(), 17);
  EXPECT_EQ(link.responseLength(), 5);
}

TEST_P(LinkTest, ChangedPayloadByteIsRejectedWithTheDataMessage) {
  Bytes frame = buildFrame(ORDER_READ_PARA, 0, counting(34));
  frame[8 + 20] ^= 0x40;
  fake->answerNext().send(frame);
  EXPECT_EQ(link.exchange(ORDER_READ_PARA, 0), -1);
  EXPECT_EQ(report.messages, std::vector<std::string>{std::string(kMsgDataIncorrect)});
}

// A header that announces more payload than the receive buffer can hold is a
// corrupt header: nothing is written past the buffer, the rest is discarded.
TEST_P(LinkTest, OversizedLengthIsACorruptHeader) {
  fake->answerNext().send(buildFrame(ORDER_GET_DATA, 5, counting(40)));
  ASSERT_EQ(link.exchange(ORDER_GET_DATA, 0), 1);
  FrameHeader f;
  f.order = ORDER_GET_HW_INFO;
  f.length = static_cast<std::uint16_t>(kMaxResponsePayload + 1);
  f.payloadCrc = 0x12;
  fake->answerNext().send(concat(headerOnly(f), Bytes(3000, 0xEE)));
  EXPECT_EQ(link.exchange(ORDER_GET_HW_INFO, kHwInfoGuard), -1);
  EXPECT_EQ(report.messages, std::vector<std::string>{std::string(kMsgHeaderIncorrect)});
  EXPECT_EQ(fake->pending(), 0u);
  EXPECT_EQ(link.responseLength(), 40);
  EXPECT_EQ(link.responseArgument(), 5);

  // The largest payload that fits (2040 bytes) fills the buffer exactly.
  const Bytes big(kMaxResponsePayload, 0xA5);
  fake->answerNext().send(buildFrame(ORDER_GET_HW_INFO, 0, big));
  EXPECT_EQ(link.exchange(ORDER_GET_HW_INFO, kHwInfoGuard), 1);
  EXPECT_EQ(link.responsePayload().size(), kMaxResponsePayload);
  EXPECT_EQ(link.receiveBuffer().back(), 0xA5);
}

TEST_P(LinkTest, StaleInputBeforeTheRequestIsDropped) {
  fake->push().send(Bytes{0x55, 0x01, 0x02});
  fake->answerNext().send(buildFrame(ORDER_IDENTIFY, 3, {}), 0.1);
  ObservableFlag never(1);
  // Let the stale bytes arrive while nobody exchanges.
  fake->push().run([&] { never.clear(); }, 0.05);
  EXPECT_EQ(fake->waitFor(1000, 1.0, &never), WaitResult::Stopped);
  ASSERT_EQ(link.exchange(ORDER_IDENTIFY, 0), 1);
  EXPECT_EQ(link.responseArgument(), 3);
}

// --- Time limits ----------------------------------------------------------------

TEST_P(LinkTest, SilentSensorTimesOutAfterThreeSecondsPlusTheFinalSerialRead) {
  const double start = clock.now();
  EXPECT_EQ(link.exchange(ORDER_IDENTIFY, 0), -1);
  // Just over 3.0 s; on a serial link the final read waits the port's 2.0 s.
  const double expected = tcp() ? 3.0 : 5.0;
  EXPECT_GT(clock.now() - start, expected);
  EXPECT_LT(clock.now() - start, expected + 0.01);
  EXPECT_EQ(report.messages, std::vector<std::string>{std::string(kMsgTimeout)});
  EXPECT_EQ(link.state().errorText, kMsgTimeout);
  EXPECT_FALSE(link.state().linkUp);
  EXPECT_EQ(runFlag.value(), 0);
}

TEST_P(LinkTest, SevenHeaderBytesAreTreatedAsSilence) {
  const Bytes frame = buildFrame(ORDER_IDENTIFY, 0, {});
  fake->answerNext().send(Bytes(frame.begin(), frame.begin() + 7), 0.5);
  EXPECT_EQ(link.exchange(ORDER_IDENTIFY, 0), -1);
  EXPECT_EQ(report.messages, std::vector<std::string>{std::string(kMsgTimeout)});
}

TEST_P(LinkTest, LimitsAreThreeSecondsPerStepComparedWithGreaterThan) {
  const Bytes frame = buildFrame(ORDER_GET_DATA, 0, counting(40));
  const Bytes header(frame.begin(), frame.begin() + 8);
  const Bytes payload(frame.begin() + 8, frame.end());
  // Header at exactly 3.0 s, payload exactly 3.0 s after the header: accepted.
  fake->answerNext().send(header, 3.0).send(payload, 3.0);
  EXPECT_EQ(link.exchange(ORDER_GET_DATA, 0), 1);
  // Payload 3.01 s after the header: too late.
  fake->answerNext().send(header, 1.0).send(payload, 3.01);
  EXPECT_EQ(link.exchange(ORDER_GET_DATA, 0), -1);
  EXPECT_EQ(report.messages, std::vector<std::string>{std::string(kMsgTimeout)});
}

TEST_F(SerialLinkOnFake, EighthByteDuringTheFinalReadStillFailsTheWait) {
  const Bytes frame = buildFrame(ORDER_IDENTIFY, 0, {});
  fake->answerNext().send(Bytes(frame.begin(), frame.begin() + 7)).send(Bytes{frame[7]}, 4.0);
  EXPECT_EQ(link.exchange(ORDER_IDENTIFY, 0), -1);
  EXPECT_EQ(report.messages, std::vector<std::string>{std::string(kMsgTimeout)});
  // The read was made anyway: the header is in the buffer.
  EXPECT_EQ(Bytes(link.receiveBuffer().begin(), link.receiveBuffer().begin() + 8), frame);
}

TEST_F(SerialLinkOnFake, LineErrorDuringTheExchangeFailsWithTheTimeoutMessage) {
  fake->answerNext().lineError(0x8, 0.01).send(buildFrame(ORDER_IDENTIFY, 0, {}), 0.01);
  EXPECT_EQ(link.exchange(ORDER_IDENTIFY, 0), -1);
  EXPECT_GT(link.state().lineStatus, 0);
  EXPECT_EQ(report.messages, std::vector<std::string>{std::string(kMsgTimeout)});
}

// --- Failure report ---------------------------------------------------------------

TEST(FailureReport, ClearsFlagsCutsTheTextAndReportsOnce) {
  FakeClock clock;
  ObservableFlag flag(1);
  SensorLink link(flag, clock);
  RecordingReport report;
  link.setFailureReport(&report);
  link.state().linkUp = true;
  bool flagSeenClear = false;
  struct Check final : FailureReport {
    ObservableFlag* flag;
    SensorLink* link;
    bool* seen;
    void linkFailed(std::string_view) override { *seen = !flag->isSet() && !link->state().linkUp; }
  } check;
  check.flag = &flag;
  check.link = &link;
  check.seen = &flagSeenClear;
  link.setFailureReport(&check);
  link.reportFailure(std::string(300, 'x'));
  EXPECT_TRUE(flagSeenClear);
  EXPECT_EQ(link.state().errorText.size(), kMaxErrorText);

  link.setFailureReport(&report);
  link.reportFailure("INFO!\n3 PARAMETERS SET TO DEFAULT");
  EXPECT_EQ(report.messages, std::vector<std::string>{"INFO!\n3 PARAMETERS SET TO DEFAULT"});
}

TEST(FailureReport, NoTransportReportsTheTimeoutAtOnce) {
  FakeClock clock;
  ObservableFlag flag(1);
  SensorLink link(flag, clock);
  RecordingReport report;
  link.setFailureReport(&report);
  const double start = clock.now();
  EXPECT_EQ(link.exchange(ORDER_IDENTIFY, 0), -1);
  EXPECT_EQ(clock.now(), start);
  EXPECT_EQ(report.messages, std::vector<std::string>{std::string(kMsgTimeout)});
}

// --- Closing ----------------------------------------------------------------------

TEST_P(LinkTest, PeerClosingMidExchange) {
  link.state().tcpConnected = tcp();
  const Bytes frame = buildFrame(ORDER_IDENTIFY, 0, counting(72));
  fake->answerNext().send(Bytes(frame.begin(), frame.begin() + 20), 0.2).close(0.3);
  const double start = clock.now();
  EXPECT_EQ(link.exchange(ORDER_IDENTIFY, 0), -1);
  // The wait ends when the peer is gone, not 3 s later.
  EXPECT_DOUBLE_EQ(clock.now() - start, 0.5);
  if (tcp()) {
    EXPECT_EQ(report.messages,
              (std::vector<std::string>{std::string(kMsgServerClosed), std::string(kMsgTimeout)}));
    EXPECT_FALSE(link.state().tcpConnected);
  } else {
    EXPECT_EQ(report.messages, std::vector<std::string>{std::string(kMsgTimeout)});
    EXPECT_GT(link.state().lineStatus, 0);
  }
  // The next exchange on the dead link fails at once.
  report.messages.clear();
  EXPECT_EQ(link.exchange(ORDER_IDENTIFY, 0), -1);
  EXPECT_EQ(report.messages, std::vector<std::string>{std::string(kMsgTimeout)});
  EXPECT_DOUBLE_EQ(clock.now() - start, 0.5);
}

TEST_P(LinkTest, ResponseCompleteBeforeTheCloseSucceeds) {
  fake->answerNext().send(buildFrame(ORDER_IDENTIFY, 1, counting(10))).close(0.0);
  EXPECT_EQ(link.exchange(ORDER_IDENTIFY, 0), 1);
}

TEST_P(LinkTest, TransportReplacedByANestedCallbackEndsTheWait) {
  fake->answerNext().run([&] { link.setTransport(nullptr); }, 0.4);
  EXPECT_EQ(link.exchange(ORDER_IDENTIFY, 0), -1);
  EXPECT_EQ(report.messages.back(), kMsgTimeout);
  EXPECT_EQ(link.transport(), nullptr);
}

// --- Streaming --------------------------------------------------------------------

TEST_P(LinkTest, PushedFramesArrivingTogetherAreAllReceived) {
  const Bytes a = buildFrame(ORDER_GET_DATA, 1, counting(40, 1));
  const Bytes b = buildFrame(ORDER_GET_DATA, 2, counting(40, 100));
  fake->push().send(concat(a, b), 7.5);  // no time limit while waiting for a trigger
  ASSERT_EQ(link.ReceivePushedFrame(runFlag), SensorLink::StreamResult::Frame);
  EXPECT_EQ(link.responseArgument(), 1);
  ASSERT_EQ(link.ReceivePushedFrame(runFlag), SensorLink::StreamResult::Frame);
  EXPECT_EQ(link.responseArgument(), 2);
  EXPECT_EQ(Bytes(link.responsePayload().begin(), link.responsePayload().end()), counting(40, 100));
  EXPECT_TRUE(report.messages.empty());
}

TEST_P(LinkTest, StreamWaitEndsWhenItsFlagIsCleared) {
  ObservableFlag capture(1);
  fake->push().run([&] { capture.clear(); }, 12.0);
  EXPECT_EQ(link.ReceivePushedFrame(capture), SensorLink::StreamResult::Stopped);
  EXPECT_TRUE(report.messages.empty());
  EXPECT_EQ(runFlag.value(), 1);
}

TEST_P(LinkTest, BadPushedFrameIsReportedAndTheStreamGoesOn) {
  Bytes bad = buildFrame(ORDER_SCOPE, 0, counting(258));
  bad[100] ^= 1;
  const Bytes good = buildFrame(ORDER_SCOPE, 0, counting(258, 7));
  fake->push().send(bad, 1.0).send(good, 1.0);
  ObservableFlag capture(1);
  EXPECT_EQ(link.ReceivePushedFrame(capture), SensorLink::StreamResult::BadFrame);
  EXPECT_EQ(report.messages, std::vector<std::string>{std::string(kMsgDataIncorrect)});
  EXPECT_EQ(runFlag.value(), 0);
  EXPECT_EQ(link.ReceivePushedFrame(capture), SensorLink::StreamResult::Frame);
}

TEST_P(LinkTest, ErrorReportInAStreamFailsItAsAnExchangeWould) {
  const Bytes frame = buildFrame(ORDER_GET_DATA, 7, counting(40));
  fake->push()
      .send(buildFrame(kErrorReportOrder, kErrorCommunication, {}), 1.0)
      .send(buildFrame(kErrorReportOrder, kErrorUnknownOrder, {}), 1.0)
      .send(buildFrame(kErrorReportOrder, 9, {}), 1.0)
      .send(frame, 1.0);
  ObservableFlag stream(1);
  EXPECT_EQ(link.ReceivePushedFrame(stream), SensorLink::StreamResult::BadFrame);
  EXPECT_EQ(link.ReceivePushedFrame(stream), SensorLink::StreamResult::BadFrame);
  EXPECT_EQ(report.messages, (std::vector<std::string>{std::string(kMsgCommunicationError),
                                                       std::string(kMsgInvalidOrder)}));
  EXPECT_EQ(runFlag.value(), 0);
  // Other arguments pass, as they do in an exchange; the stream goes on.
  EXPECT_EQ(link.ReceivePushedFrame(stream), SensorLink::StreamResult::Frame);
  EXPECT_EQ(link.ReceivePushedFrame(stream), SensorLink::StreamResult::Frame);
  EXPECT_EQ(link.responseArgument(), 7);
  EXPECT_EQ(report.messages.size(), 2u);
}

TEST_P(LinkTest, StrayBytesAtAStopAreDroppedOnceTheyCannotBeAHeaderAnyMore) {
  fake->push().send(Bytes{0x55, 0x08, 0x01}, 1.0).run([this] { runFlag.clear(); }, 0.1);
  const double stop = 101.1;
  EXPECT_EQ(link.ReceivePushedFrame(runFlag), SensorLink::StreamResult::Stopped);
  EXPECT_GT(clock.now() - stop, kExchangeTimeoutSeconds);
  EXPECT_LT(clock.now() - stop, kExchangeTimeoutSeconds + 0.01);
  EXPECT_EQ(fake->pending(), 0u);
  EXPECT_TRUE(report.messages.empty());
}

TEST_P(LinkTest, EndingAStreamSkipsPushedFramesForTheExchangeLimitAtMost) {
  // Frames pushed before the answer are dropped, the answer is taken.
  fake->answerNext()
      .send(buildFrame(ORDER_GET_DATA, 1, counting(40)))
      .sendInPieces(buildFrame(ORDER_GET_DATA, 2, counting(40)), 3, 0.01, 0.5)
      .send(buildFrame(ORDER_AUTO_SEND, 0, {}), 0.5);
  EXPECT_EQ(link.endStream(ORDER_AUTO_SEND, 0, true), 1);
  EXPECT_EQ(link.responseOrder(), ORDER_AUTO_SEND);
  EXPECT_EQ(fake->flushCount(), 0);

  // A sensor that goes on pushing and never answers: the time-out after
  // 3.0 s (on a serial link plus the final read's port time-out).
  PeerScript& pushing = fake->answerNext();
  for (int i = 0; i < 40; ++i) pushing.send(buildFrame(ORDER_GET_DATA, 3, counting(40)), 0.25);
  const double start = clock.now();
  EXPECT_EQ(link.endStream(ORDER_AUTO_SEND, 0, false), -1);
  EXPECT_EQ(report.messages, std::vector<std::string>{std::string(kMsgTimeout)});
  EXPECT_EQ(fake->flushCount(), 1);
  EXPECT_GT(clock.now() - start, kExchangeTimeoutSeconds);
  EXPECT_LE(clock.now() - start, kExchangeTimeoutSeconds + (tcp() ? 0.01 : kPortTimeoutSeconds));
}

TEST_F(SerialLinkOnFake, LineErrorWhileWaitingForAPushedFrame) {
  fake->push().lineError(0x10, 30.0);
  EXPECT_EQ(link.ReceivePushedFrame(flag), SensorLink::StreamResult::Failed);
  EXPECT_EQ(report.messages, std::vector<std::string>{std::string(kMsgStreamLineError)});
  // A hang-up ends the stream the same way.
  flag.set(1);
  fake->push().close(1.0);
  EXPECT_EQ(link.ReceivePushedFrame(flag), SensorLink::StreamResult::Failed);
  EXPECT_EQ(report.messages.size(), 2u);
  EXPECT_EQ(report.messages[1], kMsgStreamLineError);
}

TEST_F(TcpLinkOnFake, ServerClosingDuringAStream) {
  link.state().tcpConnected = true;
  ObservableFlag capture(1);
  fake->push().close(5.0);
  EXPECT_EQ(link.ReceivePushedFrame(capture), SensorLink::StreamResult::Failed);
  EXPECT_EQ(report.messages, std::vector<std::string>{std::string(kMsgServerClosed)});
  EXPECT_FALSE(link.state().tcpConnected);
}

// The scope on a TCP link: the start response and four 266-byte capture frames
// are collected in the receive buffer, then checked in place.
TEST_F(TcpLinkOnFake, BlockReceptionContinuesAfterTheStartingExchange) {
  Bytes frames;
  for (int k = 0; k < 4; ++k)
    frames =
        concat(frames, buildFrame(ORDER_SCOPE, 0, counting(258, static_cast<std::uint8_t>(k))));
  fake->answerNext().send(buildFrame(ORDER_SCOPE, 0, {})).sendInPieces(frames, 100, 0.5, 4.0);
  ASSERT_EQ(link.exchange(ORDER_SCOPE, 1, Bytes(10, 0)), 1);
  ObservableFlag capture(1);
  ASSERT_EQ(link.waitForReceived(1072, capture), SensorLink::StreamResult::Frame);
  EXPECT_EQ(link.receivedCount(), 1072u);
  for (std::size_t k = 0; k < 4; ++k) {
    const std::size_t offset = 8 + k * 266;
    ASSERT_EQ(link.CheckHeaderCRC(offset), 1);
    EXPECT_EQ(link.responseLength(), 258);
    EXPECT_EQ(crc8Update(link.receiveBuffer(), offset + 8, 258, crc8Table()),
              link.responsePayloadCrc());
  }
  EXPECT_EQ(link.CheckHeaderCRC(kReceiveBufferSize - 4), -1);  // no header fits there
  EXPECT_EQ(report.messages.back(), kMsgHeaderIncorrect);
}

// Break: a nested callback sends its own exchange, then clears the capture
// flag; the block wait ends without a report.
TEST_F(TcpLinkOnFake, BreakDuringBlockWait) {
  fake->answerNext().send(buildFrame(ORDER_SCOPE, 0, {}));
  ASSERT_EQ(link.exchange(ORDER_SCOPE, 1, Bytes(10, 0)), 1);
  ObservableFlag capture(1);
  int breakResult = 0;
  fake->answerNext().send(buildFrame(ORDER_SCOPE, 0, {}), 0.1);
  fake->push().run(
      [&] {
        breakResult = link.exchange(ORDER_SCOPE, 0);
        capture.clear();
      },
      20.0);
  EXPECT_EQ(link.waitForReceived(1072, capture), SensorLink::StreamResult::Stopped);
  EXPECT_EQ(breakResult, 1);
  EXPECT_TRUE(report.messages.empty());
}

// --- Settings tables --------------------------------------------------------------

TEST(LinkSettings, BaudTableAndResultTexts) {
  EXPECT_EQ(baudRateForIndex(0), 9600);
  EXPECT_EQ(baudRateForIndex(4), 115200);
  EXPECT_EQ(baudRateForIndex(7), 921600);
  EXPECT_EQ(baudRateForIndex(8), 115200);
  EXPECT_EQ(baudRateForIndex(-1), 115200);
  EXPECT_EQ(baudIndexForRate(460800), 6);
  EXPECT_EQ(baudIndexForRate(4800), -1);

  EXPECT_EQ(serialErrorText(-99), "Timeout");
  EXPECT_EQ(serialErrorText(-14), "Invalid Baudrate");
  EXPECT_EQ(serialErrorText(-7), "Cannot open port");
  EXPECT_EQ(serialErrorText(-6), "No serial port found");
  EXPECT_EQ(serialErrorText(-4), "Unknown I/0 error");
  EXPECT_EQ(serialErrorText(-3), "Port is not open");
  EXPECT_EQ(serialErrorText(-2), "Invalid port number");
  EXPECT_EQ(serialErrorText(-1), "Unknown system error");
  EXPECT_EQ(serialErrorText(-5), "RS-232 error!");
  EXPECT_EQ(serialErrorText(kUnlistedTransportError), "RS-232 error!");

  EXPECT_EQ(tcpErrorText(-1), "UnableToRegisterService");
  EXPECT_EQ(tcpErrorText(-4), "FailedToConnect");
  EXPECT_EQ(tcpErrorText(-11), "TimeOutError");
  EXPECT_EQ(tcpErrorText(-14), "ConnectionClosed");
  EXPECT_EQ(tcpErrorText(-20), "InfoNotAvailable");
  EXPECT_EQ(tcpErrorText(-21), "Connection to server failed");
  EXPECT_EQ(tcpErrorText(kUnlistedTransportError), "Connection to server failed");
}

}  // namespace
}  // namespace drq
