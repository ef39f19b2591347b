#include "support/fixture.h"

#include "core/settings/settings.h"
#include "gui/app/load_frame.h"
#include "gui/doc/text_load.h"
#include "gui/widgets/file_names.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QMdiArea>
#include <QTest>

#include <algorithm>

namespace zu::test {

DialogScript::DialogScript() {
    ui::setDialogHook([this](QDialog& dialog) -> int {
        titles_ << dialog.windowTitle();
        if (auto* box = qobject_cast<QMessageBox*>(&dialog))
            messages_ << box->text();
        if (answers_.empty()) {
            ADD_FAILURE() << "unexpected dialog: " << dialog.windowTitle().toStdString() << " "
                          << messages_.value(messages_.size() - 1).toStdString();
            return qobject_cast<QMessageBox*>(&dialog) ? int(QMessageBox::Cancel)
                                                       : int(QDialog::Rejected);
        }
        Answer next = std::move(answers_.front());
        answers_.pop_front();
        return next(dialog);
    });
}

DialogScript::~DialogScript() {
    ui::setDialogHook({});
}

void DialogScript::thenMessage(QMessageBox::StandardButton button) {
    then([button](QDialog& dialog) {
        EXPECT_NE(qobject_cast<QMessageBox*>(&dialog), nullptr) << "expected a message box";
        return int(button);
    });
}

void DialogScript::thenSaveAs(const QString& path) {
    then([this, path](QDialog& dialog) {
        auto* files = qobject_cast<QFileDialog*>(&dialog);
        EXPECT_NE(files, nullptr) << "expected the save dialog";
        if (!files)
            return int(QDialog::Rejected);
        if (auto* name = files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
            proposedName_ = name->text();
        files->selectFile(path);
        return int(QDialog::Accepted);
    });
}

void DialogScript::thenCancel() {
    then([](QDialog& dialog) {
        return qobject_cast<QMessageBox*>(&dialog) ? int(QMessageBox::Cancel)
                                                   : int(QDialog::Rejected);
    });
}

void AppTest::SetUp() {
    ASSERT_TRUE(files.isValid());
    // Each test starts as a first run: its own zu.set and recent files, and
    // the record holding the defaults, as at the start of the program.
    qputenv("ZU_CONFIG_DIR", QFile::encodeName(files.filePath(QStringLiteral("config"))));
    Settings defaults;
    defaults.programPath = settings().programPath;
    defaults.programDirectory = settings().programDirectory;
    settings() = defaults;
    app = std::make_unique<CZuApp>();
    ASSERT_FALSE(app->start({}).has_value());
    QApplication::setActiveWindow(&frame());
    settle();
}

CZuDoc* AppTest::openWhole(const QString& path) {
    CZuDoc* opened = nullptr;
    const auto arrived =
        QObject::connect(app.get(), &CZuApp::documentOpened, [&](CZuDoc* d) { opened = d; });
    if (CZuDoc* at = app->openFile(pathFromQt(path)))
        opened = at;
    const auto loading = [this] {
        const auto windows = frame().mdiArea()->subWindowList();
        return std::ranges::any_of(windows, [](QMdiSubWindow* w) {
            const auto* l = qobject_cast<CLoadFrame*>(w);
            return l && l->load()->running();
        });
    };
    while (!opened && loading())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QObject::disconnect(arrived);
    settle();
    return opened;
}

void AppTest::TearDown() {
    // Whatever a test left unsaved is dropped without asking.
    if (app) {
        for (CZuDoc* d : app->documents())
            d->text().setModified(false);
        app.reset();
    }
    settle();
    EXPECT_TRUE(dialogs.done()) << "a dialog the test expected never opened";
}

QString AppTest::writeFile(const QString& name, const QByteArray& bytes) const {
    QFile f(path(name));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return f.fileName();
}

QByteArray AppTest::readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return f.readAll();
}

void AppTest::settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

} // namespace zu::test
