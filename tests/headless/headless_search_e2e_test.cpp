// The headless search in this process, through the real browser engine on a
// page without a view, against the local fixture engine: the window's whole
// run, numbers already in the output file, and the failures that end the
// command before it searches.
#include "options/search_options.h"
#include "fast_paced_search.h"
#include "fixture_engine.h"
#include "text/gbk_codec.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <cstdio>
#include <utility>

using namespace vellumax;
using namespace vellumax::test;

namespace {

void write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QByteArray read(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// A search's messages, caught in a temporary file.
class Messages {
public:
    Messages() : file_(std::tmpfile()) {}
    ~Messages() { std::fclose(file_); }
    std::FILE* file() const { return file_; }
    std::string text() const
    {
        std::fflush(file_);
        std::string all;
        std::rewind(file_);
        char chunk[4096];
        size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, file_)) > 0)
            all.append(chunk, n);
        return all;
    }

private:
    std::FILE* file_;
};

struct Outcome {
    int exitCode = -1;
    std::string messages; // UTF-8
};

Outcome search(const cli::SearchOptions& options, const std::string& endpoint,
               const std::string& localAddress = "192.0.2.7")
{
    Messages messages;
    HeadlessServices services;
    services.endpoint = endpoint;
    services.localAddressText = [localAddress] { return localAddress; };
    services.messages = messages.file();
    services.terminal = false;
    FastPacedSearch search(options, services);
    const int exitCode = search.run();
    return {exitCode, messages.text()};
}

// A folder with a keyword file (lines given in UTF-8, written in GBK) and
// the options of a search over it that writes numbers.txt and state.ini
// there.
struct SearchFolder {
    QTemporaryDir dir;
    cli::SearchOptions options;

    explicit SearchFolder(const char* keywordLines)
    {
        const QString keywords = dir.filePath("k.txt");
        write(keywords, QByteArray::fromStdString(gbk(keywordLines)));
        options.keywordFile = keywords.toStdString();
        options.output = dir.filePath("numbers.txt").toStdString();
        options.stateFile = dir.filePath("state.ini").toStdString();
    }
    QByteArray numbers() const { return read(dir.filePath("numbers.txt")); }
    QByteArray state() const { return read(dir.filePath("state.ini")); }
};

size_t occurrences(const std::string& text, const std::string& part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

} // namespace

class HeadlessSearchE2eTest : public QObject {
    Q_OBJECT
private slots:
    void theWindowsWholeRun()
    {
        FixtureEngine engine(FixtureEngine::threeKeywordPages);
        QTemporaryDir folder;
        const QString keywords = folder.filePath(QStringLiteral("关键字.txt"));
        write(keywords, QByteArray::fromStdString(gbk("上海传真\r\n  fax list \r\n机械配件\r\n")));
        cli::SearchOptions options;
        options.interval = 1;
        options.keywordFile = keywords.toStdString();
        options.output = folder.filePath("numbers.txt").toStdString();
        options.stateFile = folder.filePath("state.ini").toStdString();

        const Outcome outcome = search(options, engine.endpoint());
        QCOMPARE(outcome.exitCode, 0);

        // The requests of the window's run, byte for byte.
        const auto& requests = engine.requests();
        const std::string mismatch = FixtureEngine::threeKeywordRequestsMismatch(requests);
        QVERIFY2(mismatch.empty(), mismatch.c_str());

        // Its numbers, in the result file format.
        QByteArray expected;
        for (int pn = 0; pn <= 20; pn += 10)
            expected += QByteArray::fromStdString("021-1000" + FixtureEngine::digits(pn, 4) + "\r\n");
        for (int pn = 0; pn <= 740; pn += 10)
            expected += QByteArray::fromStdString("010-2" + FixtureEngine::digits(pn, 7) + "\r\n");
        expected += "0755-33333333\r\n";
        QCOMPARE(read(folder.filePath("numbers.txt")), expected);

        // The state as the window's settings file has it after this run.
        const QByteArray keywordPath = QByteArray::fromStdString(gbkFromUtf8(keywords.toStdString()));
        QCOMPARE(read(folder.filePath("state.ini")), keywordPath + "\r\n2\r\nqcno\r\n1\r\n");

        // Not on a terminal: one plain line a page, then the end.
        QCOMPARE(occurrences(outcome.messages, " 页  号码: 共 "), size_t(79));
        QVERIFY(outcome.messages.find("关键字 3/3 「机械配件」 第 1 页  号码: 共 79, 本关键字 1") != std::string::npos);
        QVERIFY(outcome.messages.find("搜索已经结束！") != std::string::npos);
    }

    void numbersAlreadyInTheFileCountAsFound()
    {
        FixtureEngine engine([](const std::string&, int pn) {
            return FixtureEngine::resultPage({"传真:0512-11111111", "传真:0512-22222222"}, pn, false);
        });
        SearchFolder folder("上海传真\r\n苏州传真\r\n");
        // A line cut off by a crash is ended before the new numbers.
        write(QString::fromStdString(folder.options.output), "0512-11111111\r\n021-3");
        folder.options.interval = 1;
        folder.options.deduplicate = true;

        QCOMPARE(search(folder.options, engine.endpoint()).exitCode, 0);
        QCOMPARE(engine.requests().size(), size_t(2));
        QCOMPARE(folder.numbers(), QByteArray("0512-11111111\r\n021-3\r\n0512-22222222\r\n"));
    }

    void sigtermStopsAfterThePageInProgress()
    {
        // Terminated while the second page is read: the third, already asked
        // for, is still read; then the run ends with the first keyword in
        // progress.
        class Terminated : public FastPacedSearch {
        public:
            using FastPacedSearch::FastPacedSearch;
            void pageRead() override
            {
                FastPacedSearch::pageRead();
                if (++pages_ == 2)
                    ::raise(SIGTERM);
            }

        private:
            int pages_ = 0;
        };
        FixtureEngine engine(FixtureEngine::threeKeywordPages);
        SearchFolder folder("上海传真\r\nfax list\r\n");
        HeadlessServices services;
        services.endpoint = engine.endpoint();
        services.localAddressText = [] { return std::string("192.0.2.7"); };
        services.messages = std::tmpfile();
        Terminated search(folder.options, services);
        QCOMPARE(search.run(), 143);
        std::fclose(services.messages);
        QCOMPARE(engine.requests().size(), size_t(3));
        QCOMPARE(folder.numbers(), QByteArray("021-10000000\r\n021-10000010\r\n021-10000020\r\n"));
        QCOMPARE(folder.state().split('\n').value(1), QByteArray("0\r"));
    }

    void anUnreadablePageHaltsTheRun()
    {
        FixtureEngine engine(FixtureEngine::threeKeywordPages);
        engine.setAnswers([](const FixtureEngine::Request& request) {
            FixtureEngine::Answer answer;
            answer.plainText = request.word == "fax list";
            return answer;
        });
        SearchFolder folder("上海传真\r\nfax list\r\n机械配件\r\n");

        const Outcome outcome = search(folder.options, engine.endpoint());
        QCOMPARE(outcome.exitCode, 1);
        QVERIFY2(outcome.messages.find("vellumax-cli: Interface not supported") != std::string::npos,
                 outcome.messages.c_str());
        QCOMPARE(engine.requests().size(), size_t(4));
        QCOMPARE(folder.numbers().count("\r\n"), 3);
        // The keyword in progress, to be searched again on a resume.
        QCOMPARE(folder.state().split('\n').value(1), QByteArray("1\r"));
    }

    // The very first request is refused with Retry-After: the search starts
    // once the browser engine hears the answers' headers, so it is heard.
    void retryAfterOnTheFirstPageIsHeard()
    {
        FixtureEngine engine(FixtureEngine::threeKeywordPages);
        bool refused = false;
        engine.setAnswers([&](const FixtureEngine::Request&) {
            FixtureEngine::Answer answer;
            if (!std::exchange(refused, true)) {
                answer = {429, false};
                answer.retryAfter = "3";
            }
            return answer;
        });
        SearchFolder folder("上海传真\r\n");
        folder.options.interval = 1;

        const Outcome outcome = search(folder.options, engine.endpoint());
        QCOMPARE(outcome.exitCode, 0);
        QVERIFY2(outcome.messages.find("页面载入失败（HTTP 429），第 1 次，3 秒后重试（") != std::string::npos,
                 outcome.messages.c_str());
        QCOMPARE(folder.numbers(), QByteArray("021-10000000\r\n021-10000010\r\n021-10000020\r\n"));
    }

    // The engine sends the second keyword's first page to its verification
    // page twice, then lets it through: told once on the messages stream,
    // asked again each time, and nothing read from that page.
    void aVerificationPageIsToldAndAskedAgain()
    {
        FixtureEngine engine(FixtureEngine::threeKeywordPages);
        int diverted = 0;
        engine.setAnswers([&](const FixtureEngine::Request& request) {
            FixtureEngine::Answer answer;
            answer.verify = request.word == "fax list" && request.pageOffset == 0 && diverted++ < 2;
            return answer;
        });
        SearchFolder folder("上海传真\r\nfax list\r\n机械配件\r\n");

        const Outcome outcome = search(folder.options, engine.endpoint());
        QCOMPARE(outcome.exitCode, 0);
        QCOMPARE(occurrences(outcome.messages, "关键字 2 「fax list」：搜索引擎要求验证，命令行中无法完成。"), size_t(1));
        QCOMPARE(occurrences(outcome.messages, "搜索引擎要求验证，第 1 次，"), size_t(1));
        QCOMPARE(occurrences(outcome.messages, "搜索引擎要求验证，第 2 次，"), size_t(1));
        QCOMPARE(engine.requests().size(), size_t(81));
        QCOMPARE(folder.numbers().count("\r\n"), 79);
        QVERIFY(!folder.numbers().contains("0999"));
    }

    void failuresBeforeTheSearch_data()
    {
        QTest::addColumn<QString>("keywordFile"); // in the folder; "k.txt" holds three keywords
        QTest::addColumn<QString>("output");      // in the folder
        QTest::addColumn<int>("start");
        QTest::addColumn<bool>("resume");
        QTest::addColumn<QString>("localAddress");
        QTest::addColumn<QString>("message");

        QTest::newRow("offline") << "k.txt" << "out.txt" << 0 << false << "127.0.0.1" << "您还没有连接到网上！";
        QTest::newRow("no keyword file") << "missing.txt" << "out.txt" << 0 << false << "" << "Cannot open file";
        QTest::newRow("keyword file is a folder") << "sub" << "out.txt" << 0 << false << "" << "Cannot open file";
        QTest::newRow("empty keyword file") << "empty.txt" << "out.txt" << 0 << false << "" << "请先导入关键字列表文件";
        QTest::newRow("start past the end") << "k.txt" << "out.txt" << 3 << false << "" << "搜索断点位置超过关键字文件行数！";
        QTest::newRow("resume past the end") << "k.txt" << "out.txt" << 0 << true << "" << "搜索断点位置超过关键字文件行数！";
        QTest::newRow("output is a folder") << "k.txt" << "sub" << 0 << false << "" << "Cannot create file";
        QTest::newRow("output in no folder") << "k.txt" << "none/out.txt" << 0 << false << "" << "Cannot create file";
    }

    void failuresBeforeTheSearch()
    {
        QFETCH(QString, keywordFile);
        QFETCH(QString, output);
        QFETCH(int, start);
        QFETCH(bool, resume);
        QFETCH(QString, localAddress);
        QFETCH(QString, message);

        FixtureEngine engine([](const std::string&, int pn) { return FixtureEngine::resultPage({}, pn, false); });
        QTemporaryDir folder;
        write(folder.filePath("k.txt"), "a\r\nb\r\nc\r\n");
        write(folder.filePath("empty.txt"), "");
        QVERIFY(QDir(folder.path()).mkdir("sub"));
        const QByteArray state = "k.txt\r\n3\r\nqcno\r\n8\r\n";
        write(folder.filePath("state.ini"), state);

        cli::SearchOptions options;
        options.keywordFile = folder.filePath(keywordFile).toStdString();
        options.output = folder.filePath(output).toStdString();
        options.stateFile = folder.filePath("state.ini").toStdString();
        if (resume)
            options.resume = true;
        else
            options.start = start;

        const Outcome outcome = search(options, engine.endpoint(), localAddress.toStdString());
        QCOMPARE(outcome.exitCode, 1);
        QVERIFY2(outcome.messages.find("vellumax-cli: " + message.toStdString()) != std::string::npos,
                 outcome.messages.c_str());
        // Nothing asked, nothing written, nothing damaged.
        QVERIFY(engine.requests().empty());
        QCOMPARE(read(folder.filePath("state.ini")), state);
        QVERIFY(!QFile::exists(folder.filePath("out.txt")));
    }
};

int main(int argc, char** argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QGuiApplication app(argc, argv);
    HeadlessSearchE2eTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "headless_search_e2e_test.moc"
