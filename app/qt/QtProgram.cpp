#include "app/qt/QtProgram.h"

#include <QApplication>
#include <QFontDatabase>

#include "app/qt/MainWindow.h"
#include "app/qt/QtUiHost.h"
#include "app/window/RetrievalForm.h"

namespace orvane {

void UseKoreanFont() {
  for (const char* family : {"Noto Sans CJK KR", "Noto Sans KR", "NanumGothic", "Noto Sans CJK JP"}) {
    if (QFontDatabase::hasFamily(family)) {
      QFont font(family);
      font.setPointSize(QApplication::font().pointSize());
      QApplication::setFont(font);
      return;
    }
  }
}

int RunWindowProgram(int argc, char** argv, const std::function<void(RetrievalForm&)>& setup) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Orvane");
  QApplication::setApplicationVersion(kProgramVersion);
  UseKoreanFont();

  RetrievalForm form(OptionFiles::fromEnvironment(), nullptr);
  QtUiHost host(form);
  form.setHost(&host);
  InstallQtEventHook(form);
  form.Form_Load();
  if (setup) setup(form);

  MainWindow window(form);
  host.setParentWindow(&window);
  window.show();
  const int status = QApplication::exec();
  form.setHost(nullptr);
  return status;
}

}  // namespace orvane
