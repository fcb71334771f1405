#pragma once
// The main window's print command and its preview handler, kept beside the
// print component so that the reader only forwards to them:
//
//   Drukuj1Click:  if no tab is open, BrakDokumentu(); otherwise
//                  drukowanie.Drukuj(currentView, nazwyZakladek[current]);
//   event 1111:    drukowanie.StronaWydruku();
#include <QString>
#include <functional>
#include <string>

class QWidget;
class TDocView;
class TDVPrint;
class TfrmPrint;

// What the dialog chose, and the job title for it.
struct TWyborWydruku {
    enum Zakres { Wszystkie, Biezaca, ZZakresu };
    Zakres Co = Wszystkie;
    int Od = 1; // Biezaca: the page shown; ZZakresu: both ends
    int Do = 1;
};

// "Drukowanie:" + name + " " / " strony c " / " od a do b " (Windows-1250).
std::string TytulWydruku(const std::string& name, const TWyborWydruku& wybor);
// The dialog's choice after it closed with OK.
TWyborWydruku WyborZOkna(const TfrmPrint& dialog);

class TDrukowanie {
public:
    TDrukowanie(TDVPrint& print, TfrmPrint& dialog) : FPrint(print), FDialog(dialog) {}

    // Paginates view, shows the first page in the dialog, shows it modally
    // and on OK prints the chosen pages as one uncollated copy titled from
    // name (Windows-1250). Returns true when a job was printed; nothing is
    // printed for a view freed while the dialog was up. Failures of
    // pagination and printing propagate as exceptions (their messages are
    // the ones to show).
    bool Drukuj(TDocView* view, const std::string& name);
    // Draws the dialog's current page into its preview.
    void StronaWydruku();

    // Where a job goes when there is no printer: asked before printing; an
    // empty answer prints nothing. The default asks with a save dialog.
    std::function<QString(QWidget* parent, const QString& suggested)> OnPdfFileName;

private:
    TDVPrint& FPrint;
    TfrmPrint& FDialog;
};
