#pragma once
// The report's pictures, painted as the results tab paints its diagrams.

#include "model/Application.h"

#include <memory>
#include <string>

class QGuiApplication;

namespace infil::ui {

// In the batch mode no Qt application runs; the first picture starts one that
// draws offscreen (for the fonts), and the numbers' C locale is kept.
class QtDiagramRenderer : public model::DiagramRenderer {
public:
    QtDiagramRenderer();
    ~QtDiagramRenderer() override;

    std::string png(const report::Diagram& diagram, int width, int height) override;

    // Pixels of the picture per pixel of the page: sharp on paper and at 2x.
    static constexpr int kScale = 2;

private:
    bool ready();

    int argc_ = 3;
    char* argv_[4];
    std::unique_ptr<QGuiApplication> offscreen_;
};

} // namespace infil::ui
