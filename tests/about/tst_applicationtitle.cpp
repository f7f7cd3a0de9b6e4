#include "about/ApplicationTitle.h"

#include <QTest>

using namespace tallyclock;

class TestApplicationTitle : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void applicationTitle_data();
    void applicationTitle();
};

void TestApplicationTitle::applicationTitle_data()
{
    QTest::addColumn<QString>("product");
    QTest::addColumn<QString>("title");
    QTest::newRow("cut_once") << "Tallyclock Software"
                              << "Tallyclock";
    QTest::newRow("cut_until_40") << "A Very Long Product Name That Goes On And On Software Suite"
                                  << "A Very Long Product Name That Goes On"; // 41 was too long
    QTest::newRow("no_blank") << "Tallyclock"
                              << "Tallyclock";
}

// The title of boxes without their own: the name cut at its last blank while longer
// than 40 characters, and always at least once.
void TestApplicationTitle::applicationTitle()
{
    QFETCH(QString, product);
    QFETCH(QString, title);
    QCOMPARE(applicationTitleFor(product), title);
}

QTEST_GUILESS_MAIN(TestApplicationTitle)
#include "tst_applicationtitle.moc"
