#include "DiagramRenderer.h"

#include "DiagramPainter.h"

#include <QGuiApplication>

#include <clocale>

namespace infil::ui {

QtDiagramRenderer::QtDiagramRenderer()
{
    static char name[] = "infil";
    static char option[] = "-platform";
    static char platform[] = "offscreen";
    argv_[0] = name;
    argv_[1] = option;
    argv_[2] = platform;
    argv_[3] = nullptr;
}

QtDiagramRenderer::~QtDiagramRenderer() = default;

bool QtDiagramRenderer::ready()
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return true;
    if (QCoreApplication::instance())
        return false; // a console application has no fonts to draw with
    // Qt sets the C library to the user's locale; the program's numbers (and
    // the batch output) are never written in it.
    const std::string locale = std::setlocale(LC_ALL, nullptr);
    offscreen_ = std::make_unique<QGuiApplication>(argc_, argv_);
    std::setlocale(LC_ALL, locale.c_str());
    return true;
}

std::string QtDiagramRenderer::png(const report::Diagram& diagram, int width, int height)
{
    if (!ready())
        return {};
    const QByteArray bytes = diagramPng(diagram, QSize(width, height), kScale);
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}

} // namespace infil::ui
