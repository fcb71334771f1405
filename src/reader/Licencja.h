#pragma once
// The licence window: the text of "Licencja.rtf" from the program's folder,
// read-only, with its web addresses clickable.
#include <QDialog>
#include <QString>

class QPushButton;
class QTextBrowser;
class QUrl;

class TfLicencja : public QDialog {
    Q_OBJECT
public:
    // `katalogProgramu`: where "Licencja.rtf" lies; empty means the folder
    // of the running program.
    explicit TfLicencja(QWidget* wlasciciel = nullptr, const QString& katalogProgramu = QString());

    // A click on a web address of the text, as the view reports it.
    void rtvLicencjaURLClick(const QString& adres);

    QTextBrowser* rtvLicencja = nullptr;
    QPushButton* bbZamknij = nullptr;

private:
    void FormCreate(const QString& katalogProgramu);
};
