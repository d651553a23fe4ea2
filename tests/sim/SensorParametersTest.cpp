// Parameter blocks, plausibility, STORE/LOAD and the EEPROM file of the virtual sensor.

#include <gtest/gtest.h>

#include <filesystem>

#include "SimTestSupport.h"
#include "sim/EepromImage.h"
#include "sim/Plausibility.h"
#include "support/TempDir.h"

namespace drq::sim::test {
namespace {

ParaSet sampleSet(std::uint16_t base) {
  ParaSet s = defaultParaSet();
  s.record[ParaWord::Power] = static_cast<std::uint16_t>(base);
  s.record[ParaWord::MaxVecNo] = 12;
  s.record[ParaWord::Trigger] = 6;
  for (std::size_t r = 0; r < kTeachRows; ++r) {
    TeachVector& v = s.table[r];
    for (std::size_t c = 0; c < kTeachCells; ++c)
      v.cell(c) = static_cast<std::uint16_t>(base + 10 * r + c);
    v.group() = static_cast<std::uint16_t>(r % 31);
    v.hold() = static_cast<std::uint16_t>(r * 3);
    v.spare() = static_cast<std::uint16_t>(0xA000 + base + r);  // travels unchanged
  }
  return s;
}

// The tool's Send: record S, then teach blocks 2S+2 and 2S+3.
std::vector<std::uint16_t> sendSet(SensorModel& m, int set, const ParaSet& s) {
  std::vector<std::uint16_t> counts;
  const auto rows = std::span(s.table);
  counts.push_back(
      headerOf(ask(m, ORDER_WRITE_PARA, std::uint16_t(set), recordBytes(s.record)).frame).argument);
  counts.push_back(
      headerOf(
          ask(m, ORDER_WRITE_PARA, std::uint16_t(2 * set + 2), teachBytes(rows.first(32))).frame)
          .argument);
  counts.push_back(
      headerOf(
          ask(m, ORDER_WRITE_PARA, std::uint16_t(2 * set + 3), teachBytes(rows.last(32))).frame)
          .argument);
  return counts;
}

ParaSet getSet(SensorModel& m, int set) {
  ParaSet s;
  const Bytes rec = payloadOf(ask(m, ORDER_READ_PARA, std::uint16_t(set)).frame);
  const Bytes lo = payloadOf(ask(m, ORDER_READ_PARA, std::uint16_t(2 * set + 2)).frame);
  const Bytes hi = payloadOf(ask(m, ORDER_READ_PARA, std::uint16_t(2 * set + 3)).frame);
  EXPECT_EQ(rec.size(), kParaRecordBytes);
  EXPECT_EQ(lo.size(), kTeachBlockBytes);
  EXPECT_EQ(hi.size(), kTeachBlockBytes);
  for (std::size_t i = 0; i < kParaRecordWords; ++i) s.record.words[i] = readLe16(rec, 2 * i);
  for (std::size_t r = 0; r < kTeachRows; ++r)
    for (std::size_t w = 0; w < kTeachVectorWords; ++w)
      s.table[r].words[w] = readLe16(r < 32 ? lo : hi, (r % 32) * kTeachVectorBytes + 2 * w);
  return s;
}

TEST(SensorParameters, EachSetWritesAndReadsBackItsOwnBlocksWithSpareWords) {
  SensorModel m;
  const ParaSet a = sampleSet(100), b = sampleSet(700);
  EXPECT_EQ(sendSet(m, 0, a), (std::vector<std::uint16_t>{0, 0, 0}));
  EXPECT_EQ(sendSet(m, 1, b), (std::vector<std::uint16_t>{0, 0, 0}));
  EXPECT_EQ(getSet(m, 0), a);
  EXPECT_EQ(getSet(m, 1), b);
  EXPECT_EQ(m.ramSet(1), b);
  EXPECT_EQ(m.eepromSet(1), defaultParaSet());  // RAM only until STORE
}

TEST(SensorParameters, LogShowsTheTransferSequenceAsSent) {
  SensorModel m;
  sendSet(m, 1, sampleSet(100));
  ask(m, ORDER_STORE_EEPROM);
  const auto& log = m.requestLog();
  ASSERT_EQ(log.size(), 4u);
  const std::uint16_t args[] = {1, 4, 5, 0};
  const std::size_t totals[] = {42, 520, 520, 8};
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(log[i].sequence, i + 1);
    EXPECT_EQ(log[i].order, i < 3 ? ORDER_WRITE_PARA : ORDER_STORE_EEPROM);
    EXPECT_EQ(log[i].argument, args[i]);
    EXPECT_EQ(log[i].totalBytes, totals[i]);
    EXPECT_EQ(log[i].payload.size(), totals[i] - 8);
    EXPECT_TRUE(log[i].handled);
  }
  m.clearRequestLog();
  ask(m, ORDER_IDENTIFY);
  EXPECT_EQ(m.requestLog().front().sequence, 1u);
}

TEST(SensorParameters, ImplausibleRecordWordsAreReplacedAndCounted) {
  SensorModel m;
  ParaRecord r = sampleSet(100).record;
  r[ParaWord::Power] = 1001;
  r[ParaWord::Gain] = 8;
  r[ParaWord::Average] = 0;
  r[ParaWord::EvaluationMode] = 5;
  r[ParaWord::MaxVecNo] = 64;  // the largest plausible value stays
  const Reply reply = ask(m, ORDER_WRITE_PARA, 0, recordBytes(r));
  EXPECT_EQ(headerOf(reply.frame).order, ORDER_WRITE_PARA);
  EXPECT_EQ(headerOf(reply.frame).argument, 4);
  const ParaRecord& stored = m.ramSet(0).record;
  EXPECT_EQ(stored[ParaWord::Power], 500);
  EXPECT_EQ(stored[ParaWord::Gain], 5);
  EXPECT_EQ(stored[ParaWord::Average], 1);
  EXPECT_EQ(stored[ParaWord::EvaluationMode], 1);
  EXPECT_EQ(stored[ParaWord::MaxVecNo], 64);
  EXPECT_EQ(stored[ParaWord::Trigger], 6);
}

TEST(SensorParameters, CrossedDynamicWindowReturnsBothBoundsToDefaults) {
  ParaRecord r = defaultRecord();
  r[ParaWord::DynWinLo] = 3500;
  r[ParaWord::DynWinHi] = 3000;
  EXPECT_EQ(correctRecord(r), 2);
  EXPECT_EQ(r[ParaWord::DynWinLo], 3200);
  EXPECT_EQ(r[ParaWord::DynWinHi], 3300);
  // One bound out of range alone is one replacement, even when it then fits.
  r[ParaWord::DynWinHi] = 5000;
  EXPECT_EQ(correctRecord(r), 1);
}

TEST(SensorParameters, TeachBlockChecksGroupAndHoldOnly) {
  SensorModel m;
  std::array<TeachVector, 32> rows;
  rows.fill(defaultTeachVector());
  rows[0].cell(0) = 65535;  // cells are not range-checked
  rows[3].group() = 31;
  rows[7].hold() = 10001;
  rows[7].spare() = 0xBEEF;
  EXPECT_EQ(headerOf(ask(m, ORDER_WRITE_PARA, 5, teachBytes(rows)).frame).argument, 2);
  const TeachTable& t = m.ramSet(1).table;
  EXPECT_EQ(t[32].cell(0), 65535);
  EXPECT_EQ(t[35].group(), 0);
  EXPECT_EQ(t[39].hold(), 10);
  EXPECT_EQ(t[39].spare(), 0xBEEF);
  EXPECT_EQ(m.ramSet(1).table[0], defaultTeachVector());  // the low half is untouched
}

TEST(SensorParameters, WrongBlockOrLengthIsRefusedAndChangesNothing) {
  SensorModel m;
  const Bytes record = recordBytes(sampleSet(1).record);
  const Bytes half(kTeachBlockBytes, 0);
  EXPECT_TRUE(isErrorReport(ask(m, ORDER_WRITE_PARA, 6, record).frame, kErrorUnknownOrder));
  EXPECT_TRUE(isErrorReport(ask(m, ORDER_READ_PARA, 6).frame, kErrorUnknownOrder));
  EXPECT_TRUE(isErrorReport(ask(m, ORDER_WRITE_PARA, 0, half).frame, kErrorCommunication));
  EXPECT_TRUE(isErrorReport(ask(m, ORDER_WRITE_PARA, 2, record).frame, kErrorCommunication));
  EXPECT_TRUE(isErrorReport(ask(m, ORDER_WRITE_PARA, 1).frame, kErrorCommunication));
  EXPECT_EQ(m.ramSet(0), defaultParaSet());
  EXPECT_EQ(m.ramSet(1), defaultParaSet());
}

TEST(SensorParameters, StoreCopiesBothSetsAndLoadRestoresThem) {
  SensorModel m;
  const ParaSet a = sampleSet(100), b = sampleSet(700);
  sendSet(m, 0, a);
  sendSet(m, 1, b);
  EXPECT_EQ(headerOf(ask(m, ORDER_STORE_EEPROM).frame).order, ORDER_STORE_EEPROM);
  EXPECT_EQ(m.eepromSet(0), a);
  EXPECT_EQ(m.eepromSet(1), b);

  sendSet(m, 1, sampleSet(300));
  const Reply load = ask(m, ORDER_LOAD_EEPROM);
  EXPECT_EQ(headerOf(load.frame).order, ORDER_LOAD_EEPROM);
  EXPECT_EQ(headerOf(load.frame).argument, 0);
  EXPECT_EQ(getSet(m, 1), b);
  EXPECT_EQ(getSet(m, 0), a);
}

TEST(SensorParameters, LoadCorrectsImplausibleEepromContentIntoRamOnly) {
  SensorModel m;
  ParaSet bad = sampleSet(100);
  bad.record[ParaWord::LedMode] = 9;
  bad.table[60].group() = 40;
  m.setEepromSet(1, bad);
  ParaSet alsoBad = defaultParaSet();
  alsoBad.record[ParaWord::Integral] = 251;
  m.setEepromSet(0, alsoBad);
  EXPECT_EQ(headerOf(ask(m, ORDER_LOAD_EEPROM).frame).argument, 3);
  EXPECT_EQ(m.ramSet(1).record[ParaWord::LedMode], 0);
  EXPECT_EQ(m.ramSet(1).table[60].group(), 0);
  EXPECT_EQ(m.ramSet(0).record[ParaWord::Integral], 1);
  EXPECT_EQ(m.eepromSet(1), bad);
}

TEST(SensorParameters, EepromFileSurvivesARestartAndIsReplacedWhole) {
  drq::test::TempDir dir;
  const auto file = dir.file("sensor.eeprom");
  const ParaSet b = sampleSet(700);
  {
    SensorModel m;
    std::string error;
    ASSERT_TRUE(m.attachEepromFile(file, &error)) << error;
    EXPECT_FALSE(std::filesystem::exists(file));  // created by the first STORE
    sendSet(m, 1, b);
    ask(m, ORDER_STORE_EEPROM);
    const std::uint16_t factors[] = {1100, 900, 1000};
    ask(m, ORDER_SEND_CALIB, 0, words(factors));
    ask(m, ORDER_SET_BAUDRATE, 2);  // not stored: no STORE after it
  }
  EXPECT_EQ(std::filesystem::file_size(file), kEepromImageBytes);
  EXPECT_FALSE(std::filesystem::exists(dir.file("sensor.eeprom.tmp")));

  SensorModel again(7);
  std::string error;
  ASSERT_TRUE(again.attachEepromFile(file, &error)) << error;
  EXPECT_EQ(again.eepromSet(1), b);
  EXPECT_EQ(again.ramSet(1), b);  // power-up load
  EXPECT_EQ(again.calibration().factors, (std::array<std::uint16_t, 3>{1100, 900, 1000}));
  EXPECT_EQ(again.baudIndex(), kDefaultBaudIndex);
}

TEST(SensorParameters, DamagedOrForeignEepromFileIsRefused) {
  drq::test::TempDir dir;
  SensorModel m;
  std::string error;
  ASSERT_TRUE(drq::test::writeFileBytes(dir.file("foreign"), "[PARAMETER]\r\nPOWER=500\r\n"));
  EXPECT_FALSE(m.attachEepromFile(dir.file("foreign"), &error));
  EXPECT_NE(error.find("not an EEPROM image"), std::string::npos) << error;

  EepromContent c;
  c.sets.fill(sampleSet(5));
  auto image = encodeEeprom(c);
  image[500] ^= 1;
  ASSERT_TRUE(writeFileAtomically(dir.file("damaged"), image, &error));
  EXPECT_FALSE(m.attachEepromFile(dir.file("damaged"), &error));
  EXPECT_NE(error.find("CRC"), std::string::npos) << error;
  EXPECT_EQ(m.ramSet(0), defaultParaSet());

  // The refused file stays as it was: a STORE does not go there.
  ask(m, ORDER_STORE_EEPROM);
  EXPECT_EQ(drq::test::readFileBytes(dir.file("foreign")), "[PARAMETER]\r\nPOWER=500\r\n");
}

TEST(SensorParameters, UnwritableEepromFileIsReportedButTheSensorAnswers) {
  drq::test::TempDir dir;
  SensorModel m;
  std::string error;
  ASSERT_TRUE(m.attachEepromFile(dir.file("missing-dir") / "sensor.eeprom", &error));
  std::string reported;
  m.setEepromErrorHandler([&](const std::string& why) { reported = why; });
  EXPECT_EQ(headerOf(ask(m, ORDER_STORE_EEPROM).frame).order, ORDER_STORE_EEPROM);
  EXPECT_FALSE(reported.empty());
  EXPECT_EQ(m.lastEepromError(), reported);
}

}  // namespace
}  // namespace drq::sim::test
