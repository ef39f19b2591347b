#include "core/assist/quick_create.h"

#include <string>

namespace zu {

Fragment quickCreate(std::string_view charset) {
    std::string open;
    open += "<html>\r\n<head>\r\n";
    open += "<meta NAME=\"GENERATOR\" Content=\"ZO 2.00\">\r\n";
    open += "<meta HTTP-EQUIV=\"Content-Type\" content=\"text/html; charset=";
    open += charset;
    open += "\">\r\n";
    // The title is always the placeholder word; the user names the page.
    open += "<title>Title</title>\r\n</head>\r\n";
    open += "<body BGCOLOR=#ffffff LINK=#ff0000 VLINK=#0000ff ALINK=#000000>\r\n";
    open += "<pre>\r\n";
    open += "<font FACE=\"FixedSys\">\r\n";

    // The selection is plain text and stays exactly as it is; the break in
    // front of "</font>" ends its last line.
    std::string close = "\r\n</font>\r\n</pre>\r\n\r\n</body>\r\n</html>\r\n";
    return {std::move(open), std::move(close)};
}

} // namespace zu
