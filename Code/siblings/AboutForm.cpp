// Form.so: the About box of Tonequill, a Qt dialog shown by ShowAboutForm.

#include "siblings/FormApi.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString Text(const char *text)
{
    return QString::fromUtf8(text ? text : "");
}

QLabel *NewLabel(const QString &text, QWidget *parent, const char *name)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::LinksAccessibleByMouse);
    return label;
}

QWidget *NewHeader(const TqSoftInfo &info, QWidget *parent)
{
    auto *header = new QWidget(parent);
    header->setObjectName("header");
    header->setAutoFillBackground(true);
    header->setFixedHeight(88);
    header->setStyleSheet("QWidget#header { background: qlineargradient(x1:0, y1:0, x2:1, y2:1, "
                          "stop:0 #345c8c, stop:1 #162842); }"
                          "QLabel { color: #f2f6fb; }");
    auto *layout = new QHBoxLayout(header);
    layout->setContentsMargins(18, 14, 18, 14);
    layout->setSpacing(14);
    auto *logo = new QLabel(header);
    logo->setPixmap(QPixmap(":/form/logo-mark.png"));
    layout->addWidget(logo);
    auto *titles = new QVBoxLayout;
    titles->setSpacing(2);
    titles->addStretch();
    auto *product = NewLabel(Text(info.ProductName), header, "lblProductName");
    QFont big = product->font();
    big.setPixelSize(22);
    big.setBold(true);
    product->setFont(big);
    titles->addWidget(product);
    titles->addWidget(NewLabel("Version " + Text(info.Version), header, "lblVersion"));
    titles->addStretch();
    layout->addLayout(titles, 1);
    return header;
}

void ShowAboutBox(const TqSoftInfo &info)
{
    QDialog dialog(QApplication::activeWindow());
    dialog.setObjectName("frmAbout");
    dialog.setWindowTitle("About " + Text(info.ProductName));
    auto *layout = new QVBoxLayout(&dialog);
    layout->setContentsMargins(0, 0, 0, 12);
    layout->addWidget(NewHeader(info, &dialog));

    auto *body = new QVBoxLayout;
    body->setContentsMargins(18, 10, 18, 0);
    body->setSpacing(8);
    body->addWidget(NewLabel(Text(info.AboutText1), &dialog, "lblAboutText1"));
    const QString home = Text(info.HomePage);
    const QString mail = Text(info.EMail);
    auto *links = NewLabel(QString("<a href=\"%1\">%1</a><br><a href=\"mailto:%2\">%2</a>")
                               .arg(home.toHtmlEscaped(), mail.toHtmlEscaped()),
                           &dialog, "lblLinks");
    links->setTextFormat(Qt::RichText);
    links->setOpenExternalLinks(true);
    // Tab reaches each link, Return opens it.
    links->setTextInteractionFlags(Qt::TextBrowserInteraction);
    links->setFocusPolicy(Qt::StrongFocus);
    links->setAccessibleName("Home page and e-mail");
    body->addWidget(links);
    body->addWidget(NewLabel(Text(info.CompanyName), &dialog, "lblCompanyName"));
    auto *small = NewLabel(Text(info.AboutText2), &dialog, "lblAboutText2");
    small->setStyleSheet("color: #5c6a7c;");
    body->addWidget(small);
    auto *folder = NewLabel("Installed in " + Text(info.AppPath), &dialog, "lblAppPath");
    folder->setStyleSheet("color: #5c6a7c;");
    body->addWidget(folder);
    layout->addLayout(body);
    layout->addStretch(1);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
    buttons->setContentsMargins(18, 6, 18, 0);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    layout->addWidget(buttons);
    dialog.setFixedWidth(420);
    const int height = dialog.heightForWidth(420);
    if (height > 0)
        dialog.setFixedHeight(height);
    dialog.exec();
}

} // namespace

extern "C" __attribute__((visibility("default"))) void ShowAboutForm(void *application,
                                                                     TqSoftInfo info)
{
    // Without the program's application object there is no window system to show a box on.
    if (!application || !qobject_cast<QApplication *>(static_cast<QObject *>(application)))
        return;
    ShowAboutBox(info);
}
