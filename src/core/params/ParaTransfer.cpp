#include "core/params/ParaTransfer.h"

#include "core/params/ParaWire.h"
#include "core/protocol/SensorLink.h"

namespace drq {
namespace {

std::uint16_t normalisedSet(std::uint16_t paraSet) {
  return paraSet == 0 ? 0 : 1;
}

// One ORDER_WRITE_PARA; a non-zero plausibility count is posted as a notice.
int writeBlock(SensorLink& link, std::uint16_t block, std::span<const std::uint8_t> payload) {
  if (link.exchange(ORDER_WRITE_PARA, block, payload) != 1) return -1;
  if (const std::uint16_t count = link.responseArgument(); count != 0) {
    link.reportFailure(ramPlausibilityNotice(count));
  }
  return 1;
}

// One ORDER_READ_PARA; the block is the start of the received payload.
int readBlock(SensorLink& link, std::uint16_t block) {
  return link.exchange(ORDER_READ_PARA, block) == 1 ? 1 : -1;
}

std::span<const std::uint8_t> receivedPayload(const SensorLink& link, std::size_t bytes) {
  return link.receiveBuffer().subspan(kHeaderSize, bytes);
}

}  // namespace

std::string ramPlausibilityNotice(std::uint16_t count) {
  return "INFO!\n" + std::to_string(count) +
         " PARAMETER IN RAM DID NOT PASS PLAUSIBILITY CHECK AND WERE SET TO DEFAULT VALUE!";
}

std::string eepromPlausibilityNotice(std::uint16_t count) {
  return "INFO!\n" + std::to_string(count) +
         " PARAMETER FROM EEPROM DID NOT PASS PLAUSIBILITY CHECK AND WERE SET TO DEFAULT "
         "VALUE!\n\n";
}

int SendPara(SensorLink& link, const ParaSet& set, TransferTarget target, std::uint16_t paraSet) {
  const std::uint16_t s = normalisedSet(paraSet);
  const auto record = recordToWire(set.record);
  if (writeBlock(link, recordBlockNumber(s), record) != 1) return -1;
  for (const TeachHalf half : {TeachHalf::Low, TeachHalf::High}) {
    const auto block = teachBlockToWire(set.table, half);
    if (writeBlock(link, teachBlockNumber(s, half), block) != 1) return -1;
  }
  if (target == TransferTarget::Eeprom) {
    if (link.exchange(ORDER_STORE_EEPROM, 0) != 1) return -1;
  }
  return 1;
}

int GetPara(SensorLink& link, ParaSet& set, TransferTarget target, std::uint16_t paraSet,
            const EepromNotice& notice) {
  const std::uint16_t s = normalisedSet(paraSet);
  if (target == TransferTarget::Eeprom) {
    if (link.exchange(ORDER_LOAD_EEPROM, 0) != 1) return -1;
    if (const std::uint16_t count = link.responseArgument(); count != 0) {
      const std::string text = eepromPlausibilityNotice(count);
      link.state().errorText = text;
      if (notice) notice(text);
    }
  }
  if (readBlock(link, recordBlockNumber(s)) != 1) return -1;
  set.record = recordFromWire(receivedPayload(link, kParaRecordBytes));
  for (const TeachHalf half : {TeachHalf::Low, TeachHalf::High}) {
    if (readBlock(link, teachBlockNumber(s, half)) != 1) return -1;
    teachBlockFromWire(set.table, half, receivedPayload(link, kTeachBlockBytes));
  }
  return 1;
}

int SendPara(Session& session) {
  session.pendingSend = false;
  return SendPara(session.link, session.working, session.target, session.selectedSet);
}

int GetPara(Session& session, const EepromNotice& notice) {
  session.pendingGet = false;
  return GetPara(session.link, session.working, session.target, session.selectedSet, notice);
}

}  // namespace drq
