#include "search/run_status.h"

#include "text/gbk_codec.h"
#include "text/local_time.h"

namespace vellumax {
namespace {

std::string retryText(const RunStatus& status)
{
    std::string reason;
    if (status.load.outcome == PageLoad::Outcome::Diverted)
        reason = "搜索引擎要求验证";
    else if (status.load.httpStatus > 0)
        reason = "页面载入失败（HTTP " + std::to_string(status.load.httpStatus) + "）";
    else
        reason = "无法连接搜索引擎";
    const int64_t seconds = (status.waitMs + 999) / 1000;
    return reason + "，第 " + std::to_string(status.failures) + " 次，" + std::to_string(seconds) + " 秒后重试（" +
           localTimeText(status.nowUnixMs + seconds * 1000, "%H:%M:%S") + "）";
}

} // namespace

std::string statusText(const RunStatus& status)
{
    switch (status.kind) {
    case RunStatus::Kind::Starting:
        return gbk("启动搜索请稍候...");
    case RunStatus::Kind::Searching:
        return gbk("正在搜索...");
    case RunStatus::Kind::Retrying:
        return gbk(retryText(status));
    case RunStatus::Kind::AwaitingVerification:
        return gbk("搜索引擎要求验证，请在右侧网页中完成验证");
    case RunStatus::Kind::Verified:
        return gbk("验证已通过，继续搜索...");
    case RunStatus::Kind::WaitingForSites:
        return gbk("等待读取各结果的网站（还有 " + std::to_string(status.sitesWaiting) + " 个网页）...");
    case RunStatus::Kind::FinishingSites:
        return gbk("搜索结果已读完，正在读取最后的网站（还有 " + std::to_string(status.sitesWaiting) + " 个网页）...");
    case RunStatus::Kind::Finished:
        return gbk("搜索已经结束！");
    }
    return {};
}

} // namespace vellumax
