// The property page, the property frame, the About box and the verbs that
// open them, with real widgets.

#include <Veer12/VeerDialogs.h>
#include <Veer12/VeerWidget.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace veer {
namespace {

ComPtr<IVeer> newVeer()
{
    ComPtr<IVeer> c;
    createVeer(c.put());
    return c;
}

struct RecordingPageSite final : IPropertyPageSite {
    Status QueryInterface(const Guid& iid, void** out) override
    {
        *out = iid == IID_IUnknown || iid == IID_IPropertyPageSite ? this : nullptr;
        if (*out)
            AddRef();
        return *out ? S_OK : E_NOINTERFACE;
    }
    std::uint32_t AddRef() override { return ++refs; }
    std::uint32_t Release() override
    {
        const std::uint32_t r = --refs;
        if (!r)
            delete this;
        return r;
    }
    Status OnStatusChange(std::uint32_t f) override
    {
        flags.push_back(f);
        return S_OK;
    }
    std::vector<std::uint32_t> flags;
    std::uint32_t refs = 1;
};

// A VeerPage over the controls, shown in parent.
struct ShownPage {
    ComPtr<IPropertyPage> page = createPropertyPage(CLSID_VeerPage);
    ComPtr<RecordingPageSite> site = ComPtr<RecordingPageSite>::adopt(new RecordingPageSite);
    QWidget parent;
    QWidget* view = nullptr;

    explicit ShownPage(std::vector<IUnknown*> objects)
    {
        page->SetPageSite(site.get());
        page->SetObjects(static_cast<std::uint32_t>(objects.size()), objects.data());
        page->Activate(&parent, &view);
    }
    ~ShownPage()
    {
        page->Deactivate();
        page->SetObjects(0, nullptr);
        page->SetPageSite(nullptr);
    }
    template <class W>
    W* field(const char* name) const
    {
        return view ? view->findChild<W*>(QString::fromLatin1(name)) : nullptr;
    }
};

TEST(VeerPage, TellsItsFrameItsTitleHelpAndSize)
{
    auto page = createPropertyPage(CLSID_VeerPage);
    ASSERT_TRUE(page);
    PageInfo info;
    ASSERT_EQ(page->GetPageInfo(&info), S_OK);
    EXPECT_EQ(info.title, u"General");
    EXPECT_EQ(info.docString, u"Veer 1.2 Properties");
    EXPECT_EQ(info.helpFile, u"VEER12.HLP");
    EXPECT_EQ(info.helpContext, 90u);
    EXPECT_EQ(info.width, 265);
    EXPECT_EQ(info.height, 129);

    // The library's class factory makes the same page.
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(DllGetClassObject(CLSID_VeerPage, IID_IClassFactory, reinterpret_cast<void**>(factory.put())), S_OK);
    ComPtr<IPropertyPage> made;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IPropertyPage, reinterpret_cast<void**>(made.put())), S_OK);
    PageInfo madeInfo;
    made->GetPageInfo(&madeInfo);
    EXPECT_EQ(madeInfo.title, u"General");
}

TEST(VeerPage, TheAngleSpinnerWrapsAndTheSpacingSpinnerStops)
{
    auto c = newVeer();
    c->put_Angle(359);
    c->put_Spacing(5760);
    ShownPage shown({c.get()});
    auto* angle = shown.field<QSpinBox>("angle");
    auto* spacing = shown.field<QSpinBox>("spacing");
    ASSERT_TRUE(angle && spacing);
    EXPECT_EQ(angle->value(), 359);
    EXPECT_EQ(shown.page->IsPageDirty(), S_FALSE);

    QTest::keyClick(angle, Qt::Key_Up);
    EXPECT_EQ(angle->value(), 0);
    QTest::keyClick(angle, Qt::Key_Down);
    QTest::keyClick(angle, Qt::Key_Down);
    EXPECT_EQ(angle->value(), 358);
    QTest::keyClick(spacing, Qt::Key_Up);
    EXPECT_EQ(spacing->value(), 5760);
    EXPECT_EQ(spacing->minimum(), 120);

    EXPECT_EQ(shown.page->IsPageDirty(), S_OK);
    ASSERT_FALSE(shown.site->flags.empty());
    EXPECT_EQ(shown.site->flags.back(), PROPPAGESTATUS_DIRTY | PROPPAGESTATUS_VALIDATE);
    shown.page->Apply();
    std::int16_t value = 0;
    c->get_Angle(&value);
    EXPECT_EQ(value, 358);
    EXPECT_EQ(shown.page->IsPageDirty(), S_FALSE);
}

TEST(VeerPage, EnterBreaksTheCaptionsLine)
{
    auto c = newVeer();
    ShownPage shown({c.get()});
    auto* caption = shown.field<QPlainTextEdit>("caption");
    ASSERT_TRUE(caption);
    QTest::keyClicks(caption, QStringLiteral("Veer"));
    QTest::keyClick(caption, Qt::Key_Return);
    QTest::keyClicks(caption, QStringLiteral("1.2"));
    shown.page->Apply();
    std::optional<std::u16string> text;
    c->get_Caption(&text);
    EXPECT_EQ(text, u"Veer\r\n1.2");
}

TEST(VeerPage, ShowsTheFirstControlAndWritesOnlyTouchedFieldsToAll)
{
    auto a = newVeer(), b = newVeer();
    a->put_Caption(u"first");
    a->put_Alignment(align_Right);
    a->put_BackStyle(1);
    b->put_Caption(u"second");
    b->put_Alignment(align_Top);
    ShownPage shown({a.get(), b.get()});
    auto* caption = shown.field<QPlainTextEdit>("caption");
    auto* alignment = shown.field<QComboBox>("alignment");
    auto* opaque = shown.field<QCheckBox>("opaque");
    ASSERT_TRUE(caption && alignment && opaque);
    EXPECT_EQ(caption->toPlainText(), QStringLiteral("first"));
    EXPECT_EQ(alignment->count(), 6);
    EXPECT_EQ(alignment->itemText(4), QStringLiteral("Center Horizontal"));
    EXPECT_EQ(alignment->currentIndex(), align_Right);
    EXPECT_TRUE(opaque->isChecked());

    QTest::mouseClick(opaque, Qt::LeftButton);
    shown.page->Apply();
    std::optional<std::u16string> text;
    std::int32_t back = -1;
    Align align = align_Left;
    b->get_Caption(&text);
    b->get_BackStyle(&back);
    b->get_Alignment(&align);
    EXPECT_EQ(text, u"second");
    EXPECT_EQ(back, 0);
    EXPECT_EQ(align, align_Top);
    a->get_BackStyle(&back);
    EXPECT_EQ(back, 0);
}

TEST(VeerPage, HelpOpensFromTheGivenFolderWhenTheFileIsThere)
{
    QString opened;
    std::uint32_t context = 0;
    setHelpOpener([&](const QString& file, std::uint32_t ctx) {
        opened = file;
        context = ctx;
        return true;
    });
    QTemporaryDir dir;
    auto page = createPropertyPage(CLSID_VeerPage);
    EXPECT_EQ(page->Help(dir.path().toStdU16String()), E_FAIL);
    EXPECT_TRUE(opened.isEmpty());

    QFile help(dir.filePath(QStringLiteral("VEER12.HLP")));
    ASSERT_TRUE(help.open(QIODevice::WriteOnly));
    help.close();
    EXPECT_EQ(page->Help(dir.path().toStdU16String()), S_OK);
    EXPECT_EQ(opened, help.fileName());
    EXPECT_EQ(context, 90u);
    setHelpOpener(nullptr);
    EXPECT_EQ(page->Help(dir.path().toStdU16String()), E_FAIL);
}

QPushButton* frameButton(QDialog* frame, QDialogButtonBox::StandardButton which)
{
    auto* box = frame->findChild<QDialogButtonBox*>();
    return box ? box->button(which) : nullptr;
}

TEST(PropertyFrame, ShowsThePagesWithOkCancelAndApply)
{
    auto c = newVeer();
    std::vector<Guid> pages;
    ComPtr<IVeer>(c).as<ISpecifyPropertyPages>(IID_ISpecifyPropertyPages)->GetPages(&pages);
    std::unique_ptr<QDialog> frame(createPropertyFrame(nullptr, QStringLiteral("Veer"), {c.get()}, pages));
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Veer Properties"));
    auto* tabs = frame->findChild<QTabWidget*>();
    ASSERT_TRUE(tabs);
    ASSERT_EQ(tabs->count(), 3);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("General"));
    EXPECT_EQ(tabs->tabText(1), QStringLiteral("Color"));
    EXPECT_EQ(tabs->tabText(2), QStringLiteral("Font"));
    for (auto b : {QDialogButtonBox::Ok, QDialogButtonBox::Cancel, QDialogButtonBox::Apply})
        EXPECT_TRUE(frameButton(frame.get(), b));
    QPushButton* apply = frameButton(frame.get(), QDialogButtonBox::Apply);
    EXPECT_FALSE(apply->isEnabled());

    auto* angle = frame->findChild<QSpinBox*>(QStringLiteral("angle"));
    ASSERT_TRUE(angle);
    QTest::keyClick(angle, Qt::Key_Up);
    EXPECT_TRUE(apply->isEnabled());
    apply->click();
    EXPECT_FALSE(apply->isEnabled());
    std::int16_t value = 0;
    c->get_Angle(&value);
    EXPECT_EQ(value, 61);

    // Cancel writes nothing.
    QTest::keyClick(angle, Qt::Key_Up);
    frameButton(frame.get(), QDialogButtonBox::Cancel)->click();
    c->get_Angle(&value);
    EXPECT_EQ(value, 61);
}

TEST(PropertyFrame, OkAppliesEveryDirtyPage)
{
    auto a = newVeer(), b = newVeer();
    std::unique_ptr<QDialog> frame(createPropertyFrame(nullptr, QStringLiteral("Veer"), {a.get(), b.get()},
                                                       {CLSID_VeerPage, CLSID_StockFontPage}));
    auto* spacing = frame->findChild<QSpinBox*>(QStringLiteral("spacing"));
    auto* style = frame->findChild<QComboBox*>(QStringLiteral("fontStyle"));
    ASSERT_TRUE(spacing && style);
    spacing->setValue(1440);
    style->setCurrentIndex(2); // Bold
    frameButton(frame.get(), QDialogButtonBox::Ok)->click();
    EXPECT_EQ(frame->result(), QDialog::Accepted);
    for (IVeer* c : {a.get(), b.get()}) {
        std::int16_t value = 0;
        c->get_Spacing(&value);
        EXPECT_EQ(value, 1440);
        ComPtr<IFont> font;
        c->get_Font(font.put());
        ASSERT_TRUE(font); // made for controls that had none
        bool bold = false;
        font->get_Bold(&bold);
        EXPECT_TRUE(bold);
    }
}

TEST(AboutBox, ShowsALiveControlSetUpAsAlways)
{
    std::unique_ptr<QDialog> box(createAboutBox(nullptr));
    EXPECT_EQ(box->windowTitle(), QStringLiteral("About Veer"));
    EXPECT_TRUE(box->isModal());
    auto* ok = box->findChild<QPushButton*>(QStringLiteral("ok"));
    ASSERT_TRUE(ok);
    EXPECT_EQ(ok->text(), QStringLiteral("OK"));
    EXPECT_TRUE(ok->isDefault());
    EXPECT_EQ(box->findChildren<QLabel*>(QStringLiteral("credit")).size(), 2);

    auto* veer = box->findChild<VeerWidget*>();
    ASSERT_TRUE(veer);
    IVeer* c = veer->control();
    std::optional<std::u16string> caption;
    std::int16_t angle = 0, spacing = 0;
    Align align = align_Left;
    OleColor fore = 0;
    std::int32_t back = 0;
    c->get_Caption(&caption);
    c->get_Angle(&angle);
    c->get_Spacing(&spacing);
    c->get_Alignment(&align);
    c->get_ForeColor(&fore);
    c->get_BackStyle(&back);
    EXPECT_EQ(caption, u"Veer 1.2\r\nStacklabel");
    EXPECT_EQ(angle, 45);
    EXPECT_EQ(spacing, 640);
    EXPECT_EQ(align, align_CenterHorizontal);
    EXPECT_EQ(fore, 0x800000u);
    EXPECT_EQ(back, 1);
    ComPtr<IFont> font;
    c->get_Font(font.put());
    ASSERT_TRUE(font);
    std::u16string name;
    std::int64_t size = 0;
    std::int16_t weight = 0, charset = -1;
    bool italic = true, underline = true, strike = true;
    font->get_Name(&name);
    font->get_Size(&size);
    font->get_Weight(&weight);
    font->get_Charset(&charset);
    font->get_Italic(&italic);
    font->get_Underline(&underline);
    font->get_Strikethrough(&strike);
    EXPECT_EQ(name, u"Arial");
    EXPECT_EQ(size, 160000);
    EXPECT_EQ(weight, 400);
    EXPECT_EQ(charset, 0);
    EXPECT_FALSE(italic || underline || strike);

    // The box is wider than tall and the control fits inside it.
    EXPECT_TRUE(box->rect().contains(veer->geometry()));
    EXPECT_TRUE(box->rect().contains(ok->geometry()));
    ok->click();
    EXPECT_EQ(box->result(), QDialog::Accepted);
}

// Closes the next modal dialog once it is up, after a look at it.
void closeModalWhenUp(std::function<void(QDialog*)> look)
{
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, look] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            look(dialog);
            dialog->reject();
        }
    });
    timer->start(10);
}

TEST(VeerVerbs, VerbOneAndAboutBoxOpenTheAboutBoxModally)
{
    auto c = newVeer();
    QWidget owner;
    owner.show();
    owner.activateWindow();
    QString title;
    closeModalWhenUp([&](QDialog* d) { title = d->windowTitle(); });
    EXPECT_EQ(ComPtr<IVeer>(c).as<IVeerControl>(IID_IVeerControl)->DoVerb(VERB_ABOUT), S_OK);
    EXPECT_EQ(title, QStringLiteral("About Veer"));
    title.clear();
    closeModalWhenUp([&](QDialog* d) { title = d->windowTitle(); });
    EXPECT_EQ(c->AboutBox(), S_OK);
    EXPECT_EQ(title, QStringLiteral("About Veer"));
}

TEST(VeerVerbs, VerbZeroOpensThePropertyFrame)
{
    auto c = newVeer();
    int tabs = 0;
    closeModalWhenUp([&](QDialog* d) {
        if (auto* t = d->findChild<QTabWidget*>())
            tabs = t->count();
    });
    EXPECT_EQ(ComPtr<IVeer>(c).as<IVeerControl>(IID_IVeerControl)->DoVerb(VERB_PROPERTIES), S_OK);
    EXPECT_EQ(tabs, 3);
}

TEST(VeerWidgetProperties, GoThroughTheControlsChecks)
{
    VeerWidget w;
    w.setAngle(-90);
    EXPECT_EQ(w.angle(), 270);
    w.setAngle(720);
    EXPECT_EQ(w.angle(), 0);
    w.setSpacing(0);
    EXPECT_EQ(w.spacing(), 720);
    w.setSpacing(100000); // beyond the property's 16 bits: refused
    EXPECT_EQ(w.spacing(), 720);
    w.setAlignment(VeerWidget::CenterVertical);
    EXPECT_EQ(w.property("alignment").toInt(), static_cast<int>(align_CenterVertical));
    w.setCaption(QStringLiteral("a\r\nb"));
    EXPECT_EQ(w.caption(), QStringLiteral("a\r\nb"));
    w.setCaption(QString());
    std::optional<std::u16string> caption = u"x";
    w.control()->get_Caption(&caption);
    EXPECT_FALSE(caption);
    w.setForeColor(QColor(0, 0, 128));
    OleColor fore = 0;
    w.control()->get_ForeColor(&fore);
    EXPECT_EQ(fore, 0x800000u);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSizeF(8.25);
    f.setBold(true);
    w.setCaptionFont(f);
    EXPECT_EQ(w.captionFont().family(), QStringLiteral("DejaVu Sans"));
    EXPECT_DOUBLE_EQ(w.captionFont().pointSizeF(), 8.25);
    EXPECT_TRUE(w.captionFont().bold());
}

TEST(ToolboxBitmap, IsSixteenPixelsSquareInSixteenColours)
{
    const QImage image = toolboxBitmap();
    EXPECT_EQ(image.size(), QSize(16, 16));
    EXPECT_LE(image.colorCount(), 16);
    QSet<QRgb> used;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            used.insert(image.pixel(x, y));
    EXPECT_TRUE(used.contains(qRgb(0x80, 0x00, 0x80))); // purple strokes
    EXPECT_TRUE(used.contains(qRgb(0xC0, 0xC0, 0xC0))); // on grey
}

} // namespace
} // namespace veer
