#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/CliRun.h"
#include "cli/CliSupport.h"
#include "cli/Options.h"

namespace drq::cli {
namespace {

constexpr OptionSpec kOptions[] = {valueOption("--count", "N"), valueOption("-o"),
                                   flagOption("--force")};

ParsedOptions parse(const std::vector<std::string>& args,
                    UnknownOptions unknown = UnknownOptions::Refuse) {
  return parseOptions(args, kOptions, unknown);
}

TEST(Options, ValuesFollowAsTheNextWordOrAfterAnEqualsSignInOrder) {
  const ParsedOptions p =
      parse({"A", "--count", "-5", "--count=", "-o", "--force", "-", "--force", "B"});
  ASSERT_FALSE(p.error);
  ASSERT_EQ(p.words.size(), 7u);
  EXPECT_EQ(p.words[1].name, "--count");
  EXPECT_EQ(p.words[1].value, "-5");  // a value option takes the next word, whatever it is
  EXPECT_EQ(p.value("--count"), "");  // the last one given; "=" with nothing is an empty value
  EXPECT_EQ(p.value("-o"), "--force");
  EXPECT_EQ(p.count("--force"), 1);
  EXPECT_EQ(p.positional(), (std::vector<std::string>{"A", "-", "B"}));
  EXPECT_FALSE(p.value("--absent"));
}

TEST(Options, ReadingStopsAtTheFirstProblem) {
  ParsedOptions p = parse({"--count", "1", "--force=yes", "--count"});
  EXPECT_EQ(p.error, "unknown option --force=yes");  // a flag takes no value
  EXPECT_EQ(p.words.size(), 1u);

  p = parse({"A", "--count"});
  EXPECT_EQ(p.error, "--count needs N");
  EXPECT_EQ(p.positional(), std::vector<std::string>{"A"});
  EXPECT_EQ(parse({"-o"}).error, "-o needs a value");
  EXPECT_EQ(parse({"-o=x"}).error, "unknown option -o=x");  // '=' belongs to long options
  EXPECT_EQ(parse({"--counts", "3"}).error, "unknown option --counts");
}

TEST(Options, KeptUnknownOptionsStayInPlaceAsWords) {
  const ParsedOptions p = parse({"watch", "--x=1", "--count=2", "-y"}, UnknownOptions::Keep);
  ASSERT_FALSE(p.error);
  EXPECT_EQ(p.positional(), (std::vector<std::string>{"watch", "--x=1", "-y"}));
  EXPECT_EQ(p.value("--count"), "2");
}

// Every command reads its options alike: the same words for an unknown option
// and for a value missing at the end, with the command's synopsis.
TEST(Options, EveryCommandReportsOptionProblemsAlike) {
  for (const std::string command : {"raw", "get-para", "send-para", "show-para", "diff-para",
                                    "watch", "hwinfo", "record", "scope", "publish"}) {
    const test::CliRun r = test::runCliCaptured({"--tcp", "a", command, "--bogus", "1"});
    EXPECT_EQ(r.status, kExitUsage) << command;
    EXPECT_EQ(r.err.rfind("drqctl " + command + ": unknown option --bogus\nusage: drqctl ", 0), 0u)
        << r.err;
  }
  const test::CliRun white = test::runCliCaptured({"--tcp", "a", "calib", "white", "--set-value"});
  EXPECT_EQ(white.status, kExitUsage);
  EXPECT_EQ(white.err.rfind("drqctl calib: --set-value needs a value\n", 0), 0u) << white.err;
  const test::CliRun global = test::runCliCaptured({"watch", "--serial"});
  EXPECT_EQ(global.err.rfind("drqctl: --serial needs a value\n", 0), 0u) << global.err;
}

}  // namespace
}  // namespace drq::cli
