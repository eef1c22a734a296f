// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The progress window: a chart of speed and accuracy per game, a summary with
// the review's due and learned words, the most missed words, the recent games, export as CSV and clearing the history.
// Holds a running game while it is the active window, like the settings dialog.
#include "HoldingDialog.h"

class QComboBox;
class QLabel;
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

    ProgressWindow(GameCore &core, const WallClock &wallClock, QWidget *parent = nullptr);

    void exportCsv();
    void clearHistory();
    void showPeriod(int index);

    // Controls, for tests.
    QLabel *games = nullptr, *totalTime = nullptr, *bestSpeed = nullptr, *average = nullptr, *streak = nullptr;
    QLabel *dueToday = nullptr, *dueWeek = nullptr, *learned = nullptr; // the review
    QComboBox *period = nullptr;
    QChartView *chartView = nullptr;
    QLineSeries *speedSeries = nullptr, *accuracySeries = nullptr;
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

    History &m_history;
    const WallClock &m_wallClock;
    QDateTimeAxis *m_dateAxis = nullptr;
    QValueAxis *m_speedAxis = nullptr, *m_accuracyAxis = nullptr;
};

} // namespace trenix
