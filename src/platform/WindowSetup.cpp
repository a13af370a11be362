#include "platform/WindowSetup.h"

#include <QGuiApplication>
#include <QScreen>

namespace orvane {

void SetUpFixedWindow(QWidget* window, const QString& caption, int width, int height) {
  window->setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  window->setWindowTitle(caption);
  window->setFixedSize(width, height);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->geometry();
    window->move(area.left() + (area.width() - width) / 2, area.top() + (area.height() - height) / 2);
  }
}

void BringToFront(QWidget* window) {
  if (window->isMinimized()) window->showNormal();
  window->show();
  window->raise();
  window->activateWindow();
}

}  // namespace orvane
