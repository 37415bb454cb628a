#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>
#include <gtest/gtest.h>

#include "platform/desktop/QtTranslations.h"

namespace pennolux {
namespace {

// Qt's own buttons speak the user's language; an unknown one leaves English.
TEST(QtTranslationsTest, QtsOwnTextsFollowTheLocale)
{
    EXPECT_FALSE(installQtTranslations(*QCoreApplication::instance(), QLocale(QLocale::Zulu, QLocale::SouthAfrica)));
    ASSERT_TRUE(installQtTranslations(*QCoreApplication::instance(), QLocale(QLocale::German, QLocale::Germany)));
    QMessageBox box(QMessageBox::Question, "Confirm", "Restart Application?", QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(box.button(QMessageBox::Yes)->text(), "&Ja");
    EXPECT_EQ(box.button(QMessageBox::No)->text(), "&Nein");
    // Leave English to the tests after this one.
    for (QTranslator* translator : QCoreApplication::instance()->findChildren<QTranslator*>())
        QCoreApplication::removeTranslator(translator);
}

} // namespace
} // namespace pennolux
