// drqscope: the operator tool.
#include "gui/Application.h"

int main(int argc, char** argv) {
  return drq::gui::WinMain(argc, argv);
}
