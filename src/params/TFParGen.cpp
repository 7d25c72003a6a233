#include "params/TFParGen.h"
#include "common/UiFont.h"

#include "common/Dialogs.h"
#include "common/ProgramState.h"
#include "params/CollapsiblePanel.h"
#include "params/ParGenDocument.h"
#include "params/ParGenLists.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QValidator>

namespace {

constexpr int TitleHeight = 69;
constexpr int ButtonPanelHeight = 40;
constexpr int LabelX = 14;
constexpr int InputX = 191;
constexpr int InputWidth = 238;
constexpr int OctetWidth = 55;
constexpr int OctetX[4] = {191, 252, 313, 374};
constexpr int DotX[3] = {247, 308, 369};
constexpr int RowPitch = 28;
constexpr int FirstLabelY = 12;
constexpr int InputHeight = 22;

// Hexadecimal keys: digits, A-F in either case and control keys pass, shown in capitals.
class HexValidator : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override
    {
        QString out;
        out.reserve(input.size());
        int removedBeforeCursor = 0;
        for (qsizetype i = 0; i < input.size(); ++i) {
            const QChar c = input[i];
            const bool hex = (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
            if (hex || c.unicode() <= 32)
                out += c.toUpper();
            else if (i < pos)
                ++removedBeforeCursor;
        }
        input = out;
        pos -= removedBeforeCursor;
        return Acceptable;
    }
};

const QString Dot = QStringLiteral(".");

} // namespace

TFParGen::TFParGen(ProgramState& state, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent,
              Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_state(state), m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("FParGen"));
    FormCreate();
}

// ---- creation -------------------------------------------------------------

QLabel* TFParGen::newLabel(QWidget* parent, const QString& name)
{
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    m_controls.insert(name, l);
    return l;
}

QLineEdit* TFParGen::newEdit(QWidget* parent, const QString& name, int maxLength)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    if (maxLength > 0)
        e->setMaxLength(maxLength);
    m_controls.insert(name, e);
    connect(e, &QLineEdit::textChanged, this, [this, e] { On_Change(e); });
    return e;
}

QComboBox* TFParGen::newCombo(QWidget* parent, const QString& name, const QStringList& items)
{
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    c->addItems(items);
    m_controls.insert(name, c);
    connect(c, &QComboBox::currentIndexChanged, this, [this, c] { On_Change(c); });
    return c;
}

QCheckBox* TFParGen::newCheck(QWidget* parent, const QString& name)
{
    auto* c = new QCheckBox(parent);
    c->setObjectName(name);
    m_controls.insert(name, c);
    connect(c, &QCheckBox::toggled, this, [this, c] { On_Click(c); });
    return c;
}

TFParGen::Row* TFParGen::labelRow(QWidget* parent, const QString& labelName, QWidget* input)
{
    auto row = std::make_unique<Row>();
    row->label = newLabel(parent, labelName);
    static_cast<QLabel*>(row->label)->setBuddy(input);
    row->input = input;
    m_rowStore.push_back(std::move(row));
    return m_rowStore.back().get();
}

TFParGen::Row* TFParGen::checkRow(QWidget*, QCheckBox* check)
{
    auto row = std::make_unique<Row>();
    row->label = check;
    m_rowStore.push_back(std::move(row));
    return m_rowStore.back().get();
}

TFParGen::Row* TFParGen::octetRow(QWidget* parent, QWidget* label, const QString& baseName, bool gateway)
{
    auto row = std::make_unique<Row>();
    row->label = label;
    row->gateway = gateway;
    for (int i = 0; i < 4; ++i) {
        QLineEdit* box = newEdit(parent, baseName + QString::number(i + 1));
        box->installEventFilter(this);
        row->octets[size_t(i)] = box;
    }
    for (int i = 0; i < 3; ++i) {
        auto* dot = new QLabel(Dot, parent);
        dot->setAlignment(Qt::AlignCenter);
        row->dots[size_t(i)] = dot;
    }
    if (auto* l = qobject_cast<QLabel*>(label))
        l->setBuddy(row->octets[0]);
    m_rowStore.push_back(std::move(row));
    return m_rowStore.back().get();
}

void TFParGen::placeRow(Row* row, int index)
{
    const int y = FirstLabelY + RowPitch * index;
    row->label->move(LabelX, y);
    row->label->adjustSize();
    if (row->input)
        row->input->setGeometry(InputX, y - 3, InputWidth, InputHeight);
    if (row->octets[0]) {
        const int top = row->gateway ? y - 2 : y - 3;
        for (int i = 0; i < 4; ++i)
            row->octets[size_t(i)]->setGeometry(OctetX[i], top, OctetWidth, InputHeight);
        for (int i = 0; i < 3; ++i)
            row->dots[size_t(i)]->setGeometry(DotX[i], y, 5, 14);
    }
}

void TFParGen::setRowVisible(Row* row, bool visible)
{
    row->visible = visible;
    row->label->setVisible(visible);
    if (row->input)
        row->input->setVisible(visible);
    for (QLineEdit* box : row->octets)
        if (box)
            box->setVisible(visible);
    for (QLabel* dot : row->dots)
        if (dot)
            dot->setVisible(visible);
}

int TFParGen::packRows(const QList<Row*>& rows)
{
    int index = 0;
    int bottom = 0;
    for (Row* row : rows) {
        if (!row->visible)
            continue;
        placeRow(row, index++);
        bottom = qMax(bottom, row->label->geometry().bottom() + 1);
        if (row->input)
            bottom = qMax(bottom, row->input->geometry().bottom() + 1);
        if (row->octets[0])
            bottom = qMax(bottom, row->octets[0]->geometry().bottom() + 1);
    }
    return bottom + 12;
}

void TFParGen::hexField(QLineEdit* edit)
{
    edit->setValidator(new HexValidator(edit));
}

void TFParGen::FormCreate()
{
    QFont font = uiFont();
    setFont(font);
    setFixedWidth(ClientWidth);
    resize(ClientWidth, 700);
    setMinimumHeight(TitleHeight + ButtonPanelHeight + 120);

    auto* title = new QFrame(this);
    title->setObjectName(QStringLiteral("P_Title"));
    title->setFixedHeight(TitleHeight);
    title->setAutoFillBackground(true);
    QPalette pal = title->palette();
    pal.setColor(QPalette::Window, Qt::white);
    title->setPalette(pal);
    auto* code = newLabel(title, QStringLiteral("L_SW_Code"));
    QFont big = font;
    big.setPointSize(18);
    big.setBold(true);
    code->setFont(big);
    code->setText(Product::SoftwareCode);
    code->move(16, 4);
    code->adjustSize();
    m_desc = newLabel(title, QStringLiteral("L_SW_Desc"));
    QFont bold = font;
    bold.setBold(true);
    m_desc->setFont(bold);
    m_desc->setGeometry(16, 42, ClientWidth - 24, 18);
    for (const QString& name : {QStringLiteral("L_NBI_Title"), QStringLiteral("L_NBO_Title"),
                                QStringLiteral("L_NBI_Value"), QStringLiteral("L_NBO_Value")}) {
        QLabel* l = newLabel(title, name);
        l->move(ClientWidth + 40, 8); // beyond the window: unused by this product
        l->hide();
    }
    for (QLabel* l : {code, m_desc}) {
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, Qt::gray);
        l->setPalette(p);
    }

    m_cpg = new QScrollArea(this);
    m_cpg->setObjectName(QStringLiteral("CPG"));
    m_cpg->setWidgetResizable(true);
    m_cpg->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_cpg->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* stackHost = new QWidget;
    m_stack = new QVBoxLayout(stackHost);
    m_stack->setContentsMargins(0, 0, 0, 0);
    m_stack->setSpacing(2);
    m_cpg->setWidget(stackHost);

    auto* buttons = new QFrame(this);
    buttons->setObjectName(QStringLiteral("P_Button"));
    buttons->setFixedHeight(ButtonPanelHeight);
    m_ok = new QPushButton(buttons);
    m_ok->setObjectName(QStringLiteral("Btn_OK"));
    m_ok->setAutoDefault(false);
    m_cancel = new QPushButton(buttons);
    m_cancel->setObjectName(QStringLiteral("Btn_Cancel"));
    m_cancel->setAutoDefault(false);
    m_ok->setGeometry(ClientWidth - 2 * 110 - 16, 6, 110, 28);
    m_cancel->setGeometry(ClientWidth - 110 - 8, 6, 110, 28);
    connect(m_ok, &QPushButton::clicked, this, &TFParGen::Btn_OKClick);
    connect(m_cancel, &QPushButton::clicked, this, &TFParGen::Btn_CancelClick);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(title);
    layout->addWidget(m_cpg, 1);
    layout->addWidget(buttons);
    setWindowTexts();
}

void TFParGen::ensureBuilt()
{
    // The five panels (some 250 controls) are made at the first showing, so
    // that start-up stays light; everything below runs exactly once.
    if (m_built)
        return;
    m_built = true;
    buildPanels();

    // Order_TAB_Panels: the five panels of this product, numbered, in tab order.
    const int captions[5] = {1035, 406, 1337, 425, 733};
    for (int i = 0; i < 5; ++i) {
        m_panels[size_t(i)]->setCaption(QStringLiteral("%1. ").arg(i + 1) + m_state.text(captions[i]));
        m_stack->addWidget(m_panels[size_t(i)]);
    }
    m_stack->addStretch(1);
    for (int i = 0; i + 1 < 5; ++i)
        setTabOrder(m_panels[size_t(i)], m_panels[size_t(i + 1)]);

    m_loading = true;
    CB_Select_Device_Device->clear();
    CB_Select_Device_Device->addItems(
        {m_state.text(ParGenLists::DeviceTypeTexts[0]), m_state.text(ParGenLists::DeviceTypeTexts[1])});
    CB_Select_Device_Device->setCurrentIndex(0);
    Set_Lang();
    Change_LoRaWAN_DataRate();
    m_loading = false;
    Move_GroupBoxs();
    m_changed = false;
}

void TFParGen::buildPanels()
{
    const QStringList panelNames = {QStringLiteral("CP_Select_Device"),
                                    QStringLiteral("CP_Ethernet_Connection"), QStringLiteral("CP_LoRaWAN"),
                                    QStringLiteral("CP_Ethernet"), QStringLiteral("CP_WiFi2")};
    for (int i = 0; i < 5; ++i) {
        // Created in place: reparenting a filled panel would re-propagate fonts to every control.
        m_panels[size_t(i)] = new CollapsiblePanel(panelNames[i], m_cpg->widget());
        m_controls.insert(panelNames[i], m_panels[size_t(i)]);
    }

    // 1. Device type
    QWidget* p = m_panels[0]->content();
    CB_Select_Device_Device = newCombo(p, QStringLiteral("CB_Select_Device_Device"));
    m_rows[0] = {labelRow(p, QStringLiteral("L_Select_Device_Device"), CB_Select_Device_Device)};

    // 2. Ethernet connection
    p = m_panels[1]->content();
    E_EthConn_Device_Name = newEdit(p, QStringLiteral("E_EthConn_Device_Name"), 31);
    CB_EthConn_En_DHCP_Cable = newCheck(p, QStringLiteral("CB_EthConn_En_DHCP_Cable"));
    CB_EthConn_En_DHCP_WiFi = newCheck(p, QStringLiteral("CB_EthConn_En_DHCP_WiFi"));
    CB_EthConn_Enable_DNS = newCheck(p, QStringLiteral("CB_EthConn_Enable_DNS"));
    Row* pri = octetRow(p, newLabel(p, QStringLiteral("L_EthConn_Primary_DNS")),
                        QStringLiteral("E_EthConn_Pri_DNS_IP"));
    Row* sec = octetRow(p, newLabel(p, QStringLiteral("L_EthConn_Secondary_DNS")),
                        QStringLiteral("E_EthConn_Sec_DNS_IP"));
    E_EthConn_Pri_DNS = pri->octets;
    E_EthConn_Sec_DNS = sec->octets;
    m_rows[1] = {labelRow(p, QStringLiteral("L_EthConn_Device_Name"), E_EthConn_Device_Name),
                 checkRow(p, CB_EthConn_En_DHCP_Cable),
                 checkRow(p, CB_EthConn_En_DHCP_WiFi),
                 checkRow(p, CB_EthConn_Enable_DNS),
                 pri,
                 sec};

    // 3. LoRaWAN
    p = m_panels[2]->content();
    auto edit = [&](const char16_t* name, int maxLength = 0) {
        return newEdit(p, QString::fromUtf16(name), maxLength);
    };
    auto row = [&](const char16_t* label, QWidget* input) {
        return labelRow(p, QString::fromUtf16(label), input);
    };
    CB_LoRaWAN_Mode = newCombo(p, QStringLiteral("CB_LoRaWAN_Mode"), ParGenLists::modes());
    CB_LoRaWAN_RF_Band = newCombo(p, QStringLiteral("CB_LoRaWAN_RF_Band"), ParGenLists::bands());
    E_LoRaWAN_Server_Address = edit(u"E_LoRaWAN_Server_Address");
    E_LoRaWAN_Server_Port_Up = edit(u"E_LoRaWAN_Server_Port_Up");
    E_LoRaWAN_Server_Port_Down = edit(u"E_LoRaWAN_Server_Port_Down");
    E_LoRaWAN_KeepAlive_Interval = edit(u"E_LoRaWAN_KeepAlive_Interval");
    CB_LoRaWAN_Network_Type =
        newCombo(p, QStringLiteral("CB_LoRaWAN_Network_Type"), ParGenLists::networkTypes());
    E_LoRaWAN_Diag_Pos = edit(u"E_LoRaWAN_Diag_Pos");
    CB_LoRaWAN_RX2_Datarate = newCombo(p, QStringLiteral("CB_LoRaWAN_RX2_Datarate"));
    CB_LoRaWAN_FreqSubBand =
        newCombo(p, QStringLiteral("CB_LoRaWAN_FreqSubBand"), ParGenLists::frequencySubBands());
    CB_LoRaWAN_Adaptive_DataRate = newCheck(p, QStringLiteral("CB_LoRaWAN_Adaptive_DataRate"));
    CB_LoRaWAN_DataRate = newCombo(p, QStringLiteral("CB_LoRaWAN_DataRate"));
    CB_LoRaWAN_Transmission_Type =
        newCombo(p, QStringLiteral("CB_LoRaWAN_Transmission_Type"), ParGenLists::transmissionTypes());
    E_LoRaWAN_Join_EUI = edit(u"E_LoRaWAN_Join_EUI", 16);
    CB_LoRaWAN_Activation_Method =
        newCombo(p, QStringLiteral("CB_LoRaWAN_Activation_Method"), ParGenLists::activationMethods());
    E_LoRaWAN_Device_Address = edit(u"E_LoRaWAN_Device_Address", 8);
    E_LoRaWAN_Network_Session_Key = edit(u"E_LoRaWAN_Network_Session_Key", 32);
    E_LoRaWAN_Application_Session_Key = edit(u"E_LoRaWAN_Application_Session_Key", 32);
    E_LoRaWAN_Application_Key = edit(u"E_LoRaWAN_Application_Key", 32);
    CB_LoRaWAN_Class = newCombo(p, QStringLiteral("CB_LoRaWAN_Class"), ParGenLists::classes());
    for (QLineEdit* hex : {E_LoRaWAN_Join_EUI, E_LoRaWAN_Device_Address, E_LoRaWAN_Network_Session_Key,
                           E_LoRaWAN_Application_Session_Key, E_LoRaWAN_Application_Key})
        hexField(hex);
    rMode = row(u"L_LoRaWAN_Mode", CB_LoRaWAN_Mode);
    rBand = row(u"L_LoRaWAN_RF_Band", CB_LoRaWAN_RF_Band);
    rServer = row(u"L_LoRaWAN_Server_Address", E_LoRaWAN_Server_Address);
    rPortUp = row(u"L_LoRaWAN_Server_Port_Up", E_LoRaWAN_Server_Port_Up);
    rPortDown = row(u"L_LoRaWAN_Server_Port_Down", E_LoRaWAN_Server_Port_Down);
    rKeepAlive = row(u"L_LoRaWAN_KeepAlive_Interval", E_LoRaWAN_KeepAlive_Interval);
    rNetType = row(u"L_LoRaWAN_Network_Type", CB_LoRaWAN_Network_Type);
    rDiag = row(u"L_LoRaWAN_Diag_Pos", E_LoRaWAN_Diag_Pos);
    rRx2 = row(u"L_LoRaWAN_RX2_Datarate", CB_LoRaWAN_RX2_Datarate);
    rSubBand = row(u"L_LoRaWAN_FreqSubBand", CB_LoRaWAN_FreqSubBand);
    rAdr = checkRow(p, CB_LoRaWAN_Adaptive_DataRate);
    rDataRate = row(u"L_LoRaWAN_DataRate", CB_LoRaWAN_DataRate);
    rTransmission = row(u"L_LoRaWAN_Transmission_Type", CB_LoRaWAN_Transmission_Type);
    rJoinEui = row(u"L_LoRaWAN_Join_EUI", E_LoRaWAN_Join_EUI);
    rActivation = row(u"L_LoRaWAN_Activation_Method", CB_LoRaWAN_Activation_Method);
    rDevAddr = row(u"L_LoRaWAN_Device_Address", E_LoRaWAN_Device_Address);
    rNwkKey = row(u"L_LoRaWAN_Network_Session_Key", E_LoRaWAN_Network_Session_Key);
    rAppSKey = row(u"L_LoRaWAN_Application_Session_Key", E_LoRaWAN_Application_Session_Key);
    rAppKey = row(u"L_LoRaWAN_Application_Key", E_LoRaWAN_Application_Key);
    rClass = row(u"L_LoRaWAN_Class", CB_LoRaWAN_Class);
    m_rows[2] = {rMode,       rBand,    rServer,  rPortUp,  rPortDown, rKeepAlive,    rNetType,
                 rDiag,       rRx2,     rSubBand, rAdr,     rDataRate, rTransmission, rJoinEui,
                 rActivation, rDevAddr, rNwkKey,  rAppSKey, rAppKey,   rClass};

    // 4. Ethernet
    p = m_panels[3]->content();
    CB_Ethernet_En_GAT = newCheck(p, QStringLiteral("CB_Ethernet_En_GAT"));
    Row* ip = octetRow(p, newLabel(p, QStringLiteral("L_Ethernet_IP")), QStringLiteral("E_Ethernet_IP"));
    Row* sm = octetRow(p, newLabel(p, QStringLiteral("L_Ethernet_SM")), QStringLiteral("E_Ethernet_SM"));
    Row* gat = octetRow(p, CB_Ethernet_En_GAT, QStringLiteral("E_Ethernet_GAT"), true);
    E_Ethernet_IP = ip->octets;
    E_Ethernet_SM = sm->octets;
    E_Ethernet_GAT = gat->octets;
    E_Ethernet_TCP_Port = newEdit(p, QStringLiteral("E_Ethernet_TCP_Port"));
    E_Ethernet_UDP_Port = newEdit(p, QStringLiteral("E_Ethernet_UDP_Port"));
    rEthTcp = labelRow(p, QStringLiteral("L_Ethernet_TCP_Port"), E_Ethernet_TCP_Port);
    rEthUdp = labelRow(p, QStringLiteral("L_Ethernet_UDP_Port"), E_Ethernet_UDP_Port);
    m_rows[3] = {ip, sm, gat, rEthTcp, rEthUdp};

    // 5. Wi-Fi
    p = m_panels[4]->content();
    CB_WiFi2_Type = newCombo(p, QStringLiteral("CB_WiFi2_Type"));
    rWType = labelRow(p, QStringLiteral("L_WiFi2_Type"), CB_WiFi2_Type);
    rWHead1 = checkRow(p, nullptr);
    rWHead1->label = newLabel(p, QStringLiteral("L_WiFi2_IP1"));
    CB_WiFi2_IP1_En_GAT = newCheck(p, QStringLiteral("CB_WiFi2_IP1_En_GAT"));
    rWIp = octetRow(p, newLabel(p, QStringLiteral("L_WiFi2_IP1_IP")), QStringLiteral("E_WiFi2_IP1_IP"));
    rWSm = octetRow(p, newLabel(p, QStringLiteral("L_WiFi2_IP1_SM")), QStringLiteral("E_WiFi2_IP1_SM"));
    rWGat = octetRow(p, CB_WiFi2_IP1_En_GAT, QStringLiteral("E_WiFi2_IP1_GAT"), true);
    rWHead2 = checkRow(p, nullptr);
    rWHead2->label = newLabel(p, QStringLiteral("L_WiFi2_IP2"));
    CB_WiFi2_IP2_En_GAT = newCheck(p, QStringLiteral("CB_WiFi2_IP2_En_GAT"));
    rWIp2 = octetRow(p, newLabel(p, QStringLiteral("L_WiFi2_IP2_IP")), QStringLiteral("E_WiFi2_IP2_IP"));
    rWSm2 = octetRow(p, newLabel(p, QStringLiteral("L_WiFi2_IP2_SM")), QStringLiteral("E_WiFi2_IP2_SM"));
    rWGat2 = octetRow(p, CB_WiFi2_IP2_En_GAT, QStringLiteral("E_WiFi2_IP2_GAT"), true);
    E_WiFi2_IP1_IP = rWIp->octets;
    E_WiFi2_IP1_SM = rWSm->octets;
    E_WiFi2_IP1_GAT = rWGat->octets;
    E_WiFi2_IP2_IP = rWIp2->octets;
    E_WiFi2_IP2_SM = rWSm2->octets;
    E_WiFi2_IP2_GAT = rWGat2->octets;
    E_WiFi2_SSID = newEdit(p, QStringLiteral("E_WiFi2_SSID"));
    E_WiFi2_Password = newEdit(p, QStringLiteral("E_WiFi2_Password"));
    rWSsid = labelRow(p, QStringLiteral("L_WiFi2_SSID"), E_WiFi2_SSID);
    rWPwd = labelRow(p, QStringLiteral("L_WiFi2_Password"), E_WiFi2_Password);
    CB_WiFi2_Secure_Type = newCombo(p, QStringLiteral("CB_WiFi2_Secure_Type"));
    rWSecure = labelRow(p, QStringLiteral("L_WiFi2_Secure_Type"), CB_WiFi2_Secure_Type);
    CB_WiFi2_En_DHCP = newCheck(p, QStringLiteral("CB_WiFi2_En_DHCP"));
    rWDhcp = checkRow(p, CB_WiFi2_En_DHCP);
    rWDhcpIp = octetRow(p, newLabel(p, QStringLiteral("L_WiFi2_DHCP_First_IP")),
                        QStringLiteral("E_WiFi2_DHCP_First_IP"));
    rWDhcpSm = octetRow(p, newLabel(p, QStringLiteral("L_WiFi2_DHCP_SM")), QStringLiteral("E_WiFi2_DHCP_SM"));
    E_WiFi2_DHCP_First_IP = rWDhcpIp->octets;
    E_WiFi2_DHCP_SM = rWDhcpSm->octets;
    E_WiFi2_Lease_Time = newEdit(p, QStringLiteral("E_WiFi2_Lease_Time"));
    rWLease = labelRow(p, QStringLiteral("L_WiFi2_Lease_Time"), E_WiFi2_Lease_Time);
    CB_WiFi2_Max_Client = newCombo(p, QStringLiteral("CB_WiFi2_Max_Client"), ParGenLists::maxClients());
    rWMax = labelRow(p, QStringLiteral("L_WiFi2_Max_Client"), CB_WiFi2_Max_Client);
    CB_WiFi2_Channel = newCombo(p, QStringLiteral("CB_WiFi2_Channel"));
    rWChannel = labelRow(p, QStringLiteral("L_WiFi2_Channel"), CB_WiFi2_Channel);

    // The "." key moves along these chains.
    auto chain = [this](std::initializer_list<Octets> boxes) {
        QLineEdit* previous = nullptr;
        for (const Octets& group : boxes)
            for (QLineEdit* box : group) {
                if (previous)
                    m_nextOctet.insert(previous, box);
                previous = box;
            }
    };
    chain({E_EthConn_Pri_DNS, E_EthConn_Sec_DNS});
    chain({E_Ethernet_IP});
    chain({E_Ethernet_SM});
    chain({E_Ethernet_GAT});
    chain({E_WiFi2_IP1_IP});
    chain({E_WiFi2_IP1_SM});
    chain({E_WiFi2_IP1_GAT});
    chain({E_WiFi2_IP2_IP});
    chain({E_WiFi2_IP2_SM});
    chain({E_WiFi2_IP2_GAT});
    chain({E_WiFi2_DHCP_First_IP, E_WiFi2_DHCP_SM});
}

// ---- texts ----------------------------------------------------------------

void TFParGen::setLabelText(const QString& labelName, int index, QWidget* buddy, int hint)
{
    const QString text = m_state.text(index);
    if (auto* w = m_controls.value(labelName)) {
        if (auto* l = qobject_cast<QLabel*>(w))
            l->setText(text);
        else if (auto* b = qobject_cast<QAbstractButton*>(w))
            b->setText(text);
        w->setAccessibleName(text);
        w->adjustSize();
    }
    if (buddy) {
        buddy->setAccessibleName(text);
        if (hint >= 0) {
            buddy->setToolTip(m_state.text(hint));
            buddy->setAccessibleDescription(m_state.text(hint));
        }
    }
}

void TFParGen::setOctetHints(const Octets& boxes, int firstIndex)
{
    // An octet box is known by its hint ("Insert Third byte of IP Address").
    for (int i = 0; i < 4; ++i) {
        const QString hint = m_state.text(firstIndex + i);
        boxes[size_t(i)]->setToolTip(hint);
        boxes[size_t(i)]->setAccessibleName(hint);
    }
}

void TFParGen::fillTranslatedList(QComboBox* combo, const int* indexes, int count)
{
    const bool wasLoading = m_loading;
    m_loading = true;
    combo->clear();
    for (int i = 0; i < count; ++i)
        combo->addItem(m_state.text(indexes[i]));
    combo->setCurrentIndex(0);
    m_loading = wasLoading;
}

void TFParGen::setWindowTexts()
{
    setWindowTitle(m_state.text(400));
    m_desc->setText(m_state.text(401));
    auto button = [this](QPushButton* b, int caption, int hint) {
        b->setText(m_state.text(caption));
        b->setAccessibleName(m_state.text(caption));
        b->setToolTip(m_state.text(hint));
        b->setAccessibleDescription(m_state.text(hint));
    };
    button(m_ok, 402, 404);
    button(m_cancel, 403, 405);
}

void TFParGen::Set_Lang()
{
    setWindowTexts();
    if (!m_built)
        return;

    auto check = [this](QCheckBox* c, int caption, int hint) {
        c->setText(m_state.text(caption));
        c->setAccessibleName(m_state.text(caption));
        c->setToolTip(m_state.text(hint));
        c->setAccessibleDescription(m_state.text(hint));
        c->adjustSize();
    };

    setLabelText(QStringLiteral("L_Select_Device_Device"), 1036, CB_Select_Device_Device, 1037);

    setLabelText(QStringLiteral("L_EthConn_Device_Name"), 407, E_EthConn_Device_Name, 408);
    check(CB_EthConn_En_DHCP_Cable, 409, 410);
    check(CB_EthConn_En_DHCP_WiFi, 411, 412);
    check(CB_EthConn_Enable_DNS, 413, 414);
    setLabelText(QStringLiteral("L_EthConn_Primary_DNS"), 415, nullptr);
    setOctetHints(E_EthConn_Pri_DNS, 416);
    setLabelText(QStringLiteral("L_EthConn_Secondary_DNS"), 420, nullptr);
    setOctetHints(E_EthConn_Sec_DNS, 421);

    setLabelText(QStringLiteral("L_LoRaWAN_RF_Band"), 1338, CB_LoRaWAN_RF_Band, 1369);
    setLabelText(QStringLiteral("L_LoRaWAN_Network_Type"), 1374, CB_LoRaWAN_Network_Type, 1375);
    setLabelText(QStringLiteral("L_LoRaWAN_Diag_Pos"), 1406, E_LoRaWAN_Diag_Pos, 1407);
    setLabelText(QStringLiteral("L_LoRaWAN_RX2_Datarate"), 1409, CB_LoRaWAN_RX2_Datarate, 1410);
    setLabelText(QStringLiteral("L_LoRaWAN_FreqSubBand"), 1411, CB_LoRaWAN_FreqSubBand, 1412);
    setLabelText(QStringLiteral("L_LoRaWAN_Mode"), 1367, CB_LoRaWAN_Mode, 1368);
    setLabelText(QStringLiteral("L_LoRaWAN_Server_Address"), 1339, E_LoRaWAN_Server_Address, 1370);
    setLabelText(QStringLiteral("L_LoRaWAN_Server_Port_Up"), 1340, E_LoRaWAN_Server_Port_Up, 1371);
    setLabelText(QStringLiteral("L_LoRaWAN_Server_Port_Down"), 1341, E_LoRaWAN_Server_Port_Down, 1372);
    setLabelText(QStringLiteral("L_LoRaWAN_KeepAlive_Interval"), 1342, E_LoRaWAN_KeepAlive_Interval, 1373);
    check(CB_LoRaWAN_Adaptive_DataRate, 1376, 1377);
    setLabelText(QStringLiteral("L_LoRaWAN_DataRate"), 1378, CB_LoRaWAN_DataRate, 1379);
    setLabelText(QStringLiteral("L_LoRaWAN_Transmission_Type"), 1380, CB_LoRaWAN_Transmission_Type, 1381);
    setLabelText(QStringLiteral("L_LoRaWAN_Join_EUI"), 1382, E_LoRaWAN_Join_EUI, 1383);
    setLabelText(QStringLiteral("L_LoRaWAN_Activation_Method"), 1384, CB_LoRaWAN_Activation_Method, 1385);
    setLabelText(QStringLiteral("L_LoRaWAN_Device_Address"), 1386, E_LoRaWAN_Device_Address, 1387);
    setLabelText(QStringLiteral("L_LoRaWAN_Network_Session_Key"), 1388, E_LoRaWAN_Network_Session_Key, 1389);
    setLabelText(QStringLiteral("L_LoRaWAN_Application_Session_Key"), 1390, E_LoRaWAN_Application_Session_Key,
                 1391);
    setLabelText(QStringLiteral("L_LoRaWAN_Application_Key"), 1392, E_LoRaWAN_Application_Key, 1393);
    setLabelText(QStringLiteral("L_LoRaWAN_Class"), 1394, CB_LoRaWAN_Class, 1395);

    setLabelText(QStringLiteral("L_Ethernet_IP"), 426, nullptr);
    setOctetHints(E_Ethernet_IP, 427);
    setLabelText(QStringLiteral("L_Ethernet_SM"), 431, nullptr);
    setOctetHints(E_Ethernet_SM, 432);
    check(CB_Ethernet_En_GAT, 436, 437);
    setOctetHints(E_Ethernet_GAT, 438);
    setLabelText(QStringLiteral("L_Ethernet_TCP_Port"), 442, E_Ethernet_TCP_Port, 443);
    setLabelText(QStringLiteral("L_Ethernet_UDP_Port"), 444, E_Ethernet_UDP_Port, 445);

    setLabelText(QStringLiteral("L_WiFi2_Type"), 734, CB_WiFi2_Type, 735);
    setLabelText(QStringLiteral("L_WiFi2_IP1"), 738, nullptr);
    setLabelText(QStringLiteral("L_WiFi2_IP1_IP"), 739, nullptr);
    setOctetHints(E_WiFi2_IP1_IP, 740);
    setLabelText(QStringLiteral("L_WiFi2_IP1_SM"), 744, nullptr);
    setOctetHints(E_WiFi2_IP1_SM, 745);
    check(CB_WiFi2_IP1_En_GAT, 749, 750);
    setOctetHints(E_WiFi2_IP1_GAT, 751);
    setLabelText(QStringLiteral("L_WiFi2_IP2"), 755, nullptr);
    setLabelText(QStringLiteral("L_WiFi2_IP2_IP"), 756, nullptr);
    setOctetHints(E_WiFi2_IP2_IP, 757);
    setLabelText(QStringLiteral("L_WiFi2_IP2_SM"), 761, nullptr);
    setOctetHints(E_WiFi2_IP2_SM, 762);
    check(CB_WiFi2_IP2_En_GAT, 766, 767);
    setOctetHints(E_WiFi2_IP2_GAT, 768);
    setLabelText(QStringLiteral("L_WiFi2_SSID"), 772, E_WiFi2_SSID, 773);
    setLabelText(QStringLiteral("L_WiFi2_Password"), 774, E_WiFi2_Password, 775);
    setLabelText(QStringLiteral("L_WiFi2_Secure_Type"), 776, CB_WiFi2_Secure_Type, 777);
    check(CB_WiFi2_En_DHCP, 782, 783);
    setLabelText(QStringLiteral("L_WiFi2_DHCP_First_IP"), 784, nullptr);
    setOctetHints(E_WiFi2_DHCP_First_IP, 785);
    setLabelText(QStringLiteral("L_WiFi2_DHCP_SM"), 789, nullptr);
    setOctetHints(E_WiFi2_DHCP_SM, 790);
    setLabelText(QStringLiteral("L_WiFi2_Lease_Time"), 794, E_WiFi2_Lease_Time, 795);
    setLabelText(QStringLiteral("L_WiFi2_Max_Client"), 796, CB_WiFi2_Max_Client, 797);
    setLabelText(QStringLiteral("L_WiFi2_Channel"), 798, CB_WiFi2_Channel, 799);

    fillTranslatedList(CB_WiFi2_Type, ParGenLists::WiFiTypeTexts.data(), ParGenLists::WiFiTypeCount);
    fillTranslatedList(CB_WiFi2_Secure_Type, ParGenLists::SecureTypeTexts.data(),
                       ParGenLists::SecureTypeCount);
    fillTranslatedList(CB_WiFi2_Channel, ParGenLists::ChannelTexts.data(), ParGenLists::ChannelCount);
}

// ---- layout ---------------------------------------------------------------

void TFParGen::setOctetsEnabled(const Octets& boxes, bool on)
{
    for (QLineEdit* box : boxes)
        box->setEnabled(on);
}

void TFParGen::RePosition_Object_Select_Device()
{
    m_panels[0]->setContentHeight(packRows(m_rows[0]));
}

void TFParGen::RePosition_Object_Ethernet_Connection()
{
    m_panels[1]->setContentHeight(packRows(m_rows[1]));
    CB_EthConn_En_DHCP_WiFi->setEnabled(CB_Select_Device_Device->currentIndex() !=
                                        ParGenLists::OnlyEthernetCable);
}

void TFParGen::RePosition_Object_LoRaWAN()
{
    // This product is always a gateway: only band, network type, diagnostic
    // position, RX2 data rate and, for US915, the sub-band are shown.
    for (Row* r : m_rows[2])
        setRowVisible(r, false);
    for (Row* r : {rBand, rNetType, rDiag, rRx2})
        setRowVisible(r, true);
    setRowVisible(rSubBand, CB_LoRaWAN_RF_Band->currentText() == ParGenLists::US915);
    const QList<Row*> order = {rBand, rNetType, rDiag, rRx2, rSubBand};
    m_panels[2]->setContentHeight(packRows(order));
}

void TFParGen::RePosition_Object_Ethernet()
{
    setRowVisible(rEthTcp, true);
    setRowVisible(rEthUdp, true);
    m_panels[3]->setContentHeight(packRows(m_rows[3]));
    const bool manual = !CB_EthConn_En_DHCP_Cable->isChecked();
    setOctetsEnabled(E_Ethernet_IP, manual);
    setOctetsEnabled(E_Ethernet_SM, manual);
    setOctetsEnabled(E_Ethernet_GAT, manual);
    CB_Ethernet_En_GAT->setEnabled(manual);
}

void TFParGen::RePosition_Object_WiFi2()
{
    // One network interface in this product: no heading, no second block.
    for (Row* r : {rWHead1, rWHead2, rWIp2, rWSm2, rWGat2})
        setRowVisible(r, false);
    QList<Row*> order;
    const bool addressRowsEnabled = [&] {
        if (CB_WiFi2_Type->currentIndex() == ParGenLists::AccessPoint) {
            const bool secured = CB_WiFi2_Secure_Type->currentIndex() >= 1;
            const bool dhcp = CB_WiFi2_En_DHCP->isChecked();
            order = {rWType, rWIp, rWSm, rWGat, rWSsid, rWSecure};
            if (secured)
                order << rWPwd;
            order << rWDhcp;
            if (dhcp)
                order << rWDhcpIp << rWDhcpSm << rWLease;
            order << rWMax << rWChannel;
            for (Row* r : {rWPwd, rWDhcpIp, rWDhcpSm, rWLease})
                setRowVisible(r, false);
            // The access point's addresses are its own and always checked: keep them editable.
            return true;
        }
        order = {rWType, rWIp, rWSm, rWGat, rWSsid, rWPwd};
        for (Row* r : {rWSecure, rWDhcp, rWDhcpIp, rWDhcpSm, rWLease, rWMax, rWChannel})
            setRowVisible(r, false);
        return !CB_EthConn_En_DHCP_WiFi->isChecked();
    }();
    for (Row* r : order)
        setRowVisible(r, true);
    setOctetsEnabled(E_WiFi2_IP1_IP, addressRowsEnabled);
    setOctetsEnabled(E_WiFi2_IP1_SM, addressRowsEnabled);
    setOctetsEnabled(E_WiFi2_IP1_GAT, addressRowsEnabled);
    CB_WiFi2_IP1_En_GAT->setEnabled(addressRowsEnabled);
    m_panels[4]->setContentHeight(packRows(order));

    CollapsiblePanel* wifi = m_panels[4];
    switch (CB_Select_Device_Device->currentIndex()) {
    case ParGenLists::OnlyEthernetCable:
        wifi->setExpanded(false);
        wifi->setEnabled(false);
        break;
    case ParGenLists::EthernetCableAndWiFi:
        wifi->setEnabled(true);
        wifi->setExpanded(true);
        break;
    default:
        break;
    }
}

void TFParGen::Move_GroupBoxs()
{
    ensureBuilt();
    RePosition_Object_Select_Device();
    RePosition_Object_Ethernet_Connection();
    RePosition_Object_LoRaWAN();
    RePosition_Object_Ethernet();
    RePosition_Object_WiFi2();
}

void TFParGen::Change_LoRaWAN_DataRate()
{
    ensureBuilt();
    const QString band = CB_LoRaWAN_RF_Band->currentText();
    const bool wasLoading = m_loading;
    m_loading = true;
    CB_LoRaWAN_DataRate->clear();
    CB_LoRaWAN_DataRate->addItems(ParGenLists::dataRates(band));
    CB_LoRaWAN_DataRate->setCurrentIndex(0);
    CB_LoRaWAN_RX2_Datarate->clear();
    CB_LoRaWAN_RX2_Datarate->addItems(ParGenLists::rx2DataRates(band));
    CB_LoRaWAN_RX2_Datarate->setCurrentIndex(0);
    m_loading = wasLoading;
}

// ---- events ---------------------------------------------------------------

void TFParGen::On_Change(QObject* sender)
{
    if (m_loading)
        return;
    m_changed = true;
    if (sender == CB_Select_Device_Device || sender == CB_WiFi2_Type || sender == CB_WiFi2_Secure_Type ||
        sender == CB_LoRaWAN_RF_Band || sender == CB_LoRaWAN_Mode || sender == CB_LoRaWAN_Activation_Method)
        Move_GroupBoxs();
    if (sender == CB_LoRaWAN_RF_Band)
        Change_LoRaWAN_DataRate();
}

void TFParGen::On_Click(QObject* sender)
{
    if (m_loading)
        return;
    m_changed = true;
    if (sender == CB_EthConn_En_DHCP_Cable || sender == CB_EthConn_En_DHCP_WiFi || sender == CB_WiFi2_En_DHCP)
        Move_GroupBoxs();
}

bool TFParGen::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->text() == Dot) {
            // "." never enters an octet box: it moves along the address.
            if (QLineEdit* next = m_nextOctet.value(static_cast<QLineEdit*>(watched))) {
                if (next->isVisible() && next->isEnabled())
                    next->setFocus(Qt::TabFocusReason);
            }
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// ---- values ---------------------------------------------------------------

namespace {
void setOctets(const std::array<QLineEdit*, 4>& boxes, const ParGenOctets& values)
{
    for (size_t i = 0; i < 4; ++i)
        boxes[i]->setText(values[i]);
}

ParGenOctets octets(const std::array<QLineEdit*, 4>& boxes)
{
    return {boxes[0]->text(), boxes[1]->text(), boxes[2]->text(), boxes[3]->text()};
}

// A position outside the list leaves the list without a selection.
void select(QComboBox* combo, int position)
{
    combo->setCurrentIndex(position >= 0 && position < combo->count() ? position : -1);
}
} // namespace

void TFParGen::apply(const ParGenValues& v)
{
    ensureBuilt();
    m_loading = true;
    select(CB_Select_Device_Device, v.Select_Device);
    E_EthConn_Device_Name->setText(v.Eth_Conn_Device_Name);
    CB_EthConn_En_DHCP_Cable->setChecked(v.Eth_Conn_DHCP_Cable);
    CB_EthConn_En_DHCP_WiFi->setChecked(v.Eth_Conn_DHCP_WiFi);
    CB_EthConn_Enable_DNS->setChecked(v.Eth_Conn_Enable_DNS);
    setOctets(E_EthConn_Pri_DNS, v.Eth_Conn_Primary_DNS);
    setOctets(E_EthConn_Sec_DNS, v.Eth_Conn_Secondary_DNS);
    select(CB_LoRaWAN_Mode, ParGenLists::GatewayMode);
    select(CB_LoRaWAN_RF_Band, v.LoRaWAN_RF_Band);
    Change_LoRaWAN_DataRate();
    m_loading = true;
    E_LoRaWAN_Server_Address->setText(v.LoRaWAN_Server_Address);
    E_LoRaWAN_Server_Port_Up->setText(v.LoRaWAN_Server_Port_Up);
    E_LoRaWAN_Server_Port_Down->setText(v.LoRaWAN_Server_Port_Down);
    E_LoRaWAN_KeepAlive_Interval->setText(v.LoRaWAN_KeepAlive_Interval);
    select(CB_LoRaWAN_Network_Type, v.LoRaWAN_Network_Type);
    CB_LoRaWAN_Adaptive_DataRate->setChecked(v.LoRaWAN_Adaptive_DataRate);
    select(CB_LoRaWAN_DataRate, v.LoRaWAN_DataRate);
    select(CB_LoRaWAN_Transmission_Type, v.LoRaWAN_Transmission_Type);
    E_LoRaWAN_Join_EUI->setText(v.LoRaWAN_Join_EUI);
    select(CB_LoRaWAN_Activation_Method, v.LoRaWAN_Activation_Method);
    E_LoRaWAN_Device_Address->setText(v.LoRaWAN_Device_Address);
    E_LoRaWAN_Network_Session_Key->setText(v.LoRaWAN_Network_Session_Key);
    E_LoRaWAN_Application_Session_Key->setText(v.LoRaWAN_Application_Session_Key);
    E_LoRaWAN_Application_Key->setText(v.LoRaWAN_Application_Key);
    select(CB_LoRaWAN_Class, v.LoRaWAN_Class);
    E_LoRaWAN_Diag_Pos->setText(v.LoRaWAN_Diagostic_Position);
    select(CB_LoRaWAN_RX2_Datarate, v.LoRaWAN_RX2_Datarate);
    select(CB_LoRaWAN_FreqSubBand, v.LoRaWAN_Frequency_Sub_Band);
    setOctets(E_Ethernet_IP, v.Ethernet_IP);
    setOctets(E_Ethernet_SM, v.Ethernet_SM);
    setOctets(E_Ethernet_GAT, v.Ethernet_GAT);
    CB_Ethernet_En_GAT->setChecked(v.Ethernet_EN_GAT);
    E_Ethernet_TCP_Port->setText(v.Ethernet_TCP_Port);
    E_Ethernet_UDP_Port->setText(v.Ethernet_UDP_Port);
    select(CB_WiFi2_Type, v.WiFi_Type);
    setOctets(E_WiFi2_IP1_IP, v.WiFi_IP);
    setOctets(E_WiFi2_IP1_SM, v.WiFi_SM);
    CB_WiFi2_IP1_En_GAT->setChecked(v.WiFi_EN_Gateway);
    setOctets(E_WiFi2_IP1_GAT, v.WiFi_GAT);
    setOctets(E_WiFi2_IP2_IP, v.WiFi_IP2_IP);
    setOctets(E_WiFi2_IP2_SM, v.WiFi_IP2_SM);
    CB_WiFi2_IP2_En_GAT->setChecked(v.WiFi_IP2_EN_Gateway);
    setOctets(E_WiFi2_IP2_GAT, v.WiFi_IP2_GAT);
    E_WiFi2_SSID->setText(v.WiFi_SSID);
    E_WiFi2_Password->setText(v.WiFi_PWD);
    select(CB_WiFi2_Secure_Type, v.WiFi_Secure_Type);
    CB_WiFi2_En_DHCP->setChecked(v.WiFi_EN_DHCP);
    setOctets(E_WiFi2_DHCP_First_IP, v.WiFi_DHCP_First_IP);
    setOctets(E_WiFi2_DHCP_SM, v.WiFi_DHCP_SM);
    E_WiFi2_Lease_Time->setText(v.WiFi_Lease_Time);
    select(CB_WiFi2_Max_Client, v.WiFi_Max_Client);
    select(CB_WiFi2_Channel, v.WiFi_Channel);
    m_loading = false;
    m_changed = false;
    Move_GroupBoxs();
}

ParGenValues TFParGen::collect() const
{
    const_cast<TFParGen*>(this)->ensureBuilt();
    ParGenValues v;
    v.Select_Device = CB_Select_Device_Device->currentIndex();
    v.Eth_Conn_Device_Name = E_EthConn_Device_Name->text();
    v.Eth_Conn_DHCP_Cable = CB_EthConn_En_DHCP_Cable->isChecked();
    v.Eth_Conn_DHCP_WiFi = CB_EthConn_En_DHCP_WiFi->isChecked();
    v.Eth_Conn_Enable_DNS = CB_EthConn_Enable_DNS->isChecked();
    v.Eth_Conn_Primary_DNS = octets(E_EthConn_Pri_DNS);
    v.Eth_Conn_Secondary_DNS = octets(E_EthConn_Sec_DNS);
    v.LoRaWAN_Mode = ParGenLists::GatewayMode;
    v.LoRaWAN_RF_Band = CB_LoRaWAN_RF_Band->currentIndex();
    v.LoRaWAN_Server_Address = E_LoRaWAN_Server_Address->text();
    v.LoRaWAN_Server_Port_Up = E_LoRaWAN_Server_Port_Up->text();
    v.LoRaWAN_Server_Port_Down = E_LoRaWAN_Server_Port_Down->text();
    v.LoRaWAN_KeepAlive_Interval = E_LoRaWAN_KeepAlive_Interval->text();
    v.LoRaWAN_Network_Type = CB_LoRaWAN_Network_Type->currentIndex();
    v.LoRaWAN_Adaptive_DataRate = CB_LoRaWAN_Adaptive_DataRate->isChecked();
    v.LoRaWAN_DataRate = CB_LoRaWAN_DataRate->currentIndex();
    v.LoRaWAN_Transmission_Type = CB_LoRaWAN_Transmission_Type->currentIndex();
    v.LoRaWAN_Join_EUI = E_LoRaWAN_Join_EUI->text();
    v.LoRaWAN_Activation_Method = CB_LoRaWAN_Activation_Method->currentIndex();
    v.LoRaWAN_Device_Address = E_LoRaWAN_Device_Address->text();
    v.LoRaWAN_Network_Session_Key = E_LoRaWAN_Network_Session_Key->text();
    v.LoRaWAN_Application_Session_Key = E_LoRaWAN_Application_Session_Key->text();
    v.LoRaWAN_Application_Key = E_LoRaWAN_Application_Key->text();
    v.LoRaWAN_Class = CB_LoRaWAN_Class->currentIndex();
    v.LoRaWAN_Diagostic_Position = E_LoRaWAN_Diag_Pos->text();
    v.LoRaWAN_RX2_Datarate = CB_LoRaWAN_RX2_Datarate->currentIndex();
    v.LoRaWAN_Frequency_Sub_Band = CB_LoRaWAN_FreqSubBand->currentIndex();
    v.Ethernet_IP = octets(E_Ethernet_IP);
    v.Ethernet_SM = octets(E_Ethernet_SM);
    v.Ethernet_GAT = octets(E_Ethernet_GAT);
    v.Ethernet_EN_GAT = CB_Ethernet_En_GAT->isChecked();
    v.Ethernet_TCP_Port = E_Ethernet_TCP_Port->text();
    v.Ethernet_UDP_Port = E_Ethernet_UDP_Port->text();
    v.WiFi_Type = CB_WiFi2_Type->currentIndex();
    v.WiFi_IP = octets(E_WiFi2_IP1_IP);
    v.WiFi_SM = octets(E_WiFi2_IP1_SM);
    v.WiFi_EN_Gateway = CB_WiFi2_IP1_En_GAT->isChecked();
    v.WiFi_GAT = octets(E_WiFi2_IP1_GAT);
    v.WiFi_IP2_IP = octets(E_WiFi2_IP2_IP);
    v.WiFi_IP2_SM = octets(E_WiFi2_IP2_SM);
    v.WiFi_IP2_EN_Gateway = CB_WiFi2_IP2_En_GAT->isChecked();
    v.WiFi_IP2_GAT = octets(E_WiFi2_IP2_GAT);
    v.WiFi_SSID = E_WiFi2_SSID->text();
    v.WiFi_PWD = E_WiFi2_Password->text();
    v.WiFi_Secure_Type = CB_WiFi2_Secure_Type->currentIndex();
    v.WiFi_EN_DHCP = CB_WiFi2_En_DHCP->isChecked();
    v.WiFi_DHCP_First_IP = octets(E_WiFi2_DHCP_First_IP);
    v.WiFi_DHCP_SM = octets(E_WiFi2_DHCP_SM);
    v.WiFi_Lease_Time = E_WiFi2_Lease_Time->text();
    v.WiFi_Max_Client = CB_WiFi2_Max_Client->currentIndex();
    v.WiFi_Channel = CB_WiFi2_Channel->currentIndex();
    return v;
}

ParGenCheckInput TFParGen::checkInput() const
{
    const_cast<TFParGen*>(this)->ensureBuilt();
    // Shown and enabled are the controls' own states, not their panels'.
    auto shown = [](const QWidget* w) { return !w->isHidden(); };
    auto enabled = [](const QWidget* w) { return !w->testAttribute(Qt::WA_ForceDisabled); };
    ParGenCheckInput in;
    in.CB_EthConn_Enable_DNS_ticked = CB_EthConn_Enable_DNS->isChecked();
    in.E_EthConn_Pri_DNS_IP = octets(E_EthConn_Pri_DNS);
    in.E_EthConn_Sec_DNS_IP = octets(E_EthConn_Sec_DNS);
    in.CB_LoRaWAN_RF_Band_text = CB_LoRaWAN_RF_Band->currentText();
    in.E_LoRaWAN_Server_Port_Up = E_LoRaWAN_Server_Port_Up->text();
    in.shown_E_LoRaWAN_Server_Port_Up = shown(E_LoRaWAN_Server_Port_Up);
    in.E_LoRaWAN_Server_Port_Down = E_LoRaWAN_Server_Port_Down->text();
    in.shown_E_LoRaWAN_Server_Port_Down = shown(E_LoRaWAN_Server_Port_Down);
    in.E_LoRaWAN_KeepAlive_Interval = E_LoRaWAN_KeepAlive_Interval->text();
    in.shown_E_LoRaWAN_KeepAlive_Interval = shown(E_LoRaWAN_KeepAlive_Interval);
    in.CB_LoRaWAN_Network_Type_text = CB_LoRaWAN_Network_Type->currentText();
    in.shown_CB_LoRaWAN_Network_Type = shown(CB_LoRaWAN_Network_Type);
    in.E_LoRaWAN_Diag_Pos = E_LoRaWAN_Diag_Pos->text();
    in.shown_E_LoRaWAN_Diag_Pos = shown(E_LoRaWAN_Diag_Pos);
    in.CB_LoRaWAN_DataRate_text = CB_LoRaWAN_DataRate->currentText();
    in.shown_CB_LoRaWAN_DataRate = shown(CB_LoRaWAN_DataRate);
    in.CB_LoRaWAN_Transmission_Type_text = CB_LoRaWAN_Transmission_Type->currentText();
    in.shown_CB_LoRaWAN_Transmission_Type = shown(CB_LoRaWAN_Transmission_Type);
    in.E_LoRaWAN_Join_EUI = E_LoRaWAN_Join_EUI->text();
    in.shown_E_LoRaWAN_Join_EUI = shown(E_LoRaWAN_Join_EUI);
    in.CB_LoRaWAN_Activation_Method_text = CB_LoRaWAN_Activation_Method->currentText();
    in.shown_CB_LoRaWAN_Activation_Method = shown(CB_LoRaWAN_Activation_Method);
    in.E_LoRaWAN_Device_Address = E_LoRaWAN_Device_Address->text();
    in.shown_E_LoRaWAN_Device_Address = shown(E_LoRaWAN_Device_Address);
    in.E_LoRaWAN_Network_Session_Key = E_LoRaWAN_Network_Session_Key->text();
    in.shown_E_LoRaWAN_Network_Session_Key = shown(E_LoRaWAN_Network_Session_Key);
    in.E_LoRaWAN_Application_Session_Key = E_LoRaWAN_Application_Session_Key->text();
    in.shown_E_LoRaWAN_Application_Session_Key = shown(E_LoRaWAN_Application_Session_Key);
    in.E_LoRaWAN_Application_Key = E_LoRaWAN_Application_Key->text();
    in.shown_E_LoRaWAN_Application_Key = shown(E_LoRaWAN_Application_Key);
    in.E_Ethernet_IP = octets(E_Ethernet_IP);
    in.E_Ethernet_SM = octets(E_Ethernet_SM);
    in.CB_Ethernet_En_GAT_ticked = CB_Ethernet_En_GAT->isChecked();
    in.E_Ethernet_GAT = octets(E_Ethernet_GAT);
    in.E_Ethernet_TCP_Port = E_Ethernet_TCP_Port->text();
    in.E_Ethernet_UDP_Port = E_Ethernet_UDP_Port->text();
    in.CB_WiFi2_Type_index = CB_WiFi2_Type->currentIndex();
    in.E_WiFi2_IP1_IP = octets(E_WiFi2_IP1_IP);
    in.shown_E_WiFi2_IP1_IP1 = shown(E_WiFi2_IP1_IP[0]);
    in.enabled_E_WiFi2_IP1_IP1 = enabled(E_WiFi2_IP1_IP[0]);
    in.E_WiFi2_IP1_SM = octets(E_WiFi2_IP1_SM);
    in.CB_WiFi2_IP1_En_GAT_ticked = CB_WiFi2_IP1_En_GAT->isChecked();
    in.E_WiFi2_IP1_GAT = octets(E_WiFi2_IP1_GAT);
    in.E_WiFi2_IP2_IP = octets(E_WiFi2_IP2_IP);
    in.shown_E_WiFi2_IP2_IP1 = shown(E_WiFi2_IP2_IP[0]);
    in.enabled_E_WiFi2_IP2_IP1 = enabled(E_WiFi2_IP2_IP[0]);
    in.E_WiFi2_IP2_SM = octets(E_WiFi2_IP2_SM);
    in.CB_WiFi2_IP2_En_GAT_ticked = CB_WiFi2_IP2_En_GAT->isChecked();
    in.E_WiFi2_IP2_GAT = octets(E_WiFi2_IP2_GAT);
    in.CB_WiFi2_En_DHCP_ticked = CB_WiFi2_En_DHCP->isChecked();
    in.E_WiFi2_DHCP_First_IP = octets(E_WiFi2_DHCP_First_IP);
    in.E_WiFi2_DHCP_SM = octets(E_WiFi2_DHCP_SM);
    in.E_WiFi2_Lease_Time = E_WiFi2_Lease_Time->text();
    return in;
}

// ---- opening and closing --------------------------------------------------

void TFParGen::FormShow()
{
    ensureBuilt();
    const ParGenDocument::ReadResult r = ParGenDocument::load(m_state.documentPath(Document::ParGen));
    apply(r.values);
    if (!r.error.isEmpty())
        m_dialogs.error(this, r.error);
}

void TFParGen::setVisible(bool visible)
{
    // Built before the window appears, so every control shows with it.
    if (visible)
        ensureBuilt();
    QDialog::setVisible(visible);
}

void TFParGen::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

bool TFParGen::Controllo_Dati()
{
    ensureBuilt();
    if (const auto failure = checkParGen(checkInput(), m_state.strings)) {
        m_dialogs.error(this, failure->message);
        return false;
    }
    return true;
}

void TFParGen::Btn_OKClick()
{
    ensureBuilt();
    if (!Controllo_Dati())
        return;
    // A failed save keeps the window open with every value; the old file stays whole.
    const QString error = ParGenDocument::save(m_state.documentPath(Document::ParGen), collect());
    if (!error.isEmpty()) {
        m_dialogs.error(this, error);
        return;
    }
    accept();
}

void TFParGen::Btn_CancelClick()
{
    if (m_changed && !m_dialogs.yesNo(this, m_state.text(1336)))
        return;
    reject();
}

void TFParGen::keyPressEvent(QKeyEvent* event)
{
    // Escape is Cancel, with its question, so that no edit is lost by a stray key.
    if (event->key() == Qt::Key_Escape) {
        Btn_CancelClick();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TFParGen::closeEvent(QCloseEvent* event)
{
    event->accept();
    QDialog::closeEvent(event);
}
