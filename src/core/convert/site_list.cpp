#include "core/convert/site_list.h"

#include "core/doc/file_errors.h"
#include "core/doc/file_read.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace zu::convert {
namespace {

std::string realPathOf(const std::string& path) {
    char buffer[PATH_MAX];
    return ::realpath(path.c_str(), buffer) ? std::string(buffer) : std::string();
}

bool isUnder(const std::string& path, const std::string& folder) {
    return !path.empty() && !folder.empty() &&
           (path == folder ||
            (path.starts_with(folder) && (folder == "/" || path[folder.size()] == '/')));
}

std::string joined(const std::string& root, const std::string& relative) {
    return root.ends_with('/') ? root + relative : root + "/" + relative;
}

SitePage stopped(std::string relative, std::string why) {
    SitePage page{std::move(relative), {}};
    page.plan.stop = std::move(why);
    return page;
}

// What the walk finds: files to read, and entries settled without reading.
struct Walk {
    const std::string& root;
    const std::string realRoot;
    const std::vector<std::string>& extensions;
    std::vector<std::string> files;
    std::vector<SitePage> settled;

    void folder(const std::string& relative) {
        const std::string path = relative.empty() ? root : joined(root, relative);
        const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        DIR* dir = fd >= 0 ? ::fdopendir(fd) : nullptr;
        if (!dir) {
            if (fd >= 0)
                ::close(fd);
            settled.push_back(stopped(relative + "/", "ﾌｫﾙﾀﾞを読めません。"));
            return;
        }
        std::vector<std::string> folders;
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name == "." || name == "..")
                continue;
            const std::string child = relative.empty() ? name : relative + "/" + name;
            struct stat st {};
            if (::fstatat(::dirfd(dir), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
                continue;
            if (S_ISDIR(st.st_mode))
                folders.push_back(child);
            else if (S_ISLNK(st.st_mode))
                link(child);
            else if (hasExtension(name, extensions)) {
                if (S_ISREG(st.st_mode))
                    files.push_back(child);
                else
                    settled.push_back(stopped(child, "普通のﾌｧｲﾙではありません。"));
            }
        }
        ::closedir(dir);
        for (const std::string& f : folders)
            folder(f);
    }

    // A link is never followed: what it leads to inside the site is listed
    // where it is; what it leads to outside is not the site's to change.
    void link(const std::string& relative) {
        const std::string target = realPathOf(joined(root, relative));
        const bool outside = !isUnder(target, realRoot);
        struct stat st {};
        const bool isFolder =
            ::stat(joined(root, relative).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        if (isFolder) {
            if (outside)
                settled.push_back(
                    stopped(relative + "/", "ﾌｫﾙﾀﾞの外を指すｼﾝﾎﾞﾘｯｸ ﾘﾝｸなのでたどりません。"));
            return;
        }
        if (!hasExtension(relative, extensions))
            return;
        settled.push_back(
            stopped(relative, outside ? "ﾌｫﾙﾀﾞの外を指すｼﾝﾎﾞﾘｯｸ ﾘﾝｸなので変換しません。"
                                      : "ｼﾝﾎﾞﾘｯｸ ﾘﾝｸなので変換しません (ﾘﾝｸ先を変換します)。"));
    }
};

} // namespace

bool hasExtension(std::string_view name, const std::vector<std::string>& extensions) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return std::ranges::any_of(extensions, [&](const std::string& e) {
        return name.size() > e.size() &&
               std::ranges::equal(name.substr(name.size() - e.size()), e, {}, lower, lower);
    });
}

bool insideWithoutLinks(const std::string& root, const std::string& relative) {
    const std::string realRoot = realPathOf(root);
    std::string path = realRoot;
    for (std::size_t from = 0; from <= relative.size();) {
        std::size_t slash = relative.find('/', from);
        if (slash == std::string::npos)
            slash = relative.size();
        const std::string name = relative.substr(from, slash - from);
        if (name.empty() || name == "." || name == "..")
            return false;
        path += "/" + name;
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || S_ISLNK(st.st_mode))
            return false;
        from = slash + 1;
    }
    return !realRoot.empty();
}

bool forEachOnThreads(std::size_t count, const std::function<void(std::size_t)>& work,
                      const Progress& progress, unsigned threads) {
    std::atomic<std::size_t> next{0};
    std::atomic<bool> stop{false};
    std::size_t done = 0;
    std::mutex mutex;
    std::condition_variable finished;
    std::vector<std::thread> pool;
    threads = std::max(1u, std::min<unsigned>(threads, static_cast<unsigned>(count)));
    for (unsigned t = 0; t < threads; ++t)
        pool.emplace_back([&] {
            for (std::size_t k = next++; k < count && !stop; k = next++) {
                work(k);
                const std::lock_guard lock(mutex);
                ++done;
                finished.notify_one();
            }
        });
    std::unique_lock lock(mutex);
    while (done < count && !stop) {
        finished.wait_for(lock, std::chrono::milliseconds(50));
        if (progress) {
            const std::size_t now = done;
            lock.unlock();
            if (!progress(now, count))
                stop = true;
            lock.lock();
        }
    }
    lock.unlock();
    for (std::thread& t : pool)
        t.join();
    if (progress && !stop)
        progress(done, count);
    return !stop && done == count;
}

SitePage listFile(const std::string& path, const ConvertOptions& options) {
    const std::size_t slash = path.rfind('/');
    SitePage page{slash == std::string::npos ? path : path.substr(slash + 1), {}};
    FileBytes read = readWholeFile(path, kMaxDocumentBytes);
    if (read.error != 0) {
        page.plan.stop = fileErrorMessage(read.error, FileOp::Open, path);
        return page;
    }
    page.plan = convertPage(read.bytes, page.relative, options).plan;
    return page;
}

SiteList listSite(const std::string& root, const std::vector<std::string>& extensions,
                  const ConvertOptions& options, const Progress& progress) {
    SiteList list;
    if (kindOf(root) != PathKind::Folder) {
        list.error = "ﾌｫﾙﾀﾞ " + root + " が見つかりません。";
        return list;
    }
    Walk walk{root, realPathOf(root), extensions, {}, {}};
    walk.folder({});
    std::vector<SitePage> read(walk.files.size());
    const auto plan = [&](std::size_t k) {
        read[k] = listFile(joined(root, walk.files[k]), options);
        read[k].relative = walk.files[k];
    };
    list.cancelled = !forEachOnThreads(walk.files.size(), plan, progress,
                                       std::max(2u, std::thread::hardware_concurrency()));
    if (list.cancelled)
        return list;
    list.pages = std::move(walk.settled);
    std::ranges::move(read, std::back_inserter(list.pages));
    std::ranges::sort(list.pages, {}, &SitePage::relative);
    return list;
}

} // namespace zu::convert
