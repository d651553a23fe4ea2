#pragma once
// A main window on a temporary program directory with scripted popups, and
// helpers to drive it the way an operator does.

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/ScriptedPopups.h"
#include "core/Session.h"
#include "gui/shell/MainWindow.h"
#include "support/TempDir.h"

namespace drq::gui::test {

// Panel settings file lines (CR LF added) that start the window towards a
// TCP server; port 1 of the loopback interface refuses at once.
inline std::string settingsFileText(const std::string& address, int port,
                                    const std::string& extraSections = {}) {
  return "[GENERAL INFO]\r\nFILE TYPE: = \"Panel Settings\"\r\n\r\n"
         "[COMMUNICATION SETTINGS]\r\nCOMPROTOCOL = 1\r\nIP ADRESS = \"" +
         address + "\"\r\nPORT NUMBER = \"" + std::to_string(port) + "\"\r\n\r\n" + extraSections;
}

class ShellTest : public ::testing::Test {
 protected:
  void TearDown() override {
    if (window) {
      window->CleanUp();
      window.reset();
    }
    EXPECT_TRUE(popups.errors().isEmpty()) << popups.errors().join('\n').toStdString();
  }

  std::filesystem::path settingsPath() const { return dir.file("PanelSettings.cfg"); }

  void writeSettings(const std::string& text) {
    ASSERT_TRUE(drq::test::writeFileBytes(settingsPath(), text));
  }

  // Builds the window (not yet started).
  MainWindow& build(StartOptions options = {}) {
    if (options.programDir.empty()) options.programDir = dir.path();
    window = std::make_unique<MainWindow>(session, popups, options);
    return *window;
  }

  // Builds and starts the window (InitAll).
  MainWindow& start(StartOptions options = {}) {
    build(std::move(options));
    window->InitAll();
    return *window;
  }

  // Starts offline quickly: a server that refuses, and the OFFLINE answer.
  MainWindow& startOffline(const std::string& extraSections = {}) {
    writeSettings(settingsFileText("127.0.0.1", 1, extraSections));
    popups.answerChoice(2);
    return start();
  }

  template <typename T>
  T* find(const char* name) const {
    T* widget = window->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }

  drq::test::TempDir dir;
  Session session;
  ScriptedPopups popups;
  std::unique_ptr<MainWindow> window;
};

}  // namespace drq::gui::test
