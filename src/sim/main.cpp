// drqsim: the virtual sensor.
#include <cstdio>

int main() {
  std::fputs(
      "usage: drqsim [--tcp [HOST:]PORT] [--pty [--link PATH]] [--eeprom FILE] [--seed N]\n"
      "              [--id TEXT] [--serial N] [--pace] [--fault RULE]...\n",
      stderr);
  return 2;
}
