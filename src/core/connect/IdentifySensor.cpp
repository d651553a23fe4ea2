#include "core/connect/Identification.h"
#include "core/protocol/SensorLink.h"

namespace drq {

int identifySensor(SensorLink& link, Identification& out) {
  if (link.exchange(ORDER_IDENTIFY, 0) != 1) return -1;
  const auto payload = link.receiveBuffer().subspan(kHeaderSize, kIdentificationBytes);
  out = checkIdentification(identificationText(payload), link.responseArgument());
  return 1;
}

}  // namespace drq
