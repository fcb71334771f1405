#pragma once
// The "go to" bar: the user types an article or a unit of it ("148",
// "art. 148 § 2", "5^1", "Art. 10 ust. 2 pkt 3") and Enter takes the
// current document there. What cannot be found is said in the bar itself,
// never in a message box; Escape closes the bar.
#include <QWidget>

#include <functional>
#include <string>

class QLabel;
class QLineEdit;
class QToolButton;

class TPasekPrzejscia : public QWidget {
    Q_OBJECT
public:
    explicit TPasekPrzejscia(QWidget* rodzic = nullptr);

    // Goes to the address typed (Windows-1250); returns what went wrong, or
    // an empty text when the view went there (the bar then closes).
    std::function<QString(const std::string& adres)> OnPrzejdz;
    // The bar closed (Escape, the close button, or a successful jump).
    std::function<void()> OnZamknij;

    void Otworz();
    void Zamknij();
    // Runs what Enter runs.
    void Przejdz();

    QLineEdit* Tekst() const { return eAdres; }
    QString Komunikat() const;

protected:
    bool eventFilter(QObject* obiekt, QEvent* e) override;

private:
    QLineEdit* eAdres = nullptr;
    QLabel* lKomunikat = nullptr;
    QToolButton* bZamknij = nullptr;
};
