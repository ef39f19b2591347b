#include "core/assist/quick_create.h"

#include <gtest/gtest.h>

namespace zu {
namespace {

TEST(QuickCreate, FixedSkeletonAroundTheSelection) {
    const Fragment page = quickCreate();
    EXPECT_EQ(page.open, "<html>\r\n<head>\r\n"
                         "<meta NAME=\"GENERATOR\" Content=\"ZO 2.00\">\r\n"
                         "<meta HTTP-EQUIV=\"Content-Type\" content=\"text/html; "
                         "charset=x-sjis\">\r\n"
                         "<title>Title</title>\r\n</head>\r\n"
                         "<body BGCOLOR=#ffffff LINK=#ff0000 VLINK=#0000ff ALINK=#000000>\r\n"
                         "<pre>\r\n"
                         "<font FACE=\"FixedSys\">\r\n");
    EXPECT_EQ(page.close, "\r\n</font>\r\n</pre>\r\n\r\n</body>\r\n</html>\r\n");
}

} // namespace
} // namespace zu
