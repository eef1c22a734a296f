// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmAbout.h"

#include "Error.h"
#include "Fonts.h"
#include "Texts.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace trenix {

frmAbout::frmAbout(GameCore &core, QString programFolder, QWidget *parent)
    : HoldingDialog(core, parent), m_programFolder(std::move(programFolder))
{
    setObjectName(QStringLiteral("frmAbout"));
    setFont(uiFont({QStringLiteral("Arial")}, 9));
    setWindowTitle(text(tid::frmAbout_caption));

    Label1 = new QLabel(text(tid::frmAbout_Label1), this);
    Label1->setFont(uiFont({QStringLiteral("SimSun"), QStringLiteral("宋体")}, 15.75, QFont::Bold));
    QPalette olive = Label1->palette();
    olive.setColor(QPalette::WindowText, QColor(0x40, 0x40, 0x00)); // 0x00004040
    Label1->setPalette(olive);
    Label1->setAlignment(Qt::AlignCenter);

    Label2 = new QLabel(text(tid::frmAbout_Label2), this);
    Label2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label4 = new QLabel(QStringLiteral(TRENIX_VERSION), this); // the build's own version
    Label4->setObjectName(QStringLiteral("Label4"));

    // The works whose licences ask to be named where the program is shown.
    credits = new QLabel(text(tid::frmAbout_credits), this);
    credits->setObjectName(QStringLiteral("credits"));
    credits->setWordWrap(true);
    credits->setTextInteractionFlags(Qt::TextSelectableByMouse);

    licencesButton = new QPushButton(text(tid::frmAbout_licences), this);
    licencesButton->setObjectName(QStringLiteral("licencesButton"));
    licencesButton->setAutoDefault(false);
    Command1 = new QPushButton(text(tid::frmAbout_Command1), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 12);
    layout->addWidget(Label1);
    auto *version = new QHBoxLayout;
    version->addStretch();
    version->addWidget(Label2);
    version->addWidget(Label4);
    version->addStretch();
    layout->addLayout(version);
    layout->addSpacing(8);
    layout->addWidget(credits);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(licencesButton);
    buttons->addStretch();
    buttons->addWidget(Command1);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    credits->setFixedWidth(420); // wide enough for the version row, narrow enough to read
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(Command1, &QPushButton::clicked, this, &frmAbout::Command1_Click);
    connect(licencesButton, &QPushButton::clicked, this, &frmAbout::showLicences);
}

QString readLicenceTexts(const QString &programFolder)
{
    QString all;
    for (const char *name : kLicenceFiles) {
        QFile file(QDir(programFolder).filePath(QLatin1String(name)));
        if (!file.open(QIODevice::ReadOnly))
            throw Error(ErrorKind::File,
                        QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(file.fileName()), file.errorString()));
        if (!all.isEmpty())
            all += QStringLiteral("\n\n") + QString(72, u'=') + QStringLiteral("\n\n");
        all += QString::fromUtf8(file.readAll());
    }
    return all;
}

void frmAbout::showLicences()
{
    QDialog window(this);
    window.setWindowTitle(text(tid::frmAbout_licences).remove(u'…'));
    auto *view = new QPlainTextEdit(&window);
    view->setObjectName(QStringLiteral("licenceTexts"));
    view->setReadOnly(true);
    view->setFont(QFont(QStringLiteral("Monospace"), 9));
    try {
        view->setPlainText(readLicenceTexts(m_programFolder));
    } catch (const Error &e) { // a copy without its licence files still says where to look
        view->setPlainText(text(tid::frmAbout_licencesMissing).arg(e.message()));
    }
    auto *close = new QDialogButtonBox(QDialogButtonBox::Close, &window);
    connect(close, &QDialogButtonBox::rejected, &window, &QDialog::reject);
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(view);
    layout->addWidget(close);
    // Wide enough for the texts' lines (up to 92 characters) not to wrap.
    window.resize(view->fontMetrics().horizontalAdvance(QString(94, u'M')) + 60, 560);
    window.exec();
}

void frmAbout::Command1_Click()
{
    releaseGame();
    QDialog::accept();
}

void frmAbout::accept() { Command1_Click(); }

void frmAbout::reject() { Command1_Click(); }

} // namespace trenix
