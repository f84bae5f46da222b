// The headless search in this process, through the real browser engine on a
// page without a view, against the local fixture engine: the window's whole
// run, numbers already in the output file, and the failures that end the
// command before it searches.
#include "options/search_options.h"
#include "fast_paced_search.h"
#include "fixture_engine.h"
#include "numbers/number_table.h"
#include "text/gbk_codec.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QRegularExpression>
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

// The pages of the number table's run: 上海传真 has two pages, the second
// with a line longer than the table keeps; -fax list one, with one more line
// on the later run.
std::vector<std::string> tablePages(const std::string& word, int pn, bool laterRun)
{
    if (word == gbk("上海传真") && pn == 0)
        return FixtureEngine::resultPage({"上海某公司 电话:021-55555555 传真:0512-87654321", "=SUM(A1) 传真:13912345678"},
                                         pn, true);
    if (word == gbk("上海传真")) {
        std::string longLine;
        for (int i = 0; i < 130; ++i)
            longLine += "长";
        return FixtureEngine::resultPage({longLine + " 传真:0512-87654321"}, pn, false);
    }
    std::vector<std::string> lines = {"他说\"好\", FAX:0000-0000000"};
    if (laterRun)
        lines.push_back("FAX:0512-12345678-801");
    return FixtureEngine::resultPage(lines, pn, false);
}

// The rows of a number table in UTF-8, each time cell checked to lie within
// [from, to] and replaced by "T".
QStringList tableRows(const QByteArray& table, const QString& from, const QString& to)
{
    QStringList rows = QString::fromUtf8(QByteArray::fromStdString(utf8FromGbk(table.toStdString())))
                           .split(QStringLiteral("\r\n"));
    const QRegularExpression time(QStringLiteral(",(\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d),"));
    for (QString& row : rows) {
        const QRegularExpressionMatch found = time.match(row);
        if (!found.hasMatch())
            continue;
        if (found.captured(1) < from || found.captured(1) > to)
            row = QStringLiteral("time out of range: ") + row;
        else
            row.replace(found.capturedStart(1), found.capturedLength(1), QStringLiteral("T"));
    }
    return rows;
}

QString timeNow() { return QString::fromStdString(tableTimeText(QDateTime::currentMSecsSinceEpoch())); }

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
            void pageRead(const SearchRun::PageResult& page) override
            {
                FastPacedSearch::pageRead(page);
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

    // The number table beside the numbers, page by page; then a later run
    // with the duplicate test appends to it, and only what it adds.
    void theNumberTableTellsWhereEachNumberStood()
    {
        class Watched : public FastPacedSearch {
        public:
            Watched(const cli::SearchOptions& options, HeadlessServices services)
                : FastPacedSearch(options, std::move(services)), options_(options)
            {
            }
            // After each page: the numbers file's lines and the table's.
            std::vector<std::pair<int, int>> written;
            void pageRead(const SearchRun::PageResult& page) override
            {
                FastPacedSearch::pageRead(page);
                written.emplace_back(int(read(QString::fromStdString(options_.output)).count("\r\n")),
                                     int(read(QString::fromStdString(options_.tableFile)).count("\r\n")));
            }

        private:
            cli::SearchOptions options_;
        };
        bool laterRun = false;
        FixtureEngine engine([&](const std::string& word, int pn) { return tablePages(word, pn, laterRun); });
        SearchFolder folder("  上海传真 \r\n-fax list\r\n");
        folder.options.tableFile = folder.dir.filePath("号码表.csv").toStdString();
        HeadlessServices services;
        services.endpoint = engine.endpoint();
        services.localAddressText = [] { return std::string("192.0.2.7"); };
        Messages messages;
        services.messages = messages.file();
        services.terminal = false;

        const QString from = timeNow();
        Watched first(folder.options, services);
        QCOMPARE(first.run(), 0);
        const QString to = timeNow();
        QCOMPARE(first.written, (std::vector<std::pair<int, int>>{{2, 3}, {3, 4}, {4, 5}}));

        std::string han120;
        for (int i = 0; i < 120; ++i)
            han120 += "长";
        QStringList expected = {
            QStringLiteral("号码,有效,类型,地区,关键字,关键字序号,页面偏移,时间,所在行,网页标题,网址"),
            QStringLiteral("0512-87654321,是,固定电话,江苏省苏州市,上海传真,1,0,T,上海某公司 电话:021-55555555 "
                           "传真:0512-87654321,,"),
            QStringLiteral(
                "\"=\"\"013912345678\"\"\",是,手机,江苏省常州市,上海传真,1,0,T,'=SUM(A1) 传真:13912345678,,"),
            QStringLiteral("0512-87654321,是,固定电话,江苏省苏州市,上海传真,1,10,T,") + QString::fromStdString(han120) +
                ",,",
            QStringLiteral("0000-0000000,否,未知,,'-fax list,2,0,T,\"他说\"\"好\"\", FAX:0000-0000000\",,"),
            QString(),
        };
        const QByteArray table = read(QString::fromStdString(folder.options.tableFile));
        QCOMPARE(tableRows(table, from, to), expected);

        // Resumed at the second keyword, with the duplicate test: the number
        // the numbers file holds gets no row, the new one does, and the
        // header is not written again.
        laterRun = true;
        folder.options.deduplicate = true;
        folder.options.start = 1;
        Watched later(folder.options, services);
        QCOMPARE(later.run(), 0);
        const QByteArray appended = read(QString::fromStdString(folder.options.tableFile));
        QVERIFY(appended.startsWith(table));
        expected.insert(
            5, QStringLiteral("0512-12345678-801,是,固定电话,江苏省苏州市,'-fax list,2,0,T,FAX:0512-12345678-801,,"));
        QCOMPARE(tableRows(appended, from, timeNow()), expected);
    }

    void tablesRefusedBeforeTheSearch_data()
    {
        QTest::addColumn<QByteArray>("before"); // the table file's bytes; "<none>": no file
        QTest::addColumn<QString>("table");      // in the folder, or "-"
        QTest::addColumn<bool>("utf8");
        QTest::addColumn<QString>("message");

        const QByteArray gbkTable = QByteArray::fromStdString(numberTableHeader() + "\r\n");
        const QByteArray utf8Table = "\xEF\xBB\xBF" + QByteArray::fromStdString(utf8FromGbk(numberTableHeader()));
        QTest::newRow("UTF-8 rows into a GBK table") << gbkTable << "t.csv" << true << "是 GBK 编码，不能追加 UTF-8 行";
        QTest::newRow("GBK rows into a UTF-8 table") << utf8Table << "t.csv" << false << "是 UTF-8 编码（带 BOM），不能追加 GBK 行";
        QTest::newRow("the numbers file") << QByteArray("<none>") << "out.txt" << false << "号码表与号码文件不能是同一个文件";
        QTest::newRow("the numbers file by another name")
            << QByteArray("<none>") << "sub/../out.txt" << false << "号码表与号码文件不能是同一个文件";
        QTest::newRow("standard output") << QByteArray("<none>") << "-" << false << "号码表只能写入文件";
        QTest::newRow("an older table, without the page columns")
            << QByteArray::fromStdString(gbk("号码,有效,类型,地区,关键字,关键字序号,页面偏移,时间,所在行\r\n"))
            << "t.csv" << false << "两列";
    }

    void tablesRefusedBeforeTheSearch()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, table);
        QFETCH(bool, utf8);
        QFETCH(QString, message);

        FixtureEngine engine([](const std::string&, int pn) { return FixtureEngine::resultPage({}, pn, false); });
        SearchFolder folder("a\r\n");
        QVERIFY(QDir(folder.dir.path()).mkdir("sub"));
        folder.options.output = folder.dir.filePath("out.txt").toStdString();
        folder.options.tableFile = table == "-" ? "-" : folder.dir.filePath(table).toStdString();
        folder.options.tableUtf8 = utf8;
        const QString tablePath = folder.dir.filePath("t.csv");
        if (before != "<none>")
            write(tablePath, before);

        const Outcome outcome = search(folder.options, engine.endpoint());
        QCOMPARE(outcome.exitCode, 1);
        QVERIFY2(outcome.messages.starts_with("vellumax-cli: 号码表") &&
                     outcome.messages.find(message.toStdString()) != std::string::npos,
                 outcome.messages.c_str());
        QVERIFY(engine.requests().empty());
        QCOMPARE(read(tablePath), before == "<none>" ? QByteArray("<missing>") : before);
        QVERIFY(!QFile::exists(folder.dir.filePath("out.txt")));
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

    void wideReadingFollowsTodaysPager()
    {
        // Four pages of today's pager, the numbers in the forms people
        // write; the marker rule would read the first page and find nothing.
        FixtureEngine engine([](const std::string&, int pn) {
            std::vector<std::string> lines = {"电话：021-55555555 传真：021-1000" + FixtureEngine::digits(pn, 4),
                                              "Fax: +86 20 8511 " + FixtureEngine::digits(pn, 4),
                                              FixtureEngine::rawHtml("传真:&nbsp;0571-7777" + FixtureEngine::digits(pn, 4))};
            for (const std::string& pager : FixtureEngine::todaysPager(pn, pn < 30))
                lines.push_back(pager);
            return FixtureEngine::resultPage(lines, pn, false);
        });
        SearchFolder folder("上海传真\r\n");
        folder.options.interval = 1;
        folder.options.wide = true;
        QCOMPARE(search(folder.options, engine.endpoint()).exitCode, 0);

        std::vector<int> offsets;
        for (const FixtureEngine::Request& request : engine.requests())
            offsets.push_back(request.pageOffset);
        QCOMPARE(offsets, (std::vector<int>{0, 10, 20, 30}));
        QByteArray expected;
        for (int pn = 0; pn <= 30; pn += 10)
            expected += QByteArray::fromStdString("021-1000" + FixtureEngine::digits(pn, 4) + "\r\n020-8511" +
                                                  FixtureEngine::digits(pn, 4) + "\r\n0571-7777" +
                                                  FixtureEngine::digits(pn, 4) + "\r\n");
        QCOMPARE(folder.numbers(), expected);

        folder.options.wide = false;
        write(QString::fromStdString(folder.options.output), "");
        QCOMPARE(search(folder.options, engine.endpoint()).exitCode, 0);
        QCOMPARE(engine.requests().size(), size_t(5));
        QCOMPARE(folder.numbers(), QByteArray());
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
