// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The progress window: a chart of speed and accuracy by game or by day, a
// summary with the review's due and learned words, the most missed words, the
// recent games, the player's name, export as CSV and clearing the history.
// Holds a running game while it is the active window, like the settings dialog.
#include "GameHistory.h"
#include "HoldingDialog.h"
#include "ProgressStats.h"

#include <vector>

class QComboBox;
class QAbstractAxis;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QChartView;
class QLineSeries;
class QDateTimeAxis;
class QValueAxis;

namespace trenix {

class GameCore;
class WallClock;
struct History;

class ProgressWindow : public HoldingDialog {
    Q_OBJECT
public:
    // The choices of the period box, in its order; 0 days is the whole history.
    static constexpr int kPeriodDays[] = {7, 30, 0};

    // keptSettingsFile keeps the player's name (none: the name is not kept).
    ProgressWindow(GameCore &core, const WallClock &wallClock, QWidget *parent = nullptr,
                   QString keptSettingsFile = QString());

    void exportCsv();
    void clearHistory();
    void showPeriod(int index);
    // The name typed in the player box becomes the player's, kept in trenix.conf.
    void keepPlayerName();

    // Controls, for tests.
    QLabel *games = nullptr, *totalTime = nullptr, *bestSpeed = nullptr, *average = nullptr, *streak = nullptr;
    QLabel *dueToday = nullptr, *dueWeek = nullptr, *learned = nullptr; // the review
    QComboBox *period = nullptr, *grouping = nullptr; // grouping: 0 by game, 1 by day
    QLineEdit *player = nullptr;
    QChartView *chartView = nullptr;
    QLineSeries *speedSeries = nullptr, *bestSeries = nullptr, *accuracySeries = nullptr;
    QTableWidget *missedTable = nullptr, *recentTable = nullptr;
    QLabel *notice = nullptr;
    QPushButton *exportButton = nullptr, *clearButton = nullptr, *closeButton = nullptr;

public slots:
    // Escape and the close box act as Close, so a held game never stays frozen.
    void accept() override;
    void reject() override;

private:
    void buildControls();
    void reload();
    void tell(const QString &text);
    void useXAxis(QAbstractAxis *axis);
    void showTip(const QPointF &point, bool hovered);

    History &m_history;
    const WallClock &m_wallClock;
    QString m_keptSettingsFile;
    QDateTimeAxis *m_dateAxis = nullptr;
    QValueAxis *m_gameAxis = nullptr, *m_speedAxis = nullptr, *m_accuracyAxis = nullptr;
    std::vector<GamePoint> m_games; // as charted, for the tool tips
    std::vector<DayPoint> m_days;
};

} // namespace trenix
