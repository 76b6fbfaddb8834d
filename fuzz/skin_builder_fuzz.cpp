// libFuzzer target: any bytes as a skin build into an offscreen window without a crash or a
// hang. The input is split at zero bytes into skin.xml, PageA.xml, Row.xml and style.qss of a
// temporary skin folder; unknown tags of skin.xml are built from "<tag>.xml" the way the
// program builds its pages, so files may name each other. Run it in fork mode (-fork=1): a
// widget tree that Qt itself cannot handle must not end the whole run.
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "ui/skin_window.h"

namespace {

class PagesFromFiles : public BuilderCallback {
 public:
  Control* CreateControl(const std::string& tag, ControlFactory& factory) override {
    return factory.BuildFile(tag + ".xml");
  }
};

QTemporaryDir* g_skin = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("QT_LOGGING_RULES", "*.debug=false;*.warning=false");
  static int argc = 1;
  static char name[] = "skin_builder_fuzz";
  static char* argv[] = {name, nullptr};
  static QApplication app(argc, argv);
  static QTemporaryDir skin;
  g_skin = &skin;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const char* const kFiles[] = {"skin.xml", "PageA.xml", "Row.xml", "style.qss"};
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  size_t start = 0;
  for (const char* file : kFiles) {
    size_t end = start <= bytes.size() ? bytes.find('\0', start) : std::string::npos;
    if (end == std::string::npos) end = bytes.size();
    const std::string part = start < bytes.size() ? bytes.substr(start, end - start) : "";
    std::ofstream(g_skin->filePath(QLatin1String(file)).toStdString(), std::ios::binary) << part;
    start = end + 1;
  }
  PagesFromFiles pages;
  {
    SkinWindow window(g_skin->path().toStdString(), &pages, nullptr);
    // Only the build: a skin may ask for a window of any size, which painting would allocate.
    window.Load();
  }
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  return 0;
}
