#pragma once
// The manager's pictures, drawn at start-up: the program's icon and the two
// tree images, "PrimaryLanguage" (a star) and "Languages" (a page).
#include <QIcon>

namespace vorsan::manager {

QIcon applicationIcon();
QIcon primaryLanguageIcon();
QIcon languagesIcon();

} // namespace vorsan::manager
