#pragma once

#include "common/RowOperations.h"
#include "lang/StringTable.h"

#include <QString>
#include <QStringList>

// Identity of this product, fixed in the program.
namespace Product {
inline const QString SoftwareCode = QStringLiteral("SWQX410");
inline const QString SoftwareDescription = QStringLiteral("Ethernet / LoRaWAN Gateway - Converter");
inline const QString WindowTitle =
    QStringLiteral("Quorvex - Configurator SWQX410 Ethernet / LoRaWAN Gateway ");
inline const QString ProgramVersion = QStringLiteral("1.000");
inline const QString DocumentCode = QStringLiteral("MNQX410");
inline const QString HardwareCode = QStringLiteral("HDQX410");
inline const QString DefaultDeviceAddress = QStringLiteral("192.168.2.205");
inline const QString DefaultLanguage = QStringLiteral("English");
} // namespace Product

// Index of each configuration document in ProgramState::documentPaths.
enum class Document {
    ParGen,
    LoRaWAN_Gateway,
    ModbusM_SetAccess,
    ModbusTCPM_SetAccess,
    BACnet_Master_Access,
    BACnet_Slave,
    CAN_Rec_Frames,
    CAN_Send_Frames,
    SDO_Server_CANopen,
    SDO_Client_CANopen,
    PDO_CANopen,
    DNETM_Net,
    DNETM_DefOff,
    DMX_Default_Values,
    IEC_61850_Client,
    TLS_Known_Cert,
    IEC61850_Variables,
    J1939_Rec_Frames,
    J1939_Send_Frames,
    MQTT_Set_Topic,
    NMEA_Rec_Frames,
    NMEA_Send_Frames,
    OPC_UA_Client,
    OPC_UA_Server,
    SNMP_Manager,
    SNMP_Trap,
    EtherNetIP_Master_Rules,
    S7_Protocol,
    KNX_SetAccess,
    Count
};

// The state of the whole run, handed by reference to every window and helper.
// Built from the program folder; main() is the only place that knows it.
class ProgramState
{
public:
    explicit ProgramState(const QString& programFolder);

    // Folders beside the executable (native separators, no trailing one).
    QString programFolder;
    QString masterFolder;
    QString projectsFolder;
    QString languageFolder;

    QString configurationName;
    QString configurationFolder; // empty: no configuration is active
    QString lastDeviceAddress = Product::DefaultDeviceAddress;
    QString language = Product::DefaultLanguage;
    bool enable_internet = false;
    bool enable_update = false;
    bool enable_jump_field_tables = false;
    bool Double_Click_Auto_Size = false;
    int lastUpdateOption = 0;
    bool lastReadBack = true;

    // The maker's web site: version service, home and download pages.
    QString webBase = QStringLiteral(ZUVURAZARU_WEB_BASE);

    QStringList documentPaths; // Document::Count paths
    StringTable strings;
    RowCopyBuffer rowCopyBuffer;
    // Kept for the family's SNMP trap editor.
    QStringList snmpTrapList1;
    QStringList snmpTrapList2;

    bool configurationActive() const { return !configurationFolder.isEmpty(); }
    QString text(int index) const { return strings.text(index); }
    QString documentPath(Document d) const { return documentPaths.value(int(d)); }
    // The configuration's folder for a name, inside PROJECTS.
    QString projectFolder(const QString& name) const;

    // Start-up: folders, then the caller reads the settings, then these.
    void createFolders() const;
    // Loads the table for the current language; a language without its file
    // becomes English. Returns an error text when a language file is unreadable.
    QString loadStrings();
    void decideActiveConfiguration();
    void Set_Files();
    // The configuration folder's name inside PROJECTS (empty when none is active).
    QString activeFolderName() const;

    static const QStringList& documentFileNames();
};
