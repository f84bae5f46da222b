#pragma once

#include "numbers/harvest_summary.h"
#include "numbers/number_classifier.h"
#include "run/entry_origins.h"
#include "search/result_list.h"

#include <QFutureWatcher>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QChart;
class QChartView;
class QLabel;
class QPushButton;
class QTableWidget;

namespace vellumax {

// 号码统计: the harvest at a glance, in a window of its own beside the main
// one, which goes on meanwhile: a bar chart of the provinces (a click on one
// shows its cities), a chart of the kinds and a table of the keywords,
// sortable by each column. It follows the list as a run adds to it, at most
// once a second; the numbers are classified on a worker thread, as the
// table export does.
class HarvestStatsWindow : public QWidget {
    Q_OBJECT
public:
    // What the window reads, all owned by the main window, which outlives it.
    struct Sources {
        const ResultList& results;
        const EntryOrigins& origins;
        const std::vector<std::string>& keywords;
        std::function<std::map<int32_t, size_t>()> pagesRead;
    };

    HarvestStatsWindow(QWidget* owner, Sources sources);
    // A summary under way is waited for.
    ~HarvestStatsWindow() override;

    // Summarises the list anew, unless it has not changed or a summary is
    // under way (the next tick takes it then).
    void refresh();

    static constexpr int kRefreshMs = 1000;
    static constexpr int kTopProvinces = 15;

private:
    void summaryReady();
    void showProvinces();
    void showCities(const std::string& province);
    void showKinds();
    void showKeywords();

    // What a worker hands back: the summary, and the classification of
    // every number, which the next one only extends while the list grows.
    struct Summarised {
        std::shared_ptr<const HarvestSummary> summary;
        std::shared_ptr<const std::vector<NumberFacts>> facts;
        std::string lastNumber; // GBK, the list's last entry when classified
    };

    Sources sources_;
    NumberClassifier classifier_;
    QFutureWatcher<Summarised> watcher_;
    std::shared_ptr<const HarvestSummary> summary_;
    Summarised last_;
    QTimer timer_;
    size_t summarised_ = SIZE_MAX;           // what the last summary was of: entries and pages read
    std::vector<std::string> provinceNames_; // of the bars shown, GBK

    QLabel* total_;
    QChart* regions_;
    QChartView* regionsView_;
    QPushButton* allProvinces_;
    QChart* kinds_;
    QTableWidget* keywordTable_;
};

} // namespace vellumax
