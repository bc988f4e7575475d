#pragma once
// What the windowed program supplies to the model from the desktop: opening a
// link in the user's browser, and the time and date in the user's own formats
// (the clock label and the report); and Qt's own texts in the program's language.

#include "model/Application.h"

#include <QLocale>
#include <QString>

class QTranslator;

namespace infil::ui {

class QtPlatform : public model::Platform {
public:
    std::string shortDate(const model::DateTime& when) const override;
    std::string timeOfDay(const model::DateTime& when) const override;
    void openUrl(const std::string& address) override;
    // The desktop's file dialog, over the window the user works in.
    std::optional<std::string> chooseFile(const FileRequest& request) override;
};

// Qt's own texts (the buttons of message boxes, the file, print and preview
// dialogs) in the program's language, Czech, whatever the user's locale. False
// when Qt's translations are not installed: those texts then stay English.
bool installQtTranslations(QTranslator& translator);

// The time of day in the locale's long time format without a time zone
// ("7:05:09" for Czech), the date in its short date format with a four-digit
// year ("05.03.2024").
QString timeText(const QLocale& locale, const model::DateTime& when);
QString dateText(const QLocale& locale, const model::DateTime& when);

} // namespace infil::ui
