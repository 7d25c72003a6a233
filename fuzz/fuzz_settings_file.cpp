// Zuvurazaru.xml: any file gives settings, and the settings written read back the same.
#include "FuzzSupport.h"
#include "app/SettingsFile.h"
#include "common/ProgramState.h"

namespace {
bool sameSettings(const ProgramState& a, const ProgramState& b)
{
    return a.configurationName == b.configurationName && a.lastDeviceAddress == b.lastDeviceAddress &&
           a.language == b.language && a.enable_internet == b.enable_internet &&
           a.enable_update == b.enable_update && a.enable_jump_field_tables == b.enable_jump_field_tables &&
           a.Double_Click_Auto_Size == b.Double_Click_Auto_Size;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    zvQuiet();
    ProgramState first(QStringLiteral("/nonexistent"));
    SettingsFile::parse(zvBytes(data, size), first);
    ProgramState second(QStringLiteral("/nonexistent"));
    SettingsFile::parse(SettingsFile::serialize(first), second);
    ZV_FUZZ_CHECK(sameSettings(first, second));
    return 0;
}
