// The about box on the real main window: how it is made, how it closes,
// that a search run goes on behind it, and the commands that open the
// maker's addresses.
#include "app/about/tform2.h"
#include "app/app_texts.h"
#include "app/spin_edit.h"
#include "app/status_panels.h"
#include "fakes.h"
#include "test_main.h"

#include <QElapsedTimer>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <functional>

using namespace vellumax;
using namespace vellumax::test;

namespace {

// Runs the about box through N15Click and `whileOpen` inside its modal loop;
// the box is shut by its close box if `whileOpen` leaves it open.
void showAboutBox(TForm1& form, const std::function<void(TForm2&)>& whileOpen)
{
    auto& box = control<TForm2>(form, "Form2");
    QTimer::singleShot(0, &box, [&] {
        whileOpen(box);
        if (box.isVisible())
            box.close();
    });
    form.N15Click();
}

void press(TForm2& box, Qt::Key key)
{
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &box;
    QTest::keyClick(target, key);
}

} // namespace

class AboutBoxTest : public QObject {
    Q_OBJECT
private slots:
    void isMadeHiddenWithItsPicturesAndLinks()
    {
        FormUnderTest t;
        auto* box = &control<TForm2>(*t.form, "Form2");
        QVERIFY(box);
        QVERIFY(!box->isVisible());
        QCOMPARE(box->windowTitle(), QStringLiteral("关于本软件"));
        QVERIFY(box->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(box->size(), QSize(272, 190));
        QCOMPARE(control<QFrame>(*box, "Panel1").geometry(), QRect(0, 0, 272, 190));
        box->show();
        box->resize(320, 240); // the background follows the client area
        QTRY_COMPARE(control<QFrame>(*box, "Panel1").geometry(), QRect(0, 0, 320, 240));
        box->hide();

        QCOMPARE(control<QLabel>(*box, "ProgramIcon").pixmap().size(), QSize(66, 46));
        QCOMPARE(control<QLabel>(*box, "Image1").pixmap().size(), QSize(188, 18));

        // The second homepage link shows the address of the window's caption
        // and opens the other homepage.
        const auto& second = control<TcwHyperLink>(*box, "cwHyperLink3");
        QVERIFY(t.form->windowTitle().contains(second.Caption()));
        QCOMPARE(second.Caption(), texts::kMakerHomepage);
        QCOMPARE(second.URL(), texts::kMakerSecondHomepage);
        const auto& first = control<TcwHyperLink>(*box, "cwHyperLink1");
        QCOMPARE(first.URL(), first.Caption());
        QVERIFY(control<TcwHyperLink>(*box, "cwHyperLink2").URL().startsWith(QStringLiteral("mailto:")));

        QVERIFY(control<QPushButton>(*box, "OKButton").isDefault());

        // The background is in the text-field colour, not the button face.
        const QColor field = box->palette().color(QPalette::Base);
        QVERIFY(field != box->palette().color(QPalette::Button));
        QCOMPARE(control<QFrame>(*box, "Panel1").grab().toImage().pixelColor(240, 50), field);
    }

    void closesByEnterOkAndCloseBoxButNotByEsc()
    {
        FormUnderTest t;
        bool stayedAfterEsc = false;
        bool shutByEnter = false;
        showAboutBox(*t.form, [&](TForm2& box) {
            press(box, Qt::Key_Escape);
            stayedAfterEsc = box.isVisible();
            press(box, Qt::Key_Return);
            shutByEnter = !box.isVisible();
        });
        QVERIFY(stayedAfterEsc);
        QVERIFY(shutByEnter);
        QVERIFY(!control<TForm2>(*t.form, "Form2").isVisible());

        bool shutByOk = false;
        showAboutBox(*t.form, [&](TForm2& box) {
            press(box, Qt::Key_Escape);
            control<QPushButton>(box, "OKButton").click();
            shutByOk = !box.isVisible();
        });
        QVERIFY(shutByOk);

        // The close box: shown again and shut through the window manager.
        showAboutBox(*t.form, [&](TForm2& box) { QVERIFY(box.isVisible()); });
        QVERIFY(!control<TForm2>(*t.form, "Form2").isVisible());
        QVERIFY(t.dialogs->shown.empty());
    }

    void aSearchRunGoesOnWhileTheBoxIsOpen()
    {
        FormUnderTest t;
        t.importKeywords({"k1", "k2"});
        control<TSpinEdit>(*t.form, "SpinEdit1").setValue(1);
        t.dialogs->inputAnswers.push_back(QStringLiteral("0"));
        button(*t.form, "SpeedButton2").click();
        QVERIFY(pageTimer(*t.form).isActive());
        pageTimer(*t.form).start(1); // no need to wait the first page's eight seconds

        bool finishedBehindTheBox = false;
        showAboutBox(*t.form, [&](TForm2& box) {
            QElapsedTimer clock;
            clock.start();
            while (pageTimer(*t.form).isActive() && clock.elapsed() < 5000)
                QTest::qWait(20);
            finishedBehindTheBox = box.isVisible() && !pageTimer(*t.form).isActive();
        });
        QVERIFY(finishedBehindTheBox);
        QCOMPARE(t.pages->requests.size(), size_t(2));
        QCOMPARE(panel(*t.form, StatusPanels::Message), QStringLiteral("搜索已经结束！"));
    }

    void addressesGoToTheDesktopsOpen()
    {
        FormUnderTest t;
        button(*t.form, "SpeedButton6").click(); // 主页
        t.form->runCommand([&] { t.form->N14Click(); });
        QCOMPARE(t.openedUrls, (std::vector<QUrl>{QUrl(QStringLiteral("http://www.example.com/")),
                                                  QUrl(QStringLiteral("mailto:contact@example.com"))}));

        // The box's links open through the same door, on the press.
        auto* box = &control<TForm2>(*t.form, "Form2");
        QTest::mousePress(&control<TcwHyperLink>(*box, "cwHyperLink3"), Qt::LeftButton, {}, QPoint(3, 3));
        QTest::mousePress(&control<TcwHyperLink>(*box, "cwHyperLink2"), Qt::LeftButton, {}, QPoint(3, 3));
        QCOMPARE(t.openedUrls.size(), size_t(4));
        QCOMPARE(t.openedUrls[2], QUrl(texts::kMakerSecondHomepage));
        QCOMPARE(t.openedUrls[3], QUrl(texts::kMakerMail));
        QVERIFY(t.dialogs->shown.empty());
    }

    void toolbarAboutButtonShowsTheBox()
    {
        FormUnderTest t;
        bool shown = false;
        auto& box = control<TForm2>(*t.form, "Form2");
        QTimer::singleShot(0, &box, [&] {
            shown = box.isVisible() && QApplication::activeModalWidget() == &box;
            control<QPushButton>(box, "OKButton").click();
        });
        button(*t.form, "SpeedButton9").click();
        QVERIFY(shown);
    }
};

VELLUMAX_TEST_MAIN(AboutBoxTest)
#include "about_box_test.moc"
