// The crossing from the port's monitoring thread to the UI thread.
//
// Every received chunk is handed over synchronously: the monitoring thread queues it on the UI
// thread's event loop and waits until the UI thread has handled it, so chunks are consumed one at
// a time, in order, and a slow consumer holds the bytes back in the driver. Each opening of the
// port has its own generation; ending an opening releases a waiting monitoring thread and makes
// every hand-over of that opening still queued in the event loop a no-op, so the UI thread never
// waits for the monitoring thread while the monitoring thread waits for it.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

class QObject;

// Holds every port's next hand-over back while the UI thread makes widgets, which Qt announces
// with posts of its own into the same event list: under a lock of Qt's that a thread checker
// cannot see, so this lock orders the two sides where it can. Hold it briefly (the ports' data
// waits in the kernel meanwhile) and never while events are processed: a hand-over's receiver
// would wait for a monitoring thread that waits for this lock.
std::unique_lock<std::mutex> HoldHandOverPosts();

class PortHandOver {
 public:
  using DataHandler = std::function<void(const char* data, size_t count)>;
  using GoneHandler = std::function<void(int error)>;

  // Construct on the UI thread: the handlers run on the thread that constructed this object.
  PortHandOver();
  ~PortHandOver();
  PortHandOver(const PortHandOver&) = delete;
  PortHandOver& operator=(const PortHandOver&) = delete;

  // UI thread. Starts a new opening with its handlers (and ends the previous one); returns its
  // generation, which the monitoring thread passes to the Send calls.
  uint64_t Begin(DataHandler onData, GoneHandler onGone);
  // UI thread. Ends the current opening: a waiting Send returns false at once, and no handler of
  // that opening runs any more, even for hand-overs already queued.
  void End();

  // Monitoring thread. Hands `count` bytes to the data handler and waits until it returned.
  // False when the opening ended first (the bytes were then not delivered).
  bool SendData(uint64_t generation, const char* data, size_t count);
  // Monitoring thread. Reports that the device went away; waits like SendData. The caller sends
  // this at most once per opening.
  bool SendGone(uint64_t generation, int error);

 private:
  struct Shared;
  class Event;
  class Receiver;
  using Delivery = std::function<void(Shared&)>;
  bool Send(uint64_t generation, Delivery deliver);

  std::shared_ptr<Shared> shared_;
  std::unique_ptr<QObject> context_;  // a Receiver, living on the UI thread
};
