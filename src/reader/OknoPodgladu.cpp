#include "reader/OknoPodgladu.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

namespace {

constexpr int SzerokoscPodgladu = 440;
// Far enough from the pointer that the window never covers the link.
constexpr int OdsuniecieX = 12;
constexpr int OdsuniecieY = 20;

} // namespace

TOknoPodgladu::TOknoPodgladu(QWidget* wlasciciel)
    : QFrame(wlasciciel, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
{
    setObjectName(QStringLiteral("oknoPodgladu"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setForegroundRole(QPalette::ToolTipText);
    setBackgroundRole(QPalette::ToolTipBase);
    setAutoFillBackground(true);
    auto* uklad = new QVBoxLayout(this);
    uklad->setContentsMargins(6, 4, 6, 4);
    uklad->setSpacing(3);
    FTytul = new QLabel(this);
    QFont f = FTytul->font();
    f.setBold(true);
    FTytul->setFont(f);
    FTresc = new QLabel(this);
    FTresc->setWordWrap(true);
    FTresc->setTextFormat(Qt::PlainText);
    FTytul->setTextFormat(Qt::PlainText);
    uklad->addWidget(FTytul);
    uklad->addWidget(FTresc);
    setFixedWidth(SzerokoscPodgladu);
}

void TOknoPodgladu::Pokaz(const QString& tytul, const QStringList& linie, const QPoint& punkt)
{
    FTytul->setText(tytul);
    FTresc->setText(linie.join(QLatin1Char('\n')));
    FTresc->setVisible(!linie.isEmpty());
    adjustSize();
    QPoint gdzie = punkt + QPoint(OdsuniecieX, OdsuniecieY);
    if (const QScreen* ekran = QGuiApplication::screenAt(punkt)) {
        const QRect r = ekran->availableGeometry();
        if (gdzie.x() + width() > r.right())
            gdzie.setX(std::max(r.left(), r.right() - width()));
        // No room below: above the pointer.
        if (gdzie.y() + height() > r.bottom())
            gdzie.setY(std::max(r.top(), punkt.y() - OdsuniecieY - height()));
    }
    move(gdzie);
    show();
    raise();
}

QString TOknoPodgladu::Tytul() const
{
    return FTytul->text();
}

QString TOknoPodgladu::Tresc() const
{
    return FTresc->text();
}
