#include "VeerDesignerPlugin.h"

#include <Veer12/VeerDialogs.h>
#include <Veer12/VeerWidget.h>

#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtDesigner/QDesignerFormWindowCursorInterface>
#include <QtDesigner/QDesignerFormWindowInterface>
#include <QtDesigner/QExtensionManager>

#include <QAction>
#include <QIcon>
#include <QMetaProperty>
#include <QPixmap>
#include <QVariant>

namespace veer {

// --- the widget ----------------------------------------------------------------

VeerWidgetPlugin::VeerWidgetPlugin(QObject* parent) : QObject(parent) {}

QString VeerWidgetPlugin::name() const
{
    return QStringLiteral("veer::VeerWidget");
}

QString VeerWidgetPlugin::group() const
{
    return QStringLiteral("Display Widgets");
}

QString VeerWidgetPlugin::toolTip() const
{
    return QStringLiteral("Veer: a caption of one or more lines turned by any angle");
}

QString VeerWidgetPlugin::whatsThis() const
{
    return QStringLiteral("The Veer control draws its caption turned by any whole number of degrees, "
                          "aligned to one of six positions, with a chosen line spacing.");
}

QString VeerWidgetPlugin::includeFile() const
{
    return QStringLiteral("Veer12/VeerWidget.h");
}

QIcon VeerWidgetPlugin::icon() const
{
    return QIcon(QPixmap::fromImage(toolboxBitmap()));
}

bool VeerWidgetPlugin::isContainer() const
{
    return false;
}

QWidget* VeerWidgetPlugin::createWidget(QWidget* parent)
{
    auto* widget = new VeerWidget(parent);
    widget->setCaption(QStringLiteral("Veer"));
    // Placed on a form being designed: the control shows its frame.
    if (parent)
        widget->setDesignMode(true);
    return widget;
}

bool VeerWidgetPlugin::isInitialized() const
{
    return initialized_;
}

void VeerWidgetPlugin::initialize(QDesignerFormEditorInterface* core)
{
    if (initialized_)
        return;
    initialized_ = true;
    if (core && core->extensionManager())
        core->extensionManager()->registerExtensions(new VeerTaskMenuFactory(core->extensionManager()),
                                                     Q_TYPEID(QDesignerTaskMenuExtension));
}

QString VeerWidgetPlugin::domXml() const
{
    return QStringLiteral(R"(<ui language="c++" displayname="Veer">
 <widget class="veer::VeerWidget" name="veer">
  <property name="geometry">
   <rect><x>0</x><y>0</y><width>96</width><height>96</height></rect>
  </property>
  <property name="caption">
   <string>Veer</string>
  </property>
 </widget>
</ui>
)");
}

VeerDesignerPlugins::VeerDesignerPlugins(QObject* parent) : QObject(parent)
{
    widgets_.append(new VeerWidgetPlugin(this));
}

QList<QDesignerCustomWidgetInterface*> VeerDesignerPlugins::customWidgets() const
{
    return widgets_;
}

// --- the task menu --------------------------------------------------------------

VeerTaskMenu::VeerTaskMenu(VeerWidget* widget, QObject* parent)
    : QObject(parent), widget_(widget), properties_(new QAction(QStringLiteral("Properties..."), this)),
      about_(new QAction(QStringLiteral("About..."), this))
{
    connect(properties_, &QAction::triggered, this, [this] { runVerb(VERB_PROPERTIES); });
    connect(about_, &QAction::triggered, this, [this] { runVerb(VERB_ABOUT); });
}

QAction* VeerTaskMenu::preferredEditAction() const
{
    return properties_;
}

QList<QAction*> VeerTaskMenu::taskActions() const
{
    return {properties_, about_};
}

void VeerTaskMenu::runVerb(int verb)
{
    auto host = ComPtr<IVeer>(widget_->control()).as<IVeerControl>(IID_IVeerControl);
    if (!host)
        return;
    // The control's pages change it directly; tell the form what changed so
    // that it is saved and can be undone.
    const QMetaObject* meta = widget_->metaObject();
    QList<QPair<QMetaProperty, QVariant>> before;
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i)
        before.append({meta->property(i), meta->property(i).read(widget_)});
    host->DoVerb(verb);
    QDesignerFormWindowInterface* form = QDesignerFormWindowInterface::findFormWindow(widget_);
    for (const auto& [property, old] : before) {
        const QVariant now = property.read(widget_);
        if (now == old)
            continue;
        if (form && form->cursor())
            form->cursor()->setWidgetProperty(widget_, QString::fromLatin1(property.name()), now);
    }
}

VeerTaskMenuFactory::VeerTaskMenuFactory(QExtensionManager* parent) : QExtensionFactory(parent) {}

QObject* VeerTaskMenuFactory::createExtension(QObject* object, const QString& iid, QObject* parent) const
{
    if (iid != Q_TYPEID(QDesignerTaskMenuExtension))
        return nullptr;
    if (auto* widget = qobject_cast<VeerWidget*>(object))
        return new VeerTaskMenu(widget, parent);
    return nullptr;
}

} // namespace veer
