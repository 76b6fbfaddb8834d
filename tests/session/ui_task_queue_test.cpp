#include "session/ui_task_queue.h"

#include <gtest/gtest.h>

#include "event_loop.h"

#include <QCoreApplication>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

TEST(UiTaskQueue, PostedTasksRunInOrderLater) {
  std::vector<std::string> seen;
  UiTaskQueue queue;
  for (std::string text : {std::string("a\0b", 3), std::string("16:2"), std::string("second\r\n")})
    queue.Post([&seen, text] { seen.push_back(text); });
  EXPECT_TRUE(seen.empty()) << "posting must not run the task at once";
  ASSERT_TRUE(PumpUntil([&] { return seen.size() == 3; }));
  EXPECT_EQ(seen[0], std::string("a\0b", 3));
  EXPECT_EQ(seen[1], "16:2");
  EXPECT_EQ(seen[2], "second\r\n");
}

TEST(UiTaskQueue, InvokeOnTheUiThreadRunsDirectly) {
  int calls = 0;
  UiTaskQueue queue;
  EXPECT_TRUE(queue.Invoke([&] { ++calls; }));
  EXPECT_EQ(calls, 1);
}

TEST(UiTaskQueue, InvokeFromAnotherThreadWaitsUntilTheUiThreadRanIt) {
  UiTaskQueue queue;
  std::atomic<bool> ran{false};
  std::thread::id taskThread;
  std::atomic<bool> returned{false};
  bool result = false;
  std::thread invoker([&] {
    result = queue.Invoke([&] {
      taskThread = std::this_thread::get_id();
      ran = true;
    });
    returned = true;
  });
  ASSERT_TRUE(PumpUntil([&] { return returned.load(); }));
  invoker.join();
  EXPECT_TRUE(ran);
  EXPECT_TRUE(result);
  EXPECT_EQ(taskThread, std::this_thread::get_id());
}

TEST(UiTaskQueue, ShutdownReleasesBlockedInvokersAndDropsLaterTasks) {
  std::atomic<int> calls{0};
  auto queue = std::make_unique<UiTaskQueue>();
  std::atomic<int> released{0};
  std::vector<std::thread> invokers;
  for (int i = 0; i < 3; ++i) {
    invokers.emplace_back([&] {
      if (!queue->Invoke([&] { ++calls; })) ++released;
    });
  }
  // Nobody runs the event loop: the invokers stay blocked until the shutdown.
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  queue->Shutdown();
  for (std::thread& t : invokers) t.join();
  EXPECT_EQ(released, 3);
  EXPECT_FALSE(queue->Invoke([] {}));
  queue->Post([&] { ++calls; });
  queue.reset();  // queued tasks go with the queue
  QCoreApplication::processEvents();
  EXPECT_EQ(calls, 0);
}
