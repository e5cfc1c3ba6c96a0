#include "gui/ui/FrmAbout.h"

#include "core/util/Version.h"
#include "gui/ui/ImageButton.h"
#include "gui/ui/MessageBoxes.h"
#include "gui/ui/Palette.h"
#include "gui/ui/Skin.h"
#include "gui/ui/SkinLabel.h"
#include "gui/ui/Surface.h"
#include "gui/ui/Twips.h"

#include <QDesktopServices>
#include <QEvent>
#include <QLabel>
#include <QUrl>

namespace tavelin::gui {

FrmAbout::FrmAbout(QWidget* parent, QString website, QString email, MessageBoxes& messages)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), website_(std::move(website)),
      email_(std::move(email)), messages_(messages),
      open_([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {
    setObjectName("FrmAbout");
    setWindowTitle("About ");
    setModal(true);
    setFixedSize(tw(4515), tw(4515));
    setAttribute(Qt::WA_DeleteOnClose, false);

    auto* background = new Surface(Skin::background(300, 300), this);
    background->setObjectName("Background");
    background->setGeometry(twRect(0, 0, 4550, 4560));
    auto* panel = Surface::panel("Image1", twRect(3000, 3840, 1290, 435), background);

    auto* close =
        ImageButton::skinned("BClose", "Close", twRect(3065, 3905, 1140, 300), background);
    auto* x = ImageButton::glyph("BX", "close", twRect(4080, 120, 300, 300), background);

    SkinLabel::make(background, "Label1", "Brenvik", twRect(480, 600, 3615, 375),
                    Palette::sans(12, true));
    auto* icon = new QLabel(background);
    icon->setObjectName("Image2");
    icon->setPixmap(Skin::icon(32));
    icon->setGeometry(twRect(480, 1200, 480, 480));
    SkinLabel::make(background, "Label2", "Tavelin Software", twRect(480, 1800, 3615, 255));
    SkinLabel::make(background, "Label3", "Keeps your folders backed up, file by file.",
                    twRect(480, 2040, 3615, 255));
    version_ = SkinLabel::make(background, "Version",
                               QString::fromStdString("Version:  " + Version::shortText()),
                               twRect(480, 2280, 3375, 255));
    web_ = SkinLabel::make(background, "Label4", "Website:  " + QUrl(website_).host(),
                           twRect(480, 2760, 3735, 255));
    mail_ = SkinLabel::make(background, "Label5", "Email:      " + email_,
                            twRect(480, 3000, 3735, 255));
    QLabel* remark =
        SkinLabel::make(background, "Label7", "If you wish any add featrue please inform us.",
                        twRect(480, 3360, 3615, 255));
    Palette::fit(remark, remark->text());
    for (QLabel* link : {web_, mail_}) {
        link->setCursor(Qt::PointingHandCursor);
        link->installEventFilter(this);
    }

    // Crossing the background puts both buttons to rest, crossing the panel only BClose.
    connect(background, &Surface::crossed, this, [x, close] {
        x->toRest();
        close->toRest();
    });
    connect(panel, &Surface::crossed, close, &ImageButton::toRest);
    connect(x, &ImageButton::releasedUp, this, &QDialog::reject);
    connect(close, &ImageButton::pressedDown, this, &QDialog::reject);
}

bool FrmAbout::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == web_) {
            openWebsite();
        } else if (watched == mail_) {
            openEmail();
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FrmAbout::openLink(const QUrl& url, const QString& address) {
    if (!open_(url)) {
        messages_.show(MessageBoxes::Icon::Information, QString(),
                       "No program on this desktop opens this link. The address is:\n" + address,
                       MessageBoxes::Ok);
    }
}

void FrmAbout::openWebsite() {
    openLink(QUrl(website_), website_);
}

void FrmAbout::openEmail() {
    openLink(QUrl("mailto:" + email_), email_);
}

} // namespace tavelin::gui
