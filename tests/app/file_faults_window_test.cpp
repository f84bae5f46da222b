// File faults seen from the window: what the error box says, that the
// command ends cleanly (normal pointer, no confirmation), and that the
// previous good files are still there.
#include "app/status_panels.h"
#include "fakes.h"
#include "test_main.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QToolButton>

using namespace vellumax;
using namespace vellumax::test;

class FileFaultsWindowTest : public QObject {
    Q_OBJECT
private slots:
    void saveProgressStopsAtTheSettingsFileAndKeepsTheSnapshot()
    {
        FormUnderTest t;
        t.findNumbers({"0512-22222222"});
        QVERIFY(QFile::remove(t.file("vellumax.ini"))); // the end of the run wrote it
        QVERIFY(QDir(t.folder.path()).mkdir(QStringLiteral("vellumax.ini"))); // a folder in its place
        write(t.file("autosave.txt"), "0512-11111111\r\n");
        button(*t.form, "SpeedButton8").click();
        QCOMPARE(t.dialogs->texts("error"), QStringList{QStringLiteral("File access denied.")});
        QVERIFY(t.dialogs->texts("plain").isEmpty());
        QCOMPARE(read(t.file("autosave.txt")), QByteArray("0512-11111111\r\n"));
        QVERIFY(QFileInfo(t.file("vellumax.ini")).isDir());
        QVERIFY(!QApplication::overrideCursor());
    }

    void keywordFileOnAFailingMedium()
    {
        // A file that opens but whose every read fails with EIO, as a bad
        // sector does: the process's own memory read from address 0.
        FormUnderTest t;
        const QString failing = QStringLiteral("/proc/self/mem");
        t.dialogs->openAnswers.push_back(failing);
        button(*t.form, "SpeedButton4").click();
        QCOMPARE(t.dialogs->texts("error"), QStringList{QStringLiteral("I/O error 5.")});
        QVERIFY(t.form->state().keywordList.empty());
    }

    void saveResultsIntoAVanishedFolder()
    {
        FormUnderTest t;
        t.findNumbers({"0512-22222222"});
        const QStringList files = QDir(t.folder.path()).entryList(QDir::Files);
        t.dialogs->saveAnswers.push_back(t.file("gone/numbers.txt")); // its folder removed meanwhile
        button(*t.form, "SpeedButton5").click();
        QCOMPARE(t.dialogs->texts("error"), QStringList{QStringLiteral("File not found.")});
        QCOMPARE(t.form->state().results.size(), size_t(1));
        QCOMPARE(QDir(t.folder.path()).entryList(QDir::Files), files); // no temporary left behind
    }

    void mergeIntoAVanishedFolderKeepsTheInputs()
    {
        FormUnderTest t;
        write(t.file("a.txt"), "3\r\n1\r\n");
        write(t.file("b.txt"), "2\r\n");
        const QString out = t.file("gone/merged.txt");
        t.dialogs->openManyAnswers.push_back(QStringList{t.file("a.txt"), t.file("b.txt")});
        t.dialogs->saveAnswers.push_back(out);
        button(*t.form, "SpeedButton1").click();
        QCOMPARE(t.dialogs->texts("error"), QStringList{QStringLiteral("Cannot create file ") + out + "."});
        QCOMPARE(read(t.file("a.txt")), QByteArray("3\r\n1\r\n"));
        QCOMPARE(read(t.file("b.txt")), QByteArray("2\r\n"));
        QVERIFY(!QFile::exists(out));
        QVERIFY(!QApplication::overrideCursor());
    }
};

VELLUMAX_TEST_MAIN(FileFaultsWindowTest)
#include "file_faults_window_test.moc"
