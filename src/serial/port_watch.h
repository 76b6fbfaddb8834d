// Notices adapters being plugged in and out: watches the folders where their device nodes and
// links appear (/dev/serial/by-id and /dev) through inotify, and calls back once things have
// settled. UI thread (a thread running a Qt event loop).
#pragma once

#include <QFileSystemWatcher>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

class PortWatch {
 public:
  // The folders the system's serial devices appear in.
  static std::vector<std::string> SystemFolders();

  // `changed` runs on this thread `settleMs` after the last change in any of `folders`. A folder
  // that does not exist yet (by-id before the first adapter) is watched through its nearest
  // existing parent and taken up once it appears.
  PortWatch(std::vector<std::string> folders, std::function<void()> changed, int settleMs = 250);
  PortWatch(const PortWatch&) = delete;
  PortWatch& operator=(const PortWatch&) = delete;

  // The paths watched right now (for the tests).
  std::vector<std::string> Watched() const;

 private:
  void Rewatch();
  void OnChange();

  std::vector<std::string> folders_;
  std::function<void()> changed_;
  QFileSystemWatcher watcher_;
  QTimer settle_;
};
