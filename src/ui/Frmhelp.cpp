// SPDX-License-Identifier: GPL-3.0-or-later
#include "Frmhelp.h"

#include "Fonts.h"
#include "GlVexM.h"
#include "Texts.h"
#include "Twips.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QImageReader>
#include <QKeyEvent>
#include <QLoggingCategory>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>

Q_LOGGING_CATEGORY(lcHelp, "trenix.help")

namespace trenix {

namespace {

const QColor kPageBlue(0x00, 0x00, 0xFF); // 0x00FF0000
const QColor kCurrentBack(0xD6, 0xE4, 0xFF);

// The notice that stands in for a page picture that cannot be shown.
QString missingNotice(int page, const QString &file, bool exists, const QString &reason)
{
    const QString head = text(tid::Frmhelp_cannotShow).arg(page);
    const QString cause = exists ? text(tid::Frmhelp_unreadable).arg(reason) : text(tid::Frmhelp_missing);
    return head + QStringLiteral("\n\n") + cause + QStringLiteral("\n") + file;
}

} // namespace

HelpPageLabel::HelpPageLabel(int index, QWidget *parent) : QLabel(parent), m_index(index)
{
    setCursor(Qt::PointingHandCursor);
    setAlignment(Qt::AlignCenter);
    setAutoFillBackground(true);
    setFont(uiFont({QStringLiteral("Arial")}, 11.25));
    setCurrent(false);
}

void HelpPageLabel::setCurrent(bool current)
{
    m_current = current;
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, kPageBlue);
    pal.setColor(QPalette::Window, current ? kCurrentBack : Qt::transparent);
    setPalette(pal);
    QFont f = font();
    f.setUnderline(current);
    setFont(f);
}

void HelpPageLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked(m_index);
    QLabel::mouseReleaseEvent(event);
}

Frmhelp::Frmhelp(const DataPaths &paths, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_paths(paths)
{
    buildControls();
    Form_Load();
}

void Frmhelp::buildControls()
{
    setObjectName(QStringLiteral("Frmhelp"));
    setFont(uiFont({QStringLiteral("Arial")}, 9));
    setFixedSize(Twips::px(11700), Twips::px(9435));
    setWindowTitle(QStringLiteral("幫助"));

    // A plain panel: a group-box title would run through the page labels.
    Frame1 = new QFrame(this);
    Frame1->setFrameShape(QFrame::StyledPanel);
    Twips::place(Frame1, 30, 0, 11685, 555);
    Frame1Caption = new QLabel(QStringLiteral("幫助"), Frame1);
    Twips::place(Frame1Caption, 8100, 180, 3405, 315);
    Frame1Caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QPalette grey = Frame1Caption->palette();
    grey.setColor(QPalette::WindowText, QColor(0x60, 0x60, 0x60));
    Frame1Caption->setPalette(grey);
    static constexpr double kLeft[kPages] = {750, 1785, 2835, 3870, 4980, 5970, 6990};
    static const char *const kCaption[kPages] = {"第一頁", "第二頁", "第三頁", "第四頁", "第五頁", "第六頁", "第七頁"};
    for (int i = 0; i < kPages; ++i) {
        Label1[size_t(i)] = new HelpPageLabel(i, Frame1);
        Label1[size_t(i)]->setObjectName(QStringLiteral("Label1_%1").arg(i));
        Label1[size_t(i)]->setText(QString::fromUtf8(kCaption[i]));
        Twips::place(Label1[size_t(i)], kLeft[i], 180, 855, 315);
        connect(Label1[size_t(i)], &HelpPageLabel::clicked, this, &Frmhelp::Label1_Click);
    }

    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Twips::place(Picture1, 30, 540, 11655, 8835);
    Picture1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Picture1->setWordWrap(true);
    Picture1->setFont(uiFont({QStringLiteral("Arial")}, 12));
}

void Frmhelp::Form_Load()
{
    loadPage(1);
    setWindowTitle(text(tid::Frmhelp_caption));
    static constexpr TextId kPageCaptions[kPages] = {
        tid::Frmhelp_label1_0, tid::Frmhelp_label1_1, tid::Frmhelp_label1_2, tid::Frmhelp_label1_3,
        tid::Frmhelp_label1_4, tid::Frmhelp_label1_5, tid::Frmhelp_label1_6};
    for (int i = 0; i < kPages; ++i)
        Label1[size_t(i)]->setText(text(kPageCaptions[i]));
    Frame1Caption->setText(text(tid::Frmhelp_frmame1));
}

void Frmhelp::Label1_Click(int index)
{
    if (index < 0 || index >= kPages)
        return;
    loadPage(index + 1);
}

namespace {
// Non-empty when a Windows bitmap holds less pixel data than its header
// describes: Qt's reader would fill the missing rows and show half a page.
// The file-size field is not trusted; writers round it or leave it out.
QString truncatedBmp(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    const QByteArray head = f.read(54);
    if (head.size() < 26 || !head.startsWith("BM"))
        return QString(); // too short to describe any pixels: the reader refuses it
    const auto le = [&](int at, int bytes) {
        quint32 v = 0;
        for (int i = bytes - 1; i >= 0; --i)
            v = v << 8 | quint8(head[at + i]);
        return v;
    };
    const quint32 infoSize = le(14, 4);
    qint64 width = 0, height = 0, bpp = 0, compression = 0, imageSize = 0;
    if (infoSize == 12) { // OS/2 core header: 16-bit sizes, never compressed
        width = le(18, 2);
        height = le(20, 2);
        bpp = le(24, 2);
    } else if (head.size() >= 38) {
        width = qint32(le(18, 4));
        height = std::abs(qint64(qint32(le(22, 4))));
        bpp = le(28, 2);
        compression = le(30, 4);
        imageSize = le(34, 4);
    } else {
        return QString();
    }
    // Uncompressed rows are padded to 4 bytes; compressed data states its own size.
    const qint64 pixels = (compression == 0 || compression == 3) ? ((width * bpp + 31) / 32) * 4 * height : imageSize;
    const qint64 expected = qint64(le(10, 4)) + pixels;
    if (expected > f.size())
        return QStringLiteral("the file is cut short (%1 of %2 bytes)").arg(f.size()).arg(expected);
    return QString();
}
} // namespace

QImage Frmhelp::readPage(const QString &file, QString &reason)
{
    QImageReader reader(file);
    // Qt's BMP reader fills missing rows of a cut-short file; the header says how long it should be.
    const QString shortBy = truncatedBmp(file);
    QImage image = shortBy.isEmpty() ? reader.read() : QImage();
    if (image.isNull())
        reason = shortBy.isEmpty() ? reader.errorString() : shortBy;
    return image;
}

void Frmhelp::keyPressEvent(QKeyEvent *event)
{
    // The pages without the mouse: arrows and page keys turn them, digits pick one.
    int page = m_page;
    switch (event->key()) {
    case Qt::Key_Right:
    case Qt::Key_Down:
    case Qt::Key_PageDown:
    case Qt::Key_Space: ++page; break;
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_PageUp:
    case Qt::Key_Backspace: --page; break;
    case Qt::Key_Home: page = 1; break;
    case Qt::Key_End: page = kPages; break;
    default:
        if (event->key() >= Qt::Key_1 && event->key() < Qt::Key_1 + kPages)
            page = event->key() - Qt::Key_0;
        else
            return QDialog::keyPressEvent(event);
    }
    if (page >= 1 && page <= kPages && page != m_page)
        loadPage(page);
    event->accept();
}

void Frmhelp::loadPage(int page)
{
    m_page = page;
    for (int i = 0; i < kPages; ++i)
        Label1[size_t(i)]->setCurrent(i + 1 == page);

    // The page in the player's language; the one every copy has when it is not there.
    const QString own = m_paths.programFile(QStringLiteral("help0%1-%2.bmp").arg(page).arg(GlVexM.languageCode));
    QString reason;
    QImage image = readPage(own, reason);
    if (image.isNull() && QFileInfo::exists(own))
        qCWarning(lcHelp).noquote() << own << "cannot be shown:" << reason;
    const QString file = m_paths.programFile(QStringLiteral("help0%1.bmp").arg(page));
    if (image.isNull())
        image = readPage(file, reason);
    if (image.isNull()) {
        m_shown = false;
        Picture1->setPixmap(QPixmap());
        Picture1->setAlignment(Qt::AlignCenter);
        Picture1->setText(missingNotice(page, QDir::toNativeSeparators(file), QFileInfo::exists(file), reason));
        return;
    }
    // A page drawn for another screen density still fits the box whole.
    if (image.width() > Picture1->width() || image.height() > Picture1->height())
        image = image.scaled(Picture1->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    m_shown = true;
    Picture1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Picture1->setPixmap(QPixmap::fromImage(image));
}

void Frmhelp::showEvent(QShowEvent *e)
{
    Twips::centreOverOwner(this);
    QDialog::showEvent(e);
}

} // namespace trenix
