#include "reader/PasekPrzejscia.h"

#include "platform/QtText.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

TPasekPrzejscia::TPasekPrzejscia(QWidget* rodzic) : QWidget(rodzic)
{
    setObjectName(QStringLiteral("pPrzejdz"));
    auto* uklad = new QHBoxLayout(this);
    uklad->setContentsMargins(4, 2, 4, 2);
    uklad->setSpacing(4);
    auto* etykieta = new QLabel(QStringLiteral("Przejdź do:"), this);
    eAdres = new QLineEdit(this);
    eAdres->setObjectName(QStringLiteral("ePrzejdz"));
    eAdres->setPlaceholderText(QStringLiteral("np. 148, art. 148 § 2, 5^1, art. 10 ust. 2 pkt 3"));
    eAdres->setMinimumWidth(200);
    eAdres->installEventFilter(this);
    etykieta->setBuddy(eAdres);
    auto* bIdz = new QToolButton(this);
    bIdz->setObjectName(QStringLiteral("bPrzejdz"));
    bIdz->setText(QStringLiteral("Przejdź"));
    bIdz->setFocusPolicy(Qt::NoFocus);
    lKomunikat = new QLabel(this);
    lKomunikat->setObjectName(QStringLiteral("lKomunikatPrzejscia"));
    QPalette p = lKomunikat->palette();
    p.setColor(QPalette::WindowText, QColor(0xB0, 0x00, 0x00));
    lKomunikat->setPalette(p);
    bZamknij = new QToolButton(this);
    bZamknij->setObjectName(QStringLiteral("bZamknijPrzejdz"));
    bZamknij->setText(QStringLiteral("✕"));
    bZamknij->setToolTip(QStringLiteral("Zamknij (Esc)"));
    bZamknij->setAutoRaise(true);
    bZamknij->setFocusPolicy(Qt::NoFocus);
    uklad->addWidget(etykieta);
    uklad->addWidget(eAdres, 1);
    uklad->addWidget(bIdz);
    uklad->addWidget(lKomunikat, 1);
    uklad->addWidget(bZamknij);
    connect(bIdz, &QToolButton::clicked, this, &TPasekPrzejscia::Przejdz);
    connect(bZamknij, &QToolButton::clicked, this, &TPasekPrzejscia::Zamknij);
    connect(eAdres, &QLineEdit::textEdited, lKomunikat, &QLabel::clear);
    hide();
}

void TPasekPrzejscia::Otworz()
{
    lKomunikat->clear();
    show();
    eAdres->setFocus(Qt::ShortcutFocusReason);
    eAdres->selectAll();
}

void TPasekPrzejscia::Zamknij()
{
    hide();
    lKomunikat->clear();
    if (OnZamknij)
        OnZamknij();
}

void TPasekPrzejscia::Przejdz()
{
    const QString adres = eAdres->text().trimmed();
    if (adres.isEmpty()) {
        lKomunikat->setText(QStringLiteral("Wpisz numer artykułu, np. 148 albo art. 148 § 2."));
        return;
    }
    const QString blad = OnPrzejdz ? OnPrzejdz(fromQString(adres)) : QStringLiteral("Nie ma otwartego dokumentu.");
    if (blad.isEmpty()) {
        Zamknij();
        return;
    }
    lKomunikat->setText(blad);
    eAdres->selectAll();
}

QString TPasekPrzejscia::Komunikat() const { return lKomunikat->text(); }

bool TPasekPrzejscia::eventFilter(QObject* obiekt, QEvent* e)
{
    if (obiekt == eAdres && e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            Przejdz();
            return true;
        }
        if (k->key() == Qt::Key_Escape) {
            Zamknij();
            return true;
        }
    }
    return QWidget::eventFilter(obiekt, e);
}
