#pragma once
// The company's and the maker's logos with their web addresses under them,
// as the main window's opening panel and the About box show them. A click on
// a logo or on its address opens the site. An address turns red under the
// pointer (and after a click) and green again once the pointer is over the
// panel around it.
#include <QObject>
#include <QSize>

class QEvent;
class QLabel;
class QWidget;

// Where the two logos and the two addresses stand on their panel.
struct TUkladLaczy {
    QSize Logo;
    int GoraLogo = 0;
    int LogoFirmyX = 0;
    int LogoTworcyX = 0;
    QSize Adres;
    int GoraAdresu = 0;
    int AdresFirmyX = 0;
    int AdresTworcyX = 0;
    // Height of the addresses' underlined font, in pixels.
    int CzcionkaAdresu = 11;
};

class TLaczaFirm : public QObject {
public:
    // The four labels are children of `panel`, which also owns this object.
    TLaczaFirm(QWidget* panel, const TUkladLaczy& uklad);

    // A move of the pointer over `tlo` turns both addresses green.
    void DodajTlo(QWidget* tlo);

    void OtworzFirme();
    void OtworzTworce();

    QLabel* iMardovelt = nullptr;
    QLabel* lMardoveltpl = nullptr;
    QLabel* iBrovank = nullptr;
    QLabel* lBrovankpl = nullptr;

protected:
    bool eventFilter(QObject* obj, QEvent* e) override;

private:
    void Zazielen();
};
