// A small window with a document view: styled text, centred headings,
// footnote-style hotspot images, a tiled background and a selection.
//
//   view-demo [--screenshot FILE] [--background none|tiled|scrolled|stretched]
//             [--scroll Y] [--steps N]
//
// With --screenshot the window is grabbed into FILE (PNG) once it has been
// shown and laid out, and the program ends. --steps scrolls down one unit at
// a time N times before that (moving pixels, as the arrow key does), and the
// screenshot is then taken from the screen, not re-rendered, so it shows what
// the scrolling left there.
#include "platform/QtCanvas.h"
#include "platform/QtText.h"
#include "platform/core/Cp1250.h"
#include "view/DocView.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMainWindow>
#include <QPainter>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>

#include <cstdio>

namespace {

std::string pl(const char* utf8) { return cp1250::fromUtf8(utf8); }

QImage paperTile()
{
    // A faint paper grain, 64 x 48, so that tiling is visible but quiet.
    QImage tile(64, 48, QImage::Format_RGB32);
    tile.fill(QColor(0xED, 0xFF, 0xEB));
    QPainter p(&tile);
    p.setPen(QColor(0xD8, 0xF0, 0xD6));
    for (int y = 6; y < 48; y += 12)
        p.drawLine(0, y, 63, y);
    p.setPen(QColor(0xC8, 0xE4, 0xC6));
    p.drawPoint(10, 3);
    p.drawPoint(41, 27);
    p.drawPoint(25, 40);
    p.drawPoint(55, 15);
    return tile;
}

QImage footnoteMark()
{
    QImage img(16, 15, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0x80, 0x00, 0x00));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(1.5, 1.5, 13, 12), 3, 3);
    p.setPen(Qt::white);
    QFont f("DejaVu Sans");
    f.setPixelSize(10);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRectF(1.5, 1.5, 13, 12), Qt::AlignCenter, "*");
    return img;
}

// The text is invented for the demo: a short act in the style of a Polish
// statute, with articles, paragraphs, footnote marks and two links.
void fill(TDocView& v, const TImageList& marks)
{
    v.AddCheckpoint("0");
    v.AddCenteredLine(pl("USTAWA"), 2);
    v.AddCenteredLine(pl("z dnia 14 marca 2031 r."), 3);
    v.AddCenteredLine(pl("o latarniach morskich i ich strażnikach"), 2);
    v.AddParagraphLines(" ", 0);
    v.AddCheckpoint("1");
    v.AddCenteredLine(pl("Rozdział 1"), 2);
    v.AddCenteredLine(pl("Przepisy ogólne"), 2);
    v.AddParagraphLines(" ", 0);
    v.AddParagraph(pl("Art. 1. "), 1);
    v.AddText(pl("§ 1. Ustawa określa zasady utrzymywania latarni morskich, prawa i obowiązki ich "
                 "strażników oraz tryb sprawowania nadzoru nad ich służbą."), 0);
    v.AddHotspot(6, &marks, false);
    v.AddParagraph(pl("§ 2. Przepisów ustawy nie stosuje się do świateł nawigacyjnych umieszczonych na "
                      "jednostkach pływających ani do znaków dziennych."), 0);
    v.AddParagraph(pl("§ 3. Ilekroć w ustawie jest mowa o strażniku, rozumie się przez to osobę "
                      "powołaną do obsługi latarni przez dyrektora urzędu morskiego."), 0);
    v.AddParagraphLines(" ", 0);
    v.AddParagraph(pl("Art. 2. "), 1);
    v.AddText(pl("Strażnik zapewnia, aby światło latarni było widoczne od zachodu do wschodu słońca "
                 "oraz w czasie ograniczonej widzialności, niezależnie od pory dnia."), 0);
    v.AddHotspot(6, &marks, false);
    v.AddParagraphLines(" ", 0);
    v.AddParagraph(pl("Art. 3. "), 1);
    v.AddText(pl("Strażnik prowadzi dziennik służby, w którym odnotowuje każdą przerwę w pracy "
                 "światła wraz z jej przyczyną i czasem trwania. Wzór dziennika określa "), 0);
    v.AddText(pl("załącznik nr 1"), 4);
    v.AddText(pl(", a sposób jego przechowywania "), 0);
    v.AddText(pl("Dz.U. 2031 nr 7 poz. 45"), 5);
    v.AddText(".", 0);
    v.AddParagraphLines(" ", 0);
    v.AddCheckpoint("2");
    v.AddCenteredLine(pl("Rozdział 2"), 2);
    v.AddCenteredLine(pl("Obowiązki strażnika"), 2);
    v.AddParagraphLines(" ", 0);
    v.AddParagraph(pl("Art. 4. "), 1);
    v.AddText(pl("§ 1. Strażnik, który stwierdzi uszkodzenie urządzeń latarni, niezwłocznie zawiadamia "
                 "kapitanat portu i podejmuje czynności zmierzające do przywrócenia światła."), 0);
    v.AddHotspot(6, &marks, false);
    v.AddParagraph(pl("§ 2. Jeżeli przywrócenie światła przed zmierzchem nie jest możliwe, strażnik "
                      "uruchamia światło zapasowe, a gdy i to jest niemożliwe, nadaje ostrzeżenie "
                      "nawigacyjne w sposób przyjęty dla danego akwenu."), 0);
    v.AddParagraphLines(" ", 0);
    for (int i = 5; i < 30; ++i) {
        v.AddParagraph(pl("Art. ") + std::to_string(i) + ". ", 1);
        v.AddTextLines(pl("Przepis przykładowy: w sprawach nieuregulowanych w artykułach poprzedzających "
                          "stosuje się odpowiednio regulamin służby latarniczej, o ile nie sprzeciwia "
                          "się to właściwości tej służby."),
                       0);
        if (i % 3 == 0)
            v.AddHotspot(6, &marks, false);
        v.AddParagraphLines(" ", 0);
    }
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QString shot;
    QString background = "tiled";
    int scrollY = 0;
    int steps = 0;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == "--screenshot" && i + 1 < args.size())
            shot = args[++i];
        else if (args[i] == "--background" && i + 1 < args.size())
            background = args[++i];
        else if (args[i] == "--scroll" && i + 1 < args.size())
            scrollY = args[++i].toInt();
        else if (args[i] == "--steps" && i + 1 < args.size())
            steps = args[++i].toInt();
    }

    TDVStyle style;
    // The reader's look: a serif body, navy headings, a light green page.
    for (int i = 0; i < style.TextStyles().Count(); ++i)
        style.TextStyles().Items(i).CharSet = EASTEUROPE_CHARSET;
    style.TextStyles().Items(0).Size = 12;
    style.TextStyles().Items(1).Size = 12;
    style.TextStyles().Items(1).Color = clBlack;
    style.TextStyles().Items(2).Size = 14;
    style.TextStyles().Items(3).Size = 11;
    style.SetColor(0xEBFFED);
    style.SetHoverColor(clRed);

    TImageList marks(16, 15);
    for (int i = 0; i < 7; ++i)
        marks.Add(footnoteMark());

    QMainWindow win;
    win.setWindowTitle("Lumesta: document view");
    auto* view = new TDocView(&win);
    view->SetStyle(&style);
    view->SetFirstJumpNo(1000);
    if (background != "none") {
        view->SetBackgroundBitmap(paperTile());
        view->SetBackgroundStyle(background == "stretched" ? bsStretched
                                 : background == "scrolled" ? bsTiledAndScrolled
                                                            : bsTiled);
    }
    win.setCentralWidget(view);
    auto* status = new QLabel;
    win.statusBar()->addWidget(status, 1);
    view->OnVScrolled = [status](TDVScroller* s) {
        status->setText(QString("pozycja %1 x %2 px").arg(s->VPos()).arg(s->ScrollUnit()));
    };
    fill(*view, marks);
    win.resize(720, 560);
    win.show();
    view->Format();
    // Select from the middle of Art. 1 § 1 into § 2, as a drag would.
    const auto& lines = view->DrawLines();
    int from = -1, to = -1;
    for (int i = 0; i < int(lines.size()); ++i) {
        if (from < 0 && lines[i].Text.rfind(pl("§ 1. Ustawa"), 0) == 0)
            from = i;
        else if (from >= 0 && lines[i].Text.rfind(pl("§ 2. "), 0) == 0) {
            to = i;
            break;
        }
    }
    if (from >= 0 && to >= 0)
        view->SetSelection(TDVPosition{from, 30}, TDVPosition{to, 12});
    // Hover the second text jump so its colour shows.
    for (const TItem& it : view->Items())
        if (it.Info.StyleNo == 5) {
            view->SetHoveredJump(it.Info.ImageIndex);
            break;
        }
    if (scrollY > 0)
        view->ScrollTo(scrollY);
    view->viewport()->update();

    QTimer stepper;
    stepper.setInterval(20);
    QObject::connect(&stepper, &QTimer::timeout, view, [&] {
        if (steps-- > 0)
            view->VScrollRequest(TDVScroller::scLineDown);
        else
            stepper.stop();
    });
    const bool fromScreen = steps > 0;
    if (steps > 0)
        QTimer::singleShot(300, &stepper, qOverload<>(&QTimer::start));

    if (!shot.isEmpty()) {
        QTimer::singleShot(fromScreen ? 600 + 20 * steps : 300, &win, [&] {
            const QPixmap pm = fromScreen ? win.screen()->grabWindow(win.winId()) : win.grab();
            const bool ok = pm.save(shot, "PNG");
            if (!ok)
                std::fprintf(stderr, "view-demo: cannot write %s\n", qPrintable(shot));
            app.exit(ok ? 0 : 1);
        });
    }
    return app.exec();
}
