#pragma once
// The conventions every window of the program follows.
#include <QString>
#include <QWidget>

namespace orvane {

// A top-level window with a fixed frame, minimise and close boxes, no maximise box, the given client
// size, centred on the primary screen.
void SetUpFixedWindow(QWidget* window, const QString& caption, int width, int height);

// Brings an open window to the front, restoring it first when minimised.
void BringToFront(QWidget* window);

// Creates a control at its place (client coordinates), named as the window's table names it.
template <typename Control, typename... Args>
Control* PlaceControl(QWidget* window, const QString& name, int left, int top, int width, int height,
                      Args&&... args) {
  auto* control = new Control(std::forward<Args>(args)..., window);
  control->setObjectName(name);
  control->setGeometry(left, top, width, height);
  return control;
}

}  // namespace orvane
