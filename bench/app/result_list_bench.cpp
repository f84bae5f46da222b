// Feeds 1,000,000 numbers through a search run into the main window's result
// list, offscreen, each shown and scrolled to as it comes: one keyword a
// page, read at each tick as a run reads it. Reports the time and the memory
// added, beside filling a bare ResultList from the same page lines.
#include "app/dialogs.h"
#include "app/fonts.h"
#include "app/tform1.h"
#include "search/fax_extraction.h"
#include "support/timing.h"
#include "text/gbk_codec.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTreeView>
#include <cstdio>

using namespace vellumax;

namespace {

// Serves the pages in the order they are asked for, one per keyword.
class PagesInTurn : public PageSource {
public:
    explicit PagesInTurn(const std::vector<std::vector<std::string>>& pages) : pages_(pages) {}
    void RequestPage(const std::string&) override { ++requested_; }
    std::string ReadPageText() override
    {
        std::string text;
        if (requested_ > 0 && requested_ <= pages_.size())
            for (const std::string& line : pages_[requested_ - 1])
                text += line + "\r\n";
        return text;
    }

private:
    const std::vector<std::vector<std::string>>& pages_;
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

std::vector<std::vector<std::string>> makePages(int total, int perPage)
{
    std::vector<std::vector<std::string>> pages;
    const std::string marker = gbk("传真:");
    for (int n = 0; n < total; n += perPage) {
        std::vector<std::string> lines;
        for (int i = n; i < std::min(total, n + perPage); ++i) {
            char number[32];
            std::snprintf(number, sizeof number, "0512-%08d", i);
            lines.push_back(gbk("某公司 电话:0512-1 ") + marker + number);
        }
        pages.push_back(std::move(lines));
    }
    return pages;
}

struct WindowRun {
    double seconds = 0;
    size_t entries = 0;
    double addedMiB = 0;
};

// A shown main window running over `pages`, one keyword a page (a keyword's
// pages end at the engine's last one), a tick for each.
WindowRun runInWindow(const std::vector<std::vector<std::string>>& pages)
{
    QTemporaryDir folder;
    const QString keywordFile = folder.filePath(QStringLiteral("keywords.txt"));
    {
        QFile keywords(keywordFile);
        if (!keywords.open(QIODevice::WriteOnly))
            return {};
        for (size_t k = 0; k < pages.size(); ++k)
            keywords.write(QByteArray::fromStdString(gbk("传真") + std::to_string(k) + "\r\n"));
    }
    FormServices services;
    services.localAddressText = [] { return std::string(); };
    services.programFolder = folder.path().toStdString() + "/";
    services.dialogs = [&](QWidget*) { return std::make_unique<RunDialogs>(keywordFile); };
    services.pageSource = [&](QWebEngineView*) { return std::make_unique<PagesInTurn>(pages); };
    TForm1 form(std::move(services));
    form.show();
    form.runCommand([&] { form.SpeedButton4Click(); });
    form.runCommand([&] { form.N2Click(); });
    QCoreApplication::processEvents();

    WindowRun run;
    const double before = bench::peakResidentMiB();
    run.seconds = bench::medianSeconds(1, [&] {
        for (size_t page = 0; page < pages.size(); ++page) {
            form.runCommand([&] { form.Timer1Timer(); });
            // Let the view paint between pages, as it does between ticks.
            QCoreApplication::processEvents();
        }
    });
    run.addedMiB = bench::peakResidentMiB() - before;
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
    // Numbers per page: the window repaints between pages, as between ticks.
    const int perPage = argc > 2 ? std::atoi(argv[2]) : 100;
    const auto pages = makePages(total, perPage);
    const std::string marker = gbk("传真:");

    ResultList bare;
    const double bareSeconds = bench::medianSeconds(1, [&] {
        for (const auto& page : pages)
            ExtractFaxNumbers(page, marker, [] { return false; }, bare);
    });
    bare.clear();

    // The same run over the same lines with another label in place of the
    // fax label: what the ticks cost without the list.
    std::vector<std::vector<std::string>> blankPages = pages;
    const std::string otherLabel = gbk("邮编:");
    for (auto& page : blankPages)
        for (std::string& line : page)
            line.replace(line.find(marker), marker.size(), otherLabel);
    const WindowRun blank = runInWindow(blankPages);
    const WindowRun window = runInWindow(pages);
    const size_t entries = window.entries;
    const double windowSeconds = window.seconds - blank.seconds;
    const double added = window.addedMiB;

    std::printf("entries: %zu in the window's list, %d a page\n", entries, perPage);
    std::printf("bare result list:  %8.3f s\n", bareSeconds);
    std::printf("window, run alone: %8.3f s  (the same ticks over the pages without fax labels)\n", blank.seconds);
    std::printf("window, the list:  %8.3f s  (%.2f x bare; target under 5 s)\n", windowSeconds,
                windowSeconds / bareSeconds);
    std::printf("memory added:      %8.1f MiB (target under 300 MiB)\n", added);
    return entries == static_cast<size_t>(total) ? 0 : 1;
}
