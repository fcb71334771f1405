#include "print/ZapisPdf.h"

#include "print/PtblDV.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QTemporaryFile>

#include <exception>

bool ZapiszPdf(TDocView* view, const QString& fileName, const std::string& title)
{
    if (!view || !view->Style() || fileName.isEmpty())
        return false;
    const QFileInfo cel(fileName);
    if (!cel.absoluteDir().exists())
        return false;
    // The job is written beside the target first: a job that fails half way
    // must not leave a truncated file in the target's place.
    QTemporaryFile czesciowy(cel.absoluteDir().filePath(QStringLiteral(".lumesta-XXXXXX.pdf")));
    if (!czesciowy.open())
        return false;
    czesciowy.close();

    try {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(czesciowy.fileName());
        // Paper for the Polish reader: A4 whatever the system's locale.
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageOrientation(QPageLayout::Portrait);
        TQtPrinterTarget drukarka(&printer);
        TPrintableDV kopia;
        kopia.AssignFrom(view);
        kopia.SetFormatOptions(foPictures | foImages);
        if (kopia.Paginate(drukarka) == 0)
            return false;
        kopia.Print(drukarka, title, 1, false);
    } catch (const std::exception&) {
        return false;
    }
    if (QFileInfo(czesciowy.fileName()).size() == 0)
        return false;
    if (QFile::exists(fileName) && !QFile::remove(fileName))
        return false;
    if (!QFile::rename(czesciowy.fileName(), fileName))
        return false;
    czesciowy.setAutoRemove(false);
    return true;
}
