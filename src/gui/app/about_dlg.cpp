#include "gui/app/about_dlg.h"

#include "gui/app/icons.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#ifndef ZU_VERSION
#define ZU_VERSION "0"
#endif

namespace zu {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("zu のﾊﾞｰｼﾞｮﾝ情報"));
    auto* icon = new QLabel;
    icon->setPixmap(appIcon().pixmap(48, 48));
    auto* name = new QLabel(QStringLiteral("zu ﾊﾞｰｼﾞｮﾝ %1").arg(QStringLiteral(ZU_VERSION)));
    name->setObjectName(QStringLiteral("version"));
    auto* what = new QLabel(QStringLiteral("HTML を手で書くためのｴﾃﾞｨﾀ"));
    auto* copyright = new QLabel(QStringLiteral("Copyright (C) 2026 zu の開発者"));
    auto* text = new QVBoxLayout;
    text->addWidget(name);
    text->addWidget(what);
    text->addWidget(copyright);
    auto* ok = new QPushButton(QStringLiteral("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* row = new QHBoxLayout;
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addLayout(text, 1);
    row->addWidget(ok, 0, Qt::AlignTop);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace zu
