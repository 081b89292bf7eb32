#pragma once
#include <QIcon>

// The program's icon, a bell, drawn from the SVG compiled into the program
// at the usual sizes (16 ... 256 px). User-interface thread, after the
// application object exists.
QIcon CampanorIcon();
