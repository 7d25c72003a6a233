#include "app/Program.h"

#include "app/TFAbout.h"
#include "app/TFNew_Project.h"
#include "app/TFOpenConf.h"
#include "app/TFSoftOptions.h"
#include "app/TFZuvurazarueFirmWare.h"
#include "common/Dialogs.h"
#include "compiler/Compiler.h"
#include "lorawan/TFLoRaWAN_Gateway.h"
#include "params/TFParGen.h"
#include "update/EchoClient.h"
#include "update/TFBoot.h"

Program::Program(const QString& programFolder, Services services)
    : state(programFolder), m_dialogs(services.dialogs)
{
    // The main window's creation does the start-up; the others rely on its string table.
    mainWindow = new TFZuvurazarueFirmWare(state, services);
    loRaWAN = new TFLoRaWAN_Gateway(state, services.dialogs, mainWindow);
    newProject = new TFNew_Project(state, services.dialogs, mainWindow);
    openConf = new TFOpenConf(state, mainWindow);
    about = new TFAbout(mainWindow->versionCheck().displayAddress(), mainWindow->versionCheck().homePage(),
                        services.openUrl, mainWindow);
    options = new TFSoftOptions(
        state, services.dialogs, mainWindow->versionCheck(), [this] { mainWindow->Change_Language(); },
        services.openUrl, mainWindow);
    EchoClient* echo = services.echo;
    if (!echo) {
        m_systemEcho = createSystemEchoClient();
        echo = m_systemEcho.get();
    }
    boot = new TFBoot(state, services.dialogs, services.runner, *echo, mainWindow);
    parGen = new TFParGen(state, services.dialogs, mainWindow);
    mainWindow->setDialogs(newProject, openConf, about, options);
    mainWindow->setLanguageWindows({newProject, openConf, options, boot, parGen, loRaWAN});
    mainWindow->setStepAction(QStringLiteral("Btn_Prm_Gen"), [this] { parGen->exec(); });
    mainWindow->setStepAction(QStringLiteral("Btn_LoRaWAN_Access"), [this] { loRaWAN->exec(); });
    mainWindow->setStepAction(QStringLiteral("Btn_CreateBin"), [this] { Update_Device(); });
}

bool Program::Update_Device()
{
    const CompileResult images = Compile_Configuration(state.configurationFolder);
    if (!images.error.isEmpty()) {
        m_dialogs.error(mainWindow, images.error);
        return false;
    }
    if (const QString error = Write_Images(state.configurationFolder, images); !error.isEmpty()) {
        m_dialogs.error(mainWindow, error);
        return false;
    }
    boot->Form_Type = TFBoot::Ethernet;
    boot->exec();
    return true;
}

Program::~Program()
{
    delete mainWindow;
}
