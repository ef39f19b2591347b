#pragma once
// Shared set-up for the widget tests: a running application with its main
// window, a folder for files, and a script of answers for modal dialogs.

#include "core/app/commands.h"
#include "gui/app/child_frame.h"
#include "gui/app/main_frame.h"
#include "gui/app/zu_app.h"
#include "gui/doc/doc_commands.h"
#include "gui/doc/zu_doc.h"
#include "gui/view/zu_view.h"
#include "gui/widgets/file_names.h"
#include "gui/widgets/ui.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>

namespace zu::test {

// Answers modal dialogs in order. A dialog that nobody expected fails the
// test and is cancelled.
class DialogScript {
public:
    using Answer = std::function<int(QDialog&)>;

    DialogScript();
    ~DialogScript();

    void then(Answer answer) { answers_.push_back(std::move(answer)); }
    // Expects a message box and answers it with `button`; its text is kept.
    void thenMessage(QMessageBox::StandardButton button);
    // Expects the save dialog and answers it with `path`; the proposed
    // file name is kept in proposedName().
    void thenSaveAs(const QString& path);
    void thenCancel();

    const QStringList& messages() const { return messages_; }
    const QStringList& titles() const { return titles_; }
    QString proposedName() const { return proposedName_; }
    bool done() const { return answers_.empty(); }

private:
    std::deque<Answer> answers_;
    QStringList messages_;
    QStringList titles_;
    QString proposedName_;
};

class AppTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    CMainFrame& frame() const { return *app->mainFrame(); }
    CZuView* view() const { return frame().activeView(); }
    CZuDoc* doc() const { return view() ? view()->doc() : nullptr; }

    QString path(const QString& name) const { return files.filePath(name); }
    QString writeFile(const QString& name, const QByteArray& bytes) const;
    static QByteArray readFile(const QString& path);
    // Lets queued work (command-state updates, deferred deletes) run.
    static void settle();
    // Opens `path` as the user would, waiting for a large file read in the
    // background until it is in its window.
    CZuDoc* openWhole(const QString& path);

    QTemporaryDir files;
    DialogScript dialogs;
    std::unique_ptr<CZuApp> app;
};

} // namespace zu::test
