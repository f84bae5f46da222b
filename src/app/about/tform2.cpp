#include "app/about/tform2.h"

#include "app/about/about_pictures.h"
#include "app/app_texts.h"
#include "app/fonts.h"
#include "app/pictures.h"
#include "program_info.h"

#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#include <utility>

namespace vellumax {
namespace {

constexpr int kClientWidth = 272;
constexpr int kClientHeight = 190;
constexpr QSize kOuterSize(280, 217); // with the frame, for centring before the first show

QFont pixelFont(const QString& face, int pixels, bool bold = false)
{
    QFont font(face);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// A blue label at its place. Where the face stands in for a wider one, the
// label grows so that its text is never cut.
void placeBlueLabel(QLabel* label, const QFont& font, int left, int top, int width, int height)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    label->setPalette(palette);
    label->setFont(font);
    const QSize text = label->sizeHint();
    label->setGeometry(left, top, std::max(width, text.width()), height);
}

} // namespace

TForm2::TForm2(QWidget* parent, TcwHyperLink::Opener open)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::WindowStaysOnTopHint)
{
    setWindowTitle(QStringLiteral("关于本软件"));
    setWindowIcon(programIcon());
    setFont(pixelFont(QStringLiteral("MS Sans Serif"), 11));
    setSizeGripEnabled(false);
    resize(kClientWidth, kClientHeight);

    // The bevelled background of everything but the OK button.
    Panel1 = new QFrame(this);
    Panel1->setFrameStyle(QFrame::Box | QFrame::Sunken); // lowered outside, raised inside
    Panel1->setLineWidth(1);
    Panel1->setMidLineWidth(0);
    Panel1->setAutoFillBackground(true);
    Panel1->setBackgroundRole(QPalette::Base); // the text-field colour, not the button face
    Panel1->setGeometry(0, 0, kClientWidth, kClientHeight);

    const QPixmap logo = QPixmap::fromImage(logoPicture());
    ProgramIcon = new QLabel(Panel1);
    ProgramIcon->setPixmap(logo);
    ProgramIcon->setGeometry(20, 8, logo.width(), logo.height());

    ProductName = new QLabel(QStringLiteral("朔禾传真号搜索"), Panel1);
    placeBlueLabel(ProductName, songFont(12, true), 112, 16, 92, 12);

    Version = new QLabel(QStringLiteral("Ver " VELLUMAX_VERSION), Panel1);
    placeBlueLabel(Version, pixelFont(QStringLiteral("Arial"), 13), 216, 14, 42, 16);

    const QPixmap banner = QPixmap::fromImage(creditBannerPicture());
    Image1 = new QLabel(Panel1);
    Image1->setPixmap(banner);
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setGeometry(20, 64, banner.width(), banner.height());

    cwHyperLink1 = addLink(16, 88, texts::kMakerSecondHomepage, texts::kMakerSecondHomepage, open);
    cwHyperLink3 = addLink(16, 108, texts::kMakerHomepage, texts::kMakerSecondHomepage, open);
    cwHyperLink2 = addLink(16, 130, texts::kMakerContactNumbers, texts::kMakerMail, open);

    OKButton = new QPushButton(QStringLiteral("确 定"), this);
    OKButton->setFont(songFont(12));
    OKButton->setGeometry(207, 156, 50, 25);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &TForm2::OKButtonClick);
    OKButton->setFocus();

    const std::pair<QObject*, const char*> controls[] = {
        {Panel1, "Panel1"},         {ProgramIcon, "ProgramIcon"},   {ProductName, "ProductName"},
        {Version, "Version"},       {Image1, "Image1"},             {cwHyperLink1, "cwHyperLink1"},
        {cwHyperLink3, "cwHyperLink3"}, {cwHyperLink2, "cwHyperLink2"}, {OKButton, "OKButton"},
    };
    for (const auto& [control, name] : controls)
        control->setObjectName(QLatin1String(name));

    centreOnScreen();
}

TcwHyperLink* TForm2::addLink(int left, int top, const QString& caption, const QString& url,
                              const TcwHyperLink::Opener& open)
{
    auto* link = new TcwHyperLink(Panel1, open);
    link->move(left, top);
    link->setColor(Panel1->palette().color(QPalette::Base));
    link->setCaption(caption);
    link->setURL(url);
    return link;
}

void TForm2::OKButtonClick() { accept(); }

void TForm2::keyPressEvent(QKeyEvent* event)
{
    // Esc leaves the box open; Enter still presses the default button.
    if (event->matches(QKeySequence::Cancel) || event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TForm2::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    Panel1->setGeometry(rect());
}

void TForm2::showEvent(QShowEvent* event)
{
    centreOnScreen();
    QDialog::showEvent(event);
}

void TForm2::centreOnScreen()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // Before the first show the frame is not known yet: take the usual one.
    const QSize outer = frameGeometry().size() == size() ? kOuterSize : frameGeometry().size();
    const QRect area = screen->availableGeometry();
    move(area.x() + (area.width() - outer.width()) / 2, area.y() + (area.height() - outer.height()) / 2);
}

} // namespace vellumax
