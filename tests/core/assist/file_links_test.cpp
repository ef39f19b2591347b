#include "core/assist/file_links.h"

#include "support/fixed_time_zone.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/time.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace zu {
namespace {

using Files = std::vector<FileFacts>;

// 1998-07-15 09:05 and 2005-03-04 05:06, in UTC.
constexpr std::time_t kJuly1998 = 900493500;
constexpr std::time_t kMarch2005 = 1109912760;

TEST(FileLinks, FolderHeadingAndLinkNames) {
    struct Case {
        const char* path;
        const char* heading;
        const char* name;
    };
    const Case cases[] = {
        {"/home/u/web/a.htm", "/home/u/web", "a.htm"},
        {"/a.htm", "/", "a.htm"},
        {"/home/u/表/写真 1.jpg", "/home/u/表", "写真 1.jpg"},
        {"/home/u/表", "/home/u", "表"},
        {"a.htm", "", "a.htm"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(folderHeading(c.path), c.heading);
        EXPECT_EQ(linkName(c.path, LinkForm::NameOnly), c.name);
        EXPECT_EQ(linkName(c.path, LinkForm::WithDirectory), c.path);
    }
}

TEST(FileLinks, TimeTextIsZeroPaddedLocalTime) {
    {
        testing::FixedTimeZone zone("UTC0");
        EXPECT_EQ(fileTimeText(kJuly1998), "98/07/15 09:05");
        EXPECT_EQ(fileTimeText(kMarch2005), "05/03/04 05:06");
    }
    testing::FixedTimeZone zone("JST-9");
    EXPECT_EQ(fileTimeText(kJuly1998), "98/07/15 18:05");
    EXPECT_EQ(fileTimeText(kMarch2005), "05/03/04 14:06");
}

TEST(FileLinks, FileList) {
    testing::FixedTimeZone zone("UTC0");
    const Files one = {{"/home/u/web/a.htm", kJuly1998, 1234}};
    const Files several = {
        {"/home/u/表/写真 1.jpg", kMarch2005, 0},
        {"/home/u/表/big.iso", kJuly1998, 5368709120},
        {"/home/u/表/gone.htm", std::nullopt, std::nullopt},
        {"/home/u/表/sub", kJuly1998, std::nullopt},
        {"/home/u/表/odd.htm", std::nullopt, 7},
    };
    struct Case {
        const char* name;
        const Files& files;
        LinkForm form;
        Anchor anchor;
        std::string open;
    };
    const Case cases[] = {
        {"plain name", one, LinkForm::NameOnly, Anchor::Plain,
         "<center><h3><u>/home/u/web</u></h3></center>\r\n"
         "a.htm\t98/07/15 09:05 1234Bytes<br>\r\n"},
        {"linked name", one, LinkForm::NameOnly, Anchor::Linked,
         "<center><h3><u>/home/u/web</u></h3></center>\r\n"
         "<a HREF=\"a.htm\">a.htm</a>\t98/07/15 09:05 1234Bytes<br>\r\n"},
        {"plain full path", one, LinkForm::WithDirectory, Anchor::Plain,
         "<center><h3><u>/home/u/web</u></h3></center>\r\n"
         "/home/u/web/a.htm\t98/07/15 09:05 1234Bytes<br>\r\n"},
        {"linked full path", one, LinkForm::WithDirectory, Anchor::Linked,
         "<center><h3><u>/home/u/web</u></h3></center>\r\n"
         "<a HREF=\"/home/u/web/a.htm\">/home/u/web/a.htm</a>\t98/07/15 09:05 1234Bytes<br>\r\n"},
        {"empty, huge, vanished and half-known files in a folder named 表", several,
         LinkForm::NameOnly, Anchor::Linked,
         "<center><h3><u>/home/u/表</u></h3></center>\r\n"
         "<a HREF=\"写真 1.jpg\">写真 1.jpg</a>\t05/03/04 05:06 0Bytes<br>\r\n"
         "<a HREF=\"big.iso\">big.iso</a>\t98/07/15 09:05 5368709120Bytes<br>\r\n"
         "<a HREF=\"gone.htm\">gone.htm</a>\t<br>\r\n"
         "<a HREF=\"sub\">sub</a>\t98/07/15 09:05<br>\r\n"
         "<a HREF=\"odd.htm\">odd.htm</a>\t7Bytes<br>\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(fileList(c.files, c.form, c.anchor), (Fragment{c.open, "\r\n"}));
    }
}

TEST(FileLinks, FileTableAlwaysLinks) {
    testing::FixedTimeZone zone("UTC0");
    const std::string head = "<center>\r\n<h3><u>/</u></h3>\r\n"
                             "<table BORDER=1 CELLPADDING=4 BGCOLOR=#ffffff>\r\n"
                             "<tr>\r\n"
                             "<th BGCOLOR=#00eecc ALIGN=\"center\">Name</th>\r\n"
                             "<th BGCOLOR=#00eecc ALIGN=\"center\">Update</th>\r\n"
                             "<th BGCOLOR=#00eecc ALIGN=\"center\">Bytes</th>\r\n"
                             "<th BGCOLOR=#00eecc ALIGN=\"center\">Comments</th>\r\n"
                             "</tr>\r\n";
    const Files files = {
        {"/a.htm", kJuly1998, 2147483648},
        {"/gone.htm", std::nullopt, std::nullopt},
    };
    EXPECT_EQ(fileTable(files, LinkForm::WithDirectory),
              (Fragment{head + "<tr>\r\n"
                               "<td><a HREF=\"/a.htm\">/a.htm</a></td>\r\n"
                               "<td>98/07/15 09:05</td>\r\n"
                               "<td ALIGN=\"right\">2147483648</td>\r\n"
                               "<td>ファイル</td>\r\n"
                               "</tr>\r\n"
                               "<tr>\r\n"
                               "<td><a HREF=\"/gone.htm\">/gone.htm</a></td>\r\n"
                               "<td></td>\r\n"
                               "<td ALIGN=\"right\"></td>\r\n"
                               "<td>ファイル</td>\r\n"
                               "</tr>\r\n"
                               "</table>\r\n",
                        "</center>\r\n"}));
    EXPECT_NE(
        fileTable(files, LinkForm::NameOnly).open.find("<td><a HREF=\"a.htm\">a.htm</a></td>"),
        std::string::npos);
}

TEST(FileLinks, ImageLink) {
    const std::vector<std::string> paths = {"/home/u/表/a b.gif", "/home/u/表/c.png"};
    struct Case {
        const char* name;
        LinkForm form;
        Anchor anchor;
        std::string open;
    };
    const Case cases[] = {
        {"plain names, no empty lines", LinkForm::NameOnly, Anchor::Plain,
         "<center><h3><u>/home/u/表</u></h3></center>\r\n"
         "<img SRC=\"a b.gif\">\r\n"
         "<img SRC=\"c.png\">\r\n"},
        {"linked full paths, an empty line after each", LinkForm::WithDirectory, Anchor::Linked,
         "<center><h3><u>/home/u/表</u></h3></center>\r\n"
         "<a HREF=\"/home/u/表/a b.gif\"><img SRC=\"/home/u/表/a b.gif\"></a>\r\n\r\n"
         "<a HREF=\"/home/u/表/c.png\"><img SRC=\"/home/u/表/c.png\"></a>\r\n\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(imageLink(paths, c.form, c.anchor), (Fragment{c.open, "\r\n"}));
    }
}

TEST(FileLinks, ReadFileFacts) {
    testing::ScratchFolder folder;
    const std::string small = (folder.path() / "small.htm").string();
    const std::string empty = (folder.path() / "empty.htm").string();
    const std::string sparse = (folder.path() / "sparse.bin").string();
    const std::string gone = (folder.path() / "gone.htm").string();
    testing::writeFile(small, "abc");
    testing::writeFile(empty, "");
    const timeval times[2] = {{kJuly1998, 0}, {kJuly1998, 0}};
    ASSERT_EQ(::utimes(small.c_str(), times), 0);

    const int fd = ::open(sparse.c_str(), O_WRONLY | O_CREAT, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, 3221225472), 0) << "no sparse files here";
    ::close(fd);

    EXPECT_EQ(readFileFacts(small), (FileFacts{small, kJuly1998, 3}));
    EXPECT_EQ(readFileFacts(empty).size, 0);
    EXPECT_EQ(readFileFacts(sparse).size, 3221225472);
    EXPECT_EQ(readFileFacts(gone), (FileFacts{gone, std::nullopt, std::nullopt}));
    const FileFacts directory = readFileFacts(folder.path().string());
    EXPECT_TRUE(directory.modified.has_value());
    EXPECT_EQ(directory.size, std::nullopt);
}

} // namespace
} // namespace zu
