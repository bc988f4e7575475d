#include "QtServices.h"

#include <QCoreApplication>
#include <QDate>
#include <QApplication>
#include <QDesktopServices>
#include <QLibraryInfo>
#include <QFileDialog>
#include <QTime>
#include <QTranslator>
#include <QUrl>

namespace infil::ui {
namespace {

// The long time format less its time-zone field ('t'), which the clock does not
// show; quoted literal text is kept as it is.
QString timeFormatWithoutZone(const QLocale& locale)
{
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString result;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && c == QLatin1Char('t'))
            continue;
        result += c;
    }
    return result.trimmed();
}

// The short date format with its year written whole ("d.M.yy" becomes
// "d.M.yyyy"), in the user's order and with the user's separators; quoted
// literal text is kept as it is.
QString shortDateFormatWithFullYear(const QLocale& locale)
{
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    QString result;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (quoted || c != QLatin1Char('y')) {
            result += c;
            ++i;
            continue;
        }
        while (i < format.size() && format[i] == QLatin1Char('y'))
            ++i;
        result += QStringLiteral("yyyy");
    }
    return result;
}

} // namespace

QString timeText(const QLocale& locale, const model::DateTime& when)
{
    return locale.toString(QTime(when.hour, when.minute, when.second), timeFormatWithoutZone(locale));
}

QString dateText(const QLocale& locale, const model::DateTime& when)
{
    return locale.toString(QDate(when.year, when.month, when.day), shortDateFormatWithFullYear(locale));
}

std::string QtPlatform::shortDate(const model::DateTime& when) const
{
    return dateText(QLocale::system(), when).toStdString();
}

std::string QtPlatform::timeOfDay(const model::DateTime& when) const
{
    return timeText(QLocale::system(), when).toStdString();
}

void QtPlatform::openUrl(const std::string& address)
{
    QDesktopServices::openUrl(QUrl(QString::fromStdString(address)));
}

bool installQtTranslations(QTranslator& translator)
{
    return translator.load(QStringLiteral("qtbase_cs"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
           QCoreApplication::installTranslator(&translator);
}

std::optional<std::string> QtPlatform::chooseFile(const FileRequest& request)
{
    QWidget* parent = QApplication::activeWindow();
    const QString title = QString::fromStdString(request.title);
    const QString start = QString::fromStdString(request.start);
    const QString filter = QString::fromStdString(request.filter);
    const QString file = request.save ? QFileDialog::getSaveFileName(parent, title, start, filter)
                                      : QFileDialog::getOpenFileName(parent, title, start, filter);
    if (file.isEmpty())
        return std::nullopt;
    return file.toStdString();
}

} // namespace infil::ui
