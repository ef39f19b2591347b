#pragma once
// ｱｼｽﾀﾝﾄ > ﾌｫﾙﾀﾞを UTF-8 に変換: a folder's pages listed before anything is
// written (encoding, declaration, what will change, what stops a page), the
// user ticks which to convert, and the conversion runs with its progress
// and a way to stop between files; the last conversion of the folder can be
// taken back from here too. The rules are core/convert's.

#include "core/convert/site_list.h"
#include "gui/commands/command_registry.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace zu {

class CConvertDlg : public QDialog {
    Q_OBJECT
public:
    explicit CConvertDlg(QWidget* parent = nullptr);

    QLineEdit* folderEdit() const { return folder_; }
    QPushButton* listButton() const { return list_; }
    QPushButton* convertButton() const { return convert_; }
    QPushButton* undoButton() const { return undo_; }
    QTreeWidget* pageList() const { return pages_; }
    QCheckBox* byteOrderMarkBox() const { return byteOrderMark_; }
    QComboBox* sixFormsBox() const { return six_; }
    QLabel* summary() const { return summary_; }

    // Lists the folder's pages; the convertible ones come ticked.
    void listPages();
    // Converts the ticked pages, then lists the folder again.
    void convertTicked();
    // Takes back the folder's newest conversion, after asking.
    void undoLast();

private:
    std::string folderPath() const;
    std::vector<std::string> extensions() const;
    convert::ConvertOptions options() const;
    void showPages();
    void updateButtons();

    QLineEdit* folder_;
    QPushButton* browse_;
    std::vector<QCheckBox*> extensions_;
    QCheckBox* byteOrderMark_;
    QComboBox* six_;
    QPushButton* list_;
    QTreeWidget* pages_;
    QLabel* summary_;
    QPushButton* convert_;
    QPushButton* undo_;
    convert::SiteList listed_;
    std::string listedFolder_;
};

void registerConvertCommand(HandlerTable<CMainFrame>& table);

} // namespace zu
