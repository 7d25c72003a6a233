#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Qt's own warnings about bad input are expected here; they would only slow the run down.
inline void zvQuiet()
{
    static const bool once = [] {
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& msg) {
            if (type == QtFatalMsg) {
                std::fprintf(stderr, "%s\n", msg.toLocal8Bit().constData());
                std::abort();
            }
        });
        return true;
    }();
    (void)once;
}

inline QByteArray zvBytes(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// A broken property is a finding: stop with a message libFuzzer keeps beside the input.
#define ZV_FUZZ_CHECK(cond)                                                                    \
    do {                                                                                       \
        if (!(cond)) {                                                                         \
            std::fprintf(stderr, "property failed: %s (%s:%d)\n", #cond, __FILE__, __LINE__); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (0)
