// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProgressWindow.h"

#include "CsvWriter.h"
#include "Fonts.h"
#include "GameCore.h"
#include "GlVexM.h"
#include "History.h"
#include "ProgressStats.h"
#include "Texts.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTimeAxis>
#include <QDir>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QLoggingCategory>
#include <QPushButton>
#include <QTableWidget>
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

ProgressWindow::ProgressWindow(GameCore &core, const WallClock &wallClock, QWidget *parent)
    : HoldingDialog(core, parent), m_history(core.history()), m_wallClock(wallClock)
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
    chooser->addStretch();
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
    accuracySeries = new QLineSeries(chart);
    accuracySeries->setName(text(tid::Progress_accuracyAxis));
    accuracySeries->setColor(QColor(0xD0, 0x60, 0x00));
    chart->addSeries(speedSeries);
    chart->addSeries(accuracySeries);
    m_dateAxis = new QDateTimeAxis(chart);
    m_speedAxis = new QValueAxis(chart);
    m_speedAxis->setTickCount(5);
    m_speedAxis->setTitleText(text(tid::Progress_speedAxis));
    m_speedAxis->setLabelFormat(QStringLiteral("%d"));
    m_accuracyAxis = new QValueAxis(chart);
    m_accuracyAxis->setTitleText(text(tid::Progress_accuracyAxis));
    m_accuracyAxis->setLabelFormat(QStringLiteral("%d"));
    m_accuracyAxis->setTickCount(5);
    chart->addAxis(m_dateAxis, Qt::AlignBottom);
    chart->addAxis(m_speedAxis, Qt::AlignLeft);
    chart->addAxis(m_accuracyAxis, Qt::AlignRight);
    speedSeries->attachAxis(m_dateAxis);
    speedSeries->attachAxis(m_speedAxis);
    accuracySeries->attachAxis(m_dateAxis);
    accuracySeries->attachAxis(m_accuracyAxis);
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
        QString words = g.selection;
        const std::optional<WordSet> set = WordSet::parse(words);
        if (words.startsWith(QLatin1String("range:")))
            words = words.mid(6);
        else if (set && (set->kind == WordSet::Kind::Level || set->kind == WordSet::Kind::Hsk3))
            words = levelName(set->kind, set->level); // "hsk3:7" says little to a player
        setRow(recentTable, r,
               {local.toString(QStringLiteral("yyyy-MM-dd HH:mm")), QString::number(g.seconds), speed(g.speed),
                percent(g.accuracy), QString::number(g.hits), QString::number(g.entries), QString::number(g.landed)},
               1);
        recentTable->setItem(r, 7, new QTableWidgetItem(words));
    }
    recentTable->resizeColumnsToContents();
    showPeriod(period->currentIndex());
}

void ProgressWindow::showPeriod(int index)
{
    const int days = kPeriodDays[std::clamp(index, 0, 2)];
    const qint64 now = m_wallClock.utcMs();
    const QTimeZone zone = m_wallClock.timeZone();
    const qint64 since = periodStartUtc(days, now, zone);
    std::vector<GamePoint> points;
    try {
        if (m_history.file.ready())
            points = m_history.games.points(since);
    } catch (const Error &e) {
        qCWarning(lcProgressWindow).noquote() << e.message();
        tell(e.message());
    }
    QList<QPointF> speeds, accuracies;
    speeds.reserve(qsizetype(points.size()));
    accuracies.reserve(qsizetype(points.size()));
    double topSpeed = 0, topAccuracy = 0;
    for (const GamePoint &p : points) {
        speeds.append(QPointF(double(p.startUtcMs), p.speed));
        topSpeed = std::max(topSpeed, p.speed);
        if (p.accuracy) {
            accuracies.append(QPointF(double(p.startUtcMs), *p.accuracy * 100.0));
            topAccuracy = std::max(topAccuracy, *p.accuracy * 100.0);
        }
    }
    // Markers only where they can be told apart.
    speedSeries->setPointsVisible(points.size() <= 60);
    accuracySeries->setPointsVisible(points.size() <= 60);
    speedSeries->replace(speeds);
    accuracySeries->replace(accuracies);

    // Whole local days, the ticks at midnights: the last day is today (or the newest game).
    QDate lastDay = QDateTime::fromMSecsSinceEpoch(now, zone).date();
    if (!points.empty())
        lastDay = std::max(lastDay, QDateTime::fromMSecsSinceEpoch(points.back().startUtcMs, zone).date());
    QDate firstDay =
        QDateTime::fromMSecsSinceEpoch(days > 0 || points.empty() ? since : points.front().startUtcMs, zone).date();
    if (days == 0 && points.empty())
        firstDay = lastDay;
    qint64 span = firstDay.daysTo(lastDay) + 1;
    const qint64 intervals = span <= 7 ? span : 6; // a week day by day, longer periods in six steps
    span = (span + intervals - 1) / intervals * intervals;
    firstDay = lastDay.addDays(1 - span);
    m_dateAxis->setTickCount(int(intervals) + 1);
    m_dateAxis->setFormat(span > 60 ? QStringLiteral("yyyy-MM-dd") : QStringLiteral("MM-dd"));
    m_dateAxis->setRange(QDateTime(firstDay, QTime(0, 0), zone), QDateTime(lastDay.addDays(1), QTime(0, 0), zone));
    // Four steps of a round size on both axes, so that their grid lines coincide.
    double step = 1;
    for (int i = 0; step * 4 < topSpeed * 1.1; ++i)
        step *= (i % 3 == 1) ? 2.5 : 2; // 1, 2, 5, 10, 20, 50, ...
    m_speedAxis->setRange(0, step * 4);
    m_accuracyAxis->setRange(0, roundUp(topAccuracy, 100));
}

void ProgressWindow::exportCsv()
{
    const QString suggested =
        QDir::home().filePath(QStringLiteral("trenix-history-%1.csv")
                                  .arg(QDateTime::fromMSecsSinceEpoch(m_wallClock.utcMs(), m_wallClock.timeZone())
                                           .toString(QStringLiteral("yyyyMMdd"))));
    const QString path =
        m_core.dialogs().chooseSaveFile(text(tid::Progress_export), suggested, text(tid::Progress_csvFilter));
    if (path.isEmpty())
        return;
    try {
        const qint64 n = writeHistoryCsv(m_history.games, path);
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
