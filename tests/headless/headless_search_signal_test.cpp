// The headless search as a process of its own, with its real page timer,
// stopped and killed from outside while it searches the local fixture
// engine: a stop by SIGINT and a resume end with the file of an unbroken
// run; a kill costs at most the page in progress.
#include "options/search_options.h"
#include "fast_paced_search.h"
#include "fixture_engine.h"
#include "text/gbk_codec.h"

#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

using namespace vellumax;
using namespace vellumax::test;

namespace {

// 甲 three pages, 乙 two, 丙 one; every page has a number of its own and one
// that all pages share.
std::vector<std::string> pages(const std::string& word, int pn)
{
    const int pageCount = word == gbk("甲传真") ? 3 : word == gbk("乙传真") ? 2 : 1;
    const std::string own = word == gbk("甲传真") ? "021" : word == gbk("乙传真") ? "022" : "023";
    return FixtureEngine::resultPage({"传真:" + own + "-1000000" + std::to_string(pn / 10), "传真:0512-99999999"},
                                     pn, pn / 10 + 1 < pageCount);
}

QByteArray read(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

} // namespace

class SearchTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        QFile keywords(folder_.filePath("k.txt"));
        QVERIFY(keywords.open(QIODevice::WriteOnly | QIODevice::Truncate));
        keywords.write(QByteArray::fromStdString(gbk("甲传真\r\n乙传真\r\n丙传真\r\n")));
    }

    void stopAndResumeGiveTheUnbrokenRunsFile()
    {
        const QByteArray unbroken = unbrokenRun(true);
        QCOMPARE(unbroken.count("\r\n"), 7); // six numbers of their own and the shared one

        FixtureEngine engine(pages);
        const QString out = folder_.filePath("stopped.txt");
        const QString state = folder_.filePath("state.ini");
        QProcess child;
        start(child, engine, {"--dedup", "--state=" + state, "--out=" + out});
        // SIGINT while 乙's first page is in progress: it is still read.
        QVERIFY(QTest::qWaitFor([&] { return engine.requests().size() == 4; }, 30000));
        QCOMPARE(::kill(static_cast<pid_t>(child.processId()), SIGINT), 0);
        QVERIFY(finished(child, 20000));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 130);
        QCOMPARE(engine.requests().size(), size_t(4));
        QCOMPARE(read(out).count("\r\n"), 5);
        QCOMPARE(read(state).split('\r').value(1), QByteArray("\n1"));

        // The resume asks for 乙 again from its first page; nothing is added
        // twice.
        start(child, engine, {"--dedup", "--state=" + state, "--resume", "--out=" + out});
        QVERIFY(finished(child, 60000));
        QCOMPARE(child.exitCode(), 0);
        QCOMPARE(engine.requests().size(), size_t(7));
        QCOMPARE(engine.requests()[4].word, gbk("乙传真"));
        QCOMPARE(engine.requests()[4].pageOffset, 0);
        QCOMPARE(read(out), unbroken);
        QCOMPARE(read(state).split('\r').value(1), QByteArray("\n2"));
    }

    void aKillCostsAtMostThePageInProgress()
    {
        const QByteArray unbroken = unbrokenRun(false);
        FixtureEngine engine(pages);
        const QString out = folder_.filePath("killed.txt");
        QProcess child;
        start(child, engine, {"--out=" + out});
        QVERIFY(QTest::qWaitFor([&] { return engine.requests().size() == 4; }, 30000));
        QTest::qWait(300);
        child.kill();
        QVERIFY(finished(child, 20000));
        // Three pages read before the kill, two numbers each, all on disk.
        const QByteArray kept = read(out);
        QVERIFY2(unbroken.startsWith(kept), kept.constData());
        QVERIFY2(kept.count("\r\n") >= 6, kept.constData());
    }

private:
    // The same keywords searched at full speed in this process.
    QByteArray unbrokenRun(bool deduplicate)
    {
        FixtureEngine engine(pages);
        const QString out = folder_.filePath(deduplicate ? "unbroken-dedup.txt" : "unbroken.txt");
        cli::SearchOptions options;
        options.deduplicate = deduplicate;
        options.keywordFile = folder_.filePath("k.txt").toStdString();
        options.output = out.toStdString();
        HeadlessServices services;
        services.endpoint = engine.endpoint();
        services.localAddressText = [] { return std::string("192.0.2.7"); };
        services.terminal = false;
        FastPacedSearch search(options, services);
        if (search.run() != 0)
            return "<failed>";
        return read(out);
    }

    // Waits with the event loop running: the fixture engine answers in it.
    static bool finished(QProcess& child, int timeoutMs)
    {
        return QTest::qWaitFor([&] { return child.state() == QProcess::NotRunning; }, timeoutMs);
    }

    void start(QProcess& child, FixtureEngine& engine, QStringList args)
    {
        args.prepend("--interval=1");
        args.append(folder_.filePath("k.txt"));
        args.prepend(QString::fromStdString(engine.endpoint()));
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QStringLiteral(VELLUMAX_SEARCH_CHILD), args);
        QVERIFY(child.waitForStarted());
    }

    QTemporaryDir folder_;
};

int main(int argc, char** argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QGuiApplication app(argc, argv);
    SearchTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "headless_search_signal_test.moc"
