// libFuzzer target: any bytes must survive decode then encode unchanged, as
// a document too, in every encoding and in the one detected.

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

    // As a document, with each line break kept as it was read.
    const zu::DocumentText doc = zu::decodeDocument(bytes);
    const zu::EncodedDocument saved = zu::encodeDocument(doc.text, doc.lineBreak, doc.variants,
                                                         zu::cp932::Unmappable::Report, doc.breaks);
    if (!saved.problems.empty() || saved.bytes != bytes)
        std::abort();

    const auto resaves = [&](const zu::DocumentText& d) {
        const zu::EncodedDocument again =
            zu::encodeDocument(d.text, d.form(), d.variants, zu::Unmappable::Report, d.breaks);
        return again.problems.empty() && again.bytes == bytes;
    };
    for (const zu::Encoding* encoding : zu::encodings())
        if (!resaves(zu::decodeDocument(bytes, *encoding)))
            std::abort();
    if (!resaves(zu::decodeDetected(bytes)))
        std::abort();
    return 0;
}
