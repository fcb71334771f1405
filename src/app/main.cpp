// The program's entry: the main window, the print dialog beside it, and the
// message loop. The program takes no command-line arguments; what it
// remembers between runs lies in the user's configuration folder.
#include "platform/ScreenFit.h"
#include "print/PrintFrm.h"
#include "reader/Obrazki.h"
#include "reader/Okienko.h"
#include "settings/Ustawienia.h"
#include "widgets/PageExtControl.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QSessionManager>
#include <QTranslator>

#include <exception>

namespace {

// Exceptions that escape an event handler (the view, printing and tab-strip
// components raise named ones with English messages) are shown in a box and
// the loop goes on, as the application's default handler does.
class TAplikacja : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            pokazWyjatek(QString::fromLocal8Bit(e.what()));
        } catch (...) {
            pokazWyjatek(QStringLiteral("Unknown error"));
        }
        return false;
    }

    void pokazWyjatek(const QString& tekst)
    {
        // A failure while the box itself is up must not open a second one.
        if (FPokazuje)
            return;
        FPokazuje = true;
        QMessageBox::critical(activeWindow(), applicationName(), tekst);
        FPokazuje = false;
    }

private:
    bool FPokazuje = false;
};

} // namespace

int main(int argc, char** argv)
{
    TAplikacja app(argc, argv);
    app.setApplicationName(QStringLiteral("Lumesta"));
    // Ties the windows to the desktop entry and its icon.
    app.setDesktopFileName(QStringLiteral(LUMESTA_APP_ID));
    app.setWindowIcon(obrazki::ikonaProgramu());

    // Standard buttons of message boxes and dialogs read in Polish.
    QTranslator tlumaczenie;
    if (tlumaczenie.load(QLocale(QLocale::Polish, QLocale::Poland), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&tlumaczenie);

    // The tab strip keeps exceptions of its handlers from unwinding through
    // Qt; they end up in the same box.
    SetWidgetExceptionHandler(
        [&app](const std::exception& e) { app.pokazWyjatek(QString::fromLocal8Bit(e.what())); });

    // Every window, message boxes and dialogs included, stays within the
    // screen's free area, however small the screen or large the scale.
    InstallWindowFitting(app);

    TfLumesta fLumesta;
    // The print dialog lives beside the main window for the whole run and is
    // reused by every print command; its preview requests go to the main
    // window, which draws the pages.
    TfrmPrint frmPrint(&fLumesta, &fLumesta);
    frmPrint.setObjectName(QStringLiteral("frmPrint"));
    fLumesta.UstawOknoWydruku(&frmPrint);

    // The look, the window's geometry and the last session's tabs; written
    // back when the window closes.
    fLumesta.UzyjUstawien(DomyslnyPlikUstawien());
    // Logging out may end the program without closing its window.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &fLumesta,
                     [&fLumesta](QSessionManager&) { fLumesta.ZapiszUstawieniaOkna(); });
    fLumesta.show();
    return app.exec();
}
