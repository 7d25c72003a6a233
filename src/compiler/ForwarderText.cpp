#include "compiler/ForwarderText.h"

#include <array>

namespace {

QString comment(const QString& text)
{
    return QStringLiteral("/* ") + text + QStringLiteral(" */");
}

// The US channel frequencies end their comment directly after "MHz".
QString frequencyComment(const QString& frequency)
{
    return QStringLiteral("/* Freq : ") + frequency + QStringLiteral(" MHz*/");
}

class Lines
{
public:
    // One line at a nesting level of four blanks each.
    void add(int level, const QString& text) { m_lines.append(QString(4 * level, u' ') + text); }
    void empty() { m_lines.append(QString()); }
    QStringList take() { return std::move(m_lines); }

private:
    QStringList m_lines;
};

QString member(const QString& name, const QString& value)
{
    return u'"' + name + QStringLiteral("\": ") + value;
}

QString quoted(const QString& text)
{
    return u'"' + text + u'"';
}

void rssiTcomp(Lines& out)
{
    out.add(
        3, member(QStringLiteral("rssi_tcomp"),
                  QStringLiteral("{\"coeff_a\": 0, \"coeff_b\": 0, \"coeff_c\": 20.41, \"coeff_d\": 2162.56, "
                                 "\"coeff_e\": 0},")));
}

void txGainLut(Lines& out)
{
    constexpr std::array<int, 16> PowerIndex{15, 16, 17, 19, 20, 22, 1, 2, 3, 4, 5, 6, 7, 9, 11, 14};
    out.add(3, member(QStringLiteral("tx_gain_lut"), QStringLiteral("[")));
    for (int i = 0; i < 16; ++i) {
        const int power = 12 + i;
        out.add(4, QStringLiteral("{\"rf_power\": %1, \"pa_gain\": %2, \"pwr_idx\": %3}%4")
                       .arg(power)
                       .arg(power <= 17 ? 0 : 1)
                       .arg(PowerIndex[size_t(i)])
                       .arg(i < 15 ? QStringLiteral(",") : QString()));
    }
    out.add(3, QStringLiteral("]"));
}

void sx130xConf(Lines& out, const TLoRaWAN_ParGen& parGen, bool us)
{
    out.add(1, member(QStringLiteral("SX130x_conf"), QStringLiteral("{")));
    out.add(2, member(QStringLiteral("com_type"), QStringLiteral("\"SPI\",")));
    out.add(2, member(QStringLiteral("com_path"), QStringLiteral("\"/dev/spidev0.0\",")));
    out.add(2, member(QStringLiteral("lorawan_public"), parGen.NetworkType + u','));
    out.add(2, member(QStringLiteral("clksrc"), QStringLiteral("0,")));
    out.add(2, member(QStringLiteral("antenna_gain"),
                      QStringLiteral("0, ") + comment(QStringLiteral("antenna gain, in dBi"))));
    out.add(2, member(QStringLiteral("full_duplex"), QStringLiteral("false,")));
    out.add(2, member(QStringLiteral("fine_timestamp"), QStringLiteral("{")));
    out.add(3, member(QStringLiteral("enable"), QStringLiteral("false,")));
    out.add(3, member(QStringLiteral("mode"),
                      QStringLiteral("\"all_sf\" ") + comment(QStringLiteral("high_capacity or all_sf"))));
    out.add(2, QStringLiteral("},"));

    out.add(2, member(QStringLiteral("sx1261_conf"), QStringLiteral("{")));
    out.add(3, member(QStringLiteral("spi_path"), QStringLiteral("\"/dev/spidev0.1\",")));
    out.add(3, member(QStringLiteral("rssi_offset"), QStringLiteral("0, ") + comment(QStringLiteral("dB"))));
    out.add(3, member(QStringLiteral("spectral_scan"), QStringLiteral("{")));
    out.add(4, member(QStringLiteral("enable"), QStringLiteral("false,")));
    out.add(4, member(QStringLiteral("freq_start"),
                      us ? QStringLiteral("903900000,") : QStringLiteral("867100000,")));
    out.add(4, member(QStringLiteral("nb_chan"), QStringLiteral("8,")));
    out.add(4, member(QStringLiteral("nb_scan"), QStringLiteral("2000,")));
    out.add(4, member(QStringLiteral("pace_s"), QStringLiteral("10")));
    out.add(3, QStringLiteral("},"));
    out.add(3, member(QStringLiteral("lbt"), QStringLiteral("{")));
    if (us) {
        out.add(4, member(QStringLiteral("enable"),
                          QStringLiteral("false ") +
                              comment(QStringLiteral("LBT for 500 Khz channels is not supported"))));
    } else {
        struct Channel
        {
            int freq, bandwidth, scan, transmit;
        };
        constexpr std::array<Channel, 10> Channels{{{867100000, 125000, 128, 400},
                                                    {867300000, 125000, 128, 400},
                                                    {867500000, 125000, 128, 400},
                                                    {867700000, 125000, 128, 400},
                                                    {867900000, 125000, 128, 400},
                                                    {868100000, 125000, 128, 400},
                                                    {868300000, 125000, 128, 400},
                                                    {868500000, 125000, 128, 400},
                                                    {869525000, 125000, 5000, 4000},
                                                    {868300000, 250000, 128, 400}}};
        out.add(4, member(QStringLiteral("enable"), QStringLiteral("false,")));
        out.add(4, member(QStringLiteral("rssi_target"),
                          QStringLiteral("-70, ") + comment(QStringLiteral("dBm"))));
        out.add(4, member(QStringLiteral("channels"),
                          QStringLiteral("[ ") + comment(QStringLiteral("16 channels maximum"))));
        for (size_t i = 0; i < Channels.size(); ++i) {
            const Channel& c = Channels[i];
            out.add(5, QStringLiteral("{\"freq_hz\": %1, \"bandwidth\": %2, \"scan_time_us\": %3, "
                                      "\"transmit_time_ms\": %4}%5")
                           .arg(c.freq)
                           .arg(c.bandwidth)
                           .arg(c.scan)
                           .arg(c.transmit)
                           .arg(i + 1 < Channels.size() ? QStringLiteral(",") : QString()));
        }
        out.add(4, QStringLiteral("]"));
    }
    out.add(3, QStringLiteral("}"));
    out.add(2, QStringLiteral("},"));

    out.add(2, member(QStringLiteral("radio_0"), QStringLiteral("{")));
    out.add(3, member(QStringLiteral("enable"), QStringLiteral("true,")));
    out.add(3, member(QStringLiteral("type"), QStringLiteral("\"SX1250\",")));
    out.add(3,
            member(QStringLiteral("freq"), us ? QStringLiteral("904300000,") : QStringLiteral("867500000,")));
    out.add(3, member(QStringLiteral("rssi_offset"), QStringLiteral("-215.4,")));
    rssiTcomp(out);
    out.add(3, member(QStringLiteral("tx_enable"), QStringLiteral("true,")));
    out.add(3, member(QStringLiteral("tx_freq_min"),
                      us ? QStringLiteral("923000000,") : QStringLiteral("863000000,")));
    out.add(3, member(QStringLiteral("tx_freq_max"),
                      us ? QStringLiteral("928000000,") : QStringLiteral("870000000,")));
    txGainLut(out);
    out.add(2, QStringLiteral("},"));

    out.add(2, member(QStringLiteral("radio_1"), QStringLiteral("{")));
    out.add(3, member(QStringLiteral("enable"), QStringLiteral("true,")));
    out.add(3, member(QStringLiteral("type"), QStringLiteral("\"SX1250\",")));
    out.add(3,
            member(QStringLiteral("freq"), us ? QStringLiteral("905000000,") : QStringLiteral("868500000,")));
    out.add(3, member(QStringLiteral("rssi_offset"), QStringLiteral("-215.4,")));
    rssiTcomp(out);
    out.add(3, member(QStringLiteral("tx_enable"), QStringLiteral("false")));
    out.add(2, QStringLiteral("},"));

    out.add(2, member(QStringLiteral("chan_multiSF_All"),
                      QStringLiteral("{\"spreading_factor_enable\": [5, 6, 7, 8, 9, 10, 11, 12]},")));
    struct MultiSf
    {
        int radio, offset;
        const char* frequency;
    };
    constexpr std::array<MultiSf, 8> Eu{{{1, -400000, nullptr},
                                         {1, -200000, nullptr},
                                         {1, 0, nullptr},
                                         {0, -400000, nullptr},
                                         {0, -200000, nullptr},
                                         {0, 0, nullptr},
                                         {0, 200000, nullptr},
                                         {0, 400000, nullptr}}};
    constexpr std::array<MultiSf, 8> Us{{{0, -400000, "903.9"},
                                         {0, -200000, "904.1"},
                                         {0, 0, "904.3"},
                                         {0, 200000, "904.5"},
                                         {1, -300000, "904.7"},
                                         {1, -100000, "904.9"},
                                         {1, 100000, "905.1"},
                                         {1, 300000, "905.3"}}};
    for (int n = 0; n < 8; ++n) {
        const MultiSf& c = us ? Us[size_t(n)] : Eu[size_t(n)];
        QString line = member(
            QStringLiteral("chan_multiSF_%1").arg(n),
            QStringLiteral("{\"enable\": true, \"radio\": %1, \"if\": %2},").arg(c.radio).arg(c.offset));
        if (c.frequency)
            line += u' ' + frequencyComment(QString::fromLatin1(c.frequency));
        out.add(2, line);
    }

    // Its second line stands under its first member.
    const QString loraStd = member(QStringLiteral("chan_Lora_std"), QStringLiteral("{"));
    out.add(
        2, loraStd +
               (us ? QStringLiteral("\"enable\": true, \"radio\": 0, \"if\": 300000, \"bandwidth\": 500000, "
                                    "\"spread_factor\": 8, ") +
                         frequencyComment(QStringLiteral("904.6"))
                   : QStringLiteral("\"enable\": true, \"radio\": 1, \"if\": -200000, \"bandwidth\": 250000, "
                                    "\"spread_factor\": 7,")));
    out.add(2, QString(loraStd.size(), u' ') +
                   QStringLiteral(
                       "\"implicit_hdr\": false, \"implicit_payload_length\": 17, \"implicit_crc_en\": "
                       "false, \"implicit_coderate\": 1},"));
    out.add(2, member(QStringLiteral("chan_FSK"),
                      QStringLiteral("{\"enable\": %1, \"radio\": 1, \"if\": 300000, \"bandwidth\": 125000, "
                                     "\"datarate\": 50000}")
                              .arg(us ? QStringLiteral("false") : QStringLiteral("true")) +
                          (us ? u' ' + frequencyComment(QStringLiteral("868.8")) : QString())));
    out.add(1, QStringLiteral("},"));
    if (us)
        out.empty();
}

void gatewayConf(Lines& out, const TLoRaWAN_ParGen& parGen, bool us)
{
    out.add(1, member(QStringLiteral("gateway_conf"), QStringLiteral("{")));
    out.add(2, member(QStringLiteral("gateway_ID"), us ? QStringLiteral("\"AA555A0000000000\",")
                                                       : QStringLiteral("\"DCA632FFFFB3DC2B\",")));
    out.add(2, comment(QStringLiteral("change with default server address/ports")));
    out.add(2, member(QStringLiteral("server_address"), quoted(parGen.Server_Add) + u','));
    out.add(2, member(QStringLiteral("serv_port_up"), parGen.Server_Port_Up + u','));
    out.add(2, member(QStringLiteral("serv_port_down"), parGen.Server_Port_Down + u','));
    out.add(2, comment(QStringLiteral("adjust the following parameters for your network")));
    out.add(2, member(QStringLiteral("keepalive_interval"), parGen.KA_Interval + u','));
    out.add(2, member(QStringLiteral("stat_interval"), QStringLiteral("30,")));
    out.add(2, member(QStringLiteral("push_timeout_ms"), QStringLiteral("100,")));
    out.add(2, comment(QStringLiteral("forward only valid packets")));
    out.add(2, member(QStringLiteral("forward_crc_valid"), QStringLiteral("true,")));
    out.add(2, member(QStringLiteral("forward_crc_error"), QStringLiteral("false,")));
    out.add(2, member(QStringLiteral("forward_crc_disabled"), QStringLiteral("false,")));
    out.add(2, comment(QStringLiteral("GPS configuration")));
    out.add(2, member(QStringLiteral("gps_tty_path"), QStringLiteral("\"/dev/ttyS0\",")));
    out.add(2, comment(QStringLiteral("GPS reference coordinates")));
    out.add(2, member(QStringLiteral("ref_latitude"), QStringLiteral("0.0,")));
    out.add(2, member(QStringLiteral("ref_longitude"), QStringLiteral("0.0,")));
    out.add(2, member(QStringLiteral("ref_altitude"), QStringLiteral("0,")));
    out.add(2, comment(QStringLiteral("Beaconing parameters")));
    out.add(2, member(QStringLiteral("beacon_period"),
                      us ? QStringLiteral("0, ") + comment(QStringLiteral("disable class B beacon"))
                         : QStringLiteral("0,")));
    out.add(2, member(QStringLiteral("beacon_freq_hz"), QStringLiteral("869525000,")));
    out.add(2, member(QStringLiteral("beacon_datarate"), QStringLiteral("9,")));
    out.add(2, member(QStringLiteral("beacon_bw_hz"), QStringLiteral("125000,")));
    out.add(2, member(QStringLiteral("beacon_power"), QStringLiteral("14,")));
    out.add(2, member(QStringLiteral("beacon_infodesc"), QStringLiteral("0")));
    out.add(1, QStringLiteral("},"));
    out.empty();
}

void debugConf(Lines& out)
{
    out.add(1, member(QStringLiteral("debug_conf"), QStringLiteral("{")));
    out.add(2, member(QStringLiteral("ref_payload"), QStringLiteral("[")));
    out.add(3, QStringLiteral("{\"id\": \"0xCAFE1234\"},"));
    out.add(3, QStringLiteral("{\"id\": \"0xCAFE2345\"}"));
    out.add(2, QStringLiteral("],"));
    out.add(2, member(QStringLiteral("log_file"), QStringLiteral("\"loragw_hal.log\"")));
    out.add(1, QStringLiteral("}"));
}

// Digits only: a sign, blanks inside or a leading zero are not a JSON number.
bool plainDecimal(const QString& text)
{
    if (text.isEmpty() || (text.size() > 1 && text.front() == u'0'))
        return false;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

} // namespace

QStringList Build_Forwarder_Text(const TLoRaWAN_ParGen& parGen, quint8 band)
{
    const bool us = band == 1;
    Lines out;
    out.add(0, QStringLiteral("{"));
    sx130xConf(out, parGen, us);
    gatewayConf(out, parGen, us);
    debugConf(out);
    out.add(0, QStringLiteral("}"));
    return out.take();
}

QString Check_Forwarder_Values(const TLoRaWAN_ParGen& parGen)
{
    for (qsizetype i = 0; i < parGen.Server_Add.size(); ++i) {
        const char16_t c = parGen.Server_Add[i].unicode();
        if (c < 0x20 || c > 0x7E || c == u'"' || c == u'\\') {
            return QStringLiteral(
                       "LoRaWAN_Server_Address: character %1 (U+%2) cannot stand in the "
                       "packet-forwarder configuration; only printable ASCII characters other than "
                       "\" and \\ are accepted")
                .arg(i + 1)
                .arg(QString::number(c, 16).toUpper().rightJustified(4, u'0'));
        }
    }
    const std::array<std::pair<const QString*, QStringView>, 3> numbers{{
        {&parGen.Server_Port_Up, u"LoRaWAN_Server_Port_Up"},
        {&parGen.Server_Port_Down, u"LoRaWAN_Server_Port_Down"},
        {&parGen.KA_Interval, u"LoRaWAN_KeepAlive_Interval"},
    }};
    for (const auto& [value, name] : numbers) {
        if (!plainDecimal(*value))
            return QStringLiteral("%1: \"%2\" is not a plain decimal number (digits only, no leading zero)")
                .arg(name.toString(), value->left(40));
    }
    return {};
}
