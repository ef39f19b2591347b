#include "core/doc/encoding_rules.h"

#include "core/text/detect_encoding.h"

#include <array>

namespace zu {

std::span<const EncodingChoice> encodingChoices() {
    static const std::array<EncodingChoice, 5> choices{{
        {"Shift_JIS", &cp932Encoding()},
        {"UTF-8", &utf8Encoding()},
        {"UTF-16", &utf16LeEncoding()},
        {"EUC-JP", &eucJpEncoding()},
        {"ISO-2022-JP", &iso2022JpEncoding()},
    }};
    return choices;
}

bool isCurrent(const EncodingChoice& choice, const Encoding& now) {
    return choice.encoding == &now || (isUtf16(*choice.encoding) && isUtf16(now));
}

std::string_view lineBreakName(LineBreak style) {
    switch (style) {
    case LineBreak::CrLf:
        return "CR+LF";
    case LineBreak::Lf:
        return "LF";
    case LineBreak::Cr:
        return "CR";
    }
    return {};
}

bool declaresOther(const Encoding* declared, const Encoding& now) {
    return declared && declared != &now && !(isUtf16(*declared) && isUtf16(now));
}

std::string encodingLabel(const TextForm& form, const Encoding* declared) {
    std::string label(form.encoding->name());
    if (form.byteOrderMark)
        label += " (BOM)";
    if (declaresOther(declared, *form.encoding))
        label += " (宣言: " + std::string(declared->name()) + ")";
    return label;
}

std::string lineBreakLabel(LineBreak style, bool mixed) {
    std::string label(lineBreakName(style));
    return mixed ? "混在 (" + label + ")" : label;
}

bool canReopen(bool modified, bool hasFile) {
    return !modified && hasFile;
}

TextForm switchedForm(const TextForm& now, const Encoding& to) {
    TextForm form = now;
    if (isUtf16(to)) {
        // Staying in UTF-16 keeps the byte order the file has.
        form.encoding = isUtf16(*now.encoding) ? now.encoding : &to;
        form.byteOrderMark = isUtf16(*now.encoding) ? now.byteOrderMark : true;
        return form;
    }
    form.byteOrderMark = now.encoding == &to && now.byteOrderMark;
    form.encoding = &to;
    return form;
}

} // namespace zu
