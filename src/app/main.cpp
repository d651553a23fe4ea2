// drqscope: the operator tool.
#include "app/Application.h"

int main(int argc, char** argv) {
  return drq::gui::WinMain(argc, argv);
}
