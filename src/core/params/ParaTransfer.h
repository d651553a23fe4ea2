#pragma once
// Moving the whole parameter set between the tool and the sensor's RAM or
// EEPROM. A set travels as three blocks (record S, low teach half 2S + 2, high
// teach half 2S + 3 for set S). Transfers stop at the first failed exchange;
// the failure has then been reported by the link (SetTimeout). Nothing is
// retried.
//
// The sensor checks what it receives and what it loads from EEPROM, replaces
// implausible values by its own defaults and reports how many in the response
// argument. A write's count is posted as an "INFO!" notice through the link's
// failure report (with all its effects: RunFlag and the link-up flag cleared);
// the transfer goes on. The EEPROM load's count is only appended to the
// connection log (EepromNotice).

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "core/Session.h"
#include "core/params/ParaSet.h"

namespace drq {

class SensorLink;

// Receives the EEPROM load's plausibility text (ending in "\n\n"); the GUI
// appends it to the connection page's message box and makes that page active.
using EepromNotice = std::function<void(std::string_view text)>;

// "INFO!\n" n " PARAMETER IN RAM DID NOT PASS PLAUSIBILITY CHECK AND WERE SET TO DEFAULT VALUE!"
std::string ramPlausibilityNotice(std::uint16_t count);
// "INFO!\n" n " PARAMETER FROM EEPROM DID NOT PASS PLAUSIBILITY CHECK AND WERE SET TO DEFAULT
// VALUE!\n\n"
std::string eepromPlausibilityNotice(std::uint16_t count);

// Writes `set` into parameter set `paraSet` (0 or 1; any other value counts as
// 1) of the sensor's RAM and, with target EEPROM, stores RAM into the EEPROM
// afterwards (ORDER_STORE_EEPROM, whose answer is not examined). Any target
// other than EEPROM writes RAM only. Returns 1 when every exchange succeeded,
// -1 when one failed (the rest was not sent).
int SendPara(SensorLink& link, const ParaSet& set, TransferTarget target, std::uint16_t paraSet);

// Reads parameter set `paraSet` of the sensor's RAM into `set`, with target
// EEPROM after loading RAM from the EEPROM (ORDER_LOAD_EEPROM). Each block
// overwrites its part of `set` as it arrives, spare words included; a failed
// exchange leaves the parts already received and stops. Returns 1 when all
// three blocks arrived, -1 otherwise. `notice` may be empty.
int GetPara(SensorLink& link, ParaSet& set, TransferTarget target, std::uint16_t paraSet,
            const EepromNotice& notice);

// The session forms, as Send and Get run them: clear the pending flag, then
// transfer the working set with the session's target and selected set. Before
// SendPara the caller has read the panels into `session.working`
// (GetPanelValues); after GetPara returned 1 the caller refreshes the panels
// and runs the mode rules. When GetPara returns -1 the panels stay as they are.
int SendPara(Session& session);
int GetPara(Session& session, const EepromNotice& notice);

}  // namespace drq
