#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/connect/Identification.h"

namespace drq {
namespace {

TEST(Identification, MatchingFirmwareShowsVersionWithoutThirdPiece) {
  const auto id = checkIdentification("VELMARON DRQ V1.0.3 B", 4711);
  EXPECT_EQ(id.piece1, "VELMARON DRQ V1");
  EXPECT_EQ(id.piece2, "0");
  EXPECT_EQ(id.piece3, "3");
  EXPECT_EQ(id.piece4, "B");
  EXPECT_TRUE(id.matches);
  EXPECT_EQ(id.shownVersion, "VELMARON DRQ V1.0B");
  EXPECT_EQ(id.messageBoxText(), "VELMARON DRQ V1.0B\nSERIAL NUMBER: 4711\n\n");
}

TEST(Identification, MismatchesAndTheirText) {
  EXPECT_FALSE(checkIdentification("VELMARON DRQ V1.1", 1).matches);
  // No second dot: the second piece runs to the end.
  const auto noSecondDot = checkIdentification("VELMARON DRQ V1.0 B", 1);
  EXPECT_EQ(noSecondDot.firmwareVersion, "VELMARON DRQ V1.0 B");
  EXPECT_FALSE(noSecondDot.matches);
  const auto noDot = checkIdentification("SOMETHING ELSE", 65535);
  EXPECT_EQ(noDot.piece2, "");
  EXPECT_FALSE(noDot.matches);
  EXPECT_EQ(noDot.mismatchText(),
            "Sensor firmware and scope version do not match! \nFirmware of connected sensor is: "
            "SOMETHING ELSE.\nThe serial number is: 65535\n\nClose window or work in offline "
            "mode!");
  EXPECT_TRUE(checkIdentification("VELMARON DRQ V1.0", 0).matches);
}

TEST(Identification, TextEndsAtFirstZeroOrAfter72Bytes) {
  std::vector<std::uint8_t> payload(100, 'A');
  EXPECT_EQ(identificationText(payload), std::string(72, 'A'));
  payload[5] = 0;
  EXPECT_EQ(identificationText(payload), "AAAAA");
  EXPECT_EQ(identificationText({}), "");
}

}  // namespace
}  // namespace drq
