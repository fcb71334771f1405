#include "reader/PanelWynikow.h"

#include "platform/QtText.h"
#include "search/Morfologia.h"

#include <QAbstractTextDocumentLayout>
#include <QCheckBox>
#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTextDocument>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <unordered_set>

using namespace szukanie;

namespace {

constexpr int RolaWyboru = Qt::UserRole;        // index into FWybory
constexpr int RolaHtml = Qt::UserRole + 1;      // the fragment with its words in bold
const QString Strzalka = QStringLiteral(" \u203A ");

// The fragment column: a line of rich text.
class TDelegatFragmentu : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* p, const QStyleOptionViewItem& opcje, const QModelIndex& indeks) const override
    {
        const QString html = indeks.data(RolaHtml).toString();
        if (html.isEmpty()) {
            QStyledItemDelegate::paint(p, opcje, indeks);
            return;
        }
        QStyleOptionViewItem o = opcje;
        initStyleOption(&o, indeks);
        o.text.clear();
        o.widget->style()->drawControl(QStyle::CE_ItemViewItem, &o, p, o.widget);
        QTextDocument d;
        d.setDefaultFont(o.font);
        d.setDocumentMargin(0);
        d.setHtml(html);
        p->save();
        p->setClipRect(o.rect);
        p->translate(o.rect.left() + 3, o.rect.top() + (o.rect.height() - d.size().height()) / 2);
        QAbstractTextDocumentLayout::PaintContext k;
        k.palette = o.palette;
        if (o.state & QStyle::State_Selected)
            k.palette.setColor(QPalette::Text, o.palette.color(QPalette::HighlightedText));
        d.documentLayout()->draw(p, k);
        p->restore();
    }
};

// The line around its first range, the ranges in bold.
QString fragment(const TLiniaWyniku& l)
{
    const auto& t = l.Trafienia.front();
    std::size_t wKontekscie = 0;
    const std::string kontekst = Kontekst(l.Tekst, t.Od, t.Dlugosc, 70, &wKontekscie);
    // Where the piece starts in the line; its "…" is one character.
    const bool wielokropek = !kontekst.empty() && kontekst[0] == '\x85';
    const std::size_t poczatek = t.Od - (wKontekscie - (wielokropek ? 1 : 0));
    QString html;
    std::size_t p = 0;   // in kontekst
    auto zwykly = [&](std::size_t do_) {
        if (do_ > p)
            html += toQString(kontekst.substr(p, do_ - p)).toHtmlEscaped();
        p = std::max(p, do_);
    };
    for (const auto& z : l.Trafienia) {
        if (z.Od < poczatek)
            continue;
        const std::size_t od = z.Od - poczatek + (wielokropek ? 1 : 0);
        if (od >= kontekst.size())
            break;
        const std::size_t dl = std::min(z.Dlugosc, kontekst.size() - od);
        zwykly(od);
        html += QStringLiteral("<b>") + toQString(kontekst.substr(od, dl)).toHtmlEscaped() + QStringLiteral("</b>");
        p = od + dl;
    }
    zwykly(kontekst.size());
    return html;
}

// "1 miejsce", "3 miejsca", "5 miejsc", "22 miejsca", "12 miejsc".
QString miejsca(int n)
{
    const int jednosci = n % 10, dziesiatki = n % 100;
    const char* slowo = n == 1 ? "miejsce"
                        : jednosci >= 2 && jednosci <= 4 && (dziesiatki < 12 || dziesiatki > 14) ? "miejsca"
                                                                                                 : "miejsc";
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(slowo));
}

// "w 1 dokumencie", "w 4 dokumentach".
QString wDokumentach(int n)
{
    return QStringLiteral("w %1 %2").arg(n).arg(n == 1 ? QStringLiteral("dokumencie") : QStringLiteral("dokumentach"));
}

} // namespace

TPanelWynikow::TPanelWynikow(QWidget* rodzic) : QWidget(rodzic)
{
    setObjectName(QStringLiteral("pWyniki"));
    auto* uklad = new QVBoxLayout(this);
    uklad->setContentsMargins(4, 4, 4, 4);
    uklad->setSpacing(4);
    auto* gora = new QHBoxLayout;
    auto* etykieta = new QLabel(QStringLiteral("Szukaj we wszystkich:"), this);
    eZapytanie = new QLineEdit(this);
    eZapytanie->setObjectName(QStringLiteral("eSzukajWszedzie"));
    eZapytanie->setPlaceholderText(QStringLiteral("słowa (w każdej odmianie) albo \"dokładne wyrażenie\""));
    etykieta->setBuddy(eZapytanie);
    cbDokladnie = new QCheckBox(QStringLiteral("Tylko te formy wyrazów"), this);
    cbDokladnie->setObjectName(QStringLiteral("cbDokladnie"));
    cbDokladnie->setToolTip(QStringLiteral("Szuka wyrazów dokładnie w podanej formie, bez ich odmian"));
    bSzukaj = new QPushButton(QStringLiteral("Szukaj"), this);
    bSzukaj->setObjectName(QStringLiteral("bSzukajWszedzie"));
    gora->addWidget(etykieta);
    gora->addWidget(eZapytanie, 1);
    gora->addWidget(cbDokladnie);
    gora->addWidget(bSzukaj);
    uklad->addLayout(gora);
    lStan = new QLabel(this);
    lStan->setObjectName(QStringLiteral("lStanSzukania"));
    uklad->addWidget(lStan);
    tvWyniki = new QTreeWidget(this);
    tvWyniki->setObjectName(QStringLiteral("tvWyniki"));
    tvWyniki->setColumnCount(2);
    tvWyniki->setHeaderLabels({QStringLiteral("Miejsce"), QStringLiteral("Fragment")});
    tvWyniki->setItemDelegateForColumn(1, new TDelegatFragmentu(tvWyniki));
    tvWyniki->setUniformRowHeights(true);
    tvWyniki->header()->setStretchLastSection(true);
    tvWyniki->setColumnWidth(0, 260);
    uklad->addWidget(tvWyniki, 1);

    connect(eZapytanie, &QLineEdit::returnPressed, this, &TPanelWynikow::Szukaj);
    connect(bSzukaj, &QPushButton::clicked, this, [this] {
        if (FTrwa)
            Przerwij();
        else
            Szukaj();
    });
    connect(tvWyniki, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* w) { Wybrano(w); });
    connect(tvWyniki, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* w) { Wybrano(w); });
}

TPanelWynikow::~TPanelWynikow()
{
    Zatrzymaj();
}

void TPanelWynikow::UstawBiblioteki(std::vector<std::shared_ptr<TBiblioteka>> biblioteki)
{
    Zatrzymaj();
    FBiblioteki = std::move(biblioteki);
}

void TPanelWynikow::Zatrzymaj()
{
    if (FPrzerwij)
        FPrzerwij->store(true);
    if (FWatek.joinable())
        FWatek.join();
}

void TPanelWynikow::Przerwij()
{
    Zatrzymaj();
    if (FTrwa)
        Koniec(true);
}

void TPanelWynikow::Szukaj()
{
    Zatrzymaj();
    tvWyniki->clear();
    FWybory.clear();
    FWierszy = 0;
    FDokumentow = 0;
    const TZapytanie zapytanie = RozbierzZapytanie(fromQString(eZapytanie->text()), cbDokladnie->isChecked());
    if (zapytanie.Pusty()) {
        FTrwa = false;
        lStan->setText(QStringLiteral("Wpisz słowa do znalezienia."));
        return;
    }
    if (OnBiblioteki)
        FBiblioteki = OnBiblioteki();
    ++FNumer;
    const unsigned numer = FNumer;
    FTrwa = true;
    FStart = QDateTime::currentMSecsSinceEpoch();
    bSzukaj->setText(QStringLiteral("Przerwij"));
    lStan->setText(QStringLiteral("Szukanie…"));
    FPrzerwij = std::make_shared<std::atomic<bool>>(false);
    auto przerwij = FPrzerwij;
    auto biblioteki = FBiblioteki;
    FWatek = std::thread([this, numer, zapytanie, przerwij, biblioteki] {
        const TDostawcaMorfologii morfologia = [] { return TMorfologia::Wspolna(); };
        bool przerwane = false;
        std::unordered_set<std::string> wczesniejsze;   // documents of the libraries before
        for (std::size_t b = 0; b < biblioteki.size() && !przerwij->load(); ++b) {
            TBiblioteka& bib = *biblioteki[b];
            if (!bib.Gotowa() && !bib.Przygotuj(morfologia))
                continue;
            const auto pomin = wczesniejsze;
            for (const TDokumentBiblioteki& d : bib.Dokumenty())
                wczesniejsze.insert(d.Nazwa);
            const bool calosc = bib.Szukaj(
                zapytanie, morfologia,
                [&](TWynikDokumentu&& d) {
                    auto wynik = std::make_shared<TWynikDokumentu>(std::move(d));
                    QMetaObject::invokeMethod(
                        this, [this, numer, b, wynik] {
                            if (numer == FNumer)
                                Dodaj(b, std::move(*wynik));
                        },
                        Qt::QueuedConnection);
                    return !przerwij->load();
                },
                przerwij.get(), 0, &pomin);
            przerwane = przerwane || !calosc;
        }
        QMetaObject::invokeMethod(
            this, [this, numer, przerwane] {
                if (numer == FNumer && FTrwa)
                    Koniec(przerwane);
            },
            Qt::QueuedConnection);
    });
}

void TPanelWynikow::Dodaj(std::size_t biblioteka, TWynikDokumentu&& d)
{
    if (FWierszy >= NajwiecejWierszy) {
        if (FPrzerwij)
            FPrzerwij->store(true);
        return;
    }
    const QString nazwa = toQString(d.Dokument.Nazwa);
    auto* grupa = new QTreeWidgetItem(tvWyniki);
    grupa->setFirstColumnSpanned(false);
    QFont f = grupa->font(0);
    f.setBold(true);
    grupa->setFont(0, f);
    int ile = 0;
    for (TLiniaWyniku& l : d.Linie) {
        if (FWierszy >= NajwiecejWierszy)
            break;
        QString miejsce = nazwa;
        if (l.Przypis)
            miejsce += Strzalka + QStringLiteral("przypis %1").arg(l.NumerPrzypisu);
        if (!l.Jednostka.empty())
            miejsce += (l.Przypis ? QStringLiteral(" (") : Strzalka) + toQString(l.Jednostka) +
                       (l.Przypis ? QStringLiteral(")") : QString());
        auto* w = new QTreeWidgetItem(grupa);
        w->setText(0, miejsce);
        w->setData(1, RolaHtml, fragment(l));
        w->setToolTip(1, toQString(l.Tekst));
        w->setData(0, RolaWyboru, int(FWybory.size()));
        std::vector<std::string> slowa;
        for (const auto& z : l.Trafienia)
            slowa.push_back(l.Tekst.substr(z.Od, z.Dlugosc));
        FWybory.push_back(
            {biblioteka, d.Dokument, l.Przypis, l.NumerPrzypisu, l.Linia, std::move(l.Trafienia), std::move(slowa)});
        ++FWierszy;
        ++ile;
    }
    grupa->setText(0, nazwa + QStringLiteral(" (%1)").arg(ile));
    grupa->setExpanded(true);
    ++FDokumentow;
    lStan->setText(QStringLiteral("Szukanie… ") + miejsca(FWierszy) + QLatin1Char(' ') + wDokumentach(FDokumentow));
}

void TPanelWynikow::Koniec(bool przerwane)
{
    FTrwa = false;
    bSzukaj->setText(QStringLiteral("Szukaj"));
    const double sekundy = double(QDateTime::currentMSecsSinceEpoch() - FStart) / 1000.0;
    QString t;
    if (FWierszy == 0)
        t = przerwane ? QStringLiteral("Przerwano; nic nie znaleziono.") : QStringLiteral("Nie znaleziono.");
    else
        t = QStringLiteral("Znaleziono ") + miejsca(FWierszy) + QLatin1Char(' ') + wDokumentach(FDokumentow) +
            QStringLiteral(" (%1 s)").arg(QLocale(QLocale::Polish).toString(sekundy, 'f', 2));
    if (FWierszy >= NajwiecejWierszy)
        t += QStringLiteral("; pokazano pierwsze %1 — zawęź pytanie").arg(NajwiecejWierszy);
    else if (przerwane && FWierszy > 0)
        t += QStringLiteral("; przerwano");
    lStan->setText(t);
}

void TPanelWynikow::Wybrano(QTreeWidgetItem* w)
{
    if (!w || !w->parent())
        return;
    const int n = w->data(0, RolaWyboru).toInt();
    if (n >= 0 && std::size_t(n) < FWybory.size() && OnWybor)
        OnWybor(FWybory[std::size_t(n)]);
}

bool TPanelWynikow::Wybierz(int n)
{
    for (int g = 0; g < tvWyniki->topLevelItemCount(); ++g) {
        QTreeWidgetItem* grupa = tvWyniki->topLevelItem(g);
        if (n < grupa->childCount()) {
            tvWyniki->setCurrentItem(grupa->child(n));
            Wybrano(grupa->child(n));
            return true;
        }
        n -= grupa->childCount();
    }
    return false;
}
