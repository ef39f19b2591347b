#include "gui/app/zu_app.h"

#include "core/app/command_line.h"
#include "core/app/commands.h"
#include "core/doc/file_read.h"
#include "core/settings/config_location.h"
#include "core/settings/settings.h"
#include "gui/app/about_dlg.h"
#include "gui/app/child_frame.h"
#include "gui/app/main_frame.h"
#include "gui/commands/command_registry.h"
#include "gui/doc/doc_commands.h"
#include "gui/doc/zu_doc.h"
#include "gui/view/view_print.h"
#include "gui/view/zu_view.h"
#include "gui/widgets/file_names.h"
#include "gui/widgets/ui.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMdiArea>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSettings>
#include <QTimer>

namespace zu {
namespace {

CZuApp*& current() {
    static CZuApp* app = nullptr;
    return app;
}

std::string profilePath() {
    const Settings& s = settings();
    const std::string dir =
        configDirectory(s.programDirectory.drive + s.programDirectory.directory);
    ensureDirectory(dir);
    return dir + "zu.conf";
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

std::optional<int> CZuApp::start(const QStringList& args) {
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
    std::vector<std::string> recent;
    for (int i = 1; profile_ && i <= cmd::RecentFileCount; ++i) {
        const QString path =
            profile_->value(QStringLiteral("Recent File List/File%1").arg(i)).toString();
        if (!path.isEmpty())
            recent.push_back(pathToBytes(path));
    }
    recent_.assign(recent);
    if (profile_)
        setPreviewPages(profile_->value(QStringLiteral("Settings/PreviewPages"), 1).toInt());

    std::vector<std::string> plain;
    for (const QString& a : args)
        plain.push_back(a.toStdString());
    const CommandLine line = parseCommandLine(plain);
    if (!line.error.empty()) {
        ui::message(nullptr, QString::fromStdString(line.error));
        return 1;
    }
    if (line.action == CommandLine::Action::Unregister)
        return 0; // nothing is registered at run time here
    if (line.action == CommandLine::Action::Print || line.action == CommandLine::Action::PrintTo)
        return printFromCommandLine(QString::fromStdString(line.files.front()),
                                    QString::fromStdString(line.printer));

    // The main frame loads the settings as it is constructed.
    frame_ = new CMainFrame(*this);
    frame_->setAttribute(Qt::WA_DeleteOnClose);
    connect(frame_, &QObject::destroyed, this, [this] { saveProfile(); });
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
    return std::nullopt;
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
    if (!printDocument(*opened.document->textDocument(), CZuView::editorFont(), printer)) {
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

CZuDoc* CZuApp::adopt(std::unique_ptr<CZuDoc> doc) {
    CZuDoc* raw = doc.get();
    documents_.push_back(std::move(doc));
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
    CZuDoc::OpenResult opened = CZuDoc::open(path);
    if (!opened.document) {
        ui::message(frame_, opened.error);
        return nullptr;
    }
    CZuDoc* doc = adopt(std::move(opened.document));
    createFrame(doc);
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
        const QString question =
            QStringLiteral("%1 は他のﾌﾟﾛｸﾞﾗﾑで変更されました。再読み込みしますか？")
                .arg(displayPath(doc->pathName()));
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
