#pragma once
// The "Pomoc" menu's commands, the About box, and the one way the program
// hands web and mail addresses to the desktop (browser or mail program).
#include <QDialog>
#include <QString>

#include <functional>

class QLabel;
class TLaczaFirm;
class QPushButton;
class QTabWidget;
class QTime;
class QUrl;
class QWidget;

namespace pomoc {

// The company's office address, to which "List" writes.
inline constexpr const char* AdresBiura = "biuro@mardovelt.pl";

// Hands an address to the desktop. The program waits for nothing and checks
// no result: without a browser or mail program nothing visible happens.
void OtworzAdres(const QUrl& adres);

// Replaces what OtworzAdres does (tests record the addresses instead of
// starting a browser). An empty function restores the desktop's handling.
// Returns the handler that was set before.
using TOtwieracz = std::function<void(const QUrl&)>;
TOtwieracz UstawOtwieracz(TOtwieracz otwieracz);

// The address a click on a web address of a text opens: the text as it
// stands when it names its scheme ("http://...", "mailto:..."), otherwise
// "http://" + the text.
QString AdresStrony(const QString& tekstAdresu);

// The time of day in the locale's long time format, without the time zone
// that Qt's long format adds.
QString CzasDlugi(const QTime& czas);

// The mail address of "List": mailto: + office + ?Subject=Lumesta <time>
// + &Body=Dotyczy programu Lumesta...; the text is not URL-encoded.
QString AdresListu(const QTime& czas);

// The commands of the "Pomoc" menu. `okno` is the main window; the licence
// is read from "Licencja.rtf" in `katalogProgramu` (empty: the folder of the
// running program).
void Stronafirmowa1Click();
void List1Click();
void Licencja1Click(QWidget* okno, const QString& katalogProgramu = QString());
void OLumesta1Click(QWidget* okno);

} // namespace pomoc

// The About box: the program's and makers' logos and web links, the people
// behind it, and the version.
class TO_Lumesta : public QDialog {
    Q_OBJECT
public:
    explicit TO_Lumesta(QWidget* wlasciciel = nullptr);

    QTabWidget* pcOLumesta = nullptr;
    QWidget* tbOLumesta = nullptr;
    QLabel* iLumesta = nullptr;
    QLabel* lLumesta = nullptr;
    QLabel* lNapisal = nullptr;
    // The company's and the maker's logos and addresses.
    TLaczaFirm* laczaFirm = nullptr;
    QWidget* tsWspolpracownicy = nullptr;
    QLabel* lSprawcy = nullptr;
    QWidget* tbWersja = nullptr;
    QLabel* lWersja = nullptr;
    QPushButton* Button1 = nullptr;

private:
    void FormCreate();
};
using TOLumesta = TO_Lumesta;
