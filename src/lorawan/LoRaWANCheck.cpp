#include "lorawan/LoRaWANCheck.h"

#include "common/ValueHelpers.h"
#include "lang/StringTable.h"

#include <limits>

namespace LoRaWANCheck {

namespace {

int digitValue(QChar c, int base)
{
    const int value = ValueHelpers::hexDigit(c);
    return value < base ? value : -1;
}

template <class T> std::optional<T> parseInteger(const QString& text)
{
    const QString t = ValueHelpers::trimBlanks(text);
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) {
        negative = t[i] == u'-';
        ++i;
    }
    int base = 10;
    if (QStringView(t).sliced(i).startsWith(u"0x", Qt::CaseInsensitive)) {
        base = 16;
        i += 2;
    } else if (i < t.size() && t[i] == u'$') {
        base = 16;
        ++i;
    }
    if (i == t.size())
        return std::nullopt;
    const quint64 limit =
        negative ? quint64(std::numeric_limits<T>::max()) + 1 : quint64(std::numeric_limits<T>::max());
    quint64 magnitude = 0;
    for (; i < t.size(); ++i) {
        const int d = digitValue(t[i], base);
        if (d < 0)
            return std::nullopt;
        // Checked before every digit, so the accumulator never overflows.
        if (magnitude > (limit - quint64(d)) / quint64(base))
            return std::nullopt;
        magnitude = magnitude * quint64(base) + quint64(d);
    }
    if (negative)
        return magnitude == limit ? std::numeric_limits<T>::min() : T(-qint64(magnitude));
    return T(magnitude);
}

bool emptyAfterTrim(const QString& text)
{
    return ValueHelpers::trimBlanks(text).isEmpty();
}

bool outside(qint64 value, qint64 low, qint64 high)
{
    return value < low || value > high;
}

// The rule checks; device and rule are the numbers shown in the messages.
std::optional<QString> checkUplink(const TRuleLoRa& rule, int device, int number, const StringTable& texts)
{
    const auto fail = [&](int index) { return texts.format(index, {device, number}); };
    const auto failWith = [&](int index, long long value) {
        return texts.format(index, {device, number, value});
    };

    if (outside(toInt32(rule.Port), 0, 65535))
        return fail(5498);
    if (!emptyAfterTrim(rule.StartTest)) {
        if (toInt32(rule.StartTest) < 0)
            return fail(5499);
        const qint64 length = toInt32(rule.LenTest);
        if (length < 0)
            return fail(5500);
        if (rule.HexTest) {
            // Twice a length near the 32-bit limit cannot be a text's length.
            const qint64 digits = 2 * length;
            const int hex =
                digits > std::numeric_limits<int>::max() ? 1 : CheckStringHex(rule.ValueTest, int(digits));
            if (hex == 1)
                return texts.format(5501, {device, number, length, digits});
            if (hex == 2)
                return fail(5502);
        } else if (rule.ValueTest.size() != length) {
            return failWith(5503, length);
        }
    }
    const qint64 start = toInt32(rule.StartBit);
    const qint64 count = toInt32(rule.NumBits);
    const qint64 position = toInt32(rule.PosBit);
    if (outside(start, 0, 500))
        return fail(5504);
    if (outside(count, 1, DataMemorySize))
        return failWith(5505, DataMemorySize);
    if (outside(position, 0, DataMemorySize - 1))
        return failWith(5506, DataMemorySize - 1);
    if (position + count > DataMemorySize)
        return failWith(5507, DataMemorySize);
    return std::nullopt;
}

std::optional<QString> checkDownlink(const TRuleLoRa& rule, int device, int number, const StringTable& texts)
{
    const auto fail = [&](int index) { return texts.format(index, {device, number}); };
    const auto failWith = [&](int index, long long value) {
        return texts.format(index, {device, number, value});
    };

    if (outside(toInt32(rule.Port), 0, 65535))
        return fail(5508);
    const qint64 start = toInt32(rule.StartBit);
    const qint64 count = toInt32(rule.NumBits);
    const qint64 position = toInt32(rule.PosBit);
    if (outside(start, 0, 500))
        return fail(5509);
    if (outside(count, 1, DataMemorySize))
        return failWith(5510, DataMemorySize);
    if (rule.OnTimer && outside(toInt32(rule.Time), 0, 100000000))
        return fail(5511);
    if (outside(position, 0, DataMemorySize - 1))
        return failWith(5512, DataMemorySize - 1);
    if (position + count > DataMemorySize)
        return failWith(5513, DataMemorySize);
    return std::nullopt;
}

std::optional<QString> checkDevice(const TDeviceLoRa& d, int device, const StringTable& texts)
{
    const auto fail = [&](int index) { return texts.format(index, {device}); };
    // The message index for a result of 1 and the one for 2.
    const auto hexField = [&](const QString& text, int length, int wrongLength,
                              int wrongCharacter) -> std::optional<QString> {
        switch (CheckStringHex(text, length)) {
        case 1:
            return fail(wrongLength);
        case 2:
            return fail(wrongCharacter);
        default:
            return std::nullopt;
        }
    };

    if (auto m = hexField(d.DeviceEUI, 16, 5485, 5486))
        return m;
    if (auto m = hexField(d.JoinEUI, 16, 5487, 5488))
        return m;
    if (emptyAfterTrim(d.ActMethod))
        return fail(5489);
    if (d.ActMethod == LoRaWAN::ABP) {
        if (auto m = hexField(d.NetSessKey, 32, 5490, 5491))
            return m;
        if (auto m = hexField(d.AppSessKey, 32, 5492, 5493))
            return m;
    } else if (auto m = hexField(d.AppKey, 32, 5494, 5495)) {
        return m;
    }
    if (auto m = hexField(d.DevAdd, 8, 5496, 5514))
        return m;
    if (outside(toInt64(d.DiagTimeOut), 0, 4294967295LL))
        return fail(5497);
    return std::nullopt;
}

} // namespace

std::optional<qint32> parseInt32(const QString& text)
{
    return parseInteger<qint32>(text);
}

std::optional<qint64> parseInt64(const QString& text)
{
    return parseInteger<qint64>(text);
}

qint32 toInt32(const QString& text, qint32 fallback)
{
    return parseInt32(text).value_or(fallback);
}

qint64 toInt64(const QString& text, qint64 fallback)
{
    return parseInt64(text).value_or(fallback);
}

int CheckStringHex(const QString& text, int length)
{
    // Only ASCII letters are upper-cased: a full case mapping would let a
    // text change its length ("ß" -> "SS") or turn a ligature into hex digits.
    const QString t = ValueHelpers::trimBlanks(text);
    if (t.size() != length)
        return 1;
    for (const QChar c : t) {
        if (digitValue(c, 16) < 0)
            return 2;
    }
    return 0;
}

std::optional<QString> Check_Data(const QList<TDeviceLoRa>& devices, bool gatewayMode,
                                  const StringTable& texts)
{
    for (qsizetype i = 0; i < devices.size(); ++i) {
        const TDeviceLoRa& d = devices[i];
        if (emptyAfterTrim(d.DeviceEUI))
            continue;
        const int device = int(i + 1);
        // In end-node mode entry 0 carries the gateway's own rules; its
        // identity comes from ParGen.xml.
        if (gatewayMode || i != 0) {
            if (auto m = checkDevice(d, device, texts))
                return m;
        }
        for (qsizetype k = 0; k < d.UpLinkRules.size(); ++k) {
            if (!d.UpLinkRules[k].Enable)
                continue;
            if (auto m = checkUplink(d.UpLinkRules[k], device, int(k + 1), texts))
                return m;
        }
        for (qsizetype k = 0; k < d.DownLinkRules.size(); ++k) {
            if (!d.DownLinkRules[k].Enable)
                continue;
            if (auto m = checkDownlink(d.DownLinkRules[k], device, int(k + 1), texts))
                return m;
        }
    }
    return std::nullopt;
}

} // namespace LoRaWANCheck
