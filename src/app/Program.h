#pragma once

#include "app/Services.h"
#include "common/ProgramState.h"

#include <memory>

class Dialogs;
class TFZuvurazarueFirmWare;
class TFNew_Project;
class TFOpenConf;
class TFAbout;
class TFSoftOptions;
class TFParGen;
class TFLoRaWAN_Gateway;
class TFBoot;
class EchoClient;

// Every window of the run, created once in the order the program has always
// used, around one program-wide state.
class Program
{
public:
    Program(const QString& programFolder, Services services);
    ~Program();

    // "Update Device": compile both documents and write the images; a failure
    // is shown and stops the step. Returns true when the images were written.
    bool Update_Device();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    ProgramState state;
    TFZuvurazarueFirmWare* mainWindow = nullptr;
    TFNew_Project* newProject = nullptr;
    TFOpenConf* openConf = nullptr;
    TFAbout* about = nullptr;
    TFSoftOptions* options = nullptr;
    TFParGen* parGen = nullptr;
    TFLoRaWAN_Gateway* loRaWAN = nullptr;
    TFBoot* boot = nullptr;

private:
    Dialogs& m_dialogs;
    std::unique_ptr<EchoClient> m_systemEcho;
};
