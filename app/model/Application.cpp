#include "Application.h"

#include "EngineFaults.h"
#include "ReportWriter.h"

#include <cstdio>
#include <ctime>
#include <exception>

namespace infil::model {

DateTime Platform::now() const
{
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
}

std::string Platform::shortDate(const DateTime& d) const
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d.%d.%04d", d.day, d.month, d.year);
    return buf;
}

std::string Platform::timeOfDay(const DateTime& d) const
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d:%02d:%02d", d.hour, d.minute, d.second);
    return buf;
}

void Platform::openUrl(const std::string&) {}

Application::Application(std::string appDir, MessagePort& messages)
    : appDir_(std::move(appDir)), messages_(messages)
{
    calc_ = std::make_unique<CalcForm>(*this);
}

Application::~Application() = default;

Form* Application::form(std::string_view name)
{
    if (name == calc_->name())
        return calc_.get();
    for (const auto& dialog : dialogs_)
        if (dialog->name() == name)
            return dialog.get();
    return nullptr;
}

std::vector<Form*> Application::forms()
{
    std::vector<Form*> all{calc_.get()};
    for (const auto& dialog : dialogs_)
        all.push_back(dialog.get());
    return all;
}

void Application::addDialog(std::unique_ptr<Dialog> dialog)
{
    dialogs_.push_back(std::move(dialog));
}

void Application::openDialog(std::string_view name)
{
    if (auto* dialog = dynamic_cast<Dialog*>(form(name)); dialog && !dialog->isOpen())
        dialog->open();
}

bool Application::writeResultsReport()
{
    ProjectRecord& r = record_;
    CalcForm& f = *calc_;
    r.ResultsFilePath = report::ResultsFilePathFor(appDir_, r.ProjName);
    // The record keeps the notes as the report prints them, with "<br>" breaks.
    r.Details = report::DetailsWithBreaks(r.Details);
    report::ReportControls controls;
    controls.chkSelPretok3 = f.chkSelPretok.at(3)->checked();
    controls.chkSelPretok4 = f.chkSelPretok.at(4)->checked();
    controls.chkPredUsaz = f.chkPredUsaz->checked();
    controls.cboTypSachty = f.cboTypSachty->text();
    controls.resultsCurrent = f.resultsCurrent(f.state().TechIndex);
    controls.verdict = f.verdict();
    const DateTime now = platform().now();
    const auto outcome = report::WriteResultsReport(
        r, f.state(), controls, {platform().shortDate(now), platform().timeOfDay(now)}, messages_);
    if (outcome.status == report::WriteStatus::InUse)
        r.ResultsFileName = outcome.inUseName;
    if (outcome.written())
        lastReport_ = r.ResultsFilePath;
    return outcome.written();
}

void Application::userAction(const std::function<void()>& action)
{
    try {
        action();
    } catch (const FloatFault& fault) {
        messages_.showMessage(floatFaultMessage(fault));
    } catch (const std::exception& error) {
        messages_.showMessage({MessageIcon::Stop, std::string(kAppTitle),
                               "Akci nelze dokončit: " + std::string(error.what())});
    }
    calc_->actionDone();
}

} // namespace infil::model
