#include "about/systemFacts.h"
#include "about/helpDocument.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace esc;

TEST(SystemFacts, KernelReleaseAndPlatformName) {
  auto v = parseKernelRelease("6.1.0-18-amd64");
  ASSERT_TRUE(v);
  EXPECT_EQ(v->major, 6);
  EXPECT_EQ(v->minor, 1);
  EXPECT_EQ(v->build, 0);
  v = parseKernelRelease("6.18.44-fc-v1403");
  ASSERT_TRUE(v);
  EXPECT_EQ(v->minor, 18);
  EXPECT_EQ(v->build, 44);
  v = parseKernelRelease("5.10");
  ASSERT_TRUE(v);
  EXPECT_EQ(v->build, 0);
  EXPECT_EQ(parseKernelRelease("4.4.70000")->build, 70000 & 0xFFFF);
  EXPECT_FALSE(parseKernelRelease("desconhecida"));

  EXPECT_EQ(linuxPlatformName("Linux", "Debian GNU/Linux 12 (bookworm)"),
            "Debian GNU/Linux 12 (bookworm)");
  EXPECT_EQ(linuxPlatformName("Linux", "Fedora 39 (Workstation Edition)"),
            "Linux - Fedora 39 (Workstation Edition)");
  EXPECT_EQ(linuxPlatformName("Linux", ""), "Linux");
  EXPECT_FALSE(linuxPlatformName("", ""));
}

TEST(SystemFacts, CpuInfoAndMemInfo) {
  const QString x86 = "processor\t: 0\nvendor_id\t: AuthenticAMD\nmodel name\t: AMD EPYC 7B13\n"
                      "flags\t\t: fpu vme\n\nprocessor\t: 1\nmodel name\t: AMD EPYC 7B13\n\n";
  auto p = parseCpuInfo(x86);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->count, 2);
  EXPECT_EQ(p->name, "AMD EPYC 7B13");
  // 32-bit ARM names the board under "Hardware" and has no model name in older kernels.
  p = parseCpuInfo("processor\t: 0\nBogoMIPS\t: 38.40\n\nprocessor\t: 1\n\nprocessor\t: 2\n\n"
                   "Hardware\t: BCM2835\n");
  ASSERT_TRUE(p);
  EXPECT_EQ(p->count, 3);
  EXPECT_EQ(p->name, "BCM2835");
  EXPECT_FALSE(parseCpuInfo("processor\t: 0\nBogoMIPS\t: 38.40\n"));
  EXPECT_FALSE(parseCpuInfo(""));

  auto m = parseMemInfo("MemTotal:         524288 kB\nMemFree:           10000 kB\n"
                        "MemAvailable:     131072 kB\n");
  ASSERT_TRUE(m);
  EXPECT_EQ(m->totalBytes, 512LL * 1024 * 1024);
  EXPECT_EQ(m->availableBytes, 128LL * 1024 * 1024);
  // Kernels before 3.14 have no MemAvailable.
  m = parseMemInfo("MemTotal:         524288 kB\nMemFree:           10000 kB\n");
  ASSERT_TRUE(m);
  EXPECT_EQ(m->availableBytes, 10000LL * 1024);
  EXPECT_FALSE(parseMemInfo("MemFree:           10000 kB\n"));
}

TEST(SystemFacts, MountedFileSystemsRootFirstEachDeviceOnce) {
  const QString mounts = "proc /proc proc rw 0 0\n"
                         "sysfs /sys sysfs rw 0 0\n"
                         "/dev/sda1 /boot ext4 rw 0 0\n"
                         "tmpfs /run tmpfs rw 0 0\n"
                         "/dev/sda2 /home ext4 rw 0 0\n"
                         "/dev/sda2 /srv ext4 rw 0 0\n"
                         "/dev/loop3 /snap/core/1 squashfs ro 0 0\n"
                         "/dev/sdc1 /etc/hosts ext4 rw 0 0\n"
                         "/dev/sdb1 /media/ana/PEN\\040DRIVE vfat rw 0 0\n"
                         "servidor:/dados /mnt/dados nfs4 rw 0 0\n"
                         "rootfs / rootfs rw 0 0\n"
                         "/dev/mapper/raiz / ext4 rw 0 0\n"
                         "/dev/mapper/raiz /var/lib/docker ext4 rw 0 0\n";
  const auto isDirectory = [](const QString& p) { return p != "/etc/hosts"; };
  EXPECT_EQ(parseMountPoints(mounts, isDirectory),
            QStringList({"/", "/boot", "/home", "/media/ana/PEN DRIVE", "/mnt/dados"}));
  // A container: its root is an overlay, which is listed all the same.
  EXPECT_EQ(parseMountPoints("overlay / overlay rw 0 0\n/dev/vda /etc/hosts ext4 rw 0 0\n"
                             "/dev/vda /dados ext4 rw 0 0\n",
                             isDirectory),
            QStringList({"/", "/dados"}));
}

// The facts of the machine running the tests: every reader finds its file.
TEST(SystemFacts, ThisMachine) {
  LinuxSystemFacts f;
  EXPECT_TRUE(f.platformName());
  EXPECT_TRUE(f.version());
  const auto p = f.processors();
  ASSERT_TRUE(p);
  EXPECT_GE(p->count, 1);
  const auto m = f.memory();
  ASSERT_TRUE(m);
  EXPECT_GT(m->totalBytes, 0);
  EXPECT_LE(m->availableBytes, m->totalBytes);
  const QStringList drives = f.drives();
  ASSERT_FALSE(drives.isEmpty());
  EXPECT_EQ(drives[0], "/");
  EXPECT_TRUE(f.freeBytes("/"));
  EXPECT_FALSE(f.freeBytes("/nao/existe"));
}

TEST(HelpDocument, OwnDocumentFirstThenTheManualThenNothing) {
  QTemporaryDir data, install;
  const QString bin = install.filePath("bin");
  QDir().mkpath(bin);
  EXPECT_EQ(helpDocument(data.path(), bin), "");

  QDir().mkpath(install.filePath("share/doc/escrivon"));
  QFile manual(install.filePath("share/doc/escrivon/manual.html"));
  ASSERT_TRUE(manual.open(QIODevice::WriteOnly));
  manual.close();
  EXPECT_EQ(helpDocument(data.path(), bin), manual.fileName());

  // A directory named Escrivon.doc is not a document.
  QDir(data.path()).mkdir("Escrivon.doc");
  EXPECT_EQ(helpDocument(data.path(), bin), manual.fileName());
  QDir(data.path()).rmdir("Escrivon.doc");
  QFile own(data.filePath("Escrivon.doc"));
  ASSERT_TRUE(own.open(QIODevice::WriteOnly));
  own.close();
  EXPECT_EQ(helpDocument(data.path(), bin), own.fileName());
}

// A program away from its share/ (a build tree without the copy) opens the package's manual.
TEST(HelpDocument, TheInstalledManualWhenNoneLiesBesideTheProgram) {
  QTemporaryDir data, elsewhere;
  QFile installed(elsewhere.filePath("manual.html"));
  ASSERT_TRUE(installed.open(QIODevice::WriteOnly));
  installed.close();
  const QString bin = elsewhere.filePath("bin");
  EXPECT_EQ(helpDocument(data.path(), bin, installed.fileName()), installed.fileName());
  EXPECT_EQ(helpDocument(data.path(), bin, elsewhere.filePath("nenhum.html")), "");
}

// The build puts the manual where the programs of the build tree look for it.
TEST(HelpDocument, TheBuildShipsTheManual) {
  QTemporaryDir data;
  const QString doc = helpDocument(data.path(), QCoreApplication::applicationDirPath());
  ASSERT_FALSE(doc.isEmpty());
  EXPECT_TRUE(doc.endsWith("share/doc/escrivon/manual.html"));
  EXPECT_GT(QFileInfo(doc).size(), 10000);
}
