#include "lorawan/TFLoRaWAN_Gateway.h"
#include "common/UiFont.h"

#include "common/Dialogs.h"
#include "common/Grid.h"
#include "common/GridModel.h"
#include "common/ProgramState.h"
#include "common/RowOperations.h"
#include "lorawan/LoRaWANCheck.h"
#include "lorawan/LoRaWANDocument.h"

#include <QApplication>
#include <QFocusEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

constexpr int DeviceColumns = 13;
constexpr int RuleColumns = 10;
const QString Y = QStringLiteral("Y");
const QString N = QStringLiteral("N");

// Device table columns.
enum DeviceCol {
    cEnable = 1,
    cDeviceEUI,
    cJoinEUI,
    cDeviceName,
    cActMethod,
    cNetSessKey,
    cAppSessKey,
    cAppKey,
    cDevAdd,
    cClass,
    cDiagTimeOut,
    cRX2,
    cMnemonic
};

struct ColumnLook
{
    int width;
    quint32 colour;
};
constexpr ColumnLook DeviceLook[DeviceColumns] = {
    {50, 0xFFFFD8B0},  {80, 0xFFE0FAFE},  {60, 0xFFE0FAFE},  {80, 0xFFE0FAFE},  {120, 0xFFFFFFA8},
    {140, 0xFFFFFFA8}, {150, 0xFFFFFFA8}, {100, 0xFFFFFFA8}, {100, 0xFFA8FFA8}, {60, 0xFFFCD4F4},
    {100, 0xFFD5D5FF}, {100, 0xFF91DEFF}, {120, 0xFFFFFFFF}};
constexpr int DeviceHeaders[DeviceColumns] = {5419, 5420, 5421, 5422, 5423, 5424, 5425,
                                              5426, 5427, 5428, 5429, 5515, 5430};
constexpr int UplinkWidths[RuleColumns] = {50, 70, 70, 70, 30, 230, 70, 90, 80, 310};
constexpr int DownlinkWidths[RuleColumns] = {50, 70, 70, 90, 68, 52, 60, 80, 80, 450};
constexpr int UplinkHeaders[RuleColumns] = {5444, 5445, 5446, 5447, 5448, 5449, 5450, 5451, 5452, 5453};
constexpr int DownlinkHeaders[RuleColumns] = {5465, 5466, 5467, 5468, 5469, 5470, 5471, 5472, 5473, 5474};

bool isSet(const QString& cell)
{
    return cell.toUpper() == Y;
}

bool blank(const QString& s)
{
    return s.trimmed().isEmpty();
}

QString flag(bool on)
{
    return on ? Y : N;
}

} // namespace

TFLoRaWAN_Gateway::TFLoRaWAN_Gateway(ProgramState& state, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent,
              Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_state(state), m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("FLoRaWAN_Gateway"));
    FormCreate();
}

TFLoRaWAN_Gateway::~TFLoRaWAN_Gateway() = default;

void TFLoRaWAN_Gateway::FormCreate()
{
    QFont font = uiFont();
    setFont(font);
    resize(1150, 660);

    auto* title = new QFrame(this);
    title->setObjectName(QStringLiteral("P_Title"));
    title->setFixedHeight(64);
    title->setAutoFillBackground(true);
    QPalette white = title->palette();
    white.setColor(QPalette::Window, Qt::white);
    title->setPalette(white);
    auto* code = new QLabel(Product::SoftwareCode, title);
    code->setObjectName(QStringLiteral("L_SW_Code"));
    QFont big = font;
    big.setPointSize(18);
    big.setBold(true);
    code->setFont(big);
    code->move(16, 4);
    m_desc = new QLabel(title);
    m_desc->setObjectName(QStringLiteral("L_SW_Desc"));
    QFont bold = font;
    bold.setBold(true);
    m_desc->setFont(bold);
    m_desc->setGeometry(16, 40, 600, 18);
    for (QLabel* l : {code, m_desc}) {
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, Qt::gray);
        l->setPalette(p);
    }

    m_splitter = new QSplitter(Qt::Vertical, this);
    m_splitter->setObjectName(QStringLiteral("Splitter1"));
    m_devicePanel = new QWidget(m_splitter);
    m_devicePanel->setObjectName(QStringLiteral("PLoRaWAN_Device_List"));
    m_devicesTitle = new QLabel(m_devicePanel);
    m_devicesTitle->setObjectName(QStringLiteral("LLoRaWAN_Device_List_Title"));
    m_devicesTitle->setFont(bold);
    auto* rulesPanel = new QWidget(m_splitter);
    rulesPanel->setObjectName(QStringLiteral("PLoRaWAN_Rules_List"));
    m_rulesTitle = new QLabel(rulesPanel);
    m_rulesTitle->setObjectName(QStringLiteral("LLoRaWAN_Rules_List_Title"));
    m_rulesTitle->setFont(bold);
    m_pages = new QTabWidget(rulesPanel);
    m_pages->setObjectName(QStringLiteral("PC_LoRaWAN_Device_Rules_List"));
    m_uplinkSheet = new QWidget;
    m_uplinkSheet->setObjectName(QStringLiteral("TS_LoRaWAN_Uplink_Rules_List"));
    m_downlinkSheet = new QWidget;
    m_downlinkSheet->setObjectName(QStringLiteral("TS_LoRaWAN_Downlink_Rules_List"));

    for (int t = 0; t < 3; ++t) {
        m_models[t] = new GridModel(t == Devices ? DeviceColumns : RuleColumns,
                                    t == Devices ? LoRaWAN::DeviceRows : LoRaWAN::RuleRows, this);
        const Table table = Table(t);
        connect(m_models[t], &GridModel::cellEdited, this, [this, table](int col, int row) {
            if (table == Devices && col == cActMethod)
                applyActivationRule(row);
        });
    }
    m_devLayout = new QVBoxLayout(m_devicePanel);
    m_devLayout->setContentsMargins(6, 4, 6, 2);
    m_devLayout->addWidget(m_devicesTitle);
    for (QWidget* sheet : {m_uplinkSheet, m_downlinkSheet}) {
        auto* l = new QVBoxLayout(sheet);
        l->setContentsMargins(0, 0, 0, 0);
    }
    m_pages->addTab(m_uplinkSheet, QString());
    m_pages->addTab(m_downlinkSheet, QString());
    auto* rulesLayout = new QVBoxLayout(rulesPanel);
    rulesLayout->setContentsMargins(6, 2, 6, 2);
    rulesLayout->addWidget(m_rulesTitle);
    rulesLayout->addWidget(m_pages, 1);

    auto* buttons = new QFrame(this);
    buttons->setObjectName(QStringLiteral("P_Button"));
    auto* row = new QHBoxLayout(buttons);
    row->setContentsMargins(8, 6, 8, 6);
    auto button = [&](const char16_t* name) {
        auto* b = new QPushButton(buttons);
        b->setObjectName(QString::fromUtf16(name));
        b->setAutoDefault(false);
        b->setMinimumWidth(100);
        return b;
    };
    m_delRow = button(u"Btn_DelRow");
    m_insRow = button(u"Btn_InsRow");
    m_copyRow = button(u"Btn_CopyRow");
    m_pasteRow = button(u"Btn_PasteRow");
    m_ok = button(u"Btn_OK");
    m_cancel = button(u"Btn_Cancel");
    for (QPushButton* b : {m_delRow, m_insRow, m_copyRow, m_pasteRow})
        row->addWidget(b);
    row->addStretch(1);
    row->addWidget(m_ok);
    row->addWidget(m_cancel);
    // The row buttons act on the table that had the focus: they must not take it.
    for (QPushButton* b : {m_delRow, m_insRow, m_copyRow, m_pasteRow})
        b->setFocusPolicy(Qt::NoFocus);
    connect(m_delRow, &QPushButton::clicked, this, &TFLoRaWAN_Gateway::Btn_DelRowClick);
    connect(m_insRow, &QPushButton::clicked, this, &TFLoRaWAN_Gateway::Btn_InsRowClick);
    connect(m_copyRow, &QPushButton::clicked, this, &TFLoRaWAN_Gateway::Btn_CopyRowClick);
    connect(m_pasteRow, &QPushButton::clicked, this, &TFLoRaWAN_Gateway::Btn_PasteRowClick);
    connect(m_ok, &QPushButton::clicked, this, &TFLoRaWAN_Gateway::Btn_OKClick);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(title);
    layout->addWidget(m_splitter, 1);
    layout->addWidget(buttons);
    m_splitter->setStretchFactor(0, 1);
    m_splitter->setStretchFactor(1, 1);

    Set_Lang();
    Init_Table();
    for (int i = 0; i < LoRaWAN::DeviceRows; ++i)
        m_devices.append(TDeviceLoRa());
    m_actMeth = {LoRaWAN::ABP, LoRaWAN::OTAA};
    m_class = {QStringLiteral("A"), QStringLiteral("C")};
    m_rx2 = LoRaWANDocument::rx2Items(LoRaWANDocument::GatewaySettings());
    GridModel::Column& act = m_models[Devices]->column(cActMethod);
    act.kind = GridModel::Kind::PickList;
    act.items = m_actMeth;
    GridModel::Column& cls = m_models[Devices]->column(cClass);
    cls.kind = GridModel::Kind::PickList;
    cls.items = m_class;
    GridModel::Column& rx2 = m_models[Devices]->column(cRX2);
    rx2.kind = GridModel::Kind::PickList;
    rx2.items = m_rx2;
}

Grid* TFLoRaWAN_Gateway::grid(Table t)
{
    buildGrids();
    return m_grids[t];
}

void TFLoRaWAN_Gateway::buildGrids()
{
    // The three views over their 1000-row models are made at the first showing:
    // they are the heaviest part of the window and start-up stays light.
    if (m_grids[Devices])
        return;
    const QString gridNames[3] = {QStringLiteral("ASG_LoRaWAN_Device_List"),
                                  QStringLiteral("ACG_LoRaWAN_Uplink"),
                                  QStringLiteral("ACG_LoRaWAN_Downlink")};
    QWidget* parents[3] = {m_devicePanel, m_uplinkSheet, m_downlinkSheet};
    for (int t = 0; t < 3; ++t) {
        m_grids[t] = new Grid(parents[t]);
        m_grids[t]->setObjectName(gridNames[t]);
        m_grids[t]->setConventions(&m_state.enable_jump_field_tables, &m_state.Double_Click_Auto_Size);
        m_grids[t]->verticalHeader()->setMinimumWidth(40);
        m_grids[t]->setGridModel(m_models[t]);
        m_grids[t]->installEventFilter(this);
    }
    m_devLayout->addWidget(m_grids[Devices], 1);
    m_uplinkSheet->layout()->addWidget(m_grids[Uplink]);
    m_downlinkSheet->layout()->addWidget(m_grids[Downlink]);
    connect(m_grids[Devices], &Grid::cellSelected, this, [this](int, int row, int, int previousRow) {
        if (!m_filling && row != previousRow)
            selectDevice(row);
    });
    setGridTexts();
}

void TFLoRaWAN_Gateway::setGridTexts()
{
    if (!m_grids[Devices])
        return;
    const StringTable& t = m_state.strings;
    m_grids[Devices]->setAccessibleName(t.text(5414));
    m_grids[Uplink]->setAccessibleName(m_uplinkSheet->accessibleName());
    m_grids[Downlink]->setAccessibleName(m_downlinkSheet->accessibleName());
    m_grids[Devices]->setCornerText(t.text(5418));
    m_grids[Uplink]->setCornerText(t.text(5443));
    m_grids[Downlink]->setCornerText(t.text(5464));
}

void TFLoRaWAN_Gateway::Init_Table()
{
    GridModel* dev = m_models[Devices];
    for (int col = 1; col <= DeviceColumns; ++col) {
        GridModel::Column& c = dev->column(col);
        c.width = DeviceLook[col - 1].width;
        c.background = DeviceLook[col - 1].colour;
    }
    for (int row = 1; row <= dev->dataRows(); ++row) {
        dev->setHasCheckBox(cEnable, row, true);
        dev->setChecked(cEnable, row, true);
    }
    for (int t : {Uplink, Downlink}) {
        for (int col = 1; col <= RuleColumns; ++col) {
            GridModel::Column& c = m_models[t]->column(col);
            c.width = (t == Uplink ? UplinkWidths : DownlinkWidths)[col - 1];
            const bool check = col == 1 || (t == Uplink ? col == 5 : (col >= 5 && col <= 7));
            c.kind = check ? GridModel::Kind::CheckText : GridModel::Kind::Text;
        }
    }
    for (Grid* g : m_grids)
        if (g)
            g->applyColumns();
}

void TFLoRaWAN_Gateway::Set_Lang()
{
    const StringTable& t = m_state.strings;
    setWindowTitle(t.text(5400));
    m_desc->setText(t.text(5401));
    auto button = [&](QPushButton* b, int caption, int hint) {
        b->setText(t.text(caption));
        b->setAccessibleName(t.text(caption));
        b->setToolTip(t.text(hint));
        b->setAccessibleDescription(t.text(hint));
    };
    button(m_ok, 5402, 5408);
    button(m_cancel, 5403, 5409);
    button(m_delRow, 5404, 5410);
    button(m_insRow, 5405, 5411);
    button(m_copyRow, 5406, 5412);
    button(m_pasteRow, 5407, 5413);
    m_devicesTitle->setText(t.text(5414));
    m_rulesTitle->setText(t.text(5415));
    for (int col = 1; col <= DeviceColumns; ++col)
        m_models[Devices]->setHeader(col, t.text(DeviceHeaders[col - 1]));
    for (int col = 1; col <= RuleColumns; ++col) {
        m_models[Uplink]->setHeader(col, t.text(UplinkHeaders[col - 1]));
        m_models[Downlink]->setHeader(col, t.text(DownlinkHeaders[col - 1]));
    }
    // The sheets are captioned by their page position (end-node mode swaps them).
    m_pages->setTabText(0, t.text(5416));
    m_pages->setTabText(1, t.text(5417));
    m_pages->widget(0)->setAccessibleName(t.text(5416));
    m_pages->widget(1)->setAccessibleName(t.text(5417));
    setGridTexts();
}

// ---- opening -------------------------------------------------------------

bool TFLoRaWAN_Gateway::Is_a_Master() const
{
    return LoRaWANDocument::readGatewaySettings(m_state.documentPath(Document::ParGen)).master;
}

void TFLoRaWAN_Gateway::Clear_Rules_List()
{
    for (TDeviceLoRa& d : m_devices)
        d = TDeviceLoRa();
}

void TFLoRaWAN_Gateway::Clear_Devices_Table()
{
    GridModel* m = m_models[Devices];
    const QSignalBlocker quiet(m);
    for (int row = 1; row <= m->dataRows(); ++row) {
        m->setHasCheckBox(cEnable, row, true);
        m->setChecked(cEnable, row, true);
        for (int col = 2; col <= DeviceColumns; ++col) {
            m->setText(col, row, QString());
            m->setReadOnly(col, row, false);
        }
        m->setReadOnly(cEnable, row, false);
    }
}

void TFLoRaWAN_Gateway::Clear_Rules_Tables()
{
    for (int t : {Uplink, Downlink}) {
        GridModel* m = m_models[t];
        const QSignalBlocker quiet(m);
        for (int row = 1; row <= m->dataRows(); ++row) {
            m->setText(1, row, Y);
            for (int col = 2; col <= RuleColumns; ++col) {
                const bool check = t == Uplink ? col == 5 : (col >= 5 && col <= 7);
                m->setText(col, row, check ? N : QString());
            }
        }
    }
}

void TFLoRaWAN_Gateway::Load_Configuration()
{
    const LoRaWANDocument::GatewaySettings gs =
        LoRaWANDocument::readGatewaySettings(m_state.documentPath(Document::ParGen));
    m_rx2 = LoRaWANDocument::rx2Items(gs);
    m_models[Devices]->column(cRX2).items = m_rx2;

    const LoRaWANDocument::ReadResult r =
        LoRaWANDocument::load(m_state.documentPath(Document::LoRaWAN_Gateway), m_master);
    if (!r.error.isEmpty()) {
        // A broken document shows nothing of itself; the file stays until OK.
        m_dialogs.error(this, r.error);
    } else {
        for (int i = 0; i < r.devices.size() && i < m_devices.size(); ++i)
            m_devices[i] = r.devices.at(i);
        // What does not fit the tables would vanish at the next OK without a word.
        if (r.skippedDevices > 0 || r.skippedRules > 0)
            m_dialogs.warning(this, m_state.strings.format(5516, {r.skippedDevices, r.skippedRules}));
    }
    if (!m_master && (r.devices.isEmpty() || !r.error.isEmpty()) && blank(m_devices[0].DeviceEUI))
        m_devices[0].DeviceEUI = LoRaWAN::EndNodeDeviceEUI;
}

void TFLoRaWAN_Gateway::FormShow()
{
    buildGrids();
    m_filling = true;
    Clear_Rules_List();
    Clear_Devices_Table();
    Clear_Rules_Tables();
    m_master = Is_a_Master();

    // End-node mode: no device table, and the sheets change places and captions.
    m_devicePanel->setVisible(m_master);
    m_pages->clear();
    if (m_master) {
        m_pages->addTab(m_uplinkSheet, QString());
        m_pages->addTab(m_downlinkSheet, QString());
    } else {
        m_pages->addTab(m_downlinkSheet, QString());
        m_pages->addTab(m_uplinkSheet, QString());
    }
    m_pages->setCurrentIndex(0);
    Set_Lang();

    Load_Configuration();
    Show_Data_Devices_Table();
    m_grids[Devices]->setCurrentCell(cDeviceEUI, 1);
    m_filling = false;
    Show_Rules_Data();
    m_lastGrid = Devices;
    m_doCopy[0] = m_doCopy[1] = m_doCopy[2] = false;
}

void TFLoRaWAN_Gateway::setVisible(bool visible)
{
    // Built before the window appears, so the tables show with it.
    if (visible)
        buildGrids();
    QDialog::setVisible(visible);
}

void TFLoRaWAN_Gateway::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFLoRaWAN_Gateway::applyActivationRule(int row)
{
    GridModel* m = m_models[Devices];
    const bool otaa = m->text(cActMethod, row) == m_actMeth.value(1);
    m->setReadOnly(cNetSessKey, row, otaa);
    m->setReadOnly(cAppSessKey, row, otaa);
    m->setReadOnly(cAppKey, row, !otaa);
}

void TFLoRaWAN_Gateway::Show_Data_Devices_Table()
{
    GridModel* m = m_models[Devices];
    {
        const QSignalBlocker quiet(m);
        for (int i = 0; i < m_devices.size(); ++i) {
            const TDeviceLoRa& d = m_devices.at(i);
            const int row = i + 1;
            m->setChecked(cEnable, row, d.Enable);
            const QString* texts[] = {&d.DeviceEUI,  &d.JoinEUI,     &d.DeviceName,  &d.ActMethod,
                                      &d.NetSessKey, &d.AppSessKey,  &d.AppKey,      &d.DevAdd,
                                      &d.ClassLoRa,  &d.DiagTimeOut, &d.RX2Datarate, &d.Mnemonic};
            for (int col = 2; col <= DeviceColumns; ++col)
                m->setText(col, row, *texts[col - 2]);
            applyActivationRule(row);
        }
    }
    m->refreshAll();
}

int TFLoRaWAN_Gateway::deviceCurrentRow() const
{
    // In end-node mode the hidden table stands on its first row.
    if (!m_master)
        return 1;
    return m_grids[Devices] ? m_grids[Devices]->currentRow() : 0;
}

void TFLoRaWAN_Gateway::Show_Rules_Data()
{
    const int row = deviceCurrentRow();
    showRulesOf(row > 0 ? row - 1 : -1);
}

void TFLoRaWAN_Gateway::showRulesOf(int entry)
{
    Clear_Rules_Tables();
    m_rulesEntry = entry;
    if (entry >= 0 && entry < m_devices.size()) {
        const TDeviceLoRa& d = m_devices.at(entry);
        GridModel* up = m_models[Uplink];
        {
            const QSignalBlocker quiet(up);
            for (int k = 0; k < d.UpLinkRules.size() && k < up->dataRows(); ++k) {
                const TRuleLoRa& r = d.UpLinkRules.at(k);
                const int row = k + 1;
                up->setText(1, row, flag(r.Enable));
                up->setText(2, row, r.Port);
                up->setText(3, row, r.StartTest);
                up->setText(4, row, r.LenTest);
                up->setText(5, row, flag(r.HexTest));
                up->setText(6, row, r.ValueTest);
                up->setText(7, row, r.StartBit);
                up->setText(8, row, r.NumBits);
                up->setText(9, row, r.PosBit);
                up->setText(10, row, r.Mnemonic);
            }
        }
        GridModel* down = m_models[Downlink];
        {
            const QSignalBlocker quiet(down);
            for (int k = 0; k < d.DownLinkRules.size() && k < down->dataRows(); ++k) {
                const TRuleLoRa& r = d.DownLinkRules.at(k);
                const int row = k + 1;
                down->setText(1, row, flag(r.Enable));
                down->setText(2, row, r.Port);
                down->setText(3, row, r.StartBit);
                down->setText(4, row, r.NumBits);
                down->setText(5, row, flag(r.OnChange));
                down->setText(6, row, flag(r.OnCMD));
                down->setText(7, row, flag(r.OnTimer));
                down->setText(8, row, r.Time);
                down->setText(9, row, r.PosBit);
                down->setText(10, row, r.Mnemonic);
            }
        }
    }
    m_models[Uplink]->refreshAll();
    m_models[Downlink]->refreshAll();
}

void TFLoRaWAN_Gateway::selectDevice(int row)
{
    buildGrids();
    // The rules on screen belong to the device that was selected while they were typed.
    saveRules(Uplink, m_rulesEntry);
    saveRules(Downlink, m_rulesEntry);
    if (m_grids[Devices]->currentRow() != row) {
        m_filling = true;
        m_grids[Devices]->setCurrentCell(qMax(1, m_grids[Devices]->currentCol()), row);
        m_filling = false;
    }
    showRulesOf(row > 0 ? row - 1 : -1);
}

// ---- back into the model ---------------------------------------------------

void TFLoRaWAN_Gateway::Save_Device_List()
{
    const GridModel* m = m_models[Devices];
    for (int row = 1; row <= m->dataRows(); ++row) {
        TDeviceLoRa& d = m_devices[row - 1];
        d.Enable = m->hasCheckBox(cEnable, row) && m->checked(cEnable, row);
        QString* texts[] = {&d.DeviceEUI,  &d.JoinEUI,     &d.DeviceName,  &d.ActMethod,
                            &d.NetSessKey, &d.AppSessKey,  &d.AppKey,      &d.DevAdd,
                            &d.ClassLoRa,  &d.DiagTimeOut, &d.RX2Datarate, &d.Mnemonic};
        for (int col = 2; col <= DeviceColumns; ++col)
            *texts[col - 2] = m->text(col, row);
        if (blank(m->text(cDeviceEUI, row)))
            break;
    }
}

void TFLoRaWAN_Gateway::saveRules(Table t, int entry)
{
    if (entry < 0 || entry >= m_devices.size())
        return;
    const GridModel* m = m_models[t];
    QList<TRuleLoRa>& rules = t == Uplink ? m_devices[entry].UpLinkRules : m_devices[entry].DownLinkRules;
    rules.clear();
    for (int row = 1; row <= m->dataRows(); ++row) {
        if (t == Uplink ? (blank(m->text(2, row)) && blank(m->text(3, row))) : blank(m->text(2, row)))
            break;
        TRuleLoRa r;
        r.Enable = isSet(m->text(1, row));
        r.Port = m->text(2, row);
        if (t == Uplink) {
            r.StartTest = m->text(3, row);
            r.LenTest = m->text(4, row);
            r.HexTest = isSet(m->text(5, row));
            r.ValueTest = m->text(6, row);
            r.StartBit = m->text(7, row);
            r.NumBits = m->text(8, row);
        } else {
            r.StartBit = m->text(3, row);
            r.NumBits = m->text(4, row);
            r.OnChange = isSet(m->text(5, row));
            r.OnCMD = isSet(m->text(6, row));
            r.OnTimer = isSet(m->text(7, row));
            r.Time = m->text(8, row);
        }
        r.PosBit = m->text(9, row);
        r.Mnemonic = m->text(10, row);
        rules.append(r);
    }
}

void TFLoRaWAN_Gateway::Save_UpLink_Rules_List()
{
    saveRules(Uplink, m_rulesEntry);
}

void TFLoRaWAN_Gateway::Save_DownLink_Rules_List()
{
    saveRules(Downlink, m_rulesEntry);
}

void TFLoRaWAN_Gateway::saveTable(Table t)
{
    if (t == Devices)
        Save_Device_List();
    else
        saveRules(t, m_rulesEntry);
}

// ---- focus ---------------------------------------------------------------

void TFLoRaWAN_Gateway::Grid_Enter(Table table)
{
    m_lastGrid = table;
}

void TFLoRaWAN_Gateway::Grid_Exit(Table table)
{
    saveTable(table);
}

bool TFLoRaWAN_Gateway::eventFilter(QObject* watched, QEvent* event)
{
    for (int t = 0; t < 3; ++t) {
        if (!m_grids[t] || watched != m_grids[t])
            continue;
        if (event->type() == QEvent::FocusIn) {
            Grid_Enter(Table(t));
        } else if (event->type() == QEvent::FocusOut) {
            // Focus that moves into the table's own cell editor does not leave the table.
            QWidget* to = QApplication::focusWidget();
            if (!to || !m_grids[t]->isAncestorOf(to))
                Grid_Exit(Table(t));
        }
    }
    return QDialog::eventFilter(watched, event);
}

// ---- row buttons -----------------------------------------------------------

void TFLoRaWAN_Gateway::Btn_DelRowClick()
{
    buildGrids();
    const Table t = Table(m_lastGrid);
    const int row = m_grids[t]->currentRow();
    if (row < 1)
        return;
    const int question = t == Devices ? 3346 : t == Uplink ? 3347 : 3348;
    if (!m_dialogs.yesNo(this, m_state.strings.format(question, {row})))
        return;
    GridModel* m = m_models[t];
    if (t == Devices) {
        saveRules(Uplink, m_rulesEntry);
        saveRules(Downlink, m_rulesEntry);
        RowOperations::checkRowDelete(*m, row, true);
        // The emptied last row stays editable, as every free row.
        for (int col = 1; col <= DeviceColumns; ++col)
            m->setReadOnly(col, m->dataRows(), false);
        applyActivationRule(m->dataRows());
        // Rules follow their device.
        m_devices.removeAt(row - 1);
        m_devices.append(TDeviceLoRa());
        Save_Device_List();
        Show_Rules_Data();
    } else {
        RowOperations::textRowDelete(*m, row);
        saveRules(t, m_rulesEntry);
    }
}

void TFLoRaWAN_Gateway::Btn_InsRowClick()
{
    buildGrids();
    const Table t = Table(m_lastGrid);
    const int row = m_grids[t]->currentRow();
    if (row < 1)
        return;
    GridModel* m = m_models[t];
    if (t == Devices) {
        saveRules(Uplink, m_rulesEntry);
        saveRules(Downlink, m_rulesEntry);
        RowOperations::checkRowInsert(*m, row, true);
        applyActivationRule(row);
        m_devices.insert(row - 1, TDeviceLoRa());
        m_devices.removeLast();
        Save_Device_List();
        Show_Rules_Data();
    } else {
        RowOperations::textRowInsert(*m, row, true);
        saveRules(t, m_rulesEntry);
    }
}

void TFLoRaWAN_Gateway::Btn_CopyRowClick()
{
    buildGrids();
    const Table t = Table(m_lastGrid);
    const int row = m_grids[t]->currentRow();
    if (row < 1)
        return;
    if (t == Devices)
        RowOperations::checkRowCopy(*m_models[t], row, m_state.rowCopyBuffer);
    else
        RowOperations::textRowCopy(*m_models[t], row, m_state.rowCopyBuffer);
    for (int i = 0; i < 3; ++i)
        m_doCopy[i] = i == t;
}

void TFLoRaWAN_Gateway::Btn_PasteRowClick()
{
    buildGrids();
    const Table t = Table(m_lastGrid);
    const int row = m_grids[t]->currentRow();
    if (row < 1)
        return;
    const RowOperations::Context ctx{m_state.rowCopyBuffer, m_dialogs, m_state.strings, this};
    GridModel* m = m_models[t];
    if (t == Devices) {
        if (RowOperations::checkRowPaste(*m, row, m_doCopy[t], ctx))
            applyActivationRule(row);
    } else {
        RowOperations::textRowPaste(*m, row, m_doCopy[t], ctx);
    }
    saveTable(t);
}

// ---- OK ------------------------------------------------------------------

bool TFLoRaWAN_Gateway::Check_Data()
{
    if (const auto message = LoRaWANCheck::Check_Data(m_devices, m_master, m_state.strings)) {
        m_dialogs.error(this, *message);
        return false;
    }
    return true;
}

void TFLoRaWAN_Gateway::Btn_OKClick()
{
    // Whatever is on screen counts, also when a table still has the focus.
    Save_Device_List();
    saveRules(Uplink, m_rulesEntry);
    saveRules(Downlink, m_rulesEntry);
    if (!Check_Data())
        return;
    QList<TDeviceLoRa> toSave = m_devices;
    if (!m_master) {
        // End-node mode keeps one entry: the gateway's own rules.
        toSave = {m_devices.at(0)};
        if (blank(toSave[0].DeviceEUI))
            toSave[0].DeviceEUI = LoRaWAN::EndNodeDeviceEUI;
    }
    const QString error = LoRaWANDocument::save(m_state.documentPath(Document::LoRaWAN_Gateway), toSave);
    if (!error.isEmpty()) {
        m_dialogs.error(this, error);
        return;
    }
    accept();
}
