#pragma once

#include <QUrl>

#include <functional>

class Dialogs;
class ProgramRunner;
class EchoClient;

// What the windows need from outside the program; tests hand in doubles.
struct Services
{
    Dialogs& dialogs;
    ProgramRunner& runner;
    // Opens a web address with the system's default handler.
    std::function<void(const QUrl&)> openUrl;
    // The update window's echo client; null: the system's.
    EchoClient* echo = nullptr;
};
