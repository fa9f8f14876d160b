#include "app/InfoDialog.h"

#include "app/AppResources.h"

#include "platform/qt/Bevel.h"
#include "platform/qt/Controls.h"
#include "platform/qt/Panel.h"
#include "platform/qt/QtFonts.h"
#include "platform/qt/WindowPlacement.h"

#include <QLabel>
#include <QPushButton>

// The maker's lines come from the build (CMake cache variables); these stand when a build
// gives none.
#ifndef CIBRANO_MAKER_NAME
#define CIBRANO_MAKER_NAME "Comunit\u00E0"
#endif
#ifndef CIBRANO_MAKER_ADDRESS
#define CIBRANO_MAKER_ADDRESS "Calcolo nutrizionale delle ricette"
#endif
#ifndef CIBRANO_MAKER_PHONE
#define CIBRANO_MAKER_PHONE "Tel./Fax: non disponibili"
#endif
#ifndef CIBRANO_MAKER_WEB
#define CIBRANO_MAKER_WEB "Web: non disponibile"
#endif

namespace cibrano {

QString makerName() {
    return QString::fromUtf8(CIBRANO_MAKER_NAME);
}
QString makerAddress() {
    return QString::fromUtf8(CIBRANO_MAKER_ADDRESS);
}
QString makerPhone() {
    return QString::fromUtf8(CIBRANO_MAKER_PHONE);
}
QString makerWeb() {
    return QString::fromUtf8(CIBRANO_MAKER_WEB);
}

TfrmInfo::TfrmInfo(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    loadAppResources();
    setObjectName("frmInfo");
    setWindowTitle("Informazioni");
    installFontSubstitutes();
    QFont system("System");
    system.setPixelSize(13);
    setFont(system);
    setFixedSize(295, 183);
    setModal(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Button));
    setPalette(pal);
    setAutoFillBackground(true);

    const QFont bold11 = msSansSerif(11, true);

    Panel1 = new TPanel(this, bvLowered, bvRaised);
    Panel1->setGeometry(4, 8, 289, 137);

    ProgramIcon = new QLabel(Panel1);
    ProgramIcon->setGeometry(8, 8, 32, 32);
    ProgramIcon->setScaledContents(true);
    ProgramIcon->setPixmap(QPixmap(":/cibrano/cibrano-32.png"));

    ProductName = newLabel(Panel1, makerName() + " - Cibrano", QRect(41, 8, 240, 24),
                           msSansSerif(19, true), Qt::AlignRight | Qt::AlignTop);
    setTextColor(ProductName, Qt::black);

    ProductLine = newLabel(Panel1, "Programma Cibrano", QRect(4, 48, 281, 13), bold11,
                           Qt::AlignHCenter | Qt::AlignTop);
    setTextColor(ProductLine, QColor(0x00, 0x00, 0x80));

    Bevel1 = new TBevel(Panel1);
    Bevel1->setGeometry(8, 72, 273, 9);

    Label2 = newLabel(Panel1, makerAddress(), QRect(8, 80, 264, 13), bold11);
    Label3 = newLabel(Panel1, makerPhone(), QRect(8, 96, 167, 13), bold11);
    Label1 = newLabel(Panel1, makerWeb(), QRect(8, 112, 145, 13), bold11);
    for (QLabel* l : {Label2, Label3, Label1})
        setTextColor(l, Qt::black);

    OKButton = new QPushButton("OK", this);
    OKButton->setObjectName("OKButton");
    OKButton->setGeometry(112, 152, 77, 27);
    OKButton->setIcon(glyphIcon(QPixmap(":/cibrano/ok-glyph.png"), 2));
    OKButton->setIconSize(QSize(16, 16));
    OKButton->setFont(bold11);
    setTextColor(OKButton, Qt::black);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

int TfrmInfo::showModal() {
    centreOnScreen(this);
    return exec();
}

void TfrmInfo::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    OKButton->setFocus();
}

} // namespace cibrano
