#include "about/tf_Sobre.h"

#include <QMap>
#include <QTest>
#include <gtest/gtest.h>

using namespace esc;

namespace {

// A machine described by the test; a drive missing from freeSpace is absent or has no medium.
struct FakeFacts : SystemFacts {
  std::optional<QString> platform;
  std::optional<KernelVersion> kernel;
  std::optional<Processors> cpus;
  std::optional<PhysicalMemory> ram;
  QStringList driveNames;
  QMap<QString, qint64> freeSpace;
  mutable QStringList asked;

  std::optional<QString> platformName() const override { return platform; }
  std::optional<KernelVersion> version() const override { return kernel; }
  std::optional<Processors> processors() const override { return cpus; }
  std::optional<PhysicalMemory> memory() const override { return ram; }
  QStringList drives() const override { return driveNames; }
  std::optional<qint64> freeBytes(const QString& drive) const override {
    asked << drive;
    if (!freeSpace.contains(drive)) return std::nullopt;
    return freeSpace[drive];
  }
};

constexpr qint64 MB = 1024 * 1024;

FakeFacts windowsLikeDrives(const QStringList& present) {
  FakeFacts f;
  for (char c = 'C'; c <= 'J'; ++c) {
    const QString d(c);
    f.driveNames << d;
    if (present.contains(d)) f.freeSpace[d] = (c - 'B') * 100 * MB + MB / 2; // 100,5 MB ...
  }
  return f;
}

} // namespace

TEST(AboutBox, DiskListStopsAtTheFirstDriveWithoutReadableFreeSpace) {
  {
    // C:, D: and G: present: E: ends the list, so G: is never reached.
    FakeFacts f = windowsLikeDrives({"C", "D", "G"});
    TF_Sobre box(f);
    box.show();
    EXPECT_EQ(box.FreeDisk->text(), "C: 100 MB  D: 200 MB  ");
    EXPECT_EQ(box.FreeResources->text(), "");
    EXPECT_EQ(f.asked, QStringList({"C", "D", "E"}));
  }
  {
    // Seven drives: four on the first line, the rest on the second.
    FakeFacts f = windowsLikeDrives({"C", "D", "E", "F", "G", "H", "I"});
    TF_Sobre box(f);
    box.show();
    EXPECT_EQ(box.FreeDisk->text(), "C: 100 MB  D: 200 MB  E: 300 MB  F: 400 MB  ");
    EXPECT_EQ(box.FreeResources->text(), "G: 500 MB  H: 600 MB  I: 700 MB  ");
  }
  {
    // An unreadable first drive is not shown as empty: nothing is listed.
    FakeFacts f = windowsLikeDrives({"D"});
    TF_Sobre box(f);
    box.show();
    EXPECT_EQ(box.FreeDisk->text(), "");
  }
  {
    // Shown again after a drive went away: the lines are rebuilt, not appended to.
    FakeFacts f;
    f.driveNames = {"/", "/media/joão/Cópias"};
    f.freeSpace = {{"/", 3 * MB}, {"/media/joão/Cópias", 5 * 1024 * 1024 * MB}};
    TF_Sobre box(f);
    box.show();
    EXPECT_EQ(box.FreeDisk->text(), "/: 3 MB  /media/joão/Cópias: 5242880 MB  ");
    box.hide();
    f.freeSpace.remove("/media/joão/Cópias");
    box.show();
    EXPECT_EQ(box.FreeDisk->text(), "/: 3 MB  ");
  }
}

TEST(AboutBox, MachineFactsInTheirFormats) {
  FakeFacts f;
  f.platform = "Debian GNU/Linux 12 (bookworm)";
  f.kernel = KernelVersion{6, 1, 76};
  f.cpus = Processors{2, "Intel Pentium"};
  f.ram = PhysicalMemory{512 * MB, 128 * MB + 1023};
  TF_Sobre box(f);
  box.show();
  EXPECT_EQ(box.WinVersion->text(), "Debian GNU/Linux 12 (bookworm)");
  EXPECT_EQ(box.DosVersion->text(), "6.1   Ver : 76");
  EXPECT_EQ(box.CPU->text(), "2 Intel Pentium");
  EXPECT_EQ(box.FreeMemory->text(), "Tot: 524288 KB     Disp: 131072 KB");

  // Memory beyond what a 32-bit count of kilobytes holds.
  f.ram = PhysicalMemory{4 * 1024 * 1024 * MB, 3 * 1024 * 1024 * MB};
  box.hide();
  box.show();
  EXPECT_EQ(box.FreeMemory->text(), "Tot: 4294967296 KB     Disp: 3221225472 KB");
}

TEST(AboutBox, UnknownFactsLeaveTheDesignTexts) {
  FakeFacts f;
  TF_Sobre box(f);
  box.show();
  for (QLabel* l :
       {box.WinVersion, box.DosVersion, box.CPU, box.FreeMemory, box.FreeDisk, box.FreeResources})
    EXPECT_EQ(l->text(), "") << l->objectName().toStdString();
  EXPECT_FALSE(box.EnderNet->text().isEmpty());
  EXPECT_FALSE(box.EMail->text().isEmpty());
}

TEST(AboutBox, ContactLabelsOpenTheirAddressesAndOkCloses) {
  FakeFacts f;
  TF_Sobre box(f);
  QList<QUrl> opened;
  box.openAddress = [&](const QUrl& u) { opened << u; };
  box.show();
  EXPECT_EQ(box.EnderNet->cursor().shape(), Qt::PointingHandCursor);
  EXPECT_EQ(box.EMail->cursor().shape(), Qt::PointingHandCursor);
  QTest::mouseClick(box.EnderNet, Qt::LeftButton);
  QTest::mouseClick(box.EMail, Qt::LeftButton);
  QTest::mouseClick(box.CPU, Qt::LeftButton);
  ASSERT_EQ(opened.size(), 2);
  EXPECT_EQ(opened[0], QUrl("http://" + box.EnderNet->text()));
  EXPECT_EQ(opened[1].toString(), "mailto:" + box.EMail->text());

  EXPECT_EQ(box.windowTitle(), "Sobre o Sistema");
  EXPECT_EQ(box.size(), QSize(409, 316));
  box.ButOk->click();
  EXPECT_EQ(box.result(), QDialog::Accepted);
  EXPECT_FALSE(box.isVisible());
}
