#include "gui/app/zu_app.h"

#include "core/app/command_line.h"
#include "core/app/commands.h"
#include "core/desktop/registration.h"
#include "core/doc/doc_messages.h"
#include "core/doc/file_read.h"
#include "core/doc/recovery.h"
#include "core/settings/config_location.h"
#include "core/settings/settings.h"
#include "gui/app/about_dlg.h"
#include "gui/app/child_frame.h"
#include "gui/app/instance_channel.h"
#include "gui/app/main_frame.h"
#include "gui/commands/command_registry.h"
#include "gui/doc/doc_commands.h"
#include "gui/doc/document_marks.h"
#include "gui/doc/recovery_keeper.h"
#include "gui/doc/zu_doc.h"
#include "gui/view/view_print.h"
#include "gui/view/zu_view.h"
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
#include <unistd.h>

namespace zu {
namespace {

CZuApp*& current() {
    static CZuApp* app = nullptr;
    return app;
}

std::string configFolder() {
    const Settings& s = settings();
    const std::string dir =
        configDirectory(s.programDirectory.drive + s.programDirectory.directory);
    ensureDirectory(dir);
    return dir;
}

std::string profilePath() {
    return configFolder() + "zu.conf";
}

// Whether the process that keeps a recovery copy still runs (and so still
// keeps it). A process id the system has given to another program since
// makes a copy look kept: it is then offered at a later start.
bool processRuns(long pid) {
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

bool samePath(const QString& a, const QString& b) {
    return sameFile(pathToBytes(a), pathToBytes(b));
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
        d->marks().setColourWhileTyping(on);
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
}

CZuApp::~CZuApp() {
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
    if (line.action == CommandLine::Action::Help)
        std::fputs(usageText().c_str(), stdout);
    else if (line.action == CommandLine::Action::Version)
        std::fputs(versionText(ZU_VERSION).c_str(), stdout);
    else
        return std::nullopt;
    return std::fflush(stdout) == 0 ? 0 : 1;
}

std::optional<int> CZuApp::start(const QStringList& args) {
    std::vector<std::string> plain;
    for (const QString& a : args)
        plain.push_back(a.toStdString());
    if (const std::optional<int> answered = answerOnTerminal(plain))
        return answered;
    const CommandLine line = parseCommandLine(plain);
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
        QStringList files;
        for (const std::string& f : line.files)
            files << QFileInfo(QString::fromStdString(f)).absoluteFilePath();
        channel_ = new InstanceChannel(this);
        if (channel_->begin(files, line.handsOver()) == InstanceChannel::Outcome::HandedOver)
            return 0;
        connect(channel_, &InstanceChannel::filesReceived, this, &CZuApp::openHandedOver);
    }

    // At every start, as the classic program registered with the shell. The
    // editor works without the desktop: what failed is only said on the
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
        kind == PathKind::Missing || kind == PathKind::RegularFile)
        profile_ =
            std::make_unique<QSettings>(QString::fromStdString(profile), QSettings::IniFormat);
    // The list holds the bytes of each path; the profile keeps them as the
    // text file_names.h makes of them, which gives the same bytes back.
    recoveryFolder_ = recoveryDirectory(configFolder());
    ensureDirectory(recoveryFolder_);
    std::vector<std::string> recent;
    for (int i = 1; profile_ && i <= cmd::RecentFileCount; ++i) {
        const QString path =
            profile_->value(QStringLiteral("Recent File List/File%1").arg(i)).toString();
        if (!path.isEmpty())
            recent.push_back(pathToBytes(path));
    }
    recent_.assign(recent);
    if (profile_) {
        setPreviewPages(profile_->value(QStringLiteral("Settings/PreviewPages"), 1).toInt());
        colourWhileTyping_ =
            profile_->value(QStringLiteral("Settings/ColourTagsWhileTyping"), false).toBool();
        lineNumbers_ = profile_->value(QStringLiteral("Settings/LineNumbers"), false).toBool();
    }

    if (line.action == CommandLine::Action::Print || line.action == CommandLine::Action::PrintTo)
        return printFromCommandLine(QString::fromStdString(line.files.front()),
                                    QString::fromStdString(line.printer));

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
        for (const std::string& file : line.files)
            opened += openFile(QString::fromStdString(file)) != nullptr;
        if (opened == 0) {
            delete frame_.data();
            return 1;
        }
    }
    frame_->show();
    offerRecovery();
    return std::nullopt;
}

void CZuApp::offerRecovery() {
    QDir folder(QString::fromStdString(recoveryFolder_));
    const QStringList names =
        folder.entryList({QStringLiteral("*.zurecover")}, QDir::Files, QDir::Name);
    for (const QString& name : names) {
        const std::optional<long> owner = recoveryOwner(name.toStdString());
        if (!owner || processRuns(*owner))
            continue;
        const std::string file = recoveryFolder_ + name.toStdString();
        const FileBytes bytes = readWholeFile(file, CZuDoc::kMaxFileBytes * 4);
        const std::optional<RecoveryRecord> record =
            bytes.error == 0 ? parseRecovery(bytes.bytes) : std::nullopt;
        // A copy cut short by a crash while it was written holds nothing
        // that can be given back whole; the previous copy was replaced only
        // by a whole one, so there is none.
        if (!record) {
            ::unlink(file.c_str());
            continue;
        }
        const QString question = QString::fromStdString(recoveryQuestion(*record));
        if (ui::message(frame_, question, ui::Buttons::YesNo, ui::Icon::Question) !=
            ui::Answer::Yes) {
            ::unlink(file.c_str());
            continue;
        }
        CZuDoc* doc = adopt(CZuDoc::restore(*record), file);
        createFrame(doc);
    }
}

void CZuApp::keepEverythingAndQuit() {
    // Every unsaved change goes into its recovery copy, which the next start
    // offers back. Kept there, nothing is left to ask about, and every event
    // loop (a dialog's too) is told to end: the program then ends the way it
    // always does, saving its settings, without a window closing under a
    // dialog that is still up.
    for (const auto& d : documents_)
        if (auto* keeper = d->findChild<RecoveryKeeper*>())
            keeper->writeNow();
    RecoveryKeeper::keepCopies();
    for (const auto& d : documents_)
        d->setModified(false);
    QCoreApplication::exit(0);
}

bool CZuApp::commitData(bool mayAsk) {
    // Logging out: the same question as closing the window, when the session
    // lets zu ask; when it does not, the recovery copies keep every change.
    if (mayAsk)
        return maybeSaveAll();
    for (const auto& d : documents_)
        if (auto* keeper = d->findChild<RecoveryKeeper*>())
            keeper->writeNow();
    return true;
}

int CZuApp::printFromCommandLine(const QString& path, const QString& printerName) {
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
    if (!printDocument(opened.document->sourceText(), CZuView::editorFont(), printer)) {
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

CZuDoc* CZuApp::adopt(std::unique_ptr<CZuDoc> doc, const std::string& recoveryFile) {
    CZuDoc* raw = doc.get();
    documents_.push_back(std::move(doc));
    if (colourWhileTyping_)
        raw->marks().setColourWhileTyping(true);
    new RecoveryKeeper(*raw, recoveryFolder_, recoveryFile);
    connect(raw, &CZuDoc::fileUsed, this, &CZuApp::noteRecent);
    connect(raw, &CZuDoc::closeRequested, this, [this, raw] {
        // Copy: closing a window removes its view from the list.
        const std::vector<CZuView*> views = raw->views();
        for (CZuView* v : views)
            if (auto* frame = qobject_cast<CChildFrame*>(v->parentWidget()))
                frame->closeWithoutPrompt();
    });
    return raw;
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

CChildFrame* CZuApp::createFrame(CZuDoc* doc) {
    auto* view = new CZuView(doc);
    view->setLineNumbersShown(lineNumbers_);
    connect(view, &QObject::destroyed, this, [this, doc] {
        if (doc->views().empty())
            forget(doc);
    });
    CChildFrame* frame = frame_->addView(view);
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

CZuDoc* CZuApp::openFile(const QString& path) {
    for (const auto& d : documents_) {
        if (!d->pathName().isEmpty() && samePath(d->pathName(), path)) {
            if (!d->views().empty())
                if (auto* frame = qobject_cast<CChildFrame*>(d->views().front()->parentWidget()))
                    frame_->mdiArea()->setActiveSubWindow(frame);
            return d.get();
        }
    }
    // A large file takes a moment to read and lay out: the wait cursor says
    // so until its window is up.
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

CChildFrame* CZuApp::openNewWindow(CZuDoc* doc) {
    return createFrame(doc);
}

bool CZuApp::maybeSaveAll() {
    for (const auto& d : documents_)
        if (!maybeSave(*d))
            return false;
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
        if (!doc->offerReload())
            return;
        checkingDisk_ = true;
        const QString question = QString::fromStdString(
            changedOnDiskReloadQuestion(displayPath(doc->pathName()).toStdString()));
        if (ui::message(frame_, question, ui::Buttons::YesNo, ui::Icon::Question) ==
            ui::Answer::Yes) {
            if (const QString error = doc->reload(); !error.isEmpty())
                ui::message(frame_, error);
        }
        checkingDisk_ = false;
    });
}

void CZuApp::noteRecent(const QString& path) {
    recent_.add(pathToBytes(path));
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
                           pathFromBytes(paths[i]));
    profile_->setValue(QStringLiteral("Settings/PreviewPages"), previewPages());
    profile_->setValue(QStringLiteral("Settings/ColourTagsWhileTyping"), colourWhileTyping_);
    profile_->setValue(QStringLiteral("Settings/LineNumbers"), lineNumbers_);
    profile_->sync();
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

void CZuApp::openHandedOver(const QStringList& files) {
    if (!frame_)
        return;
    // A modal dialog works on the window that was active when it opened;
    // a new window must not take its place underneath it.
    if (QApplication::activeModalWidget()) {
        handedOver_ += files;
        if (!handOverRetry_) {
            handOverRetry_ = new QTimer(this);
            handOverRetry_->setInterval(250);
            connect(handOverRetry_, &QTimer::timeout, this, [this] {
                if (QApplication::activeModalWidget())
                    return;
                handOverRetry_->stop();
                openHandedOver(std::exchange(handedOver_, {}));
            });
        }
        handOverRetry_->start();
        return;
    }
    for (const QString& f : files)
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
    const std::string bytes = recent_.paths()[index];
    if (!openFile(pathFromBytes(bytes))) {
        // A file that is gone stays gone: it leaves the list.
        recent_.remove(bytes);
        saveProfile();
        frame_->refreshRecentFiles();
    }
}

} // namespace zu
