#pragma once

#include "app/Services.h"
#include "common/ProgramState.h"

class TFZuvurazarueFirmWare;
class TFNew_Project;
class TFOpenConf;
class TFAbout;
class TFSoftOptions;
class TFParGen;
class TFLoRaWAN_Gateway;

// Every window of the run, created once in the order the program has always
// used, around one program-wide state.
class Program
{
public:
    Program(const QString& programFolder, Services services);
    ~Program();
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
};
