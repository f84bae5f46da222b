// Feeds 1,000,000 numbers through a search run into the main window's result
// list, offscreen, each shown and scrolled to as it comes: one keyword a
// page, read at each tick as a run reads it, with wide reading on so that
// the two fax numbers of a page line share it. The lines are about 80
// characters: company, address, phone and fax, as the window keeps them
// beside each entry. Reports the time beside filling a bare ResultList from
// the same lines and beside the same run without fax labels, and the
// resident memory of the whole program holding the list (measured first,
// so that no memory freed by the other runs is in it). Pages are made as
// they are read, so they do not count.
#include "app/dialogs.h"
#include "app/fonts.h"
#include "app/tform1.h"
#include "search/wide_reading.h"
#include "support/timing.h"
#include "text/gbk_codec.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

using namespace vellumax;

namespace {

// The lines of page `page`, `lines` of them; without `fax`, another label
// stands in place of the fax label.
std::vector<std::string> makePage(size_t page, int lines, bool fax)
{
    static const std::string companies[] = {gbk("苏州某某精密机械有限公司（总部）"), gbk("上海某某国际贸易有限公司华东分部"),
                                            gbk("无锡某某电子科技股份有限公司"), gbk("杭州某某纺织品进出口有限公司")};
    static const std::string address = gbk(" 地址：江苏省苏州市工业园区星湖街328号创意产业园 电话:0512-6666");
    static const std::string label = gbk(fax ? "传真:" : "邮编:"), separator = gbk("、");
    std::vector<std::string> text;
    for (size_t i = page * static_cast<size_t>(lines); i < (page + 1) * static_cast<size_t>(lines); ++i) {
        char numbers[64];
        std::snprintf(numbers, sizeof numbers, "%04zu %s0512-%08zu%s0513-%08zu", i % 10000, label.c_str(), i,
                      separator.c_str(), i);
        text.push_back(companies[i % 4] + address + numbers);
    }
    return text;
}

// Serves a page of its own for each keyword, in the order asked for.
class PagesInTurn : public PageSource {
public:
    PagesInTurn(int lines, bool fax) : lines_(lines), fax_(fax) {}
    void RequestPage(const std::string&) override { ++requested_; }
    void ReadPageText(bool, std::function<void(PageRead)> done) override
    {
        std::string text;
        if (requested_ > 0)
            for (const std::string& line : makePage(requested_ - 1, lines_, fax_))
                text += line + "\r\n";
        done({{std::move(text), std::nullopt, {}}, {}});
    }

private:
    int lines_;
    bool fax_;
    size_t requested_ = 0;
};

// The keyword file in the import dialog, 0 in the start prompt.
class RunDialogs : public Dialogs {
public:
    explicit RunDialogs(QString keywordFile) : keywordFile_(std::move(keywordFile)) {}
    void errorBox(const QString& text) override { std::fprintf(stderr, "error: %s\n", qPrintable(text)); }
    void informationBox(const QString&) override {}
    void plainMessage(const QString&) override {}
    bool confirmYes(const QString&) override { return true; }
    std::optional<QString> inputQuery(const QString&, const QString&, const QString&) override
    {
        return QStringLiteral("0");
    }
    std::optional<QString> openFile(const FileDialogSettings&) override { return keywordFile_; }
    std::optional<QStringList> openFiles(const FileDialogSettings&) override { return std::nullopt; }
    std::optional<QString> saveFile(const FileDialogSettings&) override { return std::nullopt; }

private:
    QString keywordFile_;
};

struct WindowRun {
    double seconds = 0;
    size_t entries = 0;
    double residentMiB = 0; // the whole program, with the list
};

// A shown main window with wide reading on, running over `pages` pages of
// `lines` lines, one keyword a page, a tick for each.
WindowRun runInWindow(size_t pages, int lines, bool fax)
{
    QTemporaryDir folder;
    const QString keywordFile = folder.filePath(QStringLiteral("keywords.txt"));
    {
        QFile keywords(keywordFile);
        QFile options(folder.filePath(QStringLiteral("options.ini")));
        if (!keywords.open(QIODevice::WriteOnly) || !options.open(QIODevice::WriteOnly))
            return {};
        for (size_t k = 0; k < pages; ++k)
            keywords.write(QByteArray::fromStdString(gbk("传真") + std::to_string(k) + "\r\n"));
        options.write("[search]\nwideReading=true\n");
    }
    FormServices services;
    services.localAddressText = [] { return std::string(); };
    services.programFolder = folder.path().toStdString() + "/";
    services.optionsFile = folder.filePath(QStringLiteral("options.ini")).toStdString();
    services.dialogs = [&](QWidget*) { return std::make_unique<RunDialogs>(keywordFile); };
    services.pageSource = [&](QWebEngineView*) { return std::make_unique<PagesInTurn>(lines, fax); };
    TForm1 form(std::move(services));
    form.show();
    form.runCommand([&] { form.SpeedButton4Click(); });
    form.runCommand([&] { form.N2Click(); });
    QCoreApplication::processEvents();

    WindowRun run;
    run.seconds = bench::medianSeconds(1, [&] {
        for (size_t page = 0; page < pages; ++page) {
            form.runCommand([&] { form.Timer1Timer(); });
            // Let the view paint between pages, as it does between ticks.
            QCoreApplication::processEvents();
        }
    });
    run.residentMiB = bench::residentMiB();
    run.entries = form.state().results.size();
    return run;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    installChineseFonts();
    const int total = argc > 1 ? std::atoi(argv[1]) : 1'000'000;
    // Lines per page, two numbers each: the window repaints between pages.
    const int lines = argc > 2 ? std::atoi(argv[2]) : 500;
    const size_t pages = static_cast<size_t>((total + 2 * lines - 1) / (2 * lines));

    // The run with the list first, for the memory it holds; then the same
    // run with another label in place of the fax label: what the ticks cost
    // without the list.
    const double before = bench::residentMiB();
    const WindowRun window = runInWindow(pages, lines, true);
    const WindowRun blank = runInWindow(pages, lines, false);
    ResultList bare;
    const double bareSeconds = bench::medianSeconds(1, [&] {
        for (size_t page = 0; page < pages; ++page) {
            std::string text;
            for (const std::string& line : makePage(page, lines, true))
                text += line + "\r\n";
            ExtractFaxNumbersWide(text, {}, bare);
        }
    });
    bare.clear();

    std::printf("entries: %zu in the window's list, %d lines of two numbers a page\n", window.entries, lines);
    std::printf("bare result list:  %8.3f s\n", bareSeconds);
    std::printf("window, the run:   %8.3f s  (%.2f x bare)\n", window.seconds, window.seconds / bareSeconds);
    std::printf("window, no list:   %8.3f s  (the same ticks over pages without fax labels)\n", blank.seconds);
    std::printf("resident in all:   %8.1f MiB with the list (%.1f MiB before the window; target under 300 MiB)\n",
                window.residentMiB, before);
    return window.entries == static_cast<size_t>(pages) * 2 * static_cast<size_t>(lines) ? 0 : 1;
}
