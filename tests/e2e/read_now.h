#pragma once

// A read of the page source's current document, waited for: what the run
// gets in its answer's handler.

#include "search/page_source.h"

#include <QEventLoop>
#include <optional>

namespace vellumax::test {

inline PageRead readNow(PageSource& source, bool withLinks = false)
{
    QEventLoop loop;
    std::optional<PageRead> read;
    source.ReadPageText(withLinks, [&](PageRead answer) {
        read = std::move(answer);
        loop.quit();
    });
    if (!read)
        loop.exec();
    return *read;
}

} // namespace vellumax::test
