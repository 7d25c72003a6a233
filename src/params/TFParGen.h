#pragma once

#include "common/LangWindow.h"
#include "params/ParGenValidation.h"
#include "params/ParGenValues.h"

#include <QDialog>
#include <QHash>

#include <array>
#include <memory>
#include <vector>

class CollapsiblePanel;
class Dialogs;
class ProgramState;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QVBoxLayout;

// "Set Communication": the gateway's communication settings in five numbered,
// collapsible panels, validated on OK and written to ParGen.xml.
class TFParGen : public QDialog, public LangWindow
{
    Q_OBJECT
public:
    static constexpr int ClientWidth = 460;

    TFParGen(ProgramState& state, Dialogs& dialogs, QWidget* parent = nullptr);

    void Set_Lang() override;
    void FormShow();
    void Move_GroupBoxs();
    void Change_LoRaWAN_DataRate();
    bool Controllo_Dati();
    void Btn_OKClick();
    void Btn_CancelClick();

    // The controls' values as the document holds them, and back.
    ParGenValues collect() const;
    void apply(const ParGenValues& values);
    ParGenCheckInput checkInput() const;

    bool changed() const { return m_changed; }
    CollapsiblePanel* panel(int number)
    {
        ensureBuilt();
        return m_panels[size_t(number - 1)];
    }

    void setVisible(bool visible) override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // One line of a panel: its label (or check box) and its input or octet boxes.
    struct Row
    {
        QWidget* label = nullptr;
        QWidget* input = nullptr;
        std::array<QLineEdit*, 4> octets{};
        std::array<QLabel*, 3> dots{};
        bool gateway = false; // the check box is the label of the octet boxes
        bool visible = true;
    };
    using Octets = std::array<QLineEdit*, 4>;

    void FormCreate();
    void ensureBuilt();
    void setWindowTexts();
    void buildPanels();
    QLabel* newLabel(QWidget* parent, const QString& name);
    QLineEdit* newEdit(QWidget* parent, const QString& name, int maxLength = 0);
    QComboBox* newCombo(QWidget* parent, const QString& name, const QStringList& items = {});
    QCheckBox* newCheck(QWidget* parent, const QString& name);
    Row* labelRow(QWidget* parent, const QString& labelName, QWidget* input);
    Row* checkRow(QWidget* parent, QCheckBox* check);
    Row* octetRow(QWidget* parent, QWidget* label, const QString& baseName, bool gateway = false);
    void placeRow(Row* row, int index);
    void setRowVisible(Row* row, bool visible);
    // Packs the visible rows in order; returns the content height.
    int packRows(const QList<Row*>& rows);
    void setOctetsEnabled(const Octets& boxes, bool on);
    void hexField(QLineEdit* edit);

    void On_Change(QObject* sender);
    void On_Click(QObject* sender);
    void RePosition_Object_Select_Device();
    void RePosition_Object_Ethernet_Connection();
    void RePosition_Object_LoRaWAN();
    void RePosition_Object_Ethernet();
    void RePosition_Object_WiFi2();

    void setLabelText(const QString& labelName, int index, QWidget* buddy, int hint = -1);
    void setOctetHints(const Octets& boxes, int firstIndex);
    void fillTranslatedList(QComboBox* combo, const int* indexes, int count);

    ProgramState& m_state;
    Dialogs& m_dialogs;
    bool m_changed = false;
    bool m_loading = false;
    bool m_built = false;

    QLabel* m_desc = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    QScrollArea* m_cpg = nullptr;
    QVBoxLayout* m_stack = nullptr;
    std::array<CollapsiblePanel*, 5> m_panels{};
    std::vector<std::unique_ptr<Row>> m_rowStore;
    QList<Row*> m_rows[5];
    QHash<QString, QWidget*> m_controls;
    QHash<QLineEdit*, QLineEdit*> m_nextOctet; // the "." chains

public:
    // Controls by their names, for the layout and the tests alike.
    template <typename T> T* control(const QString& name) const
    {
        return qobject_cast<T*>(m_controls.value(name));
    }

private:
    // Frequently used controls.
    QComboBox* CB_Select_Device_Device = nullptr;
    QLineEdit* E_EthConn_Device_Name = nullptr;
    QCheckBox* CB_EthConn_En_DHCP_Cable = nullptr;
    QCheckBox* CB_EthConn_En_DHCP_WiFi = nullptr;
    QCheckBox* CB_EthConn_Enable_DNS = nullptr;
    Octets E_EthConn_Pri_DNS{}, E_EthConn_Sec_DNS{};
    QComboBox* CB_LoRaWAN_Mode = nullptr;
    QComboBox* CB_LoRaWAN_RF_Band = nullptr;
    QLineEdit* E_LoRaWAN_Server_Address = nullptr;
    QLineEdit* E_LoRaWAN_Server_Port_Up = nullptr;
    QLineEdit* E_LoRaWAN_Server_Port_Down = nullptr;
    QLineEdit* E_LoRaWAN_KeepAlive_Interval = nullptr;
    QComboBox* CB_LoRaWAN_Network_Type = nullptr;
    QCheckBox* CB_LoRaWAN_Adaptive_DataRate = nullptr;
    QComboBox* CB_LoRaWAN_DataRate = nullptr;
    QComboBox* CB_LoRaWAN_Transmission_Type = nullptr;
    QLineEdit* E_LoRaWAN_Join_EUI = nullptr;
    QComboBox* CB_LoRaWAN_Activation_Method = nullptr;
    QLineEdit* E_LoRaWAN_Device_Address = nullptr;
    QLineEdit* E_LoRaWAN_Network_Session_Key = nullptr;
    QLineEdit* E_LoRaWAN_Application_Session_Key = nullptr;
    QLineEdit* E_LoRaWAN_Application_Key = nullptr;
    QComboBox* CB_LoRaWAN_Class = nullptr;
    QLineEdit* E_LoRaWAN_Diag_Pos = nullptr;
    QComboBox* CB_LoRaWAN_RX2_Datarate = nullptr;
    QComboBox* CB_LoRaWAN_FreqSubBand = nullptr;
    Octets E_Ethernet_IP{}, E_Ethernet_SM{}, E_Ethernet_GAT{};
    QCheckBox* CB_Ethernet_En_GAT = nullptr;
    QLineEdit* E_Ethernet_TCP_Port = nullptr;
    QLineEdit* E_Ethernet_UDP_Port = nullptr;
    QComboBox* CB_WiFi2_Type = nullptr;
    Octets E_WiFi2_IP1_IP{}, E_WiFi2_IP1_SM{}, E_WiFi2_IP1_GAT{};
    QCheckBox* CB_WiFi2_IP1_En_GAT = nullptr;
    Octets E_WiFi2_IP2_IP{}, E_WiFi2_IP2_SM{}, E_WiFi2_IP2_GAT{};
    QCheckBox* CB_WiFi2_IP2_En_GAT = nullptr;
    QLineEdit* E_WiFi2_SSID = nullptr;
    QLineEdit* E_WiFi2_Password = nullptr;
    QComboBox* CB_WiFi2_Secure_Type = nullptr;
    QCheckBox* CB_WiFi2_En_DHCP = nullptr;
    Octets E_WiFi2_DHCP_First_IP{}, E_WiFi2_DHCP_SM{};
    QLineEdit* E_WiFi2_Lease_Time = nullptr;
    QComboBox* CB_WiFi2_Max_Client = nullptr;
    QComboBox* CB_WiFi2_Channel = nullptr;

    // Rows the layout shows and hides.
    Row *rMode{}, *rBand{}, *rServer{}, *rPortUp{}, *rPortDown{}, *rKeepAlive{}, *rNetType{}, *rDiag{},
        *rRx2{}, *rSubBand{}, *rAdr{}, *rDataRate{}, *rTransmission{}, *rJoinEui{}, *rActivation{},
        *rDevAddr{}, *rNwkKey{}, *rAppSKey{}, *rAppKey{}, *rClass{};
    Row *rEthTcp{}, *rEthUdp{};
    Row *rWType{}, *rWHead1{}, *rWIp{}, *rWSm{}, *rWGat{}, *rWHead2{}, *rWIp2{}, *rWSm2{}, *rWGat2{},
        *rWSsid{}, *rWPwd{}, *rWSecure{}, *rWDhcp{}, *rWDhcpIp{}, *rWDhcpSm{}, *rWLease{}, *rWMax{},
        *rWChannel{};
};
