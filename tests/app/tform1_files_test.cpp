// The file commands and the settings file, on the real main window with fake
// dialogs and a program folder of the test's own.
#include "app/gbk_qt.h"
#include "app/spin_edit.h"
#include "app/status_panels.h"
#include "fakes.h"
#include "test_main.h"
#include "text/gbk_codec.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QToolButton>

using namespace vellumax;
using namespace vellumax::test;

class TForm1FilesTest : public QObject {
    Q_OBJECT
private slots:
    void startsWithDefaultsWithoutASettingsFile()
    {
        FormUnderTest t;
        QCOMPARE(t.form->SpinEdit1->text(), QStringLiteral("8"));
        QVERIFY(!t.form->CheckBox1->isChecked());
        QVERIFY(t.form->Edit5->text().isEmpty());
        QCOMPARE(t.form->run.keywordCursor(), 0);
        QVERIFY(t.dialogs->shown.empty());
    }

    void settingsFileRestoresTheFieldsAndThePromptOffersTheCursor()
    {
        const QByteArray path = QByteArray("/data/") + QByteArray::fromStdString(gbk("关键字")) + ".txt";
        FormUnderTest t([&](const QString& folder) {
            write(folder + "/vellumax.ini", path + "\r\n12\r\nqcyes\r\n5000\r\n");
        });
        QCOMPARE(t.form->Edit5->text(), QStringLiteral("/data/关键字.txt"));
        QVERIFY(t.form->CheckBox1->isChecked());
        QCOMPARE(t.form->SpinEdit1->text(), QStringLiteral("1000"));
        QVERIFY(t.form->keywordList.empty());

        t.form->keywordList = {"a"};
        t.form->SpeedButton2->click();
        QCOMPARE(t.dialogs->prompts.back(), QStringLiteral("12"));

        // Save progress writes the same path bytes back, and the cursor
        // minus one.
        t.form->SpeedButton8->click();
        QCOMPARE(read(t.file("vellumax.ini")), path + "\r\n11\r\nqcyes\r\n1000\r\n");
    }

    void badSettingsFileIsShownAndKeepsWhatWasRead()
    {
        FormUnderTest t([](const QString& folder) { write(folder + "/vellumax.ini", "kw.txt\r\n4\r\nqcyes\r\n"); });
        QCOMPARE(t.dialogs->texts("error"), QStringList{QStringLiteral("'' is not a valid integer value.")});
        QCOMPARE(t.form->Edit5->text(), QStringLiteral("kw.txt"));
        QCOMPARE(t.form->run.keywordCursor(), 4);
        QVERIFY(t.form->CheckBox1->isChecked());
        QCOMPARE(t.form->SpinEdit1->text(), QStringLiteral("8"));
        QVERIFY(t.form->isEnabled());
    }

    void importCountsAndLoadsTheKeywords()
    {
        FormUnderTest t;
        t.form->run.setKeywordCursor(2);
        t.form->results.append("0512-12345678");
        const QString list = t.file("keywords.txt");
        write(list, "a\rb\r\nc\n\rd");
        t.dialogs->openAnswers.push_back(list);
        t.form->SpeedButton4->click();
        QCOMPARE(t.dialogs->fileDialogs.back().title, QStringLiteral("导入关键字列表文件"));
        QCOMPARE(t.dialogs->fileDialogs.back().folder, QString::fromStdString(t.form->programFolder()));
        QCOMPARE(t.form->Edit5->text(), list);
        QCOMPARE(t.form->StatusBar1->text(StatusPanels::KeywordCount), QStringLiteral("3"));
        QCOMPARE(t.form->keywordList, (std::vector<std::string>{"a", "b", "c", "", "d"}));
        QVERIFY(t.form->results.empty());
        QCOMPARE(t.form->run.keywordCursor(), 2);

        // A missing file: the name shows, everything else stays.
        t.form->results.append("0512-12345678");
        t.dialogs->openAnswers.push_back(t.file("absent.txt"));
        t.form->SpeedButton4->click();
        QCOMPARE(t.dialogs->texts("error"), QStringList{QStringLiteral("File not found.")});
        QCOMPARE(t.form->Edit5->text(), t.file("absent.txt"));
        QCOMPARE(t.form->StatusBar1->text(StatusPanels::KeywordCount), QStringLiteral("3"));
        QCOMPARE(t.form->keywordList.size(), size_t(5));
        QCOMPARE(t.form->results.size(), size_t(1));

        // Cancel changes nothing.
        t.form->SpeedButton4->click();
        QCOMPARE(t.form->Edit5->text(), t.file("absent.txt"));
    }

    void saveResultsProposesTheCountAndWritesTheList()
    {
        FormUnderTest t;
        t.form->SpeedButton5->click(); // empty list: no dialog
        QVERIFY(t.dialogs->fileDialogs.empty());

        t.form->keywordList = {gbk("传真")};
        t.pages->defaultPage = gbk("传真:0512-12345678\r\n传真:010-87654321\r\n");
        t.dialogs->inputAnswers.push_back(QStringLiteral("0"));
        t.form->SpeedButton2->click();
        t.form->runCommand([&] { t.form->Timer1Timer(); });

        const QString out = t.file("numbers.txt");
        t.dialogs->saveAnswers.push_back(out);
        t.form->SpeedButton5->click();
        QCOMPARE(t.dialogs->fileDialogs.back().proposedName, QStringLiteral("2.txt"));
        QCOMPARE(read(out), QByteArray("0512-12345678\r\n010-87654321\r\n"));
    }

    void saveProgressWritesSnapshotOrRemovesIt()
    {
        FormUnderTest t;
        write(t.file("autosave.txt"), "old\r\n");
        t.form->SpeedButton8->click();
        QVERIFY(!QFile::exists(t.file("autosave.txt")));
        QCOMPARE(read(t.file("vellumax.ini")), QByteArray("\r\n-1\r\nqcno\r\n8\r\n"));
        QCOMPARE(t.dialogs->texts("plain"), QStringList{QStringLiteral("已经保存当前传真号码搜索进程！")});

        for (const char* n : {"01012345678", "02012345678", "02112345678", "0512-1234567", "0512-7654321"})
            t.form->results.append(n);
        t.form->SpeedButton8->click();
        QCOMPARE(read(t.file("autosave.txt")).count("\r\n"), 5);
        QVERIFY(!QApplication::overrideCursor());
    }

    void mergeReportsTheCountAndLaterTheJoinFailure()
    {
        FormUnderTest t;
        write(t.file("a.txt"), "3\r\n1\r\n");
        write(t.file("b.txt"), "2\r\n3\r\n");
        const QString out = t.file("merged.txt");
        t.dialogs->openManyAnswers.push_back(QStringList{t.file("a.txt"), t.file("b.txt")});
        t.dialogs->saveAnswers.push_back(out);
        t.form->SpeedButton1->click();
        QCOMPARE(read(out), QByteArray("1\r\n2\r\n3\r\n"));
        QCOMPARE(t.form->StatusBar1->text(StatusPanels::Message), QStringLiteral("文件合并整理完毕！共计：3"));
        QVERIFY(t.dialogs->texts("error").isEmpty());

        t.dialogs->openManyAnswers.push_back(QStringList{t.file("a.txt"), t.file("gone.txt")});
        t.dialogs->saveAnswers.push_back(out);
        t.form->SpeedButton1->click();
        QCOMPARE(t.form->StatusBar1->text(StatusPanels::Message), QStringLiteral("文件合并整理完毕！共计：2"));
        QCOMPARE(t.dialogs->texts("error"), QStringList{QStringLiteral("Cannot open file ") + t.file("gone.txt") + "."});
        QVERIFY(!QApplication::overrideCursor());

        // Cancelling the second dialog leaves the panel alone.
        t.dialogs->openManyAnswers.push_back(QStringList{t.file("a.txt")});
        t.form->SpeedButton1->click();
        QCOMPARE(t.form->StatusBar1->text(StatusPanels::Message), QStringLiteral("文件合并整理完毕！共计：2"));
    }
};

VELLUMAX_TEST_MAIN(TForm1FilesTest)
#include "tform1_files_test.moc"
