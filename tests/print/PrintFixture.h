#pragma once
// A source view and a print component over a fake printer whose layout
// canvas is the deterministic test canvas: at 600 dpi a 10-point style is an
// 83-pixel font. The copy measures "screen" pixels at 96 dpi.
#include "platform/TestCanvas.h"
#include "print/PtblDV.h"

#include <gtest/gtest.h>

#include <QImage>
#include <memory>
#include <string>
#include <vector>

class TFakePrinter : public TPrinterTarget {
public:
    Geometry geometry{4724, 6780, 200, 287, 600, 600};
    bool canCopy = false;
    int copies = 1;
    std::string title;
    std::vector<std::string> log; // begin, sheet, end, abort
    int copiesDuringJob = 0;
    TTestCanvas canvas{600, 600};

    Geometry PageGeometry() const override { return geometry; }
    std::unique_ptr<TCanvas> MeasuringCanvas() const override
    {
        return std::make_unique<TTestCanvas>(geometry.DpiX, geometry.DpiY);
    }
    bool CanCopy() const override { return canCopy; }
    int Copies() const override { return copies; }
    void SetCopies(int c) override { copies = c; }
    void SetTitle(const std::string& t) override { title = t; }
    TCanvas& Begin() override
    {
        log.push_back("begin");
        copiesDuringJob = copies;
        return canvas;
    }
    void NewPage() override { log.push_back("sheet"); }
    void End() override { log.push_back("end"); }
    void Abort() override { log.push_back("abort"); }
};

class PrintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        style = std::make_unique<TDVStyle>();
        source = std::make_unique<TDocView>();
        source->SetCanvas(std::make_unique<TTestCanvas>(96, 96));
        source->SetStyle(style.get());
        marks.Add(markImage());
        print = std::make_unique<TDVPrint>();
        print->Copy()->SetCanvas(std::make_unique<TTestCanvas>(96, 96));
        auto p = std::make_unique<TFakePrinter>();
        printer = p.get();
        print->SetPrinter(std::move(p));
    }

    static QImage markImage()
    {
        QImage img(16, 15, QImage::Format_RGB32);
        img.fill(Qt::red);
        return img;
    }

    // n one-word paragraphs in style 0.
    void AddLines(int n)
    {
        for (int i = 0; i < n; ++i)
            source->AddParagraph("w" + std::to_string(i), 0);
    }

    int Paginate()
    {
        print->AssignDocument(source.get());
        return print->Paginate(foPictures | foImages);
    }

    TPrintableDV& copy() { return *print->Copy(); }
    const TDrawLineInfo& line(int i) { return copy().DrawLines().at(size_t(i)).Info; }
    int lines() { return int(copy().DrawLines().size()); }
    int firstOf(int page) { return copy().Pages().at(size_t(page - 1)).FirstDrawItem; }
    int topOf(int page) { return copy().Pages().at(size_t(page - 1)).TopY; }

    // Every page holds lines, starts further on than the one before, and
    // its lines lie within its text area (unless taller than a page).
    void ExpectSoundPages()
    {
        const int h = copy().CopyHeight();
        const int pages = copy().PagesCount();
        for (int p = 1; p <= pages; ++p) {
            const int first = firstOf(p);
            const int last = p == pages ? lines() - 1 : firstOf(p + 1) - 1;
            ASSERT_LE(first, last) << "page " << p << " is empty";
            if (p > 1) {
                EXPECT_GT(first, firstOf(p - 1));
            }
            for (int i = first; i <= last; ++i) {
                if (line(i).Height <= h) {
                    EXPECT_LE(line(i).Top + line(i).Height, topOf(p) + h) << "line " << i << " page " << p;
                }
                EXPECT_GE(line(i).Top, topOf(p)) << "line " << i << " page " << p;
            }
        }
    }

    std::unique_ptr<TDVStyle> style;
    std::unique_ptr<TDocView> source;
    TImageList marks{16, 15};
    std::unique_ptr<TDVPrint> print;
    TFakePrinter* printer = nullptr;
};
