#include "lang/StringTable.h"
#include "lorawan/LoRaWANCheck.h"

#include <QTest>

#include <functional>
#include <limits>

using namespace Qt::StringLiterals;
using LoRaWANCheck::Check_Data;
using LoRaWANCheck::CheckStringHex;

Q_DECLARE_METATYPE(TDeviceLoRa)

namespace {

// A device and rules that pass every check.
TDeviceLoRa validDevice()
{
    TDeviceLoRa d;
    d.DeviceEUI = u"0011223344556677"_s;
    d.JoinEUI = u"8899aabbccddeeff"_s;
    d.ActMethod = LoRaWAN::ABP;
    d.NetSessKey = u"000102030405060708090A0B0C0D0E0F"_s;
    d.AppSessKey = u"F0E0D0C0B0A090807060504030201000"_s;
    d.DevAdd = u"26011BDA"_s;
    d.DiagTimeOut = u"0"_s;
    return d;
}

TRuleLoRa validUplink()
{
    TRuleLoRa r;
    r.Port = u"1"_s;
    r.StartBit = u"0"_s;
    r.NumBits = u"10"_s;
    r.PosBit = u"0"_s;
    return r;
}

TRuleLoRa validDownlink()
{
    TRuleLoRa r;
    r.Port = u"2"_s;
    r.StartBit = u"0"_s;
    r.NumBits = u"4"_s;
    r.PosBit = u"100"_s;
    return r;
}

// Messages that show their index and every number given, so a row proves
// both which message was chosen and what was filled in: "5501 1|2|3|6".
StringTable markedTexts()
{
    StringTable t;
    t.buildDefaults();
    for (int i = 5485; i <= 5514; ++i)
        t.set(i, QString::number(i) + u" %d|%d|%d|%d"_s);
    return t;
}

// Entry 1 valid, entry 2 the valid device changed by edit.
QList<TDeviceLoRa> secondDevice(const std::function<void(TDeviceLoRa&)>& edit)
{
    TDeviceLoRa d = validDevice();
    edit(d);
    return {validDevice(), d};
}

// Device 1 with a valid rule 1 and rule 2 changed by edit.
QList<TDeviceLoRa> secondUplink(const std::function<void(TRuleLoRa&)>& edit)
{
    TDeviceLoRa d = validDevice();
    TRuleLoRa r = validUplink();
    edit(r);
    d.UpLinkRules = {validUplink(), r};
    return {d};
}

QList<TDeviceLoRa> secondDownlink(const std::function<void(TRuleLoRa&)>& edit)
{
    TDeviceLoRa d = validDevice();
    TRuleLoRa r = validDownlink();
    edit(r);
    d.DownLinkRules = {validDownlink(), r};
    return {d};
}

} // namespace

class TestLoRaWANCheck : public QObject
{
    Q_OBJECT

private slots:
    void checkData_data()
    {
        QTest::addColumn<QList<TDeviceLoRa>>("devices");
        QTest::addColumn<bool>("gatewayMode");
        QTest::addColumn<QString>("message"); // empty: every check passes

        const auto row = [](const char* name, const QList<TDeviceLoRa>& devices, const QString& message,
                            bool gatewayMode = true) {
            QTest::newRow(name) << devices << gatewayMode << message;
        };

        {
            TDeviceLoRa d = validDevice();
            d.UpLinkRules = {validUplink()};
            d.DownLinkRules = {validDownlink()};
            row("all valid", {d, d}, QString());
        }
        row("no entries", {}, QString());

        // Device checks, in table order.
        row("EUI short", secondDevice([](auto& d) { d.DeviceEUI = u"001122334455667"_s; }),
            u"5485 2|%d|%d|%d"_s);
        row("EUI non-hex", secondDevice([](auto& d) { d.DeviceEUI = u"00112233445566G7"_s; }),
            u"5486 2|%d|%d|%d"_s);
        row("EUI trimmed", secondDevice([](auto& d) { d.DeviceEUI = u" 0011223344556677\t"_s; }), QString());
        row("JoinEUI empty", secondDevice([](auto& d) { d.JoinEUI.clear(); }), u"5487 2|%d|%d|%d"_s);
        row("JoinEUI non-hex", secondDevice([](auto& d) { d.JoinEUI = u"8899AABBCCDDEEFX"_s; }),
            u"5488 2|%d|%d|%d"_s);
        row("method blank", secondDevice([](auto& d) { d.ActMethod = u"  "_s; }), u"5489 2|%d|%d|%d"_s);
        row("ABP network key short", secondDevice([](auto& d) { d.NetSessKey.chop(1); }),
            u"5490 2|%d|%d|%d"_s);
        row("ABP network key non-hex", secondDevice([](auto& d) { d.NetSessKey[3] = u'g'; }),
            u"5491 2|%d|%d|%d"_s);
        row("ABP application session key short", secondDevice([](auto& d) { d.AppSessKey.clear(); }),
            u"5492 2|%d|%d|%d"_s);
        row("ABP application session key non-hex", secondDevice([](auto& d) { d.AppSessKey[5] = u' '; }),
            u"5493 2|%d|%d|%d"_s);
        row("ABP ignores the application key", secondDevice([](auto& d) { d.AppKey = u"x"_s; }), QString());
        row("OTAA ignores the session keys", secondDevice([](auto& d) {
                d.ActMethod = LoRaWAN::OTAA;
                d.NetSessKey.clear();
                d.AppSessKey = u"x"_s;
                d.AppKey = u"000102030405060708090a0b0c0d0e0f"_s;
            }),
            QString());
        row("OTAA application key short", secondDevice([](auto& d) { d.ActMethod = LoRaWAN::OTAA; }),
            u"5494 2|%d|%d|%d"_s);
        row("OTAA application key non-hex", secondDevice([](auto& d) {
                d.ActMethod = LoRaWAN::OTAA;
                d.AppKey = u"000102030405060708090A0B0C0D0E0Z"_s;
            }),
            u"5495 2|%d|%d|%d"_s);
        // Only the exact ABP text asks for the session keys.
        row("other method text needs the application key",
            secondDevice([](auto& d) { d.ActMethod = LoRaWAN::ABP + u' '; }), u"5494 2|%d|%d|%d"_s);
        row("address short", secondDevice([](auto& d) { d.DevAdd = u"26011BD"_s; }), u"5496 2|%d|%d|%d"_s);
        row("address non-hex", secondDevice([](auto& d) { d.DevAdd = u"26011BDÄ"_s; }), u"5514 2|%d|%d|%d"_s);
        row("OTAA address checked", secondDevice([](auto& d) {
                d.ActMethod = LoRaWAN::OTAA;
                d.AppKey = d.NetSessKey;
                d.DevAdd.clear();
            }),
            u"5496 2|%d|%d|%d"_s);
        row("time-out empty", secondDevice([](auto& d) { d.DiagTimeOut.clear(); }), u"5497 2|%d|%d|%d"_s);
        row("time-out negative", secondDevice([](auto& d) { d.DiagTimeOut = u"-1"_s; }),
            u"5497 2|%d|%d|%d"_s);
        row("time-out above 32 bits", secondDevice([](auto& d) { d.DiagTimeOut = u"4294967296"_s; }),
            u"5497 2|%d|%d|%d"_s);
        row("time-out largest", secondDevice([](auto& d) { d.DiagTimeOut = u"4294967295"_s; }), QString());
        row("time-out hex", secondDevice([](auto& d) { d.DiagTimeOut = u"0xFFFFFFFF"_s; }), QString());
        row("first failing device check wins", secondDevice([](auto& d) {
                d.JoinEUI.clear();
                d.DevAdd.clear();
            }),
            u"5487 2|%d|%d|%d"_s);

        // Uplink rules.
        row("uplink port too large", secondUplink([](auto& r) { r.Port = u"65536"_s; }), u"5498 1|2|%d|%d"_s);
        row("uplink port empty", secondUplink([](auto& r) { r.Port.clear(); }), u"5498 1|2|%d|%d"_s);
        row("uplink port largest, hex", secondUplink([](auto& r) { r.Port = u"$FFFF"_s; }), QString());
        row("start test not a number", secondUplink([](auto& r) { r.StartTest = u"x"_s; }),
            u"5499 1|2|%d|%d"_s);
        row("start test negative", secondUplink([](auto& r) { r.StartTest = u"-2"_s; }), u"5499 1|2|%d|%d"_s);
        row("len test missing", secondUplink([](auto& r) { r.StartTest = u"0"_s; }), u"5500 1|2|%d|%d"_s);
        row("hex value 0a1B len 2", secondUplink([](auto& r) {
                r.StartTest = u"0"_s;
                r.LenTest = u"2"_s;
                r.HexTest = true;
                r.ValueTest = u"0a1B"_s;
            }),
            QString());
        row("hex value 0a1B len 3", secondUplink([](auto& r) {
                r.StartTest = u"0"_s;
                r.LenTest = u"3"_s;
                r.HexTest = true;
                r.ValueTest = u"0a1B"_s;
            }),
            u"5501 1|2|3|6"_s);
        row("hex value with a huge length", secondUplink([](auto& r) {
                r.StartTest = u"0"_s;
                r.LenTest = u"2147483647"_s;
                r.HexTest = true;
            }),
            u"5501 1|2|2147483647|4294967294"_s);
        row("hex value non-hex", secondUplink([](auto& r) {
                r.StartTest = u"0"_s;
                r.LenTest = u"2"_s;
                r.HexTest = true;
                r.ValueTest = u"0a1G"_s;
            }),
            u"5502 1|2|%d|%d"_s);
        row("text value with a blank", secondUplink([](auto& r) {
                r.StartTest = u"0"_s;
                r.LenTest = u"2"_s;
                r.ValueTest = u" AB"_s;
            }),
            u"5503 1|2|2|%d"_s);
        row("text value of the length", secondUplink([](auto& r) {
                r.StartTest = u"0"_s;
                r.LenTest = u"3"_s;
                r.ValueTest = u" AB"_s;
            }),
            QString());
        row("no test: len and value not checked", secondUplink([](auto& r) {
                r.StartTest = u" \t"_s;
                r.LenTest = u"zz"_s;
                r.HexTest = true;
                r.ValueTest = u"not hex"_s;
            }),
            QString());
        row("start byte too large", secondUplink([](auto& r) { r.StartBit = u"501"_s; }),
            u"5504 1|2|%d|%d"_s);
        row("start byte largest", secondUplink([](auto& r) { r.StartBit = u"500"_s; }), QString());
        row("number bytes zero", secondUplink([](auto& r) { r.NumBits = u"0"_s; }), u"5505 1|2|1536|%d"_s);
        row("number bytes too many", secondUplink([](auto& r) { r.NumBits = u"1537"_s; }),
            u"5505 1|2|1536|%d"_s);
        row("position too large", secondUplink([](auto& r) { r.PosBit = u"1536"_s; }), u"5506 1|2|1535|%d"_s);
        row("uplink 1000 + 536", secondUplink([](auto& r) {
                r.PosBit = u"1000"_s;
                r.NumBits = u"536"_s;
            }),
            QString());
        row("uplink 1000 + 537", secondUplink([](auto& r) {
                r.PosBit = u"1000"_s;
                r.NumBits = u"537"_s;
            }),
            u"5507 1|2|1536|%d"_s);

        // Downlink rules.
        row("downlink port too large", secondDownlink([](auto& r) { r.Port = u"65536"_s; }),
            u"5508 1|2|%d|%d"_s);
        row("downlink start byte negative", secondDownlink([](auto& r) { r.StartBit = u"-1"_s; }),
            u"5509 1|2|%d|%d"_s);
        row("downlink number bytes too many", secondDownlink([](auto& r) { r.NumBits = u"1537"_s; }),
            u"5510 1|2|1536|%d"_s);
        row("timer time too large", secondDownlink([](auto& r) {
                r.OnTimer = true;
                r.Time = u"100000001"_s;
            }),
            u"5511 1|2|%d|%d"_s);
        row("timer time empty", secondDownlink([](auto& r) { r.OnTimer = true; }), u"5511 1|2|%d|%d"_s);
        row("timer time largest", secondDownlink([](auto& r) {
                r.OnTimer = true;
                r.Time = u"100000000"_s;
            }),
            QString());
        row("no timer: any time", secondDownlink([](auto& r) { r.Time = u"forever"_s; }), QString());
        row("downlink position too large", secondDownlink([](auto& r) { r.PosBit = u"1536"_s; }),
            u"5512 1|2|1535|%d"_s);
        row("downlink 1000 + 536", secondDownlink([](auto& r) {
                r.PosBit = u"1000"_s;
                r.NumBits = u"536"_s;
            }),
            QString());
        row("downlink 1000 + 537", secondDownlink([](auto& r) {
                r.PosBit = u"1000"_s;
                r.NumBits = u"537"_s;
            }),
            u"5513 1|2|1536|%d"_s);

        // The walk.
        {
            TRuleLoRa bad = validUplink();
            bad.Port.clear();
            TRuleLoRa disabled = bad;
            disabled.Enable = false;
            TDeviceLoRa d = validDevice();
            d.UpLinkRules = {disabled, disabled};
            TDeviceLoRa down = validDevice();
            TRuleLoRa badDown = validDownlink();
            badDown.Port.clear();
            TRuleLoRa disabledDown = badDown;
            disabledDown.Enable = false;
            down.DownLinkRules = {disabledDown};
            row("disabled rules skipped", {d, down}, QString());
            d.UpLinkRules.append(bad);
            row("disabled rules count", {d}, u"5498 1|3|%d|%d"_s);

            TDeviceLoRa both = validDevice();
            both.UpLinkRules = {bad};
            both.DownLinkRules = {badDown};
            row("uplink before downlink", {both}, u"5498 1|1|%d|%d"_s);
            both.DevAdd.clear();
            row("device before its rules", {both}, u"5496 1|%d|%d|%d"_s);
            TDeviceLoRa second = validDevice();
            second.DevAdd.clear();
            both.DevAdd = validDevice().DevAdd;
            row("entries in order", {both, second}, u"5498 1|1|%d|%d"_s);

            TDeviceLoRa blank;
            blank.DeviceEUI = u" \t"_s;
            blank.UpLinkRules = {bad};
            row("empty EUI skipped, the walk goes on", {validDevice(), blank, second}, u"5496 3|%d|%d|%d"_s);

            // The end node's own entry: only its rules count.
            TDeviceLoRa endNode;
            endNode.DeviceEUI = LoRaWAN::EndNodeDeviceEUI;
            endNode.UpLinkRules = {validUplink()};
            endNode.DownLinkRules = {validDownlink()};
            row("end node entry 0: no device checks", {endNode}, QString(), false);
            row("gateway mode checks the same entry", {endNode}, u"5487 1|%d|%d|%d"_s);
            endNode.DownLinkRules.append(badDown);
            row("end node entry 0: rules checked", {endNode}, u"5508 1|2|%d|%d"_s, false);
            endNode.DownLinkRules.removeLast();
            row("end node: later entries fully checked", {endNode, second}, u"5496 2|%d|%d|%d"_s, false);
        }
    }

    void checkData()
    {
        QFETCH(QList<TDeviceLoRa>, devices);
        QFETCH(bool, gatewayMode);
        QFETCH(QString, message);
        const std::optional<QString> result = Check_Data(devices, gatewayMode, markedTexts());
        QCOMPARE(result.value_or(QString()), message);
        QCOMPARE(result.has_value(), !message.isEmpty());
    }

    // The real texts, numbers in place.
    void defaultMessage()
    {
        StringTable texts;
        texts.buildDefaults();
        TDeviceLoRa d = validDevice();
        TRuleLoRa r = validUplink();
        r.StartTest = u"0"_s;
        r.LenTest = u"3"_s;
        r.HexTest = true;
        r.ValueTest = u"0a1B"_s;
        d.UpLinkRules = {r};
        QCOMPARE(Check_Data({d}, true, texts).value_or(QString()),
                 u"Error Device 1, UpLink Rule 1!! Value Test must have 3 bytes (6 characters)"_s);
    }

    void checkStringHex_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("result");

        QTest::newRow("hex, either case") << u"0a1B"_s << 4 << 0;
        QTest::newRow("trimmed") << u" 0a1B\t"_s << 4 << 0;
        QTest::newRow("empty of length 0") << QString() << 0 << 0;
        QTest::newRow("short") << u"0a1"_s << 4 << 1;
        QTest::newRow("long") << u"0a1B2"_s << 4 << 1;
        QTest::newRow("empty") << QString() << 16 << 1;
        QTest::newRow("length comes first") << u"GG"_s << 3 << 1;
        QTest::newRow("not hex") << u"0a1G"_s << 4 << 2;
        QTest::newRow("inner blank") << u"A B"_s << 3 << 2;
        QTest::newRow("non-ASCII digit") << u"0\u0663"_s << 2 << 2;
        // Full upper-casing would make "SS" of it and change the length.
        QTest::newRow("sharp s") << u"\u00df0"_s << 2 << 2;
        // ... and "FF" of a ligature, which would then pass.
        QTest::newRow("ff ligature") << u"\ufb0000"_s << 4 << 1;
    }

    void checkStringHex()
    {
        QFETCH(QString, text);
        QFETCH(int, length);
        QFETCH(int, result);
        QCOMPARE(CheckStringHex(text, length), result);
    }

    void parseInt32_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("value");

        const int max = std::numeric_limits<qint32>::max();
        const int min = std::numeric_limits<qint32>::min();
        QTest::newRow("decimal") << u"1536"_s << true << 1536;
        QTest::newRow("blanks around") << u" \t12 "_s << true << 12;
        QTest::newRow("plus") << u"+7"_s << true << 7;
        QTest::newRow("minus") << u"-7"_s << true << -7;
        QTest::newRow("leading zeros") << u"007"_s << true << 7;
        QTest::newRow("0x") << u"0x1f"_s << true << 31;
        QTest::newRow("0X") << u"0X1F"_s << true << 31;
        QTest::newRow("dollar") << u"$ff"_s << true << 255;
        QTest::newRow("negative hex") << u"-$10"_s << true << -16;
        QTest::newRow("largest") << u"2147483647"_s << true << max;
        QTest::newRow("smallest") << u"-2147483648"_s << true << min;
        QTest::newRow("largest hex") << u"0x7FFFFFFF"_s << true << max;
        QTest::newRow("above the range") << u"2147483648"_s << false << 0;
        QTest::newRow("below the range") << u"-2147483649"_s << false << 0;
        QTest::newRow("hex above the range") << u"0x80000000"_s << false << 0;
        QTest::newRow("32-bit pattern is no wrap") << u"$FFFFFFFF"_s << false << 0;
        QTest::newRow("many digits") << u"123456789012345678901234567890"_s << false << 0;
        QTest::newRow("empty") << QString() << false << 0;
        QTest::newRow("blank") << u"  "_s << false << 0;
        QTest::newRow("sign only") << u"-"_s << false << 0;
        QTest::newRow("prefix only") << u"0x"_s << false << 0;
        QTest::newRow("dollar only") << u"$"_s << false << 0;
        QTest::newRow("hex digits without prefix") << u"1F"_s << false << 0;
        QTest::newRow("inner blank") << u"1 2"_s << false << 0;
        QTest::newRow("fraction") << u"1.5"_s << false << 0;
        QTest::newRow("two signs") << u"--1"_s << false << 0;
        QTest::newRow("sign after prefix") << u"$-1"_s << false << 0;
        QTest::newRow("non-ASCII digits") << u"\u0661\u0662"_s << false << 0;
    }

    void parseInt32()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(int, value);
        const std::optional<qint32> n = LoRaWANCheck::parseInt32(text);
        QCOMPARE(n.has_value(), ok);
        if (ok)
            QCOMPARE(*n, value);
        QCOMPARE(LoRaWANCheck::toInt32(text), ok ? value : -1);
        QCOMPARE(LoRaWANCheck::toInt32(text, 65535), ok ? value : 65535);
    }

    void parseInt64()
    {
        using LoRaWANCheck::toInt64;
        QCOMPARE(toInt64(u"4294967296"_s), 4294967296LL);
        QCOMPARE(toInt64(u"0xFFFFFFFF"_s), 4294967295LL);
        QCOMPARE(toInt64(u"9223372036854775807"_s), std::numeric_limits<qint64>::max());
        QCOMPARE(toInt64(u"-9223372036854775808"_s), std::numeric_limits<qint64>::min());
        QCOMPARE(toInt64(u"9223372036854775808"_s), -1LL);
        QCOMPARE(toInt64(u"$10000000000000000"_s), -1LL);
        QCOMPARE(toInt64(u"ms"_s, 0), 0LL);
    }
};

QTEST_GUILESS_MAIN(TestLoRaWANCheck)
#include "tst_lorawan_check.moc"
