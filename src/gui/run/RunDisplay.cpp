#include "gui/run/RunDisplay.h"

#include "core/copy/RunSummary.h"
#include "gui/ui/MainControls.h"
#include "gui/ui/ProgressCntrl.h"
#include "gui/ui/StatusLine.h"

#include <QLineEdit>
#include <QLocale>
#include <QWidget>

namespace tavelin::gui {

QString RunDisplay::grouped(qint64 value) {
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    return locale.toString(value);
}

void RunDisplay::countStarted() {
    c_.lblStatus->showMessage("File count in progress...");
}

void RunDisplay::countFinished(const SurveyTotals& t) {
    totals_ = t;
    c_.txtSize->setText(grouped(t.totalSize));
    c_.txtFolders->setText(QString::number(t.totalFolders));
    c_.txtFiles->setText(QString::number(t.totalFiles));
    c_.proFolders->setMaximum(t.totalFolders > 0 ? t.totalFolders : 1);
    c_.proFiles->setMaximum(t.totalFiles > 0 ? t.totalFiles : 1);
    c_.proSize->setMaximum(t.totalSize > 0 ? t.totalSize : 1);
    c_.lblStatus->clear();
}

void RunDisplay::copyStarted(const SurveyTotals& t) {
    countFinished(t);
    c_.proFiles->setValue(0);
    c_.proFiles->setCaption("0");
    shown_ = RunProgress{};
    c_.lblStatus->showMessage("Scanning " + QString::number(t.totalFiles) +
                              " files for coping in progress...");
}

void RunDisplay::progress(const RunProgress& p) {
    if (p.foldersDone != shown_.foldersDone) {
        c_.txtFolders->setText(QString::number(p.foldersDone) + " of " +
                               QString::number(totals_.totalFolders));
        c_.proFolders->setValue(p.foldersDone);
        c_.proFolders->setCaption(QString::number(p.foldersDone));
    }
    if (p.filesCopied != shown_.filesCopied) {
        c_.txtFiles->setText(QString::number(p.filesCopied) + " of " +
                             QString::number(totals_.totalFiles));
        c_.proFiles->setValue(p.filesCopied);
        c_.proFiles->setCaption(QString::number(p.filesCopied));
    }
    // Bytes count once a copy is in place, which may come after the file was looked at.
    if (p.filesLooked != shown_.filesLooked || p.bytesCopied != shown_.bytesCopied) {
        c_.proSize->setValue(p.bytesCopied);
        c_.proSize->setCaption(QString::number(p.bytesCopied));
    }
    shown_ = p;
}

void RunDisplay::copyFinished(const LocalDateTime& when, const SurveyTotals& t,
                              const RunProgress& p, std::int64_t failed) {
    progress(p);
    QString line = QString::fromStdString(
        RunSummary::line(when, t.totalFiles, p.filesCopied, c_.proSize->caption().toStdString()));
    // A run with failures never reads like one that merely had nothing to copy.
    if (failed > 0) {
        line += " -:- " + QString::number(failed) + " Files failed";
    }
    c_.lblStatus->showLine(line);
}

void RunDisplay::showError(const QString& message) {
    c_.lblStatus->showMessage(message);
}

} // namespace tavelin::gui
