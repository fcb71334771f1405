#pragma once
// The preview shown while the pointer rests on a reference: a small
// tooltip-like window with the target unit's caption and first lines. It
// takes no focus and opens nothing; it goes when the pointer leaves the link.
#include <QFrame>
#include <QStringList>

class QLabel;

class TOknoPodgladu : public QFrame {
    Q_OBJECT
public:
    explicit TOknoPodgladu(QWidget* wlasciciel = nullptr);

    // Shows the caption and lines below and to the right of `punkt` (global
    // coordinates), kept on the screen.
    void Pokaz(const QString& tytul, const QStringList& linie, const QPoint& punkt);
    void Ukryj() { hide(); }

    QString Tytul() const;
    QString Tresc() const;

private:
    QLabel* FTytul = nullptr;
    QLabel* FTresc = nullptr;
};
