// libFuzzer target: any bytes must survive decode then encode unchanged, as
// a document too when its line breaks are all of one kind.

#include "core/text/cp932.h"
#include "core/text/document_text.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const zu::cp932::Decoded decoded = zu::cp932::decode(bytes);
    const zu::cp932::Encoded encoded = zu::cp932::encode(decoded.text, decoded.variants);
    if (encoded.bytes != bytes || !encoded.unencodable.empty())
        std::abort();

    const zu::DocumentText doc = zu::decodeDocument(bytes);
    const zu::EncodedDocument saved = zu::encodeDocument(doc.text, doc.lineBreak, doc.variants);
    if (!saved.problems.empty() || (!doc.mixedBreaks && saved.bytes != bytes))
        std::abort();
    // Mixed breaks are rewritten in one style; the text itself must survive.
    if (doc.mixedBreaks && zu::decodeDocument(saved.bytes).text != doc.text)
        std::abort();
    return 0;
}
