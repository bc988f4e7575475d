// The Qt Designer plugin loads as Designer loads it and offers Veer with its
// picture and its two verbs in the task menu.

#include "TestEnvironment.h"

#include <Veer12/VeerWidget.h>

#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtDesigner/QDesignerTaskMenuExtension>
#include <QtDesigner/QExtensionManager>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

#include <QAction>
#include <QApplication>
#include <QPluginLoader>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// Designer's core, reduced to the extension manager the plugin registers with.
struct FormEditor : QDesignerFormEditorInterface {
    using QDesignerFormEditorInterface::setExtensionManager;
};

TEST(VeerDesignerPlugin, OffersVeerWithItsPictureAndVerbs)
{
    QPluginLoader loader(QStringLiteral(VEER12_DESIGNER_PLUGIN));
    QObject* instance = loader.instance();
    ASSERT_TRUE(instance) << loader.errorString().toStdString();
    auto* collection = qobject_cast<QDesignerCustomWidgetCollectionInterface*>(instance);
    ASSERT_TRUE(collection);
    const auto widgets = collection->customWidgets();
    ASSERT_EQ(widgets.size(), 1);
    QDesignerCustomWidgetInterface* veer = widgets.front();
    EXPECT_EQ(veer->name(), QStringLiteral("veer::VeerWidget"));
    EXPECT_EQ(veer->includeFile(), QStringLiteral("Veer12/VeerWidget.h"));
    EXPECT_FALSE(veer->isContainer());
    EXPECT_TRUE(veer->domXml().contains(QStringLiteral("displayname=\"Veer\"")));
    EXPECT_FALSE(veer->icon().isNull());
    EXPECT_EQ(veer->icon().availableSizes().value(0), QSize(16, 16));

    FormEditor core;
    QExtensionManager manager;
    core.setExtensionManager(&manager);
    veer->initialize(&core);
    EXPECT_TRUE(veer->isInitialized());

    QWidget form;
    QWidget* made = veer->createWidget(&form);
    auto* widget = qobject_cast<veer::VeerWidget*>(made);
    ASSERT_TRUE(widget);
    EXPECT_TRUE(widget->designMode());
    auto* menu = qt_extension<QDesignerTaskMenuExtension*>(&manager, widget);
    ASSERT_TRUE(menu);
    const auto actions = menu->taskActions();
    ASSERT_EQ(actions.size(), 2);
    EXPECT_EQ(actions[0]->text(), QStringLiteral("Properties..."));
    EXPECT_EQ(actions[1]->text(), QStringLiteral("About..."));
    // Only Veer gets this menu.
    QWidget other(&form);
    EXPECT_FALSE(qt_extension<QDesignerTaskMenuExtension*>(&manager, &other));
}

} // namespace

int main(int argc, char** argv)
{
    infil::test::isolateEnvironment();
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
