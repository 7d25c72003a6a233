#include "update/UpdateJob.h"

#include "common/SafeWrite.h"

#include <QDir>
#include <QDomDocument>

namespace UpdateJob {

namespace {

enum class Kind { Firmware, ParameterImage, LoRaWANImage };

QList<Kind> operationsFor(int option)
{
    switch (option) {
    case Firmware:
        return {Kind::Firmware};
    case Configuration:
        return {Kind::ParameterImage, Kind::LoRaWANImage};
    default:
        return {Kind::Firmware, Kind::ParameterImage, Kind::LoRaWANImage};
    }
}

class Builder
{
public:
    Builder() : m_root(m_doc.createElement(QStringLiteral("Ethernet_Update"))) { m_doc.appendChild(m_root); }

    QDomElement add(QDomElement parent, const QString& name, const QString& text = QString())
    {
        QDomElement e = m_doc.createElement(name);
        if (!text.isEmpty())
            e.appendChild(m_doc.createTextNode(text));
        parent.appendChild(e);
        return e;
    }

    QDomElement root() const { return m_root; }
    QByteArray bytes() const { return m_doc.toByteArray(-1); }

private:
    QDomDocument m_doc;
    QDomElement m_root;
};

QString fileName(Kind kind, const Input& input)
{
    const QString sep = QDir::separator();
    switch (kind) {
    case Kind::Firmware:
        return input.masterFolder + sep + QStringLiteral("SimQX410.sim");
    case Kind::ParameterImage:
        return input.configurationFolder + sep + QStringLiteral("bin") + sep + QStringLiteral("bank1.bin");
    case Kind::LoRaWANImage:
        return input.configurationFolder + sep + QStringLiteral("bin") + sep + QStringLiteral("bank2.bin");
    }
    return {};
}

void addOperation(Builder& b, QDomElement operations, Kind kind, const Input& input, bool last)
{
    const bool firmware = kind == Kind::Firmware;
    const QString zero = QStringLiteral("0");
    const QString one = QStringLiteral("1");
    QDomElement op = b.add(operations, QStringLiteral("Operation"));
    b.add(op, QStringLiteral("Ope_Protection_Enabled"));
    b.add(op, QStringLiteral("Ope_GoToBoot_Before"), zero);
    b.add(op, QStringLiteral("Ope_GoToApp_Before"), zero);
    b.add(op, QStringLiteral("Ope_IP_Address"));
    b.add(op, QStringLiteral("Ope_Port"), QStringLiteral("2008"));
    b.add(op, QStringLiteral("Ope_Port_Sec"), QStringLiteral("2007"));
    b.add(op, QStringLiteral("Ope_Erase_Memory"), zero);
    b.add(op, QStringLiteral("Ope_FileName"), fileName(kind, input));
    b.add(op, QStringLiteral("Ope_Start_Address"),
          firmware                       ? QStringLiteral("0x8000")
          : kind == Kind::ParameterImage ? QStringLiteral("0x07000")
                                         : QStringLiteral("0x80000"));
    b.add(op, QStringLiteral("Ope_Memory_Type"), zero);
    b.add(op, QStringLiteral("Ope_Bank_Type"), firmware ? one : QStringLiteral("2"));
    b.add(op, QStringLiteral("Ope_Read_Back"), input.readBack ? one : zero);
    b.add(op, QStringLiteral("Ope_Write_CSS"), firmware ? one : zero);
    b.add(op, QStringLiteral("Ope_Address_CSS"), QStringLiteral("0x07A00"));
    b.add(op, QStringLiteral("Ope_Command_CSS"), QStringLiteral("0x02"));
    b.add(op, QStringLiteral("Ope_Write_Internal_Data"), zero);
    b.add(op, QStringLiteral("Ope_WID_Address"), QStringLiteral("0x07810"));
    b.add(op, QStringLiteral("Ope_WID_Command"), QStringLiteral("0x02"));
    b.add(op, QStringLiteral("Ope_WID_Data"), QStringLiteral("0x00, 0x00, 0x00, 0x01"));
    // The updater returns the device to its application after the job's last transfer only.
    b.add(op, QStringLiteral("Ope_GoToApp_After"), last ? one : zero);
}

} // namespace

QByteArray build(const Input& input)
{
    Builder b;
    QDomElement root = b.root();
    b.add(root, QStringLiteral("Version"), QStringLiteral("1000"));
    b.add(root, QStringLiteral("Title"), QStringLiteral("Quorvex - SWQX410 Ethernet Update"));
    b.add(root, QStringLiteral("IP_Address_Dev"), input.deviceAddress);
    b.add(root, QStringLiteral("Application_Port"), QStringLiteral("10000"));
    b.add(root, QStringLiteral("Boot_Port"), QStringLiteral("2008"));
    b.add(root, QStringLiteral("Boot_Port_Sec"), QStringLiteral("2007"));
    b.add(root, QStringLiteral("Address_Protection"), QStringLiteral("0x07800"));
    b.add(b.add(root, QStringLiteral("Protections")), QStringLiteral("Protection"), QStringLiteral("0x457"));
    QDomElement operations = b.add(root, QStringLiteral("Operations"));
    const QList<Kind> kinds = operationsFor(input.option);
    for (qsizetype i = 0; i < kinds.size(); ++i)
        addOperation(b, operations, kinds[i], input, i == kinds.size() - 1);
    return b.bytes();
}

QString write(const QString& programFolder, const Input& input)
{
    return safeWrite(jobPath(programFolder), build(input));
}

QString jobPath(const QString& programFolder)
{
    return QDir(programFolder).filePath(QStringLiteral("Ethernet_Update.xml"));
}

QString updaterPath(const QString& programFolder)
{
#ifdef Q_OS_WIN
    return QDir(programFolder).filePath(QStringLiteral("Ethernet_Update.exe"));
#else
    return QDir(programFolder).filePath(QStringLiteral("Ethernet_Update"));
#endif
}

} // namespace UpdateJob
