#include "app/result_table_export.h"

#include "app/dialogs.h"
#include "app/gbk_qt.h"
#include "numbers/number_classifier.h"
#include "run/number_table_file.h"
#include "text/error.h"

#include <QPromise>
#include <QWidget>
#include <QtConcurrent/QtConcurrentRun>
#include <memory>
#include <optional>

namespace vellumax {
namespace {

constexpr int kUtf8FileType = 1;

} // namespace

ResultTableExport::ResultTableExport(QWidget* owner, Dialogs& dialogs, const ResultList& results,
                                     const EntryOrigins& origins, const std::vector<std::string>& keywordList,
                                     QString folder, std::function<void(const std::string& message)> failed)
    : QObject(owner), owner_(owner), dialogs_(dialogs), results_(results), origins_(origins),
      keywordList_(keywordList), folder_(std::move(folder)), failed_(std::move(failed))
{
    connect(&watcher_, &QFutureWatcherBase::finished, this, &ResultTableExport::workerEnded);
}

ResultTableExport::~ResultTableExport()
{
    QFuture<ExportOutcome> future = watcher_.future();
    future.cancel();
    future.waitForFinished();
}

const QStringList& ResultTableExport::fileTypes()
{
    static const QStringList types = {QStringLiteral("号码表 GBK 编码(*.csv)"), QStringLiteral("号码表 UTF-8 编码(*.csv)"),
                                      QStringLiteral("所有文件(*.*)")};
    return types;
}

void ResultTableExport::run()
{
    if (results_.empty() || progress_)
        return;
    const std::optional<Dialogs::SaveChoice> choice = dialogs_.saveFileOfType(
        {QStringLiteral("号码表保存为"), fileTypes(), QStringLiteral("csv"), folder_,
         QString::number(results_.size()) + QStringLiteral(".csv")});
    if (!choice)
        return;
    const std::string path = localPath(choice->path);
    const bool utf8 = choice->fileType == kUtf8FileType;

    // The list as it is now; the run may add to it meanwhile.
    auto table = std::make_shared<const ResultTable>(takeResultTable(results_, origins_, keywordList_));
    const int rows = static_cast<int>(table->numbers.size());

    progress_ = new QProgressDialog(QStringLiteral("正在导出号码表，共 %1 个号码……").arg(rows), QStringLiteral("放弃"),
                                    0, rows, owner_);
    progress_->setObjectName(QStringLiteral("exportProgress"));
    progress_->setWindowTitle(QStringLiteral("导出号码表"));
    progress_->setWindowModality(Qt::WindowModal);
    progress_->setAutoClose(false);
    progress_->setAutoReset(false);
    progress_->setMinimumDuration(300);
    progress_->setValue(0);

    QFuture<ExportOutcome> future = QtConcurrent::run([table, path, utf8](QPromise<ExportOutcome>& promise) {
        ExportOutcome outcome;
        try {
            const NumberClassifier classifier;
            outcome.written = writeResultTable(path, utf8, *table, classifier, [&](size_t done) {
                promise.setProgressValue(static_cast<int>(done));
                return !promise.isCanceled();
            });
        } catch (const std::exception& e) {
            outcome.failure = e.what();
        }
        promise.addResult(outcome);
    });
    connect(&watcher_, &QFutureWatcherBase::progressValueChanged, progress_.data(), &QProgressDialog::setValue);
    connect(progress_.data(), &QProgressDialog::canceled, &watcher_, [this] { watcher_.future().cancel(); });
    watcher_.setFuture(future);
}

void ResultTableExport::workerEnded()
{
    delete progress_.data();
    const QFuture<ExportOutcome> future = watcher_.future();
    if (future.resultCount() == 0)
        return;
    const ExportOutcome outcome = future.result();
    if (outcome.failure)
        failed_(*outcome.failure);
}

} // namespace vellumax
