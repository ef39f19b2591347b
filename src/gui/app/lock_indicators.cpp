#include "gui/app/lock_indicators.h"

#include "gui/app/x11_indicator.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QStatusBar>
#include <QtGui/qguiapplication_platform.h>

namespace zu {
namespace {

struct Lock {
    const char* text;
    const char* xkbName; // the keyboard indicator that reports it
};
constexpr Lock kLocks[4] = {
    {"ｶﾅ", "Kana"}, {"CAP", "Caps Lock"}, {"NUM", "Num Lock"}, {"SCRL", "Scroll Lock"}};

// Asks the X server for a named keyboard indicator; false where there is no
// X server (another windowing system, or none) or no such indicator.
bool lockIsOn(const char* name) {
    auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 && x11->display() && x11IndicatorOn(x11->display(), name);
}

} // namespace

LockIndicators::LockIndicators(QStatusBar* bar) : QObject(bar) {
    for (int i = 0; i < 4; ++i) {
        const QString text = QString::fromUtf8(kLocks[i].text);
        auto* label = new QLabel;
        label->setObjectName(QStringLiteral("indicator ") + text);
        label->setAccessibleName(text);
        label->setAlignment(Qt::AlignCenter);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(text) + 12);
        bar->addPermanentWidget(label);
        panes_[i] = label;
    }
    qApp->installEventFilter(this);
    refresh();
}

QLabel* LockIndicators::pane(const QString& text) const {
    for (int i = 0; i < 4; ++i)
        if (text == QString::fromUtf8(kLocks[i].text))
            return panes_[i];
    return nullptr;
}

void LockIndicators::refresh() {
    for (int i = 0; i < 4; ++i)
        panes_[i]->setText(lockIsOn(kLocks[i].xkbName) ? QString::fromUtf8(kLocks[i].text)
                                                       : QString());
}

bool LockIndicators::eventFilter(QObject*, QEvent* event) {
    // Lock keys change state with a key release; the state may also change
    // while another program has the keyboard.
    if (event->type() == QEvent::ApplicationActivate) {
        refresh();
    } else if (event->type() == QEvent::KeyRelease) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_CapsLock:
        case Qt::Key_NumLock:
        case Qt::Key_ScrollLock:
        case Qt::Key_Kana_Lock:
        case Qt::Key_Kana_Shift:
            refresh();
            break;
        default:
            break;
        }
    }
    return false;
}

} // namespace zu
