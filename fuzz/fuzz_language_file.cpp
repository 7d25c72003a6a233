// Language files: decoding, the line grammar, and that every entry read can be written back.
#include "FuzzSupport.h"
#include "lang/LanguageFile.h"
#include "lang/StringTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    zvQuiet();
    const QByteArray bytes = zvBytes(data, size);
    StringTable table;
    LanguageFile::apply(bytes, table);
    for (const QString& line : LanguageFile::decodeLines(bytes)) {
        const LanguageFile::Entry e = LanguageFile::parseLine(line);
        if (e.index < 0)
            continue;
        const LanguageFile::Entry back = LanguageFile::parseLine(LanguageFile::formatEntry(e.index, e.text));
        ZV_FUZZ_CHECK(back.index == e.index);
        ZV_FUZZ_CHECK(back.text == e.text);
    }
    return 0;
}
