#include "port_watch.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace {

// The folder itself when it exists, else its nearest existing parent.
std::string NearestExisting(const std::string& folder) {
  fs::path path(folder);
  std::error_code ec;
  while (!path.empty() && !fs::is_directory(path, ec)) {
    if (path == path.parent_path()) return {};
    path = path.parent_path();
  }
  return path.string();
}

}  // namespace

std::vector<std::string> PortWatch::SystemFolders() {
  return {"/dev/serial/by-id", "/dev"};
}

PortWatch::PortWatch(std::vector<std::string> folders, std::function<void()> changed, int settleMs)
    : folders_(std::move(folders)), changed_(std::move(changed)) {
  // One plug gives a burst of events (the node, its permissions, the by-id and by-path links);
  // the list is read once after the burst.
  settle_.setSingleShot(true);
  settle_.setInterval(settleMs);
  QObject::connect(&settle_, &QTimer::timeout, [this] {
    if (changed_) changed_();
  });
  QObject::connect(&watcher_, &QFileSystemWatcher::directoryChanged,
                   [this](const QString&) { OnChange(); });
  Rewatch();
}

std::vector<std::string> PortWatch::Watched() const {
  std::vector<std::string> watched;
  for (const QString& path : watcher_.directories()) watched.push_back(path.toStdString());
  return watched;
}

void PortWatch::Rewatch() {
  QStringList wanted;
  for (const std::string& folder : folders_) {
    const QString path = QString::fromStdString(NearestExisting(folder));
    if (!path.isEmpty() && !wanted.contains(path)) wanted.append(path);
  }
  const QStringList current = watcher_.directories();
  for (const QString& path : current) {
    if (!wanted.contains(path)) watcher_.removePath(path);
  }
  for (const QString& path : wanted) {
    if (!current.contains(path)) watcher_.addPath(path);
  }
}

void PortWatch::OnChange() {
  // A folder may have appeared (the first adapter creates by-id) or gone (the last one leaves).
  Rewatch();
  settle_.start();
}
