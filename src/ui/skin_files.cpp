#include "skin_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace skin {

namespace {

bool Fail(std::string* error, const std::string& text) {
  if (error != nullptr) *error = text;
  return false;
}

bool HasParentPart(const QString& name) {
  const QStringList parts = name.split(QLatin1Char('/'));
  return parts.contains(QStringLiteral(".."));
}

}  // namespace

std::optional<std::string> ResolveSkinFile(const std::string& skinDir, const std::string& name,
                                           std::string* error) {
  const QString wanted = QString::fromStdString(name);
  if (wanted.isEmpty() || QDir::isAbsolutePath(wanted) || HasParentPart(wanted) ||
      name.find('\0') != std::string::npos) {
    Fail(error, name + ": the skin may only name files inside its folder");
    return std::nullopt;
  }
  const QString folder =
      QFileInfo(QString::fromStdString(skinDir.empty() ? "." : skinDir)).canonicalFilePath();
  const QString path =
      QDir(QString::fromStdString(skinDir.empty() ? "." : skinDir)).filePath(wanted);
  const QString canonical = QFileInfo(path).canonicalFilePath();
  if (folder.isEmpty() || canonical.isEmpty()) {
    Fail(error, path.toStdString() + ": cannot open the skin file (No such file or directory)");
    return std::nullopt;
  }
  // A symbolic link inside the folder may not lead out of it.
  if (!canonical.startsWith(folder + QLatin1Char('/'))) {
    Fail(error, name + ": the skin may only name files inside its folder");
    return std::nullopt;
  }
  return path.toStdString();
}

bool ReadSkinFile(const std::string& skinDir, const std::string& name, QByteArray* data,
                  std::string* error) {
  const std::optional<std::string> path = ResolveSkinFile(skinDir, name, error);
  if (!path) return false;
  QFile file(QString::fromStdString(*path));
  const QFileInfo info(file);
  if (!info.isFile()) return Fail(error, *path + ": not a regular file");
  if (info.size() > kMaxSkinFileBytes) {
    return Fail(error, *path + ": the skin file is larger than " +
                           std::to_string(kMaxSkinFileBytes / (1024 * 1024)) + " MB");
  }
  if (!file.open(QIODevice::ReadOnly)) {
    return Fail(error,
                *path + ": cannot open the skin file (" + file.errorString().toStdString() + ")");
  }
  // The size may have changed since it was looked at: one byte more than allowed shows that.
  QByteArray bytes = file.read(kMaxSkinFileBytes + 1);
  if (file.error() != QFileDevice::NoError) {
    return Fail(error,
                *path + ": cannot read the skin file (" + file.errorString().toStdString() + ")");
  }
  if (bytes.size() > kMaxSkinFileBytes) {
    return Fail(error, *path + ": the skin file is larger than " +
                           std::to_string(kMaxSkinFileBytes / (1024 * 1024)) + " MB");
  }
  if (data != nullptr) *data = std::move(bytes);
  return true;
}

}  // namespace skin
