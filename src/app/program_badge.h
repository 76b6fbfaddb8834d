// The program's badge: "DTU" in white on a rounded blue square. The window's icon when its skin
// has no icon.png, and the icon the package installs in every size, so both look alike.
#pragma once

#include <QImage>

QImage ProgramBadge(int size);
