#pragma once
// The report at the end of "Dodaj akt...": what was added, and every
// warning of the import with its page and line, in a list the user can
// select from and copy (Ctrl+C, or the button that copies all of it).
#include <QDialog>
#include <QStringList>

class QLabel;
class QListWidget;
class QPushButton;

class TfRaportImportu : public QDialog {
    Q_OBJECT
public:
    explicit TfRaportImportu(QWidget* parent = nullptr);

    void Pokaz(const QString& tytul, const QString& podsumowanie, const QStringList& ostrzezenia);
    // The summary and the warnings as plain text: what "Kopiuj" puts on
    // the clipboard (the selected warnings only, when some are selected).
    QString Tekst(bool tylkoZaznaczone) const;
    void KopiujClick();

    QLabel* lPodsumowanie = nullptr;
    QLabel* lOstrzezenia = nullptr;
    QListWidget* lbOstrzezenia = nullptr;
    QPushButton* bKopiuj = nullptr;
    QPushButton* bZamknij = nullptr;

protected:
    bool eventFilter(QObject* obj, QEvent* e) override;
};
