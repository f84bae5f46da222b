#include "headless/progress.h"

#include "text/gbk_codec.h"
#include "text/local_time.h"

#include <algorithm>
#include <cmath>

namespace vellumax {

void Progress::keywordBegun(int32_t number, std::string text)
{
    keywordNumber = number;
    keyword = std::move(text);
    page = 0;
    numbersInKeyword = 0;
    ++keywordsTaken;
}

void Progress::pageRead(int64_t added, int64_t found)
{
    numbersInKeyword += added;
    numbersInAll = found;
    ++page;
    ++pagesRead;
}

std::string verificationNotice(const Progress& progress, int64_t nowUnixMs)
{
    return localTimeText(nowUnixMs, "%Y-%m-%d %H:%M:%S") + " 关键字 " + std::to_string(progress.keywordNumber) +
           " 「" + utf8FromGbk(progress.keyword) +
           "」：搜索引擎要求验证，命令行中无法完成。本命令将继续重试，间隔逐次加倍，最长一小时；"
           "也可终止本命令，在窗口中完成验证后，从同一状态文件继续搜索。";
}

int64_t remainingSeconds(const Progress& p)
{
    if (p.keywordsTaken <= 0 || p.pagesRead <= 0)
        return 0;
    const double perKeyword = static_cast<double>(p.pagesRead) / p.keywordsTaken;
    const double restOfThis = std::max(0.0, perKeyword - p.page);
    const double after = std::max(0, p.keywordCount - p.keywordNumber);
    return std::llround((restOfThis + after * perKeyword) * p.intervalSeconds);
}

std::string durationText(int64_t seconds)
{
    char text[48];
    const int64_t h = seconds / 3600, m = seconds / 60 % 60, s = seconds % 60;
    if (h > 0)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", static_cast<long long>(h), static_cast<long long>(m),
                      static_cast<long long>(s));
    else
        std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(m), static_cast<long long>(s));
    return text;
}

std::string progressText(const Progress& p)
{
    std::string sites;
    if (p.readsSites)
        sites = "  网站: 已读 " + std::to_string(p.sitePagesRead) + " 页, 等待 " + std::to_string(p.sitePagesWaiting);
    return "关键字 " + std::to_string(p.keywordNumber) + "/" + std::to_string(p.keywordCount) + " 「" +
           utf8FromGbk(p.keyword) + "」 第 " + std::to_string(p.page) + " 页  号码: 共 " +
           std::to_string(p.numbersInAll) + ", 本关键字 " + std::to_string(p.numbersInKeyword) + "  预计还需 " +
           durationText(remainingSeconds(p)) + sites;
}

void ProgressDisplay::show(const Progress& progress)
{
    const std::string text = progressText(progress);
    if (terminal_) {
        // Back to the line's start, the text, and the rest of the old line
        // cleared.
        std::fprintf(out_, "\r%s\033[K", text.c_str());
        lineOpen_ = true;
    } else {
        std::fprintf(out_, "%s\n", text.c_str());
    }
    std::fflush(out_);
}

void ProgressDisplay::message(const std::string& utf8Text)
{
    end();
    std::fprintf(out_, "%s\n", utf8Text.c_str());
    std::fflush(out_);
}

void ProgressDisplay::end()
{
    if (lineOpen_)
        std::fputc('\n', out_);
    lineOpen_ = false;
    std::fflush(out_);
}

} // namespace vellumax
