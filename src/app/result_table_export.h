#pragma once

#include "run/entry_origins.h"
#include "search/result_list.h"

#include <QObject>
#include <QString>
#include <string>
#include <vector>

class QWidget;

namespace vellumax {

class Dialogs;

// 导出号码表…: the number table of the whole result list, saved through a
// save dialog like the program's others (GBK, or UTF-8 by the file type
// chosen). The numbers are classified on a worker thread while a progress
// dialog, which can cancel, keeps the window's event loop turning, so a
// search run's ticks go on; a cancel leaves any file as it was. With an
// empty list it does nothing.
class ResultTableExport : public QObject {
    Q_OBJECT
public:
    ResultTableExport(QWidget* owner, Dialogs& dialogs, const ResultList& results, const EntryOrigins& origins,
                      const std::vector<std::string>& keywordList, QString folder);

    // The command. A file that cannot be written throws, once the worker
    // has ended.
    void run();

    // The file types of the dialog: GBK, UTF-8, all files (written as GBK).
    static const QStringList& fileTypes();

private:
    QWidget* owner_;
    Dialogs& dialogs_;
    const ResultList& results_;
    const EntryOrigins& origins_;
    const std::vector<std::string>& keywordList_;
    QString folder_;
};

} // namespace vellumax
