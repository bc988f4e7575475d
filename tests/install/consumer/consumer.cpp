// Creates the control's widget through the installed headers and library and
// prints the caption's text back.
#include <Veer12/VeerWidget.h>

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    veer::VeerWidget widget;
    widget.setCaption(QStringLiteral("consumer"));
    std::printf("%s\n", qPrintable(widget.caption()));
    return 0;
}
