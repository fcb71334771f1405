// A small window with a document view: styled text, centred headings,
// footnote-style hotspot images, a tiled background and a selection.
//
//   view-demo [--screenshot FILE] [--background none|tiled|scrolled|stretched]
//             [--scroll Y] [--steps N]
//             [--drag X1 Y1 X2 Y2] [--click X Y] [--copy]
//             [--html FILE] [--text FILE] [--wait MS]
//
// With --screenshot the window is grabbed into FILE (PNG) once it has been
// shown and laid out, and the program ends. --steps scrolls down one unit at
// a time N times before that (moving pixels, as the arrow key does), and the
// screenshot is then taken from the screen, not re-rendered, so it shows what
// the scrolling left there.
//
// --drag presses the left button at (X1, Y1) of the document area, moves to
// (X2, Y2) in a few steps and releases there; --click presses and releases at
// (X, Y). Both go through the view's own mouse handling, as a user's mouse
// would; without them the demo shows a selection set directly. The view's
// events (jumps, hover, selection, clicked words) are printed on standard
// output and shown in the status bar. --copy puts the selection on the
// clipboard and prints what the clipboard then holds. --html and --text
// export the document. --wait delays the screenshot by MS milliseconds, so
// that an outside tool (xdotool) can work the mouse first.
#include "platform/QtCanvas.h"
#include "platform/QtText.h"
#include "platform/core/Cp1250.h"
#include "view/DocView.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMainWindow>
#include <QMouseEvent>
#include <QClipboard>
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
    int drag[4] = {0, 0, 0, 0};
    bool doDrag = false;
    bool copy = false;
    int wait = 0; // milliseconds before the screenshot (for an outside mouse)
    QString htmlFile, textFile;
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
        else if (args[i] == "--drag" && i + 4 < args.size()) {
            for (int k = 0; k < 4; ++k)
                drag[k] = args[++i].toInt();
            doDrag = true;
        } else if (args[i] == "--click" && i + 2 < args.size()) {
            drag[0] = drag[2] = args[++i].toInt();
            drag[1] = drag[3] = args[++i].toInt();
            doDrag = true;
        } else if (args[i] == "--copy")
            copy = true;
        else if (args[i] == "--wait" && i + 1 < args.size())
            wait = args[++i].toInt();
        else if (args[i] == "--html" && i + 1 < args.size())
            htmlFile = args[++i];
        else if (args[i] == "--text" && i + 1 < args.size())
            textFile = args[++i];
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
    auto report = [status](const QString& what) {
        status->setText(what);
        std::printf("%s\n", qPrintable(what));
        std::fflush(stdout);
    };
    view->OnJump = [report](TDocView*, int id) { report(QString("skok %1").arg(id)); };
    view->OnDVMouseMove = [report](TDocView*, int id) { report(QString("nad skokiem %1").arg(id)); };
    view->OnDVDblClick = [report](TDocView*, const std::string& w, int st) {
        report(QString("słowo \"%1\" (styl %2)").arg(toQString(w)).arg(st));
    };
    view->OnSelect = [report](TDocView* v) {
        const QString t = toQString(v->GetSelectedText());
        report(QString("zaznaczenie %1,%2 - %3,%4: %5 znaków")
                   .arg(v->SelectionStart().Line)
                   .arg(v->SelectionStart().Offset)
                   .arg(v->SelectionEnd().Line)
                   .arg(v->SelectionEnd().Offset)
                   .arg(t.size()));
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
    if (from >= 0 && to >= 0 && !doDrag)
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

    // The mouse, as a user's: press, a few moves, release, in client
    // coordinates of the document area.
    auto send = [&](QEvent::Type type, int x, int y, Qt::MouseButtons held) {
        const QPointF p(x, y);
        QMouseEvent e(type, p, view->viewport()->mapToGlobal(p), Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &e);
    };
    if (doDrag) {
        QTimer::singleShot(200, view, [&] {
            send(QEvent::MouseButtonPress, drag[0], drag[1], Qt::LeftButton);
            for (int k = 1; k <= 8; ++k)
                send(QEvent::MouseMove, drag[0] + (drag[2] - drag[0]) * k / 8, drag[1] + (drag[3] - drag[1]) * k / 8,
                     Qt::LeftButton);
            send(QEvent::MouseButtonRelease, drag[2], drag[3], Qt::NoButton);
            if (copy) {
                view->CopySelection();
                std::printf("schowek: %s\n", qPrintable(QGuiApplication::clipboard()->text()));
                std::fflush(stdout);
            }
        });
    }
    auto exportTo = [&] {
        if (!htmlFile.isEmpty())
            std::printf("HTML: %s\n", view->SaveHTML(htmlFile, "Lumesta", "dvimg", true) ? "zapisano" : "błąd");
        if (!textFile.isEmpty())
            std::printf("tekst: %s\n", view->SaveText(textFile, 65) ? "zapisano" : "błąd");
        std::fflush(stdout);
    };
    if (!htmlFile.isEmpty() || !textFile.isEmpty())
        QTimer::singleShot(250, view, exportTo);

    if (!shot.isEmpty()) {
        QTimer::singleShot(wait > 0 ? wait : fromScreen ? 600 + 20 * steps : 300, &win, [&] {
            const QPixmap pm = fromScreen ? win.screen()->grabWindow(win.winId()) : win.grab();
            const bool ok = pm.save(shot, "PNG");
            if (!ok)
                std::fprintf(stderr, "view-demo: cannot write %s\n", qPrintable(shot));
            app.exit(ok ? 0 : 1);
        });
    }
    return app.exec();
}
