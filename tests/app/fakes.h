#pragma once

// Stand-ins for the dialogs and the browser pane, so that the window's
// commands can be driven and watched without a person or a network.

#include "app/dialogs.h"
#include "app/tform1.h"
#include "app/tray/notification_area.h"
#include "search/page_source.h"
#include "search/site_loader.h"
#include "text/error.h"
#include "text/gbk_codec.h"
#include "window_controls.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vellumax::test {

// Test files of the window's tests, whole.
inline void write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

inline QByteArray read(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

class FakeDialogs : public Dialogs {
public:
    struct Shown {
        QString kind; // "error", "information", "plain", "confirm"
        QString text;
    };
    std::vector<Shown> shown;
    std::vector<FileDialogSettings> fileDialogs;
    std::vector<QString> prompts; // the value each input prompt offered

    std::deque<std::optional<QString>> inputAnswers;
    std::deque<bool> confirmAnswers;
    std::deque<std::optional<QString>> openAnswers;
    std::deque<std::optional<QStringList>> openManyAnswers;
    std::deque<std::optional<QString>> saveAnswers;

    void errorBox(const QString& text) override { shown.push_back({QStringLiteral("error"), text}); }
    void informationBox(const QString& text) override { shown.push_back({QStringLiteral("information"), text}); }
    // Runs while a plain message is up, as the event loop would meanwhile.
    std::function<void()> whilePlainShown;

    void plainMessage(const QString& text) override
    {
        shown.push_back({QStringLiteral("plain"), text});
        if (whilePlainShown)
            whilePlainShown();
    }
    bool confirmYes(const QString& text) override
    {
        shown.push_back({QStringLiteral("confirm"), text});
        return take(confirmAnswers, true);
    }
    std::optional<QString> inputQuery(const QString&, const QString&, const QString& value) override
    {
        prompts.push_back(value);
        return take<std::optional<QString>>(inputAnswers, std::nullopt);
    }
    std::optional<QString> openFile(const FileDialogSettings& s) override
    {
        fileDialogs.push_back(s);
        return take<std::optional<QString>>(openAnswers, std::nullopt);
    }
    std::optional<QStringList> openFiles(const FileDialogSettings& s) override
    {
        fileDialogs.push_back(s);
        return take<std::optional<QStringList>>(openManyAnswers, std::nullopt);
    }
    std::optional<QString> saveFile(const FileDialogSettings& s) override
    {
        fileDialogs.push_back(s);
        return take<std::optional<QString>>(saveAnswers, std::nullopt);
    }

    QStringList texts(const QString& kind) const
    {
        QStringList out;
        for (const Shown& s : shown)
            if (s.kind == kind)
                out << s.text;
        return out;
    }

private:
    // GCC 12 wrongly sees an uninitialised QString inside the moved optional.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
    template <typename T>
    static T take(std::deque<T>& answers, const T& fallback)
    {
        if (answers.empty())
            return fallback;
        T answer = std::move(answers.front());
        answers.pop_front();
        return answer;
    }
#pragma GCC diagnostic pop
};

// Serves page texts by URL; a URL without a page gives the page last served
// (the pane keeps showing it), and `failure` makes every read fail.
class FakePageSource : public PageSource {
public:
    std::vector<std::string> requests;
    std::map<std::string, std::string> pages;
    std::string defaultPage;
    std::vector<PageBlock> blocks; // the result blocks of every page
    std::optional<std::string> failure;
    bool refuseRequests = false;

    void RequestPage(const std::string& url) override
    {
        requests.push_back(url);
        if (refuseRequests)
            throw Error("refused");
        auto it = pages.find(url);
        current_ = it != pages.end() ? it->second : defaultPage;
    }
    void ReadPageText(bool, std::function<void(PageRead)> done) override
    {
        if (failure)
            done({{}, *failure});
        else
            done({{current_, std::nullopt, blocks}, {}});
    }

private:
    std::string current_;
};

// Results' own sites that answer at once: robots.txt missing everywhere, and
// a page shows what `pages` holds for its address, or fails.
struct FakeSites : SiteLoader {
    std::map<std::string, SitePageRead> pages;
    std::vector<std::string> loaded;

    bool loadPage(const std::string& url, std::function<void(SitePageRead)> done) override
    {
        loaded.push_back(url);
        const auto it = pages.find(url);
        SitePageRead read = it != pages.end() ? it->second : SitePageRead{};
        read.finalUrl = url;
        done(read);
        return true;
    }
    void fetchRobots(const std::string&, std::function<void(int, std::string)> done) override { done(404, {}); }
};

// The page timer's tick, and the page's read, whose answer comes from the
// browser: after it the run has asked for its next page (the timer runs),
// finished (Search is back) or failed (an error box).
inline void tickAndAwaitRead(TForm1& form, const FakeDialogs& dialogs)
{
    form.runCommand([&] { form.Timer1Timer(); });
    QVERIFY2(QTest::qWaitFor(
                 [&] {
                     return pageTimer(form).isActive() || button(form, "SpeedButton2").isEnabled() ||
                            !dialogs.texts("error").isEmpty();
                 },
                 20000),
             "the page's read was not answered");
}

// A main window with the real browser pane pointed at `endpoint`, scripted
// dialogs (left in `dialogs`), an online connection and the given folder.
inline std::unique_ptr<TForm1> formWithRealBrowser(const std::string& endpoint, const QString& folder,
                                                   FakeDialogs*& dialogs)
{
    FormServices services;
    services.endpoint = endpoint;
    services.localAddressText = [] { return std::string("192.0.2.10"); };
    services.programFolder = folder.toStdString() + "/";
    services.optionsFile = folder.toStdString() + "/options.ini";
    services.dialogs = [&dialogs](QWidget*) {
        auto d = std::make_unique<FakeDialogs>();
        dialogs = d.get();
        return d;
    };
    return std::make_unique<TForm1>(std::move(services));
}

// A main window with fake dialogs, a fake page source, an online connection
// and its own program folder.
struct FormUnderTest {
    QTemporaryDir folder;
    FakeDialogs* dialogs = nullptr;
    FakePageSource* pages = nullptr;
    FakeSites* sites = nullptr; // once the window reads sites
    std::string localAddress = "192.0.2.10";
    std::vector<QUrl> openedUrls; // what the window handed to the desktop's "open"
    std::unique_ptr<TForm1> form;
    // When set, the window's tray icon lives in this area instead of the desktop's.
    std::function<std::unique_ptr<NotificationArea>()> notificationArea;

    // `prepare` runs before the window is made, for a settings file.
    explicit FormUnderTest(const std::function<void(const QString& folder)>& prepare = {},
                           std::function<std::unique_ptr<NotificationArea>()> area = {})
        : notificationArea(std::move(area))
    {
        if (prepare)
            prepare(folder.path());
        create();
    }

    void create()
    {
        FormServices services;
        services.endpoint = "http://engine.test";
        services.localAddressText = [this] { return localAddress; };
        services.programFolder = folder.path().toStdString() + "/";
        services.optionsFile = folder.path().toStdString() + "/options.ini";
        services.dialogs = [this](QWidget*) {
            auto d = std::make_unique<FakeDialogs>();
            dialogs = d.get();
            return d;
        };
        services.pageSource = [this](QWebEngineView*) {
            auto p = std::make_unique<FakePageSource>();
            pages = p.get();
            return p;
        };
        services.openUrl = [this](const QUrl& url) { openedUrls.push_back(url); };
        services.notificationArea = notificationArea;
        services.siteLoader = [this](const std::string&, LoopbackSites) {
            auto s = std::make_unique<FakeSites>();
            sites = s.get();
            return s;
        };
        form.reset();
        form = std::make_unique<TForm1>(std::move(services));
    }

    QString file(const QString& name) const { return folder.filePath(name); }

    // Imports `keywords` (GBK) as a person does: a keyword file in the
    // program folder, picked in the Import command's dialog.
    void importKeywords(const std::vector<std::string>& keywords)
    {
        QByteArray lines;
        for (const std::string& keyword : keywords)
            lines += QByteArray::fromStdString(keyword) + "\r\n";
        write(file(QStringLiteral("keywords.txt")), lines);
        dialogs->openAnswers.push_back(file(QStringLiteral("keywords.txt")));
        button(*form, "SpeedButton4").click();
    }

    // Fills the result list as a run does: one keyword, whose one page
    // carries `numbers` after fax labels, read at the first tick; the run
    // then ends (and writes the settings file).
    void findNumbers(const std::vector<std::string>& numbers)
    {
        importKeywords({gbk("传真")});
        std::string page;
        for (const std::string& number : numbers)
            page += gbk("传真:") + number + "\r\n";
        pages->defaultPage = page;
        dialogs->inputAnswers.push_back(QStringLiteral("0"));
        button(*form, "SpeedButton2").click();
        form->runCommand([this] { form->Timer1Timer(); });
        QCOMPARE(form->state().results.size(), numbers.size());
        QVERIFY(!pageTimer(*form).isActive());
    }
};

} // namespace vellumax::test
