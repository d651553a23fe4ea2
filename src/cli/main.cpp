// drqctl: command-line access to a sensor.
#include <cstdio>

int main() {
  std::fputs(
      "usage: drqctl [--tcp HOST[:PORT] | --serial DEVICE [--baud RATE | --baud-index N]]\n"
      "              COMMAND [ARGS]\n",
      stderr);
  return 2;
}
