#pragma once
// The windows around the control: its property pages in a property frame
// (verb 0), the About box (verb 1 and AboutBox), and its toolbox picture.
// Containers normally reach them through the control's DoVerb and AboutBox;
// these functions build the same windows without showing them modally.

#include <Veer12/Veer12.h>

#include <QImage>
#include <QString>

#include <functional>
#include <vector>

class QDialog;
class QWidget;

namespace veer {

// A property frame titled "<caption> Properties" over the objects, with one
// tab per page class (VeerPage and the standard colour and font pages; other
// classes are left out) and the buttons OK, Cancel, Apply and Help. The
// caller shows it (exec()) and deletes it.
QDialog* createPropertyFrame(QWidget* owner, const QString& caption, const std::vector<IUnknown*>& objects,
                             const std::vector<Guid>& pages);

// The About box "About Veer", with its live control.
QDialog* createAboutBox(QWidget* owner);

// A new property page of the given class (VeerPage, the standard colour or
// font page), or null.
ComPtr<IPropertyPage> createPropertyPage(const Guid& clsid);

// Opens a help file at a context; true when it could. The library opens the
// file with the desktop's viewer unless another opener is set.
using HelpOpener = std::function<bool(const QString& file, std::uint32_t context)>;
void setHelpOpener(HelpOpener opener);

// The picture a toolbox shows for the control: 16 x 16 pixels, 16 colours.
QImage toolboxBitmap();

} // namespace veer
