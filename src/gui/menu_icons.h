// The nine menu icons and the window icon: taken from the desktop's icon theme when it
// has them, otherwise drawn here so that the menu never lacks a picture.
#pragma once

#include <QIcon>

namespace corvanel::gui {

enum class MenuIcon {
  CopyAll = 0,
  SaveReport = 1,
  Export = 2,
  Open = 3,
  Exit = 4,
  About = 5,
  Start = 6,
  Documentation = 7,
  ClearAll = 8,
};

QIcon MakeMenuIcon(MenuIcon icon);
QIcon MakeApplicationIcon();

}  // namespace corvanel::gui
