#include "QtMessagePort.h"

#include <QApplication>

namespace infil::ui {

QMessageBox::Icon messageBoxIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Stop: return QMessageBox::Critical;
    case MessageIcon::Exclamation: return QMessageBox::Warning;
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

QString messageBoxText(const std::string& text)
{
    QString shown = QString::fromStdString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

void QtMessagePort::showMessage(const Message& message)
{
    QMessageBox box(messageBoxIcon(message.icon), QString::fromStdString(message.title),
                    messageBoxText(message.text), QMessageBox::Ok, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText); // the model's texts are never markup
    box.exec();
}

} // namespace infil::ui
