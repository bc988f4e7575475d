#pragma once
// Message boxes of the windowed program: the model's messages as modal
// QMessageBoxes with the icon and title asked for and one OK button.

#include "Messages.h"

#include <QMessageBox>
#include <QString>

namespace infil::ui {

class QtMessagePort : public MessagePort {
public:
    void showMessage(const Message& message) override;
};

QMessageBox::Icon messageBoxIcon(MessageIcon icon);
// The text as the box shows it: CR LF (or a lone CR) breaks a line.
QString messageBoxText(const std::string& text);

} // namespace infil::ui
