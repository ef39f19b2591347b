#pragma once
// gui/app, the top of the Qt layer: the application, the main and child
// frames, the about box, icons, and the one place that gathers every
// command handler (command_routes.cpp).
//
// The application: start-up, the open documents and their windows, the
// recent-file list, and the commands no window owns (new, open, print
// set-up, about, recent files, exit).

#include "core/app/recent_files.h"
#include "core/doc/write_journal.h"
#include "gui/doc/recovery_keeper.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QSettings;

namespace zu {
class CChildFrame;
class CLoadFrame;
class CMainFrame;
class CZuDoc;
class CZuView;
class InstanceChannel;
template <class Target> class HandlerTable;

class CZuApp : public QObject {
    Q_OBJECT
public:
    CZuApp();
    ~CZuApp() override;

    static CZuApp* instance();

    // Brings the editor up for the given arguments, as the system's bytes
    // (the program's name not included). Returns the exit code when the
    // program is to end at once, nothing when it is to run.
    std::optional<int> start(const std::vector<std::string>& args);

    // What a command line that only asks something of zu ("--help",
    // "--version", a switch zu does not know) gets: the answer on the
    // terminal and the exit code. Nothing for any other command line. Asked
    // before the window system is reached, so that it answers without one.
    static std::optional<int> answerOnTerminal(const std::vector<std::string>& args);

    CMainFrame* mainFrame() const;
    const RecentFiles& recentFiles() const { return recent_; }
    std::vector<CZuDoc*> documents() const;

    // A new empty document in a window of its own, titled Zu1, Zu2, ...
    CZuDoc* newDocument();
    // Opens `path` in a new window, or activates the window that already
    // shows it. Null when it cannot be opened; the user has been told why.
    // Null too for a large file, read in the background: its window shows
    // how far it is, and documentOpened() brings the document once it is in.
    CZuDoc* openFile(const FilePath& path);
    // Files of at least this many bytes are read in the background.
    static std::int64_t& backgroundOpenBytes();
    // A further window on the same document.
    CChildFrame* openNewWindow(CZuDoc* doc);

    // Asks whether to reload the active document when another program has
    // changed its file (soon, not at once: called while a window activates).
    void checkDiskChanges();

    // Asks about every modified document; false when the user cancels.
    bool maybeSaveAll();
    void closeAllDocuments();

    // The session is ending (logout): asks about unsaved documents when
    // `mayAsk`, else keeps them in their recovery copies. False when the user
    // cancels, so that the session does not end.
    bool commitData(bool mayAsk);
    // Ends the program at once without losing an edit (SIGTERM, SIGHUP,
    // SIGINT, SIGQUIT): every unsaved change goes into its recovery copy,
    // kept for next start; where the recovery folder cannot take a copy, in
    // the second place (recovery_store.h). The program ends with status 0
    // only when every change was kept.
    void keepEverythingAndQuit();

    // The two options of the 表示 menu that zu adds, kept in zu.conf and off
    // until turned on: tags coloured as the user types, and line numbers.
    // Each holds for every document window at once.
    bool coloursWhileTyping() const { return colourWhileTyping_; }
    void setColourWhileTyping(bool on);
    bool showsLineNumbers() const { return lineNumbers_; }
    void setShowLineNumbers(bool on);

    // New, Open, Print Setup, About, the recent files, Exit and the options
    // above.
    static void registerCommands(HandlerTable<CZuApp>& table);

signals:
    // A document read in the background is in its window.
    void documentOpened(CZuDoc* doc);

private:
    // A window for `doc`, with a view of its own or the one given.
    CChildFrame* createFrame(CZuDoc* doc, CZuView* view = nullptr);
    // The window of a file still being read, if one is.
    CLoadFrame* loadingWindow(const FilePath& path) const;
    void openInBackground(const FilePath& path);
    // Takes `doc` into the list, with a keeper for its recovery copy (which
    // takes over `recoveryFile` when the document was restored from it).
    CZuDoc* adopt(std::unique_ptr<CZuDoc> doc,
                  std::optional<RecoveryKeeper::Adopted> recoveryFile = {});
    // Offers back what an earlier run left unsaved, in the recovery folder
    // and in the second place; copies that do not read back are put aside.
    void offerRecovery();
    // A recovery copy cannot be written: said once, until one is again.
    void recoveryFailed(const FilePath& folder, int error);
    // Keeps the copy of `doc` somewhere: false when no place took it.
    bool keepCopy(CZuDoc& doc);
    void forget(CZuDoc* doc);
    // After documents closed: their memory goes back to the system.
    void giveMemoryBack();
    void noteRecent(const FilePath& path);
    void saveProfile();
    int printFromCommandLine(const FilePath& path, const QString& printer);
    void openWithDialog();
    void openRecent(int index);
    // Files a second zu handed over: each opens in a window of its own (or
    // its window is activated) and the main window comes to the front.
    void openHandedOver(const std::vector<FilePath>& files);

    std::vector<std::unique_ptr<CZuDoc>> documents_;
    std::string recoveryFolder_;
    std::unique_ptr<WriteJournal> journal_;
    int untitled_ = 0;
    QPointer<CMainFrame> frame_;
    std::unique_ptr<QSettings> profile_;
    RecentFiles recent_; // paths as bytes
    InstanceChannel* channel_ = nullptr;
    bool checkingDisk_ = false;
    bool trimPending_ = false;
    bool recoveryFailureShown_ = false;
    bool colourWhileTyping_ = false;
    bool lineNumbers_ = false;
};

} // namespace zu
