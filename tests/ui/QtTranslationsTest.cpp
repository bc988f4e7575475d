// Qt's own dialogs speak Czech inside the Czech program.
#include "ui/QtServices.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTranslator>

#include <gtest/gtest.h>

TEST(QtTranslations, StandardButtonsAreCzech)
{
    QTranslator translator;
    ASSERT_TRUE(infil::ui::installQtTranslations(translator))
        << "Qt's translations are missing (Debian: qt6-translations-l10n)";
    QDialogButtonBox buttons(QDialogButtonBox::Save | QDialogButtonBox::Cancel);
    // Whether a mnemonic "&" is part of the text depends on the platform theme.
    EXPECT_EQ(buttons.button(QDialogButtonBox::Save)->text().remove(QLatin1Char('&')), QStringLiteral("Uložit"));
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text().remove(QLatin1Char('&')), QStringLiteral("Zrušit"));
    QCoreApplication::removeTranslator(&translator);
}
