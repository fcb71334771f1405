// The main window's zoom of the documents and the keys and wheel of the
// document views: Ctrl with the wheel or with +, = , - and 0 scales the text
// of every document and footnote window, and Page Down / Page Up move by a
// window's height less one line.
#include "reader/Okienko.h"

#include "reader/Powiekszenie.h"
#include "view/DocView.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QWheelEvent>

#include <algorithm>

namespace {

// Wheel turns are counted in eighths of a degree; one notch is 15 degrees.
constexpr int JedenZabek = 120;

} // namespace

void TfLumesta::UtworzMenuPowiekszenia()
{
    Powiekszenie1 = Widok1->addMenu(QStringLiteral("&Powiększenie"));
    Powiekszenie1->setObjectName(QStringLiteral("Powiekszenie1"));
    Powieksz1 = new QAction(QStringLiteral("&Powiększ"), this);
    Powieksz1->setObjectName(QStringLiteral("Powieksz1"));
    // Ctrl+= as well: on most keyboards "+" needs Shift.
    Powieksz1->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    Pomniejsz1 = new QAction(QStringLiteral("P&omniejsz"), this);
    Pomniejsz1->setObjectName(QStringLiteral("Pomniejsz1"));
    Pomniejsz1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus));
    RozmiarOryginalny1 = new QAction(QStringLiteral("&Rozmiar oryginalny"), this);
    RozmiarOryginalny1->setObjectName(QStringLiteral("RozmiarOryginalny1"));
    RozmiarOryginalny1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    Powiekszenie1->addAction(Powieksz1);
    Powiekszenie1->addAction(Pomniejsz1);
    Powiekszenie1->addSeparator();
    Powiekszenie1->addAction(RozmiarOryginalny1);
    connect(Powieksz1, &QAction::triggered, this, &TfLumesta::PowiekszClick);
    connect(Pomniejsz1, &QAction::triggered, this, &TfLumesta::PomniejszClick);
    connect(RozmiarOryginalny1, &QAction::triggered, this, &TfLumesta::RozmiarOryginalnyClick);
}

void TfLumesta::PowiekszClick() { UstawPowiekszenie(NastepnePowiekszenie(FPowiekszenie, 1)); }

void TfLumesta::PomniejszClick() { UstawPowiekszenie(NastepnePowiekszenie(FPowiekszenie, -1)); }

void TfLumesta::RozmiarOryginalnyClick() { UstawPowiekszenie(100); }

void TfLumesta::UstawPowiekszenie(int procent)
{
    procent = std::clamp(procent, NajmniejszePowiekszenie, NajwiekszePowiekszenie);
    if (procent != FPowiekszenie) {
        FPowiekszenie = procent;
        // The current document is laid out again at once; the others when
        // they are next shown.
        for (int i = 0; i < LiczbaZakladek(); ++i)
            if (TDocView* v = Widok(i))
                v->SetZoom(procent);
        for (const TOknoPrzypisu& slot : oknaPrzypisow)
            if (slot.Okno)
                slot.Okno->dvPrzypis->SetZoom(procent);
    }
    OdswiezPowiekszenie();
}

void TfLumesta::OdswiezPowiekszenie()
{
    if (sbPowiekszenie)
        sbPowiekszenie->setText(QStringLiteral("%1%").arg(FPowiekszenie));
    if (Powieksz1)
        Powieksz1->setEnabled(FPowiekszenie < NajwiekszePowiekszenie);
    if (Pomniejsz1)
        Pomniejsz1->setEnabled(FPowiekszenie > NajmniejszePowiekszenie);
}

void TfLumesta::PodlaczWidok(TDocView* widok, bool dokument)
{
    widok->SetZoom(FPowiekszenie);
    // The wheel reaches the view's viewport, keys the view itself.
    widok->viewport()->installEventFilter(this);
    widok->installEventFilter(this);
    if (dokument) {
        FWidokiDokumentow.insert(widok);
        connect(widok, &QObject::destroyed, this, [this, widok] { FWidokiDokumentow.erase(widok); });
    }
}

namespace {

// Ctrl with "+", "=", "-" or "0": `kierunek` is +1, -1, or 0 for the
// original size.
bool KlawiszPowiekszenia(const QKeyEvent& k, int& kierunek)
{
    // Shift may be needed for "+", and the keypad gives its own flag.
    const Qt::KeyboardModifiers m = k.modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    if (m != Qt::ControlModifier)
        return false;
    switch (k.key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        kierunek = 1;
        return true;
    case Qt::Key_Minus:
        kierunek = -1;
        return true;
    case Qt::Key_0:
        kierunek = 0;
        return true;
    default:
        return false;
    }
}

} // namespace

bool TfLumesta::ObsluzWidok(QObject* obj, QEvent* e)
{
    if (e->type() == QEvent::Wheel) {
        auto* w = static_cast<QWheelEvent*>(e);
        if (!(w->modifiers() & Qt::ControlModifier) || !qobject_cast<TDocView*>(obj->parent()))
            return false;
        // Fine-grained wheels send parts of a notch: they add up to a step.
        FResztaKolka += w->angleDelta().y();
        const int kroki = FResztaKolka / JedenZabek;
        FResztaKolka -= kroki * JedenZabek;
        if (kroki != 0)
            UstawPowiekszenie(NastepnePowiekszenie(FPowiekszenie, kroki));
        w->accept();
        return true;
    }
    if (e->type() == QEvent::KeyPress) {
        auto* widok = qobject_cast<TDocView*>(obj);
        auto* k = static_cast<QKeyEvent*>(e);
        if (!widok)
            return false;
        // What the zoom shortcuts did not take: the keys in a footnote
        // window (a window of its own, out of their reach) and the keypad's.
        if (int kierunek = 0; KlawiszPowiekszenia(*k, kierunek)) {
            if (kierunek == 0)
                RozmiarOryginalnyClick();
            else
                UstawPowiekszenie(NastepnePowiekszenie(FPowiekszenie, kierunek));
            return true;
        }
        if ((k->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier || !FWidokiDokumentow.count(widok))
            return false;
        if (k->key() == Qt::Key_PageDown || k->key() == Qt::Key_PageUp) {
            PrzewinStrone(widok, k->key() == Qt::Key_PageDown ? 1 : -1);
            return true;
        }
    }
    return false;
}

void TfLumesta::PrzewinStrone(TDocView* widok, int kierunek)
{
    if (!widok)
        return;
    // A window's height less one line of body text, in whole scroll units
    // (rounded down, so that the line kept in sight is never lost).
    const int jednostka = std::max(1, widok->ScrollUnit());
    const int linia = widok->LineHeight(0);
    const int krok = std::max(1, (widok->ClientHeight() - linia) / jednostka);
    widok->VScrollTo(widok->VPos() + kierunek * krok);
}
