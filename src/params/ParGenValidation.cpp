#include "params/ParGenValidation.h"

#include "lang/StringTable.h"

#include <limits>

namespace {

bool isTrimmed(QChar c)
{
    return c.isSpace() || c.category() == QChar::Other_Control;
}

// List texts are compared after dropping blanks and control characters at
// both ends, so a list holding only a TAB counts as empty.
bool isBlank(const QString& text)
{
    for (QChar c : text) {
        if (!isTrimmed(c))
            return false;
    }
    return true;
}

// Characters in the user's sense of the word: a character outside the basic
// plane counts once, not as its two UTF-16 halves.
qsizetype characterCount(const QString& text)
{
    qsizetype n = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        ++n;
    }
    return n;
}

// Applies the checks one after the other; once one has failed, the later ones
// do nothing, so that checkParGen reads as the ordered list of checks.
class Checks
{
public:
    explicit Checks(const StringTable& texts) : m_texts(texts) {}

    std::optional<ParGenCheckFailure> result() const { return m_failure; }

    void range(int step, int index, const QString& text, long long low, long long high)
    {
        if (m_failure)
            return;
        const long long value = parGenNumber(text);
        if (value < low || value > high)
            fail(step, index);
    }

    // Boxes 1 to 4 in turn; box n has index firstIndex + n - 1.
    void octets(int step, int firstIndex, const std::array<QString, 4>& boxes)
    {
        for (int box = 0; box < 4; ++box)
            range(step, firstIndex + box, boxes[box], 0, 255);
    }

    // 0 to 65535, but never 10000.
    void port(int step, int index, const QString& text)
    {
        range(step, index, text, 0, 65535);
        if (!m_failure && parGenNumber(text) == 10000)
            fail(step, index);
    }

    void notEmpty(int step, int index, const QString& text)
    {
        if (!m_failure && isBlank(text))
            fail(step, index);
    }

    void minLength(int step, int index, const QString& text, qsizetype length)
    {
        if (!m_failure && characterCount(text) < length)
            fail(step, index);
    }

    void exactLength(int step, int index, const QString& text, qsizetype length)
    {
        if (!m_failure && characterCount(text) != length)
            fail(step, index);
    }

    void diagPos(int step, int index, const QString& text)
    {
        range(step, index, text, 0, ParGenMaxDiagPos);
        if (m_failure && m_failure->step == step)
            m_failure->message = m_texts.format(index, {ParGenMaxDiagPos});
    }

private:
    void fail(int step, int index) { m_failure = ParGenCheckFailure{step, index, m_texts.text(index)}; }

    const StringTable& m_texts;
    std::optional<ParGenCheckFailure> m_failure;
};

} // namespace

long long parGenNumber(QStringView text)
{
    constexpr long long Max = std::numeric_limits<long long>::max();
    QStringView s = text.trimmed();
    bool negative = false;
    if (!s.isEmpty() && (s.front() == u'+' || s.front() == u'-')) {
        negative = s.front() == u'-';
        s = s.mid(1);
    }
    if (s.isEmpty())
        return -1;
    long long value = 0;
    for (QChar c : s) {
        if (c < u'0' || c > u'9')
            return -1;
        const int digit = c.unicode() - u'0';
        value = value > (Max - digit) / 10 ? Max : value * 10 + digit;
    }
    return negative ? -value : value;
}

std::optional<ParGenCheckFailure> checkParGen(const ParGenCheckInput& in, const StringTable& texts)
{
    Checks c(texts);

    if (in.CB_EthConn_Enable_DNS_ticked) {
        c.octets(1, 1051, in.E_EthConn_Pri_DNS_IP);
        c.octets(2, 1055, in.E_EthConn_Sec_DNS_IP);
    }

    c.notEmpty(3, 1396, in.CB_LoRaWAN_RF_Band_text);
    if (in.shown_E_LoRaWAN_Server_Port_Up)
        c.range(4, 1343, in.E_LoRaWAN_Server_Port_Up, 0, 65535);
    if (in.shown_E_LoRaWAN_Server_Port_Down)
        c.range(5, 1344, in.E_LoRaWAN_Server_Port_Down, 0, 65535);
    if (in.shown_E_LoRaWAN_KeepAlive_Interval)
        c.range(6, 1345, in.E_LoRaWAN_KeepAlive_Interval, 0, 10000000);
    if (in.shown_CB_LoRaWAN_Network_Type)
        c.notEmpty(7, 1397, in.CB_LoRaWAN_Network_Type_text);
    if (in.shown_E_LoRaWAN_Diag_Pos)
        c.diagPos(8, 1408, in.E_LoRaWAN_Diag_Pos);
    if (in.shown_CB_LoRaWAN_DataRate)
        c.notEmpty(9, 1398, in.CB_LoRaWAN_DataRate_text);
    if (in.shown_CB_LoRaWAN_Transmission_Type)
        c.notEmpty(10, 1399, in.CB_LoRaWAN_Transmission_Type_text);
    if (in.shown_E_LoRaWAN_Join_EUI)
        c.minLength(11, 1400, in.E_LoRaWAN_Join_EUI, 16);
    if (in.shown_CB_LoRaWAN_Activation_Method)
        c.notEmpty(12, 1401, in.CB_LoRaWAN_Activation_Method_text);
    if (in.shown_E_LoRaWAN_Device_Address)
        c.exactLength(13, 1402, in.E_LoRaWAN_Device_Address, 8);
    if (in.shown_E_LoRaWAN_Network_Session_Key)
        c.exactLength(14, 1403, in.E_LoRaWAN_Network_Session_Key, 32);
    if (in.shown_E_LoRaWAN_Application_Session_Key)
        c.exactLength(15, 1404, in.E_LoRaWAN_Application_Session_Key, 32);
    if (in.shown_E_LoRaWAN_Application_Key)
        c.exactLength(16, 1405, in.E_LoRaWAN_Application_Key, 32);

    // Checked also while DHCP has disabled the boxes: the values are written.
    c.octets(17, 1142, in.E_Ethernet_IP);
    c.octets(18, 1146, in.E_Ethernet_SM);
    if (in.CB_Ethernet_En_GAT_ticked)
        c.octets(19, 1150, in.E_Ethernet_GAT);
    c.port(20, 1154, in.E_Ethernet_TCP_Port);
    c.port(21, 1155, in.E_Ethernet_UDP_Port);

    // Wi-Fi values count whatever the device type, as they are written anyway.
    if (in.CB_WiFi2_Type_index == 0) {
        c.octets(22, 1184, in.E_WiFi2_IP1_IP);
        c.octets(23, 1188, in.E_WiFi2_IP1_SM);
        if (in.CB_WiFi2_IP1_En_GAT_ticked)
            c.octets(24, 1192, in.E_WiFi2_IP1_GAT);
        if (in.CB_WiFi2_En_DHCP_ticked) {
            c.octets(25, 1196, in.E_WiFi2_DHCP_First_IP);
            c.octets(26, 1200, in.E_WiFi2_DHCP_SM);
            c.range(27, 1204, in.E_WiFi2_Lease_Time, 1, 99999999);
        }
    } else {
        if (in.shown_E_WiFi2_IP1_IP1 && in.enabled_E_WiFi2_IP1_IP1) {
            c.octets(28, 1205, in.E_WiFi2_IP1_IP);
            c.octets(29, 1209, in.E_WiFi2_IP1_SM);
            if (in.CB_WiFi2_IP1_En_GAT_ticked)
                c.octets(30, 1213, in.E_WiFi2_IP1_GAT);
        }
        if (in.shown_E_WiFi2_IP2_IP1 && in.enabled_E_WiFi2_IP2_IP1) {
            c.octets(31, 1217, in.E_WiFi2_IP2_IP);
            c.octets(32, 1221, in.E_WiFi2_IP2_SM);
            if (in.CB_WiFi2_IP2_En_GAT_ticked)
                c.octets(33, 1225, in.E_WiFi2_IP2_GAT);
        }
    }

    return c.result();
}
