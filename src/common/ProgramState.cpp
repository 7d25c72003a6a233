#include "common/ProgramState.h"

#include <QDir>
#include <QFileInfo>

namespace {
QString join(const QString& folder, const QString& name)
{
    return folder + QDir::separator() + name;
}
} // namespace

ProgramState::ProgramState(const QString& folder)
{
    QString f = QDir::toNativeSeparators(QDir::cleanPath(folder));
    while (f.size() > 1 && f.endsWith(QDir::separator()))
        f.chop(1);
    programFolder = f;
    masterFolder = join(f, QStringLiteral("MASTER"));
    projectsFolder = join(f, QStringLiteral("PROJECTS"));
    languageFolder = join(f, QStringLiteral("LANGUAGE"));
    documentPaths = QStringList(int(Document::Count));
}

QString ProgramState::projectFolder(const QString& name) const
{
    return join(projectsFolder, name);
}

void ProgramState::createFolders() const
{
    // One level each; a failure shows up later where a file is written.
    for (const QString& folder : {masterFolder, projectsFolder, languageFolder}) {
        if (!QFileInfo(folder).isDir())
            QDir().mkdir(folder);
    }
}

QString ProgramState::loadStrings()
{
    const StringTable::LoadResult r = strings.load(languageFolder, language);
    if (!r.languageFileFound)
        language = Product::DefaultLanguage;
    return r.error;
}

void ProgramState::decideActiveConfiguration()
{
    if (!configurationName.isEmpty() && QFileInfo(projectFolder(configurationName)).isDir())
        configurationFolder = projectFolder(configurationName);
    else
        configurationFolder.clear();
}

void ProgramState::Set_Files()
{
    const QStringList& names = documentFileNames();
    documentPaths.clear();
    for (const QString& name : names)
        documentPaths.append(configurationFolder + QDir::separator() + name);
}

QString ProgramState::activeFolderName() const
{
    if (configurationFolder.isEmpty())
        return {};
    const QString prefix = projectsFolder + QDir::separator();
    if (configurationFolder.startsWith(prefix))
        return configurationFolder.mid(prefix.size());
    return QFileInfo(configurationFolder).fileName();
}

const QStringList& ProgramState::documentFileNames()
{
    static const QStringList names = {
        QStringLiteral("ParGen.xml"),
        QStringLiteral("LoRaWAN_Gateway.xml"),
        QStringLiteral("ModbusM_SetAccess.xml"),
        QStringLiteral("ModbusTCPM_SetAccess.xml"),
        QStringLiteral("BACnet_Master_Access.xml"),
        QStringLiteral("BACnet_Slave.xml"),
        QStringLiteral("CAN_Rec_Frames.xml"),
        QStringLiteral("CAN_Send_Frames.xml"),
        QStringLiteral("SDO_Server_CANopen.xml"),
        QStringLiteral("SDO_Client_CANopen.xml"),
        QStringLiteral("PDO_CANopen.xml"),
        QStringLiteral("DNETM_Net.xml"),
        QStringLiteral("DNETM_DefOff.xml"),
        QStringLiteral("DMX_Default_Values.xml"),
        QStringLiteral("IEC_61850_Client.xml"),
        QStringLiteral("TLS_Known_Cert.xml"),
        QStringLiteral("IEC61850_Variables.xml"),
        QStringLiteral("J1939_Rec_Frames.xml"),
        QStringLiteral("J1939_Send_Frames.xml"),
        QStringLiteral("MQTT_Set_Topic.xml"),
        QStringLiteral("NMEA_Rec_Frames.xml"),
        QStringLiteral("NMEA_Send_Frames.xml"),
        QStringLiteral("OPC_UA_Client.xml"),
        QStringLiteral("OPC_UA_Server.xml"),
        QStringLiteral("SNMP_Manager.xml"),
        QStringLiteral("SNMP_Trap.xml"),
        QStringLiteral("EtherNetIP_Master_Rules.xml"),
        QStringLiteral("S7_Protocol.xml"),
        QStringLiteral("KNX_SetAccess.xml"),
    };
    return names;
}
