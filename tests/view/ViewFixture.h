#pragma once
// A view laid out with the deterministic test canvas at 72 dpi, so that a
// style of n points is an n-pixel font: advance n/2, ascent n - n/4,
// descent n/4, external leading n/8. Style 0 (10 pt): advance 5, ascent 8,
// descent 2, leading 1, line height 11.
#include "platform/TestCanvas.h"
#include "view/DocView.h"

#include <gtest/gtest.h>

#include <memory>

class ViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        style = std::make_unique<TDVStyle>();
        view = std::make_unique<TDocView>();
        auto c = std::make_unique<TTestCanvas>(72, 72);
        canvas = c.get();
        view->SetCanvas(std::move(c));
        view->SetStyle(style.get());
        view->resize(400, 300);
        // Text width 100 whatever the client width is.
        view->SetMaxTextWidth(100);
    }

    const TDrawLineInfo& line(int i) const { return view->DrawLines().at(size_t(i)).Info; }
    const std::string& text(int i) const { return view->DrawLines().at(size_t(i)).Text; }
    int lines() const { return int(view->DrawLines().size()); }

    std::unique_ptr<TDVStyle> style;
    std::unique_ptr<TDocView> view;
    TTestCanvas* canvas = nullptr;
};
