// Prints the text a recovery copy gives back, as UTF-8, for the scripts
// that measure what a crash loses (recovery_trials.sh). Ends with status 1
// when the copy does not read back.
//
//   zu_recovery_text COPY

#include "core/doc/file_read.h"
#include "core/doc/recovery.h"
#include "core/text/utf.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: zu_recovery_text COPY\n");
        return 2;
    }
    const zu::FileBytes bytes = zu::readWholeFile(argv[1], std::size_t(1) << 32);
    const auto record = bytes.error == 0 ? zu::parseRecovery(bytes.bytes) : std::nullopt;
    if (!record)
        return 1;
    const std::string text = zu::utf16ToUtf8(record->text);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
}
