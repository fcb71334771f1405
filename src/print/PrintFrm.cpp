// The print dialog with its page preview.
#include "print/PrintFrm.h"

#include "platform/ScreenFit.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <algorithm>

namespace {
constexpr int ClientWidth = 838;
constexpr int ClientHeight = 754;
constexpr int PanelHeight = 42;
constexpr int Panel2Width = 185;
} // namespace

// ---- preview image -----------------------------------------------------------

TPreviewImage::TPreviewImage(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(0, 0);
}

void TPreviewImage::PictureChanged()
{
    resize(FPicture.size());
    update();
}

void TPreviewImage::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (!FPicture.isNull())
        p.drawImage(QPoint(0, 0), FPicture);
}

// ---- the dialog --------------------------------------------------------------

TfrmPrint::TfrmPrint(QWidget* parent, QObject* receiver) : QDialog(parent), FReceiver(receiver)
{
    setObjectName(QStringLiteral("frmPrint"));
    setWindowTitle(QStringLiteral("Podgląd wydruku"));
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPixelSize(11);
    setFont(f);
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
    resize(ClientWidth, ClientHeight);

    sbPolePodgladuWydruku = new QScrollArea(this);
    sbPolePodgladuWydruku->setObjectName(QStringLiteral("sbPolePodgladuWydruku"));
    // A page narrower than the box stands in its middle; a wider one starts
    // at the box's left edge and scrolls, so no part of it is out of reach.
    sbPolePodgladuWydruku->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    sbPolePodgladuWydruku->setWidgetResizable(false);
    sbPolePodgladuWydruku->horizontalScrollBar()->setTracking(true);
    sbPolePodgladuWydruku->verticalScrollBar()->setTracking(true);
    iStronaWydruku = new TPreviewImage;
    iStronaWydruku->setObjectName(QStringLiteral("iStronaWydruku"));
    sbPolePodgladuWydruku->setWidget(iStronaWydruku);

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));

    bPoprzednia = new QPushButton(QStringLiteral("Poprzednia"), Panel1);
    bPoprzednia->setObjectName(QStringLiteral("bPoprzednia"));
    bPoprzednia->setGeometry(16, 11, 75, 25);
    bPoprzednia->setAutoDefault(false);
    bNastepna = new QPushButton(QStringLiteral("Następna"), Panel1);
    bNastepna->setObjectName(QStringLiteral("bNastepna"));
    bNastepna->setGeometry(104, 11, 75, 25);
    bNastepna->setAutoDefault(false);

    gbZakres = new QGroupBox(QStringLiteral("Zakres drukowania"), Panel1);
    gbZakres->setObjectName(QStringLiteral("gbZakres"));
    gbZakres->setGeometry(211, 0, 425, 41);
    rbWszystkie = new QRadioButton(QStringLiteral("Wszystkie"), gbZakres);
    rbWszystkie->setObjectName(QStringLiteral("rbWszystkie"));
    rbWszystkie->setChecked(true);
    rbBiezaca = new QRadioButton(QStringLiteral("Bieżąca"), gbZakres);
    rbBiezaca->setObjectName(QStringLiteral("rbBiezaca"));
    rbZZakresu = new QRadioButton(QStringLiteral("Z zakresu od:"), gbZakres);
    rbZZakresu->setObjectName(QStringLiteral("rbZZakresu"));
    udOd = new QSpinBox(gbZakres);
    udOd->setObjectName(QStringLiteral("udOd"));
    udOd->setRange(1, 1);
    udOd->setValue(1);
    lDo = new QLabel(QStringLiteral("do:"), gbZakres);
    lDo->setObjectName(QStringLiteral("lDo"));
    udDo = new QSpinBox(gbZakres);
    udDo->setObjectName(QStringLiteral("udDo"));
    udDo->setRange(1, 1);
    udDo->setValue(1);
    {
        // One row, each control as wide as its text needs in the font at
        // hand (a stand-in for MS Sans Serif is often wider) but no
        // narrower than drawn, with a gap before the next; the frame grows
        // to hold them.
        int x = 8;
        const auto place = [&x](QWidget* w, int width, int y, int height) {
            width = std::max(width, w->sizeHint().width());
            w->setGeometry(x, y, width, height);
            x += width + 6;
        };
        place(rbWszystkie, 74, 16, 20);
        place(rbBiezaca, 66, 16, 20);
        place(rbZZakresu, 100, 16, 20);
        place(udOd, 56, 14, 22);
        place(lDo, 22, 18, 16);
        place(udDo, 56, 14, 22);
        gbZakres->resize(std::max(gbZakres->width(), x + 2), gbZakres->height());
    }

    Panel2 = new QWidget(Panel1);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    btnOk = new QPushButton(QStringLiteral("Drukuj"), Panel2);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setGeometry(16, 11, 75, 25);
    btnOk->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("Odrzuć"), Panel2);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setGeometry(98, 11, 75, 25);
    btnCancel->setAutoDefault(false);

    connect(bPoprzednia, &QPushButton::clicked, this, [this] { bPoprzedniaClick(); });
    connect(bNastepna, &QPushButton::clicked, this, [this] { bNastepnaClick(); });
    connect(rbWszystkie, &QRadioButton::clicked, this, [this] { EnableRange(false); });
    connect(rbBiezaca, &QRadioButton::clicked, this, [this] { EnableRange(false); });
    connect(rbZZakresu, &QRadioButton::clicked, this, [this] { EnableRange(true); });
    connect(udOd, &QSpinBox::valueChanged, this, [this] { eOdChange(); });
    connect(udDo, &QSpinBox::valueChanged, this, [this] { eDoChange(); });
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    EnableRange(false);
    resizeEvent(nullptr);
}

TfrmPrint::~TfrmPrint() = default;

QString TfrmPrint::CaptionFor(int currentPage, int pageCount)
{
    return QStringLiteral("Podgląd wydruku: %1 strona z %2%3")
        .arg(currentPage)
        .arg(pageCount)
        .arg(pageCount == 1 ? QStringLiteral(" strony") : QStringLiteral(" stron"));
}

void TfrmPrint::UpdateCaption() { setWindowTitle(CaptionFor(CurrentPage, PageCount)); }

int TfrmPrint::RangeFrom() const { return udOd->value(); }
int TfrmPrint::RangeTo() const { return udDo->value(); }

void TfrmPrint::showEvent(QShowEvent* e)
{
    UpdateCaption();
    // The spin buttons' maximum follows the new document; a document without
    // pages still keeps 1..1 so the range never reads 0.
    const int top = std::max(1, PageCount);
    udOd->setMaximum(top);
    udDo->setMaximum(top);
    // The range controls are enabled exactly while the range is chosen, also
    // when that choice stands from the last showing.
    EnableRange(rbZZakresu->isChecked());
    // Centred on the screen of the main window, not over the window itself.
    QScreen* s = parentWidget() ? parentWidget()->screen() : screen();
    if (s)
        move(s->availableGeometry().center() - rect().center());
    // A screen lower or narrower than the dialog: the dialog is cut to the
    // screen's free area and its preview scrolls.
    FitWindowToScreen(this);
    QDialog::showEvent(e);
}

void TfrmPrint::resizeEvent(QResizeEvent* e)
{
    const int w = width();
    const int h = height();
    sbPolePodgladuWydruku->setGeometry(0, 0, w, std::max(0, h - PanelHeight));
    Panel1->setGeometry(0, std::max(0, h - PanelHeight), w, PanelHeight);
    Panel2->setGeometry(std::max(0, w - Panel2Width), 0, Panel2Width, PanelHeight);
    if (e)
        QDialog::resizeEvent(e);
}

void TfrmPrint::bPoprzedniaClick()
{
    if (CurrentPage < 2)
        return;
    --CurrentPage;
    UpdateCaption();
    PostPreviewRequest();
}

void TfrmPrint::bNastepnaClick()
{
    if (CurrentPage >= PageCount)
        return;
    ++CurrentPage;
    UpdateCaption();
    PostPreviewRequest();
}

void TfrmPrint::EnableRange(bool on)
{
    udOd->setEnabled(on);
    udDo->setEnabled(on);
}

void TfrmPrint::eOdChange()
{
    // The start of the range cannot pass its end.
    if (udOd->value() > udDo->value())
        udOd->setValue(udDo->value());
}

void TfrmPrint::eDoChange()
{
    // The end cannot fall before the start.
    if (udDo->value() < udOd->value())
        udDo->setValue(udOd->value());
}

void TfrmPrint::PostPreviewRequest()
{
    QObject* to = FReceiver ? FReceiver.data() : parent();
    if (to)
        QCoreApplication::postEvent(to, new QEvent(QEvent::Type(PreviewRequest)));
}
