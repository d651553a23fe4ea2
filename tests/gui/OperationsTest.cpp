// The owner of running operations on its own: dimming, nesting, refusal,
// the end of the program, and the popups that fall silent then.

#include <QPushButton>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include "app/ScriptedPopups.h"
#include "core/PopupTitles.h"
#include "core/Session.h"
#include "gui/operations/Operations.h"
#include "gui/operations/QuietOnEndPopups.h"

namespace drq::gui::test {
namespace {

class OperationsTest : public ::testing::Test {
 protected:
  OperationsTest() {
    operations.dimmer().add(ButtonDimmer::Group::Transfer, &send);
    operations.dimmer().add(ButtonDimmer::Group::Always, &go);
  }

  Session session;
  Operations operations{session.RunFlag, session.link};
  QPushButton send;
  QPushButton go;
};

TEST_F(OperationsTest, TheOutermostGuardDimsAndUndimsNestedOnesChangeNothing) {
  QSignalSpy idle(&operations, &Operations::idle);
  {
    OperationGuard outer = operations.start(Operation::GetCalibration);
    ASSERT_TRUE(outer);
    EXPECT_TRUE(operations.busy());
    EXPECT_EQ(operations.current(), Operation::GetCalibration);
    EXPECT_FALSE(send.isEnabled());
    EXPECT_FALSE(go.isEnabled());
    {
      OperationGuard inner = operations.join(Operation::GetParameters);
      ASSERT_TRUE(inner);
    }
    // The nested step ended: still busy, still dimmed, not idle.
    EXPECT_TRUE(operations.busy());
    EXPECT_FALSE(go.isEnabled());
    EXPECT_EQ(idle.count(), 0);
  }
  EXPECT_FALSE(operations.busy());
  EXPECT_TRUE(send.isEnabled());
  EXPECT_TRUE(go.isEnabled());
  EXPECT_EQ(idle.count(), 1);
}

TEST_F(OperationsTest, ASecondStartIsRefusedWhileOneRunsAndGrantedAfterwards) {
  OperationGuard live = operations.start(Operation::Live, Dimming::KeepTransfer);
  ASSERT_TRUE(live);
  // Live acquisition leaves SEND and GET usable.
  EXPECT_TRUE(send.isEnabled());
  EXPECT_FALSE(go.isEnabled());
  EXPECT_FALSE(operations.canStart());
  EXPECT_FALSE(operations.start(Operation::Live));
  EXPECT_FALSE(operations.start(Operation::WhiteCalibration));
  // A file transfer is served inside live acquisition, BREAK only inside a
  // capture.
  EXPECT_TRUE(operations.startWithin(Operation::Live, Operation::SendParameterFile));
  EXPECT_FALSE(operations.startWithin(Operation::ScopeCapture, Operation::ScopeBreak));
  live.release();
  EXPECT_FALSE(live);
  EXPECT_TRUE(operations.canStart());
  OperationGuard again = operations.start(Operation::ScopeBreak);
  EXPECT_TRUE(again);
}

TEST_F(OperationsTest, MovedGuardsEndTheOperationOnceAndKeepDimmedLeavesTheButtonsDimmed) {
  QSignalSpy idle(&operations, &Operations::idle);
  {
    OperationGuard first = operations.start(Operation::Connect);
    OperationGuard second = std::move(first);
    EXPECT_FALSE(first);
    ASSERT_TRUE(second);
    second.keepDimmed();
  }
  EXPECT_EQ(idle.count(), 1);
  EXPECT_FALSE(operations.busy());
  EXPECT_FALSE(go.isEnabled());
  // The next operation undims as usual.
  { OperationGuard next = operations.start(Operation::Connect); }
  EXPECT_TRUE(go.isEnabled());
}

TEST_F(OperationsTest, EndingWhileIdleEndsAtOnceAndRefusesEveryStart) {
  QSignalSpy end(&operations, &Operations::programEnd);
  QSignalSpy endRequested(&operations, &Operations::endRequested);
  session.RunFlag.set(1);
  operations.endProgram();
  EXPECT_EQ(end.count(), 1);
  EXPECT_EQ(endRequested.count(), 0);
  EXPECT_FALSE(session.RunFlag.isSet());
  EXPECT_TRUE(session.link.stopOrdersOnly());
  EXPECT_FALSE(operations.start(Operation::Live));
  EXPECT_FALSE(operations.join(Operation::GetParameters));
  operations.endProgram();
  EXPECT_EQ(end.count(), 1);
}

TEST_F(OperationsTest, EndingWhileBusyWaitsForTheOperationAndKeepsItsButtonsDimmed) {
  QSignalSpy end(&operations, &Operations::programEnd);
  QSignalSpy endRequested(&operations, &Operations::endRequested);
  {
    OperationGuard running = operations.start(Operation::WhiteCalibration);
    operations.endProgram();
    EXPECT_EQ(endRequested.count(), 1);
    EXPECT_EQ(end.count(), 0);
    // Steps of the running operation still nest (they unwind it).
    EXPECT_TRUE(operations.join(Operation::SendCalibration));
    EXPECT_FALSE(operations.start(Operation::Live));
  }
  EXPECT_EQ(end.count(), 1);
  EXPECT_FALSE(go.isEnabled());
}

TEST_F(OperationsTest, TheLinkLetsOnlyStopOrdersThroughWhileTheProgramEnds) {
  EXPECT_TRUE(SensorLink::isStopOrder(ORDER_AUTO_SEND, 0));
  EXPECT_TRUE(SensorLink::isStopOrder(ORDER_SCOPE, 0));
  EXPECT_FALSE(SensorLink::isStopOrder(ORDER_AUTO_SEND, 1));
  EXPECT_FALSE(SensorLink::isStopOrder(ORDER_SCOPE, 1));
  EXPECT_FALSE(SensorLink::isStopOrder(ORDER_SEND_CALIB, 0));
  EXPECT_FALSE(SensorLink::isStopOrder(ORDER_GET_DATA, 0));
  // Refused requests fail at once and unreported: no transport is needed to
  // see it (without one a request would otherwise report a time-out).
  session.link.setStopOrdersOnly(true);
  session.link.state().linkUp = true;
  EXPECT_EQ(session.link.exchange(ORDER_GET_DATA, 0), -1);
  EXPECT_TRUE(session.link.state().linkUp);
  EXPECT_TRUE(session.link.state().errorText.empty());
}

TEST_F(OperationsTest, PopupsAreAnsweredSafelyAndUnseenOnceTheProgramEnds) {
  ScriptedPopups shown;
  QuietOnEndPopups popups(shown, operations);
  shown.answerConfirm(true);
  EXPECT_TRUE(popups.ConfirmPopup(QStringLiteral("T"), QStringLiteral("Q")));
  ASSERT_EQ(shown.records().size(), 1u);

  OperationGuard running = operations.start(Operation::Record);
  operations.endProgram();
  popups.MessagePopup(QString::fromLatin1(kTitleAttention), QStringLiteral("text"));
  EXPECT_FALSE(popups.ConfirmPopup(QStringLiteral("T"), QStringLiteral("Q")));
  EXPECT_EQ(popups.GenericMessagePopup(QStringLiteral("T"), QStringLiteral("Q"),
                                       {QStringLiteral("CLOSE"), QStringLiteral("OFFLINE")}, 2, 1),
            1);
  EXPECT_FALSE(popups.PromptPopup(QStringLiteral("T"), QStringLiteral("Q"), 10));
  EXPECT_EQ(popups.FileSelectPopup({}).result, 0);
  EXPECT_EQ(shown.records().size(), 1u);
}

}  // namespace
}  // namespace drq::gui::test
