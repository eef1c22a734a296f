// SPDX-License-Identifier: GPL-3.0-or-later
// Word sets and own lists: importing a 10,000-word file, starting a game over
// a 10,000-word list in the real main window (offscreen), and opening the
// settings dialog with 50 lists. Prints rows as trenix_bench does:
//   key label median min max unit runs
//
//   trenix_bench_sets DIR [--quick]   DIR: a work folder, filled afresh
#include "GLVex.h"
#include "GlVexM.h"
#include "ProgressStore.h"
#include "WordListImport.h"
#include "setForm.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <vector>

using namespace trenix;

namespace {

constexpr int kWords = 10000;
constexpr int kLists = 50;

double wallMs()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double cpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

[[noreturn]] void die(const QString &why)
{
    std::fprintf(stderr, "trenix_bench_sets: %s\n", qPrintable(why));
    std::exit(1);
}

void row(const char *key, const char *label, std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    const double median = n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
    std::printf("%s\t%s\t%.4f\t%.4f\t%.4f\tms\t%zu\n", key, label, median, v.front(), v.back(), n);
    std::fflush(stdout);
}

class NoDialogs final : public Dialogs {
public:
    bool askYesNo(const QString &, const QString &) override { return false; }
    void inform(const QString &, const QString &) override {}
    void showError(const QString &text) override { die(text); }
};

// Half of it the dictionary's own words (their pinyin is looked up), half
// two-character words of the common CJK block that it does not hold, with pinyin.
QByteArray listFile(Store &store)
{
    QByteArray file("# 10,000 words\n");
    Statement st = store.prepare(QStringLiteral("select cz from zidian2 order by xh limit ?1"));
    st.bind(1, kWords / 2);
    int n = 0;
    while (st.next() && ++n)
        file += st.text(0).toUtf8() + '\n';
    for (int i = 0; n < kWords; ++i, ++n)
        file += (QString(QChar(0x4E00 + (i * 7) % 20000)) + QChar(0x9FA0 - i / 20000) + u'\t' + QStringLiteral("py%1").arg(i)).toUtf8() + '\n';
    return file;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2)
        die(QStringLiteral("usage: trenix_bench_sets DIR [--quick]"));
    const int runs = argc > 2 && qstrcmp(argv[2], "--quick") == 0 ? 3 : 9;
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(dir.path());
    for (const char *name : {kStoreFile, kLanguageFile, kSettingsFile}) {
        const QString to = dir.filePath(QLatin1String(name));
        QFile::remove(to);
        if (!QFile::copy(QDir(QStringLiteral(TRENIX_BIN_DIR)).filePath(QLatin1String(name)), to))
            die(QStringLiteral("cannot copy %1").arg(QLatin1String(name)));
        QFile(to).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    }
    SteadyClock clock;
    NoDialogs dialogs;
    Random random;
    random.seed(42);
    GlVexM.clock = &clock;
    GlVexM.dialogs = &dialogs;
    GlVexM.random = &random;
    GlVexM.programFolder = dir.path();
    GlVexM.languageCode = 2;
    GlVexM.storeConn = Store(dir.filePath(QLatin1String(kStoreFile)), QByteArray(kStorePassword), Store::Mode::ReadWrite);
    const QString progressPath = dir.filePath(QLatin1String(kProgressFile));
    for (const char *suffix : {"", "-wal", "-shm"})
        QFile::remove(progressPath + QLatin1String(suffix));
    ProgressStore progress;
    progress.open(progressPath);
    GlVexM.progress = &progress;

    const QString file = dir.filePath(QStringLiteral("words.txt"));
    {
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly) || out.write(listFile(GlVexM.storeConn)) < 0)
            die(QStringLiteral("cannot write %1").arg(file));
    }
    GLVex window;
    std::vector<double> importWall, importCpu;
    for (int r = 0; r <= runs; ++r) {
        const double c0 = cpuMs(), t0 = wallMs();
        const ImportSummary s = importWordList(file, QStringLiteral("big"), true, &window.core().practice(), 2, progress);
        const double t1 = wallMs(), c1 = cpuMs();
        if (s.words != kWords || s.inDictionary != kWords / 2)
            die(QStringLiteral("the import took %1 words, %2 in the dictionary").arg(s.words).arg(s.inDictionary));
        if (r == 0)
            continue;
        importWall.push_back(t1 - t0);
        importCpu.push_back(c1 - c0);
    }
    row("sets.import", "import 10,000 words (5,000 looked up in the dictionary), wall", importWall);
    row("sets.import.cpu", "  CPU", importCpu);

    window.show();
    QCoreApplication::processEvents();
    GlVexM.wordSet = *WordSet::parse(QStringLiteral("list:big"));
    std::vector<double> startWall, startCpu;
    for (int r = 0; r <= runs; ++r) {
        const double c0 = cpuMs(), t0 = wallMs();
        window.Label3_Click();
        const double t1 = wallMs(), c1 = cpuMs();
        if (window.core().Label1.size() != kWords + 1 || window.core().Label1.back().Caption.isEmpty())
            die(QStringLiteral("the start gave %1 labels").arg(window.core().Label1.size() - 1));
        if (r == 0)
            continue;
        startWall.push_back(t1 - t0);
        startCpu.push_back(c1 - c0);
    }
    window.core().Label8_Click();
    row("sets.start", "start a game over a 10,000-word list (GLVex::Label3_Click), wall", startWall);
    row("sets.start.cpu", "  CPU", startCpu);

    for (int i = 1; i < kLists; ++i)
        progress.saveList(QStringLiteral("list %1").arg(i, 2, 10, QChar(u'0')),
                          std::vector<SetWord>(size_t(i) * 20, SetWord{QStringLiteral("词"), {}, {}}), true);
    std::vector<double> open;
    for (int r = 0; r <= runs; ++r) {
        const double t0 = wallMs();
        auto dialog = std::make_unique<setForm>(window.core(), &window);
        dialog->show();
        QCoreApplication::processEvents();
        dialog->repaint();
        const double t1 = wallMs();
        if (dialog->WordSetChoice->count() != 8 + kLists)
            die(QStringLiteral("the choice shows %1 entries").arg(dialog->WordSetChoice->count()));
        dialog->hide();
        if (r > 0)
            open.push_back(t1 - t0);
    }
    row("sets.settings", "settings dialog with 50 lists: built, counted, shown, painted", open);
    GlVexM.progress = nullptr;
    progress.close();
    GlVexM.storeConn.close();
    return 0;
}
