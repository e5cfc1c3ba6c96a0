#pragma once

#include "core/copy/FileOps.h"
#include "core/platform/VolumeIdentity.h"
#include "core/platform/Volumes.h"
#include "gui/shell/FrmMain.h"
#include "gui/ui/MessageBoxes.h"
#include "tests/core/FakeClock.h"
#include "tests/core/FakeVolumeIdentity.h"
#include "tests/core/TempTree.h"

#include <QSettings>
#include <QTimer>
#include <memory>
#include <set>
#include <thread>

namespace tavelin::test {

// Copies that take a while, so that things can happen during a run.
class SlowOps final : public FileOps {
  public:
    explicit SlowOps(int milliseconds) : delay_(milliseconds) {}
    std::expected<std::int64_t, int> copyData(int in, int out, std::int64_t size,
                                              const StopCheck& stop) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(delay_));
        return FileOps::copyData(in, out, size, stop);
    }

  private:
    int delay_;
};

// Volumes the test decides on, some of which may be "not ready".
class GuiVolumes final : public Volumes {
  public:
    std::vector<Volume> list() const override { return volumes; }
    bool isAvailable(const std::string& mountPoint) const override {
        if (unavailable.count(mountPoint) != 0 && notReadyChecks != 0) {
            --notReadyChecks;
            return false;
        }
        return true;
    }
    std::vector<Volume> volumes;
    std::set<std::string> unavailable;
    // How many more checks find an unavailable volume not ready (-1: for ever).
    mutable int notReadyChecks = -1;
};

// A real main window on a temporary tree, settings file and task database, with a clock that
// stands still and message boxes answered by the test.
struct GuiFixture {
    explicit GuiFixture(bool trayAvailable = false, const QString& arguments = QString())
        : clock(at("10.03.2026 10:00:00")),
          settings(QString::fromStdString(tree.path("settings.ini")), QSettings::IniFormat) {
        volumes.volumes = {{"/", "ext4", "/dev/root", "8:1"},
                           {tree.path("usb"), "vfat", "/dev/sdb1", "8:17"},
                           {tree.path("disk"), "ext4", "/dev/sdc1", "8:33"}};
        tree.mkdir("usb");
        tree.mkdir("disk");
        tree.mkdir("program");
        messages.setInteractive(false);
        make(trayAvailable, arguments);
    }

    void make(bool trayAvailable, const QString& arguments) {
        window.reset();
        window = std::make_unique<gui::FrmMain>(gui::MainDependencies{
            clock, volumes, messages, settings, tree.path("db/tasks.db"),
            QString::fromStdString(tree.path("program/tavelin")), arguments,
            AutostartEntry(tree.path("config")), trayAvailable, [this] { ++quits; },
            "https://example.org/tavelin", "support@example.org", fileOps, &volumeIdentity,
            homeFolder.isEmpty() ? QString::fromStdString(tree.path("program")) : homeFolder});
        // The tests drive the tick themselves.
        window->controls().Timer1->stop();
        window->controls().Timer2->stop();
    }

    gui::MainControls& c() { return window->controls(); }

    TempTree tree;
    FakeClock clock;
    GuiVolumes volumes;
    gui::MessageBoxes messages;
    QSettings settings;
    int quits = 0;
    FileOps* fileOps = nullptr;
    FakeVolumeIdentity volumeIdentity;
    // The user's home folder; the program's folder when empty (as the older tests expect).
    QString homeFolder;
    std::unique_ptr<gui::FrmMain> window;
};

} // namespace tavelin::test
