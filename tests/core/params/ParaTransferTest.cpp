#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/Session.h"
#include "core/params/ParaTransfer.h"
#include "core/params/ParaWire.h"
#include "core/protocol/SensorLink.h"
#include "support/FakeClock.h"
#include "support/FakeTransport.h"

namespace drq {
namespace {

struct Reports final : FailureReport {
  std::vector<std::string> messages;
  void linkFailed(std::string_view message) override { messages.emplace_back(message); }
};

// The exchange engine on a scripted TCP peer.
class Transfer : public testing::Test {
 protected:
  Transfer() {
    auto transport = std::make_unique<test::FakeTransport>(clock, TransportKind::Tcp);
    fake = transport.get();
    link.state().protocol = kProtocolTcp;
    link.setTransport(std::move(transport));
    link.setFailureReport(&reports);
    link.state().linkUp = true;
  }

  void answer(std::uint8_t order, std::uint16_t argument,
              const std::vector<std::uint8_t>& payload = {}) {
    fake->answerNext().send(buildFrame(order, argument, payload));
  }

  FrameHeader request(std::size_t i) const {
    const auto& bytes = fake->written().at(i);
    return decodeHeader(std::span<const std::uint8_t, kHeaderSize>(bytes.data(), kHeaderSize));
  }

  static ParaSet sample() {
    ParaSet s = defaultParaSet();
    s.record[ParaWord::Power] = 777;
    for (std::size_t r = 0; r < kTeachRows; ++r) {
      s.table[r].cell(0) = static_cast<std::uint16_t>(r);
      s.table[r].spare() = static_cast<std::uint16_t>(0xBEE0 + r);
    }
    return s;
  }

  test::FakeClock clock;
  ObservableFlag run;
  SensorLink link{run, clock};
  test::FakeTransport* fake = nullptr;
  Reports reports;
};

TEST_F(Transfer, SendToEepromWritesThreeBlocksThenStores) {
  const ParaSet set = sample();
  for (int i = 0; i < 3; ++i) answer(ORDER_WRITE_PARA, 0);
  answer(ORDER_STORE_EEPROM, 0);
  EXPECT_EQ(SendPara(link, set, TransferTarget::Eeprom, 1), 1);

  ASSERT_EQ(fake->written().size(), 4u);
  const std::uint16_t blocks[] = {1, 4, 5};
  const std::size_t sizes[] = {42, 520, 520};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(request(i).order, ORDER_WRITE_PARA);
    EXPECT_EQ(request(i).argument, blocks[i]);
    EXPECT_EQ(fake->written()[i].size(), sizes[i]);
  }
  EXPECT_EQ(request(3).order, ORDER_STORE_EEPROM);
  EXPECT_EQ(request(3).argument, 0);
  EXPECT_EQ(fake->written()[3].size(), 8u);
  // Payloads are the memory images, spare words included.
  const auto record = recordToWire(set.record);
  EXPECT_TRUE(std::equal(record.begin(), record.end(), fake->written()[0].begin() + 8));
  const auto high = teachBlockToWire(set.table, TeachHalf::High);
  EXPECT_TRUE(std::equal(high.begin(), high.end(), fake->written()[2].begin() + 8));
  EXPECT_TRUE(reports.messages.empty());
  EXPECT_TRUE(link.state().linkUp);
}

TEST_F(Transfer, WritePlausibilityCountIsReportedAndTheTransferGoesOn) {
  run.set(1);
  answer(ORDER_WRITE_PARA, 0);
  answer(ORDER_WRITE_PARA, 2);
  answer(ORDER_WRITE_PARA, 0);
  answer(ORDER_STORE_EEPROM, 0);
  EXPECT_EQ(SendPara(link, sample(), TransferTarget::Eeprom, 0), 1);
  EXPECT_EQ(fake->written().size(), 4u);  // the store follows the notice
  ASSERT_EQ(reports.messages.size(), 1u);
  EXPECT_EQ(reports.messages[0],
            "INFO!\n2 PARAMETER IN RAM DID NOT PASS PLAUSIBILITY CHECK AND WERE SET TO DEFAULT "
            "VALUE!");
  EXPECT_FALSE(link.state().linkUp);  // the notice has the failure report's effects
  EXPECT_FALSE(run.isSet());
}

TEST_F(Transfer, SendStopsAtTheFirstFailedExchange) {
  answer(ORDER_WRITE_PARA, 0);  // the low block meets silence
  EXPECT_EQ(SendPara(link, sample(), TransferTarget::Ram, 0), -1);
  EXPECT_EQ(fake->written().size(), 2u);
  ASSERT_EQ(reports.messages.size(), 1u);
  EXPECT_EQ(reports.messages[0], kMsgTimeout);
}

TEST_F(Transfer, GetFromEepromLoadsFirstAndNoticesOnlyInTheLog) {
  const ParaSet source = sample();
  const auto record = recordToWire(source.record);
  const auto low = teachBlockToWire(source.table, TeachHalf::Low);
  const auto high = teachBlockToWire(source.table, TeachHalf::High);
  answer(ORDER_LOAD_EEPROM, 2);
  answer(ORDER_READ_PARA, 0, {record.begin(), record.end()});
  answer(ORDER_READ_PARA, 0, {low.begin(), low.end()});
  answer(ORDER_READ_PARA, 0, {high.begin(), high.end()});
  std::vector<std::string> notices;
  ParaSet set = defaultParaSet();
  EXPECT_EQ(GetPara(link, set, TransferTarget::Eeprom, 1,
                    [&notices](std::string_view t) { notices.emplace_back(t); }),
            1);
  ASSERT_EQ(fake->written().size(), 4u);
  EXPECT_EQ(request(0).order, ORDER_LOAD_EEPROM);
  EXPECT_EQ(request(1).order, ORDER_READ_PARA);
  EXPECT_EQ(request(1).argument, 1);
  EXPECT_EQ(request(3).argument, 5);
  EXPECT_EQ(fake->written()[1].size(), 8u);
  EXPECT_EQ(notices, (std::vector<std::string>{
                         "INFO!\n2 PARAMETER FROM EEPROM DID NOT PASS PLAUSIBILITY CHECK AND WERE "
                         "SET TO DEFAULT VALUE!\n\n"}));
  EXPECT_TRUE(reports.messages.empty());
  EXPECT_TRUE(link.state().linkUp);
  EXPECT_EQ(set, source);  // spare words included
}

TEST_F(Transfer, TimeOutOnSecondReadKeepsTheRecordAndStops) {
  const ParaSet source = sample();
  const auto record = recordToWire(source.record);
  answer(ORDER_READ_PARA, 0, {record.begin(), record.end()});
  ParaSet set = defaultParaSet();
  EXPECT_EQ(GetPara(link, set, TransferTarget::Ram, 0, {}), -1);
  EXPECT_EQ(fake->written().size(), 2u);  // the high block was never asked for
  EXPECT_EQ(set.record, source.record);
  EXPECT_EQ(set.table, defaultParaSet().table);
}

TEST_F(Transfer, ShortAnswersFillWithZeros) {
  answer(ORDER_READ_PARA, 0, {0x34, 0x12});
  answer(ORDER_READ_PARA, 0, {});
  answer(ORDER_READ_PARA, 0, {0x01});
  ParaSet set = defaultParaSet();
  EXPECT_EQ(GetPara(link, set, TransferTarget::Ram, 0, {}), 1);
  EXPECT_EQ(set.record.words[0], 0x1234);
  EXPECT_EQ(set.record.words[16], 0);
  EXPECT_EQ(set.table[0], TeachVector{});
  EXPECT_EQ(set.table[32].cell(0), 1);
}

TEST(TransferSession, ClearsItsPendingFlagAndUsesTargetAndSelectedSet) {
  test::FakeClock peerClock;
  Session session;
  auto transport = std::make_unique<test::FakeTransport>(peerClock, TransportKind::Tcp);
  test::FakeTransport* fake = transport.get();
  session.link.state().protocol = kProtocolTcp;
  session.link.setTransport(std::move(transport));
  session.pendingSend = true;
  session.pendingGet = true;
  session.selectedSet = 1;
  session.target = TransferTarget::Ram;
  for (int i = 0; i < 3; ++i) fake->answerNext().send(buildFrame(ORDER_WRITE_PARA, 0, {}));
  EXPECT_EQ(SendPara(session), 1);
  EXPECT_FALSE(session.pendingSend);
  EXPECT_TRUE(session.pendingGet);
  ASSERT_EQ(fake->written().size(), 3u);  // RAM: no store
  EXPECT_EQ(fake->written()[0][2], 1);    // block 1

  const std::vector<std::uint8_t> zeros(kTeachBlockBytes, 0);
  for (int i = 0; i < 3; ++i) fake->answerNext().send(buildFrame(ORDER_READ_PARA, 0, zeros));
  EXPECT_EQ(GetPara(session, {}), 1);
  EXPECT_FALSE(session.pendingGet);
  EXPECT_EQ(session.working, ParaSet{});
}

}  // namespace
}  // namespace drq
