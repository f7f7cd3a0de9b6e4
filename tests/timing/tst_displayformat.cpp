#include "fakes/CommaLocale.h"
#include "timing/DisplayFormat.h"

#include <QTest>

#include <cstdio>

using namespace tallyclock;

class TestDisplayFormat : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void format_data();
    void format();
    void commaLocaleStillUsesPoint();
};

void TestDisplayFormat::format_data()
{
    QTest::addColumn<double>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0.0 << "0.000";
    QTest::newRow("negative_zero") << -0.0 << "0.000";
    QTest::newRow("rounds_up") << 1.23456 << "1.235";
    QTest::newRow("pads_decimals") << 65.4 << "65.400";
    QTest::newRow("never_minutes") << 3725.0 << "3725.000";
    QTest::newRow("over_five_digits") << 123456.7891 << "123456.789";
    QTest::newRow("no_grouping") << 1234567.5 << "1234567.500";
    QTest::newRow("huge") << 1e20 << "100000000000000000000.000";
    QTest::newRow("below_a_thousandth") << 0.0004 << "0.000";
    QTest::newRow("half_thousandth") << 0.0005 << "0.001";
    QTest::newRow("decimal_half_rounds_up") << 1.2345 << "1.235";
    QTest::newRow("carry_into_integer") << 9.9996 << "10.000";
    QTest::newRow("carry_new_digit") << 99999.9999 << "100000.000";
    QTest::newRow("negative") << -86411.503 << "-86411.503";
    QTest::newRow("negative_small") << -0.25 << "-0.250";
    QTest::newRow("negative_rounds_to_zero") << -0.0001 << "0.000";
    QTest::newRow("counter_nanoseconds") << 12345678901.0 / 1e9 << "12.346";
    QTest::newRow("tick") << 0.025 << "0.025";
}

void TestDisplayFormat::format()
{
    QFETCH(double, seconds);
    QFETCH(QString, text);
    QCOMPARE(formatDisplay(seconds), text);
}

void TestDisplayFormat::commaLocaleStillUsesPoint()
{
    CommaLocale german;
    if (!german.isActive())
        QSKIP("no German locale can be made on this machine");
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    QCOMPARE(QString::fromLatin1(probe), QStringLiteral("1,5")); // the locale is really in force
    QCOMPARE(formatDisplay(1234.5678), QStringLiteral("1234.568"));
    QCOMPARE(formatDisplay(-2.5), QStringLiteral("-2.500"));
}

QTEST_GUILESS_MAIN(TestDisplayFormat)
#include "tst_displayformat.moc"
