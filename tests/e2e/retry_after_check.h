#pragma once

// What the page source tells of the engine's Retry-After header, the same
// with and without a view: read as the run reads it, once at least a second
// after the request and after the load's end.
#include "browser/web_page_source.h"
#include "fixture_engine.h"

#include <QElapsedTimer>
#include <QTest>
#include <algorithm>
#include <string>
#include <vector>

namespace vellumax::test {

// Requests `path` and gives the load as the run's next tick would read it.
inline PageLoad loadAsTheRunSeesIt(WebPageSource& source, FixtureEngine& engine, const std::string& path)
{
    QElapsedTimer since;
    since.start();
    source.RequestPage(engine.endpoint() + path);
    (void)QTest::qWaitFor([&] { return source.lastLoad().outcome != PageLoad::Outcome::Loading; }, 20000);
    QTest::qWait(std::max(0, 1000 - static_cast<int>(since.elapsed())));
    return source.lastLoad();
}

// What is wrong with the Retry-After values of a 429 in seconds, a 503 with a
// date, a 200 without the header and a redirect with one, or empty when
// nothing is.
inline std::string retryAfterMismatch(WebPageSource& source, FixtureEngine& engine)
{
    const std::string date = "Wed, 21 Oct 2026 07:28:00 GMT";
    engine.setAnswers([date](const FixtureEngine::Request& request) {
        FixtureEngine::Answer answer;
        if (request.word == "busy") {
            answer.status = 429;
            answer.retryAfter = "3";
        } else if (request.word == "away") {
            // The value goes with the redirect, not with the page it ends at.
            answer.verify = true;
            answer.retryAfter = "7";
        } else if (request.word == "down") {
            answer.status = 503;
            answer.withPage = false;
            answer.retryAfter = date;
        }
        return answer;
    });
    const std::string busy = "/baidu?word=busy&pn=0";
    // The headers go unseen for a moment after the source is made: wait
    // until they are heard.
    bool heard = false;
    for (int i = 0; i < 10 && !heard; ++i)
        heard = loadAsTheRunSeesIt(source, engine, busy).retryAfter == "3";
    if (!heard)
        return "the answers' headers are never seen";

    struct Case {
        std::string path;
        int status;
        std::string retryAfter;
        std::string redirectedTo = {};
    };
    const std::vector<Case> cases = {
        {busy, 429, "3"},
        {"/baidu?word=down&pn=0", 503, date},
        {"/baidu?word=ok&pn=0", 200, ""},
        {busy, 429, "3"},
        {"/baidu?word=ok&pn=10", 200, ""},
        {"/baidu?word=away&pn=0", 200, "", "/verify?back=%2Fbaidu%3Fword%3Daway%26pn%3D0"},
        {busy, 429, "3"},
    };
    const size_t before = engine.paths().size();
    std::vector<std::string> asked;
    for (const Case& c : cases) {
        const PageLoad load = loadAsTheRunSeesIt(source, engine, c.path);
        asked.push_back(c.path);
        if (!c.redirectedTo.empty())
            asked.push_back(c.redirectedTo);
        if (load.httpStatus != c.status || load.retryAfter != c.retryAfter)
            return c.path + " gave " + std::to_string(load.httpStatus) + " with \"" + load.retryAfter + "\"";
    }
    // Reading the headers asks the engine for nothing more.
    const std::vector<std::string> paths(engine.paths().begin() + static_cast<std::ptrdiff_t>(before),
                                         engine.paths().end());
    if (paths != asked) {
        std::string got;
        for (const std::string& path : paths)
            got += " " + path;
        return "the engine got" + got;
    }
    return {};
}

} // namespace vellumax::test
