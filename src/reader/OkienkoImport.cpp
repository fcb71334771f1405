// The libraries the window reads, and "Pliki" > "Dodaj akt...": an official
// consolidated text imported and packed into the user's own library on a
// worker thread, with the gauge showing the pages read and a report at the
// end. A failed import changes nothing.
#include "reader/Okienko.h"

#include "import/BibliotekaUzytkownika.h"
#include "import/Import.h"
#include "platform/QtText.h"
#include "platform/core/Cp1250.h"
#include "widgets/PageExtControl.h"
#include "widgets/ProgressGauge.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QThread>
#include <QTimer>

#include <algorithm>

struct TfLumesta::TImport {
    QString plik;
    std::filesystem::path katalog;  // the user's library it goes into
    importer::Result wynik;
    importer::PreparedAddition przygotowane;
    bool przygotowano = false;
    std::string blad;  // of the packing
};

namespace {

std::string cp(const QString& s)
{
    return cp1250::fromUtf8(s.toStdString());
}

QString polishSummary(const importer::Result& r)
{
    const importer::Summary& s = r.summary;
    const QString postac = s.form == "Journal of Laws consolidated text" ? QStringLiteral("tekst jednolity z Dziennika Ustaw")
                           : s.form == "Sejm unified text"              ? QStringLiteral("tekst ujednolicony Kancelarii Sejmu")
                                                                        : QStringLiteral("tekst aktu");
    const QString wejscie = s.input == "PDF" ? QStringLiteral("PDF") : QStringLiteral("tekst z pliku PDF");
    QString t = QStringLiteral("Akt: %1\nPostać: %2 (%3), stron: %4\n")
                    .arg(QString::fromStdString(r.name), postac, wejscie)
                    .arg(s.pages);
    t += QStringLiteral("Artykułów: %1, innych jednostek: %2, nagłówków: %3, przypisów: %4\n")
             .arg(s.articles)
             .arg(s.otherUnits)
             .arg(s.headings)
             .arg(s.footnotes);
    t += QStringLiteral("Pominięte wiersze: nagłówki i stopki stron %1, przed tekstem aktu %2\n")
             .arg(s.furnitureLines)
             .arg(s.frontMatterLines);
    t += QStringLiteral("Ostrzeżeń: %1").arg(r.warnings.size());
    return t;
}

} // namespace

namespace {

// A user's library needs somewhere to be; without a data home it holds
// nothing (an empty folder is never searched).
std::filesystem::path slownikUzytkownika(const std::filesystem::path& katalog)
{
    return katalog.empty() ? std::filesystem::path() : katalog / "Morvitane.sko";
}

std::filesystem::path daneUzytkownika(const std::filesystem::path& katalog)
{
    return katalog.empty() ? std::filesystem::path() : katalog / "Lumesta" / "";
}

} // namespace

void TfLumesta::UtworzBiblioteki()
{
    biblioteki.clear();
    biblioteka->Wyczysc();
    biblioteka->Dodaj(slownikUzytkownika(sKatalogUzytkownika), daneUzytkownika(sKatalogUzytkownika));
    biblioteka->Dodaj(sKatalogProgramu / "Morvitane.sko",
                      sKatalogDanych.empty() ? sKatalogProgramu / "Lumesta" / "" : sKatalogDanych);
    // The installed program finds its library under share/; a program run
    // from its build or unpacked folder finds its own first.
    std::error_code blad;
    if (!sKatalogInstalacji.empty() && !std::filesystem::equivalent(sKatalogInstalacji, sKatalogProgramu, blad))
        biblioteka->Dodaj(sKatalogInstalacji / "Morvitane.sko", sKatalogInstalacji / "Lumesta" / "");
}

void TfLumesta::UstawKatalogUzytkownika(const std::filesystem::path& katalog)
{
    sKatalogUzytkownika = katalog;
    PrzeladujBiblioteki();
}

void TfLumesta::PrzeladujBiblioteki()
{
    const TListaNapisow stare = nazwyKodeksow;
    // The library search reads its libraries afresh too.
    biblioteki.clear();
    // Only the user's library changes; the bundled one keeps its dictionary.
    if (biblioteka->Liczba() > BibliotekaUzytkownika)
        biblioteka->Zastap(BibliotekaUzytkownika, slownikUzytkownika(sKatalogUzytkownika),
                           daneUzytkownika(sKatalogUzytkownika));
    else
        UtworzBiblioteki();
    WczytajSpisKodeksow();
    // Open codes keep their tab groups, now at the rows their names have.
    auto nowyNumer = [&](int numer) {
        if (numer < 0 || numer >= PierwszyNumerDziennika || std::size_t(numer) >= stare.size())
            return numer;
        const auto it = std::find(nazwyKodeksow.begin(), nazwyKodeksow.end(), stare[std::size_t(numer)]);
        return it == nazwyKodeksow.end() ? -1 : int(it - nazwyKodeksow.begin());
    };
    for (TSpisZakladki& s : spisyZakladek)
        s.NumerKodeksu = nowyNumer(s.NumerKodeksu);
    for (TOknoPrzypisu& o : oknaPrzypisow)
        o.NumerKodeksu = nowyNumer(o.NumerKodeksu);
    OdswiezListy(true);
}

void TfLumesta::DodajAktClick()
{
    if (ImportTrwa()) {
        komunikaty->Komunikat(cp(QStringLiteral("Poprzedni akt jest jeszcze dodawany; zaczekaj, aż się skończy.")));
        return;
    }
    QString plik;
    if (!dialogOtwarcia || !dialogOtwarcia(plik) || plik.isEmpty())
        return;
    ImportujAkt(plik);
}

bool TfLumesta::ImportTrwa() const
{
    return FWatekImportu != nullptr;
}

bool TfLumesta::ImportujAkt(const QString& plik)
{
    if (ImportTrwa())
        return false;
    if (sKatalogUzytkownika.empty()) {
        komunikaty->Komunikat(cp(QStringLiteral("Nie ma gdzie zapisać dodanych aktów: system nie wskazuje katalogu "
                                                "danych użytkownika.")));
        return false;
    }
    auto zadanie = std::make_shared<TImport>();
    zadanie->plik = plik;
    zadanie->katalog = sKatalogUzytkownika;
    FImport = zadanie;
    FPrzerwijImport = false;
    Dodajakt1->setEnabled(false);

    tZegar->stop();
    lWczytywanie->setText(QStringLiteral("Import"));
    lWczytywanie->show();
    gWczytywanie->show();
    gWczytywanie->SetMaxValue(1);
    gWczytywanie->SetProgress(0);

    FWatekImportu = QThread::create([this, zadanie] {
        importer::Options opcje;
        opcje.progress = [this](int zrobione, int wszystkie) {
            QMetaObject::invokeMethod(
                this,
                [this, zrobione, wszystkie] {
                    gWczytywanie->SetMaxValue(std::max(1, wszystkie));
                    gWczytywanie->SetProgress(zrobione);
                },
                Qt::QueuedConnection);
        };
        opcje.stopped = [this] { return FPrzerwijImport.load(); };
        zadanie->wynik = importer::importFile(std::filesystem::path(zadanie->plik.toStdString()), opcje);
        if (!zadanie->wynik.ok || FPrzerwijImport)
            return;
        QMetaObject::invokeMethod(
            this, [this] { lWczytywanie->setText(QStringLiteral("Pakowanie")); }, Qt::QueuedConnection);
        const importer::UserLibrary biblioteka{zadanie->katalog};
        zadanie->przygotowano =
            importer::prepareAddition(biblioteka, zadanie->wynik.source, zadanie->przygotowane, zadanie->blad);
    });
    FWatekImportu->setObjectName(QStringLiteral("ImportAktu"));
    connect(FWatekImportu, &QThread::finished, this, [this, zadanie] { ImportZakonczony(zadanie); });
    FWatekImportu->start();
    return true;
}

void TfLumesta::CzekajNaImport()
{
    if (FWatekImportu)
        FWatekImportu->wait();
    if (FImport)
        ImportZakonczony(FImport);
}

void TfLumesta::ImportZakonczony(std::shared_ptr<TImport> zadanie)
{
    // Handled once: by the thread's end, or by whoever waited for it.
    if (!zadanie || zadanie != FImport)
        return;
    FImport.reset();
    if (FWatekImportu) {
        FWatekImportu->wait();
        FWatekImportu->deleteLater();
        FWatekImportu = nullptr;
    }
    Dodajakt1->setEnabled(true);
    gWczytywanie->SetProgress(gWczytywanie->MaxValue());
    tZegar->start();

    const importer::Result& r = zadanie->wynik;
    const QString naglowek = QStringLiteral("Nie można dodać aktu z pliku:\n") + zadanie->plik + QStringLiteral("\n\n");
    if (!r.ok) {
        komunikaty->Komunikat(cp(naglowek + QString::fromStdString(r.error)));
        return;
    }
    if (!zadanie->przygotowano) {
        komunikaty->Komunikat(cp(naglowek + QString::fromStdString(zadanie->blad)));
        return;
    }
    std::string blad;
    if (!importer::commitAddition(importer::UserLibrary{zadanie->katalog}, zadanie->przygotowane, blad)) {
        komunikaty->Komunikat(cp(naglowek + QString::fromStdString(blad)));
        return;
    }
    PrzeladujBiblioteki();

    QStringList ostrzezenia;
    for (const importer::Warning& w : r.warnings) {
        QString miejsce;
        if (w.page > 0)
            miejsce = w.line > 0 ? QStringLiteral("strona %1, wiersz %2: ").arg(w.page).arg(w.line)
                                 : QStringLiteral("strona %1: ").arg(w.page);
        ostrzezenia << miejsce + QString::fromStdString(w.message);
    }
    for (const packer::Problem& p : zadanie->przygotowane.warnings)
        ostrzezenia << QString::fromStdString(p.toString());
    QString podsumowanie = polishSummary(r);

    // The act opens, unless a tab shows it already (with the text it had).
    const std::string nazwa = cp(QString::fromStdString(r.name));
    const bool kodeks = r.name.rfind("Dz.U.", 0) != 0;
    const auto wiersz = std::find(nazwyKodeksow.begin(), nazwyKodeksow.end(), nazwa);
    bool otwarty = std::find(nazwyZakladek.begin(), nazwyZakladek.end(), nazwa) != nazwyZakladek.end();
    const int gdzie = kodeks ? -1 : biblioteka->GdzieDziennik(nazwa);
    std::string sciezka;
    if (gdzie >= 0) {
        sciezka = cp1250::fromUtf8(
            (biblioteka->Folder(std::size_t(gdzie)) / "Dzienniki Ustaw" / (r.name + ".txt")).string());
        otwarty = otwarty || std::find(nazwyZakladek.begin(), nazwyZakladek.end(), sciezka) != nazwyZakladek.end();
    }
    if (otwarty)
        podsumowanie += QStringLiteral("\n\nAkt jest otwarty w zakładce z poprzednim tekstem; zamknij ją i otwórz "
                                       "akt ponownie, aby zobaczyć nowy.");
    if (raportImportu)
        raportImportu(QStringLiteral("Dodano akt: ") + QString::fromStdString(r.name), podsumowanie, ostrzezenia);
    if (otwarty)
        return;
    if (kodeks && wiersz != nazwyKodeksow.end()) {
        clbSpisKodeksow->setCurrentRow(int(wiersz - nazwyKodeksow.begin()));
        tvSpisKodeksowClick();
    } else if (!sciezka.empty()) {
        OtworzWZakladce(sciezka, false);
        UstawPrzypisyZakladki();
        if (pecTablica)
            pecTablica->show();
    }
}
