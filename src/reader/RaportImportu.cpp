#include "reader/RaportImportu.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

TfRaportImportu::TfRaportImportu(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("fRaportImportu"));
    setWindowTitle(QStringLiteral("Dodaj akt"));
    auto* uklad = new QVBoxLayout(this);
    lPodsumowanie = new QLabel(this);
    lPodsumowanie->setObjectName(QStringLiteral("lPodsumowanie"));
    lPodsumowanie->setWordWrap(true);
    lPodsumowanie->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    uklad->addWidget(lPodsumowanie);
    lOstrzezenia = new QLabel(this);
    lOstrzezenia->setObjectName(QStringLiteral("lOstrzezenia"));
    uklad->addWidget(lOstrzezenia);
    lbOstrzezenia = new QListWidget(this);
    lbOstrzezenia->setObjectName(QStringLiteral("lbOstrzezenia"));
    lbOstrzezenia->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lbOstrzezenia->setWordWrap(true);
    lbOstrzezenia->installEventFilter(this);
    uklad->addWidget(lbOstrzezenia, 1);
    // Without warnings the space goes below the text, not between its lines.
    uklad->addStretch(0);
    auto* przyciski = new QHBoxLayout;
    przyciski->addStretch(1);
    bKopiuj = new QPushButton(QStringLiteral("Kopiuj"), this);
    bKopiuj->setObjectName(QStringLiteral("bKopiuj"));
    bZamknij = new QPushButton(QStringLiteral("Zamknij"), this);
    bZamknij->setObjectName(QStringLiteral("bZamknij"));
    bZamknij->setDefault(true);
    przyciski->addWidget(bKopiuj);
    przyciski->addWidget(bZamknij);
    uklad->addLayout(przyciski);
    connect(bKopiuj, &QPushButton::clicked, this, &TfRaportImportu::KopiujClick);
    connect(bZamknij, &QPushButton::clicked, this, &QDialog::accept);
    resize(720, 420);
}

void TfRaportImportu::Pokaz(const QString& tytul, const QString& podsumowanie, const QStringList& ostrzezenia)
{
    setWindowTitle(tytul);
    lPodsumowanie->setText(podsumowanie);
    lbOstrzezenia->clear();
    lbOstrzezenia->addItems(ostrzezenia);
    lOstrzezenia->setText(ostrzezenia.isEmpty() ? QStringLiteral("Bez ostrzeżeń.")
                                                : QStringLiteral("Ostrzeżenia (do sprawdzenia w tekście):"));
    lbOstrzezenia->setVisible(!ostrzezenia.isEmpty());
    if (auto* uklad = qobject_cast<QVBoxLayout*>(layout()))
        uklad->setStretch(3, ostrzezenia.isEmpty() ? 1 : 0);
    resize(width(), ostrzezenia.isEmpty() ? 260 : 420);
}

QString TfRaportImportu::Tekst(bool tylkoZaznaczone) const
{
    QStringList linie;
    for (int i = 0; i < lbOstrzezenia->count(); ++i)
        if (!tylkoZaznaczone || lbOstrzezenia->item(i)->isSelected())
            linie << lbOstrzezenia->item(i)->text();
    if (tylkoZaznaczone)
        return linie.join(QLatin1Char('\n'));
    return lPodsumowanie->text() + QStringLiteral("\n\n") + linie.join(QLatin1Char('\n'));
}

void TfRaportImportu::KopiujClick()
{
    const bool zaznaczone = !lbOstrzezenia->selectedItems().isEmpty();
    QApplication::clipboard()->setText(Tekst(zaznaczone));
}

bool TfRaportImportu::eventFilter(QObject* obj, QEvent* e)
{
    if (obj == lbOstrzezenia && e->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(e)->matches(QKeySequence::Copy)) {
        KopiujClick();
        return true;
    }
    return QDialog::eventFilter(obj, e);
}
