#include <gtest/gtest.h>

#include <cerrno>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/Session.h"
#include "core/calib/HardwareFile.h"
#include "core/ini/FileReplacer.h"
#include "core/ini/IniStore.h"
#include "core/params/ParaFile.h"
#include "core/params/ParaTransfer.h"
#include "core/params/ParaWire.h"
#include "core/platform/Platform.h"
#include "core/protocol/Frame.h"
#include "support/FakeTransport.h"
#include "support/RecordingReport.h"
#include "support/TempDir.h"

namespace drq {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::readFileBytes;
using test::TempDir;
using test::writeFileBytes;

const std::string kReference = std::string(DRQ_TEST_DATA_DIR) + "/calib/HardwareInitialFile.ini";

// The content pinned by the reference file.
HardwareFileContent referenceContent() {
  HardwareFileContent c;
  c.identification = "VELMARON DRQ V1.0.3 B";
  for (std::size_t i = 0; i < kHwInfoWords; ++i) {
    c.block[i] = static_cast<std::uint16_t>((i * 0x9E37u + 0x0A) & 0xFFFFu);
  }
  c.factors = {1152, 1024, 921};
  c.offsets = {12, 7, 30};
  c.set = defaultParaSet();
  c.set.record[ParaWord::Power] = 650;
  c.set.record[ParaWord::MaxVecNo] = 3;
  c.set.table[0].cell(0) = 412;
  c.set.table[0].group() = 2;
  c.set.table[63].hold() = 0;
  c.set.table[63].spare() = 0xBEEF;  // never filed
  return c;
}

TEST(HardwareFileData, WordsAreFourUpperCaseDigitsWithoutSeparators) {
  HwInfoBlock block{};
  EXPECT_EQ(hwInfoDataString(block), std::string(1024, '0'));
  block[0] = 10;
  block[1] = 0xBEEF;
  block[255] = 0x00F0;
  const std::string data = hwInfoDataString(block);
  ASSERT_EQ(data.size(), 1024u);
  EXPECT_EQ(data.substr(0, 8), "000ABEEF");
  EXPECT_EQ(data.substr(1020), "00F0");
}

TEST(HardwareFileData, AShortBlockReadsAsZerosBeyondWhatArrivedAndALongOneIsCut) {
  Bytes payload = {0x0A, 0x00, 0x34, 0x12, 0x77};  // two words and a stray byte
  HwInfoBlock block = hwInfoBlockOf(payload);
  EXPECT_EQ(block[0], 10);
  EXPECT_EQ(block[1], 0x1234);
  EXPECT_EQ(block[2], 0);
  payload.assign(600, 0x11);
  block = hwInfoBlockOf(payload);
  EXPECT_EQ(block[255], 0x1111);
}

TEST(HardwareFile, ContentIsPinnedByteForByteAndDataReadsBackWhole) {
  TempDir dir;
  const auto path = dir.file("HardwareInitialFile.ini");
  const HardwareFileContent content = referenceContent();
  ASSERT_TRUE(writeHardwareFile(path, content).ok());
  const std::string expected = readFileBytes(kReference);
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(readFileBytes(path), expected);

  // The split DATA value joins again, and the parameter sections are the
  // parameter file's.
  ini::IniStore store;
  ASSERT_GE(store.Ini_ReadFromFile(path), 0);
  std::string data;
  EXPECT_EQ(store.Ini_GetStringIntoBuffer("HARDWARE INFO", "DATA", data, 2048), 1);
  EXPECT_EQ(data, hwInfoDataString(content.block));
  ParaSet back = defaultParaSet();
  EXPECT_TRUE(AcquireParaFromIniHandle(store, back.record).empty());
  EXPECT_TRUE(AcquireTechVecFromIniHandle(store, back.table).empty());
  ParaSet filed = content.set;
  filed.table[63].spare() = 0;
  EXPECT_EQ(back, filed);
}

TEST(HardwareFile, AnExistingFileIsReplacedWhole) {
  TempDir dir;
  const auto path = dir.file("old.ini");
  ASSERT_TRUE(writeFileBytes(path, std::string(200000, 'x') + "\r\n[KEEP]\r\nA = 1\r\n"));
  ASSERT_TRUE(writeHardwareFile(path, referenceContent()).ok());
  EXPECT_EQ(readFileBytes(path), readFileBytes(kReference));
}

// Fails the way a full disk does, at the first write.
class FullDisk final : public ini::FileReplacer {
 public:
  std::error_code begin(const std::filesystem::path&) override { return {}; }
  std::error_code write(std::string_view) override { return platform::errnoCode(ENOSPC); }
  std::error_code commit() override { return {}; }
  void abort() noexcept override {}
};

TEST(HardwareFile, AFailedWriteSaysWhatFailedWhereAndWhyInsteadOfSaved) {
  TempDir dir;
  FullDisk disk;
  const auto path = dir.file("HardwareInitialFile.ini");
  files::FileWriteResult r = writeHardwareFile(path, referenceContent(), &disk);
  EXPECT_EQ(r.status, ini::kIniDiskFull);
  EXPECT_EQ(files::failureReason(r), std::generic_category().message(ENOSPC));
  EXPECT_EQ(hardwareFileMessage(path, r),
            "ATTENTION!   HARDWARE INI FILE COULD NOT BE SAVED TO:\n" + path.string() + "\n" +
                files::failureReason(r) + "\n\n");

  const auto nowhere = dir.file("missing") / "HardwareInitialFile.ini";
  r = writeHardwareFile(nowhere, referenceContent());
  EXPECT_FALSE(r.ok());
  EXPECT_EQ(r.reason, std::errc::no_such_file_or_directory);

  r.status = 0;
  EXPECT_EQ(hardwareFileMessage(path, r),
            "HARDWARE INI FILE HAS BEEN SAVED TO:\n" + path.string() + "\n\n");
}

// --- GenerateHWInfoFile ---------------------------------------------------------

Bytes words(std::initializer_list<std::uint16_t> values) {
  Bytes out;
  for (const std::uint16_t v : values) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
  }
  return out;
}

// A window that logs what it is asked, reads through the session like the
// pages do, and answers the dialog as scripted.
class ScriptedHost final : public HardwareFileHost {
 public:
  explicit ScriptedHost(Session& s) : session(s) {}
  void getPara(ParaSet& read) override {
    events.push_back(std::string("getPara target ") +
                     std::to_string(static_cast<int>(session.target)));
    if (GetPara(session, {}) != 1) return;
    read = session.working;
    // The pages show what fits their controls; the file holds what was read.
    pages = read;
    pages.record[ParaWord::Power] = 0;
  }
  void getCF(CalibrationValues& read) override {
    events.push_back("getCF");
    CalibrationValues v;
    if (GetCF(session.link, v) != 1) return;
    read = v;
    shown = v;
    shown.factors[0] = 0;
  }
  std::optional<std::filesystem::path> chooseFile(const std::filesystem::path& current) override {
    events.push_back("dialog at " + current.string());
    return choice;
  }
  void appendMessage(std::string_view text) override { messages.emplace_back(text); }

  Session& session;
  std::optional<std::filesystem::path> choice;
  ParaSet pages = defaultParaSet();
  CalibrationValues shown;
  std::vector<std::string> events;
  std::vector<std::string> messages;
};

class GenerateFile : public testing::Test {
 protected:
  GenerateFile() : host(session) {
    auto t = std::make_unique<test::FakeTransport>(clock, TransportKind::Tcp);
    fake = t.get();
    session.link.setTransport(std::move(t));
    session.link.setFailureReport(&report);
    session.identification = "VELMARON DRQ V1.0.3 B";
    session.target = TransferTarget::Eeprom;
    session.hardwareFile = dir.file("HardwareInitialFile.ini");
    set = referenceContent().set;
  }

  void answerParameters() {
    fake->answerNext().send(buildFrame(ORDER_READ_PARA, 0, recordToWire(set.record)));
    fake->answerNext().send(
        buildFrame(ORDER_READ_PARA, 2, teachBlockToWire(set.table, TeachHalf::Low)));
    fake->answerNext().send(
        buildFrame(ORDER_READ_PARA, 3, teachBlockToWire(set.table, TeachHalf::High)));
  }
  void answerCalibration() {
    fake->answerNext().send(buildFrame(ORDER_GET_CALIB, 0, words({1152, 1024, 921, 12, 7, 30})));
  }
  void answerBlock() {
    Bytes block;
    for (const std::uint16_t w : referenceContent().block) {
      block.push_back(static_cast<std::uint8_t>(w & 0xFF));
      block.push_back(static_cast<std::uint8_t>(w >> 8));
    }
    fake->answerNext().send(buildFrame(ORDER_GET_HW_INFO, 0, block));
  }
  std::vector<FrameHeader> requests() const {
    std::vector<FrameHeader> out;
    for (const auto& w : fake->written()) {
      out.push_back(
          decodeHeader(std::span<const std::uint8_t, kHeaderSize>(w.data(), kHeaderSize)));
    }
    return out;
  }

  TempDir dir;
  test::FakeClock clock;
  Session session;
  test::RecordingReport report;
  test::FakeTransport* fake = nullptr;
  ScriptedHost host;
  ParaSet set;
};

TEST_F(GenerateFile, ReadsRamThenCalibrationThenTheGuardedBlockAndWritesTheReference) {
  answerParameters();
  answerCalibration();
  answerBlock();
  const auto chosen = dir.file("service.ini");
  host.choice = chosen;
  EXPECT_EQ(GenerateHWInfoFile(session, host), 1);

  const auto sent = requests();
  ASSERT_EQ(sent.size(), 5u);
  EXPECT_EQ(sent[3].order, ORDER_GET_CALIB);
  EXPECT_EQ(sent[4].order, ORDER_GET_HW_INFO);
  EXPECT_EQ(sent[4].argument, 13527);
  EXPECT_EQ(sent[4].length, 0);
  EXPECT_EQ(host.events, (std::vector<std::string>{
                             "getPara target 1", "getCF",
                             "dialog at " + dir.file("HardwareInitialFile.ini").string()}));
  EXPECT_EQ(session.target, TransferTarget::Eeprom);
  EXPECT_EQ(session.hardwareFile, chosen);
  EXPECT_EQ(readFileBytes(chosen), readFileBytes(kReference));
  EXPECT_EQ(host.messages, (std::vector<std::string>{"HARDWARE INI FILE HAS BEEN SAVED TO:\n" +
                                                     chosen.string() + "\n\n"}));
}

TEST_F(GenerateFile, ACancelledDialogKeepsTheRefreshedPagesAndWritesNothing) {
  answerParameters();
  answerCalibration();
  answerBlock();
  EXPECT_EQ(GenerateHWInfoFile(session, host), 0);
  EXPECT_EQ(host.pages.table, set.table);
  EXPECT_EQ(host.shown.offsets, (ChannelWords{12, 7, 30}));
  EXPECT_EQ(host.messages, (std::vector<std::string>{"ATTENTION!   NO FILE WAS SELECTED!\n\n"}));
  EXPECT_EQ(session.hardwareFile, dir.file("HardwareInitialFile.ini"));
  EXPECT_FALSE(std::filesystem::exists(session.hardwareFile));
}

TEST_F(GenerateFile, AnExchangeFailureEndsItSilentlyAfterTheLinkReportedIt) {
  answerParameters();
  fake->answerNext().send(buildFrame(kErrorReportOrder, kErrorUnknownOrder, {}));
  host.choice = dir.file("never.ini");
  EXPECT_EQ(GenerateHWInfoFile(session, host), -1);
  EXPECT_EQ(requests().size(), 4u);   // no block requested
  EXPECT_EQ(host.events.size(), 2u);  // no dialog
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(report.messages.size(), 1u);
  EXPECT_EQ(session.target, TransferTarget::Eeprom);

  // The block refused: no dialog either.
  answerParameters();
  answerCalibration();
  fake->answerNext().send(buildFrame(kErrorReportOrder, kErrorUnknownOrder, {}));
  host.events.clear();
  EXPECT_EQ(GenerateHWInfoFile(session, host), -1);
  EXPECT_EQ(host.events.size(), 2u);
  EXPECT_FALSE(std::filesystem::exists(dir.file("never.ini")));
}

}  // namespace
}  // namespace drq
