#pragma once
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace esc {

// The operating system's version numbers as the about box shows them.
struct KernelVersion {
  int major = 0;
  int minor = 0;
  int build = 0;
};

struct Processors {
  int count = 0;
  QString name;
};

struct PhysicalMemory {
  qint64 totalBytes = 0;
  qint64 availableBytes = 0;
};

// What the about box tells about the machine. Each fact may be unknown; the box then keeps
// its label's design text. Tests inject their own machine through this interface.
class SystemFacts {
public:
  virtual ~SystemFacts() = default;
  virtual std::optional<QString> platformName() const = 0;
  virtual std::optional<KernelVersion> version() const = 0;
  virtual std::optional<Processors> processors() const = 0;
  virtual std::optional<PhysicalMemory> memory() const = 0;
  // The drives in listing order, and the free space of one of them (unknown for a drive that
  // is absent or has no medium). The box asks drive by drive and stops at the first unknown.
  virtual QStringList drives() const = 0;
  virtual std::optional<qint64> freeBytes(const QString& drive) const = 0;
};

// The machine Escrivon runs on, read from uname, /etc/os-release, /proc/cpuinfo,
// /proc/meminfo and /proc/self/mounts. The drives are the mounted file systems: the root
// first, then every other block-device or network file system in mount order, each device
// once.
class LinuxSystemFacts : public SystemFacts {
public:
  std::optional<QString> platformName() const override;
  std::optional<KernelVersion> version() const override;
  std::optional<Processors> processors() const override;
  std::optional<PhysicalMemory> memory() const override;
  QStringList drives() const override;
  std::optional<qint64> freeBytes(const QString& drive) const override;
};

// The readers behind LinuxSystemFacts, on the texts of the files they read.

// "Linux" and "Debian GNU/Linux 12 (bookworm)" give the distribution's name alone, since it
// already names the kernel; otherwise both, or whichever is known.
std::optional<QString> linuxPlatformName(const QString& kernelName, const QString& distribution);
// "6.1.0-18-amd64" gives 6, 1 and 0; a release without its third number has build 0.
std::optional<KernelVersion> parseKernelRelease(const QString& release);
// The number of "processor" entries and the first model name the file gives.
std::optional<Processors> parseCpuInfo(const QString& cpuinfo);
// MemTotal and MemAvailable (MemFree on kernels without it), in bytes.
std::optional<PhysicalMemory> parseMemInfo(const QString& meminfo);
// The mount points worth listing, the root first; "\040" and the like are decoded.
QStringList parseMountPoints(const QString& mounts,
                             const std::function<bool(const QString&)>& isDirectory);

} // namespace esc
