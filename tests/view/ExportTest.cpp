// HTML and plain-text export: byte-exact output for small documents, the
// image files written beside the HTML, and failures reported as false.
#include "platform/ImageList.h"
#include "platform/core/Cp1250.h"
#include "view/DocView.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <memory>

namespace {

class ReservedView : public TDocView {
public:
    using TDocView::AddItem;
};

std::string readAll(const QString& name)
{
    QFile f(name);
    if (!f.open(QIODevice::ReadOnly))
        return "<missing>";
    const QByteArray b = f.readAll();
    return std::string(b.constData(), size_t(b.size()));
}

const char* const Head = "<HTML>\r\n<HEAD>\r\n<TITLE>Lumesta</TITLE>\r\n"
                         "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1250\">\r\n"
                         "</HEAD>\r\n<BODY bgcolor=\"#FFFFFF\"\r\n";
const char* const Base = "<FONT size=2 color=\"#000000\" face=\"Times New Roman\">\r\n";
const char* const Tail = "\r\n</FONT>\r\n</BODY></HTML>\r\n";

class Export : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        style = std::make_unique<TDVStyle>();
        style->SetColor(clWhite);
        style->TextStyles().Items(0).Color = clBlack;
        view = std::make_unique<ReservedView>();
        view->SetStyle(style.get());
        view->SetFirstJumpNo(1000);
        marks = std::make_unique<TImageList>(16, 15);
        for (const Qt::GlobalColor c : {Qt::red, Qt::blue}) {
            QImage img(16, 15, QImage::Format_RGB32);
            img.fill(c);
            marks->Add(img);
        }
    }
    QString path(const char* name) const { return tmp.filePath(name); }
    bool exists(const char* name) const { return QFileInfo::exists(path(name)); }

    QTemporaryDir tmp;
    std::unique_ptr<TDVStyle> style;
    std::unique_ptr<ReservedView> view;
    std::unique_ptr<TImageList> marks;
};

} // namespace

TEST_F(Export, HtmlOfASmallDocumentIsByteExact)
{
    view->AddCheckpoint("0");
    view->AddCenteredLine("Title", 2);
    view->AddParagraph("a  b & <c>", 0);
    view->AddText(" see ", 0);
    view->AddText("link", 4);
    view->AddHotspot(0, marks.get(), false);
    view->AddParagraph("   x", 0);
    view->AddCheckpoint("1");
    view->AddHotspot(0, marks.get(), true);
    view->AddText("end", 1);
    view->AddCenteredLine("C", 0);
    view->AddParagraph("last", 5);
    std::vector<int> asked;
    view->OnURLNeeded = [&](TDocView*, int id, std::string& url) {
        asked.push_back(id);
        if (id == 1000)
            url = "x.html#1000";
    };
    ASSERT_TRUE(view->SaveHTML(path("doc.html"), "Lumesta", "dvimg", true));
    const std::string expected =
        std::string(Head) + "      leftmargin=5>\r\n" + Base +
        "\r\n<A name=DocViewCheckPoint0></A>\r\n"
        "<CENTER><FONT size=2 color=\"#000080\" face=\"Times New Roman\"><B>Title</B></FONT></CENTER>"
        "a&nbsp b &amp &ltc&gt see "
        "<A href=x.html#1000><FONT size=2 color=\"#008000\" face=\"Times New Roman\"><U>link</U></FONT></A>"
        "<IMG src=\"dvimg1.bmp\"><BR>\r\n"
        "&nbsp&nbsp x"
        "\r\n<A name=DocViewCheckPoint1></A>\r\n"
        "<BR>\r\n<IMG src=\"dvimg1.bmp\">"
        "<FONT size=2 color=\"#0000FF\" face=\"Times New Roman\"><B>end</B></FONT>"
        "<CENTER>C</CENTER>"
        "<FONT size=2 color=\"#008000\" face=\"Times New Roman\"><U>last</U></FONT>" +
        Tail;
    EXPECT_EQ(readAll(path("doc.html")), expected);
    // Text jumps and hotspots share one numbering, as the clicks report it.
    EXPECT_EQ(asked, (std::vector<int>{1000, 1001, 1002, 1003}));
    // The same image twice: one file.
    EXPECT_TRUE(exists("dvimg1.bmp"));
    EXPECT_FALSE(exists("dvimg2.bmp"));
}

TEST_F(Export, NamedAnchorsStandWhereTheirItemsBegin)
{
    view->AddParagraph("one", 0);
    view->AddText(" more", 0);
    view->AddParagraph("two", 0);
    view->AddHotspot(0, marks.get(), true);
    view->AddCheckpoint("0");
    view->AddCenteredLine("C", 0);
    // Any order; two on one item; one past the items, one on an item that
    // continues a line; a quote and an ampersand are escaped.
    view->SetAnchors({{3, "img"}, {1, "cont"}, {0, "a\"b&c"}, {9, "gone"}, {2, "two"}, {0, "first"}, {4, "cp"}});
    ASSERT_TRUE(view->SaveHTML(path("a.html"), "Lumesta", "dvimg", true));
    const std::string expected = std::string(Head) + "      leftmargin=5>\r\n" + Base +
                                 "<A name=\"a&quot;b&amp;c\"></A><A name=\"first\"></A>one"
                                 "<A name=\"cont\"></A> more<BR>\r\n<A name=\"two\"></A>two<BR>\r\n"
                                 "<A name=\"img\"></A><IMG src=\"dvimg1.bmp\"><A name=\"cp\"></A>\r\n"
                                 "<A name=DocViewCheckPoint0></A>\r\n<CENTER>C</CENTER>" +
                                 Tail;
    EXPECT_EQ(readAll(path("a.html")), expected);
    // Plain text knows no anchors; Clear forgets them.
    ASSERT_TRUE(view->SaveText(path("a.txt"), 65));
    EXPECT_EQ(readAll(path("a.txt")), "\r\none more\r\ntwo\r\n\r\n                                C");
    view->Clear();
    EXPECT_TRUE(view->Anchors().empty());
}

TEST_F(Export, FontTagsAreRelativeToTheBaseStyleAndSizesMapToHtmlSizes)
{
    TFontInfos& s = style->TextStyles();
    s.Items(0).Style = fsBold | fsUnderline;
    s.Items(0).FontName = cp1250::fromUtf8("Księga");
    s.Items(3).Style = fsItalic | fsUnderline;
    s.Items(3).Size = 13;
    s.Items(3).Color = RGBColor(0x12, 0xAB, 0xEF);
    s.Items(1).Style = fsBold | fsUnderline; // as the base, but for colour
    s.Items(1).Size = 25;
    view->AddParagraph("it", 3);
    view->AddText("same", 1);
    ASSERT_TRUE(view->SaveHTML(path("t.htm"), "Lumesta", "dvimg", true));
    const std::string face = cp1250::fromUtf8("Księga");
    const std::string expected = std::string(Head) + "      leftmargin=5>\r\n" +
                                 "<FONT size=2 color=\"#000000\" face=\"" + face + "\"><B><U>\r\n" +
                                 "<FONT size=4 color=\"#12ABEF\" face=\"Times New Roman\"></B><I>it</I><B></FONT>" +
                                 "<FONT size=7 color=\"#0000FF\" face=\"Times New Roman\">same</FONT>" +
                                 "\r\n</B></U></FONT>\r\n</BODY></HTML>\r\n";
    EXPECT_EQ(readAll(path("t.htm")), expected);
}

TEST_F(Export, ReservedKindsBackgroundAndImageNumbering)
{
    QImage tile(8, 8, QImage::Format_RGB32);
    tile.fill(Qt::green);
    view->SetBackgroundBitmap(tile);
    view->SetBackgroundStyle(bsTiled);
    view->SetLeftMargin(12);
    TLineInfo rule;
    rule.StyleNo = rvsBreak;
    TLineInfo pic;
    pic.StyleNo = rvsPicture;
    pic.Center = true;
    pic.Picture = std::make_shared<QImage>(4, 3, QImage::Format_ARGB32);
    pic.Picture->fill(Qt::transparent);
    TLineInfo control;
    control.StyleNo = rvsComponent;
    view->AddParagraph("one", 0);
    view->AddItem("", rule);
    view->AddParagraph("two", 0);
    view->AddItem("", pic);
    view->AddHotspot(1, marks.get(), false);
    view->AddItem("", control);
    std::vector<TDVSaveFormat> formats;
    view->OnSaveComponentToFile = [&](TDocView*, const std::string& dir, QWidget*, TDVSaveFormat f,
                                      std::string& out) {
        formats.push_back(f);
        EXPECT_EQ(dir, QDir(tmp.path()).absolutePath().toStdString() + "/");
        out = f == dvsfHTML ? "<TABLE></TABLE>" : "[table]";
    };
    ASSERT_TRUE(view->SaveHTML(path("r.html"), "Lumesta", "dvimg", true));
    const std::string expected = std::string(Head) +
                                 "      background=dvimg1.bmp\r\n      bgproperties=fixed\r\n"
                                 "      leftmargin=12>\r\n" +
                                 Base + "one<HR noshade size=1>\r\ntwo<CENTER><IMG src=\"dvimg2.bmp\"></CENTER>" +
                                 "<IMG src=\"dvimg3.bmp\"><TABLE></TABLE>\r\n" + Tail;
    EXPECT_EQ(readAll(path("r.html")), expected);

    // The files are bitmaps; a transparent picture is put on the page colour
    // and an image-list image keeps its own pixels.
    QImage bg(path("dvimg1.bmp"), "BMP"), pi(path("dvimg2.bmp"), "BMP"), hs(path("dvimg3.bmp"), "BMP");
    ASSERT_FALSE(bg.isNull());
    ASSERT_FALSE(pi.isNull());
    ASSERT_FALSE(hs.isNull());
    EXPECT_EQ(bg.size(), QSize(8, 8));
    EXPECT_EQ(pi.size(), QSize(4, 3));
    EXPECT_EQ(QColor(pi.pixel(1, 1)), QColor(Qt::white));
    EXPECT_EQ(hs.size(), QSize(16, 15));
    EXPECT_EQ(QColor(hs.pixel(3, 3)), QColor(Qt::blue));

    // Again with overwriting: the same names. Without it: new ones.
    ASSERT_TRUE(view->SaveHTML(path("r.html"), "Lumesta", "dvimg", true));
    EXPECT_FALSE(exists("dvimg4.bmp"));
    ASSERT_TRUE(view->SaveHTML(path("r2.html"), "Lumesta", "dvimg", false));
    EXPECT_TRUE(exists("dvimg6.bmp"));
    EXPECT_NE(readAll(path("r2.html")).find("background=dvimg4.bmp"), std::string::npos);
    EXPECT_EQ(formats, (std::vector<TDVSaveFormat>{dvsfHTML, dvsfHTML, dvsfHTML}));

    // Scrolled tiles are not fixed.
    view->SetBackgroundStyle(bsTiledAndScrolled);
    ASSERT_TRUE(view->SaveHTML(path("r3.html"), "Lumesta", "pic", true));
    const std::string r3 = readAll(path("r3.html"));
    EXPECT_NE(r3.find("background=pic1.bmp\r\n      leftmargin=12>"), std::string::npos);
    EXPECT_TRUE(exists("pic3.bmp"));
}

TEST_F(Export, PlainTextIsOneLinePerParagraphWithCentredPadding)
{
    TLineInfo rule;
    rule.StyleNo = rvsBreak;
    TLineInfo control;
    control.StyleNo = rvsComponent;
    const std::string longLine(70, 'L');
    view->AddCheckpoint("0");
    view->AddCenteredLine("Title", 2);
    view->AddCenteredLine("Odd!", 2);
    view->AddParagraph("Art. 1. ", 1);
    view->AddText(cp1250::fromUtf8("Treść."), 0);
    view->AddHotspot(0, marks.get(), false);
    view->AddHotspot(0, marks.get(), true);
    view->AddText("after", 0);
    view->AddCenteredLine(longLine, 0);
    view->AddItem("", rule);
    view->AddItem("", control);
    view->AddParagraph("end", 0);
    view->OnSaveComponentToFile = [&](TDocView*, const std::string&, QWidget*, TDVSaveFormat f, std::string& out) {
        out = f == dvsfText ? "[table]" : "?";
    };
    ASSERT_TRUE(view->SaveText(path("doc.txt"), 65));
    const std::string expected = "\r\n" + std::string(30, ' ') + "Title" + "\r\n" + std::string(30, ' ') +
                                 "Odd!" + "\r\nArt. 1. " + cp1250::fromUtf8("Treść.") + "\r\nafter" + "\r\n" +
                                 longLine + "\r\n" + std::string(65, '-') + "\r\n[table]" + "\r\nend";
    EXPECT_EQ(readAll(path("doc.txt")), expected);
}

TEST_F(Export, FailuresAreReportedAndLeaveNoHalfWrittenTarget)
{
    view->AddParagraph("text", 0);
    view->AddHotspot(0, marks.get(), false);
    // A folder that does not exist, and a "folder" that is a file.
    EXPECT_FALSE(view->SaveHTML(path("missing/doc.html"), "Lumesta", "dvimg", true));
    EXPECT_FALSE(view->SaveText(path("missing/doc.txt"), 65));
    EXPECT_FALSE(exists("missing"));
    ASSERT_TRUE(view->SaveText(path("plain.txt"), 65));
    EXPECT_FALSE(view->SaveHTML(path("plain.txt/doc.html"), "Lumesta", "dvimg", true));
    // The target is a folder.
    ASSERT_TRUE(QDir(tmp.path()).mkdir("sub"));
    EXPECT_FALSE(view->SaveHTML(path("sub"), "Lumesta", "dvimg", true));
    EXPECT_FALSE(view->SaveText(path("sub"), 65));
    EXPECT_TRUE(QFileInfo(path("sub")).isDir());
    // No style: nothing at all is written.
    view->SetStyle(nullptr);
    EXPECT_FALSE(view->SaveHTML(path("nostyle.html"), "Lumesta", "dvimg", true));
    EXPECT_FALSE(exists("nostyle.html"));
    EXPECT_FALSE(exists("dvimg1.bmp"));
}

TEST_F(Export, AnUnwritableFolderFailsAndKeepsTheOldFile)
{
    view->AddParagraph("new text", 0);
    view->AddHotspot(0, marks.get(), false);

    // A folder name taken by a file: no one can write in it, root included.
    {
        QFile old(path("ro"));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    const QString inFile = path("ro");
    EXPECT_FALSE(view->SaveText(inFile + "/doc.txt", 65));
    EXPECT_FALSE(view->SaveHTML(inFile + "/doc.html", "Lumesta", "dvimg", true));
    EXPECT_EQ(readAll(inFile), "old");
    // Nothing went anywhere else either, images included.
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"ro"});

    // A folder without write permission, where permissions bind the user
    // (they do not bind root, for whom the case above stands in).
    ASSERT_TRUE(QDir(tmp.path()).mkdir("rodir"));
    const QString ro = path("rodir");
    {
        QFile old(ro + "/doc.txt");
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    QFile::setPermissions(ro, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    if (!QFileInfo(ro).isWritable()) {
        EXPECT_FALSE(view->SaveText(ro + "/doc.txt", 65));
        EXPECT_FALSE(view->SaveHTML(ro + "/doc.html", "Lumesta", "dvimg", true));
        EXPECT_EQ(readAll(ro + "/doc.txt"), "old");
        EXPECT_EQ(QDir(ro).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"doc.txt"});
    }
    QFile::setPermissions(ro, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

namespace {
// An image that cannot be written (a full disk, say) halfway through.
class FailingImageView : public ReservedView {
public:
    int calls = 0;
    bool SaveImage(const QString& path, QString& fileName, const QImage& graphic) override
    {
        return ++calls < 2 && ReservedView::SaveImage(path, fileName, graphic);
    }
};
} // namespace

TEST_F(Export, AnImageThatCannotBeWrittenFailsTheExportAndKeepsTheOldPage)
{
    FailingImageView v;
    v.SetStyle(style.get());
    v.AddParagraph("before", 0);
    v.AddHotspot(0, marks.get(), false);
    v.AddHotspot(1, marks.get(), false); // a second image: this one fails
    v.AddParagraph("after", 0);
    {
        QFile old(path("doc.html"));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old page");
    }
    EXPECT_FALSE(v.SaveHTML(path("doc.html"), "Lumesta", "dvimg", true));
    EXPECT_EQ(v.calls, 2);
    EXPECT_EQ(readAll(path("doc.html")), "old page");
    // The image written before the failure stays; no temporary file is left.
    EXPECT_TRUE(exists("dvimg1.bmp"));
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files).size(), 2);
}

TEST_F(Export, Utf8ExportsConvertTheTextAndEndLinesWithLf)
{
    view->AddCenteredLine(cp1250::fromUtf8("Księga"), 2);
    view->AddParagraph(cp1250::fromUtf8("Zażółć gęślą jaźń"), 0);
    ASSERT_TRUE(view->SaveText(path("u.txt"), 20, dvteUtf8));
    EXPECT_EQ(readAll(path("u.txt")), "\n       Księga\nZażółć gęślą jaźń");
    ASSERT_TRUE(view->SaveHTML(path("u.html"), cp1250::fromUtf8("Tytuł"), "dvimg", true, dvteUtf8));
    const std::string html = readAll(path("u.html"));
    EXPECT_NE(html.find("<TITLE>Tytuł</TITLE>\n"), std::string::npos) << html;
    EXPECT_NE(html.find("charset=utf-8"), std::string::npos);
    EXPECT_NE(html.find("Zażółć gęślą jaźń"), std::string::npos) << html;
    EXPECT_EQ(html.find('\r'), std::string::npos);
    // The same document in the code page is byte for byte the old export.
    ASSERT_TRUE(view->SaveText(path("w.txt"), 20));
    EXPECT_EQ(readAll(path("w.txt")), cp1250::fromUtf8("\r\n       Księga\r\nZażółć gęślą jaźń"));
}
