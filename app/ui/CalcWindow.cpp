#include "CalcWindow.h"

#include <QLabel>
#include <QLocale>
#include <QTabWidget>
#include <QTime>
#include <QTimer>
#include <QVBoxLayout>

namespace infil::ui {

CalcWindow::CalcWindow(QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("INFIL - Výpočet infilovacích zařízení"));
    tabs_ = new QTabWidget(this);
    auto* info = new QWidget;
    auto* infoLayout = new QVBoxLayout(info);
    lblTime_ = new QLabel;
    lblTime_->setObjectName("lblTime");
    infoLayout->addWidget(lblTime_);
    infoLayout->addStretch();
    tabs_->addTab(info, QStringLiteral("Základní informace"));
    tabs_->addTab(new QWidget, QStringLiteral("Výpočet"));
    tabs_->addTab(new QWidget, QStringLiteral("Popis technologie"));
    tabs_->addTab(new QWidget, QStringLiteral("Výsledky"));
    setCentralWidget(tabs_);
    refreshClock();
    timer_ = new QTimer(this);
    connect(timer_, &QTimer::timeout, this, &CalcWindow::refreshClock);
    timer_->start(1000);
    resize(1000, 720);
}

void CalcWindow::refreshClock()
{
    lblTime_->setText(QLocale::system().toString(QTime::currentTime(), QLocale::LongFormat));
}

} // namespace infil::ui
