// The about box and the commands that open the maker's addresses.
#include "app/tform1.h"

namespace vellumax {

void TForm1::buildAboutBox() {}

void TForm1::N14Click() {}

void TForm1::N15Click() {}

void TForm1::N20Click() {}

} // namespace vellumax
