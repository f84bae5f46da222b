// The about box and the commands that open the maker's addresses.
#include "app/about/tform2.h"
#include "app/app_texts.h"
#include "app/tform1.h"

#include <QUrl>

namespace vellumax {

void TForm1::buildAboutBox() { Form2 = new TForm2(this, services_.openUrl); }

// 与我们联系: the user's mail program on the maker's address. Whether a
// program took it is not asked.
void TForm1::N14Click() { services_.openUrl(QUrl(texts::kMakerMail)); }

// 关于本软件: the main window takes no input meanwhile, but the event loop,
// and with it a search run, goes on.
void TForm1::N15Click() { Form2->exec(); }

// 访问主页: the homepage in the user's browser.
void TForm1::N20Click() { services_.openUrl(QUrl(texts::kMakerHomepage)); }

} // namespace vellumax
