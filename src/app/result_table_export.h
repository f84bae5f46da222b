#pragma once

#include "run/entry_origins.h"
#include "search/result_list.h"

#include <QFutureWatcher>
#include <QObject>
#include <QPointer>
#include <QProgressDialog>
#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace vellumax {

class Dialogs;

// What an export's worker hands back: whether the table was written, or why
// not.
struct ExportOutcome {
    bool written = false;
    std::optional<std::string> failure; // GBK
};

// 导出号码表…: the number table of the whole result list, saved through a
// save dialog like the program's others (GBK, or UTF-8 by the file type
// chosen). The numbers are classified on a worker thread while a progress
// dialog, which can cancel, shows its progress; the window goes on, and so
// do a search run's ticks. A cancel leaves any file as it was. With an empty
// list it does nothing.
class ResultTableExport : public QObject {
    Q_OBJECT
public:
    // `failed` is told why a file could not be written (GBK), once the
    // worker has ended.
    ResultTableExport(QWidget* owner, Dialogs& dialogs, const ResultList& results, const EntryOrigins& origins,
                      const std::vector<std::string>& keywordList, QString folder,
                      std::function<void(const std::string& message)> failed);
    // A worker still writing is told to stop and waited for, so that its
    // temporary file goes with it.
    ~ResultTableExport() override;

    // The command: asks for the file, starts the worker and returns. Does
    // nothing while an export is under way.
    void run();

    // The file types of the dialog: GBK, UTF-8, all files (written as GBK).
    static const QStringList& fileTypes();

private:
    void workerEnded();

    QWidget* owner_;
    Dialogs& dialogs_;
    const ResultList& results_;
    const EntryOrigins& origins_;
    const std::vector<std::string>& keywordList_;
    QString folder_;
    std::function<void(const std::string&)> failed_;
    QPointer<QProgressDialog> progress_; // while the worker writes
    QFutureWatcher<ExportOutcome> watcher_;
};

} // namespace vellumax
