// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the help page sources into the bitmaps that the help window shows.
//
// Usage: trenix_render_help [--language=N] [--suffix=S] OUTDIR SOURCE...
//   --language=N  interface language of the sources: 1 English, 2 simplified
//                 (the default), 3 traditional Chinese; picks the font and footer
//   --suffix=S    written into every output name: help01.txt -> help01S.bmp
//
// Source markup (UTF-8):
//   first line      the page title, shown in the title band
//   "## text"       a subheading
//   "- text"        a bullet item
//   empty line      a paragraph break
//   any other line  a paragraph of its own
//
// Every source is read and laid out before any file is written, so a bad
// source leaves the output folder untouched.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QSaveFile>
#include <QStringDecoder>
#include <QTextLayout>
#include <QTextOption>
#include <QtMath>

#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

namespace {

// The help picture box is 11655 x 8835 twips, 15 twips to the pixel at 96 DPI.
constexpr int kPageWidth = 777;
constexpr int kPageHeight = 589;
constexpr int kBandHeight = 58;
constexpr int kMarginX = 34;
constexpr int kBodyTop = kBandHeight + 22;
constexpr int kFooterHeight = 30;
constexpr int kBodyBottom = kPageHeight - kFooterHeight - 8;
constexpr int kBulletIndent = 26;
constexpr int kBodyPixelSize = 17;
constexpr int kHeadingPixelSize = 18;
constexpr int kTitlePixelSize = 24;
// Line pitch as a multiple of the pixel size; CJK fonts report a tall height.
constexpr qreal kLineSpacing = 1.62;
constexpr qreal kParagraphGap = 12.0;
constexpr qreal kHeadingGapAbove = 6.0;
constexpr qreal kBulletGap = 5.0;

QString footerText(int language)
{
    switch (language) {
    case 1: return QStringLiteral("Trenix · Help");
    case 3: return QStringLiteral("Trenix · 幫助");
    default: return QStringLiteral("Trenix · 帮助");
    }
}

const QColor kBackground(0xf6, 0xf9, 0xfb);
const QColor kBandDark(0x0b, 0x4f, 0x55);
const QColor kBandLight(0x17, 0x7e, 0x86);
const QColor kAccent(0x14, 0x73, 0x7b);
const QColor kText(0x26, 0x2d, 0x33);
const QColor kMuted(0x8a, 0x96, 0x9e);

enum class BlockKind { Paragraph, Bullet, Heading, Gap };

struct Block {
    BlockKind kind;
    QString text;
};

struct Page {
    QString sourcePath;
    QString outputName;
    QString title;
    std::vector<Block> blocks;
};

void fail(const QString &message) { std::fprintf(stderr, "trenix_render_help: %s\n", qPrintable(message)); }

std::optional<Page> readPage(const QString &path, const QString &suffix)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        fail(QStringLiteral("cannot read help source %1: %2").arg(path, file.errorString()));
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        fail(QStringLiteral("cannot read help source %1: %2").arg(path, file.errorString()));
        return std::nullopt;
    }
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        fail(QStringLiteral("help source %1 is not valid UTF-8").arg(path));
        return std::nullopt;
    }
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text.remove(QLatin1Char('\r'));

    QStringList lines = text.split(QLatin1Char('\n'));
    while (!lines.isEmpty() && lines.constLast().trimmed().isEmpty())
        lines.removeLast();
    if (lines.isEmpty() || lines.constFirst().trimmed().isEmpty()) {
        fail(QStringLiteral("help source %1 has no title on its first line").arg(path));
        return std::nullopt;
    }

    Page page;
    page.sourcePath = path;
    page.outputName = QFileInfo(path).completeBaseName() + suffix + QStringLiteral(".bmp");
    page.title = lines.constFirst().trimmed();
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        if (line.isEmpty()) {
            // Several empty lines make one break, and none is needed at the top.
            if (!page.blocks.empty() && page.blocks.back().kind != BlockKind::Gap)
                page.blocks.push_back({BlockKind::Gap, {}});
        } else if (line.startsWith(QLatin1String("## "))) {
            page.blocks.push_back({BlockKind::Heading, line.mid(3).trimmed()});
        } else if (line.startsWith(QLatin1String("- "))) {
            page.blocks.push_back({BlockKind::Bullet, line.mid(2).trimmed()});
        } else {
            page.blocks.push_back({BlockKind::Paragraph, line});
        }
    }
    return page;
}

// A family that Qt lists as able to write the language's Chinese, or nothing.
std::optional<QString> chooseCjkFamily(int language)
{
    const bool traditional = language == 3;
    const QStringList cjk =
        QFontDatabase::families(traditional ? QFontDatabase::TraditionalChinese : QFontDatabase::SimplifiedChinese);
    const QString region = traditional ? QStringLiteral("TC") : QStringLiteral("SC");
    for (const QString &wanted :
         {QStringLiteral("Noto Sans CJK ") + region, QStringLiteral("Source Han Sans ") + region,
          QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Serif CJK ") + region}) {
        if (cjk.contains(wanted))
            return wanted;
    }
    if (!cjk.isEmpty())
        return cjk.constFirst();
    return std::nullopt;
}

QFont makeFont(const QString &family, int pixelSize, QFont::Weight weight)
{
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

// Qt would quietly borrow missing glyphs from another font or draw boxes;
// naming the character here keeps a broken page out of the build.
bool coversText(const QFont &font, const QString &text, const QString &where)
{
    const QFontMetricsF metrics(font);
    for (const char32_t ch : text.toUcs4()) {
        if (ch == U' ')
            continue;
        if (!metrics.inFontUcs4(ch)) {
            fail(QStringLiteral("font \"%1\" has no glyph for U+%2 in %3")
                     .arg(QFontInfo(font).family())
                     .arg(static_cast<uint>(ch), 4, 16, QLatin1Char('0'))
                     .arg(where));
            return false;
        }
    }
    return true;
}

struct LaidOutBlock {
    BlockKind kind;
    std::unique_ptr<QTextLayout> layout;
    qreal top = 0;
};

struct Fonts {
    QFont title;
    QFont number;
    QFont heading;
    QFont body;
    QFont footer;
};

std::unique_ptr<QTextLayout> wrap(const QString &text, const QFont &font, qreal width, qreal lineHeight)
{
    auto layout = std::make_unique<QTextLayout>(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout->setTextOption(option);
    layout->setCacheEnabled(true);
    layout->beginLayout();
    qreal y = 0;
    for (;;) {
        QTextLine line = layout->createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(width);
        line.setLeadingIncluded(false);
        // Centre the glyphs in a taller line so paragraphs breathe evenly.
        line.setPosition(QPointF(0, y + (lineHeight - line.height()) / 2));
        y += lineHeight;
    }
    layout->endLayout();
    return layout;
}

std::optional<QImage> renderPage(const Page &page, int number, int count, const Fonts &fonts, const QString &footer)
{
    const QString where = QStringLiteral("help source %1").arg(page.sourcePath);
    if (!coversText(fonts.title, page.title, where) || !coversText(fonts.footer, footer, where))
        return std::nullopt;
    for (const Block &block : page.blocks) {
        if (!coversText(block.kind == BlockKind::Heading ? fonts.heading : fonts.body, block.text, where))
            return std::nullopt;
    }

    const qreal bodyLine = kBodyPixelSize * kLineSpacing;
    const qreal headingLine = kHeadingPixelSize * kLineSpacing;
    const qreal textWidth = kPageWidth - 2 * kMarginX;

    std::vector<LaidOutBlock> laid;
    qreal y = kBodyTop;
    for (const Block &block : page.blocks) {
        if (block.kind == BlockKind::Gap) {
            y += kParagraphGap;
            continue;
        }
        LaidOutBlock item{block.kind, nullptr, 0};
        if (block.kind == BlockKind::Heading) {
            if (y > kBodyTop)
                y += kHeadingGapAbove;
            item.layout = wrap(block.text, fonts.heading, textWidth, headingLine);
            item.top = y;
            y += item.layout->lineCount() * headingLine + 4;
        } else {
            if (block.kind == BlockKind::Bullet && !laid.empty() && laid.back().kind == BlockKind::Bullet)
                y += kBulletGap;
            const qreal indent = block.kind == BlockKind::Bullet ? kBulletIndent : 0;
            item.layout = wrap(block.text, fonts.body, textWidth - indent, bodyLine);
            item.top = y;
            y += item.layout->lineCount() * bodyLine;
        }
        laid.push_back(std::move(item));
    }
    if (y > kBodyBottom) {
        fail(QStringLiteral("help source %1 does not fit on its page: the text needs %2 px more; shorten it")
                 .arg(page.sourcePath)
                 .arg(qCeil(y - kBodyBottom)));
        return std::nullopt;
    }

    QImage image(kPageWidth, kPageHeight, QImage::Format_RGB32);
    // 96 DPI, so the bitmap reports the size of the picture box it was made for.
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    image.fill(kBackground);

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    QLinearGradient band(0, 0, kPageWidth, kBandHeight);
    band.setColorAt(0, kBandDark);
    band.setColorAt(1, kBandLight);
    painter.fillRect(QRect(0, 0, kPageWidth, kBandHeight), band);
    painter.fillRect(QRect(0, kBandHeight, kPageWidth, 3), QColor(0xf2, 0xb1, 0x34));

    const QString pageNumber = QStringLiteral("%1/%2").arg(number).arg(count);
    const QFontMetricsF numberMetrics(fonts.number);
    const qreal pillWidth = numberMetrics.horizontalAdvance(pageNumber) + 24;
    const QRectF pill(kPageWidth - kMarginX - pillWidth, (kBandHeight - 30) / 2.0, pillWidth, 30);
    QPainterPath pillPath;
    pillPath.addRoundedRect(pill, 15, 15);
    painter.fillPath(pillPath, QColor(255, 255, 255, 46));
    painter.setPen(Qt::white);
    painter.setFont(fonts.number);
    painter.drawText(pill, Qt::AlignCenter, pageNumber);

    painter.setFont(fonts.title);
    const QRectF titleRect(kMarginX, 0, pill.left() - kMarginX - 12, kBandHeight);
    painter.drawText(titleRect, Qt::AlignVCenter | Qt::AlignLeft,
                     QFontMetricsF(fonts.title).elidedText(page.title, Qt::ElideRight, titleRect.width()));

    for (const LaidOutBlock &item : laid) {
        if (item.kind == BlockKind::Heading) {
            painter.fillRect(QRectF(kMarginX, item.top + 4, 4, headingLine - 8), kAccent);
            painter.setPen(kAccent);
            item.layout->draw(&painter, QPointF(kMarginX + 12, item.top));
            continue;
        }
        const qreal indent = item.kind == BlockKind::Bullet ? kBulletIndent : 0;
        if (item.kind == BlockKind::Bullet) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(kAccent);
            painter.drawEllipse(QPointF(kMarginX + 9, item.top + bodyLine / 2), 3.6, 3.6);
            painter.setBrush(Qt::NoBrush);
        }
        painter.setPen(kText);
        item.layout->draw(&painter, QPointF(kMarginX + indent, item.top));
    }

    const int footerTop = kPageHeight - kFooterHeight;
    painter.setPen(QPen(QColor(0xd5, 0xdd, 0xe2), 1));
    painter.drawLine(QPointF(kMarginX, footerTop + 0.5), QPointF(kPageWidth - kMarginX, footerTop + 0.5));
    painter.setPen(kMuted);
    painter.setFont(fonts.footer);
    painter.drawText(QRectF(kMarginX, footerTop, kPageWidth - 2 * kMarginX, kFooterHeight),
                     Qt::AlignVCenter | Qt::AlignLeft, footer);
    painter.end();
    return image;
}

bool writeImage(const QImage &image, const QString &path)
{
    // QSaveFile writes a temporary file and renames it on commit, so a failed
    // run never leaves a truncated bitmap under the final name.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        fail(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
        return false;
    }
    if (!image.save(&file, "BMP")) {
        file.cancelWriting();
        fail(QStringLiteral("cannot write %1: encoding the bitmap failed (%2)").arg(path, file.errorString()));
        return false;
    }
    // commit() alone renames even after a flush that failed (a full disk); unflushed, the old file stays.
    if (!file.flush() || !file.commit()) {
        fail(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    QStringList args = QGuiApplication::arguments();
    int language = 2;
    QString suffix;
    while (args.size() > 1 && args.at(1).startsWith(QLatin1String("--"))) {
        const QString option = args.takeAt(1);
        bool ok = true;
        if (option.startsWith(QLatin1String("--language=")))
            language = option.mid(11).toInt(&ok);
        else if (option.startsWith(QLatin1String("--suffix=")))
            suffix = option.mid(9);
        else
            ok = false;
        if (!ok || language < 1 || language > 3) {
            fail(QStringLiteral("unknown option or language: %1").arg(option));
            return 1;
        }
    }
    if (args.size() < 3) {
        fail(QStringLiteral("usage: trenix_render_help [--language=N] [--suffix=S] OUTDIR SOURCE..."));
        return 1;
    }

    const std::optional<QString> family = chooseCjkFamily(language);
    if (!family) {
        fail(QStringLiteral("no font for Chinese is installed (install fonts-noto-cjk)"));
        return 1;
    }
    if (QFontInfo(makeFont(*family, kBodyPixelSize, QFont::Normal)).family() != *family) {
        fail(QStringLiteral("the font \"%1\" is listed but cannot be loaded").arg(*family));
        return 1;
    }
    Fonts fonts{makeFont(*family, kTitlePixelSize, QFont::Bold), makeFont(*family, 16, QFont::Bold),
                makeFont(*family, kHeadingPixelSize, QFont::Bold), makeFont(*family, kBodyPixelSize, QFont::Normal),
                makeFont(*family, 13, QFont::Normal)};

    std::vector<Page> pages;
    for (qsizetype i = 2; i < args.size(); ++i) {
        std::optional<Page> page = readPage(args.at(i), suffix);
        if (!page)
            return 1;
        for (const Page &earlier : pages) {
            if (earlier.outputName == page->outputName) {
                fail(QStringLiteral("help sources %1 and %2 would both be written to %3")
                         .arg(earlier.sourcePath, page->sourcePath, page->outputName));
                return 1;
            }
        }
        pages.push_back(std::move(*page));
    }

    const int count = static_cast<int>(pages.size());
    std::vector<QImage> images;
    for (int i = 0; i < count; ++i) {
        std::optional<QImage> image =
            renderPage(pages[static_cast<size_t>(i)], i + 1, count, fonts, footerText(language));
        if (!image)
            return 1;
        images.push_back(std::move(*image));
    }

    const QString outDir = args.at(1);
    if (!QDir().mkpath(outDir)) {
        fail(QStringLiteral("cannot create the output folder %1").arg(outDir));
        return 1;
    }
    for (int i = 0; i < count; ++i) {
        const QString path = QDir(outDir).filePath(pages[static_cast<size_t>(i)].outputName);
        if (!writeImage(images[static_cast<size_t>(i)], path))
            return 1;
    }
    return 0;
}
