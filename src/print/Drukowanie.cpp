// The print command of the main window: paginate, preview, print the choice.
#include "print/Drukowanie.h"

#include "platform/QtText.h"
#include "print/PrintFrm.h"
#include "print/PtblDV.h"

#include <QFileDialog>
#include <QPointer>
#include <QPrinter>
#include <QRadioButton>

std::string TytulWydruku(const std::string& name, const TWyborWydruku& wybor)
{
    std::string t = "Drukowanie:" + name;
    switch (wybor.Co) {
    case TWyborWydruku::Wszystkie:
        return t + " ";
    case TWyborWydruku::Biezaca:
        return t + " strony " + std::to_string(wybor.Od) + " ";
    case TWyborWydruku::ZZakresu:
        return t + " od " + std::to_string(wybor.Od) + " do " + std::to_string(wybor.Do) + " ";
    }
    return t + " ";
}

TWyborWydruku WyborZOkna(const TfrmPrint& dialog)
{
    TWyborWydruku w;
    if (dialog.rbWszystkie->isChecked()) {
        w.Co = TWyborWydruku::Wszystkie;
    } else if (dialog.rbBiezaca->isChecked()) {
        w.Co = TWyborWydruku::Biezaca;
        w.Od = w.Do = dialog.CurrentPage;
    } else {
        w.Co = TWyborWydruku::ZZakresu;
        w.Od = dialog.RangeFrom();
        w.Do = dialog.RangeTo();
    }
    return w;
}

void TDrukowanie::StronaWydruku()
{
    FPrint.DrawPageImage(FDialog.CurrentPage, FDialog.iStronaWydruku->Picture());
    FDialog.iStronaWydruku->PictureChanged();
}

bool TDrukowanie::Drukuj(TDocView* view, const std::string& name)
{
    if (!view)
        return false;
    const QPointer<TDocView> source(view);
    FPrint.AssignDocument(view);
    FPrint.Paginate(foPictures | foImages);
    // Page 1 first: a document without pages fails here, before the dialog
    // is touched.
    FPrint.DrawPageImage(1, FDialog.iStronaWydruku->Picture());
    FDialog.iStronaWydruku->PictureChanged();
    FDialog.CurrentPage = 1;
    FDialog.PageCount = FPrint.PagesCount();
    if (FDialog.exec() != QDialog::Accepted)
        return false;
    // The pages went with a document freed while the dialog was up; what
    // was chosen no longer exists (all pages would be an empty job).
    if (!source || FPrint.PagesCount() == 0)
        return false;

    // With no printer installed the job is a PDF file: ask where, each time.
    if (QPrinter* printer = FPrint.DefaultQPrinter(); printer && printer->outputFormat() == QPrinter::PdfFormat) {
        const QString suggested = toQString(name) + QStringLiteral(".pdf");
        const QString file = OnPdfFileName
                                 ? OnPdfFileName(FDialog.parentWidget(), suggested)
                                 : QFileDialog::getSaveFileName(FDialog.parentWidget(), QStringLiteral("Drukuj do pliku"),
                                                                suggested, QStringLiteral("Dokument PDF (*.pdf)"));
        if (file.isEmpty())
            return false;
        printer->setOutputFileName(file);
    }

    const TWyborWydruku w = WyborZOkna(FDialog);
    const std::string title = TytulWydruku(name, w);
    if (w.Co == TWyborWydruku::Wszystkie)
        FPrint.Print(title, 1, false);
    else
        FPrint.PrintRange(w.Od, w.Do, title, 1, false);
    return true;
}
