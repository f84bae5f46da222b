#include "app/harvest_stats_window.h"

#include "app/gbk_qt.h"
#include "numbers/number_files.h"
#include "search/query_builder.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHorizontalBarSeries>
#include <QLabel>
#include <QPieSeries>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>
#include <QtConcurrent/QtConcurrentRun>

namespace vellumax {
namespace {

// The list as it stands, taken on the window's thread: a worker reads it
// while the run goes on adding.
struct Snapshot {
    std::vector<std::string> numbers;
    EntryOrigins::Snapshot origins;
    std::map<int32_t, size_t> pagesRead;
    // Of the keywords with a page read, that is of all the table shows.
    std::map<int32_t, std::string> keywordNames;
};

// The facts of the list's numbers: those of `known` where the list has only
// grown since (its entry at their end is the one they ended with), the new
// numbers classified.
std::vector<NumberFacts> classifyGrowth(const NumberClassifier& classifier, const std::vector<std::string>& numbers,
                                        const std::vector<NumberFacts>* known, const std::string& knownLast)
{
    const bool grown =
        known && !known->empty() && known->size() <= numbers.size() && numbers[known->size() - 1] == knownLast;
    std::vector<NumberFacts> facts = grown ? *known : std::vector<NumberFacts>();
    const std::vector<std::string> rest(numbers.begin() + static_cast<std::ptrdiff_t>(facts.size()), numbers.end());
    std::vector<NumberFacts> more = classifyBatch(classifier, rest);
    facts.insert(facts.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
    return facts;
}

std::shared_ptr<const HarvestSummary> summarise(const std::vector<NumberFacts>& facts, const Snapshot& list)
{
    auto summary = std::make_shared<HarvestSummary>();
    for (size_t row = 0; row < facts.size(); ++row) {
        const bool known = row < list.origins.size();
        summary->addNumber(facts[row].valid, facts[row].kind, facts[row].region,
                           known ? list.origins.at(row).keywordNumber : 0, known && list.origins.at(row).fromSite != 0);
    }
    for (const auto& [keyword, pages] : list.pagesRead)
        for (size_t page = 0; page < pages; ++page)
            summary->addPageRead(keyword);
    for (const auto& [keyword, name] : list.keywordNames)
        summary->nameKeyword(keyword, name);
    return summary;
}

QTableWidgetItem* numberItem(double value, int decimals = 0)
{
    auto* item = new QTableWidgetItem;
    // Numbers, not texts, so that a column sorts by value.
    item->setData(Qt::DisplayRole, decimals ? QVariant(QString::number(value, 'f', decimals).toDouble())
                                            : QVariant(static_cast<qlonglong>(value)));
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

} // namespace

HarvestStatsWindow::HarvestStatsWindow(QWidget* owner, Sources sources)
    : QWidget(owner, Qt::Window), sources_(std::move(sources))
{
    setObjectName(QStringLiteral("harvestStatsWindow"));
    setWindowTitle(QStringLiteral("号码统计"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    // A window of its own does not take the main window's font by itself.
    setFont(owner->font());
    resize(860, 620);

    auto* layout = new QVBoxLayout(this);
    total_ = new QLabel(this);
    total_->setObjectName(QStringLiteral("harvestTotal"));
    layout->addWidget(total_);

    auto* charts = new QHBoxLayout;
    layout->addLayout(charts, 3);
    auto* regionColumn = new QVBoxLayout;
    charts->addLayout(regionColumn, 3);
    allProvinces_ = new QPushButton(QStringLiteral("全部省份"), this);
    allProvinces_->setObjectName(QStringLiteral("allProvinces"));
    allProvinces_->hide();
    connect(allProvinces_, &QPushButton::clicked, this, &HarvestStatsWindow::showProvinces);
    regionColumn->addWidget(allProvinces_, 0, Qt::AlignLeft);
    regions_ = new QChart;
    regions_->legend()->hide();
    regionsView_ = new QChartView(regions_, this);
    regionsView_->setObjectName(QStringLiteral("regionChart"));
    regionColumn->addWidget(regionsView_);
    kinds_ = new QChart;
    kinds_->setTitle(QStringLiteral("号码类型"));
    kinds_->legend()->setAlignment(Qt::AlignBottom);
    auto* kindsView = new QChartView(kinds_, this);
    kindsView->setObjectName(QStringLiteral("kindChart"));
    charts->addWidget(kindsView, 2);
    for (QChart* chart : {regions_, kinds_}) {
        chart->setTitleFont(font());
        chart->legend()->setFont(font());
    }

    keywordTable_ = new QTableWidget(0, 7, this);
    keywordTable_->setObjectName(QStringLiteral("keywordTable"));
    keywordTable_->setHorizontalHeaderLabels({QStringLiteral("序号"), QStringLiteral("关键字"), QStringLiteral("号码"),
                                              QStringLiteral("页数"), QStringLiteral("每页号码"),
                                              QStringLiteral("结果页号码"), QStringLiteral("网站号码")});
    keywordTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    keywordTable_->verticalHeader()->hide();
    keywordTable_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    keywordTable_->horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);
    layout->addWidget(keywordTable_, 2);

    connect(&watcher_, &QFutureWatcherBase::finished, this, &HarvestStatsWindow::summaryReady);
    timer_.setInterval(kRefreshMs);
    connect(&timer_, &QTimer::timeout, this, &HarvestStatsWindow::refresh);
    timer_.start();
    refresh();
}

HarvestStatsWindow::~HarvestStatsWindow() { watcher_.waitForFinished(); }

void HarvestStatsWindow::refresh()
{
    if (watcher_.isRunning() || (!isVisible() && summary_))
        return;
    const std::map<int32_t, size_t> pages = sources_.pagesRead ? sources_.pagesRead() : std::map<int32_t, size_t>();
    size_t state = sources_.results.size();
    for (const auto& [keyword, count] : pages)
        state += count << 20;
    if (state == summarised_)
        return;
    summarised_ = state;
    auto list = std::make_shared<Snapshot>();
    list->numbers.assign(sources_.results.begin(), sources_.results.end());
    list->origins = sources_.origins.snapshot(list->numbers.size());
    list->pagesRead = pages;
    for (const auto& [keyword, count] : pages)
        if (keyword >= 1 && static_cast<size_t>(keyword) <= sources_.keywords.size())
            list->keywordNames.emplace(keyword, trimKeyword(sources_.keywords[static_cast<size_t>(keyword) - 1]));
    watcher_.setFuture(QtConcurrent::run([this, list, last = last_] {
        Summarised done;
        auto facts = std::make_shared<std::vector<NumberFacts>>(
            classifyGrowth(classifier_, list->numbers, last.facts.get(), last.lastNumber));
        done.summary = summarise(*facts, *list);
        done.facts = std::move(facts);
        done.lastNumber = list->numbers.empty() ? std::string() : list->numbers.back();
        return done;
    }));
}

void HarvestStatsWindow::summaryReady()
{
    last_ = watcher_.result();
    summary_ = last_.summary;
    total_->setText(QStringLiteral("号码 %1 个").arg(summary_->numbers()));
    if (allProvinces_->isHidden())
        showProvinces();
    showKinds();
    showKeywords();
}

void HarvestStatsWindow::showProvinces()
{
    allProvinces_->hide();
    provinceNames_.clear();
    std::vector<HarvestSummary::Count> counts =
        summary_ ? summary_->provinces(kTopProvinces) : std::vector<HarvestSummary::Count>();
    for (const HarvestSummary::Count& count : counts)
        provinceNames_.push_back(count.name);
    showCities({}); // the provinces themselves, as bars
}

void HarvestStatsWindow::showCities(const std::string& province)
{
    regions_->removeAllSeries();
    for (QAbstractAxis* axis : regions_->axes())
        regions_->removeAxis(axis), delete axis;
    if (!summary_)
        return;
    const std::vector<HarvestSummary::Count> counts =
        province.empty() ? summary_->provinces(kTopProvinces) : summary_->cities(province);
    regions_->setTitle(province.empty() ? QStringLiteral("各省号码（点击省份看城市）")
                                        : qstringFromGbk(province) + QStringLiteral(" 各城市号码"));
    auto* series = new QHorizontalBarSeries;
    auto* bars = new QBarSet(QStringLiteral("号码"));
    QStringList names;
    // The largest on top.
    for (auto count = counts.rbegin(); count != counts.rend(); ++count) {
        *bars << static_cast<qreal>(count->numbers);
        names << qstringFromGbk(count->name) + QStringLiteral(" %1").arg(count->numbers);
    }
    series->append(bars);
    regions_->addSeries(series);
    auto* categories = new QBarCategoryAxis;
    categories->append(names);
    categories->setLabelsFont(font());
    regions_->addAxis(categories, Qt::AlignLeft);
    series->attachAxis(categories);
    auto* values = new QValueAxis;
    values->setLabelFormat(QStringLiteral("%d"));
    values->setLabelsFont(font());
    regions_->addAxis(values, Qt::AlignBottom);
    series->attachAxis(values);
    if (!province.empty()) {
        allProvinces_->show();
        return;
    }
    const size_t shown = provinceNames_.size();
    connect(series, &QHorizontalBarSeries::clicked, this, [this, shown](int index, QBarSet*) {
        // Bars run bottom up; "其他" has no cities of its own.
        const size_t at = shown - 1 - static_cast<size_t>(index);
        if (at < provinceNames_.size() && !summary_->cities(provinceNames_[at]).empty())
            showCities(provinceNames_[at]);
    });
}

void HarvestStatsWindow::showKinds()
{
    kinds_->removeAllSeries();
    auto* pie = new QPieSeries;
    for (size_t k = 0; k < kKindGroups; ++k) {
        const size_t count = summary_->kinds()[k];
        if (count == 0)
            continue;
        QPieSlice* slice =
            pie->append(qstringFromGbk(kindGroupName(static_cast<KindGroup>(k))) + QStringLiteral(" %1").arg(count),
                        static_cast<qreal>(count));
        slice->setLabelFont(font());
    }
    kinds_->addSeries(pie);
    kinds_->legend()->setFont(font());
}

void HarvestStatsWindow::showKeywords()
{
    const int sortColumn = keywordTable_->horizontalHeader()->sortIndicatorSection();
    const Qt::SortOrder order = keywordTable_->horizontalHeader()->sortIndicatorOrder();
    keywordTable_->setSortingEnabled(false);
    const std::vector<HarvestSummary::Keyword> keywords = summary_->keywords();
    keywordTable_->setRowCount(static_cast<int>(keywords.size()));
    for (int row = 0; row < static_cast<int>(keywords.size()); ++row) {
        const HarvestSummary::Keyword& keyword = keywords[static_cast<size_t>(row)];
        keywordTable_->setItem(row, 0, numberItem(keyword.number));
        keywordTable_->setItem(row, 1, new QTableWidgetItem(qstringFromGbk(keyword.keyword)));
        keywordTable_->setItem(row, 2, numberItem(static_cast<double>(keyword.numbers)));
        keywordTable_->setItem(row, 3, numberItem(static_cast<double>(keyword.pagesRead)));
        keywordTable_->setItem(row, 4, numberItem(keyword.numbersPerPage(), 2));
        keywordTable_->setItem(row, 5, numberItem(static_cast<double>(keyword.fromEngine)));
        keywordTable_->setItem(row, 6, numberItem(static_cast<double>(keyword.fromSites)));
    }
    keywordTable_->setSortingEnabled(true);
    keywordTable_->sortByColumn(sortColumn, order);
}

} // namespace vellumax
