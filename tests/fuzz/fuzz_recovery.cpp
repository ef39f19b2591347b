// libFuzzer target for the reader of recovery copies: whatever the bytes
// (a copy cut short, damaged, or made by hand), reading them never crashes,
// never takes more than the bytes can hold, and whatever reads back whole
// is a document that reads back the same once written again.

#include "core/doc/recovery.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const zu::RecoveryRead read = zu::readRecovery(bytes);
    if (!read.record)
        return 0;
    if (read.wholeLength > size || read.baseEnd > read.wholeLength)
        std::abort();
    zu::RecoveryRecord record = *read.record;
    // A form says how the text becomes a file; written again as one, the
    // record is the same.
    if (read.form) {
        if (!read.form->mixedBreaks)
            record.breaks.clear();
        const auto again = zu::parseRecovery(zu::recoveryStart() + zu::formEntry(*read.form) +
                                             zu::textEntry(record));
        if (!again || again->text != record.text || again->variants != record.variants)
            std::abort();
    }
    return 0;
}
