// drqsim's command line.

#include <gtest/gtest.h>

#include "sim/SimOptions.h"
#include "support/TempDir.h"

namespace drq::sim {
namespace {

std::optional<SimOptions> parse(std::vector<std::string> args, std::string* error = nullptr) {
  std::string ignored;
  return parseSimOptions(args, error ? error : &ignored);
}

TEST(SimOptions, DefaultIsTcpOnTheStandardPort) {
  const auto o = parse({});
  ASSERT_TRUE(o);
  EXPECT_TRUE(o->tcp);
  EXPECT_FALSE(o->pty);
  EXPECT_EQ(o->tcpHost, "127.0.0.1");
  EXPECT_EQ(o->tcpPort, 10001);
  EXPECT_EQ(o->seed, 1u);
  EXPECT_FALSE(o->pace);

  const auto ptyOnly = parse({"--pty", "--link", "/tmp/x"});
  ASSERT_TRUE(ptyOnly);
  EXPECT_FALSE(ptyOnly->tcp);
  EXPECT_EQ(ptyOnly->linkPath, "/tmp/x");
}

TEST(SimOptions, TakesEveryOption) {
  drq::test::TempDir dir;
  ASSERT_TRUE(
      drq::test::writeFileBytes(dir.file("faults"), "# two\norder=8,kind=silent\nkind=close\n"));
  std::string faultFile = "@";
  faultFile += dir.file("faults").string();
  const auto o =
      parse({"--tcp", "0.0.0.0:0", "--pty", "--eeprom", "e.bin", "--seed", "18446744073709551615",
             "--id", "VELMARON DRQ V1.0.9 X", "--serial", "65535", "--pace", "--fault",
             "index=3,kind=delay:10", "--fault", faultFile});
  ASSERT_TRUE(o);
  EXPECT_EQ(o->tcpHost, "0.0.0.0");
  EXPECT_EQ(o->tcpPort, 0);
  EXPECT_TRUE(o->pty);
  EXPECT_EQ(o->eepromFile, "e.bin");
  EXPECT_EQ(o->seed, 18446744073709551615ull);
  EXPECT_EQ(o->identification, "VELMARON DRQ V1.0.9 X");
  EXPECT_EQ(o->serial, 65535);
  EXPECT_TRUE(o->pace);
  ASSERT_EQ(o->faults.size(), 3u);
  EXPECT_EQ(o->faults[0].kind, FaultKind::Delay);
  EXPECT_EQ(o->faults[2].kind, FaultKind::Close);
  EXPECT_EQ(parse({"--tcp", "4000"})->tcpPort, 4000);
  EXPECT_TRUE(parse({"--help"})->help);
}

TEST(SimOptions, RejectsBadInput) {
  const std::vector<std::vector<std::string>> bad = {{"--tcp"},
                                                     {"--tcp", "65536"},
                                                     {"--tcp", "host:"},
                                                     {"--tcp", ":80"},
                                                     {"--tcp", "12x"},
                                                     {"--tcp", "1", "--tcp", "2"},
                                                     {"--link", "/tmp/x"},
                                                     {"--serial", "65536"},
                                                     {"--serial", "-1"},
                                                     {"--seed", "1.5"},
                                                     {"--id", std::string(73, 'x')},
                                                     {"--fault", "kind=nope"},
                                                     {"--fault", "@/nonexistent/faults"},
                                                     {"--verbose"},
                                                     {"extra"},
                                                     {"--pace", "--pace"}};
  for (const auto& args : bad) {
    std::string error;
    EXPECT_FALSE(parse(args, &error)) << args[0];
    EXPECT_FALSE(error.empty());
  }
}

}  // namespace
}  // namespace drq::sim
