// Shared pieces of the toolkit tests: a sink that records notifications, a builder callback
// that makes pages the way the program's callback does, and an event-loop wait.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <functional>
#include <string>
#include <vector>

#include "texts/form.h"

struct RecordedNotification {
  std::string type;
  std::string sender;
  long wParam = 0;
  long lParam = 0;
};

class RecordingSink : public NotifySink {
 public:
  void Notify(const Notification& n) override {
    events.push_back({n.type, n.sender ? n.sender->Name() : std::string(), n.wParam, n.lParam});
    if (onNotify) onNotify(n);
  }
  void OnMaximizedChanged(bool maximized) override { maximizedChanges.push_back(maximized); }
  void OnWindowClosed() override { ++closedByOthers; }

  int Count(const std::string& type) const {
    int n = 0;
    for (const auto& e : events) n += e.type == type;
    return n;
  }
  std::vector<RecordedNotification> Of(const std::string& type) const {
    std::vector<RecordedNotification> out;
    for (const auto& e : events) {
      if (e.type == type) out.push_back(e);
    }
    return out;
  }

  std::vector<RecordedNotification> events;
  std::vector<bool> maximizedChanges;
  int closedByOthers = 0;
  std::function<void(const Notification&)> onNotify;
};

// Makes a container of class tag + "UI" filled from tag + ".xml", as the program's page
// callback does for the tags it does not know.
class PageCallback : public BuilderCallback {
 public:
  Control* CreateControl(const std::string& tag, ControlFactory& factory) override {
    tags.push_back(tag);
    Control* page = factory.CreateContainer(tag + "UI");
    if (Control* content = factory.BuildFile(tag + ".xml")) {
      page->AsContainer()->AddChild(content);
    } else {
      page->AsContainer()->RemoveAllChildren();
    }
    return page;
  }
  std::vector<std::string> tags;
};

// Runs the event loop until `done` holds or a generous deadline passes.
inline bool WaitFor(const std::function<bool()>& done, int deadlineMs = 10000) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > deadlineMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

// Lets queued work (windowinit, deferred deletions) run.
inline void DrainEvents() {
  for (int i = 0; i < 5; ++i) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
  }
}

inline std::string FixtureSkinDir() {
  return std::string(DTU_TEST_DATA_DIR) + "/skins/fixture";
}
