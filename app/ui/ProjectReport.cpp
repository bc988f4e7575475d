#include "ProjectReport.h"

#include "model/Application.h"
#include "project/Session.h"

#include "ResultViews.h"

#include <QString>

#include <cstdio>

namespace infil::ui {
namespace {

// The program's messages as lines on standard error.
class StandardErrorMessages : public MessagePort {
public:
    void showMessage(const Message& message) override
    {
        std::string text = message.text;
        for (std::size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos;)
            text.replace(at, 2, "\n");
        std::fprintf(stderr, "infil: %s\n", text.c_str());
    }
};

bool endsWith(const std::string& text, const char* end)
{
    const QString name = QString::fromStdString(text);
    return name.endsWith(QLatin1String(end), Qt::CaseInsensitive);
}

} // namespace

bool isReportName(const std::string& out)
{
    return endsWith(out, ".htm") || endsWith(out, ".html") || endsWith(out, ".pdf");
}

int writeProjectReport(const model::Folders& folders, const std::string& project, const std::string& out)
{
    StandardErrorMessages messages;
    model::Application app(folders, messages);
    model::installDialogs(app);
    app.userAction([&] { app.calc().load(); });
    bool written = false;
    app.userAction([&] {
        if (!app.project().openFile(project))
            return;
        // The results tab writes the report as in the window.
        app.calc().selectTab(3);
        if (app.calc().resultsPage().empty())
            return;
        ResultsView view;
        view.setMessagePort(&messages);
        view.showReport(QString::fromStdString(app.calc().resultsPage()));
        written = view.saveAs(QString::fromStdString(out));
    });
    app.userAction([&] { app.calc().unload(); });
    app.removeReports();
    return written ? 0 : 1;
}

} // namespace infil::ui
