// The guide's committed caption streams are what the library saves today,
// and they come up as widgets.

#include "GuideCaptions.h"

#include <Veer12/VeerWidget.h>

#include <QFile>

#include <gtest/gtest.h>

namespace veer {
namespace {

QByteArray committed(const char* file)
{
    QFile f(QStringLiteral(INFIL_SOURCE_DIR "/app/ui/guide/") + QString::fromLatin1(file));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(VeerGuideStreams, CommittedStreamsEqualWhatTheLibrarySaves)
{
    for (const auto& caption : guide::guideCaptions()) {
        const auto saved = guide::guideStream(caption);
        ASSERT_FALSE(saved.empty()) << caption.file;
        const QByteArray file = committed(caption.file);
        EXPECT_EQ(std::vector<std::uint8_t>(file.begin(), file.end()), saved)
            << caption.file << " differs from what the library saves: run veer12-guide app/ui/guide";
    }
}

TEST(VeerGuideStreams, EachComesUpTurnedAndCentred)
{
    QWidget parent;
    for (const auto& caption : guide::guideCaptions()) {
        Status result = E_FAIL;
        VeerWidget* w = createVeerFromStream(committed(caption.file), &parent, &result);
        ASSERT_NE(w, nullptr) << caption.file;
        EXPECT_EQ(result, S_OK);
        EXPECT_EQ(w->parentWidget(), &parent);
        std::optional<std::u16string> text;
        std::int16_t angle = 0;
        Align align = align_Left;
        OleColor fore = 0;
        ComPtr<IFont> font;
        w->control()->get_Caption(&text);
        w->control()->get_Angle(&angle);
        w->control()->get_Alignment(&align);
        w->control()->get_ForeColor(&fore);
        w->control()->get_Font(font.put());
        EXPECT_EQ(text, caption.text);
        EXPECT_EQ(angle, 90);
        EXPECT_EQ(align, align_CenterVertical);
        EXPECT_EQ(fore, 0x80000012u);
        ASSERT_TRUE(font);
        std::u16string name;
        bool bold = !caption.bold;
        std::int64_t size = 0;
        font->get_Name(&name);
        font->get_Bold(&bold);
        font->get_Size(&size);
        EXPECT_EQ(name, u"MS Sans Serif");
        EXPECT_EQ(bold, caption.bold);
        EXPECT_EQ(size, 82500);
        EXPECT_EQ(w->size(), w->extentSize());
    }
}

} // namespace
} // namespace veer
