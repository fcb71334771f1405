#include "reader/LaczaFirm.h"

#include "platform/DrawnPicture.h"
#include "reader/Adresy.h"
#include "reader/OLumesta.h"
#include "reader/Obrazki.h"
#include "reader/Wyglad.h"

#include <QLabel>
#include <QMouseEvent>
#include <QUrl>

TLaczaFirm::TLaczaFirm(QWidget* panel, const TUkladLaczy& uklad) : QObject(panel)
{
    // The logos are drawn for the pixel ratio of the screen they are on.
    const auto logo = [&](const char* nazwa, const TPictureMaker& obraz, int x) {
        auto* l = new TDrawnPicture(obraz, uklad.Logo, panel);
        l->setObjectName(QString::fromLatin1(nazwa));
        l->setGeometry(QRect(QPoint(x, uklad.GoraLogo), uklad.Logo));
        l->setCursor(Qt::PointingHandCursor);
        l->installEventFilter(this);
        return l;
    };
    QFont czcionka = czcionkaFormularza();
    czcionka.setPixelSize(uklad.CzcionkaAdresu);
    czcionka.setUnderline(true);
    const auto adres = [&](const char* nazwa, const char* tekst, int x) {
        auto* l = new QLabel(QString::fromLatin1(tekst), panel);
        l->setObjectName(QString::fromLatin1(nazwa));
        l->setFont(czcionka);
        l->setAlignment(Qt::AlignCenter);
        l->setGeometry(QRect(QPoint(x, uklad.GoraAdresu), uklad.Adres));
        l->setCursor(Qt::PointingHandCursor);
        l->setMouseTracking(true);
        l->installEventFilter(this);
        ustawKolorTekstu(l, clGreen);
        return l;
    };
    iMardovelt = logo("iMardovelt", obrazki::logoFirmy, uklad.LogoFirmyX);
    lMardoveltpl = adres("lMardoveltpl", adresy::AdresFirmy, uklad.AdresFirmyX);
    iBrovank = logo("iBrovank", obrazki::logoTworcy, uklad.LogoTworcyX);
    lBrovankpl = adres("lBrovankpl", adresy::AdresTworcy, uklad.AdresTworcyX);
    DodajTlo(panel);
}

void TLaczaFirm::DodajTlo(QWidget* tlo)
{
    tlo->setMouseTracking(true);
    tlo->installEventFilter(this);
}

void TLaczaFirm::OtworzFirme()
{
    pomoc::OtworzAdres(QUrl(QString::fromLatin1(adresy::StronaFirmy)));
    ustawKolorTekstu(lMardoveltpl, clRed);
}

void TLaczaFirm::OtworzTworce()
{
    pomoc::OtworzAdres(QUrl(QString::fromLatin1(adresy::StronaTworcy)));
    ustawKolorTekstu(lBrovankpl, clRed);
}

void TLaczaFirm::Zazielen()
{
    ustawKolorTekstu(lMardoveltpl, clGreen);
    ustawKolorTekstu(lBrovankpl, clGreen);
}

bool TLaczaFirm::eventFilter(QObject* obj, QEvent* e)
{
    if (e->type() == QEvent::MouseMove) {
        // An address keeps its own move: passed on to the panel under it,
        // the move would turn it green again at once.
        if (obj == lMardoveltpl || obj == lBrovankpl) {
            ustawKolorTekstu(static_cast<QLabel*>(obj), clRed);
            return true;
        }
        Zazielen();
    } else if (e->type() == QEvent::MouseButtonRelease &&
               static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) {
        if (obj == lMardoveltpl || obj == iMardovelt) {
            OtworzFirme();
            return true;
        }
        if (obj == lBrovankpl || obj == iBrovank) {
            OtworzTworce();
            return true;
        }
    }
    return QObject::eventFilter(obj, e);
}
