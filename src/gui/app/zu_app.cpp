#include "gui/app/zu_app.h"

#include "core/app/command_line.h"
#include "core/app/commands.h"
#include "core/check/check_run.h"
#include "core/convert/convert_run.h"
#include "core/desktop/registration.h"
#include "core/doc/doc_messages.h"
#include "core/doc/file_read.h"
#include "core/doc/recovery.h"
#include "core/doc/recovery_store.h"
#include "core/settings/config_location.h"
#include "core/settings/settings.h"
#include "gui/app/about_dlg.h"
#include "gui/app/child_frame.h"
#include "gui/app/instance_channel.h"
#include "gui/app/load_frame.h"
#include "gui/app/main_frame.h"
#include "gui/commands/command_registry.h"
#include "gui/doc/doc_commands.h"
#include "gui/doc/document_marks.h"
#include "gui/doc/recovery_keeper.h"
#include "gui/doc/text_load.h"
#include "gui/doc/unfinished_writes.h"
#include "gui/doc/zu_doc.h"
#include "gui/view/view_print.h"
#include "gui/view/zu_view.h"
#include "gui/widgets/composition_guard.h"
#include "gui/widgets/file_names.h"
#include "gui/widgets/ui.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMdiArea>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSettings>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <malloc.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace zu {
namespace {

CZuApp*& current() {
    static CZuApp* app = nullptr;
    return app;
}

std::string configFolder() {
    const std::string dir = configDirectory(settings().programDirectory.folder());
    ensureDirectory(dir);
    return dir;
}

std::string profilePath() {
    return configFolder() + "zu.conf";
}

bool samePath(const FilePath& a, const FilePath& b) {
    return sameFile(a.bytes(), b.bytes());
}

} // namespace

void CZuApp::registerCommands(HandlerTable<CZuApp>& table) {
    table.add(cmd::FileNew, [](CZuApp& app) { app.newDocument(); });
    table.add(cmd::FileOpen, [](CZuApp& app) { app.openWithDialog(); });
    table.add(cmd::FilePrintSetup, [](CZuApp&) { printSetup(); });
    table.add(cmd::AppAbout, [](CZuApp& app) {
        CAboutDlg about(app.frame_);
        ui::exec(about);
    });
    for (int i = 0; i < cmd::RecentFileCount; ++i)
        table.add(cmd::FileMru1 + i, [i](CZuApp& app) { app.openRecent(i); });
    table.add(cmd::AppExit, [](CZuApp& app) {
        if (app.frame_)
            app.frame_->close();
    });
    table.add(cmd::ColourWhileTyping,
              [](CZuApp& app) { app.setColourWhileTyping(!app.coloursWhileTyping()); });
    table.add(cmd::LineNumbers,
              [](CZuApp& app) { app.setShowLineNumbers(!app.showsLineNumbers()); });
}

void CZuApp::setColourWhileTyping(bool on) {
    colourWhileTyping_ = on;
    // Turned off, the colours stay as a run of tag colouring leaves them.
    for (const auto& d : documents_) {
        d->text().marks().setColourWhileTyping(on);
        for (CZuView* v : d->views())
            v->viewport()->update();
    }
    saveProfile();
}

void CZuApp::setShowLineNumbers(bool on) {
    lineNumbers_ = on;
    for (const auto& d : documents_)
        for (CZuView* v : d->views())
            v->setLineNumbersShown(on);
    saveProfile();
}

CZuApp::CZuApp() : recent_(cmd::RecentFileCount) {
    current() = this;
    // A large file's text grows in the editing control by doubling its
    // buffers. Left in the heap, each doubling copies the whole text into
    // new memory and keeps both until the copy ends; in mappings of their
    // own the buffers grow in place, and go back to the system once freed,
    // which lowers the peak of opening one. The allocator would otherwise
    // raise this bound by itself after the first large block is freed.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
    // For the editing views and every field of the dialogs alike.
    new CompositionGuard(this);
}

CZuApp::~CZuApp() {
    setWriteJournal(nullptr);
    delete frame_.data();
    // Documents whose last window has closed are deleted once control
    // returns to the event loop; at the end of the run that is now.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    documents_.clear();
    if (current() == this)
        current() = nullptr;
}

CZuApp* CZuApp::instance() {
    return current();
}

CMainFrame* CZuApp::mainFrame() const {
    return frame_;
}

std::optional<int> CZuApp::answerOnTerminal(const std::vector<std::string>& args) {
    const CommandLine line = parseCommandLine(args);
    if (!line.usageError.empty()) {
        std::fprintf(stderr, "zu: %s\n\n%s", line.usageError.c_str(), usageText().c_str());
        return 2;
    }
    if (line.action == CommandLine::Action::Check) {
        if (!line.error.empty()) {
            std::fprintf(stderr, "%s\n", line.error.c_str());
            return check::kCannotCheck;
        }
        return check::runCheck(line.files, std::cout, std::cerr);
    }
    if (line.action == CommandLine::Action::Convert ||
        line.action == CommandLine::Action::ConvertUndo) {
        if (!line.error.empty()) {
            std::fprintf(stderr, "%s\n", line.error.c_str());
            return convert::kCannotConvert;
        }
        if (line.action == CommandLine::Action::ConvertUndo)
            return convert::runUndo(line.files[0], std::cout, std::cerr);
        convert::ConvertRequest request{line.files, line.apply, {}};
        request.options.byteOrderMark = line.byteOrderMark;
        request.options.six = line.jisForms ? convert::SixForms::Jis : convert::SixForms::Web;
        return convert::runConvert(request, std::cout, std::cerr);
    }
    if (line.action == CommandLine::Action::Help)
        std::fputs(usageText().c_str(), stdout);
    else if (line.action == CommandLine::Action::Version)
        std::fputs(versionText(ZU_VERSION).c_str(), stdout);
    else
        return std::nullopt;
    return std::fflush(stdout) == 0 ? 0 : 1;
}

std::optional<int> CZuApp::start(const std::vector<std::string>& args) {
    if (const std::optional<int> answered = answerOnTerminal(args))
        return answered;
    const CommandLine line = parseCommandLine(args);
    if (!line.error.empty()) {
        ui::message(nullptr, QString::fromStdString(line.error));
        return 1;
    }
    const DesktopFileSystem desktop = realDesktopFileSystem();
    const auto places = desktopPlaces(desktop.env);
    if (line.action == CommandLine::Action::Unregister) {
        const RegistrationReport report = unregisterDesktop(desktop);
        if (!report.failed)
            return 0;
        if (places)
            std::fprintf(stderr, "%s\n", registrationProblem(report, *places).c_str());
        return 1;
    }

    // A zu already running takes the files to open and comes to the front;
    // this one then has nothing left to do.
    if (line.opensWindow()) {
        std::vector<FilePath> files;
        for (const std::string& f : line.files)
            files.emplace_back(absolutePath(f));
        channel_ = new InstanceChannel(this);
        if (channel_->begin(files, line.handsOver()) == InstanceChannel::Outcome::HandedOver)
            return 0;
        connect(channel_, &InstanceChannel::filesReceived, this, &CZuApp::openHandedOver);
        // Files are taken when they can be opened at once: with a window,
        // and no modal dialog that a new window would slip under.
        channel_->setReady([this] { return frame_ && !QApplication::activeModalWidget(); });
    }

    // At every start, so that the desktop opens pages in the zu that ran
    // last. The editor works without the desktop: what failed is only said on the
    // terminal, never in a message box at every start.
    const RegistrationReport registered = registerDesktop(
        QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString(), desktop);
    if (places && registered.failed)
        std::fprintf(stderr, "%s\n", registrationProblem(registered, *places).c_str());

    // The profile: recent files and the preview's page count, kept in the
    // same folder as zu.set.
    // QSettings would wait for ever on a FIFO named zu.conf: anything there
    // but a file means a run without a profile (no recent files kept).
    const std::string profile = profilePath();
    if (const PathKind kind = kindOf(profile);
        kind == PathKind::Missing || kind == PathKind::RegularFile) {
        if (const std::optional<FileStamp> stamp = stampOf(profile);
            stamp && static_cast<std::uint64_t>(stamp->size) > kMaxProfileBytes) {
            ui::message(nullptr, ui::qs(profileTooLargeMessage(profile)));
        } else {
            makeProfilePrivate(profile);
            profile_ =
                std::make_unique<QSettings>(QString::fromStdString(profile), QSettings::IniFormat);
        }
    }
    // Copies hold the user's unsaved text: no other user may read them,
    // whatever the umask.
    recoveryFolder_ = recoveryDirectory(configFolder());
    ensurePrivateFolder(recoveryFolder_);
    journal_ = std::make_unique<WriteJournal>(configFolder() + "saving/");
    setWriteJournal(journal_.get());
    // The list holds the bytes of each path; the profile keeps them as the
    // text file_names.h makes of them, which gives the same bytes back.
    std::vector<FilePath> recent;
    for (int i = 1; profile_ && i <= cmd::RecentFileCount; ++i) {
        const QString path =
            profile_->value(QStringLiteral("Recent File List/File%1").arg(i)).toString();
        if (!path.isEmpty())
            recent.push_back(pathFromQt(path));
    }
    recent_.assign(recent);
    if (profile_) {
        setPreviewPages(profile_->value(QStringLiteral("Settings/PreviewPages"), 1).toInt());
        colourWhileTyping_ =
            profile_->value(QStringLiteral("Settings/ColourTagsWhileTyping"), false).toBool();
        lineNumbers_ = profile_->value(QStringLiteral("Settings/LineNumbers"), false).toBool();
    }

    if (line.action == CommandLine::Action::Print || line.action == CommandLine::Action::PrintTo)
        return printFromCommandLine(FilePath(line.files.front()), pathToQt(FilePath(line.printer)));

    // The main frame loads the settings as it is constructed.
    frame_ = new CMainFrame(*this);
    frame_->setAttribute(Qt::WA_DeleteOnClose);
    connect(frame_, &QObject::destroyed, this, [this] {
        // From here on there is no window to open handed files in: a
        // second zu must start one of its own.
        delete channel_;
        channel_ = nullptr;
        saveProfile();
    });
    // Coming back from another program is when a file it changed is found.
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState s) {
        if (s == Qt::ApplicationActive)
            checkDiskChanges();
    });

    if (line.action == CommandLine::Action::New) {
        newDocument();
    } else {
        int opened = 0;
        for (const std::string& file : line.files) {
            const FilePath path(file);
            opened += openFile(path) != nullptr || loadingWindow(path) != nullptr;
        }
        if (opened == 0) {
            delete frame_.data();
            return 1;
        }
    }
    frame_->show();
    offerUnfinishedWrites(frame_, *journal_);
    offerRecovery();
    return std::nullopt;
}

void CZuApp::offerRecovery() {
    // A copy whose process no longer runs is left over from a run that
    // ended without saving. (A process id the system has given to another
    // program since makes a copy look kept: it is offered at a later start.)
    // The same copy in both places: the second place has the later text.
    struct Found {
        std::string folder;
        std::string shadow; // the older one in the recovery folder
    };
    std::map<std::string, Found> copies;
    const std::string second = secondRecoveryFolder();
    for (const std::string& folder : {recoveryFolder_, second}) {
        if (kindOf(folder) != PathKind::Folder ||
            (folder == second && ensurePrivateFolder(folder) != 0))
            continue;
        removeRecoveryLeftovers(folder, thisHostId());
        for (const std::string& name : namesIn(folder)) {
            const std::optional<long> owner = recoveryOwner(name);
            if (!owner)
                continue;
            // Earlier versions made copies that every user could read.
            ::chmod((folder + name).c_str(), 0600);
            if (processRuns(*owner))
                continue;
            Found& found = copies[name];
            if (!found.folder.empty())
                found.shadow = found.folder + name;
            found.folder = folder;
        }
    }
    std::vector<std::string> damaged;
    for (const auto& [name, found] : copies) {
        const std::string file = found.folder + name;
        FileBytes bytes = readWholeFile(file, CZuDoc::kMaxFileBytes * 4);
        RecoveryRead read = bytes.error == 0 ? readRecovery(bytes.bytes) : RecoveryRead{};
        bytes.bytes = std::string();
        if (!read.record) {
            // Nothing that can be given back whole; kept for the user to
            // look at, never offered again.
            damaged.push_back(putRecoveryAside(found.folder, name) == 0
                                  ? found.folder + damagedRecoveryName(name)
                                  : file);
            continue;
        }
        RecoveryRecord record = std::move(*read.record);
        read.record.reset();
        SourceCheck check;
        std::optional<FileStamp> known;
        if (record.source && !record.path.empty()) {
            check = checkSource(*record.source, record.path);
            known = check.state == SourceState::Same ? check.stamp : record.source->stamp;
        }
        const QString question = QString::fromStdString(recoveryQuestion(record, check.state));
        const bool yes = ui::message(frame_, question, ui::Buttons::YesNo, ui::Icon::Question) ==
                         ui::Answer::Yes;
        if (!found.shadow.empty())
            ::unlink(found.shadow.c_str());
        if (!yes) {
            ::unlink(file.c_str());
            continue;
        }
        CZuDoc* doc =
            adopt(CZuDoc::restore(record, known), RecoveryKeeper::Adopted{file, std::move(read)});
        createFrame(doc);
    }
    if (!damaged.empty())
        ui::message(frame_, QString::fromStdString(recoveryDamagedNotice(damaged)));
}

void CZuApp::recoveryFailed(const FilePath& folder, int error) {
    if (recoveryFailureShown_)
        return;
    recoveryFailureShown_ = true;
    if (frame_)
        frame_->showNotice(
            QString::fromStdString(recoveryWriteFailureStatus(displayPath(folder).toStdString())));
    ui::message(frame_, QString::fromStdString(
                            recoveryWriteFailure(displayPath(folder).toStdString(), error)));
}

bool CZuApp::keepCopy(CZuDoc& doc) {
    auto* keeper = doc.findChild<RecoveryKeeper*>();
    if (!keeper || !doc.text().isModified() || keeper->writeNow())
        return true;
    const std::string second = secondRecoveryFolder();
    if (const int error = keeper->writeTo(second); error != 0) {
        // No window is left to say it in: the terminal, and the exit status.
        std::fprintf(stderr, "zu: %s\n", recoveryWriteFailure(second, error).c_str());
        return false;
    }
    return true;
}

void CZuApp::keepEverythingAndQuit() {
    // Every unsaved change goes into its recovery copy, which the next start
    // offers back. Kept there, nothing is left to ask about, and every event
    // loop (a dialog's too) is told to end: the program then ends the way it
    // always does, saving its settings, without a window closing under a
    // dialog that is still up.
    if (channel_)
        channel_->stopServing();
    bool kept = true;
    for (const auto& d : documents_)
        kept = keepCopy(*d) && kept;
    RecoveryKeeper::keepCopies();
    for (const auto& d : documents_)
        d->text().setModified(false);
    QCoreApplication::exit(kept ? 0 : 1);
}

bool CZuApp::commitData(bool mayAsk) {
    // Logging out: the same question as closing the window, when the session
    // lets zu ask; when it does not, the recovery copies keep every change.
    if (mayAsk)
        return maybeSaveAll();
    for (const auto& d : documents_)
        keepCopy(*d);
    return true;
}

int CZuApp::printFromCommandLine(const FilePath& path, const QString& printerName) {
    CZuDoc::OpenResult opened = CZuDoc::open(path);
    if (!opened.document) {
        ui::message(nullptr, opened.error);
        return 1;
    }
    QPrinter& printer = sharedPrinter();
    if (printerName.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) {
        // A file name ending in .pdf stands for printing to that file.
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printerName);
    } else if (!printerName.isEmpty()) {
        if (QPrinterInfo::printerInfo(printerName).isNull()) {
            ui::message(nullptr, QStringLiteral("ﾌﾟﾘﾝﾀ %1 が見つかりません。").arg(printerName));
            return 1;
        }
        printer.setPrinterName(printerName);
    } else if (QPrinterInfo::defaultPrinter().isNull()) {
        ui::message(nullptr, QStringLiteral("通常使うﾌﾟﾘﾝﾀが設定されていません。"));
        return 1;
    }
    printer.setDocName(opened.document->title());
    if (!printDocument(opened.document->text().sourceText(), CZuView::editorFont(), printer)) {
        ui::message(nullptr, QStringLiteral("印刷を開始できませんでした。"));
        return 1;
    }
    return 0;
}

std::vector<CZuDoc*> CZuApp::documents() const {
    std::vector<CZuDoc*> out;
    for (const auto& d : documents_)
        out.push_back(d.get());
    return out;
}

CZuDoc* CZuApp::adopt(std::unique_ptr<CZuDoc> doc,
                      std::optional<RecoveryKeeper::Adopted> recoveryFile) {
    CZuDoc* raw = doc.get();
    documents_.push_back(std::move(doc));
    if (colourWhileTyping_)
        raw->text().marks().setColourWhileTyping(true);
    auto* keeper = new RecoveryKeeper(*raw, recoveryFolder_, std::move(recoveryFile));
    connect(keeper, &RecoveryKeeper::failed, this, &CZuApp::recoveryFailed);
    connect(keeper, &RecoveryKeeper::written, this, [this] { recoveryFailureShown_ = false; });
    connect(raw, &CZuDoc::fileUsed, this, &CZuApp::noteRecent);
    connect(raw, &QObject::destroyed, this, &CZuApp::giveMemoryBack);
    connect(raw, &CZuDoc::closeRequested, this, [this, raw] {
        // Copy: closing a window removes its view from the list.
        const std::vector<CZuView*> views = raw->views();
        for (CZuView* v : views)
            if (auto* frame = qobject_cast<CChildFrame*>(v->parentWidget()))
                frame->closeWithoutPrompt();
    });
    return raw;
}

void CZuApp::giveMemoryBack() {
    // The allocator keeps what a closed document freed for later use, and
    // a long session of large documents would hold on to gigabytes it no
    // longer needs. Once the windows that close together are gone, it is
    // handed back to the system.
    if (trimPending_)
        return;
    trimPending_ = true;
    QTimer::singleShot(0, this, [this] {
        trimPending_ = false;
#ifdef __GLIBC__
        ::malloc_trim(0);
#endif
    });
}

void CZuApp::forget(CZuDoc* doc) {
    auto it = std::find_if(documents_.begin(), documents_.end(),
                           [doc](const auto& d) { return d.get() == doc; });
    if (it == documents_.end())
        return;
    it->release();
    documents_.erase(it);
    doc->deleteLater();
}

CChildFrame* CZuApp::createFrame(CZuDoc* doc, CZuView* made) {
    auto* view = made ? made : new CZuView(doc);
    view->setLineNumbersShown(lineNumbers_);
    connect(view, &QObject::destroyed, this, [this, doc] {
        if (doc->views().empty())
            forget(doc);
    });
    CChildFrame* frame = frame_->addView(view);
    // A view that waited beneath a bar was hidden when taken from there.
    view->show();
    for (CZuView* v : doc->views())
        if (auto* f = qobject_cast<CChildFrame*>(v->parentWidget()))
            f->updateTitle();
    return frame;
}

CZuDoc* CZuApp::newDocument() {
    CZuDoc* doc = adopt(std::make_unique<CZuDoc>(QStringLiteral("Zu%1").arg(++untitled_)));
    createFrame(doc);
    return doc;
}

CZuDoc* CZuApp::openFile(const FilePath& path) {
    for (const auto& d : documents_) {
        if (!d->pathName().empty() && samePath(d->pathName(), path)) {
            if (!d->views().empty())
                if (auto* frame = qobject_cast<CChildFrame*>(d->views().front()->parentWidget()))
                    frame_->mdiArea()->setActiveSubWindow(frame);
            return d.get();
        }
    }
    if (CLoadFrame* loading = loadingWindow(path)) {
        frame_->mdiArea()->setActiveSubWindow(loading);
        return nullptr;
    }
    // A large file is read in the background, its window showing how far
    // it is: the other windows go on answering meanwhile.
    if (frame_) {
        const std::optional<FileStamp> stamp = stampOf(absolutePath(path.bytes()));
        if (stamp && stamp->size >= backgroundOpenBytes()) {
            openInBackground(path);
            return nullptr;
        }
    }
    // A file takes a moment to read and lay out: the wait cursor says so
    // until its window is up.
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    CZuDoc::OpenResult opened = CZuDoc::open(path);
    if (!opened.document) {
        QGuiApplication::restoreOverrideCursor();
        ui::message(frame_, opened.error);
        return nullptr;
    }
    CZuDoc* doc = adopt(std::move(opened.document));
    createFrame(doc);
    QGuiApplication::restoreOverrideCursor();
    if (!opened.notice.isEmpty())
        frame_->showNotice(opened.notice);
    noteRecent(doc->pathName());
    return doc;
}

std::int64_t& CZuApp::backgroundOpenBytes() {
    return TextLoad::backgroundBytes();
}

CLoadFrame* CZuApp::loadingWindow(const FilePath& path) const {
    if (!frame_)
        return nullptr;
    for (QMdiSubWindow* w : frame_->mdiArea()->subWindowList())
        if (auto* loading = qobject_cast<CLoadFrame*>(w))
            if (loading->load()->running() && samePath(loading->load()->pathName(), path))
                return loading;
    return nullptr;
}

void CZuApp::openInBackground(const FilePath& path) {
    auto* loading = new CLoadFrame(new TextLoad(path));
    QMdiArea* area = frame_->mdiArea();
    area->addSubWindow(loading);
    loading->showMaximized();
    area->setActiveSubWindow(loading);
    loading->setFocus();
    connect(loading->load(), &TextLoad::filling, this, [this, loading](CZuDoc* doc) {
        auto* view = new CZuView(doc);
        view->setLineNumbersShown(lineNumbers_);
        loading->holdView(view);
    });
    connect(loading->load(), &TextLoad::ended, this, [this, loading] {
        CZuDoc::OpenResult opened = loading->load()->takeResult();
        QMdiArea* area = frame_->mdiArea();
        const bool inFront = area->currentSubWindow() == loading;
        QMdiSubWindow* current = area->currentSubWindow();
        QWidget* focus = QApplication::focusWidget();
        if (!opened.document) {
            loading->close();
            ui::message(frame_, opened.error);
            return;
        }
        CZuDoc* doc = adopt(std::move(opened.document));
        createFrame(doc, loading->takeView());
        loading->close();
        // Someone typing in another window meanwhile goes on typing there.
        if (!inFront && current) {
            area->setActiveSubWindow(current);
            if (focus)
                focus->setFocus();
        }
        if (!opened.notice.isEmpty())
            frame_->showNotice(opened.notice);
        noteRecent(doc->pathName());
        emit documentOpened(doc);
    });
}

CChildFrame* CZuApp::openNewWindow(CZuDoc* doc) {
    return createFrame(doc);
}

bool CZuApp::maybeSaveAll() {
    // Closing begins: a file handed over now could be left unopened when
    // the window goes, so a second zu must open it itself. Taken again if
    // the user cancels.
    if (channel_)
        channel_->stopServing();
    for (const auto& d : documents_)
        if (!maybeSave(*d)) {
            if (channel_)
                channel_->resumeServing();
            return false;
        }
    return true;
}

void CZuApp::closeAllDocuments() {
    const std::vector<CZuDoc*> docs = documents();
    for (CZuDoc* d : docs)
        emit d->closeRequested();
}

void CZuApp::checkDiskChanges() {
    // After the activation is over: the question is a window of its own,
    // and closing it activates the document window again.
    QTimer::singleShot(0, this, [this] {
        if (checkingDisk_ || !frame_)
            return;
        CZuView* view = frame_->activeView();
        if (!view)
            return;
        CZuDoc* doc = view->doc();
        if (doc->text().work())
            return;
        // A modified document keeps its edits; the user only learns that
        // the file is no longer what they started from.
        if (const DiskChange change = doc->noteDiskChange(); change != DiskChange::None) {
            checkingDisk_ = true;
            ui::message(frame_,
                        ui::qs(changedOnDiskNote(displayPath(doc->pathName()).toStdString(),
                                                 change == DiskChange::Deleted)),
                        ui::Buttons::Ok, ui::Icon::Information);
            checkingDisk_ = false;
            return;
        }
        if (!doc->offerReload())
            return;
        checkingDisk_ = true;
        const QString question = QString::fromStdString(
            changedOnDiskReloadQuestion(displayPath(doc->pathName()).toStdString()));
        if (ui::message(frame_, question, ui::Buttons::YesNo, ui::Icon::Question) ==
            ui::Answer::Yes) {
            reloadDocument(*doc, nullptr, frame_);
        }
        checkingDisk_ = false;
    });
}

void CZuApp::noteRecent(const FilePath& path) {
    recent_.add(path);
    saveProfile();
    if (frame_)
        frame_->refreshRecentFiles();
}

void CZuApp::saveProfile() {
    if (!profile_)
        return;
    profile_->remove(QStringLiteral("Recent File List"));
    const auto& paths = recent_.paths();
    for (std::size_t i = 0; i < paths.size(); ++i)
        profile_->setValue(QStringLiteral("Recent File List/File%1").arg(i + 1),
                           pathToQt(paths[i]));
    profile_->setValue(QStringLiteral("Settings/PreviewPages"), previewPages());
    profile_->setValue(QStringLiteral("Settings/ColourTagsWhileTyping"), colourWhileTyping_);
    profile_->setValue(QStringLiteral("Settings/LineNumbers"), lineNumbers_);
    profile_->sync();
    // The writer keeps the permissions it found; a file someone loosened
    // since is made private again.
    makeProfilePrivate(profilePath());
}

void CZuApp::openWithDialog() {
    QFileDialog dialog(frame_, QStringLiteral("開く"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({QStringLiteral("htm(*.htm)"), QStringLiteral("html(*.html)"),
                           QStringLiteral("ﾃｷｽﾄ(*.txt)")});
    if (ui::exec(dialog) != QDialog::Accepted)
        return;
    for (const QString& path : dialog.selectedFiles())
        openFile(recoverLossyName(path));
}

void CZuApp::openHandedOver(const std::vector<FilePath>& files) {
    if (!frame_)
        return;
    for (const FilePath& f : files)
        openFile(f);
    frame_->setWindowState((frame_->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    frame_->show();
    frame_->raise();
    frame_->activateWindow();
}

void CZuApp::openRecent(int i) {
    const std::size_t index = static_cast<std::size_t>(i);
    if (index >= recent_.paths().size())
        return;
    const FilePath path = recent_.paths()[index];
    if (!openFile(path) && !loadingWindow(path)) {
        // A file that is gone stays gone: it leaves the list.
        recent_.remove(path);
        saveProfile();
        frame_->refreshRecentFiles();
    }
}

} // namespace zu
