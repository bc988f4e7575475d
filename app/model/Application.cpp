#include "Application.h"

#include "EngineFaults.h"
#include "ReportFile.h"
#include "project/Session.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <exception>
#include <fstream>
#include <iterator>
#include <sys/stat.h>

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

std::optional<std::string> Platform::chooseFile(const FileRequest&)
{
    return std::nullopt;
}

Application::Application(Folders folders, MessagePort& messages)
    : folders_(std::move(folders)), instanceFolder_(folders_.runtime), messages_(messages)
{
    calc_ = std::make_unique<CalcForm>(*this);
    project_ = std::make_unique<project::Session>(*this);
}

Application::Application(const std::string& appDir, MessagePort& messages)
    : Application(Folders::single(appDir), messages)
{
}

Application::~Application() = default;

std::string Application::rainDatabasePath() const
{
    return findRainDatabase(folders_.rainDatabasePlaces());
}

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

std::string Application::reportFolder()
{
    if (!folders_.reports.empty())
        return folders_.reports;
    const bool fresh = !instanceFolder_.made();
    int error = 0;
    const std::string folder = instanceFolder_.path(&error);
    if (folder.empty()) {
        messages_.showMessage({MessageIcon::Stop, std::string(kAppTitle),
                               "Výsledky nelze zapsat: pro soubor s výsledky nelze vytvořit složku (" +
                                   report::FileErrorReason(error) + ")."});
        return {};
    }
    if (fresh) {
        // The page refers to its logo relative to itself: the logo goes along.
        std::ifstream logo(folders_.data + "/Webs/Desc_soubory/logo.gif", std::ios::binary);
        if (logo.is_open() && ::mkdir((folder + "/Webs").c_str(), 0700) == 0 &&
            ::mkdir((folder + "/Webs/Desc_soubory").c_str(), 0700) == 0) {
            const std::string bytes{std::istreambuf_iterator<char>(logo), std::istreambuf_iterator<char>()};
            report::WriteFileBytes(folder + "/Webs/Desc_soubory/logo.gif", bytes, nullptr);
        }
    }
    return folder;
}

std::unique_ptr<Application> Application::freshCopy(MessagePort& messages) const
{
    auto copy = std::make_unique<Application>(folders_, messages);
    if (platform_ != &defaultPlatform_)
        copy->setPlatform(platform_);
    installDialogs(*copy);
    copy->calc().load();
    return copy;
}

void Application::adopt(Application& other)
{
    // The report shown belongs to the design that goes.
    report::DeleteResultsFile(record_.ResultsFilePath);
    const std::string database = record_.DatabasePath;
    record_ = other.record_;
    record_.DatabasePath = database;
    calc_->adopt(other.calc());
}

bool Application::writeResultsReport()
{
    ProjectRecord& r = record_;
    CalcForm& f = *calc_;
    const std::string folder = reportFolder();
    if (folder.empty())
        return false;
    r.ResultsFilePath = report::ResultsFilePathFor(folder, r.ProjName);
    // The record keeps the notes as the report prints them, with "<br>" breaks.
    r.Details = report::DetailsWithBreaks(r.Details);
    report::ReportControls controls;
    controls.chkSelPretok3 = f.chkSelPretok.at(3)->checked();
    controls.chkSelPretok4 = f.chkSelPretok.at(4)->checked();
    controls.chkPredUsaz = f.chkPredUsaz->checked();
    controls.cboTypSachty = f.cboTypSachty->text();
    controls.resultsCurrent = f.resultsCurrent(f.state().TechIndex);
    controls.verdict = f.verdict();
    controls.diagrams = writeReportPictures(r.ResultsFilePath);
    const DateTime now = platform().now();
    const auto outcome = report::WriteResultsReport(
        r, f.state(), controls, {platform().shortDate(now), platform().timeOfDay(now)}, messages_);
    if (outcome.status == report::WriteStatus::InUse)
        r.ResultsFileName = outcome.inUseName;
    if (outcome.written()) {
        lastReport_ = r.ResultsFilePath;
        if (std::find(writtenReports_.begin(), writtenReports_.end(), lastReport_) == writtenReports_.end())
            writtenReports_.push_back(lastReport_);
    }
    return outcome.written();
}

void Application::removeReports()
{
    for (const std::string& path : writtenReports_)
        report::DeleteResultsFile(path);
    writtenReports_.clear();
}

std::vector<report::ReportDiagram> Application::writeReportPictures(const std::string& reportPath)
{
    removeReportPictures();
    reportDiagrams_ = report::DesignDiagrams(record_, calc_->diagramSource());
    std::vector<report::ReportDiagram> section;
    const std::size_t slash = reportPath.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "" : reportPath.substr(0, slash + 1);
    const std::string stem = reportPath.substr(folder.size());
    for (const report::Diagram& diagram : reportDiagrams_) {
        report::ReportDiagram entry{diagram.title, "", kPictureWidth, kPictureHeight, diagram.message};
        if (diagram.drawable()) {
            // The picture is named after the report, so each report has its own.
            const std::string name = stem + "-" + diagram.key + ".png";
            const std::string bytes = renderer_ ? renderer_->png(diagram, kPictureWidth, kPictureHeight) : "";
            std::string reason;
            if (!renderer_)
                entry.message = "Obrázek diagramu není k dispozici.";
            else if (bytes.empty())
                entry.message = "Obrázek diagramu se nepodařilo vykreslit.";
            else if (!report::WriteFileBytes(folder + name, bytes, &reason))
                entry.message = "Obrázek diagramu nelze zapsat (" + reason + ").";
            else {
                entry.picture = name;
                reportPictures_.push_back(folder + name);
            }
        }
        section.push_back(std::move(entry));
    }
    return section;
}

void Application::removeReportPictures()
{
    for (const std::string& path : reportPictures_)
        std::remove(path.c_str());
    reportPictures_.clear();
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
    project_->actionDone();
}

} // namespace infil::model
