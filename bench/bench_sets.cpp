// SPDX-License-Identifier: GPL-3.0-or-later
// Word sets and own lists: importing a 10,000-word file, a start over a
// 10,000-word list in the main window, the settings dialog with 50 lists.
#include "Bench.h"
#include "GLVex.h"
#include "WordListImport.h"
#include "setForm.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFile>

#include <memory>

namespace trenix::bench {

namespace {

constexpr int kWords = 10000;
constexpr int kLists = 50;
const QString kListName = QStringLiteral("big");

// Half of it the dictionary's own words (their pinyin and English are looked
// up), half two-character words of the common CJK block that it does not hold,
// with pinyin. Made once per process.
const QString &listFile()
{
    static const QString path = [] {
        useFolder(builtFolder());
        QByteArray bytes("# 10,000 words\n");
        Statement st = GlVexM.storeConn.prepare(QStringLiteral("select cz from zidian2 order by xh limit ?1"));
        st.bind(1, kWords / 2);
        int n = 0;
        while (st.next() && ++n)
            bytes += st.text(0).toUtf8() + '\n';
        for (int i = 0; n < kWords; ++i, ++n)
            bytes += (QString(QChar(0x4E00 + (i * 7) % 20000)) + QChar(0x9FA0 - i / 20000) + u'\t'
                      + QStringLiteral("py%1").arg(i))
                         .toUtf8()
                     + '\n';
        const QString path = workPath(QStringLiteral("words.txt"));
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
            die(QStringLiteral("cannot write %1").arg(path));
        return path;
    }();
    return path;
}

// The import; an empty text when it took the whole file as it should.
QString import(PracticeStore &practice)
{
    try {
        const ImportSummary s = importWordList(listFile(), kListName, true, &practice, kLanguage, mainHistory().lists);
        if (s.words != kWords || s.inDictionary != kWords / 2)
            return QStringLiteral("the import took %1 words, %2 in the dictionary").arg(s.words).arg(s.inDictionary);
        return QString();
    } catch (const Error &e) {
        return QStringLiteral("the import failed: ") + e.message();
    }
}

// The main history holds the 10,000-word list (and, with more, 49 small ones besides).
QString ensureLists(int count)
{
    useFolder(builtFolder());
    OwnLists &lists = mainHistory().lists;
    if (!lists.words(kListName)) {
        PracticeStore practice(GlVexM.storeConn);
        if (const QString why = import(practice); !why.isEmpty())
            return why;
    }
    try {
        for (int i = 1; int(lists.lists().size()) < count; ++i)
            lists.save(QStringLiteral("list %1").arg(i, 2, 10, QChar(u'0')),
                       std::vector<SetWord>(size_t(i) * 20, SetWord{QStringLiteral("词"), {}, {}}), true);
    } catch (const Error &e) {
        return QStringLiteral("saving a list failed: ") + e.message();
    }
    return QString();
}

} // namespace

void importList(benchmark::State &state)
{
    useFolder(builtFolder());
    PracticeStore practice(GlVexM.storeConn);
    if (const QString why = import(practice); !why.isEmpty()) { // warm-up
        fail(state, why);
        return;
    }
    for (auto _ : state) {
        if (const QString why = import(practice); !why.isEmpty()) {
            fail(state, why);
            break;
        }
    }
}

void startList(benchmark::State &state)
{
    if (const QString why = ensureLists(1); !why.isEmpty()) {
        fail(state, why);
        return;
    }
    GLVex w(windowServices(builtFolder()));
    w.show();
    QCoreApplication::processEvents();
    w.core().wordSet = *WordSet::parse(QStringLiteral("list:") + kListName);
    auto started = [&w] { return w.core().Label1.size() == kWords + 1 && !w.core().Label1.back().Caption.isEmpty(); };
    w.Label3_Click(); // warm-up
    for (auto _ : state) {
        w.Label3_Click();
        if (!started()) {
            fail(state, QStringLiteral("the start gave %1 labels").arg(w.core().Label1.size() - 1));
            break;
        }
    }
    w.pictScroll.stop();
    w.CreatWord.stop();
    w.GaTime.stop();
}

void settingsDialog(benchmark::State &state)
{
    if (const QString why = ensureLists(kLists); !why.isEmpty()) {
        fail(state, why);
        return;
    }
    const int lists = int(mainHistory().lists.lists().size());
    GLVex w(windowServices(builtFolder()));
    auto open = [&w] {
        auto dialog = std::make_unique<setForm>(w.core(), builtFolder(), &w);
        dialog->show();
        QCoreApplication::processEvents();
        dialog->repaint();
        return dialog;
    };
    open(); // warm-up
    for (auto _ : state) {
        auto dialog = open();
        state.PauseTiming();
        const int entries = dialog->WordSetChoice->count();
        dialog.reset();
        // The range, six HSK 2.0 levels, seven HSK 3.0 choices, the review, then the lists.
        if (lists != kLists || entries != 15 + kLists) {
            fail(state, QStringLiteral("%1 lists, the choice shows %2 entries").arg(lists).arg(entries));
            break;
        }
        state.ResumeTiming();
    }
}

} // namespace trenix::bench
