#pragma once
// The application: start-up, the open documents and their windows, the
// recent-file list, and the commands no window owns (new, open, print
// set-up, about, recent files, exit).

#include "core/app/recent_files.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <memory>
#include <optional>
#include <span>
#include <vector>

class QSettings;

namespace zu {
class CChildFrame;
class CMainFrame;
class CZuDoc;
template <class T> struct CommandEntry;

class CZuApp : public QObject {
    Q_OBJECT
public:
    CZuApp();
    ~CZuApp() override;

    static CZuApp* instance();

    // Brings the editor up for the given arguments (the program's name not
    // included). Returns the exit code when the program is to end at once,
    // nothing when it is to run.
    std::optional<int> InitInstance(const QStringList& args);

    CMainFrame* mainFrame() const;
    const RecentFiles& recentFiles() const { return recent_; }
    std::vector<CZuDoc*> documents() const;

    // A new empty document in a window of its own, titled Zu1, Zu2, ...
    CZuDoc* OnFileNew();
    // Opens `path` in a new window, or activates the window that already
    // shows it. Null when it cannot be opened; the user has been told why.
    CZuDoc* OpenDocumentFile(const QString& path);
    // A further window on the same document.
    CChildFrame* OpenNewWindow(CZuDoc* doc);

    // Asks about every modified document; false when the user cancels.
    bool SaveAllModified();
    void CloseAllDocuments();

    bool OnCmdMsg(int id);
    std::optional<bool> commandEnabled(int id) const;

private:
    static std::span<const CommandEntry<CZuApp>> messageMap();
    CChildFrame* createFrame(CZuDoc* doc);
    CZuDoc* adopt(std::unique_ptr<CZuDoc> doc);
    void forget(CZuDoc* doc);
    void noteRecent(const QString& path);
    void saveProfile();
    int printFromCommandLine(const QString& path, const QString& printer);

    void OnFileNewCommand(int id);
    void OnFileOpen(int id);
    void OnFilePrintSetup(int id);
    void OnAppAbout(int id);
    void OnFileMru(int id);
    void OnAppExit(int id);

    std::vector<std::unique_ptr<CZuDoc>> documents_;
    int untitled_ = 0;
    QPointer<CMainFrame> frame_;
    std::unique_ptr<QSettings> profile_;
    RecentFiles recent_;
};

} // namespace zu
