#include "startup/frmAbout.h"

#include "widgets/MenuIcons.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

const QString frmAbout::SupportAddress = QStringLiteral("support@zolpane.org");
const QString frmAbout::Website = QStringLiteral("https://zolpane.org/");
const QString frmAbout::LicenceUrl = QStringLiteral("https://www.gnu.org/licenses/gpl-3.0.html");

frmAbout::frmAbout(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Zolpane"));
    auto* layout = new QVBoxLayout(this);
    auto* icon = new QLabel(this);
    icon->setPixmap(MenuIcons::icon("ZOLPANE").pixmap(48, 48));
    icon->setAlignment(Qt::AlignCenter);
    layout->addWidget(icon);
    auto* text = new QLabel(this);
    text->setObjectName(QStringLiteral("lblVersion"));
    text->setTextFormat(Qt::RichText);
    text->setOpenExternalLinks(true);
    text->setAlignment(Qt::AlignCenter);
    text->setText(QStringLiteral("<h3>Zolpane %1</h3><p>Thirty clips, pasted where you work.</p>"
                                 "<p><a href=\"%2\">%2</a><br><a href=\"mailto:%3\">%3</a></p>"
                                 "<p>Copyright &copy; The Zolpane developers</p>"
                                 "<p>Zolpane is free software under the<br><a href=\"%4\">GNU General Public "
                                 "License, version 3 or later</a><br>(GPL-3.0-or-later). It comes with no "
                                 "warranty.</p>")
                      .arg(QApplication::applicationVersion(), Website, SupportAddress, LicenceUrl));
    layout->addWidget(text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}
