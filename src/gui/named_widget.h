// Creates a widget that carries its member name as objectName, so that tests and style
// sheets can find it.
#pragma once

#include <QString>
#include <QWidget>

namespace corvanel::gui {

template <typename T>
T* MakeNamed(QWidget* parent, const char* name) {
  auto* widget = new T(parent);
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

}  // namespace corvanel::gui
