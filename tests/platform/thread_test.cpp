#include "platform/thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/clock.h"

namespace orbis::platform {
namespace {

// Waits up to two seconds for condition; a hung thread fails the test
// instead of the whole run.
template <typename Condition>
bool eventually(Condition condition) {
  for (int i = 0; i < 2000; ++i) {
    if (condition()) return true;
    sleepMilliseconds(1);
  }
  return condition();
}

struct Gate {
  std::atomic<bool> open{false};
  std::atomic<bool> entered{false};
};

uint32_t waitAtGate(void* argument) {
  auto* gate = static_cast<Gate*>(argument);
  gate->entered = true;
  while (!gate->open) std::this_thread::yield();
  return 7;
}

uint32_t returnZero(void*) { return 0; }

TEST(WorkerThreadTest, ExitCodeIsStillActiveUntilTheRoutineReturns) {
  Gate gate;
  WorkerThread worker;
  ASSERT_TRUE(worker.start(waitAtGate, &gate));
  ASSERT_TRUE(eventually([&] { return gate.entered.load(); }));
  EXPECT_EQ(worker.exitCode(), StillActive);
  gate.open = true;
  EXPECT_TRUE(eventually([&] { return worker.exitCode() != StillActive; }));
  EXPECT_EQ(worker.exitCode(), 7u);
  worker.join();
  EXPECT_EQ(worker.exitCode(), 7u);
}

TEST(WorkerThreadTest, RefusesASecondStartAndANullRoutine) {
  WorkerThread worker;
  EXPECT_FALSE(worker.start(nullptr, nullptr));
  ASSERT_TRUE(worker.start(returnZero, nullptr));
  EXPECT_FALSE(worker.start(returnZero, nullptr));
  worker.join();
  EXPECT_EQ(worker.exitCode(), 0u);
}

TEST(WorkerThreadTest, JoinWithoutStartAndDestructionWaitForNothing) {
  WorkerThread idle;
  idle.join();
  EXPECT_EQ(idle.exitCode(), StillActive);
  std::atomic<int> ran{0};
  {
    WorkerThread worker;
    ASSERT_TRUE(worker.start(
        [](void* counter) -> uint32_t {
          sleepMilliseconds(20);
          static_cast<std::atomic<int>*>(counter)->store(1);
          return 0;
        },
        &ran));
  }  // the destructor joins
  EXPECT_EQ(ran.load(), 1);
}

// A worker that counts its steps and checks the control between them, the
// way the parser does between tokens.
struct Steps {
  ParseControl control;
  std::atomic<int> count{0};
  std::atomic<bool> stopped{false};
  int limit = 1 << 30;
};

uint32_t countSteps(void* argument) {
  auto* steps = static_cast<Steps*>(argument);
  while (steps->count < steps->limit) {
    if (!steps->control.checkpoint()) {
      steps->stopped = true;
      break;
    }
    ++steps->count;
    std::this_thread::yield();
  }
  return 0;
}

TEST(ParseControlTest, NothingRequestedLetsEveryStepPass) {
  ParseControl control;
  for (int i = 0; i < 1000; ++i) ASSERT_TRUE(control.checkpoint());
  EXPECT_FALSE(control.stopRequested());
}

TEST(ParseControlTest, PauseHoldsTheWorkerUntilResume) {
  Steps steps;
  WorkerThread worker;
  ASSERT_TRUE(worker.start(countSteps, &steps));
  ASSERT_TRUE(eventually([&] { return steps.count > 10; }));
  steps.control.pause();
  // At most the step under way when pause came can still finish.
  sleepMilliseconds(20);
  int held = steps.count;
  sleepMilliseconds(50);
  EXPECT_EQ(steps.count.load(), held);
  EXPECT_EQ(worker.exitCode(), StillActive);

  steps.control.resume();
  EXPECT_TRUE(eventually([&] { return steps.count > held + 10; }));
  steps.control.stop();
  worker.join();
  EXPECT_TRUE(steps.stopped);
}

TEST(ParseControlTest, StopEndsAPausedWorker) {
  Steps steps;
  WorkerThread worker;
  ASSERT_TRUE(worker.start(countSteps, &steps));
  ASSERT_TRUE(eventually([&] { return steps.count > 0; }));
  steps.control.pause();
  sleepMilliseconds(10);
  steps.control.stop();
  EXPECT_TRUE(eventually([&] { return worker.exitCode() == 0; }));
  worker.join();
  EXPECT_TRUE(steps.stopped);
  EXPECT_TRUE(steps.control.stopRequested());
}

TEST(ParseControlTest, StopIsFinal) {
  ParseControl control;
  control.stop();
  control.resume();
  control.pause();
  EXPECT_TRUE(control.stopRequested());
  EXPECT_FALSE(control.checkpoint());
  EXPECT_FALSE(control.checkpoint());
}

TEST(ParseControlTest, ResumeWithoutPauseChangesNothing) {
  ParseControl control;
  control.resume();
  EXPECT_TRUE(control.checkpoint());
  Steps steps;
  steps.limit = 100;
  steps.control.resume();
  WorkerThread worker;
  ASSERT_TRUE(worker.start(countSteps, &steps));
  worker.join();
  EXPECT_EQ(steps.count.load(), 100);
  EXPECT_FALSE(steps.stopped);
}

}  // namespace
}  // namespace orbis::platform
