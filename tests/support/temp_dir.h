// A fresh temporary folder for one test, removed with everything in it afterwards.
#pragma once

#include <QTemporaryDir>

#include <fstream>
#include <string>

class TempDir {
 public:
  std::string Path() const { return dir_.path().toStdString() + "/"; }
  std::string Write(const std::string& name, const std::string& bytes) const {
    std::string path = Path() + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(Path() + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

 private:
  QTemporaryDir dir_;
};
