#include "gui/ui/MainWindowLayout.h"

#include "gui/ui/DirList.h"
#include "gui/ui/FileList.h"
#include "gui/ui/ImageButton.h"
#include "gui/ui/LockPair.h"
#include "gui/ui/Palette.h"
#include "gui/ui/ProgressCntrl.h"
#include "gui/ui/Skin.h"
#include "gui/ui/SkinLabel.h"
#include "gui/ui/StatusLine.h"
#include "gui/ui/Surface.h"
#include "gui/ui/Twips.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QTableWidget>
#include <QTimer>

namespace tavelin::gui {

namespace {

// Pixels between a label's text and the box it names.
constexpr int kLabelGap = 3;
// Pixels of a line box taken by its frame and padding.
constexpr int kBoxMargin = 8;

const char* const kFieldStyle =
    "background-color: rgb(128,128,128); color: rgb(192,255,255);"
    "selection-background-color: rgb(0,0,128); selection-color: rgb(192,255,255);";

QPixmap backgroundWithBoxes() {
    QPixmap p = Skin::background(700, 600);
    QPainter g(&p);
    g.setPen(QColor(10, 10, 10));
    g.drawRect(0, 0, MainWindowLayout::kWidth - 1, MainWindowLayout::kHeight - 1);
    // Four boxes of one-pixel lines group the source, the destination, the counters and tasks.
    g.setPen(QColor(16, 18, 20));
    for (const QRect& box : {QRect(QPoint(tw(240), tw(600)), QPoint(tw(5160), tw(4200))),
                             QRect(QPoint(tw(5280), tw(600)), QPoint(tw(10200), tw(4200))),
                             QRect(QPoint(tw(240), tw(4320)), QPoint(tw(10200), tw(6240))),
                             QRect(QPoint(tw(240), tw(6360)), QPoint(tw(10200), tw(8520)))}) {
        g.drawRect(box);
        g.setPen(QColor(110, 116, 120));
        g.drawRect(box.translated(1, 1));
        g.setPen(QColor(16, 18, 20));
    }
    return p;
}

ProgressCntrl* bar(QWidget* parent, const QString& name, QRect r) {
    auto* b = new ProgressCntrl(parent);
    b->setObjectName(name);
    b->setGeometry(r);
    return b;
}

template <class W> W* field(QWidget* parent, const QString& name, QRect r) {
    auto* w = new W(parent);
    w->setObjectName(name);
    w->setGeometry(r);
    w->setFont(Palette::sans(8.25));
    w->setStyleSheet(kFieldStyle);
    return w;
}

QCheckBox* check(QWidget* parent, const QString& name, const QString& text, QRect r,
                 const QColor& back) {
    auto* c = new QCheckBox(text, parent);
    c->setObjectName(name);
    c->setGeometry(r);
    c->setFont(Palette::sans(8.25));
    c->setStyleSheet(QString("color: rgb(192,255,255); background-color: rgb(%1,%2,%3);")
                         .arg(back.red())
                         .arg(back.green())
                         .arg(back.blue()));
    return c;
}

// Panels first: they lie under their buttons. Then the title strip.
void addPanelsAndTitleStrip(MainControls& c, QWidget* bg) {
    c.Image1 = Surface::panel("Image1", twRect(5040, 5640, 2550, 435), bg);
    c.Image2 = Surface::panel("Image2", twRect(7560, 5640, 2550, 435), bg);
    c.Image3 = Surface::panel("Image3", twRect(5040, 6480, 2550, 435), bg);
    c.Image4 = Surface::panel("Image4", twRect(8800, 6480, 1290, 435), bg);

    c.CheStart =
        check(bg, "CheStart", "Run at startup", twRect(7440, 120, 2055, 255), Palette::checkBack());
    c.BM = ImageButton::glyph("BM", "min", twRect(9695, 120, 300, 300), bg);
    c.BX = ImageButton::glyph("BX", "close", twRect(10080, 120, 300, 300), bg);
}

// The source: drive, folders, pattern and its matching files.
void addSourceColumn(MainControls& c, QWidget* bg) {
    c.Label1 = SkinLabel::make(bg, "Label1", "Source Folder", twRect(240, 360, 2535, 255),
                               Palette::sans(9.75));
    c.Drive1 = field<QComboBox>(bg, "Drive1", twRect(360, 720, 2250, 315));
    c.Dir1 = field<DirList>(bg, "Dir1", twRect(360, 1080, 2250, 3010));
    c.Label3 = SkinLabel::make(bg, "Label3", "File Types", twRect(2760, 720, 1095, 255));
    c.cboFileTypes = field<QComboBox>(bg, "cboFileTypes", twRect(3555, 720, 1455, 315));
    c.cboFileTypes->setEditable(true);
    c.cboFileTypes->setInsertPolicy(QComboBox::NoInsert);
    c.cboFileTypes->setEditText("Combo1");
    c.File1 = field<FileList>(bg, "File1", twRect(2760, 1080, 2250, 2955));
}

// The destination: drive, folders and files, or a typed network path.
void addDestinationColumn(MainControls& c, QWidget* bg) {
    c.Label2 = SkinLabel::make(bg, "Label2", "Destination Folder", twRect(5280, 360, 2535, 255),
                               Palette::sans(9.75));
    c.Drive2 = field<QComboBox>(bg, "Drive2", twRect(5400, 720, 2250, 315));
    c.Dir2 = field<DirList>(bg, "Dir2", twRect(5400, 1080, 2250, 2565));
    c.File2 = field<FileList>(bg, "File2", twRect(7800, 1080, 2250, 2565));
    c.UNCPathDestTrue =
        check(bg, "UNCPathDestTrue", "UNC Path", twRect(5400, 3840, 1095, 255), Palette::uncBack());
    c.UNCDestination = field<QLineEdit>(bg, "UNCDestination", twRect(6600, 3840, 3375, 285));
    c.UNCDestination->hide();
}

// Counters and bars of folders, files and bytes, with the update rate.
void addCounters(MainControls& c, QWidget* bg) {
    c.Label4 = SkinLabel::make(bg, "Label4", "Folders", twRect(360, 4560, 615, 255));
    c.txtFolders = field<QLineEdit>(bg, "txtFolders", twRect(960, 4560, 1155, 285));
    c.proFolders = bar(bg, "proFolders", twRect(2280, 4560, 7815, 255));
    c.Label5 = SkinLabel::make(bg, "Label5", "Files", twRect(360, 4920, 495, 255));
    c.txtFiles = field<QLineEdit>(bg, "txtFiles", twRect(960, 4920, 1155, 285));
    c.proFiles = bar(bg, "proFiles", twRect(2280, 4920, 7815, 255));
    c.Label6 = SkinLabel::make(bg, "Label6", "Size", twRect(360, 5280, 495, 255));
    c.txtSize = field<QLineEdit>(bg, "txtSize", twRect(960, 5280, 1155, 285));
    c.proSize = bar(bg, "proSize", twRect(2280, 5280, 7815, 255));
    c.Label7 = SkinLabel::make(bg, "Label7", "Update", twRect(360, 5640, 615, 255));
    c.cboUpdateRate = field<QComboBox>(bg, "cboUpdateRate", twRect(960, 5640, 1155, 315));
    c.cboUpdateRate->setEditable(true);
    c.cboUpdateRate->setInsertPolicy(QComboBox::NoInsert);
    c.Label8 = SkinLabel::make(bg, "Label8", "hh:mm", twRect(1080, 6000, 735, 255));
    c.optCopySubFolder = check(bg, "optCopySubFolder", "Include sub folders",
                               twRect(2280, 5640, 2055, 255), Palette::checkBack());
}

// Count, the lock pair, Run and Close.
void addRunButtons(MainControls& c, QWidget* bg) {
    c.cmdCount = ImageButton::skinned("cmdCount", "Count", twRect(5100, 5700, 1140, 300), bg);
    c.lockPair = new LockPair(bg);
    c.lockPair->setGeometry(twRect(6360, 5700, 1140, 300));
    c.cmdRun = ImageButton::skinned("cmdRun", "Run", twRect(7620, 5700, 1140, 300), bg);
    c.cmdClose = ImageButton::skinned("cmdClose", "Close", twRect(8880, 5700, 1140, 300), bg);
}

// The clock boxes, and text that fits the counter boxes it is shown in.
void addClocks(MainControls& c, QWidget* bg) {
    c.txtTimer = field<QLineEdit>(bg, "txtTimer", twRect(360, 6530, 2535, 315));
    c.txtTimer->hide();
    c.txtTimer2 = field<QLineEdit>(bg, "txtTimer2", twRect(360, 6530, 2535, 315));
    for (QLineEdit* clock : {c.txtTimer, c.txtTimer2}) {
        clock->setFont(Palette::sans(12, true));
        clock->setAlignment(Qt::AlignCenter);
        clock->setFrame(false);
    }
    c.txtTimer2->setFocusPolicy(Qt::NoFocus);
    // The counters show their whole text ("20010 of 20010"), in a smaller size when needed.
    for (QLineEdit* box : {c.txtFolders, c.txtFiles, c.txtSize}) {
        const QFont full = box->font();
        QObject::connect(box, &QLineEdit::textChanged, box, [box, full](const QString& text) {
            box->setFont(full);
            Palette::fit(box, text, kBoxMargin);
            box->setCursorPosition(0);
        });
    }
    for (QLineEdit* clock : {c.txtTimer, c.txtTimer2}) {
        Palette::fit(clock, "00.00.0000 00:00:00", 6);
    }
    for (QCheckBox* box : {c.CheStart, c.optCopySubFolder, c.UNCPathDestTrue}) {
        Palette::fit(box, box->text(), 22);
    }
}

// Save Task, Remove and Info.
void addTaskButtons(MainControls& c, QWidget* bg) {
    c.BSTask = ImageButton::skinned("BSTask", "Save Task", twRect(5100, 6540, 1140, 300), bg);
    c.BRemove = ImageButton::skinned("BRemove", "Remove", twRect(6360, 6540, 1140, 300), bg);
    c.BInfo = ImageButton::skinned("BInfo", "Info", twRect(8880, 6540, 1140, 300), bg);
}

// The task grid.
void addTaskGrid(MainControls& c, QWidget* bg) {
    c.MSHFlexGrid1 = field<QTableWidget>(bg, "MSHFlexGrid1", twRect(360, 6960, 9735, 1455));
    c.MSHFlexGrid1->setStyleSheet(
        QString(kFieldStyle) +
        "QHeaderView::section { background-color: rgb(128,128,128); color: rgb(192,255,255);"
        " border: 1px solid rgb(100,100,100); }");
    c.MSHFlexGrid1->verticalHeader()->hide();
    c.MSHFlexGrid1->verticalHeader()->setDefaultSectionSize(tw(255));
    c.MSHFlexGrid1->horizontalHeader()->setFixedHeight(tw(270));
    c.MSHFlexGrid1->setWordWrap(false);
    c.MSHFlexGrid1->setTextElideMode(Qt::ElideMiddle);
    {
        // A full date-time must fit the 1600-twip time columns: the cells may need a smaller
        // size than the header keeps (the grid uses the header's wherever a cell fits).
        c.MSHFlexGrid1->horizontalHeader()->setFont(c.MSHFlexGrid1->font());
        QLabel probe;
        probe.setFont(c.MSHFlexGrid1->font());
        probe.resize(tw(1600), 10);
        Palette::fit(&probe, "00.00.0000 00:00:00", 10);
        c.MSHFlexGrid1->setFont(probe.font());
    }
    c.MSHFlexGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    c.MSHFlexGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    c.MSHFlexGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Tab leaves the grid for the next control instead of walking its cells.
    c.MSHFlexGrid1->setTabKeyNavigation(false);
    c.MSHFlexGrid1->setColumnCount(2);
    c.MSHFlexGrid1->setRowCount(2);
}

// The status line along the bottom.
void addStatusLine(MainControls& c, QWidget* bg) {
    c.lblStatus = new StatusLine(bg);
    c.lblStatus->setObjectName("lblStatus");
    c.lblStatus->setGeometry(twRect(240, 8640, 10005, 255));
    c.lblStatus->setFont(Palette::sans(8.25, true));
    c.lblStatus->setFrameShape(QFrame::Box);
    c.lblStatus->setStyleSheet("background-color: rgb(128,128,128); color: rgb(192,255,255);"
                               "border: 1px solid rgb(30,30,30);");
}

// Labels keep clear of the boxes they name.
void fitLabels(MainControls& c) {
    for (const auto& [label, box] : {std::pair<QLabel*, QWidget*>{c.Label4, c.txtFolders},
                                     {c.Label5, c.txtFiles},
                                     {c.Label6, c.txtSize},
                                     {c.Label7, c.cboUpdateRate},
                                     {c.Label3, c.cboFileTypes}}) {
        label->resize(box->x() - label->x() - kLabelGap, label->height());
        Palette::fit(label, label->text(), 0);
    }
}

// Tab order as the layout numbers it (labels and the progress bars take no focus), the
// image buttons where they stand, and the title strip's last.
void setTabOrder(MainControls& c) {
    QWidget* order[] = {c.Drive1,
                        c.Dir1,
                        c.File1,
                        c.Drive2,
                        c.Dir2,
                        c.File2,
                        c.cboFileTypes,
                        c.txtFolders,
                        c.txtFiles,
                        c.txtSize,
                        c.cboUpdateRate,
                        c.CheStart,
                        c.optCopySubFolder,
                        c.cmdCount,
                        c.lockPair,
                        c.cmdRun,
                        c.cmdClose,
                        c.BSTask,
                        c.BRemove,
                        c.BInfo,
                        c.MSHFlexGrid1,
                        c.UNCPathDestTrue,
                        c.UNCDestination,
                        c.BM,
                        c.BX};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
        QWidget::setTabOrder(order[i], order[i + 1]);
    }
}

// The second tick and the one-shot timer that fills the grid after start.
void addTimers(MainControls& c, QWidget* window) {
    c.Timer1 = new QTimer(window);
    c.Timer1->setObjectName("Timer1");
    c.Timer1->setInterval(1000);
    c.Timer2 = new QTimer(window);
    c.Timer2->setObjectName("Timer2");
    c.Timer2->setInterval(1000);
    c.Timer2->setSingleShot(true);
}

} // namespace

MainControls MainWindowLayout::build(QWidget* window) {
    MainControls c;
    window->setFixedSize(kWidth, kHeight);

    c.Background = new Surface(backgroundWithBoxes(), window);
    c.Background->setObjectName("Background");
    c.Background->setGeometry(0, 0, kWidth, kHeight);
    QWidget* bg = c.Background;

    // Created in this order, which is also their stacking order.
    addPanelsAndTitleStrip(c, bg);
    addSourceColumn(c, bg);
    addDestinationColumn(c, bg);
    addCounters(c, bg);
    addRunButtons(c, bg);
    addClocks(c, bg);
    addTaskButtons(c, bg);
    addTaskGrid(c, bg);
    addStatusLine(c, bg);

    // The selection starts locked: the nine frozen controls are disabled.
    for (QWidget* w : c.lockable()) {
        w->setEnabled(false);
    }
    showLockState(c, true);

    fitLabels(c);
    setTabOrder(c);
    addTimers(c, window);
    return c;
}

void MainWindowLayout::showLockState(MainControls& c, bool locked) {
    // Unlocked, the two folder lists wear an amber frame: nobody takes them for locked.
    const QString style =
        QString(kFieldStyle) + (locked ? "" : "border: 2px solid rgb(255,176,0);");
    for (QWidget* w : {static_cast<QWidget*>(c.Dir1), static_cast<QWidget*>(c.Dir2)}) {
        w->setStyleSheet(style);
    }
}

} // namespace tavelin::gui
