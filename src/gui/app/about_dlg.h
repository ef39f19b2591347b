#pragma once
#include <QDialog>

namespace zu {

// The About box: the program's name, version and copyright; OK closes it.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

} // namespace zu
