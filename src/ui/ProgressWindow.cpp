// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProgressWindow.h"

#include "CsvWriter.h"
#include "Fonts.h"
#include "GameCore.h"
#include "GlVexM.h"
#include "History.h"
#include "PlayerSettings.h"
#include "ProgressStats.h"
#include "ReadableNames.h"
#include "Texts.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QCursor>
#include <QDateTimeAxis>
#include <QDir>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QLoggingCategory>
#include <QPushButton>
#include <QTableWidget>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>
#include <cmath>

Q_LOGGING_CATEGORY(lcProgressWindow, "trenix.progress")

namespace trenix {

namespace {

QString clock(qint64 seconds)
{
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QString speed(double wpm) { return QString::number(wpm, 'f', 1); }
QString percent(const std::optional<double> &fraction)
{
    return fraction ? QString::number(*fraction * 100.0, 'f', 1) + u'%' : QStringLiteral("-");
}

// The next round number at or above v, so that the axis ends on a label.
double roundUp(double v, double step) { return std::max(step, std::ceil(v / step) * step); }

QTableWidget *makeTable(const QStringList &headers, QWidget *parent)
{
    auto *table = new QTableWidget(0, int(headers.size()), parent);
    table->setHorizontalHeaderLabels(headers);
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setWordWrap(false);
    table->horizontalHeader()->setStretchLastSection(true);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    return table;
}

void setRow(QTableWidget *table, int row, const QStringList &cells, int firstRightAligned)
{
    for (int c = 0; c < cells.size(); ++c) {
        auto *item = new QTableWidgetItem(cells[c]);
        if (c >= firstRightAligned)
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table->setItem(row, c, item);
    }
}
} // namespace

ProgressWindow::ProgressWindow(GameCore &core, const WallClock &wallClock, QWidget *parent, QString keptSettingsFile)
    : HoldingDialog(core, parent), m_history(core.history()), m_wallClock(wallClock),
      m_keptSettingsFile(std::move(keptSettingsFile))
{
    buildControls();
    reload();
}

void ProgressWindow::buildControls()
{
    setObjectName(QStringLiteral("ProgressWindow"));
    setFont(uiFont({QStringLiteral("Arial")}, 9));
    setWindowTitle(text(tid::Progress_caption));
    resize(900, 720);

    auto *layout = new QVBoxLayout(this);
    auto *summary = new QGridLayout;
    const QFont valueFont = uiFont({QStringLiteral("Arial")}, 13, QFont::Bold);
    const TextId captions[] = {tid::Progress_games,   tid::Progress_totalTime, tid::Progress_bestSpeed,
                               tid::Progress_average, tid::Progress_streak,    tid::Progress_dueToday,
                               tid::Progress_dueWeek, tid::Progress_learned};
    QLabel **values[] = {&games, &totalTime, &bestSpeed, &average, &streak, &dueToday, &dueWeek, &learned};
    for (int i = 0; i < int(std::size(values)); ++i) {
        auto *caption = new QLabel(text(captions[i]), this);
        caption->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        *values[i] = new QLabel(this);
        (*values[i])->setFont(valueFont);
        (*values[i])->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        summary->addWidget(caption, 0, i);
        summary->addWidget(*values[i], 1, i);
        summary->setColumnStretch(i, 1);
    }
    layout->addLayout(summary);

    auto *chooser = new QHBoxLayout;
    auto *playerLabel = new QLabel(text(tid::Progress_player), this);
    player = new QLineEdit(m_core.playerName, this);
    player->setObjectName(QStringLiteral("player"));
    player->setMaxLength(64);
    player->setMinimumWidth(200);
    playerLabel->setBuddy(player);
    chooser->addWidget(playerLabel);
    chooser->addWidget(player);
    chooser->addStretch();
    grouping = new QComboBox(this);
    grouping->setObjectName(QStringLiteral("grouping"));
    grouping->addItems({text(tid::Progress_byGame), text(tid::Progress_byDay)});
    chooser->addWidget(grouping);
    period = new QComboBox(this);
    period->setObjectName(QStringLiteral("period"));
    period->addItems({text(tid::Progress_days7), text(tid::Progress_days30), text(tid::Progress_daysAll)});
    period->setCurrentIndex(1);
    chooser->addWidget(period);
    layout->addLayout(chooser);

    auto *chart = new QChart;
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->setBackgroundRoundness(0);
    speedSeries = new QLineSeries(chart);
    speedSeries->setName(text(tid::Progress_speedAxis));
    speedSeries->setColor(QColor(0x00, 0x60, 0x60));
    bestSeries = new QLineSeries(chart);
    bestSeries->setName(text(tid::Progress_bestOfDay));
    bestSeries->setColor(QColor(0x90, 0x40, 0xC0)); // apart from the mean's teal
    accuracySeries = new QLineSeries(chart);
    accuracySeries->setName(text(tid::Progress_accuracyAxis));
    accuracySeries->setColor(QColor(0xD0, 0x60, 0x00));
    chart->addSeries(speedSeries);
    chart->addSeries(bestSeries);
    chart->addSeries(accuracySeries);
    m_dateAxis = new QDateTimeAxis(chart);
    m_gameAxis = new QValueAxis(chart);
    m_gameAxis->setTitleText(text(tid::Progress_gameAxis));
    m_gameAxis->setLabelFormat(QStringLiteral("%d"));
    m_gameAxis->setTickType(QValueAxis::TicksDynamic);
    m_gameAxis->setTickAnchor(0);
    m_speedAxis = new QValueAxis(chart);
    m_speedAxis->setTickCount(5);
    m_speedAxis->setTitleText(text(tid::Progress_speedAxis));
    m_speedAxis->setLabelFormat(QStringLiteral("%d"));
    m_accuracyAxis = new QValueAxis(chart);
    m_accuracyAxis->setTitleText(text(tid::Progress_accuracyAxis));
    m_accuracyAxis->setLabelFormat(QStringLiteral("%d"));
    m_accuracyAxis->setTickCount(5);
    chart->addAxis(m_dateAxis, Qt::AlignBottom);
    chart->addAxis(m_gameAxis, Qt::AlignBottom);
    chart->addAxis(m_speedAxis, Qt::AlignLeft);
    chart->addAxis(m_accuracyAxis, Qt::AlignRight);
    speedSeries->attachAxis(m_speedAxis);
    bestSeries->attachAxis(m_speedAxis);
    accuracySeries->attachAxis(m_accuracyAxis);
    useXAxis(m_gameAxis);
    for (QLineSeries *series : {speedSeries, bestSeries, accuracySeries}) {
        series->setMarkerSize(7); // a day alone has no line: its markers must show
        connect(series, &QLineSeries::hovered, this, &ProgressWindow::showTip);
    }
    // Qt Charts sizes a vertical title by the first family of its font: with a
    // Latin one first, a Chinese title on the left axis is cut down to "…".
    QFont titleFont = font();
    titleFont.setFamilies(QStringList{cjkFamily()} + titleFont.families());
    for (QAbstractAxis *axis : chart->axes()) {
        axis->setLabelsFont(font());
        axis->setTitleFont(titleFont);
    }
    chart->legend()->setFont(font());
    chartView = new QChartView(chart, this);
    chartView->setRenderHint(QPainter::Antialiasing);
    chartView->setMinimumHeight(260);
    layout->addWidget(chartView, 3);

    auto *tables = new QHBoxLayout;
    auto *missedBox = new QVBoxLayout;
    missedBox->addWidget(new QLabel(text(tid::Progress_missed), this));
    missedTable = makeTable({text(tid::Progress_colWord), text(tid::Progress_colPinyin), text(tid::Progress_colEnglish),
                             text(tid::Progress_colLanded)},
                            this);
    missedTable->horizontalHeader()->setStretchLastSection(false);
    missedTable->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch); // the English
    missedBox->addWidget(missedTable);
    auto *recentBox = new QVBoxLayout;
    recentBox->addWidget(new QLabel(text(tid::Progress_recent), this));
    recentTable =
        makeTable({text(tid::Progress_colDate), text(tid::Progress_colSeconds), text(tid::Progress_colSpeed),
                   text(tid::Progress_colAccuracy), text(tid::Progress_colHits), text(tid::Progress_colEntries),
                   text(tid::Progress_colLanded), text(tid::Progress_colWords)},
                  this);
    recentBox->addWidget(recentTable);
    tables->addLayout(missedBox, 4);
    tables->addLayout(recentBox, 6);
    layout->addLayout(tables, 2);

    notice = new QLabel(this);
    notice->setObjectName(QStringLiteral("notice"));
    notice->setWordWrap(true);
    QPalette red = notice->palette();
    red.setColor(QPalette::WindowText, QColor(0xC0, 0x00, 0x00));
    notice->setPalette(red);
    layout->addWidget(notice);

    auto *buttons = new QHBoxLayout;
    exportButton = new QPushButton(text(tid::Progress_export), this);
    clearButton = new QPushButton(text(tid::Progress_clear), this);
    closeButton = new QPushButton(text(tid::Progress_close), this);
    closeButton->setDefault(true);
    buttons->addWidget(exportButton);
    buttons->addWidget(clearButton);
    buttons->addStretch();
    buttons->addWidget(closeButton);
    layout->addLayout(buttons);

    connect(period, &QComboBox::currentIndexChanged, this, &ProgressWindow::showPeriod);
    connect(grouping, &QComboBox::currentIndexChanged, this, [this] { showPeriod(period->currentIndex()); });
    connect(player, &QLineEdit::editingFinished, this, &ProgressWindow::keepPlayerName);
    connect(exportButton, &QPushButton::clicked, this, &ProgressWindow::exportCsv);
    connect(clearButton, &QPushButton::clicked, this, &ProgressWindow::clearHistory);
    connect(closeButton, &QPushButton::clicked, this, &ProgressWindow::accept);
}

void ProgressWindow::tell(const QString &message)
{
    notice->setText(message);
    notice->setVisible(!message.isEmpty());
}

void ProgressWindow::reload()
{
    const bool ready = m_history.file.ready();
    exportButton->setEnabled(ready);
    clearButton->setEnabled(ready);
    ProgressReport report;
    QString message = m_history.file.status().isNone() ? QString() : describeHistoryNotice(m_history.file.status());
    try {
        if (ready)
            report = buildReport(m_history.games, &m_core.practice(), GlVexM.languageCode, m_wallClock.utcMs(),
                                 m_wallClock.timeZone());
    } catch (const Error &e) {
        qCWarning(lcProgressWindow).noquote() << e.message();
        message = e.message();
    }
    if (const HistoryNotice notice = m_history.file.takeNotice(); message.isEmpty() && !notice.isNone())
        message = describeHistoryNotice(notice); // a damaged file set aside while reading
    if (message.isEmpty() && report.summary.games == 0)
        message = text(tid::Progress_empty);
    tell(message);

    const ProgressSummary &s = report.summary;
    games->setText(QString::number(s.games));
    totalTime->setText(clock(s.seconds));
    const QString unit = text(tid::Progress_wpm);
    bestSpeed->setText(s.games ? speed(s.bestSpeed) + u' ' + unit : QStringLiteral("-"));
    average->setText(s.averageLast10 ? speed(*s.averageLast10) + u' ' + unit : QStringLiteral("-"));
    streak->setText(text(tid::Progress_streakDays).arg(s.streakDays));
    ReviewSummary review;
    try {
        if (ready)
            review = reviewSummary(m_history.review, m_wallClock.utcMs(), m_wallClock.timeZone());
    } catch (const Error &e) {
        qCWarning(lcProgressWindow).noquote() << e.message();
        tell(e.message());
    }
    dueToday->setText(QString::number(review.dueToday));
    dueWeek->setText(QString::number(review.dueWeek));
    learned->setText(QString::number(review.learned));

    missedTable->setRowCount(int(report.missed.size()));
    for (int r = 0; r < int(report.missed.size()); ++r) {
        const MissedWord &m = report.missed[size_t(r)];
        setRow(missedTable, r, {m.word, m.pinyin, m.english, QString::number(m.landed)}, 3);
    }
    missedTable->resizeColumnsToContents();

    recentTable->setRowCount(int(report.recent.size()));
    for (int r = 0; r < int(report.recent.size()); ++r) {
        const RecentGame &g = report.recent[size_t(r)];
        const QDateTime local = QDateTime::fromMSecsSinceEpoch(g.startUtcMs, Qt::OffsetFromUTC, g.utcOffsetS);
        const QString words = setName(g.selection, GlVexM.languageCode);
        setRow(recentTable, r,
               {local.toString(QStringLiteral("yyyy-MM-dd HH:mm")), QString::number(g.seconds), speed(g.speed),
                percent(g.accuracy), QString::number(g.hits), QString::number(g.entries), QString::number(g.landed)},
               1);
        recentTable->setItem(r, 7, new QTableWidgetItem(words));
    }
    recentTable->resizeColumnsToContents();
    showPeriod(period->currentIndex());
}

void ProgressWindow::useXAxis(QAbstractAxis *axis)
{
    for (QLineSeries *series : {speedSeries, bestSeries, accuracySeries}) {
        for (QAbstractAxis *attached : series->attachedAxes())
            if (attached->orientation() == Qt::Horizontal && attached != axis)
                series->detachAxis(attached);
        if (!series->attachedAxes().contains(axis))
            series->attachAxis(axis);
    }
    m_dateAxis->setVisible(axis == m_dateAxis);
    m_gameAxis->setVisible(axis == m_gameAxis);
}

void ProgressWindow::showPeriod(int index)
{
    const int days = kPeriodDays[std::clamp(index, 0, 2)];
    const qint64 now = m_wallClock.utcMs();
    const QTimeZone zone = m_wallClock.timeZone();
    const qint64 since = periodStartUtc(days, now, zone);
    m_games.clear();
    try {
        if (m_history.file.ready())
            m_games = m_history.games.points(since);
    } catch (const Error &e) {
        qCWarning(lcProgressWindow).noquote() << e.message();
        tell(e.message());
    }
    const bool daily = grouping->currentIndex() == 1;
    m_days = daily ? byDay(m_games) : std::vector<DayPoint>();
    // A day's point at its noon, in the middle of its stretch of the date axis.
    const auto noon = [](qint64 day) {
        return double(QDateTime(QDate(1970, 1, 1).addDays(day), QTime(12, 0), Qt::UTC).toMSecsSinceEpoch());
    };
    QList<QPointF> speeds, bests, accuracies;
    double topSpeed = 0, topAccuracy = 0;
    if (daily) {
        for (const DayPoint &d : m_days) {
            speeds.append(QPointF(noon(d.day), d.meanSpeed));
            bests.append(QPointF(noon(d.day), d.bestSpeed));
            topSpeed = std::max(topSpeed, d.bestSpeed);
            if (d.meanAccuracy) {
                accuracies.append(QPointF(noon(d.day), *d.meanAccuracy * 100.0));
                topAccuracy = std::max(topAccuracy, *d.meanAccuracy * 100.0);
            }
        }
    } else {
        for (size_t i = 0; i < m_games.size(); ++i) {
            const GamePoint &p = m_games[i];
            speeds.append(QPointF(double(i + 1), p.speed));
            topSpeed = std::max(topSpeed, p.speed);
            if (p.accuracy) {
                accuracies.append(QPointF(double(i + 1), *p.accuracy * 100.0));
                topAccuracy = std::max(topAccuracy, *p.accuracy * 100.0);
            }
        }
    }
    speedSeries->setName(text(daily ? tid::Progress_meanOfDay : tid::Progress_speedAxis));
    // Markers only where they can be told apart.
    const bool markers = speeds.size() <= 60;
    for (QLineSeries *series : {speedSeries, bestSeries, accuracySeries})
        series->setPointsVisible(markers);
    speedSeries->replace(speeds);
    bestSeries->replace(bests);
    bestSeries->setVisible(daily);
    accuracySeries->replace(accuracies);

    if (daily) {
        useXAxis(m_dateAxis);
        // Whole days (the game's own, kept in UTC here), the ticks at midnights: the last day is
        // today or the newest game's.
        QDate lastDay = QDateTime::fromMSecsSinceEpoch(now, zone).date();
        const QDate epoch(1970, 1, 1);
        if (!m_days.empty())
            lastDay = std::max(lastDay, epoch.addDays(m_days.back().day));
        QDate firstDay = days > 0         ? QDateTime::fromMSecsSinceEpoch(since, zone).date()
                         : m_days.empty() ? lastDay
                                          : epoch.addDays(m_days.front().day);
        qint64 span = firstDay.daysTo(lastDay) + 1;
        const qint64 intervals = span <= 7 ? span : 6; // a week day by day, longer periods in six steps
        span = (span + intervals - 1) / intervals * intervals;
        firstDay = lastDay.addDays(1 - span);
        m_dateAxis->setTickCount(int(intervals) + 1);
        m_dateAxis->setFormat(span > 60 ? QStringLiteral("yyyy-MM-dd") : QStringLiteral("MM-dd"));
        m_dateAxis->setRange(QDateTime(firstDay, QTime(0, 0), Qt::UTC),
                             QDateTime(lastDay.addDays(1), QTime(0, 0), Qt::UTC));
    } else {
        useXAxis(m_gameAxis);
        // Games 1 to n, at most about ten labels of a round step.
        const double n = double(std::max<size_t>(m_games.size(), 1));
        double step = 1;
        for (int i = 0; step * 10 < n; ++i)
            step *= (i % 3 == 1) ? 2.5 : 2; // 1, 2, 5, 10, 20, 50, ...
        m_gameAxis->setTickInterval(step);
        m_gameAxis->setRange(0, std::ceil((n + 0.5) / step) * step);
    }
    // Four steps of a round size on both axes, so that their grid lines coincide.
    double step = 1;
    for (int i = 0; step * 4 < topSpeed * 1.1; ++i)
        step *= (i % 3 == 1) ? 2.5 : 2; // 1, 2, 5, 10, 20, 50, ...
    m_speedAxis->setRange(0, step * 4);
    m_accuracyAxis->setRange(0, roundUp(topAccuracy, 100));
}

void ProgressWindow::showTip(const QPointF &point, bool hovered)
{
    if (!hovered) {
        QToolTip::hideText();
        return;
    }
    const QString unit = text(tid::Progress_wpm);
    QString tip;
    if (grouping->currentIndex() == 1) {
        const qint64 day = QDateTime::fromMSecsSinceEpoch(qint64(point.x()), Qt::UTC).date().toJulianDay()
                           - QDate(1970, 1, 1).toJulianDay();
        for (const DayPoint &d : m_days)
            if (d.day == day)
                tip = text(tid::Progress_dayTip)
                          .arg(QDate(1970, 1, 1).addDays(d.day).toString(QStringLiteral("yyyy-MM-dd")))
                          .arg(d.games)
                          .arg(speed(d.meanSpeed) + u' ' + unit, speed(d.bestSpeed) + u' ' + unit,
                               percent(d.meanAccuracy));
    } else {
        const qint64 n = qRound64(point.x());
        if (n >= 1 && size_t(n) <= m_games.size()) {
            const GamePoint &g = m_games[size_t(n - 1)];
            const QDateTime local = QDateTime::fromMSecsSinceEpoch(g.startUtcMs, Qt::OffsetFromUTC, g.utcOffsetS);
            tip = text(tid::Progress_gameTip)
                      .arg(n)
                      .arg(local.toString(QStringLiteral("yyyy-MM-dd HH:mm")), speed(g.speed) + u' ' + unit,
                           percent(g.accuracy));
        }
    }
    if (!tip.isEmpty())
        QToolTip::showText(QCursor::pos(), tip, chartView);
}

void ProgressWindow::keepPlayerName()
{
    const PlayerSettings kept(m_keptSettingsFile);
    try {
        kept.keepPlayerName(player->text());
    } catch (const Error &e) {
        qCWarning(lcProgressWindow).noquote() << e.message();
        tell(e.message());
    }
    // An emptied box gives the account's name back; an unkept name still holds for this run.
    m_core.playerName = player->text().trimmed().isEmpty() ? kept.playerName() : player->text().trimmed();
    player->setText(m_core.playerName);
}

void ProgressWindow::exportCsv()
{
    const QString suggested = QDir::home().filePath(defaultCsvName(
        m_core.playerName, QDateTime::fromMSecsSinceEpoch(m_wallClock.utcMs(), m_wallClock.timeZone()).date()));
    const QString path =
        m_core.dialogs().chooseSaveFile(text(tid::Progress_export), suggested, text(tid::Progress_csvFilter));
    if (path.isEmpty())
        return;
    try {
        const qint64 n = writeHistoryCsv(m_history.games, path, {GlVexM.languageCode, m_core.playerName, false});
        tell(text(tid::Progress_exported).arg(n).arg(QDir::toNativeSeparators(path)));
    } catch (const Error &e) {
        qCWarning(lcProgressWindow).noquote() << e.message();
        tell(e.message());
    }
}

void ProgressWindow::clearHistory()
{
    if (!m_core.dialogs().askYesNo(text(tid::Progress_clearQuestion), text(tid::Progress_caption)))
        return;
    try {
        m_history.games.clear();
        reload();
    } catch (const Error &e) {
        qCWarning(lcProgressWindow).noquote() << e.message();
        tell(e.message());
    }
}

void ProgressWindow::accept()
{
    releaseGame();
    QDialog::accept();
}

void ProgressWindow::reject() { accept(); }

} // namespace trenix
