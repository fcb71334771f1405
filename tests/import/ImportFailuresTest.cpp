// Hostile input: every failure is one clear message and no source text;
// nothing crashes, hangs or reads out of bounds (the sanitizer build runs
// these too).
#include "ImportTestUtil.h"

#include <QCryptographicHash>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QBuffer>

#include <gtest/gtest.h>

#include <functional>
#include <random>

using namespace importtest;

namespace {

importer::Result import(const QByteArray& bytes)
{
    return importer::importBytes(bytes);
}

void expectFailure(const QByteArray& bytes, const std::string& messagePart)
{
    const importer::Result r = import(bytes);
    EXPECT_FALSE(r.ok) << messagePart;
    EXPECT_TRUE(r.source.empty());
    EXPECT_NE(r.error.find(messagePart), std::string::npos) << "got: " << r.error;
}

// A PDF drawn with `paint` on pages of the given size.
QByteArray pdf(const std::function<void(QPainter&, QPdfWriter&)>& paint, QSizeF points = QSizeF(595, 842))
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter w(&buffer);
    w.setPageSize(QPageSize(points, QPageSize::Point));
    w.setPageMargins(QMarginsF(0, 0, 0, 0));
    w.setResolution(72);
    QPainter p(&w);
    paint(p, w);
    p.end();
    return bytes;
}

QByteArray rc4(const QByteArray& key, const QByteArray& data)
{
    unsigned char s[256];
    for (int i = 0; i < 256; ++i)
        s[i] = static_cast<unsigned char>(i);
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + s[i] + static_cast<unsigned char>(key[i % key.size()])) & 255;
        std::swap(s[i], s[j]);
    }
    QByteArray out(data.size(), '\0');
    for (int k = 0, i = 0, j = 0; k < data.size(); ++k) {
        i = (i + 1) & 255;
        j = (j + s[i]) & 255;
        std::swap(s[i], s[j]);
        out[k] = static_cast<char>(data[k] ^ s[(s[i] + s[j]) & 255]);
    }
    return out;
}

// A one-page PDF protected with the standard security handler (40-bit RC4)
// and the user password "tajne": it opens only with that password.
QByteArray encryptedPdf()
{
    const QByteArray pad = QByteArray::fromHex("28BF4E5E4E758A4164004E56FFFA01082E2E00B6D0683E802F0CA9FE6453697A");
    auto padded = [&](const QByteArray& pw) { return (pw + pad).left(32); };
    const QByteArray id = QByteArray::fromHex("0123456789ABCDEF0123456789ABCDEF");
    const QByteArray ownerKey = QCryptographicHash::hash(padded("wlasciciel"), QCryptographicHash::Md5).left(5);
    const QByteArray o = rc4(ownerKey, padded("tajne"));
    const QByteArray p = QByteArray::fromHex("FCFFFFFF");  // -4
    const QByteArray key = QCryptographicHash::hash(padded("tajne") + o + p + id, QCryptographicHash::Md5).left(5);
    const QByteArray u = rc4(key, pad);

    QByteArray doc = "%PDF-1.4\n";
    std::vector<int> offsets;
    auto object = [&](const QByteArray& body) {
        offsets.push_back(int(doc.size()));
        doc += QByteArray::number(int(offsets.size())) + " 0 obj\n" + body + "\nendobj\n";
    };
    object("<< /Type /Catalog /Pages 2 0 R >>");
    object("<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
    object("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] >>");
    object("<< /Filter /Standard /V 1 /R 2 /O <" + o.toHex() + "> /U <" + u.toHex() + "> /P -4 >>");
    const int xref = int(doc.size());
    doc += "xref\n0 5\n0000000000 65535 f \n";
    for (int off : offsets)
        doc += QByteArray::number(off).rightJustified(10, '0') + " 00000 n \n";
    doc += "trailer\n<< /Size 5 /Root 1 0 R /Encrypt 4 0 R /ID [<" + id.toHex() + "><" + id.toHex() + ">] >>\n";
    doc += "startxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    return doc;
}

} // namespace

TEST(ImportFailures, EmptyBinaryAndOtherEncodings)
{
    expectFailure("", "empty");
    expectFailure("  \n\n\t \r\n", "empty");
    expectFailure(QByteArray("\x7F" "ELF\x02\x01\x01\0\0\0\0garbage", 19), "neither a PDF nor a text");

    const QString polish = QStringLiteral("USTAWA\nArt. 1. Zażółć gęślą jaźń. Świadek Ździsław ąę.\n");
    QByteArray utf16 = "\xFF\xFE";
    for (QChar c : polish) {
        utf16 += char(c.unicode() & 0xFF);
        utf16 += char(c.unicode() >> 8);
    }
    expectFailure(utf16, "UTF-16");
    expectFailure(utf16.mid(2), "UTF-16");

    // The same text in the two 8-bit code pages of Polish: named as such.
    QByteArray win1250, iso;
    for (QChar c : polish) {
        const char16_t u = c.unicode();
        const char* w = nullptr;
        const char* i = nullptr;
        switch (u) {
        case u'ż': w = "\xBF"; i = "\xBF"; break;
        case u'ó': w = "\xF3"; i = "\xF3"; break;
        case u'ł': w = "\xB3"; i = "\xB3"; break;
        case u'ć': w = "\xE6"; i = "\xE6"; break;
        case u'ę': w = "\xEA"; i = "\xEA"; break;
        case u'ś': w = "\x9C"; i = "\xB6"; break;
        case u'ą': w = "\xB9"; i = "\xB1"; break;
        case u'ź': w = "\x9F"; i = "\xBC"; break;
        case u'ń': w = "\xF1"; i = "\xF1"; break;
        case u'Ś': w = "\x8C"; i = "\xA6"; break;
        case u'Ź': w = "\x8F"; i = "\xAC"; break;
        default: break;
        }
        win1250 += w ? QByteArray(w) : QByteArray(1, char(u));
        iso += i ? QByteArray(i) : QByteArray(1, char(u));
    }
    expectFailure(win1250, "Windows-1250");
    expectFailure(iso, "ISO-8859-2");
    const importer::Result r = import(win1250);
    EXPECT_NE(r.error.find("line 2"), std::string::npos) << r.error;
}

TEST(ImportFailures, DamagedEncryptedTextlessAndNonLawPdfs)
{
    expectFailure("%PDF-1.7\n1 0 obj << broken", "cannot be read as a PDF");
    const importer::Sample sample = importer::makeSamplePdf(kFeatureContent, {});
    expectFailure(sample.pdf.left(sample.pdf.size() / 2), "cannot be read as a PDF");
    expectFailure(encryptedPdf(), "password");
    expectFailure(pdf([](QPainter& p, QPdfWriter&) { p.drawRect(50, 50, 200, 100); }), "no text");
    expectFailure(pdf([](QPainter& p, QPdfWriter&) {
                      p.setFont(QFont(QStringLiteral("Liberation Serif"), 12));
                      p.drawText(QPointF(70, 100), QStringLiteral("Szanowni Państwo,"));
                      p.drawText(QPointF(70, 120), QStringLiteral("zapraszamy na zebranie w czwartek."));
                  }),
                  "no article");
    // An act whose name nothing tells: the user is asked for --name.
    expectFailure(pdf([](QPainter& p, QPdfWriter&) {
                      p.setFont(QFont(QStringLiteral("Liberation Serif"), 12));
                      p.drawText(QPointF(70, 100), QStringLiteral("Art. 1. Przepis bez tytułu ustawy."));
                  }),
                  "--name");
}

TEST(ImportFailures, HugePageAndDamagedBytesNeverCrash)
{
    // One page of 5 by 5 metres set full of tiny words.
    const QByteArray huge = pdf(
        [](QPainter& p, QPdfWriter&) {
            QFont f(QStringLiteral("Liberation Serif"));
            f.setPointSizeF(4);
            p.setFont(f);
            for (int y = 0; y < 600; ++y)
                p.drawText(QPointF(10, 20 + y * 6.0),
                           QStringLiteral("Art. %1. słowo słowo słowo słowo słowo słowo słowo słowo.").arg(y + 1));
        },
        QSizeF(14400, 14400));
    importer::Options named;
    named.name = "Dz.U.2020.0.1";
    const importer::Result r = importer::importBytes(huge, named);
    EXPECT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.summary.articles, 600);

    // Bytes of a good sample changed at random: a result or a message.
    std::mt19937 rng(42);
    const QByteArray good = importer::makeSamplePdf(kFeatureContent, {}).pdf;
    for (int round = 0; round < 24; ++round) {
        QByteArray bytes = good;
        const int changes = 1 + int(rng() % 40);
        for (int k = 0; k < changes; ++k)
            bytes[int(rng() % std::uint32_t(bytes.size()))] = char(rng() & 0xFF);
        const importer::Result damaged = import(bytes);
        EXPECT_TRUE(damaged.ok || !damaged.error.empty());
    }
    // Text that is valid UTF-8 but nonsense.
    for (int round = 0; round < 24; ++round) {
        QString s;
        const int n = 1 + int(rng() % 3000);
        for (int k = 0; k < n; ++k) {
            static const QString pieces[] = {QStringLiteral("Art. "), QStringLiteral("1)"), QStringLiteral("§ "),
                                             QStringLiteral("\n"), QStringLiteral("\f"), QStringLiteral("-"),
                                             QStringLiteral("DZIAŁ "), QStringLiteral("ą"), QStringLiteral("1."),
                                             QStringLiteral(" "), QStringLiteral("\u00AD"), QStringLiteral("x"),
                                             QStringLiteral("\uE000"), QStringLiteral("Dz. U. "), QStringLiteral("5")};
            s += pieces[rng() % 15];
        }
        const importer::Result nonsense = import(s.toUtf8());
        EXPECT_TRUE(nonsense.ok || !nonsense.error.empty());
    }
}
