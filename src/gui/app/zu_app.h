#pragma once
// gui/app, the top of the Qt layer: the application, the main and child
// frames, the about box, icons, and the one place that gathers every
// command handler (command_routes.cpp).
//
// The application: start-up, the open documents and their windows, the
// recent-file list, and the commands no window owns (new, open, print
// set-up, about, recent files, exit).

#include "core/app/recent_files.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

class QSettings;

namespace zu {
class CChildFrame;
class CMainFrame;
class CZuDoc;
template <class Target> class HandlerTable;

class CZuApp : public QObject {
    Q_OBJECT
public:
    CZuApp();
    ~CZuApp() override;

    static CZuApp* instance();

    // Brings the editor up for the given arguments (the program's name not
    // included). Returns the exit code when the program is to end at once,
    // nothing when it is to run.
    std::optional<int> start(const QStringList& args);

    CMainFrame* mainFrame() const;
    const RecentFiles& recentFiles() const { return recent_; }
    std::vector<CZuDoc*> documents() const;

    // A new empty document in a window of its own, titled Zu1, Zu2, ...
    CZuDoc* newDocument();
    // Opens `path` in a new window, or activates the window that already
    // shows it. Null when it cannot be opened; the user has been told why.
    CZuDoc* openFile(const QString& path);
    // A further window on the same document.
    CChildFrame* openNewWindow(CZuDoc* doc);

    // Asks whether to reload the active document when another program has
    // changed its file (soon, not at once: called while a window activates).
    void checkDiskChanges();

    // Asks about every modified document; false when the user cancels.
    bool maybeSaveAll();
    void closeAllDocuments();

    // New, Open, Print Setup, About, the recent files and Exit.
    static void registerCommands(HandlerTable<CZuApp>& table);

private:
    CChildFrame* createFrame(CZuDoc* doc);
    CZuDoc* adopt(std::unique_ptr<CZuDoc> doc);
    void forget(CZuDoc* doc);
    void noteRecent(const QString& path);
    void saveProfile();
    int printFromCommandLine(const QString& path, const QString& printer);
    void openWithDialog();
    void openRecent(int index);

    std::vector<std::unique_ptr<CZuDoc>> documents_;
    int untitled_ = 0;
    QPointer<CMainFrame> frame_;
    std::unique_ptr<QSettings> profile_;
    RecentFiles recent_; // paths as bytes
    bool checkingDisk_ = false;
};

} // namespace zu
