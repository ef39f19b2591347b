#include "core/desktop/registration.h"

#include "core/desktop/desktop_entry.h"
#include "core/desktop/mime_lists.h"
#include "core/desktop/mimeapps.h"

namespace zu {
namespace {

// The icon an entry names: the theme's "zu" once installed; from a build
// folder, which has no theme icon, the picture beside the program.
std::string iconFor(const std::string& program, const DesktopFileSystem& fs) {
    const std::string beside = folderOf(program) + "zu.svg";
    return fs.exists(beside) ? beside : "zu";
}

// The record holds one line per default zu wrote: the type, "=", and the
// list it wrote it into.
struct Written {
    std::string type, list;
};

std::vector<Written> readRecord(std::string_view record) {
    std::vector<Written> written;
    while (!record.empty()) {
        const std::size_t end = record.find('\n');
        const std::string_view line = record.substr(0, end);
        record.remove_prefix(end == std::string_view::npos ? record.size() : end + 1);
        const std::size_t equals = line.find('=');
        if (equals != std::string_view::npos && equals > 0 && equals + 1 < line.size())
            written.push_back(
                {std::string(line.substr(0, equals)), std::string(line.substr(equals + 1))});
    }
    return written;
}

} // namespace

std::optional<DesktopPlaces> desktopPlaces(const Environment& env) {
    const auto data = baseFolder(env, "XDG_DATA_HOME", ".local/share/");
    const auto config = baseFolder(env, "XDG_CONFIG_HOME", ".config/");
    if (!data || !config)
        return std::nullopt;
    return DesktopPlaces{*data + "applications/" + std::string(kDesktopId),
                         *config + "mimeapps.list", *data + "zu/registered-defaults"};
}

RegistrationReport registerDesktop(const std::string& program, const DesktopFileSystem& fs) {
    RegistrationReport report;
    const auto places = desktopPlaces(fs.env);
    if (!places || program.empty() || program.front() != '/') {
        report.failed = true;
        return report;
    }
    const std::string folder = folderOf(places->entry);
    if (fs.exists(folder) && fs.othersMayWrite(folder)) {
        report.unsafeFolder = report.failed = true;
        return report;
    }

    // An entry others may write is rewritten, which takes that from them.
    const std::optional<std::string> current = fs.read(places->entry);
    if (!current || entryProgram(*current) != program || fs.othersMayWrite(places->entry)) {
        const auto entry = desktopEntry(program, iconFor(program, fs));
        if (!entry || !fs.write(places->entry, *entry)) {
            // Without an entry there is nothing a default could name.
            report.failed = true;
            return report;
        }
        report.entryWritten = true;
    }

    if (MimeAssociations(fs).listedDefault(kWebPageType))
        return report;
    // A list that is there but cannot be read is not replaced by one that
    // would hold only zu.
    std::string mimeapps;
    if (fs.exists(places->mimeapps)) {
        const auto bytes = fs.read(places->mimeapps);
        if (!bytes) {
            report.failed = true;
            return report;
        }
        mimeapps = *bytes;
    }
    // Recorded first: a record of a default that was then not written
    // takes back nothing, a default written without a record would stay.
    std::string record = fs.read(places->record).value_or("");
    const std::string line = std::string(kWebPageType) + "=" + places->mimeapps + "\n";
    if (places->mimeapps.find('\n') != std::string::npos ||
        (record.find(line) == std::string::npos && !fs.write(places->record, record + line)) ||
        !fs.write(places->mimeapps, withDefaultApplication(mimeapps, kWebPageType, kDesktopId)))
        report.failed = true;
    else
        report.defaultSet = true;
    return report;
}

RegistrationReport unregisterDesktop(const DesktopFileSystem& fs) {
    RegistrationReport report;
    const auto places = desktopPlaces(fs.env);
    if (!places) {
        report.failed = true;
        return report;
    }
    if (fs.exists(places->entry)) {
        if (fs.remove(places->entry))
            report.entryRemoved = true;
        else
            report.failed = true;
    }
    // Only a default zu wrote is zu's to take back: one the user chose
    // stays, even when it is zu.
    const auto record = fs.read(places->record);
    if (!record)
        return report;
    bool allTaken = true;
    for (const Written& written : readRecord(*record)) {
        const auto list = fs.read(written.list);
        if (!list)
            continue;
        const std::string without = withoutDefaultApplication(*list, written.type, kDesktopId);
        if (without == *list)
            continue;
        if (fs.write(written.list, without))
            report.defaultRemoved = true;
        else
            allTaken = false;
    }
    if (!allTaken || !fs.remove(places->record))
        report.failed = true;
    return report;
}

std::string registrationProblem(const RegistrationReport& report, const DesktopPlaces& places) {
    if (report.unsafeFolder)
        return "zu: " + folderOf(places.entry) +
               " はほかのﾕｰｻﾞｰが変更できるﾌｫﾙﾀﾞなので、ﾃﾞｽｸﾄｯﾌﾟに登録しませんでした。"
               "自分のﾌｫﾙﾀﾞにして書き込みを自分だけにすると (chmod go-w)、次の起動で登録します。";
    if (report.failed)
        return "zu: ﾃﾞｽｸﾄｯﾌﾟへの登録 (" + places.entry + ", " + places.mimeapps +
               ") を書き込めませんでした。";
    return {};
}

} // namespace zu
