#include "core/assist/generic_form.h"

#include "core/text/utf.h"

namespace zu {

Fragment genericForm(const GenericFormInput& input) {
    // Settings values go in as the user typed them: they are HTML source,
    // so nothing is quoted or escaped.
    std::string body = "<body>";
    if (!input.bodyOptions.empty())
        body = "<body " + input.bodyOptions + ">";

    std::string open;
    open += "<html>\r\n";
    open += "<head>\r\n";
    // "Content=" here and "content=" below differ in case on purpose: new
    // pages look exactly like the ones the editor has always written.
    open += "<meta NAME=\"GENERATOR\" Content=\"ZO 2.00\">\r\n";
    open += "<meta HTTP-EQUIV=\"Content-Type\" content=\"text/html; charset=" + input.charset +
            "\">\r\n";
    open += "<title>" + input.pageTitle + "</title>\r\n";
    open += "</head>\r\n";
    open += body + "\r\n";
    open +=
        "<font FACE=\"" + input.fontFace + "\" SIZE=" + std::to_string(input.fontSize) + ">\r\n";
    // The empty line the selection is separated by from the font tag.
    open += "\r\n";

    std::string close = "\r\n\r\n</font>\r\n</body>\r\n</html>\r\n";
    return {std::move(open), std::move(close)};
}

long caretAfterGenericForm(long insertStart, const Fragment& form) {
    // Counted in the editor's positions from where the form went in; a byte
    // count from the start of the text would land elsewhere as soon as the
    // form is not at the very start or holds a double-byte character. In the
    // editor a line break is one position, so "\r\n" counts once.
    const std::u16string open = utf8ToUtf16(form.open);
    long length = static_cast<long>(open.size());
    for (std::size_t at = open.find(u"\r\n"); at != std::u16string::npos;
         at = open.find(u"\r\n", at + 2))
        --length;
    return insertStart + length;
}

} // namespace zu
