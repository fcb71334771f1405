// TDocView: writing the document as HTML (images as bitmap files beside it)
// or as plain text. Both walk the item list, so the window's width plays no
// part. The bytes of the items are written as they are (Windows-1250), every
// line ended by CR LF; or, on request, the same text in UTF-8 with LF line
// ends, as text files are written on Linux.
#include "view/DocView.h"

#include "platform/QtColors.h"
#include "platform/QtText.h"
#include "platform/core/Cp1250.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QSaveFile>
#include <algorithm>
#include <climits>
#include <cstdio>

namespace {

const char* lineEnd(TDVTextEncoding encoding) { return encoding == dvteUtf8 ? "\n" : "\r\n"; }

// The export's bytes: everything is assembled in Windows-1250 (the markup is
// ASCII), then converted as a whole.
std::string encoded(const std::string& cp1250Text, TDVTextEncoding encoding)
{
    return encoding == dvteUtf8 ? cp1250::toUtf8(cp1250Text) : cp1250Text;
}

// The target of an export: a temporary file beside it that replaces the
// target only once everything has been written, so a failure (read-only
// target, full disk, missing folder) never leaves a truncated file standing
// in the target's place. Opened before anything else is written, so that an
// unwritable target is found before any image file is made.
class TTarget {
public:
    explicit TTarget(const QString& fileName) : FFile(fileName) {}
    bool Open() { return FFile.open(QIODevice::WriteOnly); }
    bool Finish(const std::string& data)
    {
        if (FFile.write(data.data(), qint64(data.size())) != qint64(data.size())) {
            FFile.cancelWriting();
            FFile.commit();
            return false;
        }
        return FFile.commit();
    }

private:
    QSaveFile FFile;
};

// &, > and < as entities (without the closing semicolon, as the format has
// it); a run of n >= 2 spaces as n - 1 times "&nbsp" and one space.
std::string escapeHtml(const std::string& s)
{
    std::string out;
    out.reserve(s.size() + s.size() / 8);
    for (size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '&') {
            out += "&amp";
        } else if (c == '>') {
            out += "&gt";
        } else if (c == '<') {
            out += "&lt";
        } else if (c == ' ') {
            size_t j = i;
            while (j < s.size() && s[j] == ' ')
                ++j;
            for (size_t k = i + 1; k < j; ++k)
                out += "&nbsp";
            out += ' ';
            i = j - 1;
        } else {
            out += c;
        }
    }
    return out;
}

// "#RRGGBB" in double quotes; system colours as they are resolved now.
std::string htmlColor(TColor c)
{
    const QColor q = toQColor(c);
    char buf[16];
    std::snprintf(buf, sizeof buf, "\"#%02X%02X%02X\"", q.red(), q.green(), q.blue());
    return buf;
}

int htmlSize(int points)
{
    if (points <= 8)
        return 1;
    if (points <= 10)
        return 2;
    if (points <= 12)
        return 3;
    if (points <= 14)
        return 4;
    if (points <= 18)
        return 5;
    if (points <= 24)
        return 6;
    return 7;
}

constexpr int EmphasisBits[] = {fsBold, fsItalic, fsUnderline, fsStrikeOut};
constexpr const char* OpenEmphasis[] = {"<B>", "<I>", "<U>", "<S>"};
constexpr const char* CloseEmphasis[] = {"</B>", "</I>", "</U>", "</S>"};

std::string closeTags(int bits)
{
    std::string out;
    for (int k = 0; k < 4; ++k)
        if (bits & EmphasisBits[k])
            out += CloseEmphasis[k];
    return out;
}

std::string openTags(int bits)
{
    std::string out;
    for (int k = 0; k < 4; ++k)
        if (bits & EmphasisBits[k])
            out += OpenEmphasis[k];
    return out;
}

// base: the style the page's text is in (style 0) when the tag is relative
// to it, null otherwise.
std::string openTag(const TFontInfo& s, const TFontInfo* base)
{
    std::string out = "<FONT size=" + std::to_string(htmlSize(s.Size)) + " color=" + htmlColor(s.Color) +
                      " face=\"" + s.FontName + "\">";
    if (!base)
        return out + openTags(s.Style);
    return out + closeTags(base->Style & ~s.Style) + openTags(s.Style & ~base->Style);
}

std::string closeTag(const TFontInfo& s, const TFontInfo* base)
{
    if (!base)
        return closeTags(s.Style) + "</FONT>";
    return closeTags(s.Style & ~base->Style) + openTags(base->Style & ~s.Style) + "</FONT>";
}

// Thrown inside an export when an image cannot be written; never leaves it.
struct ExportFailed {};

} // namespace

// ---- images -------------------------------------------------------------------

void TDocView::GetNextImageFileName(const QString& path, QString& name)
{
    for (;;) {
        if (FImageCounter == INT_MAX)
            throw ExportFailed{};
        ++FImageCounter;
        name = path + toQString(FImagesPrefix) + QString::number(FImageCounter) + ".bmp";
        const QFileInfo fi(name);
        if (!fi.exists())
            return;
        if (FOverwriteImages && fi.isFile() && fi.permission(QFile::WriteUser))
            return;
    }
}

bool TDocView::SaveImage(const QString& path, QString& fileName, const QImage& graphic)
{
    QString full;
    GetNextImageFileName(path, full);
    fileName = QFileInfo(full).fileName();
    QImage bmp = graphic;
    if (graphic.isNull() || graphic.hasAlphaChannel()) {
        // Anything but a plain bitmap is drawn onto the page's colour first.
        bmp = QImage(std::max(1, graphic.width()), std::max(1, graphic.height()), QImage::Format_RGB32);
        bmp.fill(toQColor(FStyle ? FStyle->Color() : clWindow));
        if (!graphic.isNull()) {
            QPainter p(&bmp);
            p.drawImage(0, 0, graphic);
        }
    }
    QSaveFile f(full);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    if (!bmp.save(&f, "BMP")) {
        f.cancelWriting();
        f.commit();
        return false;
    }
    return f.commit();
}

// ---- HTML ---------------------------------------------------------------------

void TDocView::SetAnchors(std::vector<std::pair<int, std::string>> anchors)
{
    std::stable_sort(anchors.begin(), anchors.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    FAnchors = std::move(anchors);
}

bool TDocView::SaveHTML(const QString& fileName, const std::string& title, const std::string& imagesPrefix,
                        bool overwriteImages, TDVTextEncoding encoding)
{
    if (!FStyle)
        return false;
    FImagesPrefix = imagesPrefix;
    FImageCounter = 0;
    FOverwriteImages = overwriteImages;
    try {
        return WriteHTML(fileName, title, encoding);
    } catch (const ExportFailed&) {
        return false;
    } catch (const std::exception&) {
        // A style number past the table, memory: reported as a failed export.
        return false;
    }
}

bool TDocView::WriteHTML(const QString& fileName, const std::string& title, TDVTextEncoding encoding)
{
    const char* const nl = lineEnd(encoding);
    const TFontInfos& styles = FStyle->TextStyles();
    const TFontInfo& base = styles.Items(0);
    const QString dir = QFileInfo(fileName).absolutePath() + "/";
    TTarget target(fileName);
    if (!QFileInfo(dir).isDir() || !target.Open())
        return false;

    std::string out;
    auto line = [&](const std::string& s) {
        out += s;
        out += nl;
    };
    auto saveImage = [&](const QImage& img) {
        QString name;
        if (!SaveImage(dir, name, img))
            throw ExportFailed{};
        return fromQString(name);
    };

    line("<HTML>");
    line("<HEAD>");
    line("<TITLE>" + title + "</TITLE>");
    line(std::string("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=") +
         (encoding == dvteUtf8 ? "utf-8" : "windows-1250") + "\">");
    line("</HEAD>");
    line("<BODY bgcolor=" + htmlColor(FStyle->Color()));
    if (FBackgroundStyle != bsNoBitmap) {
        line("      background=" + saveImage(FBackgroundBitmap));
        if (FBackgroundStyle != bsTiledAndScrolled)
            line("      bgproperties=fixed");
    }
    line("      leftmargin=" + std::to_string(FLeftMargin) + ">");
    line(openTag(base, nullptr));

    int jumpNo = FFirstJumpNo;
    int checkpointNo = 0;
    bool breakPending = false;
    // An image of an image list is written once; later items reuse its file.
    struct CachedImage {
        std::string fileName;
        const TImageList* list;
        int index;
    };
    std::vector<CachedImage> cache;
    auto urlFor = [&](int id) {
        std::string url;
        if (OnURLNeeded)
            OnURLNeeded(this, id, url);
        return url;
    };

    // Anchors go where their item begins: after the line break before it.
    size_t anchorNo = 0;
    auto anchorsOf = [&](int item) {
        for (; anchorNo < FAnchors.size() && FAnchors[anchorNo].first <= item; ++anchorNo) {
            if (FAnchors[anchorNo].first < item)
                continue;
            std::string name;
            for (char c : FAnchors[anchorNo].second) {
                if (c == '"')
                    name += "&quot;";
                else if (c == '&')
                    name += "&amp;";
                else
                    name += c;
            }
            out += "<A name=\"" + name + "\"></A>";
        }
    };

    const int count = int(FItems->size());
    for (int i = 0; i < count; ++i) {
        const TItem& item = (*FItems)[size_t(i)];
        const TLineInfo& li = item.Info;
        const int kind = li.StyleNo;
        if (kind >= 0) {
            if (!li.SameAsPrev && !li.Center && breakPending)
                line("<BR>");
            anchorsOf(i);
            if (li.Center)
                out += "<CENTER>";
            if (kind == 0) {
                out += escapeHtml(item.Text);
            } else {
                std::string url;
                if (IsJumpStyle(kind))
                    url = urlFor(jumpNo++);
                if (!url.empty())
                    out += "<A href=" + url + ">";
                const TFontInfo& s = styles.Items(kind);
                out += openTag(s, &base) + escapeHtml(item.Text) + closeTag(s, &base);
                if (!url.empty())
                    out += "</A>";
            }
            if (li.Center)
                out += "</CENTER>";
            breakPending = !li.Center;
            continue;
        }
        if (kind != rvsHotSpot && kind != rvsBullet)
            anchorsOf(i);
        switch (kind) {
        case rvsHotSpot:
        case rvsBullet: {
            if (!li.SameAsPrev && breakPending)
                line("<BR>");
            anchorsOf(i);
            std::string name;
            for (const CachedImage& c : cache)
                if (c.list == li.ImageList && c.index == li.ImageIndex) {
                    name = c.fileName;
                    break;
                }
            if (name.empty()) {
                const int w = li.ImageList ? li.ImageList->Width() : 0;
                const int h = li.ImageList ? li.ImageList->Height() : 0;
                QImage bmp(std::max(1, w), std::max(1, h), QImage::Format_RGB32);
                bmp.fill(toQColor(FStyle->Color()));
                if (li.ImageList) {
                    const QImage img = li.ImageList->Image(li.ImageIndex);
                    if (!img.isNull()) {
                        QPainter p(&bmp);
                        p.drawImage(0, 0, img);
                    }
                }
                name = saveImage(bmp);
                cache.push_back(CachedImage{name, li.ImageList, li.ImageIndex});
            }
            std::string url;
            if (kind == rvsHotSpot)
                url = urlFor(jumpNo++);
            if (!url.empty())
                out += "<A href=" + url + ">";
            out += "<IMG src=\"" + name + "\">";
            if (!url.empty())
                out += "</A>";
            breakPending = true;
            break;
        }
        case rvsCheckpoint:
            out += nl;
            line("<A name=DocViewCheckPoint" + std::to_string(checkpointNo++) + "></A>");
            break;
        case rvsBreak:
            line("<HR noshade size=1>");
            breakPending = false;
            break;
        case rvsPicture:
            if (!li.SameAsPrev && !li.Center)
                line("<BR>");
            if (li.Center)
                out += "<CENTER>";
            if (li.Picture)
                out += "<IMG src=\"" + saveImage(*li.Picture) + "\">";
            if (li.Center)
                out += "</CENTER>";
            breakPending = true;
            break;
        case rvsComponent:
            if (OnSaveComponentToFile) {
                std::string s;
                OnSaveComponentToFile(this, fromQString(dir), li.Control, dvsfHTML, s);
                if (!s.empty()) {
                    line(s);
                    breakPending = true;
                }
            }
            break;
        default:
            break;
        }
    }
    out += nl;
    line(closeTag(base, nullptr));
    line("</BODY></HTML>");
    return target.Finish(encoded(out, encoding));
}

// ---- plain text ---------------------------------------------------------------

bool TDocView::SaveText(const QString& fileName, int lineWidth, TDVTextEncoding encoding)
{
    const char* const nl = lineEnd(encoding);
    try {
        const std::string dashes(size_t(std::max(0, lineWidth)), '-');
        const QString dir = QFileInfo(fileName).absolutePath() + "/";
        TTarget target(fileName);
        if (!target.Open())
            return false;
        std::string out;
        for (int i = 0; i < int(FItems->size()); ++i) {
            const TItem& item = (*FItems)[size_t(i)];
            const TLineInfo& li = item.Info;
            const int kind = li.StyleNo;
            if (kind >= 0) {
                if (!li.SameAsPrev)
                    out += nl;
                if (li.Center) {
                    const int pad = (lineWidth - int(item.Text.size())) / 2;
                    if (pad > 0)
                        out.append(size_t(pad), ' ');
                }
                out += item.Text;
                continue;
            }
            switch (kind) {
            case rvsBreak:
                out += nl;
                out += dashes;
                break;
            case rvsComponent:
                if (!li.SameAsPrev)
                    out += nl;
                if (OnSaveComponentToFile) {
                    std::string s;
                    OnSaveComponentToFile(this, fromQString(dir), li.Control, dvsfText, s);
                    out += s;
                }
                break;
            case rvsHotSpot:
            case rvsBullet:
            case rvsPicture:
                if (!li.SameAsPrev)
                    out += nl;
                break;
            default:
                break; // checkpoints write nothing
            }
        }
        return target.Finish(encoded(out, encoding));
    } catch (const std::exception&) {
        return false;
    }
}
