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
        QCOMPARE(control<TSpinEdit>(*t.form, "SpinEdit1").text(), QStringLiteral("8"));
        QVERIFY(!control<QCheckBox>(*t.form, "CheckBox1").isChecked());
        QVERIFY(control<QLineEdit>(*t.form, "Edit5").text().isEmpty());
        QCOMPARE(t.form->state().run.keywordCursor(), 0);
        QVERIFY(t.dialogs->shown.empty());
    }

    void settingsFileRestoresTheFieldsAndThePromptOffersTheCursor()
    {
        const QByteArray path = QByteArray("/data/") + QByteArray::fromStdString(gbk("关键字")) + ".txt";
        FormUnderTest t([&](const QString& folder) {
            write(folder + "/vellumax.ini", path + "\r\n12\r\nqcyes\r\n5000\r\n");
        });
        QCOMPARE(control<QLineEdit>(*t.form, "Edit5").text(), QStringLiteral("/data/关键字.txt"));
        QVERIFY(control<QCheckBox>(*t.form, "CheckBox1").isChecked());
        QCOMPARE(control<TSpinEdit>(*t.form, "SpinEdit1").text(), QStringLiteral("1000"));
        QVERIFY(t.form->state().keywordList.empty());

        // Save progress writes the same path bytes back, and the cursor
        // minus one.
        button(*t.form, "SpeedButton8").click();
        QCOMPARE(read(t.file("vellumax.ini")), path + "\r\n11\r\nqcyes\r\n1000\r\n");

        t.importKeywords({"a"});
        button(*t.form, "SpeedButton2").click();
        QCOMPARE(t.dialogs->prompts.back(), QStringLiteral("12"));
    }

    void badSettingsFileIsShownAndKeepsWhatWasRead()
    {
        FormUnderTest t([](const QString& folder) { write(folder + "/vellumax.ini", "kw.txt\r\n4\r\nqcyes\r\n"); });
        QCOMPARE(t.dialogs->texts("error"), QStringList{QStringLiteral("'' is not a valid integer value.")});
        QCOMPARE(control<QLineEdit>(*t.form, "Edit5").text(), QStringLiteral("kw.txt"));
        QCOMPARE(t.form->state().run.keywordCursor(), 4);
        QVERIFY(control<QCheckBox>(*t.form, "CheckBox1").isChecked());
        QCOMPARE(control<TSpinEdit>(*t.form, "SpinEdit1").text(), QStringLiteral("8"));
        QVERIFY(t.form->isEnabled());
    }

    void importCountsAndLoadsTheKeywords()
    {
        FormUnderTest t;
        t.findNumbers({"0512-12345678"});
        const int32_t cursor = t.form->state().run.keywordCursor();
        QVERIFY(cursor != 0);
        const QString list = t.file("keywords.txt");
        write(list, "a\rb\r\nc\n\rd");
        t.dialogs->openAnswers.push_back(list);
        button(*t.form, "SpeedButton4").click();
        QCOMPARE(t.dialogs->fileDialogs.back().title, QStringLiteral("导入关键字列表文件"));
        QCOMPARE(t.dialogs->fileDialogs.back().folder, QString::fromStdString(t.form->programFolder()));
        QCOMPARE(control<QLineEdit>(*t.form, "Edit5").text(), list);
        QCOMPARE(panel(*t.form, StatusPanels::KeywordCount), QStringLiteral("3"));
        QCOMPARE(t.form->state().keywordList, (std::vector<std::string>{"a", "b", "c", "", "d"}));
        QVERIFY(t.form->state().results.empty());
        QCOMPARE(t.form->state().run.keywordCursor(), cursor);

        // A missing file: the name shows, everything else stays.
        t.findNumbers({"0512-12345678"});
        const std::vector<std::string> keywords = t.form->state().keywordList;
        const QString count = panel(*t.form, StatusPanels::KeywordCount);
        t.dialogs->openAnswers.push_back(t.file("absent.txt"));
        button(*t.form, "SpeedButton4").click();
        QCOMPARE(t.dialogs->texts("error"), QStringList{QStringLiteral("File not found.")});
        QCOMPARE(control<QLineEdit>(*t.form, "Edit5").text(), t.file("absent.txt"));
        QCOMPARE(panel(*t.form, StatusPanels::KeywordCount), count);
        QCOMPARE(t.form->state().keywordList, keywords);
        QCOMPARE(t.form->state().results.size(), size_t(1));

        // Cancel changes nothing.
        button(*t.form, "SpeedButton4").click();
        QCOMPARE(control<QLineEdit>(*t.form, "Edit5").text(), t.file("absent.txt"));
    }

    void saveResultsProposesTheCountAndWritesTheList()
    {
        FormUnderTest t;
        button(*t.form, "SpeedButton5").click(); // empty list: no dialog
        QVERIFY(t.dialogs->fileDialogs.empty());

        t.findNumbers({"0512-12345678", "010-87654321"});

        const QString out = t.file("numbers.txt");
        t.dialogs->saveAnswers.push_back(out);
        button(*t.form, "SpeedButton5").click();
        QCOMPARE(t.dialogs->fileDialogs.back().proposedName, QStringLiteral("2.txt"));
        QCOMPARE(read(out), QByteArray("0512-12345678\r\n010-87654321\r\n"));
    }

    void saveProgressWritesSnapshotOrRemovesIt()
    {
        FormUnderTest t;
        write(t.file("autosave.txt"), "old\r\n");
        button(*t.form, "SpeedButton8").click();
        QVERIFY(!QFile::exists(t.file("autosave.txt")));
        QCOMPARE(read(t.file("vellumax.ini")), QByteArray("\r\n-1\r\nqcno\r\n8\r\n"));
        QCOMPARE(t.dialogs->texts("plain"), QStringList{QStringLiteral("已经保存当前传真号码搜索进程！")});

        t.findNumbers({"01012345678", "02012345678", "02112345678", "0512-1234567", "0512-7654321"});
        button(*t.form, "SpeedButton8").click();
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
        button(*t.form, "SpeedButton1").click();
        QCOMPARE(read(out), QByteArray("1\r\n2\r\n3\r\n"));
        QCOMPARE(panel(*t.form, StatusPanels::Message), QStringLiteral("文件合并整理完毕！共计：3"));
        QVERIFY(t.dialogs->texts("error").isEmpty());

        t.dialogs->openManyAnswers.push_back(QStringList{t.file("a.txt"), t.file("gone.txt")});
        t.dialogs->saveAnswers.push_back(out);
        button(*t.form, "SpeedButton1").click();
        QCOMPARE(panel(*t.form, StatusPanels::Message), QStringLiteral("文件合并整理完毕！共计：2"));
        QCOMPARE(t.dialogs->texts("error"), QStringList{QStringLiteral("Cannot open file ") + t.file("gone.txt") + "."});
        QVERIFY(!QApplication::overrideCursor());

        // Cancelling the second dialog leaves the panel alone.
        t.dialogs->openManyAnswers.push_back(QStringList{t.file("a.txt")});
        button(*t.form, "SpeedButton1").click();
        QCOMPARE(panel(*t.form, StatusPanels::Message), QStringLiteral("文件合并整理完毕！共计：2"));
    }
};

VELLUMAX_TEST_MAIN(TForm1FilesTest)
#include "tform1_files_test.moc"
