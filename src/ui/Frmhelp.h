// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Help window: seven picture pages, chosen by a strip of page labels or the keyboard.
#include "DataPaths.h"

#include <QDialog>
#include <QLabel>
#include <array>

class QFrame;

namespace trenix {

// A page label of the strip: a click chooses its page.
class HelpPageLabel : public QLabel {
    Q_OBJECT
public:
    HelpPageLabel(int index, QWidget *parent);
    void setCurrent(bool current);
    bool isCurrent() const { return m_current; }
signals:
    void clicked(int index);

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    int m_index;
    bool m_current = false;
};

class Frmhelp : public QDialog {
    Q_OBJECT
public:
    static constexpr int kPages = 7;

    explicit Frmhelp(const DataPaths &paths, QWidget *parent = nullptr);

    // Shows page index + 1 in the interface language (help0N-L.bmp), else the
    // common page help0N.bmp; a picture that cannot be read shows a notice instead.
    void Label1_Click(int index);

    int currentPage() const { return m_page; }    // 1 .. 7
    bool pictureShown() const { return m_shown; } // false while a notice stands instead

    // Controls, for tests.
    QFrame *Frame1 = nullptr;
    QLabel *Frame1Caption = nullptr; // the strip's caption, beside the page labels
    std::array<HelpPageLabel *, kPages> Label1{};
    QLabel *Picture1 = nullptr;

protected:
    void showEvent(QShowEvent *e) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildControls();
    void Form_Load();
    void loadPage(int page);
    static QImage readPage(const QString &file, QString &reason);

    int m_page = 0;
    const DataPaths &m_paths;
    bool m_shown = false;
};

} // namespace trenix
