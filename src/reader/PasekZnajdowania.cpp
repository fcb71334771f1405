#include "reader/PasekZnajdowania.h"

#include "platform/QtText.h"
#include "view/DocView.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include <algorithm>

namespace {

// A view holding more places than this shows the first ones highlighted
// only: painting stays quick, and nobody reads a hundred thousand marks.
constexpr std::size_t NajwiecejPodswietlen = 200000;

QToolButton* przycisk(QWidget* rodzic, const char* nazwa, const QString& tekst, const QString& podpowiedz)
{
    auto* b = new QToolButton(rodzic);
    b->setObjectName(QString::fromLatin1(nazwa));
    b->setText(tekst);
    b->setToolTip(podpowiedz);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

} // namespace

TPasekZnajdowania::TPasekZnajdowania(QWidget* rodzic) : QWidget(rodzic)
{
    setObjectName(QStringLiteral("pZnajdz"));
    auto* uklad = new QHBoxLayout(this);
    uklad->setContentsMargins(4, 2, 4, 2);
    uklad->setSpacing(4);
    auto* etykieta = new QLabel(QStringLiteral("Znajdź:"), this);
    eTekst = new QLineEdit(this);
    eTekst->setObjectName(QStringLiteral("eZnajdz"));
    eTekst->setClearButtonEnabled(true);
    eTekst->setMinimumWidth(160);
    eTekst->installEventFilter(this);
    etykieta->setBuddy(eTekst);
    bPoprzedni = przycisk(this, "bPoprzedni", QStringLiteral("▲"), QStringLiteral("Poprzednie (Shift+F3)"));
    bNastepny = przycisk(this, "bNastepny", QStringLiteral("▼"), QStringLiteral("Następne (F3)"));
    lLicznik = new QLabel(this);
    lLicznik->setObjectName(QStringLiteral("lLicznik"));
    lLicznik->setMinimumWidth(90);
    cbPolskieZnaki = new QCheckBox(QStringLiteral("Uwzględniaj polskie znaki"), this);
    cbPolskieZnaki->setObjectName(QStringLiteral("cbPolskieZnaki"));
    cbPolskieZnaki->setFocusPolicy(Qt::NoFocus);
    bZamknij = przycisk(this, "bZamknijZnajdz", QStringLiteral("✕"), QStringLiteral("Zamknij (Esc)"));
    uklad->addWidget(etykieta);
    uklad->addWidget(eTekst, 1);
    uklad->addWidget(bPoprzedni);
    uklad->addWidget(bNastepny);
    uklad->addWidget(lLicznik);
    uklad->addWidget(cbPolskieZnaki);
    uklad->addStretch(0);
    uklad->addWidget(bZamknij);

    connect(eTekst, &QLineEdit::textChanged, this, [this] { Szukaj(); });
    connect(cbPolskieZnaki, &QCheckBox::toggled, this, [this] { Szukaj(); });
    connect(bNastepny, &QToolButton::clicked, this, &TPasekZnajdowania::Nastepny);
    connect(bPoprzedni, &QToolButton::clicked, this, &TPasekZnajdowania::Poprzedni);
    connect(bZamknij, &QToolButton::clicked, this, &TPasekZnajdowania::Zamknij);
    hide();
}

void TPasekZnajdowania::UstawWidok(TDocView* widok)
{
    if (FWidok == widok)
        return;
    // The bar's highlights go with it; a closed bar leaves a view's own
    // (a search result's words) alone.
    if (FWidok && isVisible())
        FWidok->ClearHighlights();
    FWidok = widok;
    FNieaktualne = true;
    FMiejsca.clear();
    FBiezace = -1;
    if (isVisible())
        Szukaj();
    else
        UstawLicznik();
}

void TPasekZnajdowania::Odswiez()
{
    FNieaktualne = true;
    if (isVisible())
        Szukaj();
}

void TPasekZnajdowania::Otworz()
{
    const bool bylOtwarty = isVisible();
    show();
    eTekst->setFocus(Qt::ShortcutFocusReason);
    eTekst->selectAll();
    if (!bylOtwarty)
        Szukaj();
}

int TPasekZnajdowania::MiejscePrzyOknie() const
{
    if (!FWidok || FMiejsca.empty())
        return FMiejsca.empty() ? -1 : 0;
    // The first drawn line at the top of the window, and its item.
    const int y = FWidok->VPos() * FWidok->ScrollUnit();
    const auto& linie = FWidok->DrawLines();
    int element = 0;
    for (int i = FWidok->FindFirstVisibleLine(y); i < int(linie.size()); ++i)
        if (linie[std::size_t(i)].Info.Top + linie[std::size_t(i)].Info.Height > y) {
            element = linie[std::size_t(i)].Info.ItemNo;
            break;
        }
    for (std::size_t k = 0; k < FMiejsca.size(); ++k)
        if (FElementy[FMiejsca[k].Tekst] >= element)
            return int(k);
    return 0;
}

void TPasekZnajdowania::Szukaj()
{
    FMiejsca.clear();
    FBiezace = -1;
    if (!FWidok) {
        UstawLicznik();
        return;
    }
    if (FNieaktualne) {
        std::vector<std::string_view> teksty;
        FElementy.clear();
        const TItemList& elementy = FWidok->Items();
        for (std::size_t i = 0; i < elementy.size(); ++i)
            if (elementy[i].Info.StyleNo >= 0) {
                teksty.push_back(elementy[i].Text);
                FElementy.push_back(int(i));
            }
        FZnajdowanie = szukanie::TZnajdowanie(teksty);
        FNieaktualne = false;
    }
    const std::string wzorzec = fromQString(eTekst->text());
    if (!isVisible() || wzorzec.empty()) {
        FWidok->ClearHighlights();
        UstawLicznik();
        return;
    }
    FMiejsca = FZnajdowanie.Znajdz(wzorzec, cbPolskieZnaki->isChecked());
    std::vector<TDVHighlight> podswietlenia;
    podswietlenia.reserve(std::min(FMiejsca.size(), NajwiecejPodswietlen));
    for (std::size_t k = 0; k < FMiejsca.size() && k < NajwiecejPodswietlen; ++k)
        podswietlenia.push_back({FElementy[FMiejsca[k].Tekst], int(FMiejsca[k].Od), int(FMiejsca[k].Dlugosc)});
    FWidok->SetHighlights(std::move(podswietlenia));
    FBiezace = MiejscePrzyOknie();
    PokazBiezace();
}

void TPasekZnajdowania::PokazBiezace()
{
    UstawLicznik();
    if (!FWidok || FBiezace < 0 || FBiezace >= int(FMiejsca.size()))
        return;
    const szukanie::TMiejsce& m = FMiejsca[std::size_t(FBiezace)];
    const int element = FElementy[m.Tekst];
    FWidok->SelectItemRange(element, int(m.Od), int(m.Od + m.Dlugosc));
    FWidok->ShowItem(element, int(m.Od), false);
}

void TPasekZnajdowania::Nastepny()
{
    if (!isVisible()) {
        Otworz();
        return;
    }
    if (FMiejsca.empty())
        return;
    FBiezace = (FBiezace + 1) % int(FMiejsca.size());
    PokazBiezace();
}

void TPasekZnajdowania::Poprzedni()
{
    if (!isVisible()) {
        Otworz();
        return;
    }
    if (FMiejsca.empty())
        return;
    FBiezace = (FBiezace - 1 + int(FMiejsca.size())) % int(FMiejsca.size());
    PokazBiezace();
}

void TPasekZnajdowania::Zamknij()
{
    hide();
    if (FWidok) {
        FWidok->ClearHighlights();
        FWidok->setFocus(Qt::ShortcutFocusReason);
    }
}

QString TPasekZnajdowania::Licznik() const { return lLicznik->text(); }

void TPasekZnajdowania::UstawLicznik()
{
    QPalette p = eTekst->palette();
    p.setColor(QPalette::Base, palette().color(QPalette::Base));
    if (eTekst->text().isEmpty() || !FWidok) {
        lLicznik->clear();
    } else if (FMiejsca.empty()) {
        lLicznik->setText(QStringLiteral("Nie znaleziono"));
        p.setColor(QPalette::Base, QColor(0xFF, 0xDD, 0xDD));
    } else {
        lLicznik->setText(QStringLiteral("%1 z %2").arg(FBiezace + 1).arg(FMiejsca.size()));
    }
    eTekst->setPalette(p);
}

bool TPasekZnajdowania::eventFilter(QObject* obiekt, QEvent* e)
{
    if (obiekt == eTekst && e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        switch (k->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (k->modifiers() & Qt::ShiftModifier)
                Poprzedni();
            else
                Nastepny();
            return true;
        case Qt::Key_Escape:
            Zamknij();
            return true;
        case Qt::Key_F3:
            if (k->modifiers() & Qt::ShiftModifier)
                Poprzedni();
            else
                Nastepny();
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(obiekt, e);
}
