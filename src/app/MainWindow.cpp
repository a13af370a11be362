#include "app/MainWindow.h"

namespace orvane {

MainWindow::MainWindow(QWidget* parent) : QWidget(parent) {
  setWindowTitle(QStringLiteral("Orvane-专辑下载工具"));
  setFixedSize(500, 300);
}

}  // namespace orvane
