#pragma once

#include "common/LangWindow.h"
#include "lorawan/LoRaWANModel.h"

#include <QDialog>
#include <QStringList>

class Dialogs;
class Grid;
class GridModel;
class ProgramState;
class QLabel;
class QPushButton;
class QSplitter;
class QTabWidget;
class QVBoxLayout;
class QWidget;

// "LoRaWAN Access": the end devices and, for the device selected, its uplink
// and downlink rules, validated on OK and written to LoRaWAN_Gateway.xml.
class TFLoRaWAN_Gateway : public QDialog, public LangWindow
{
    Q_OBJECT
public:
    enum Table { Devices = 0, Uplink = 1, Downlink = 2 };

    TFLoRaWAN_Gateway(ProgramState& state, Dialogs& dialogs, QWidget* parent = nullptr);
    ~TFLoRaWAN_Gateway() override;

    void Set_Lang() override;
    void FormShow();
    bool Is_a_Master() const;
    void Show_Data_Devices_Table();
    void Show_Rules_Data();
    void Save_Device_List();
    void Save_UpLink_Rules_List();
    void Save_DownLink_Rules_List();
    bool Check_Data();
    void Btn_OKClick();
    void Btn_DelRowClick();
    void Btn_InsRowClick();
    void Btn_CopyRowClick();
    void Btn_PasteRowClick();
    // Which table the row buttons act on (what had the focus last).
    void Grid_Enter(Table table);
    void Grid_Exit(Table table);

    GridModel* deviceModel() const { return m_models[Devices]; }
    GridModel* uplinkModel() const { return m_models[Uplink]; }
    GridModel* downlinkModel() const { return m_models[Downlink]; }
    Grid* grid(Table t);
    const QList<TDeviceLoRa>& DeviceList() const { return m_devices; }
    bool ModeMaster() const { return m_master; }
    int Last_Grid() const { return m_lastGrid; }
    const QStringList& RX2_SL() const { return m_rx2; }
    // Selects a device row as a click on it does (shows its rules).
    void selectDevice(int row);

    void setVisible(bool visible) override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void buildGrids();
    void setGridTexts();
    void Init_Table();
    void Clear_Rules_List();
    void Clear_Devices_Table();
    void Clear_Rules_Tables();
    void Load_Configuration();
    void applyActivationRule(int row);
    void saveTable(Table t);
    void saveRules(Table t, int entry);
    void showRulesOf(int entry);
    int deviceCurrentRow() const;

    ProgramState& m_state;
    Dialogs& m_dialogs;
    QList<TDeviceLoRa> m_devices;
    QStringList m_actMeth;
    QStringList m_class;
    QStringList m_rx2;
    bool m_master = true;
    int m_lastGrid = Devices;
    bool m_doCopy[3] = {false, false, false};
    int m_rulesEntry = -1; // entry whose rules the rule tables show
    bool m_filling = false;

    GridModel* m_models[3] = {};
    Grid* m_grids[3] = {};
    QLabel* m_desc = nullptr;
    QLabel* m_devicesTitle = nullptr;
    QLabel* m_rulesTitle = nullptr;
    QWidget* m_devicePanel = nullptr;
    QSplitter* m_splitter = nullptr;
    QVBoxLayout* m_devLayout = nullptr;
    QTabWidget* m_pages = nullptr;
    QWidget* m_uplinkSheet = nullptr;
    QWidget* m_downlinkSheet = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_delRow = nullptr;
    QPushButton* m_insRow = nullptr;
    QPushButton* m_copyRow = nullptr;
    QPushButton* m_pasteRow = nullptr;
};
