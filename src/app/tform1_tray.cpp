// The main window's side of the tray icon: the icon, its menu, and the
// commands that hide the window to the tray and bring it back.
#include "app/tform1.h"

namespace vellumax {

void TForm1::buildTray() {}

void TForm1::N17Click() {}

void TForm1::N18Click() {}

void TForm1::N23Click() { close(); }

} // namespace vellumax
