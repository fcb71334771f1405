#include "reader/Licencja.h"

#include "reader/OLumesta.h"
#include "reader/Rtf.h"
#include "reader/RtfDokument.h"
#include "reader/Wyglad.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QPushButton>
#include <QTextCursor>
#include <QTextBrowser>
#include <QUrl>

#include <filesystem>

namespace {

constexpr int SzerokoscOkna = 602;
constexpr int WysokoscOkna = 305;

} // namespace

TfLicencja::TfLicencja(QWidget* wlasciciel, const QString& katalogProgramu)
    : QDialog(wlasciciel, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("fLicencja"));
    setWindowTitle(QStringLiteral("Licencja"));
    setFont(czcionkaFormularza());
    setFixedSize(SzerokoscOkna, WysokoscOkna);

    rtvLicencja = new QTextBrowser(this);
    rtvLicencja->setObjectName(QStringLiteral("rtvLicencja"));
    rtvLicencja->setGeometry(0, 0, SzerokoscOkna, 257);
    rtvLicencja->setReadOnly(true);
    // The view reports clicks; it navigates nowhere itself.
    rtvLicencja->setOpenLinks(false);
    rtvLicencja->setOpenExternalLinks(false);
    connect(rtvLicencja, &QTextBrowser::anchorClicked, this,
            [this](const QUrl& adres) { rtvLicencjaURLClick(adres.toString()); });

    bbZamknij = new QPushButton(QStringLiteral("Zamknij"), this);
    bbZamknij->setObjectName(QStringLiteral("bbZamknij"));
    bbZamknij->setGeometry(520, 272, 75, 25);
    bbZamknij->setDefault(true);
    connect(bbZamknij, &QPushButton::clicked, this, &QDialog::accept);

    wysrodkujNaEkranie(this, wlasciciel ? wlasciciel->screen() : QGuiApplication::primaryScreen());

    FormCreate(katalogProgramu);
}

void TfLicencja::FormCreate(const QString& katalogProgramu)
{
    const QString katalog = katalogProgramu.isEmpty() ? QCoreApplication::applicationDirPath() : katalogProgramu;
    const std::filesystem::path plik =
        std::filesystem::path(QFile::encodeName(katalog).toStdString()) / "Licencja.rtf";
    // A missing or unreadable licence leaves the view empty; the window
    // still opens and says nothing.
    std::error_code blad;
    if (!std::filesystem::is_regular_file(plik, blad))
        return;
    rtf::TDokument dokument;
    if (!rtf::CzytajPlik(plik, dokument))
        return;
    rtf::WypelnijDokument(*rtvLicencja->document(), dokument);
    // The reader starts at the top, not where the filling ended.
    rtvLicencja->moveCursor(QTextCursor::Start);
}

void TfLicencja::rtvLicencjaURLClick(const QString& adres)
{
    pomoc::OtworzAdres(QUrl(pomoc::AdresStrony(adres), QUrl::TolerantMode));
}
