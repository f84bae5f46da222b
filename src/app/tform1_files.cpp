// The main window's file commands: import, save results, save progress,
// merge, and the settings file.
#include "app/busy_cursor.h"
#include "app/gbk_qt.h"
#include "app/spin_edit.h"
#include "app/status_panels.h"
#include "app/tform1.h"
#include "files/keyword_import.h"
#include "files/number_merge.h"
#include "files/result_export.h"
#include "files/settings_file.h"
#include "text/error.h"

#include <QCheckBox>
#include <QLineEdit>

namespace vellumax {
namespace {

const QStringList kTextFilters = {QStringLiteral("Text files(*.txt)"), QStringLiteral("All files(*.*)")};
const QStringList kMergeFilters = {QStringLiteral("文本文件(*.txt)"), QStringLiteral("所有文件(*.*)")};

QString folderForDialog(const std::string& folder) { return QString::fromStdString(folder); }

} // namespace

void TForm1::ReadSettingsFile()
{
    Settings settings{gbkFromQString(Edit5->text()), session_.run().keywordCursor(), CheckBox1->isChecked(),
                      SpinEdit1->value()};
    auto apply = [&] {
        Edit5->setText(qstringFromGbk(settings.keywordFile));
        session_.run().setKeywordCursor(settings.keywordCursor);
        CheckBox1->setChecked(settings.deduplicate);
        SpinEdit1->setValue(settings.interval);
    };
    try {
        readSettingsFile(services_.programFolder, settings);
    } catch (...) {
        // What was read before the failing line stays set.
        apply();
        throw;
    }
    apply();
}

void TForm1::WriteSettingsFile()
{
    writeSettingsFile(services_.programFolder, Settings{gbkFromQString(Edit5->text()), session_.run().keywordCursor(),
                                                        CheckBox1->isChecked(), SpinEdit1->value()});
}

void TForm1::SpeedButton4Click()
{
    const auto path = dialogs_->openFile({QStringLiteral("导入关键字列表文件"), kTextFilters, QStringLiteral("txt"),
                                          folderForDialog(services_.programFolder), {}});
    if (!path)
        return;
    Edit5->setText(*path);
    repaintNow();
    const int32_t count = countKeywordLines(localPath(*path));
    StatusBar1->setText(StatusPanels::KeywordCount, QString::number(count));
    keywordList.clear();
    keywordList = loadKeywordList(localPath(*path));
    results.clear();
}

void TForm1::N5Click()
{
    FileDialogSettings settings{QStringLiteral("搜索结果保存为"), kTextFilters, QStringLiteral("txt"),
                                folderForDialog(services_.programFolder),
                                QString::number(session_.run().foundCount()) + QStringLiteral(".txt")};
    repaintNow();
    if (results.empty())
        return;
    const auto path = dialogs_->saveFile(settings);
    if (!path)
        return;
    repaintNow();
    WriteResultList(localPath(*path), results);
}

void TForm1::SpeedButton8Click()
{
    WriteSettingsFile();
    BusyCursor busy;
    writeAutosave(services_.programFolder, results);
    repaintNow();
    busy.restore();
    dialogs_->plainMessage(QStringLiteral("已经保存当前传真号码搜索进程！"));
}

void TForm1::SpeedButton1Click()
{
    const auto inputs = dialogs_->openFiles(
        {QStringLiteral("选择待合并的数据文件"), kMergeFilters, QStringLiteral("*.txt"), {}, {}});
    if (!inputs)
        return;
    const auto output = dialogs_->saveFile(
        {QStringLiteral("合并后的数据文件保存为"), kMergeFilters, QStringLiteral("*.txt"), {}, {}});
    if (!output || inputs->isEmpty())
        return;

    BusyCursor busy;
    StatusBar1->setText(StatusPanels::Message, QStringLiteral("数据正处理中..."));
    repaintNow();
    std::vector<std::string> paths;
    for (const QString& input : *inputs)
        paths.push_back(localPath(input));
    const MergeOutcome outcome = mergeNumberFiles(paths, localPath(*output));
    StatusBar1->setText(StatusPanels::Message, qstringFromGbk(mergeStatusText(outcome.count)));
    busy.restore();
    // A join that stopped part-way is reported after the tidy, which still
    // sorted and counted what was joined.
    if (outcome.joinFailure)
        throw Error(*outcome.joinFailure);
}

} // namespace vellumax
