#include "session/message_pump.h"

#include <gtest/gtest.h>

#include "event_loop.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <atomic>
#include <thread>
#include <vector>

namespace {

// Any message numbers do; these are the window's.
constexpr MessageId WM_LOG_TEXT = 0x84D;
constexpr MessageId WM_FORM_RULE = 0x84C;
constexpr MessageId WM_SET_BUTTONS = 0x853;
constexpr MessageId WM_SHOW_RECEIVED = 0x84E;

// Runs the UI thread's event loop until `done` or a generous deadline.
}  // namespace

TEST(MessagePump, PostedMessagesArriveInOrderWithTheirPayload) {
  std::vector<std::string> seen;
  MessagePump pump([&](MessageId msg, WParam w, LParam l) -> MessageResult {
    if (msg == WM_LOG_TEXT) {
      seen.emplace_back(reinterpret_cast<const char*>(w), static_cast<size_t>(l));
    } else {
      seen.push_back(std::to_string(msg) + ":" + std::to_string(w) + ":" + std::to_string(l));
    }
    return 0;
  });
  pump.Post(WM_LOG_TEXT, 0, 0, std::string("a\0b", 3));
  pump.Post(WM_FORM_RULE, 16, 2);
  pump.Post(WM_LOG_TEXT, 0, 0, "second\r\n");
  EXPECT_TRUE(seen.empty()) << "posting must not call the handler at once";
  ASSERT_TRUE(PumpUntil([&] { return seen.size() == 3; }));
  EXPECT_EQ(seen[0], std::string("a\0b", 3));
  EXPECT_EQ(seen[1], std::to_string(WM_FORM_RULE) + ":16:2");
  EXPECT_EQ(seen[2], "second\r\n");
}

TEST(MessagePump, SendOnTheUiThreadCallsDirectly) {
  int calls = 0;
  MessagePump pump([&](MessageId, WParam w, LParam) -> MessageResult {
    ++calls;
    return static_cast<MessageResult>(w) * 2;
  });
  bool delivered = false;
  EXPECT_EQ(pump.Send(WM_SET_BUTTONS, 21, 0, &delivered), 42);
  EXPECT_TRUE(delivered);
  EXPECT_EQ(calls, 1);
}

TEST(MessagePump, SendFromAnotherThreadWaitsUntilTheUiThreadHandledIt) {
  std::atomic<bool> handled{false};
  std::thread::id handlerThread;
  MessagePump pump([&](MessageId, WParam, LParam) -> MessageResult {
    handlerThread = std::this_thread::get_id();
    handled = true;
    return 7;
  });
  std::atomic<bool> returned{false};
  MessageResult result = 0;
  std::thread sender([&] {
    result = pump.Send(WM_SHOW_RECEIVED, 0, 0);
    returned = true;
  });
  ASSERT_TRUE(PumpUntil([&] { return returned.load(); }));
  sender.join();
  EXPECT_TRUE(handled);
  EXPECT_EQ(result, 7);
  EXPECT_EQ(handlerThread, std::this_thread::get_id());
}

TEST(MessagePump, ShutdownReleasesBlockedSendersAndDropsLaterMessages) {
  int calls = 0;
  auto pump = std::make_unique<MessagePump>([&](MessageId, WParam, LParam) -> MessageResult {
    ++calls;
    return 1;
  });
  std::atomic<int> released{0};
  std::vector<std::thread> senders;
  for (int i = 0; i < 3; ++i) {
    senders.emplace_back([&] {
      bool delivered = true;
      pump->Send(WM_SET_BUTTONS, 0, 2, &delivered);
      if (!delivered) ++released;
    });
  }
  // Nobody runs the event loop: the senders stay blocked until the shutdown.
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  pump->Shutdown();
  for (std::thread& t : senders) t.join();
  EXPECT_EQ(released, 3);
  EXPECT_FALSE(pump->Invoke([] {}));
  pump.reset();  // queued events go with the pump
  QCoreApplication::processEvents();
  EXPECT_EQ(calls, 0);
}
