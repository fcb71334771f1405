#include "settings/Ustawienia.h"

#include "platform/core/Cp1250.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QVariant>

#include <algorithm>
#include <cstdint>

namespace {

// Limits that keep a foreign or hand-edited file from feeding the window
// absurd values.
constexpr int NajdluzszaNazwa = 1024;
constexpr int NajwiecejStylow = 64;
constexpr int NajwiekszyRozmiar = 4096;
constexpr qsizetype NajwiekszyStan = 64 * 1024;
constexpr int OstatniKolorSystemowy = 30;
constexpr int NajwiekszyPodzial = 100000;

std::optional<bool> logiczna(const QVariant& v)
{
    if (!v.isValid())
        return std::nullopt;
    const QString s = v.toString().trimmed().toLower();
    if (s == QLatin1String("true") || s == QLatin1String("1"))
        return true;
    if (s == QLatin1String("false") || s == QLatin1String("0"))
        return false;
    return std::nullopt;
}

std::optional<int> calkowita(const QVariant& v, int od, int doWlacznie)
{
    if (!v.isValid())
        return std::nullopt;
    bool ok = false;
    const qlonglong n = v.toString().trimmed().toLongLong(&ok);
    if (!ok || n < od || n > doWlacznie)
        return std::nullopt;
    return int(n);
}

QString napisKoloru(TColor k) { return QStringLiteral("%1").arg(std::uint32_t(k), 8, 16, QLatin1Char('0')).toUpper(); }

std::optional<TColor> kolor(const QVariant& v)
{
    if (!v.isValid())
        return std::nullopt;
    bool ok = false;
    const qulonglong n = v.toString().trimmed().toULongLong(&ok, 16);
    if (!ok || n > 0xFFFFFFFFull)
        return std::nullopt;
    const TColor k = TColor(std::uint32_t(n));
    if (!PoprawnyKolor(k))
        return std::nullopt;
    return k;
}

// A name as the program holds it (Windows-1250), or nothing when the stored
// text is empty, too long, holds control characters or has letters the code
// page lacks (such a name could never match a document).
std::optional<std::string> nazwa(const QVariant& v)
{
    if (!v.isValid())
        return std::nullopt;
    const QString s = v.toString();
    if (s.isEmpty() || s.size() > NajdluzszaNazwa)
        return std::nullopt;
    for (const QChar c : s)
        if (c.category() == QChar::Other_Control)
            return std::nullopt;
    bool wszystkie = false;
    std::string wynik = cp1250::fromUtf8(s.toStdString(), &wszystkie);
    if (!wszystkie)
        return std::nullopt;
    return wynik;
}

QString tekst(const std::string& cp1250Napis) { return QString::fromStdString(cp1250::toUtf8(cp1250Napis)); }

QByteArray stan(const QVariant& v)
{
    if (!v.isValid() || v.typeId() != QMetaType::QByteArray)
        return {};
    QByteArray b = v.toByteArray();
    return b.size() <= NajwiekszyStan ? b : QByteArray();
}

QString lista(const std::vector<int>& liczby)
{
    QStringList r;
    for (int x : liczby)
        r.append(QString::number(x));
    return r.join(QLatin1Char(','));
}

// The two pane sizes of a splitter; nothing unless both are sizes and one
// of them is not empty.
std::vector<int> podzial(const QVariant& v)
{
    const QStringList r = v.toString().split(QLatin1Char(','));
    if (r.size() != 2)
        return {};
    std::vector<int> w;
    for (const QString& x : r) {
        const auto n = calkowita(x, 0, NajwiekszyPodzial);
        if (!n)
            return {};
        w.push_back(*n);
    }
    if (w[0] + w[1] == 0)
        return {};
    return w;
}

std::optional<TCzcionkiDokumentow> czcionki(QSettings& s)
{
    const auto n = nazwa(s.value(QStringLiteral("Czcionka")));
    const auto k = kolor(s.value(QStringLiteral("KolorCzcionki")));
    const auto z = calkowita(s.value(QStringLiteral("ZestawZnakow")), 0, 255);
    const QStringList r = s.value(QStringLiteral("Rozmiary")).toString().split(QLatin1Char(','), Qt::SkipEmptyParts);
    if (!n || !k || !z || r.isEmpty() || r.size() > NajwiecejStylow)
        return std::nullopt;
    TCzcionkiDokumentow c;
    c.Nazwa = *n;
    c.Kolor = *k;
    c.ZestawZnakow = *z;
    for (const QString& x : r) {
        const auto rozmiar = calkowita(x, 1, NajwiekszyRozmiar);
        if (!rozmiar)
            return std::nullopt;
        c.Rozmiary.push_back(*rozmiar);
    }
    return c;
}

void sesja(QSettings& s, TUstawienia& u)
{
    if (const auto o = logiczna(s.value(QStringLiteral("OtwierajOstatnie"))))
        u.OtwierajOstatnie = *o;
    const int ile = std::clamp(s.beginReadArray(QStringLiteral("Zakladki")), 0, NajwiecejZakladekSesji);
    // Where each tab read lands among the tabs kept (a tab with an unusable
    // name is dropped, and the current one moves with the rest).
    std::vector<int> miejsce(std::size_t(ile), 0);
    for (int i = 0; i < ile; ++i) {
        s.setArrayIndex(i);
        miejsce[std::size_t(i)] = std::max(0, int(u.Zakladki.size()) - 1);
        const auto n = nazwa(s.value(QStringLiteral("Nazwa")));
        if (!n)
            continue;
        TZakladkaSesji z;
        z.Nazwa = *n;
        const auto e = calkowita(s.value(QStringLiteral("Element")), -1, INT32_MAX);
        const auto p = calkowita(s.value(QStringLiteral("Pozycja")), 0, INT32_MAX);
        if (e && p) {
            z.Element = *e;
            z.Pozycja = *p;
        }
        miejsce[std::size_t(i)] = int(u.Zakladki.size());
        u.Zakladki.push_back(std::move(z));
    }
    s.endArray();
    if (u.Zakladki.empty()) {
        u.BiezacaZakladka = -1;
        return;
    }
    // A bad or missing current tab makes the first one current.
    const auto b = calkowita(s.value(QStringLiteral("Biezaca")), 0, std::max(0, ile - 1));
    u.BiezacaZakladka = b ? miejsce[std::size_t(*b)] : 0;
}

} // namespace

bool PoprawnyKolor(TColor k)
{
    const auto u = std::uint32_t(k);
    if (u <= 0x00FFFFFFu)
        return true;
    return IsSystemColor(k) && (u & 0x00FFFFFFu) <= OstatniKolorSystemowy;
}

QString DomyslnyPlikUstawien()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Lumesta/Lumesta.conf");
}

TUstawienia WczytajUstawienia(const QString& plik)
{
    TUstawienia u;
    if (plik.isEmpty() || !QFileInfo(plik).isFile())
        return u;
    QSettings s(plik, QSettings::IniFormat);
    if (s.status() != QSettings::NoError)
        return u;

    s.beginGroup(QStringLiteral("Dokumenty"));
    u.Czcionki = czcionki(s);
    u.KolorTla = kolor(s.value(QStringLiteral("KolorTla")));
    if (const auto p = calkowita(s.value(QStringLiteral("Powiekszenie")), NajmniejszePowiekszenie,
                                 NajwiekszePowiekszenie))
        u.Powiekszenie = *p;
    s.endGroup();

    s.beginGroup(QStringLiteral("Okno"));
    u.GeometriaOkna = stan(s.value(QStringLiteral("Geometria")));
    u.StanOkna = stan(s.value(QStringLiteral("Stan")));
    u.PodzialPoziomy = podzial(s.value(QStringLiteral("PodzialPoziomy")));
    u.PodzialPionowy = podzial(s.value(QStringLiteral("PodzialPionowy")));
    if (const auto b = logiczna(s.value(QStringLiteral("SpisKodeksow"))))
        u.PokazSpisKodeksow = *b;
    if (const auto b = logiczna(s.value(QStringLiteral("SpisTresci"))))
        u.PokazSpisTresci = *b;
    if (const auto st = calkowita(s.value(QStringLiteral("StylPrzyciskow")), 0, 2))
        u.StylPrzyciskow = TStylPrzyciskow(*st);
    if (const auto b = logiczna(s.value(QStringLiteral("MaleWylaczniki"))))
        u.MaleWylaczniki = *b;
    s.endGroup();

    s.beginGroup(QStringLiteral("Sesja"));
    sesja(s, u);
    s.endGroup();
    return u;
}

bool ZapiszUstawienia(const QString& plik, const TUstawienia& u)
{
    if (plik.isEmpty())
        return false;
    QDir().mkpath(QFileInfo(plik).absolutePath());
    QSettings s(plik, QSettings::IniFormat);
    // Keys of an older or foreign file do not linger beside ours.
    s.clear();

    s.beginGroup(QStringLiteral("Dokumenty"));
    if (u.Czcionki) {
        s.setValue(QStringLiteral("Czcionka"), tekst(u.Czcionki->Nazwa));
        s.setValue(QStringLiteral("KolorCzcionki"), napisKoloru(u.Czcionki->Kolor));
        s.setValue(QStringLiteral("ZestawZnakow"), u.Czcionki->ZestawZnakow);
        s.setValue(QStringLiteral("Rozmiary"), lista(u.Czcionki->Rozmiary));
    }
    if (u.KolorTla)
        s.setValue(QStringLiteral("KolorTla"), napisKoloru(*u.KolorTla));
    s.setValue(QStringLiteral("Powiekszenie"), u.Powiekszenie);
    s.endGroup();

    s.beginGroup(QStringLiteral("Okno"));
    s.setValue(QStringLiteral("Geometria"), u.GeometriaOkna);
    s.setValue(QStringLiteral("Stan"), u.StanOkna);
    if (!u.PodzialPoziomy.empty())
        s.setValue(QStringLiteral("PodzialPoziomy"), lista(u.PodzialPoziomy));
    if (!u.PodzialPionowy.empty())
        s.setValue(QStringLiteral("PodzialPionowy"), lista(u.PodzialPionowy));
    s.setValue(QStringLiteral("SpisKodeksow"), u.PokazSpisKodeksow);
    s.setValue(QStringLiteral("SpisTresci"), u.PokazSpisTresci);
    s.setValue(QStringLiteral("StylPrzyciskow"), int(u.StylPrzyciskow));
    s.setValue(QStringLiteral("MaleWylaczniki"), u.MaleWylaczniki);
    s.endGroup();

    s.beginGroup(QStringLiteral("Sesja"));
    s.setValue(QStringLiteral("OtwierajOstatnie"), u.OtwierajOstatnie);
    s.beginWriteArray(QStringLiteral("Zakladki"), int(u.Zakladki.size()));
    for (int i = 0; i < int(u.Zakladki.size()); ++i) {
        s.setArrayIndex(i);
        s.setValue(QStringLiteral("Nazwa"), tekst(u.Zakladki[std::size_t(i)].Nazwa));
        s.setValue(QStringLiteral("Element"), u.Zakladki[std::size_t(i)].Element);
        s.setValue(QStringLiteral("Pozycja"), u.Zakladki[std::size_t(i)].Pozycja);
    }
    s.endArray();
    s.setValue(QStringLiteral("Biezaca"), u.BiezacaZakladka);
    s.endGroup();

    s.sync();
    return s.status() == QSettings::NoError;
}
